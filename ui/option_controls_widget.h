// Controls the Fix Errors and Analyze pages build their options from: number fields that refuse
// text that is no number, the small arrow controls, clickable labels, a panel that puts its
// groups side by side as far as the width allows, and the binding of an option table to the
// controls named by it.
#pragma once

#include "ui/spin_arrows.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <vector>

#include "core/app_settings.h"
#include "core/option_binding.h"
#include "core/services.h"

class QVBoxLayout;

namespace tessera {

class NumberField : public QLineEdit {
  Q_OBJECT
 public:
  enum class Kind { kWhole, kReal };
  NumberField(Kind kind, Prompter& prompter, QWidget* parent = nullptr);

  // Shows the value and takes it as the field's value.
  void SetValue(double value);
  double Value() const { return value_; }
  // Takes the text as the field's value when it is a number of the field's kind; otherwise
  // says so ("Enter a number." / "Enter an integer.") and shows the previous value again.
  bool Commit();

 private:
  Kind kind_;
  Prompter& prompter_;
  double value_ = 0;
  bool prompting_ = false;
};

class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void Clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// Groups side by side in rows, as many to a row as the width holds, scrolled when the page is
// too small for them all.
class FlowPanel : public QScrollArea {
  Q_OBJECT
 public:
  explicit FlowPanel(QWidget* parent = nullptr);
  void AddItem(QWidget* item);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Reflow(int width, bool force);

  QWidget* inner_;
  QVBoxLayout* rows_;
  std::vector<QWidget*> items_;
  std::vector<int> breaks_;  // index of the first item of every row after the first
};

// Gives `widget` the height it asks for wherever the layouts of `root` hold it, rather than a
// share by stretch; what is left goes to the items that stretch.
void KeepNaturalHeight(QWidget* root, QWidget* widget);

// Sets and reads the controls an option table names, found under `root` by object name: a check
// box per flag or bit, a NumberField per number (milliseconds shown in seconds), and option
// buttons `<name>0`, `<name>1`, ... for a choice.
template <typename O>
class OptionControls {
 public:
  OptionControls(const OptionTable<O>& table, QWidget* root) : table_(table), root_(root) {}

  void Set(const O& o) const {
    for (const OptionBinding<O>& b : table_) {
      if (b.control.empty()) continue;
      const QString name = QString::fromLatin1(b.control.data(), b.control.size());
      if (auto* box = root_->findChild<QCheckBox*>(name)) {
        box->setChecked(b.mask ? (o.*b.whole & b.mask) != 0 : o.*b.whole != 0);
      } else if (auto* field = root_->findChild<NumberField*>(name)) {
        field->SetValue(b.kind == OptionKind::kReal           ? o.*b.real
                        : b.kind == OptionKind::kMilliseconds ? o.*b.whole / 1000.0
                                                              : o.*b.whole);
      } else {
        for (int i = 0; auto* radio = Radio(name, i); ++i) radio->setChecked(o.*b.whole == i);
      }
    }
  }

  // A number field whose text is no number says so and keeps its previous value.
  void Read(O& o) const {
    for (const OptionBinding<O>& b : table_) {
      if (b.control.empty()) continue;
      const QString name = QString::fromLatin1(b.control.data(), b.control.size());
      if (auto* box = root_->findChild<QCheckBox*>(name)) {
        const bool on = box->isChecked();
        if (b.mask)
          o.*b.whole = on ? o.*b.whole | b.mask : o.*b.whole & ~b.mask;
        else
          o.*b.whole = on ? 1 : 0;
      } else if (auto* field = root_->findChild<NumberField*>(name)) {
        field->Commit();
        if (b.kind == OptionKind::kReal)
          o.*b.real = field->Value();
        else if (b.kind == OptionKind::kMilliseconds)
          o.*b.whole = ToThousandths(field->Value());
        else
          o.*b.whole = static_cast<int>(field->Value());
      } else {
        for (int i = 0; auto* radio = Radio(name, i); ++i)
          if (radio->isChecked()) o.*b.whole = i;
      }
    }
  }

 private:
  QRadioButton* Radio(const QString& name, int i) const {
    return root_->findChild<QRadioButton*>(name + QString::number(i));
  }

  const OptionTable<O>& table_;
  QWidget* root_;
};

}  // namespace tessera
