#include "diagnostics/screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ScreenFit {

QRect fittedGeometry(const QRect &wanted, const QVector<QRect> &availableAreas)
{
    if (availableAreas.isEmpty())
        return wanted;
    QRect area = availableAreas.first();
    qint64 largestOverlap = 0;
    for (const QRect &candidate : availableAreas) {
        const QRect overlap = candidate.intersected(wanted);
        const qint64 size = qint64(overlap.width()) * overlap.height();
        if (size > largestOverlap) {
            largestOverlap = size;
            area = candidate;
        }
    }
    QRect fitted(wanted.topLeft(), wanted.size().boundedTo(area.size()));
    fitted.moveLeft(qBound(area.left(), fitted.left(), area.right() - fitted.width() + 1));
    fitted.moveTop(qBound(area.top(), fitted.top(), area.bottom() - fitted.height() + 1));
    return fitted;
}

void fitToScreen(QWidget *window)
{
    QVector<QRect> areas;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (QScreen *screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas << screen->availableGeometry();
    const QRect fitted = fittedGeometry(window->geometry(), areas);
    if (fitted.size() != window->size())
        window->resize(fitted.size());
    if (fitted.topLeft() != window->geometry().topLeft())
        window->move(window->pos() + fitted.topLeft() - window->geometry().topLeft());
}

} // namespace ScreenFit
