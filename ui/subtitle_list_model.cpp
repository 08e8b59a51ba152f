#include "ui/subtitle_list_model.h"

#include <QFont>

#include "check/reading_speed.h"
#include "core/qt_text_qt.h"
#include "core/time_code.h"

namespace tessera {
namespace {
// A too-fast speed: dark red bold on a pale red cell, readable whatever the row colours are.
const QColor kTooFastText(0xA0, 0x00, 0x00);
const QColor kTooFastCell(0xFF, 0xC8, 0xC8);
}  // namespace

QColor ColorFromSetting(int bgr) {
  return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
}

SubtitleListModel::SubtitleListModel(const SubtitleDocument& doc, const AppSettings& app,
                                     const LanguageTable& lang, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc), app_(app), lang_(lang) {}

int SubtitleListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : doc_.Count() + padding_rows_;
}

int SubtitleListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant SubtitleListModel::data(const QModelIndex& index, int role) const {
  const int row = index.row();
  if (!index.isValid() || row < 0 || row >= rowCount()) return {};
  switch (role) {
    case Qt::DisplayRole: {
      if (!doc_.IsRow(row)) return QString();
      switch (index.column()) {
        case kNr:
          return QString::number(row + 1);
        case kStartCol:
          return ToQ(doc_.Start(row));
        case kEndCol:
          return ToQ(doc_.End(row));
        case kDuration:
          return ToQ(DurationText(doc_.Start(row), doc_.End(row)));
        case kLine1Col:
          return ToQ(doc_.Line(row, 0));
        case kLine2Col:
          return ToQ(doc_.Line(row, 1));
        case kCpsCol:
          return ToQ(ReadingSpeedText(ReadingSpeed(doc_, row)));
      }
      return {};
    }
    case Qt::BackgroundRole: {
      if (index.column() == kCpsCol && TooFast(row)) return kTooFastCell;
      if (row_colour_) {
        QColor c = row_colour_(row);
        if (c.isValid()) return c;
      }
      // The row numbered 1 (index 0) has the even colour.
      return ColorFromSetting(row % 2 == 0 ? app_.even_color : app_.odd_color);
    }
    case Qt::ForegroundRole:
      if (index.column() == kCpsCol && TooFast(row)) return kTooFastText;
      if (Emphasised(row)) return QColor(Qt::red);
      if (row_text_colour_) {
        QColor c = row_text_colour_(row);
        if (c.isValid()) return c;
      }
      return QColor(Qt::black);
    case Qt::FontRole:
      if (Emphasised(row) || (index.column() == kCpsCol && TooFast(row))) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case kEmphasisRole:
      return Emphasised(row);
    case kTooFastRole:
      return TooFast(row);
    case Qt::TextAlignmentRole:
      if (index.column() == kCpsCol) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      return index.column() < kLine1Col ? QVariant(Qt::AlignCenter)
                                        : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case kRowIndexRole:
      return row;
  }
  return {};
}

QVariant SubtitleListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return ToQ(lang_.Lookup(8000 + section));
  if (role == Qt::TextAlignmentRole)
    return section < kLine1Col || section == kCpsCol ? QVariant(Qt::AlignCenter)
                                                     : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

bool SubtitleListModel::TooFast(int row) const {
  return doc_.IsRow(row) && IsTooFast(ReadingSpeed(doc_, row), app_.max_cps);
}

void SubtitleListModel::EmphasisChanged() {
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
}

void SubtitleListModel::Refill() {
  beginResetModel();
  endResetModel();
}

void SubtitleListModel::RefreshHeaders() {
  emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

void SubtitleListModel::SetPaddingRows(int rows) {
  beginResetModel();
  padding_rows_ = std::max(0, rows);
  endResetModel();
}

}  // namespace tessera
