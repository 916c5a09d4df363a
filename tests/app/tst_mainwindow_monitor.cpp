#include "diagnostics/dbgtextedit.h"
#include "diagnostics/verificationdialog.h"
#include "protocol/frameclassification.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QDir>
#include <QFile>
#include <QLCDNumber>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

namespace {

QStringList logFiles();

struct Fixture : rvktest::MainWindowFixture
{
    Fixture()
    {
        startWindow();
        monitor = window->findChild<DbgTextEdit *>();
        dialog = window->findChild<VerificationDialog *>();
        writeToFile = widget<QCheckBox>("checkBox_WriteToFile");
    }
    DbgTextEdit *monitor = nullptr;
    VerificationDialog *dialog = nullptr;
    QCheckBox *writeToFile = nullptr;

    void deliverFrames(const QList<QByteArray> &frames)
    {
        for (const QByteArray &frame : frames)
            deliverMonitorFrame(frame);
    }

    QList<CanMessage> monitorSwitches() const
    {
        QList<CanMessage> switches;
        for (const CanMessage &message : driver->writtenMessages()) {
            if (message.id == CanIdMonitor)
                switches << message;
        }
        return switches;
    }
    // The log opens once the silent read-out has named the module, or after
    // the time allowed for it; nothing waits for that in the window. A loaded
    // machine may add its own delay to the allowed time.
    static int namingWaitMs() { return StationTimings::current().logNamingWaitMs; }
    bool logOpened(int timeoutMs = 3 * namingWaitMs() + 1000)
    {
        return QTest::qWaitFor([] { return !logFiles().isEmpty(); }, timeoutMs);
    }
    double shown(const char *readOut) const
    {
        return dialog->findChild<QLCDNumber *>(QLatin1String(readOut))->value();
    }
};

QString readFile(const QString &path)
{
    return QString::fromLocal8Bit(rvktest::readFile(path));
}

QStringList logFiles()
{
    return rvktest::filesIn(QStringLiteral("log"));
}

// Every switch-on opens the log again, under a new name when the minute has
// changed meanwhile; the entries go to the one opened last.
QString newestLogFile()
{
    return QStringLiteral("log/") + QDir(QStringLiteral("log")).entryList(QDir::Files, QDir::Time).value(0);
}

// Collects what Qt and the program print meanwhile: a block with nowhere to
// go must be dropped, not written to a closed or missing file.
class PrintedMessages
{
public:
    PrintedMessages() { previous = qInstallMessageHandler(&PrintedMessages::collect); }
    ~PrintedMessages() { qInstallMessageHandler(previous); }
    static QStringList &messages()
    {
        static QStringList all;
        return all;
    }

private:
    static void collect(QtMsgType, const QMessageLogContext &, const QString &message) { messages() << message; }
    QtMessageHandler previous = nullptr;
};

const QString timeStamp = QStringLiteral("\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\]\\n");

} // namespace

class TestMainWindowMonitor : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void offWithLinkDownStillClosesWindows();
    void closingEitherWindowSwitchesOff();
    void escapeInTheSensorDialogSwitchesOff();
    void framesAppearAsText();
    void blockWithoutAverageIsNotHandedOver();
    void completedBlockReachesReadOuts();
    void threeFrameBlockIsLogged();
    void frameCompletingBlockStartsNext();
    void logNamedAfterSilentReadout();
    void logClosedWhenMonitorSwitchedOff();
    void unopenableLogWarnsAndMonitoringGoesOn();
    void returnTogglesAutoScroll();
    void pausedViewStaysWhereTheUserReads();
    void longSessionStaysBounded();
    void sensorDialogOpensBesideTheWindow();
};

void TestMainWindowMonitor::cleanup()
{
    rvktest::removeEntries({QStringLiteral("log")});
}

// With no place stored for it, the dialog opens next to the window, not
// over its buttons (the offscreen screen has room on neither side, so on the
// side with more room, pulled back onto the screen).
void TestMainWindowMonitor::sensorDialogOpensBesideTheWindow()
{
    Fixture f;
    f.window->move(0, 0);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_Plus);
    QVERIFY(f.dialog->isVisible());
    // Level with the window, give or take the title bar kept on the screen.
    QVERIFY(qAbs(f.dialog->frameGeometry().top() - f.window->frameGeometry().top()) <= 40);
    // At the screen's right edge, less what the guessed frame took.
    const int screenRight = QGuiApplication::primaryScreen()->availableGeometry().right();
    QVERIFY(f.dialog->frameGeometry().right() <= screenRight);
    QVERIFY(f.dialog->frameGeometry().right() >= screenRight - 16);
}

void TestMainWindowMonitor::offWithLinkDownStillClosesWindows()
{
    Fixture f;
    QTest::keyClick(f.window.get(), Qt::Key_Plus);
    QCOMPARE(f.monitorSwitches().size(), 1);

    f.driver->infoResult = -3;
    QTest::keyClick(f.window.get(), Qt::Key_Minus);
    f.driver->infoResult = 0;
    QVERIFY(!f.monitor->isVisible());
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.monitorSwitches().size(), 1);
}

void TestMainWindowMonitor::closingEitherWindowSwitchesOff()
{
    Fixture f;
    QVERIFY(f.enterServiceMode());
    QVERIFY(f.press("pushButton_MonitorOn"));
    QVERIFY(f.monitor->isVisible() && f.dialog->isVisible());
    f.dialog->close();
    QVERIFY(!f.monitor->isVisible());
    QCOMPARE(f.monitorSwitches().last().dlc, quint8(0));

    QTest::keyClick(f.window.get(), Qt::Key_Plus);
    const int before = f.monitorSwitches().size();
    QVERIFY(f.press("pushButton_MonitorOff"));
    QVERIFY(!f.monitor->isVisible());
    QVERIFY(!f.dialog->isVisible());
    QVERIFY(f.monitorSwitches().size() > before);
    QCOMPARE(f.monitorSwitches().last().dlc, quint8(0));
}

void TestMainWindowMonitor::escapeInTheSensorDialogSwitchesOff()
{
    Fixture f;
    QTest::keyClick(f.window.get(), Qt::Key_Plus);
    QVERIFY(f.dialog->isVisible());
    const int before = f.monitorSwitches().size();
    QTest::keyClick(f.dialog, Qt::Key_Escape);
    QVERIFY(!f.dialog->isVisible());
    QVERIFY(!f.monitor->isVisible());
    QVERIFY(f.monitorSwitches().size() > before);
    QCOMPARE(f.monitorSwitches().last().rtr, quint8(1));
    QCOMPARE(f.monitorSwitches().last().dlc, quint8(0));
}

void TestMainWindowMonitor::framesAppearAsText()
{
    Fixture f;
    f.deliverMonitorFrame(QByteArray("abc\0\0\0\0\0", 8));
    QCOMPARE(f.monitor->toPlainText(), QStringLiteral("abc"));
    f.deliverMonitorFrame(QByteArray("def\r\nxyz"));
    QCOMPARE(f.monitor->toPlainText(), QStringLiteral("abcdef\nxyz"));
    f.deliverMonitorFrame(QByteArray("12345678"));
    QCOMPARE(f.monitor->toPlainText(), QStringLiteral("abcdef\nxyz12345678"));
    // UTF-8 from the module goes through Latin-1 on its way to the window.
    f.deliverMonitorFrame(QByteArray("t=\xc3\xa9 \xd0\x96"));
    QCOMPARE(f.monitor->toPlainText(), QStringLiteral("abcdef\nxyz12345678t=\ufffd ?"));
}

void TestMainWindowMonitor::blockWithoutAverageIsNotHandedOver()
{
    Fixture f;
    f.writeToFile->setChecked(true);
    QVERIFY(f.logOpened());
    f.deliverMonitorText("RPM=1500\r\nTemp=35.25\r\nVin=27.5\r\n");
    QCOMPARE(f.shown("lcdNumber_RPM"), 0.0);
    QCOMPARE(f.shown("lcdNumber_Temp"), 0.0);
    const QStringList files = logFiles();
    QCOMPARE(files.size(), 1);
    QCOMPARE(readFile(QStringLiteral("log/") + files.first()), QString());
}

void TestMainWindowMonitor::completedBlockReachesReadOuts()
{
    Fixture f;
    f.deliverMonitorText("RPM=1500\r\nTemp=35.25\r\ndataMaximal_X=1.5\r\ndataAverage=12.5");
    QCOMPARE(f.shown("lcdNumber_RPM"), 0.0);
    f.deliverMonitorFrame("\r\n");
    QCOMPARE(f.shown("lcdNumber_RPM"), 1500.0);
    QCOMPARE(f.shown("lcdNumber_Temp"), 35.25);
    QCOMPARE(f.shown("lcdNumber_Maximal_X"), 1.5);
    QCOMPARE(f.shown("lcdNumber_dataMaximal"), 0.0);

    // Only the next block counts: the old RPM reading is gone with its block.
    f.deliverMonitorText("Temp=36.5\r\ndataAverage=1.5\r\n");
    QCOMPARE(f.shown("lcdNumber_Temp"), 36.5);
    QCOMPARE(f.shown("lcdNumber_RPM"), 1500.0);
}

void TestMainWindowMonitor::threeFrameBlockIsLogged()
{
    Fixture f;
    f.writeToFile->setChecked(true);
    QVERIFY(f.logOpened());
    const QDateTime before = QDateTime::currentDateTime();
    f.deliverFrames({"dataAver", "age=12.5", QByteArray("\r\n\0\0\0\0\0\0", 8)});
    const QDateTime after = QDateTime::currentDateTime();

    QCOMPARE(logFiles().size(), 1);
    const QString log = readFile(QStringLiteral("log/") + logFiles().first());
    const QRegularExpressionMatch entry =
        QRegularExpression(QStringLiteral("^\\[(.{23})\\]\\ndataAverage=12\\.5\\n$")).match(log);
    QVERIFY2(entry.hasMatch(), qPrintable(log));
    const QDateTime stamped = QDateTime::fromString(entry.captured(1), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    QVERIFY(stamped.isValid());
    QVERIFY(stamped >= before.addMSecs(-1) && stamped <= after);
    QCOMPARE(f.monitor->toPlainText(), QStringLiteral("dataAverage=12.5\n"));
}

void TestMainWindowMonitor::frameCompletingBlockStartsNext()
{
    Fixture f;
    f.writeToFile->setChecked(true);
    QVERIFY(f.logOpened());
    f.deliverFrames({"dataAver", "age=12.", "5\nVib", "Aout=2.5", "\ndataAve", "rage=3.5", "\r\n"});
    const QString log = readFile(QStringLiteral("log/") + logFiles().value(0));
    QVERIFY2(QRegularExpression(QStringLiteral("^%1dataAverage=12\\.5\\nVib%1Aout=2\\.5\\ndataAverage=3\\.5\\n$")
                                    .arg(timeStamp))
                 .match(log)
                 .hasMatch(),
             qPrintable(log));
    QCOMPARE(f.shown("lcdNumber_Aout"), 2.5);
}

void TestMainWindowMonitor::logNamedAfterSilentReadout()
{
    Fixture f;
    ModalAnswerer answerer;
    // The module answers the read-out that opening the log starts.
    f.sendReport(rvktest::RecordBuilder().set(WordSerialNumber, 4321).build());

    f.writeToFile->setChecked(true);

    // Named as soon as the read-out has ended, without waiting longer.
    QVERIFY(f.logOpened(Fixture::namingWaitMs() / 2));
    const QStringList files = logFiles();
    QCOMPARE(files.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^rvk_sn4321_\\d\\d\\.\\d\\d\\.\\d{4}_\\d\\d\\.\\d\\d\\.log$"))
                 .match(files.first())
                 .hasMatch(),
             qPrintable(files.first()));
    QCOMPARE(f.driver->writtenMessages().first().id, quint16(CanIdReadData));
    // Silent: no report document, no viewer, no box.
    QVERIFY(!QDir(QStringLiteral("Reports")).exists() || QDir(QStringLiteral("Reports")).isEmpty());
    QVERIFY(answerer.seen.isEmpty());
}

void TestMainWindowMonitor::logClosedWhenMonitorSwitchedOff()
{
    Fixture f;
    f.writeToFile->setChecked(true);
    QTest::keyClick(f.window.get(), Qt::Key_Plus);
    // The stream is switched on once its log is open.
    QTRY_COMPARE(f.monitorSwitches().size(), 1);
    QVERIFY(!logFiles().isEmpty());
    f.deliverMonitorText("dataAverage=1.5\r\n");
    const QString path = newestLogFile();
    const QString logged = readFile(path);
    QVERIFY(logged.endsWith(QStringLiteral("dataAverage=1.5\n")));

    QTest::keyClick(f.window.get(), Qt::Key_Minus);
    PrintedMessages::messages().clear();
    {
        PrintedMessages printed;
        f.deliverMonitorText("dataAverage=2.5\r\n");
    }
    QCOMPARE(PrintedMessages::messages(), QStringList());
    QCOMPARE(readFile(path), logged);

    // Switching on again continues the same file.
    const int switches = f.monitorSwitches().size();
    QTest::keyClick(f.window.get(), Qt::Key_Plus);
    QTRY_VERIFY(f.monitorSwitches().size() > switches && f.monitorSwitches().last().dlc == 1);
    f.deliverMonitorText("dataAverage=3.5\r\n");
    const QString continued = readFile(newestLogFile());
    QVERIFY2(continued.endsWith(QStringLiteral("dataAverage=3.5\n")), qPrintable(continued));
    QVERIFY(!continued.contains(QStringLiteral("dataAverage=2.5")));
}

void TestMainWindowMonitor::unopenableLogWarnsAndMonitoringGoesOn()
{
    Fixture f;
    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);
    answerer.press(QMessageBox::Ok);
    {
        QFile blocker(QStringLiteral("log"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }

    f.writeToFile->setChecked(true);
    QTRY_COMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().title, QStringLiteral("Внимание"));
    const QString expectedStart =
        QStringLiteral("Не могу открыть файл для сохранения лога\n") + QDir::currentPath() + QStringLiteral("/log/rvk_sn0_");
    QVERIFY2(answerer.seen.first().text.startsWith(expectedStart), qPrintable(answerer.seen.first().text));
    QVERIFY(answerer.seen.first().text.endsWith(QStringLiteral(".log")));

    QTest::keyClick(f.window.get(), Qt::Key_Plus);
    QTRY_COMPARE(answerer.seen.size(), 2);
    QVERIFY(f.monitor->isVisible());
    QCOMPARE(f.monitorSwitches().size(), 1);

    PrintedMessages::messages().clear();
    {
        PrintedMessages printed;
        f.deliverMonitorText("Vout=12.5\r\ndataAverage=1.5\r\n");
    }
    QCOMPARE(PrintedMessages::messages(), QStringList());
    QCOMPARE(f.shown("lcdNumber_Vout"), 12.5);
}

// Return pauses the scrolling and says so in the title. New text always
// goes at the end: a click while reading must not split the lines.
void TestMainWindowMonitor::returnTogglesAutoScroll()
{
    Fixture f;
    QTest::keyClick(f.window.get(), Qt::Key_Plus);
    f.deliverMonitorFrame("line1\n");
    QCOMPARE(f.monitor->windowTitle(), QStringLiteral("Debugger"));

    QTest::keyClick(f.monitor, Qt::Key_Return);
    QCOMPARE(f.monitor->windowTitle(), QStringLiteral("Debugger — прокрутка остановлена (Enter)"));
    f.deliverMonitorText("Freq=392.06\r\n");
    QTest::mouseClick(f.monitor->viewport(), Qt::LeftButton, {}, f.monitor->cursorRect(QTextCursor()).center());
    f.monitor->moveCursor(QTextCursor::Start);
    f.monitor->moveCursor(QTextCursor::Right);
    f.deliverMonitorFrame("A");
    f.deliverMonitorFrame("B");
    QCOMPARE(f.monitor->toPlainText(), QStringLiteral("line1\nFreq=392.06\nAB"));
    QCOMPARE(f.monitor->textCursor().position(), 1);

    QTest::keyClick(f.monitor, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.monitor->windowTitle(), QStringLiteral("Debugger"));
    f.deliverMonitorFrame("C");
    QCOMPARE(f.monitor->toPlainText(), QStringLiteral("line1\nFreq=392.06\nABC"));
    QVERIFY(f.monitor->textCursor().atEnd());
}

// While paused the view stays on the lines being read; scrolling on, it
// follows the newest text.
void TestMainWindowMonitor::pausedViewStaysWhereTheUserReads()
{
    Fixture f;
    QTest::keyClick(f.window.get(), Qt::Key_Plus);
    for (int line = 0; line < 200; ++line)
        f.deliverMonitorFrame("reading\n");
    QScrollBar *scrollBar = f.monitor->verticalScrollBar();
    QVERIFY(scrollBar->maximum() > 0);
    QVERIFY(f.monitor->viewport()->rect().contains(f.monitor->cursorRect()));

    QTest::keyClick(f.monitor, Qt::Key_Return);
    scrollBar->setValue(scrollBar->maximum() / 3);
    const int readingAt = scrollBar->value();
    for (int line = 0; line < 50; ++line)
        f.deliverMonitorFrame("newer\n");
    QCOMPARE(scrollBar->value(), readingAt);

    QTest::keyClick(f.monitor, Qt::Key_Return);
    f.deliverMonitorFrame("newest\n");
    QVERIFY(scrollBar->value() > readingAt);
    QVERIFY(f.monitor->viewport()->rect().contains(f.monitor->cursorRect()));
}

void TestMainWindowMonitor::longSessionStaysBounded()
{
    Fixture f;
    f.writeToFile->setChecked(true);
    QVERIFY(f.logOpened());
    const int lines = 3 * DbgTextEdit::maximumLines + 10;
    int mostLines = 0;
    for (int line = 0; line < lines; ++line) {
        f.deliverMonitorFrame(QStringLiteral("L%1\r\n").arg(line, 5, 10, QLatin1Char('0')).toLatin1());
        mostLines = qMax(mostLines, f.monitor->document()->blockCount());
    }
    QCOMPARE(mostLines, DbgTextEdit::maximumLines);
    const int kept = f.monitor->document()->blockCount();
    QVERIFY(kept >= DbgTextEdit::maximumLines - DbgTextEdit::trimBatch);
    // Whole lines go, the oldest first; the newest stay in order.
    const QStringList shown = f.monitor->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(shown.size(), kept);
    QCOMPARE(shown.at(kept - 2), QStringLiteral("L%1").arg(lines - 1, 5, 10, QLatin1Char('0')));
    QCOMPARE(shown.first(), QStringLiteral("L%1").arg(lines - kept + 1, 5, 10, QLatin1Char('0')));

    // A block that never completes keeps only its newest text.
    f.deliverMonitorText("dataAverage=1.5\r\n");
    const QString log = readFile(QStringLiteral("log/") + logFiles().value(0));
    QVERIFY2(log.size() < 40 * 1024, qPrintable(QString::number(log.size())));
    QVERIFY(log.contains(QStringLiteral("L%1\ndataAverage=1.5\n").arg(lines - 1, 5, 10, QLatin1Char('0'))));
    QVERIFY(!log.contains(QStringLiteral("L00000")));
}

RVK_TEST_MAIN(TestMainWindowMonitor)
#include "tst_mainwindow_monitor.moc"
