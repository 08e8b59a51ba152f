#include "workbench/file_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/text_util.h"
#include "core/time_code.h"
#include "pages/files/files_page_rules.h"
#include "tests/support/test_workbench.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::Row;
using testing::ScriptedDialogs;
using testing::ScriptedPrompter;
using testing::WriteBytes;

struct FileCommands : ::testing::Test, testing::TestWorkbench {
  FileCommands() : TestWorkbench("tessera-files") {}
  void Fill(int n) {
    for (int i = 0; i < n; ++i)
      doc.AddRow(Format("0:00:%02d.000", 10 * i), Format("0:00:%02d.500", 10 * i + 2),
                 Format("line %d", i + 1));
  }
  std::string LastLog() const { return ToUtf8(doc.Log().Lines().back()); }

  const fs::path& dir = scratch.Dir();
};

TEST_F(FileCommands, AppendOffset) {
  Fill(3);
  EXPECT_NEAR(22.5, AppendOffset(doc), 0.001);
  doc.SetMovieLength(5400999LL * 10000);  // 5,400,999 ms
  EXPECT_DOUBLE_EQ(5400.0, AppendOffset(doc));
  doc.SetMovieLength(9999999);  // under a second counts as no movie
  EXPECT_NEAR(22.5, AppendOffset(doc), 0.001);
}

TEST_F(FileCommands, AppendMarksChangedOnlyWhenRowsCame) {
  Fill(2);
  WriteBytes(dir / "more.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nmore\r\n\r\n");
  WriteBytes(dir / "page.smi", "<SAMI>\r\n");
  EXPECT_EQ(1, AppendFile(bench, P("more.srt")));
  ASSERT_EQ(3, doc.Count());
  EXPECT_EQ(0u, ToUtf8(doc.Start(2)).find("0:00:13.50"));  // moved by the last end, 12.5 s
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ("Done.", LastLog());

  doc.SetChanged(false);
  EXPECT_EQ(0, AppendFile(bench, P("page.smi")));
  EXPECT_EQ(0, AppendFile(bench, P("missing.srt")));
  EXPECT_EQ(3, doc.Count());
  EXPECT_FALSE(doc.Changed());
  EXPECT_NE("Done.", LastLog());
}

// The command line passes its --offset; without one the page's rule applies.
TEST_F(FileCommands, AppendAtAGivenOffset) {
  WriteBytes(dir / "more.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nmore\r\n\r\n");
  struct Case {
    std::optional<double> offset;
    long long movie_ms;
    const char* want;
  } cases[] = {
      {std::nullopt, 0, "0:00:23.500"},      // after the last end, 22.5 s
      {std::nullopt, 60500, "0:01:01.000"},  // the movie's whole seconds
      {100.0, 60500, "0:01:41.000"},         // a given offset wins over both
      {0.0, 0, "0:00:01.000"},
  };
  for (const Case& c : cases) {
    doc = SubtitleDocument();
    Fill(3);
    doc.SetMovieLength(c.movie_ms * 10000);
    ASSERT_EQ(1, AppendFile(bench, P("more.srt"), c.offset));
    EXPECT_EQ(c.want, ToUtf8(doc.Start(3))) << c.movie_ms;
    EXPECT_TRUE(doc.Changed());
  }
}

// The appended times are the file's times moved by the document's end, to the millisecond.
TEST_F(FileCommands, AppendDoesNotDrift) {
  struct Case {
    const char* last_end;
    const char* file_start;
    const char* want;
  } cases[] = {
      {"0:00:10.000", "00:00:01,000", "0:00:11.000"},
      {"0:00:09.999", "00:00:00,001", "0:00:10.000"},
      {"0:05:33.333", "00:00:01,667", "0:05:35.000"},
      {"2:46:39.999", "00:00:00,001", "2:46:40.000"},
  };
  for (const Case& c : cases) {
    testing::TestWorkbench w;
    SubtitleDocument& d = w.doc;
    d.AddRow(u"0:00:00.000", FromUtf8(c.last_end), u"first");
    WriteBytes(dir / "one.srt",
               "1\r\n" + std::string(c.file_start) + " --> " + c.file_start + "\r\nx\r\n\r\n");
    ASSERT_EQ(1, AppendFile(w.bench, P("one.srt")));
    EXPECT_EQ(c.want, ToUtf8(d.Start(1))) << c.last_end << " + " << c.file_start;
  }

  // Appending again and again adds exactly the file's length each time.
  WriteBytes(dir / "two.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nx\r\n\r\n");
  doc.AddRow(u"0:00:00.000", u"0:00:02.000", u"first");
  for (int i = 1; i <= 60; ++i) {
    ASSERT_EQ(1, AppendFile(bench, P("two.srt")));
    EXPECT_EQ(FormatTimeText(2.0 * i + 1 + 0.0005), doc.Start(i)) << i;
    EXPECT_EQ(FormatTimeText(2.0 * i + 2 + 0.0005), doc.End(i)) << i;
  }
}

TEST_F(FileCommands, OpenAndDrop) {
  WriteBytes(dir / "a.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nhello\r\n\r\n");
  doc.SetChanged(true);
  doc.SetFrameRateConverted(true);
  EXPECT_EQ(1, OpenDocument(bench, P("a.srt"), OpenWay::kChosen));
  EXPECT_EQ(1, doc.Count());
  EXPECT_FALSE(doc.Changed());
  EXPECT_FALSE(doc.FrameRateConverted());
  EXPECT_EQ(P("a.srt"), doc.FilePath());
  EXPECT_EQ(FromUtf8(dir.string()), store.GetString(u"Directories", u"Open"));
  EXPECT_EQ("Trying to open the file '" + (dir / "a.srt").string() + "'...",
            ToUtf8(doc.Log().Lines()[0]));

  WriteBytes(dir / "b.sub", "{25}{50}dropped\r\n");
  doc.SetChanged(true);
  prompter.ExpectFrameRate(25.0);
  EXPECT_EQ(1, OpenDocument(bench, P("b.sub"), OpenWay::kDropped));
  EXPECT_EQ(u"0:00:01.000", doc.Start(0));
  EXPECT_EQ(SubtitleFormat::MicroDvd, doc.LoadedFormat());
  EXPECT_FALSE(doc.Changed());

  // Standard input's private copy is known by "-", and its folder is not remembered.
  fs::create_directory(dir / "stdin-copy");
  WriteBytes(dir / "stdin-copy" / "stdin", "1\r\n00:00:01,000 --> 00:00:02,000\r\npiped\r\n\r\n");
  EXPECT_EQ(1, OpenDocument(bench, P("stdin-copy/stdin"), OpenWay::kStandardInput));
  EXPECT_EQ(u"piped", doc.Line(0, 0));
  EXPECT_EQ(u"-", doc.FilePath());
  EXPECT_EQ(FromUtf8(dir.string()), store.GetString(u"Directories", u"Open"));
  EXPECT_THAT(Log(), ::testing::Contains("Trying to open the file '-'..."));
}

// A file that cannot be loaded leaves the document exactly as it was; the log says why.
TEST_F(FileCommands, FailedOpenOrDropChangesNothing) {
  Fill(3);
  doc.SetSelected(1, true);
  doc.SetCurrentRow(2);
  doc.SetChanged(true);
  doc.SetFilePath(u"/keep/film.ssa");
  doc.SetLoadedFormat(SubtitleFormat::SubStationAlpha);
  doc.SetFrameRateConverted(true);
  store.WriteString(u"Directories", u"Open", u"/keep");
  const SubtitleDocument before = doc;

  WriteBytes(dir / "big.srt", std::string(1048577, 'a'));
  WriteBytes(dir / "notes.txt", "Nothing to see.\r\n");
  WriteBytes(dir / "empty.srt", "");
  WriteBytes(dir / "picture.png",
             std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0\x08\x06", 22) +
                 "\r\n{\x01\x02}{\x03\x04}\x05\r\n");
  WriteBytes(dir / "locked.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nx\r\n\r\n");
  fs::permissions(dir / "locked.srt", fs::perms::none);
  fs::create_directories(dir / "folder.srt");
  mkfifo((dir / "pipe.srt").c_str(), 0600);
  std::vector<std::u16string> paths;
  for (const char* name : {"big.srt", "notes.txt", "empty.srt", "picture.png", "folder.srt",
                           "pipe.srt", "missing.srt"})
    paths.push_back(P(name));
  if (geteuid() != 0) paths.push_back(P("locked.srt"));
  // Root reads any file by its permissions; this one no process may read.
  if (fs::exists("/proc/sys/vm/compact_memory")) paths.push_back(u"/proc/sys/vm/compact_memory");

  for (const std::u16string& path : paths) {
    for (bool drop : {false, true}) {
      const std::string name = ToUtf8(path) + (drop ? " (dropped)" : "");
      int result = drop ? OpenDocument(bench, path, OpenWay::kDropped)
                        : OpenDocument(bench, path, OpenWay::kChosen);
      EXPECT_EQ(0, result) << name;
      for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(Row(before, r), Row(doc, r)) << name;
        EXPECT_EQ(before.Selected(r), doc.Selected(r)) << name;
      }
      EXPECT_EQ(3, doc.Count()) << name;
      EXPECT_EQ(2, doc.CurrentRow()) << name;
      EXPECT_TRUE(doc.Changed()) << name;
      EXPECT_TRUE(doc.FrameRateConverted()) << name;
      EXPECT_EQ(u"/keep/film.ssa", doc.FilePath()) << name;
      EXPECT_EQ(SubtitleFormat::SubStationAlpha, doc.LoadedFormat()) << name;
      EXPECT_EQ(u"/keep", store.GetString(u"Directories", u"Open")) << name;
      const std::string last = LastLog();
      EXPECT_TRUE(last.starts_with("ERROR:") || last == "Error reading file.")
          << name << ": " << last;
    }
  }
}

TEST_F(FileCommands, SaveDialogPreselectsTheLoadedFormat) {
  Fill(2);
  doc.SetLoadedFormat(SubtitleFormat::MicroDvd);
  doc.SetFilePath(P("film.sub"));
  store.WriteString(u"Directories", u"Save", u"/films");
  dialogs.ExpectSave(u"Save Subtitle file", std::nullopt);
  EXPECT_EQ(0, AskAndSaveDocument(bench));
  EXPECT_EQ(1, dialogs.last_request.selected_filter);
  EXPECT_EQ(u"*.sub", dialogs.last_request.default_extension);
  EXPECT_EQ(u"/films", dialogs.last_request.initial_folder);
  EXPECT_EQ(P("film.sub"), dialogs.last_request.initial_name);

  dialogs.ExpectSave(u"Save Subtitle file", P("out.ssa"));
  EXPECT_EQ(1, AskAndSaveDocument(bench));
  EXPECT_EQ(P("out.ssa"), doc.FilePath());
  EXPECT_NE(std::string::npos, ReadBytes(dir / "out.ssa").find("Dialogue:"));
}

// Every save logs a line first and then "Ok." or an "ERROR:" line; only a written file moves the
// document's path, the caption, the changed flag and the remembered folder.
TEST_F(FileCommands, SavesChangeStateOnlyWhenWritten) {
  Fill(3);
  doc.SetSelected(0, true);
  store.WriteString(u"Directories", u"Save", u"/keep");
  enum Kind { kDialog, kSelectionDialog, kBlock };
  struct Case {
    Kind kind;
    std::u16string path;
    bool written;
    const char* first_log;  // the line before "Ok." or "ERROR:"
  } cases[] = {
      {kDialog, P("no/such/x.srt"), false, "Saving SubRip file"},
      {kDialog, u"/proc/tessera-x.ssa", false, "Saving Sub Station Alpha file"},
      {kDialog, P("ok.sub"), true, "Saving MicroDVD file"},
      {kSelectionDialog, u"/proc/tessera-sel.srt", false, "Saving selection to SubRip file"},
      {kSelectionDialog, P("sel.srt"), true, "Saving selection to SubRip file"},
      {kBlock, u"/proc/tessera-block.srt", false, "Saving selection to SubRip file"},
      {kBlock, P("no/such/x.ssa"), false, "Saving Sub Station Alpha file"},
      {kBlock, P("block.ssa"), true, "Saving Sub Station Alpha file"},
  };
  for (const Case& c : cases) {
    const std::string name = ToUtf8(c.path);
    doc.SetFilePath(u"/keep/film.srt");
    doc.SetChanged(true);
    store.WriteString(u"Directories", u"Save", u"/keep");
    int result = 0;
    if (c.kind == kDialog) {
      dialogs.ExpectSave(u"Save Subtitle file", c.path);
      result = AskAndSaveDocument(bench);
    } else if (c.kind == kSelectionDialog) {
      dialogs.ExpectSave(u"Save Selection", c.path);
      result = AskAndSaveSelection(bench);
    } else {
      result = SaveSelectedBlock(bench, {0}, c.path);
    }
    EXPECT_EQ(c.written ? 1 : 0, result) << name;
    const auto log = testing::LogLines(doc);
    ASSERT_GE(log.size(), 2u);
    EXPECT_TRUE(log.end()[-2].starts_with(c.first_log)) << name << ": " << log.end()[-2];
    EXPECT_EQ(c.written ? "Ok." : "ERROR:", log.back().substr(0, c.written ? 3 : 6)) << name;
    // Only the whole-document save makes the file the document's; the others leave it.
    const bool becomes_document = c.written && c.kind == kDialog;
    EXPECT_EQ(becomes_document ? c.path : u"/keep/film.srt", doc.FilePath()) << name;
    EXPECT_EQ(!becomes_document, doc.Changed()) << name;
    const bool remembers = c.written && c.kind != kSelectionDialog;
    EXPECT_EQ(remembers ? FromUtf8(dir.string()) : u"/keep",
              store.GetString(u"Directories", u"Save"))
        << name;
  }
}

// A name typed without an extension takes the file type chosen in the dialog.
TEST_F(FileCommands, ChosenFileTypeCounts) {
  Fill(3);
  struct Case {
    SubtitleFormat loaded;
    int preselected;
    std::optional<int> picked;
    const char* typed;
    const char* written;
    const char* starts_with;
  } cases[] = {
      {SubtitleFormat::SubRip, 2, 0, "a", "a.ssa", "[Script Info]\r\n!Created"},
      {SubtitleFormat::SubRip, 2, std::nullopt, "b", "b.srt", "1\r\n"},
      {SubtitleFormat::SubStationAlpha, 0, 1, "c", "c.sub", "{1}{1}25\r\n"},
      {SubtitleFormat::MicroDvd, 1, 3, "d", "d.txt", "line 1"},
      {SubtitleFormat::SubViewer, 2, std::nullopt, "e", "e.srt", "1\r\n"},
      {SubtitleFormat::Sami, 2, std::nullopt, "f", "f.srt", "1\r\n"},
      {SubtitleFormat::Unrecognised, 2, std::nullopt, "g", "g.srt", "1\r\n"},
      {SubtitleFormat::SubRip, 2, 0, "h.srt", "h.srt", "1\r\n"},  // a typed extension wins
  };
  for (const Case& c : cases) {
    doc.SetLoadedFormat(c.loaded);
    dialogs.ExpectSave(u"Save Subtitle file", P(c.typed), c.picked);
    EXPECT_EQ(1, AskAndSaveDocument(bench)) << c.typed;
    EXPECT_EQ(c.preselected, dialogs.last_request.selected_filter) << c.typed;
    // The default extension is the preselected type's, never a text such as "<<NOT SUPPORTED>>".
    const char16_t* defaults[] = {u"*.ssa", u"*.sub", u".srt"};
    EXPECT_EQ(defaults[c.preselected], dialogs.last_request.default_extension) << c.typed;
    EXPECT_EQ(P(c.written), doc.FilePath()) << c.typed;
    EXPECT_TRUE(ReadBytes(dir / c.written).starts_with(c.starts_with)) << c.typed;
  }

  // Save Selection writes SubRip only; Save Sel. and Split offer two types.
  doc.SetSelected(0, true);
  dialogs.ExpectSave(u"Save Selection", P("sel"));
  EXPECT_EQ(1, AskAndSaveSelection(bench));
  EXPECT_TRUE(fs::exists(dir / "sel.srt"));
  dialogs.ExpectSave(u"Save Selection to file", P("part"), 0);
  EXPECT_EQ(P("part.ssa"), AskSelectionSaveName(bench, u"Save Selection to file"));
  dialogs.ExpectSave(u"Split Subtitle file", P("part"));
  EXPECT_EQ(P("part.srt"), AskSelectionSaveName(bench, u"Split Subtitle file"));
  dialogs.ExpectSave(u"Split Subtitle file", std::nullopt);
  EXPECT_EQ(u"", AskSelectionSaveName(bench, u"Split Subtitle file"));
}

TEST_F(FileCommands, SaveSelectionWritesSelectedRowsOnly) {
  Fill(4);
  doc.SetFilePath(u"/keep/this.srt");
  doc.SetSelected(1, true);
  doc.SetSelected(3, true);
  dialogs.ExpectSave(u"Save Selection", P("sel.srt"));
  EXPECT_EQ(1, AskAndSaveSelection(bench));
  EXPECT_EQ(u"selection.srt", dialogs.last_request.initial_name);
  std::string sel = ReadBytes(dir / "sel.srt");
  EXPECT_NE(std::string::npos, sel.find("line 2"));
  EXPECT_NE(std::string::npos, sel.find("line 4"));
  EXPECT_EQ(std::string::npos, sel.find("line 1"));
  EXPECT_EQ(u"/keep/this.srt", doc.FilePath());
}

// ---- Ctrl+S

TEST_F(FileCommands, QuickSaveWritesUnderTheOwnPathAndClearsTheFlagOnlyWhenWritten) {
  doc.AddRow(u"0:00:01.000", u"0:00:02.000", u"saved");
  doc.SetChanged(true);

  // No path yet: the exclamation beep, nothing written.
  prompter.ExpectExclamationBeep();
  EXPECT_EQ(0, QuickSave(bench));
  EXPECT_TRUE(doc.Changed());

  // A path that cannot be written: the exclamation beep, the log says why, the flag stays.
  doc.SetFilePath(P("missing/folder.srt"));
  prompter.ExpectExclamationBeep();
  EXPECT_EQ(0, QuickSave(bench));
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ(0u, ToUtf8(doc.Log().Lines().back()).find("ERROR:"));

  doc.SetFilePath(P("film.srt"));
  prompter.ExpectBeep();
  EXPECT_EQ(1, QuickSave(bench));
  EXPECT_FALSE(doc.Changed());
  EXPECT_NE(std::string::npos, ReadBytes(dir / "film.srt").find("saved"));
}

}  // namespace
}  // namespace tessera
