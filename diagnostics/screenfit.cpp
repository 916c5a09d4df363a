#include "diagnostics/screenfit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ScreenFit {

namespace {

// Fits on QEvent::Show, which Qt sends before the native window is mapped,
// so the window never appears first where it does not fit.
class ShowWatcher : public QObject
{
public:
    explicit ShowWatcher(QObject *application)
        : QObject(application)
    {
        setObjectName(QStringLiteral("ScreenFit"));
        application->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const Qt::WindowType type = widget->windowType();
        if (widget->isWindow() && (type == Qt::Window || type == Qt::Dialog))
            fitToScreen(widget);
        return false;
    }
};

} // namespace

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

QPoint besideWindow(const QRect &other, const QSize &size, const QVector<QRect> &availableAreas)
{
    const QPoint right(other.right() + 1, other.top());
    const QPoint left(other.left() - size.width(), other.top());
    if (availableAreas.isEmpty())
        return right;
    QRect area = availableAreas.first();
    for (const QRect &candidate : availableAreas)
        if (candidate.contains(other.center()))
            area = candidate;
    const int roomRight = area.right() - other.right();
    const int roomLeft = other.left() - area.left();
    if (roomRight >= size.width())
        return right;
    if (roomLeft >= size.width())
        return left;
    return roomRight >= roomLeft ? right : left;
}

namespace {
// Once the window system has framed the window, Qt knows the frame: the
// frame geometry differs from the contents'.
bool frameKnown(const QWidget *window)
{
    return window->frameGeometry() != window->geometry();
}
} // namespace

QMargins frameMargins(const QWidget *window)
{
    if (window->windowFlags().testFlag(Qt::FramelessWindowHint))
        return QMargins();
    const QRect frame = window->frameGeometry();
    const QRect contents = window->geometry();
    if (frameKnown(window))
        return QMargins(contents.left() - frame.left(), contents.top() - frame.top(), frame.right() - contents.right(),
                        frame.bottom() - contents.bottom());
    return QMargins(8, 32, 8, 8);
}

QVector<QRect> availableAreas()
{
    QVector<QRect> areas;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (QScreen *screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas << screen->availableGeometry();
    return areas;
}

void fitToScreen(QWidget *window)
{
    const QVector<QRect> areas = availableAreas();
    // Before the window is framed, its position may end up as the contents'
    // corner (a window system placing it as asked) or the frame's (one that
    // honours the frame's gravity); taken as the contents', the title bar
    // stays on the screen either way, at worst a title bar's height lower.
    const QMargins margins = frameMargins(window);
    const QPoint topLeftOffset(margins.left(), margins.top());
    const bool framed = frameKnown(window);
    const QPoint corner = framed ? window->pos() : window->geometry().topLeft() - topLeftOffset;
    const QRect fitted = fittedGeometry(QRect(corner, window->size().grownBy(margins)), areas);
    const QSize contents = fitted.size().shrunkBy(margins).expandedTo(window->minimumSize());
    if (contents != window->size())
        window->resize(contents);
    // A window nobody placed is the window manager's to place (it keeps it
    // on the screen); only its size is this program's business then.
    if (!framed && !window->testAttribute(Qt::WA_Moved))
        return;
    if (fitted.topLeft() != corner)
        window->move(framed ? fitted.topLeft() : fitted.topLeft() + topLeftOffset);
}

void fitEveryWindow()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (application && !application->findChild<QObject *>(QStringLiteral("ScreenFit"), Qt::FindDirectChildrenOnly))
        new ShowWatcher(application);
}

} // namespace ScreenFit
