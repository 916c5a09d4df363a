#pragma once

#include <QRect>
#include <QVector>

class QWidget;

namespace ScreenFit {

// Where a window asked for at wanted should go, given the available areas
// of the screens there are (the first is the primary): on the screen it
// overlaps most, or the primary when it overlaps none (restored from a
// screen that is gone), no larger than that screen's area and wholly on it.
QRect fittedGeometry(const QRect &wanted, const QVector<QRect> &availableAreas);

// Moves and shrinks a top-level window so that it fits as above, on the
// screens of this session.
void fitToScreen(QWidget *window);

} // namespace ScreenFit
