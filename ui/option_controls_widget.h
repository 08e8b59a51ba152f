// Controls the option pages build their options from: number fields that refuse
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
#include <optional>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "core/option_binding.h"
#include "core/qt_text_qt.h"
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

// How an option set shows a number in a plain line edit and takes it back: the text shown, and
// the message that refuses a text (nothing when the field took it).
template <typename O>
struct OptionTextRules {
  std::u16string (*show)(const OptionBinding<O>&, const O&) = nullptr;
  std::optional<std::u16string> (*take)(const OptionBinding<O>&, std::u16string_view, O&) = nullptr;
};

// A line edit whose text was refused, with the message that says why.
struct RefusedField {
  QLineEdit* field;
  std::u16string message;
};

// Sets and reads the controls an option table names, found under `root` by object name: a check
// box per flag or bit, a NumberField per number (milliseconds shown in seconds) or a plain line
// edit read by the option set's text rules, and option buttons `<name>0`, `<name>1`, ... for a
// choice.
template <typename O>
class OptionControls {
 public:
  OptionControls(const OptionTable<O>& table, QWidget* root, OptionTextRules<O> text = {})
      : table_(table), root_(root), text_(text) {}

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
      } else if (auto* edit = TextField(name)) {
        edit->setText(ToQ(text_.show(b, o)));
      } else {
        for (int i = 0; auto* radio = Radio(name, i); ++i) radio->setChecked(o.*b.whole == i);
      }
    }
  }

  // A NumberField whose text is no number says so at once and keeps its previous value; a plain
  // line edit whose text its rules refuse keeps the option's value, and the first such field is
  // returned for the caller to report.
  std::optional<RefusedField> Read(O& o) const {
    std::optional<RefusedField> refused;
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
      } else if (auto* edit = TextField(name)) {
        std::optional<std::u16string> message = text_.take(b, FromQ(edit->text()), o);
        if (message && !refused) refused = RefusedField{edit, std::move(*message)};
      } else {
        for (int i = 0; auto* radio = Radio(name, i); ++i)
          if (radio->isChecked()) o.*b.whole = i;
      }
    }
    return refused;
  }

 private:
  QLineEdit* TextField(const QString& name) const {
    return text_.show ? root_->findChild<QLineEdit*>(name) : nullptr;
  }
  QRadioButton* Radio(const QString& name, int i) const {
    return root_->findChild<QRadioButton*>(name + QString::number(i));
  }

  const OptionTable<O>& table_;
  QWidget* root_;
  OptionTextRules<O> text_;
};

}  // namespace tessera
