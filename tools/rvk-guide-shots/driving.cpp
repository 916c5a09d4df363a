#include "tools/rvk-guide-shots/driving.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QWidget>

void waitUntil(const std::function<bool()> &condition, const QString &what, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            throw SceneFailure(QStringLiteral("timed out waiting until %1").arg(what));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

namespace {
bool quickRun = false;
} // namespace

void setQuick(bool quick)
{
    quickRun = quick;
}

void observe(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    waitUntil([&] { return clock.elapsed() >= milliseconds; }, QStringLiteral("a pause ends"), milliseconds + 1000);
}

void settle(int milliseconds)
{
    // Events already posted (a layout, a repaint) still run.
    observe(quickRun ? 0 : milliseconds);
}

void meetModal(const std::function<void()> &trigger, const std::function<void(QWidget *)> &handle,
               const QString &what, int timeoutMs)
{
    bool handled = false;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || !box->isVisible())
            return;
        poll.stop();
        settle(300); // let it paint
        handle(box);
        handled = true;
    });
    poll.start();
    if (trigger)
        QTimer::singleShot(0, trigger);
    waitUntil([&] { return handled; }, what, timeoutMs);
}

QWidget *visibleWindow(const char *className)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->inherits(className))
            return widget;
    return nullptr;
}
