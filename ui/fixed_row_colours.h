// The row colours of the lists on the FrameRate, Synchronize and Edit pages: fixed pale green and
// white, whatever colours the options choose for the other lists.
#pragma once

#include <QColor>

namespace tessera {

inline QColor FixedRowColour(int row) {
  return row % 2 == 0 ? QColor(240, 255, 240) : QColor(Qt::white);
}

}  // namespace tessera
