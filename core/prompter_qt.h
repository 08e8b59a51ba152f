// Message boxes, beeps and the MicroDVD frame-rate prompt shown with Qt widgets.
#pragma once

#include <QDialog>
#include <QPointer>

#include "core/services.h"

class QRadioButton;

namespace tessera {

// Asks for the frame rate of a frame-based file: 23.976 (the default) or 25.
class CLoadFrameRateDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CLoadFrameRateDialog(QWidget* parent = nullptr);
  double Rate() const;

 private:
  QRadioButton* ntsc_ = nullptr;
  QRadioButton* pal_ = nullptr;
};

class QtPrompter final : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  void MessageBox(const std::u16string& text, const std::u16string& caption,
                  PromptIcon icon) override;
  bool AskYesNo(const std::u16string& text, const std::u16string& caption,
                PromptIcon icon) override;
  PromptAnswer AskYesNoCancel(const std::u16string& text, const std::u16string& caption,
                              PromptIcon icon) override;
  bool MessageBoxOptOut(const std::u16string& text, const std::u16string& opt_out,
                        const std::u16string& caption, PromptIcon icon) override;
  bool AskApply(const std::u16string& text, const std::u16string& apply,
                const std::u16string& caption) override;
  void Beep() override;
  std::optional<double> AskLoadFrameRate() override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tessera
