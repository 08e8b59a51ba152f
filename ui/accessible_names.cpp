#include "ui/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QVariant>
#include <algorithm>
#include <map>
#include <vector>

namespace tessera {
namespace {

// Marks a name this file gave, which it may give again; a name a page set itself stays.
constexpr char kDerived[] = "tesseraDerivedName";

QString TextOf(QWidget* w) {
  if (!w || !w->isVisibleTo(w->window())) return {};
  if (auto* l = qobject_cast<QLabel*>(w)) return NameOfLabel(l->text());
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return NameOfLabel(b->text());
  return {};
}

bool IsField(QWidget* w) {
  if (qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w) ||
      qobject_cast<QSlider*>(w))
    return true;
  // A spin box's own line edit is part of it.
  return qobject_cast<QLineEdit*>(w) && !qobject_cast<QAbstractSpinBox*>(w->parentWidget()) &&
         !qobject_cast<QComboBox*>(w->parentWidget());
}

// The layout that holds `w` directly, searched from its parent's layout down.
QLayout* HoldingLayout(QLayout* layout, QWidget* w) {
  if (!layout) return nullptr;
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget() == w) return layout;
    if (QLayout* found = HoldingLayout(item->layout(), w)) return found;
  }
  return nullptr;
}

QWidget* WidgetAt(QGridLayout* grid, int row, int column) {
  QLayoutItem* item = grid->itemAtPosition(row, column);
  return item ? item->widget() : nullptr;
}

// The texts before and after `field` in its row.
void Neighbours(QWidget* field, QString& before, QString& after) {
  QWidget* parent = field->parentWidget();
  QLayout* layout = parent ? HoldingLayout(parent->layout(), field) : nullptr;
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    int row, column, rows, columns;
    grid->getItemPosition(grid->indexOf(field), &row, &column, &rows, &columns);
    for (int c = column - 1; c >= 0 && before.isEmpty(); --c)
      before = TextOf(WidgetAt(grid, row, c));
    if (QWidget* next = WidgetAt(grid, row, column + columns); qobject_cast<QLabel*>(next))
      after = TextOf(next);
    return;
  }
  auto* box = qobject_cast<QBoxLayout*>(layout);
  if (!box) return;
  const int at = box->indexOf(field);
  for (int i = at - 1; i >= 0 && before.isEmpty(); --i) before = TextOf(box->itemAt(i)->widget());
  if (at + 1 < box->count())
    if (auto* next = qobject_cast<QLabel*>(box->itemAt(at + 1)->widget())) after = TextOf(next);
}

QString GroupTitle(QWidget* w) {
  for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
    if (auto* g = qobject_cast<QGroupBox*>(p)) return NameOfLabel(g->title());
  return {};
}

}  // namespace

QString NameOfLabel(const QString& label) {
  QString name;
  for (int i = 0; i < label.size(); ++i) {
    if (label[i] == u'&' && i + 1 < label.size() && label[i + 1] != u'&') continue;
    name += label[i];
  }
  name = name.trimmed();
  while (name.endsWith(u':') || name.endsWith(u'.')) name = name.chopped(1).trimmed();
  return name;
}

QString JoinedName(const QString& what, const QString& detail) {
  if (what.isEmpty()) return detail;
  if (detail.isEmpty()) return what;
  return what + QStringLiteral(", ") + detail;
}

void NameFieldsAfterTheirLabels(QWidget* root) {
  // Fields a label points at are heard by its text.
  std::map<QWidget*, QString> buddy_names;
  for (QLabel* l : root->findChildren<QLabel*>())
    if (l->buddy()) buddy_names[l->buddy()] = NameOfLabel(l->text());
  std::map<QString, std::vector<QWidget*>> heard;
  for (QWidget* field : root->findChildren<QWidget*>()) {
    if (!IsField(field)) continue;
    const bool derived = field->property(kDerived).toBool();
    if (!field->accessibleName().isEmpty() && !derived) {
      heard[field->accessibleName()].push_back(nullptr);  // the page's own name stays
      continue;
    }
    QString name;
    if (auto b = buddy_names.find(field); b != buddy_names.end()) {
      name = b->second;
    } else {
      QString before, after;
      Neighbours(field, before, after);
      name = JoinedName(before, after);
    }
    if (name.isEmpty()) name = GroupTitle(field);
    field->setAccessibleName(name);
    field->setProperty(kDerived, true);
    heard[name].push_back(field);
  }
  // A name two fields share gets their group's title in front.
  for (auto& [name, fields] : heard) {
    if (fields.size() < 2) continue;
    for (QWidget* f : fields) {
      if (!f) continue;
      const QString group = GroupTitle(f);
      if (!group.isEmpty() && group != name)
        f->setAccessibleName(group + QStringLiteral(": ") + name);
    }
  }
}

}  // namespace tessera
