// Accessible names for what a screen reader would otherwise hear as its group's name or not at
// all: fields whose label is shared with others, and drawn readouts.
#pragma once

#include <QString>

class QWidget;

namespace tessera {

// A label's text as a name: without its shortcut mark and trailing colon or full stop
// ("&Start:" -> "Start").
QString NameOfLabel(const QString& label);

// "Start" and "seconds" -> "Start, seconds"; either part may be empty.
QString JoinedName(const QString& what, const QString& detail);

// Names every field of `root` (line, number and spin fields, lists to choose from, sliders) that
// has no name of its own: after the label pointing at it, else after the texts beside it in its
// row, the control or label before it and the label after it ("Fix (too) short duration, seconds
// minimum"). A name two fields would share gets their group's title in front ("Stretch:
// seconds"). Run again after the captions change.
void NameFieldsAfterTheirLabels(QWidget* root);

}  // namespace tessera
