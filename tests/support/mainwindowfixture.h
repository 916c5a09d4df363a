#pragma once

// The main window over the scripted driver, as the window tests drive it.
// A test class derives from MainWindowFixture (after QObject) and starts the
// window in init() or in the test itself; the working directory and the
// settings location are the test's own (testmain.h).
//
// Header-only because the support library does not link the application;
// every test executable that includes this does.

#include "app/mainwindow.h"
#include "protocol/frameclassification.h"
#include "protocol/programidentity.h"
#include "station/station.h"
#include "tests/support/fakektxdriver.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testtimings.h"

#include <QAction>
#include <QLabel>
#include <QShortcut>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <memory>

namespace rvktest {

// The per-user settings the program keeps natively (language, adapter,
// login token), in the test's own settings location.
inline QSettings nativeSettings()
{
    return ProgramIdentity::nativeSettings();
}

// A light of the status bar, found by its text (" KIVO ", " SSU ").
inline QLabel *statusLight(const QMainWindow &window, const QStringList &texts)
{
    for (QLabel *label : window.statusBar()->findChildren<QLabel *>())
        if (texts.contains(label->text()))
            return label;
    return nullptr;
}

// The timer that checks the link once a supervision period.
inline QTimer *supervisionTimer(const MainWindow &window)
{
    return window.station()->supervisor()->timer();
}

class MainWindowFixture
{
public:
    // The windows of a test over the scripted driver wait tens of
    // milliseconds where the program waits seconds (testtimings.h).
    MainWindowFixture() { useShortTimings(); }

    // A new scripted driver for the window to come.
    FakeKtxDriver *installDriver()
    {
        driver = FakeKtxDriver::install();
        return driver;
    }
    // The window, built as the program builds it: it opens the link at once.
    MainWindow *createWindow()
    {
        window = std::make_unique<MainWindow>();
        return window.get();
    }
    MainWindow *startWindow()
    {
        installDriver();
        return createWindow();
    }
    void closeWindow() { window.reset(); }

    template<typename T> T *widget(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }
    QLabel *kivoLight() const { return statusLight(*window, {QStringLiteral(" KIVO ")}); }
    QLabel *ssuLight() const { return statusLight(*window, {QStringLiteral(" SSU "), QStringLiteral(" SAS ")}); }

    // "Read the report" pressed.
    bool requestReport()
    {
        auto *button = widget<QPushButton>("pushButton_ReadData");
        if (!button)
            return false;
        button->click();
        return true;
    }
    // Service mode as staff enter it: the chord, then the access code.
    // True once the service controls are there.
    bool enterServiceMode()
    {
        ModalAnswerer answerer;
        answerer.enterText(QString::number(ProgramIdentity::ServiceAccessCode));
        const QKeySequence chord(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
        for (QShortcut *shortcut : window->findChildren<QShortcut *>())
            if (shortcut->key() == chord)
                emit shortcut->activated();
        // The wipe buttons take clicks a moment after they appear.
        return widget<QPushButton>("pushButton_SetSN")->isEnabled()
               && QTest::qWaitFor([this] { return widget<QPushButton>("pushButton_EEPROMClear")->isEnabled(); },
                                  StationTimings::current().wipeArmingMs + 3000);
    }
    // A button of the window pressed; a hidden or disabled one does nothing,
    // as for the user.
    bool press(const char *button)
    {
        auto *pressed = widget<QAbstractButton>(button);
        if (!pressed)
            return false;
        pressed->click();
        return true;
    }
    // An action of the window triggered, as from its menu or tool bar.
    bool trigger(const char *action)
    {
        auto *triggered = widget<QAction>(action);
        if (!triggered)
            return false;
        triggered->trigger();
        return true;
    }

    // The bytes as the module sends a report: eight-byte data frames...
    void sendReportFrames(const QByteArray &record)
    {
        for (int at = 0; at < record.size(); at += 8)
            driver->receiveData(CanIdReadData, record.mid(at, 8));
    }
    // ...and the end frame.
    void sendReportEnd() { driver->receiveRemote(CanIdReadData, 0); }
    void sendReport(const QByteArray &record)
    {
        sendReportFrames(record);
        sendReportEnd();
    }

    // One monitor frame (padded with zeros to eight bytes), taken by the
    // station straight away rather than when the event loop comes round.
    void deliverMonitorFrame(const QByteArray &bytes)
    {
        QByteArray frame = bytes.left(8);
        frame.append(QByteArray(8 - frame.size(), '\0'));
        driver->receiveData(CanIdMonitor, frame);
        window->station()->dispatchPendingFrames();
    }
    // Text cut into eight-byte frames, as the module sends it.
    void deliverMonitorText(const QByteArray &text)
    {
        for (int at = 0; at < text.size(); at += 8)
            deliverMonitorFrame(text.mid(at, 8));
    }

    // A whole report requested and read, as the factory value commands
    // need before they write; true once the window has taken every frame.
    bool readWholeReport(const QByteArray &record)
    {
        if (!requestReport())
            return false;
        sendReport(record);
        return QTest::qWaitFor([this] { return driver->incoming.isEmpty(); }, 5000);
    }

    FakeKtxDriver *driver = nullptr;
    std::unique_ptr<MainWindow> window;
};

} // namespace rvktest
