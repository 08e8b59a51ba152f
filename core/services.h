// Interfaces through which the core reaches the user and the platform. The Qt layer implements
// them with real dialogs; tests pass scripted fakes.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessera {

class MoviePlayer;
class IVolume;

enum class PromptIcon { None, Information, Warning, Error, Question, Exclamation };
enum class PromptAnswer { Yes, No, Cancel };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A modal message box with an OK button.
  virtual void MessageBox(const std::u16string& text, const std::u16string& caption = {},
                          PromptIcon icon = PromptIcon::Information) = 0;
  // A modal question with Yes and No buttons; true for Yes.
  virtual bool AskYesNo(const std::u16string& text, const std::u16string& caption = {},
                        PromptIcon icon = PromptIcon::Question) = 0;
  // A modal question with Yes, No and Cancel. Prompters that cannot cancel answer Yes or No.
  virtual PromptAnswer AskYesNoCancel(const std::u16string& text,
                                      const std::u16string& caption = {},
                                      PromptIcon icon = PromptIcon::Question) {
    return AskYesNo(text, caption, icon) ? PromptAnswer::Yes : PromptAnswer::No;
  }
  // A modal message box with an OK button and a check box labelled `opt_out`, off when shown;
  // true when the user ticked it. Prompters without such a box show a plain message.
  virtual bool MessageBoxOptOut(const std::u16string& text, const std::u16string& opt_out,
                                const std::u16string& caption = {},
                                PromptIcon icon = PromptIcon::Exclamation) {
    (void)opt_out;
    MessageBox(text, caption, icon);
    return false;
  }
  // A modal box that offers to apply what it describes: an `apply` button and Cancel; true for
  // apply. Prompters without such a box ask Yes or No.
  virtual bool AskApply(const std::u16string& text, const std::u16string& apply,
                        const std::u16string& caption = {}) {
    (void)apply;
    return AskYesNo(text, caption, PromptIcon::Question);
  }
  virtual void Beep() = 0;
  // The warning sound, where a refusal should sound different from the default beep.
  virtual void ExclamationBeep() { Beep(); }
  // The MicroDVD frame-rate prompt: 23.976 or 25, or nothing when cancelled.
  virtual std::optional<double> AskLoadFrameRate() = 0;
};

// The progress window of long runs.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void Open(const std::u16string& caption) = 0;
  // 0..100; above 100 shows a full bar. Shown at once.
  virtual void SetPercent(int percent) = 0;
  virtual void SetLines(const std::u16string& line1, const std::u16string& line2) = 0;
  virtual void Close() = 0;
  // A run that can stop halfway calls this after Open; until Close, the user may then ask it to
  // stop, which Cancelled() reports the next time the run asks.
  virtual void OfferCancel() {}
  virtual bool Cancelled() { return false; }
};

struct FontSpec {
  std::u16string face = u"Arial";
  int point_size = 23;
  bool bold = true;
};

// What the font dialog is preset with and answers: the font, its exact weight and the text colour
// chosen in the dialog's effects part.
struct FontChoice {
  FontSpec font;         // bold as the weight shows it: weight >= 700
  int weight = 700;      // 100 (thin) to 900 (black), 400 normal, 700 bold
  int color = 0xFFFFFF;  // 0x00BBGGRR, as the settings keep colours
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // Width in pixels of `text` drawn in `font` (points converted at 96 dots per inch).
  virtual int MeasureWidth(const std::u16string& text, const FontSpec& font) = 0;
};

struct FileFilter {
  std::u16string description;  // "SubRip files (*.srt)"
  std::u16string patterns;     // "*.srt" or "*.avi;*.mpeg"
};

struct FileDialogRequest {
  std::u16string title;
  std::u16string initial_folder;  // empty: the dialog's own choice
  std::u16string initial_name;
  std::u16string default_extension;  // "*.srt" style; added when the user types none
  std::vector<FileFilter> filters;
  int selected_filter = 0;
  bool overwrite_prompt = true;
};

struct FileDialogAnswer {
  std::u16string path;
  int filter_index = 0;  // the file type chosen in the dialog
};

// What the Find and Replace dialogs show, and what the user leaves in them.
struct SearchDialogFields {
  std::u16string find;
  std::u16string replace;  // the Replace dialog's "Replace with:"
  bool whole_word = false;
  bool match_case = false;
  int direction = +1;  // the Find dialog's "Direction": +1 down, -1 up
};

// The page a Replace dialog serves while it is open: Find Next and Replace act at once and the
// dialog stays.
class ReplaceDialogClient {
 public:
  virtual ~ReplaceDialogClient() = default;
  virtual void FindNextPressed(const SearchDialogFields& fields) = 0;
  virtual void ReplacePressed(const SearchDialogFields& fields) = 0;
};

// Open/save dialogs, the folder browser, the font dialog and the search dialogs.
class DialogService {
 public:
  virtual ~DialogService() = default;
  virtual std::optional<FileDialogAnswer> OpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<FileDialogAnswer> SaveFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::u16string> BrowseFolder(const std::u16string& title,
                                                     const std::u16string& initial_folder) = 0;
  virtual std::optional<FontChoice> ChooseFont(const FontChoice& initial) = 0;
  // The modal Find dialog opened on `initial` with "Down" chosen: the fields when Find Next
  // closed it, nothing on Cancel. A service without the dialog answers Cancel.
  virtual std::optional<SearchDialogFields> FindText(const SearchDialogFields& initial) {
    (void)initial;
    return std::nullopt;
  }
  // The modal Replace dialog opened on `initial`: Find Next and Replace go to `client`; Replace
  // All closes it with the fields, Cancel with nothing.
  virtual std::optional<SearchDialogFields> ReplaceText(const SearchDialogFields& initial,
                                                        ReplaceDialogClient& client) {
    (void)initial;
    (void)client;
    return std::nullopt;
  }
};

// Runs one child program with its standard streams read and discarded.
class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  // Starts `program` with `arguments`, never through a shell. False when it could not start.
  virtual bool Start(const std::u16string& program,
                     const std::vector<std::u16string>& arguments) = 0;
  virtual bool IsRunning() = 0;
  // Waits up to `ms` milliseconds; true when the child has ended.
  virtual bool WaitForEnd(int ms) = 0;
  // Ends the child if it still runs.
  virtual void Stop() = 0;
};

// The services the program is built with, handed to every page.
struct Services {
  Prompter& prompter;
  DialogService& dialogs;
  ProgressSink& progress;
  ProcessRunner& processes;
  TextMeasurer& measurer;
  // The Play Movie page's player and master volume; a page built without them gets inert ones.
  MoviePlayer* player = nullptr;
  IVolume* volume = nullptr;
};

// Does nothing: for runs that show no progress.
class NullProgressSink final : public ProgressSink {
 public:
  void Open(const std::u16string&) override {}
  void SetPercent(int) override {}
  void SetLines(const std::u16string&, const std::u16string&) override {}
  void Close() override {}
};

// Shows no dialog: every question is answered as cancelled. For work without a window.
class NoDialogs final : public DialogService {
 public:
  std::optional<FileDialogAnswer> OpenFile(const FileDialogRequest&) override { return {}; }
  std::optional<FileDialogAnswer> SaveFile(const FileDialogRequest&) override { return {}; }
  std::optional<std::u16string> BrowseFolder(const std::u16string&,
                                             const std::u16string&) override {
    return {};
  }
  std::optional<FontChoice> ChooseFont(const FontChoice&) override { return {}; }
};

// Starts no child program.
class NoProcesses final : public ProcessRunner {
 public:
  bool Start(const std::u16string&, const std::vector<std::u16string>&) override { return false; }
  bool IsRunning() override { return false; }
  bool WaitForEnd(int) override { return true; }
  void Stop() override {}
};

}  // namespace tessera
