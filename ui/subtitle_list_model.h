// The subtitle list over the document: "Nr.", "Start", "End", "Duration", "Line 1", "Line 2" and
// the reading speed "CPS" (hidden when the "ShowCPSColumn" setting is off). Refilling is a model
// reset; pages state their differences through the hooks below.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <functional>

#include "core/app_settings.h"
#include "core/language_table.h"
#include "core/subtitle_document.h"
#include "core/time_code.h"  // DurationText of the "Duration" column

namespace tessera {

// A 0x00BBGGRR colour value as the settings store it.
QColor ColorFromSetting(int bgr);

class SubtitleListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum ColumnIndex {
    kNr = 0,
    kStartCol,
    kEndCol,
    kDuration,
    kLine1Col,
    kLine2Col,
    kCpsCol,
    kColumnCount
  };
  // Extra data for the pages that need it; kTooFastRole is true for rows read faster than
  // "MaxCPS" allows.
  enum Roles { kRowIndexRole = Qt::UserRole + 1, kEmphasisRole, kTooFastRole };

  SubtitleListModel(const SubtitleDocument& doc, const AppSettings& app, const LanguageTable& lang,
                    QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Everything is read from the document again.
  void Refill();
  // Column titles from the language table (8000-8006), taken again on the next headerData.
  void RefreshHeaders();

  // Per-page differences. A row colour function returning an invalid QColor keeps the
  // even/odd colour; padding rows are empty rows shown after the document's rows.
  void SetRowColour(std::function<QColor(int row)> colour) { row_colour_ = std::move(colour); }
  // The text colour the same way; black where it returns an invalid QColor.
  void SetRowTextColour(std::function<QColor(int row)> colour) {
    row_text_colour_ = std::move(colour);
  }
  void SetPaddingRows(int rows);
  // Rows for which `emphasis` is true are drawn in red bold text (kEmphasisRole true).
  void SetRowEmphasis(std::function<bool(int row)> emphasis) { emphasis_ = std::move(emphasis); }
  // The emphasis of some rows changed: they are drawn again.
  void EmphasisChanged();
  int DocumentRows() const { return doc_.Count(); }

 private:
  bool Emphasised(int row) const { return emphasis_ && emphasis_(row); }
  bool TooFast(int row) const;

  const SubtitleDocument& doc_;
  const AppSettings& app_;
  const LanguageTable& lang_;
  std::function<QColor(int)> row_colour_;
  std::function<bool(int)> emphasis_;
  std::function<QColor(int)> row_text_colour_;
  int padding_rows_ = 0;
};

}  // namespace tessera
