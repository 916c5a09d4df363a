#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/testmain.h"

#include <QAbstractButton>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

// Received frames through the real window: acknowledgements, the frames that
// must change nothing, and boxes that open on top of each other.
class TestMainWindowDispatch : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void exampleRecordsByteForByte();
    void acknowledgementsShowTheirMessage_data();
    void acknowledgementsShowTheirMessage();
    void ignoredFramesChangeNothing_data();
    void ignoredFramesChangeNothing();
    void acknowledgementWhileAnotherBoxIsOpen();

private:
    QPushButton *button(const char *name) const { return widget<QPushButton>(name); }
    QStringList setButtonStyles() const
    {
        return {button("pushButton_SetSN")->styleSheet(), button("pushButton_SetDate")->styleSheet(),
                button("pushButton_SetHit")->styleSheet()};
    }
};

static const QString green = QStringLiteral("background-color:green; color:white;");

void TestMainWindowDispatch::init()
{
    startWindow();
    QVERIFY(enterServiceMode());
    driver->written.clear();
}

void TestMainWindowDispatch::cleanup()
{
    closeWindow();
}

void TestMainWindowDispatch::exampleRecordsByteForByte()
{
    // Set writes only over a whole report read before.
    QVERIFY(readWholeReport(rvktest::exampleRecord()));
    driver->written.clear();
    QVERIFY(requestReport());
    widget<QSpinBox>("spinBox_SNValue")->setValue(1234);
    QVERIFY(press("pushButton_SetSN"));

    QCOMPARE(driver->written.size(), 2);
    QCOMPARE(driver->written.at(0).size(), 12);
    QCOMPARE(driver->written.at(0).left(4).toHex(' '), QByteArray("aa 07 01 01"));
    QCOMPARE(driver->written.at(1).size(), 12);
    QCOMPARE(driver->written.at(1).left(8).toHex(' '), QByteArray("a1 07 00 04 d2 04 00 00"));
}

void TestMainWindowDispatch::acknowledgementsShowTheirMessage_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("greenButton");
    QTest::addColumn<bool>("requestsReport");
    QTest::newRow("0x7A1") << 0x7A1 << QStringLiteral("Серийный номер успешно записан!")
                           << QStringLiteral("pushButton_SetSN") << false;
    QTest::newRow("0x7A2") << 0x7A2 << QStringLiteral("Дата выпуска успешно записана!")
                           << QStringLiteral("pushButton_SetDate") << false;
    QTest::newRow("0x7A3") << 0x7A3 << QStringLiteral("Уровень удара успешно записан!")
                           << QStringLiteral("pushButton_SetHit") << false;
    QTest::newRow("0x7A4") << 0x7A4 << QStringLiteral("Межремонтная наработка очищена!") << QString() << true;
    QTest::newRow("0x7A5") << 0x7A5 << QStringLiteral("EEPROM очищен!") << QString() << true;
}

// No command precedes the frames: an acknowledgement counts whenever it comes.
void TestMainWindowDispatch::acknowledgementsShowTheirMessage()
{
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QString, greenButton);
    QFETCH(bool, requestsReport);
    ModalAnswerer answerer;
    bool styledBeforeAnswer = true;
    bool sentBeforeAnswer = true;
    answerer.answerWith([&](QWidget *box) {
        styledBeforeAnswer = setButtonStyles().contains(green);
        sentBeforeAnswer = !driver->written.isEmpty();
        static_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
    });

    driver->receiveRemote(quint16(id), 3);
    QVERIFY(answerer.waitForBoxes(1));
    QTRY_VERIFY(driver->incoming.isEmpty());
    if (requestsReport)
        QTRY_COMPARE(driver->written.size(), 1);
    else
        QTRY_COMPARE(button(greenButton.toLatin1().constData())->styleSheet(), green);

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().title, QStringLiteral("Успех"));
    QCOMPARE(answerer.seen.first().text, text);
    QCOMPARE(answerer.seen.first().buttons, QStringList({QStringLiteral("OK")}));
    QVERIFY(!styledBeforeAnswer);
    QVERIFY(!sentBeforeAnswer);
    if (requestsReport) {
        QCOMPARE(driver->written.first().left(4).toHex(' '), QByteArray("aa 07 01 01"));
        QVERIFY(!setButtonStyles().contains(green));
    } else {
        QVERIFY(driver->written.isEmpty());
        QCOMPARE(setButtonStyles().count(green), 1);
    }
}

void TestMainWindowDispatch::ignoredFramesChangeNothing_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("remote");
    QTest::newRow("data frame 0x7A1") << 0x7A1 << false;
    QTest::newRow("data frame 0x7A4") << 0x7A4 << false;
    QTest::newRow("data frame 0x7A5") << 0x7A5 << false;
    QTest::newRow("remote frame 0x7AF") << 0x7AF << true;
    QTest::newRow("remote frame 0x7A6") << 0x7A6 << true;
    QTest::newRow("foreign data frame") << 0x123 << false;
    QTest::newRow("foreign remote frame") << 0x7A0 << true;
}

void TestMainWindowDispatch::ignoredFramesChangeNothing()
{
    QFETCH(int, id);
    QFETCH(bool, remote);
    const QStringList stylesBefore = setButtonStyles();
    const int progressBefore = widget<QProgressBar>("progressBar")->value();
    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);

    if (remote)
        driver->receiveRemote(quint16(id), 1);
    else
        driver->receiveData(quint16(id), QByteArray::fromHex("D204000011223344"));
    // A known frame behind it proves the ignored one has been dispatched.
    driver->receiveRemote(CanIdSetDate);
    QVERIFY(answerer.waitForBoxes(1));
    QTRY_COMPARE(button("pushButton_SetDate")->styleSheet(), green);

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().text, QStringLiteral("Дата выпуска успешно записана!"));
    QVERIFY(driver->written.isEmpty());
    QCOMPARE(button("pushButton_SetSN")->styleSheet(), stylesBefore.at(0));
    QCOMPARE(button("pushButton_SetHit")->styleSheet(), stylesBefore.at(2));
    QCOMPARE(widget<QProgressBar>("progressBar")->value(), progressBefore);
}

// The acknowledgement of an earlier command arrives while the user is still
// asked about a clear; its box opens on top and its follow-up runs at once.
void TestMainWindowDispatch::acknowledgementWhileAnotherBoxIsOpen()
{
    // A wipe is asked about only over a whole report.
    QVERIFY(readWholeReport(rvktest::exampleRecord()));
    driver->written.clear();
    ModalAnswerer answerer;
    QWidget *question = nullptr;
    QWidget *questionAgain = nullptr;
    QStringList stylesWhenAnswered;
    answerer.answerWith([&](QWidget *box) {
        question = box;
        driver->receiveRemote(CanIdSetSN);
    });
    answerer.press(QMessageBox::Ok);
    answerer.answerWith([&](QWidget *box) {
        questionAgain = box;
        stylesWhenAnswered = setButtonStyles();
        for (QAbstractButton *choice : static_cast<QMessageBox *>(box)->buttons()) {
            if (choice->text() == QStringLiteral("Нет"))
                choice->click();
        }
    });

    QVERIFY(press("pushButton_EEPROMClear"));

    QCOMPARE(answerer.seen.size(), 3);
    QCOMPARE(answerer.seen.at(0).title, QStringLiteral("Внимание!"));
    QCOMPARE(answerer.seen.at(1).text, QStringLiteral("Серийный номер успешно записан!"));
    QCOMPARE(answerer.seen.at(2).title, QStringLiteral("Внимание!"));
    QCOMPARE(questionAgain, question);
    QCOMPARE(stylesWhenAnswered.value(0), green);
    QVERIFY(driver->written.isEmpty());
}

RVK_TEST_MAIN(TestMainWindowDispatch)
#include "tst_mainwindow_dispatch.moc"
