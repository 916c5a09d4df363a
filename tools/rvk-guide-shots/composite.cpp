#include "tools/rvk-guide-shots/composite.h"

#include <QPainter>
#include <QWidget>

namespace {
const QColor background(0xe6, 0xe6, 0xe6);
const QColor frame(0x70, 0x70, 0x70);
constexpr int margin = 8;

// The window's picture inside a one-pixel frame.
QImage framed(QWidget *window)
{
    const QImage inner = window->grab().toImage();
    QImage image(inner.width() + 2, inner.height() + 2, QImage::Format_RGB32);
    image.fill(frame);
    QPainter(&image).drawImage(1, 1, inner);
    return image;
}
} // namespace

QImage windowShot(QWidget *window)
{
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage stackShot(const QList<QWidget *> &windows)
{
    QRect bounds;
    for (QWidget *window : windows)
        bounds |= window->geometry().adjusted(-1, -1, 1, 1);
    bounds.setTopLeft(QPoint(qMax(0, bounds.left()), qMax(0, bounds.top())));
    QImage image(bounds.size() + QSize(2 * margin, 2 * margin), QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    for (QWidget *window : windows)
        painter.drawImage(window->geometry().topLeft() - QPoint(1, 1) - bounds.topLeft() + QPoint(margin, margin),
                          framed(window));
    return image;
}

QImage rowShot(const QList<QWidget *> &windows)
{
    QList<QImage> parts;
    int width = 0;
    int height = 0;
    for (QWidget *window : windows) {
        parts.append(framed(window));
        width += parts.last().width() + (parts.size() > 1 ? margin : 0);
        height = qMax(height, parts.last().height());
    }
    QImage image(width + 2 * margin, height + 2 * margin, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    int left = margin;
    for (const QImage &part : parts) {
        painter.drawImage(left, margin, part);
        left += part.width() + margin;
    }
    return image;
}
