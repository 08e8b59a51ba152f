#include "ui/spin_arrows.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace tessera {
namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType type, const char* name) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setArrowType(type);
  b->setAutoRepeat(true);
  // Reached with Tab, so a keyboard steps the value too; a click leaves the focus where it was.
  b->setFocusPolicy(Qt::TabFocus);
  b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  b->setFixedWidth(16);
  return b;
}

}  // namespace

SpinArrows::SpinArrows(QWidget* parent)
    : QWidget(parent),
      up_(MakeArrow(this, Qt::UpArrow, "up")),
      down_(MakeArrow(this, Qt::DownArrow, "down")) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up_);
  layout->addWidget(down_);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(up_, &QToolButton::clicked, this, [this] { emit Stepped(true); });
  connect(down_, &QToolButton::clicked, this, [this] { emit Stepped(false); });
}

SpinArrows::SpinArrows(const QString& name, QWidget* parent) : SpinArrows(parent) {
  setObjectName(name + QStringLiteral("Arrows"));
  up_->setObjectName(name + QStringLiteral("Up"));
  down_->setObjectName(name + QStringLiteral("Down"));
}

void SpinArrows::SetCaption(const QString& what) {
  up_->setAccessibleName(what + QStringLiteral(", up"));
  down_->setAccessibleName(what + QStringLiteral(", down"));
}

QSize SpinArrows::sizeHint() const {
  return {16, 25};
}

}  // namespace tessera
