#pragma once

#include <QMargins>
#include <QRect>
#include <QVector>

class QWidget;

namespace ScreenFit {

// Where a window asked for at wanted should go, given the available areas
// of the screens there are (the first is the primary): on the screen it
// overlaps most, or the primary when it overlaps none (restored from a
// screen that is gone), no larger than that screen's area and wholly on it.
// wanted is the whole window, frame and title bar included.
QRect fittedGeometry(const QRect &wanted, const QVector<QRect> &availableAreas);

// Where a window of the given whole size goes beside another window (both
// frames included): on its right when the screen has room there, else on its
// left when it has room there, else on the side with more room; top edges
// level. The result may still need fitting.
QPoint besideWindow(const QRect &other, const QSize &size, const QVector<QRect> &availableAreas);

// What the window manager's frame and title bar add around a window's
// contents: as measured once the window has been shown, and a generous guess
// before (a title bar is rarely taller than 32 px at 100 %).
QMargins frameMargins(const QWidget *window);

// The available areas of this session's screens, the primary first.
QVector<QRect> availableAreas();

// Moves and shrinks a top-level window so that it fits as above, frame and
// title bar included, on the screens of this session.
void fitToScreen(QWidget *window);

// Fits every window and dialog of the application each time it is shown, so
// that none restored or sized for a larger screen opens partly off this one.
// Popups, menus and tool tips place themselves. Installing it twice does
// nothing more.
void fitEveryWindow();

} // namespace ScreenFit
