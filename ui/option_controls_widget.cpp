#include "ui/option_controls_widget.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/number_field.h"
#include "core/qt_text_qt.h"

namespace tessera {

NumberField::NumberField(Kind kind, Prompter& prompter, QWidget* parent)
    : QLineEdit(parent), kind_(kind), prompter_(prompter) {
  setAlignment(Qt::AlignRight);
  const int digits = kind == Kind::kWhole ? 5 : 7;
  setFixedWidth(fontMetrics().horizontalAdvance(QString(digits, QChar('0'))) + 14);
  connect(this, &QLineEdit::editingFinished, this, [this] { Commit(); });
}

void NumberField::SetValue(double value) {
  value_ = kind_ == Kind::kWhole ? static_cast<int>(value) : value;
  setText(ToQ(kind_ == Kind::kWhole ? WholeNumberText(static_cast<int>(value_))
                                    : RealNumberText(value_)));
}

bool NumberField::Commit() {
  // The message box takes the focus, which finishes the editing once more.
  if (prompting_) return false;
  const std::u16string text = FromQ(this->text());
  if (kind_ == Kind::kWhole) {
    if (std::optional<int> v = ParseWholeNumber(text)) {
      value_ = *v;
      return true;
    }
  } else if (std::optional<double> v = ParseRealNumber(text)) {
    value_ = *v;
    return true;
  }
  prompting_ = true;
  prompter_.MessageBox(kind_ == Kind::kWhole ? kEnterInteger : kEnterNumber, {},
                       PromptIcon::Exclamation);
  prompting_ = false;
  SetValue(value_);
  return false;
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit Clicked();
  QLabel::mouseReleaseEvent(event);
}

FlowPanel::FlowPanel(QWidget* parent)
    : QScrollArea(parent), inner_(new QWidget), rows_(new QVBoxLayout(inner_)) {
  rows_->setContentsMargins(0, 0, 0, 0);
  rows_->setSpacing(4);
  setWidget(inner_);
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
  // The list's compact font: the options of a page fit beside each other on a usual screen.
  QFont compact(QStringLiteral("Liberation Sans"), 8);
  compact.setStyleHint(QFont::SansSerif);
  inner_->setFont(compact);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // The log or the list below takes what the groups leave.
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  inner_->installEventFilter(this);
}

bool FlowPanel::eventFilter(QObject* watched, QEvent* event) {
  // A group changed its size (a caption, the style, a font): the rows and the page's layout
  // follow.
  if (watched == inner_ && event->type() == QEvent::LayoutRequest) {
    Reflow(viewport()->width(), false);
    updateGeometry();
  }
  return QScrollArea::eventFilter(watched, event);
}

void FlowPanel::AddItem(QWidget* item) {
  item->setParent(inner_);
  items_.push_back(item);
  Reflow(viewport()->width(), true);
}

QSize FlowPanel::sizeHint() const {
  return inner_->sizeHint();
}

QSize FlowPanel::minimumSizeHint() const {
  // Room for a few rows of options at least; the rest scrolls.
  return QSize(0, std::min(inner_->sizeHint().height(), 5 * fontMetrics().height()));
}

namespace {

// True when `layout` holds `widget`, directly or in a nested layout; the stretch of every step
// on the way is set to 0.
bool ClearStretchDownTo(QLayout* layout, QWidget* widget) {
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget() == widget ||
        (item->layout() && ClearStretchDownTo(item->layout(), widget))) {
      if (auto* box = qobject_cast<QBoxLayout*>(layout)) box->setStretch(i, 0);
      return true;
    }
  }
  return false;
}

}  // namespace

void KeepNaturalHeight(QWidget* root, QWidget* widget) {
  if (root->layout()) ClearStretchDownTo(root->layout(), widget);
}

void FlowPanel::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  Reflow(viewport()->width(), false);
}

void FlowPanel::Reflow(int width, bool force) {
  std::vector<int> breaks;
  int used = 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    const int w = items_[i]->sizeHint().width();
    if (i > 0 && used + rows_->spacing() + w > width) {
      breaks.push_back(static_cast<int>(i));
      used = w;
    } else {
      used += (i > 0 ? rows_->spacing() : 0) + w;
    }
  }
  if (!force && breaks == breaks_) return;
  breaks_ = breaks;
  while (QLayoutItem* row = rows_->takeAt(0)) {
    if (QLayout* l = row->layout()) {
      while (QLayoutItem* item = l->takeAt(0)) delete item;
    }
    delete row;
  }
  QHBoxLayout* row = nullptr;
  for (size_t i = 0, b = 0; i < items_.size(); ++i) {
    if (i == 0 || (b < breaks_.size() && breaks_[b] == static_cast<int>(i))) {
      if (i > 0) ++b;
      row = new QHBoxLayout;
      row->setSpacing(rows_->spacing());
      rows_->addLayout(row);
    }
    row->addWidget(items_[i], 1, Qt::AlignTop);
  }
  rows_->addStretch(1);
  updateGeometry();
}

}  // namespace tessera
