// Input the program does not choose: records of any length, frames in any
// order, garbage in the native settings and wrong types in the ini file.
// Each must leave the program running with nothing a user produced lost.
#include "diagnostics/dbgtextedit.h"
#include "diagnostics/verificationdialog.h"
#include "protocol/archivefile.h"
#include "report/htmlreport.h"
#include "report/reportrecord.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"
#include "tests/support/urlcatcher.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSettings>

#include <algorithm>

using rvktest::readFile;
using rvktest::writeFile;

namespace {
// Filler patterns that hit the decoder's special values: all unset, all
// zero (a section time of 0) and noise.
QByteArray filled(int length, int pattern, quint32 seed)
{
    QByteArray bytes(length, '\0');
    QRandomGenerator random(seed);
    for (int i = 0; i < length; ++i)
        bytes[i] = pattern == 0 ? char(0xFF) : pattern == 1 ? char(0) : char(random.bounded(256));
    return bytes;
}

CanMessage frame(quint16 id, bool remote, const QByteArray &bytes = {})
{
    CanMessage message{};
    message.id = id;
    message.rtr = remote ? 1 : 0;
    message.dlc = quint8(remote ? 0 : qMin(bytes.size(), 8));
    for (int i = 0; i < message.dlc; ++i)
        message.data[i] = quint8(bytes.at(i));
    return message;
}
} // namespace

class TestMainWindowBadInput : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyRecordLengthDecodesAndPrints();
    void recordsOfAnyLengthThroughTheWindow_data();
    void recordsOfAnyLengthThroughTheWindow();
    void framesInAnyOrder_data();
    void framesInAnyOrder();
    void garbageLanguageSetting_data();
    void garbageLanguageSetting();
    void iniWithWrongTypes_data();
    void iniWithWrongTypes();
    void settingsFilesThatAreNotFiles();

private:
    // Runs the queued frames and waits until the window has taken them all.
    void drain();
};

void TestMainWindowBadInput::init()
{
    rvktest::removeEntries({QStringLiteral("Reports"), QStringLiteral("ssu"), QStringLiteral("RVKReport.ini")});
    rvktest::nativeSettings().clear();
    UrlCatcher::instance().urls.clear();
}

void TestMainWindowBadInput::cleanup()
{
    closeWindow();
}

void TestMainWindowBadInput::drain()
{
    QTRY_VERIFY(driver->incoming.isEmpty());
    // The last frame is taken before it is handled; one more pass of the
    // loop lets its handler (and any box it opened) finish.
    QTest::qWait(20);
}

void TestMainWindowBadInput::everyRecordLengthDecodesAndPrints()
{
    for (int pattern = 0; pattern < 3; ++pattern) {
        for (int length = 0; length <= 1000; ++length) {
            const QByteArray record = filled(length, pattern, quint32(length));
            const ReportValues values = decodeReport(record);
            const QString where = QStringLiteral("pattern %1, %2 bytes").arg(pattern).arg(length);
            QVERIFY2(values.totalPercents.size() == 6 && values.repairPercents.size() == 6, qPrintable(where));
            for (const QString &list : values.totalPercents + values.repairPercents)
                for (const QString &percent : list.split(QLatin1Char(','))) {
                    bool number = false;
                    const double value = percent.toDouble(&number);
                    QVERIFY2(number && qIsFinite(value), qPrintable(where + QStringLiteral(": percent ") + percent));
                }
            // Words past the end read 0; an unset serial number reads 0 too.
            const qint32 snWord = readReportWord(record, WordSerialNumber);
            QCOMPARE(values.sn, snWord == UnsetWord ? 0u : quint32(snWord));

            const QString html = buildHtmlReport(values, 0);
            QVERIFY2(html.contains(QLatin1String("</html>")), qPrintable(where));
            QVERIFY2(!html.contains(QLatin1String("nan%")) && !html.contains(QLatin1String("inf%")), qPrintable(where));
        }
    }
}

void TestMainWindowBadInput::recordsOfAnyLengthThroughTheWindow_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("pattern");
    for (int frames : {1, 10, 36, 37, 38, 125})
        for (int pattern = 0; pattern < 3; ++pattern)
            QTest::addRow("%d frames, pattern %d", frames, pattern) << frames << pattern;
}

void TestMainWindowBadInput::recordsOfAnyLengthThroughTheWindow()
{
    QFETCH(int, frames);
    QFETCH(int, pattern);
    startWindow();
    ModalAnswerer answerer;
    const QByteArray record = filled(frames * 8, pattern, quint32(frames));
    QVERIFY(requestReport());
    sendReport(record);
    drain();

    QCOMPARE(widget<QProgressBar>("progressBar")->value(), qMin(100, int(frames * 100 / 37)));
    if (frames != 37) {
        // Any other length is a broken transfer: a warning, nothing stored.
        QVERIFY(answerer.waitForBoxes(1));
        QCOMPARE(answerer.seen.first().text,
                 QStringLiteral("Отчёт прочитан не полностью (получено кадров: %1 из 37). Прочитайте отчёт ещё раз.").arg(frames));
        QVERIFY(UrlCatcher::instance().urls.isEmpty());
        QVERIFY(ArchiveFile::list(QStringLiteral("ssu")).isEmpty());
        return;
    }
    // No database here: the report is in the archive, byte for byte, and the
    // document was written and handed to the viewer.
    QTRY_COMPARE(UrlCatcher::instance().reportDocuments().size(), 1);
    QVERIFY(QFileInfo::exists(UrlCatcher::instance().reportDocuments().first().toLocalFile()));
    // The document opens at once; the storage follows, and without a
    // database ends in the archive.
    QTRY_COMPARE_WITH_TIMEOUT(ArchiveFile::list(QStringLiteral("ssu")).size(), 1, 20000);
    const QStringList archives = ArchiveFile::list(QStringLiteral("ssu"));
    QCOMPARE(readFile(QStringLiteral("ssu/") + archives.first()), record);
    QVERIFY(answerer.seen.isEmpty());
}

void TestMainWindowBadInput::framesInAnyOrder_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 12; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void TestMainWindowBadInput::framesInAnyOrder()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    startWindow();
    ModalAnswerer answerer;

    // A report's frames, monitor text, other modules' frames and early or
    // repeated end frames, shuffled.
    QList<CanMessage> frames;
    for (int i = 0; i < 37; ++i)
        frames << frame(0x7AA, false, filled(8, 2, seed * 100 + quint32(i)));
    frames << frame(0x7AA, true) << frame(0x7AA, true);
    frames << frame(0x7AF, false, "T=25;V=");
    frames << frame(0x7AF, false, "\n\n\n\n\n\n\n\n");
    frames << frame(0x123, false, "\xDE\xAD\xBE\xEF") << frame(0x7FF, true) << frame(0x000, false);
    frames << frame(0x7AA, false, "\x01\x02\x03"); // short data frame
    std::shuffle(frames.begin(), frames.end(), random);

    // What the window must have archived: an end frame completes the data
    // frames since the request or the previous end frame, and only exactly
    // 37 of them (whatever each one's length) are a report; any other count
    // is refused with a warning. Both completions fall in one minute: two
    // names are needed.
    QList<QByteArray> expected;
    QByteArray assembling;
    int refused = 0;
    for (const CanMessage &message : frames) {
        if (message.id != 0x7AA)
            continue;
        if (!message.rtr) {
            assembling.append(reinterpret_cast<const char *>(message.data), 8);
            continue;
        }
        if (assembling.size() == 296)
            expected << assembling;
        else
            ++refused;
        assembling.clear();
    }
    QVERIFY(requestReport());
    for (const CanMessage &message : frames)
        driver->receive(message);
    drain();

    const auto refusals = [&answerer] {
        int count = 0;
        for (const ModalAnswerer::Seen &box : answerer.seen)
            count += box.text.startsWith(QStringLiteral("Отчёт прочитан не полностью")) ? 1 : 0;
        return count;
    };
    QTRY_COMPARE(UrlCatcher::instance().reportDocuments().size() + refusals(), 2);
    QCOMPARE(refusals(), refused);
    QList<QByteArray> archived;
    for (const QString &name : ArchiveFile::list(QStringLiteral("ssu")))
        archived << readFile(QStringLiteral("ssu/") + name);
    std::sort(expected.begin(), expected.end());
    std::sort(archived.begin(), archived.end());
    QCOMPARE(archived, expected);
    for (const ModalAnswerer::Seen &box : answerer.seen)
        QVERIFY2(box.title != QLatin1String("Ошибка"), qPrintable(box.text));
}

void TestMainWindowBadInput::garbageLanguageSetting_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("text") << QVariant(QStringLiteral("English")) << 0;
    QTest::newRow("number with text") << QVariant(QStringLiteral("1x")) << 0;
    QTest::newRow("negative") << QVariant(-1) << 0;
    QTest::newRow("large") << QVariant(qint64(1) << 40) << 0;
    QTest::newRow("list") << QVariant(QStringList{"1", "1"}) << 0;
    QTest::newRow("size") << QVariant(QSize(1, 1)) << 0;
    QTest::newRow("one as text") << QVariant(QStringLiteral("1")) << 1;
}

void TestMainWindowBadInput::garbageLanguageSetting()
{
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    {
        QSettings settings = rvktest::nativeSettings();
        settings.setValue(QStringLiteral("Settings/Language"), stored);
        settings.setValue(QStringLiteral("Settings/SSUid"), QVariant(QSize(3, 4)));
    }
    ModalAnswerer answerer;
    startWindow();
    QCOMPARE(rvktest::nativeSettings().value(QStringLiteral("Settings/Language")).toInt(), expected);
    QCOMPARE(window->windowTitle(), expected == 1 ? QStringLiteral("RVK Report v2.1.1") : QStringLiteral("RVK Отчёт v2.1.1"));
    QVERIFY(answerer.seen.isEmpty());
}

void TestMainWindowBadInput::iniWithWrongTypes_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::newRow("text for every value") << QByteArray("[MainWindow]\nWinSize=big\nWinPos=left\nDbgSize=abc\nDbgPos=1,2,3\n"
                                                        "DiagSize=\nDiagPos=@Invalid()\n");
    QTest::newRow("numbers for sizes") << QByteArray("[MainWindow]\nWinSize=12\nDbgSize=-5\nDiagSize=0\n");
    QTest::newRow("zero and negative sizes")
        << QByteArray("[MainWindow]\nWinSize=@Size(0 0)\nDbgSize=@Size(-20 -20)\nDiagSize=@Size(0 300)\n");
    QTest::newRow("absurd sizes") << QByteArray("[MainWindow]\nWinSize=@Size(2000000 2000000)\nDbgSize=@Size(99999999 5)\n"
                                                "DiagSize=@Size(5 99999999)\n");
    QTest::newRow("points for sizes, sizes for points")
        << QByteArray("[MainWindow]\nWinSize=@Point(10 10)\nWinPos=@Size(10 10)\nDbgSize=@Rect(0 0 10 10)\n");
    QTest::newRow("far away") << QByteArray("[MainWindow]\nWinPos=@Point(-2000000 -2000000)\nDbgPos=@Point(9000000 9000000)\n"
                                            "DiagPos=@Point(-99999 5)\n");
    QTest::newRow("binary garbage") << QByteArray("\x00\xFF\xFE[Main\x00Window]\n\xC3\x28=\xA0\xA1\n", 24);
    QTest::newRow("no group") << QByteArray("WinSize=@Size(500 500)\n");
}

void TestMainWindowBadInput::iniWithWrongTypes()
{
    QFETCH(QByteArray, ini);
    QVERIFY(writeFile(QStringLiteral("RVKReport.ini"), ini));
    ModalAnswerer answerer;
    startWindow();

    // Every window stays a usable size on a usable spot of the screen.
    const QList<QWidget *> windows = {window.get(), window->findChild<DbgTextEdit *>(),
                                      window->findChild<VerificationDialog *>()};
    for (QWidget *widget : windows) {
        QVERIFY(widget);
        const QString name = QString::fromLatin1(widget->metaObject()->className());
        QVERIFY2(widget->width() >= 100 && widget->height() >= 100,
                 qPrintable(QStringLiteral("%1 %2x%3").arg(name).arg(widget->width()).arg(widget->height())));
        QVERIFY2(widget->width() <= 20000 && widget->height() <= 20000,
                 qPrintable(QStringLiteral("%1 %2x%3").arg(name).arg(widget->width()).arg(widget->height())));
        QVERIFY2(qAbs(widget->x()) <= 20000 && qAbs(widget->y()) <= 20000,
                 qPrintable(QStringLiteral("%1 at %2,%3").arg(name).arg(widget->x()).arg(widget->y())));
    }
    QVERIFY(answerer.seen.isEmpty());

    // Closing writes proper values over the garbage.
    window->close();
    QSettings settings(QStringLiteral("RVKReport.ini"), QSettings::IniFormat);
    QVERIFY(settings.value(QStringLiteral("MainWindow/WinSize")).toSize().isValid());
}

void TestMainWindowBadInput::settingsFilesThatAreNotFiles()
{
    // A folder where the ini file belongs, and binary noise in the native
    // settings file: the program starts with its defaults and closes.
    QVERIFY(QDir().mkpath(QStringLiteral("RVKReport.ini/MainWindow")));
    const QString native = rvktest::nativeSettings().fileName();
    QVERIFY(QDir().mkpath(QFileInfo(native).path()));
    QVERIFY(writeFile(native, QByteArray("\x00\xFF[Settings]\nLanguage=@Size(\nSSUid=@ByteArray(\x01\x02\n", 40)));
    ModalAnswerer answerer;
    startWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("RVK Отчёт v2.1.1"));
    QVERIFY(window->width() >= 100);
    window->close();
    QVERIFY(QFileInfo(QStringLiteral("RVKReport.ini")).isDir());
    QVERIFY(answerer.seen.isEmpty());
    rvktest::nativeSettings().clear();
}

RVK_TEST_MAIN(TestMainWindowBadInput)
#include "tst_mainwindow_badinput.moc"
