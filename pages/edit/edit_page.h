// The Edit page: single subtitles created, removed, retyped and re-timed by hand, with the Find
// and Replace dialogs searching its list.
#pragma once

#include <QPointer>
#include <array>

#include "pages/edit/spelling_dialog.h"
#include "tools/find_replace.h"
#include "ui/searching_sheet_page.h"

class QLineEdit;

namespace tessera {

class CCDPlayerDisplay;
class SpellingMarker;
class SpinArrows;

class CEditPage : public SearchingSheetPage, public SpellingRunClient {
  Q_OBJECT
 public:
  explicit CEditPage(PageContext& ctx, QWidget* parent = nullptr);

  void OnActivate() override;
  void OnDeactivate() override;

  // SearchingPage
  void SelectFirstRowIfNone() override;
  void SearchNext() override;

  // SpellingRunClient
  void ShowSpellingRow(int row) override;
  bool ReplaceSpelling(const UnknownWord& at, const std::u16string& replacement) override;
  int ReplaceSpellingEverywhere(const std::u16string& word,
                                const std::u16string& replacement) override;

  QLineEdit* LineField(int line) const { return lines_[line]; }
  SpellingMarker* LineMarker(int line) const { return markers_[line]; }
  // The open Spelling dialog, or null.
  CSpellingDialog* SpellingDialog() const { return spelling_dialog_; }
  CCDPlayerDisplay* StartDisplay() const { return start_; }
  CCDPlayerDisplay* SecondsDisplay() const { return seconds_; }
  CCDPlayerDisplay* MillisecondsDisplay() const { return milliseconds_; }

 protected:
  unsigned ShowReplacement(bool every_row) override;
  void AfterRefresh() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static PageLayout Layout(CEditPage* page);
  QWidget* MakeEditGroup();
  int SelectedRow() const;
  // The line field (0-2) that has the focus, or -1.
  int FocusedLine() const;
  void FocusNextLine(int line);
  void Typed(int line, const QString& text);
  void Spin(int which, bool up);
  unsigned Insert();
  unsigned Add();
  unsigned Delete();
  unsigned RemoveAll();
  unsigned Auto();
  unsigned ShowCurrentRow();
  unsigned StartSpelling();
  void ApplySuggestion(int line, int start, int length, const QString& replacement);
  void RemarkLines();

  std::array<QLineEdit*, 3> lines_{};
  std::array<SpellingMarker*, 3> markers_{};
  QPointer<CSpellingDialog> spelling_dialog_;
  CCDPlayerDisplay* start_ = nullptr;
  CCDPlayerDisplay* seconds_ = nullptr;
  CCDPlayerDisplay* milliseconds_ = nullptr;
  std::array<SpinArrows*, 3> spins_{};
  QWidget* auto_ = nullptr;
  bool loading_ = false;  // the fields are being filled from the document
  bool scroll_to_current_ = false;
};

}  // namespace tessera
