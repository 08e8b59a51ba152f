#include "core/prompter_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/qt_text_qt.h"

namespace tessera {
namespace {

QMessageBox::Icon ToQtIcon(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Information:
      return QMessageBox::Information;
    case PromptIcon::Warning:
    case PromptIcon::Exclamation:
      return QMessageBox::Warning;
    case PromptIcon::Error:
      return QMessageBox::Critical;
    case PromptIcon::Question:
      return QMessageBox::Question;
    case PromptIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// Message texts end their lines in CR LF; a CR would show as a stray box in some styles.
QString BoxText(const std::u16string& text) {
  QString s = ToQ(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QString());
  return s;
}

QString BoxCaption(const std::u16string& caption) {
  return caption.empty() ? QApplication::applicationDisplayName() : ToQ(caption);
}

}  // namespace

CLoadFrameRateDialog::CLoadFrameRateDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Select frame rate"));
  auto* picture = new QLabel(this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(48, 48));
  picture->setAlignment(Qt::AlignVCenter);
  auto* text = new QLabel(
      QStringLiteral("This subtitle format is frame based. Please select the used frame rate. "
                     "If you're not sure select 23.976 (NTSC)  because this is the most common "
                     "format..."),
      this);
  text->setWordWrap(true);
  ntsc_ = new QRadioButton(QStringLiteral("23.976 (NTSC)"), this);
  pal_ = new QRadioButton(QStringLiteral("25 (PAL)"), this);
  ntsc_->setChecked(true);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* right = new QVBoxLayout;
  right->addWidget(text);
  right->addWidget(ntsc_);
  right->addWidget(pal_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  right->addLayout(buttons);
  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(10, 10, 10, 10);
  top->addWidget(picture);
  top->addLayout(right, 1);
  resize(420, sizeHint().height());
}

double CLoadFrameRateDialog::Rate() const {
  return pal_->isChecked() ? 25.0 : 23.976;
}

void QtPrompter::MessageBox(const std::u16string& text, const std::u16string& caption,
                            PromptIcon icon) {
  QMessageBox box(ToQtIcon(icon), BoxCaption(caption), BoxText(text), QMessageBox::Ok,
                  parent_.data());
  box.exec();
}

bool QtPrompter::MessageBoxOptOut(const std::u16string& text, const std::u16string& opt_out,
                                  const std::u16string& caption, PromptIcon icon) {
  QMessageBox box(ToQtIcon(icon), BoxCaption(caption), BoxText(text), QMessageBox::Ok,
                  parent_.data());
  auto* skip = new QCheckBox(ToQ(opt_out), &box);
  box.setCheckBox(skip);
  box.exec();
  return skip->isChecked();
}

bool QtPrompter::AskYesNo(const std::u16string& text, const std::u16string& caption,
                          PromptIcon icon) {
  QMessageBox box(ToQtIcon(icon), BoxCaption(caption), BoxText(text),
                  QMessageBox::Yes | QMessageBox::No, parent_.data());
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

bool QtPrompter::AskApply(const std::u16string& text, const std::u16string& apply,
                          const std::u16string& caption) {
  QMessageBox box(QMessageBox::Question, BoxCaption(caption), BoxText(text), QMessageBox::Cancel,
                  parent_.data());
  QPushButton* yes = box.addButton(ToQ(apply), QMessageBox::AcceptRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(QMessageBox::Cancel);
  box.exec();
  return box.clickedButton() == yes;
}

PromptAnswer QtPrompter::AskYesNoCancel(const std::u16string& text, const std::u16string& caption,
                                        PromptIcon icon) {
  QMessageBox box(ToQtIcon(icon), BoxCaption(caption), BoxText(text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_.data());
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return PromptAnswer::Yes;
    case QMessageBox::No:
      return PromptAnswer::No;
    default:
      return PromptAnswer::Cancel;
  }
}

void QtPrompter::Beep() {
  QApplication::beep();
}

std::optional<double> QtPrompter::AskLoadFrameRate() {
  CLoadFrameRateDialog dialog(parent_.data());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Rate();
}

}  // namespace tessera
