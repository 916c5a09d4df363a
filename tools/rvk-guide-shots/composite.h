#pragma once

#include <QImage>
#include <QList>

class QWidget;

// The pictures are made without a window manager, so windows have no frames
// of their own: each gets a thin grey frame on a light background, or a
// dialog over the main window would not stand out.

// One window as it is on the screen.
QImage windowShot(QWidget *window);
// Windows stacked as on the screen, the first at the bottom.
QImage stackShot(const QList<QWidget *> &windows);
// Windows side by side, top-aligned.
QImage rowShot(const QList<QWidget *> &windows);
