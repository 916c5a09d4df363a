#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/recordbuilder.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

// The module commands through the real window: what reaches the driver byte
// for byte, and the confirmation that guards the two clear commands.
class TestMainWindowCommands : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void setCommandFramesByteForByte_data();
    void setCommandFramesByteForByte();
    void setCommandsLeaveTheButtonStyle();
    void setCommandWithLinkDownSendsNothing();

    void clearAnsweredNoSendsNothing_data();
    void clearAnsweredNoSendsNothing();
    void clearConfirmationCannotBeEscaped();
    void clearNeedsYesPressedNotEnter();
    void clearConfirmedWithLinkDownClosesAndSendsNothing();
    void eepromClearAcknowledgedRequestsAFreshReport();

    void setWritesNothingBeforeAWholeReport();
    void setWritesNothingAfterABrokenTransfer();
    void unconfirmedCommandIsReported_data();
    void unconfirmedCommandIsReported();
    void confirmedCommandLeavesNoNotice();
    void factoryWritesAreLoggedWithWhatTheModuleHoldsAfter();

private:
    QLabel *notice() const { return widget<QLabel>("label_ModuleNotice"); }
    void expectReadFirst(const ModalAnswerer &answerer);
};

void TestMainWindowCommands::init()
{
    startWindow();
    QVERIFY(enterServiceMode());
    // The set commands write only what a whole report put in the fields.
    QVERIFY(readWholeReport(rvktest::exampleRecord()));
    // The supervision's own look at the link would mix its calls with the
    // commands' while a question stays open on a loaded machine.
    window->station()->supervisor()->setPaused(true);
    driver->written.clear();
    driver->calls.clear();
}

void TestMainWindowCommands::cleanup()
{
    closeWindow();
    rvktest::removeEntries({QStringLiteral("Reports"), QStringLiteral("ssu")});
}

void TestMainWindowCommands::setCommandFramesByteForByte_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("serialNumber");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("impactLevel");
    QTest::addColumn<QByteArray>("frame");
    const QDate anyDate(2026, 1, 1);
    QTest::newRow("serial number 1234") << QByteArray("pushButton_SetSN") << 1234 << anyDate << 0
                                        << QByteArray::fromHex("A1070004D2040000");
    QTest::newRow("serial number 65534") << QByteArray("pushButton_SetSN") << 65534 << anyDate << 0
                                         << QByteArray::fromHex("A1070004FEFF0000");
    QTest::newRow("release date 06.12.2026") << QByteArray("pushButton_SetDate") << 0 << QDate(2026, 12, 6)
                                             << 0 << QByteArray::fromHex("A20700042A6A5D00");
    QTest::newRow("release date 31.12.2026") << QByteArray("pushButton_SetDate") << 0
                                             << QDate(2026, 12, 31) << 0 << QByteArray::fromHex("A20700046AE2DA01");
    QTest::newRow("impact level 250") << QByteArray("pushButton_SetHit") << 0 << anyDate << 250
                                      << QByteArray::fromHex("A3070004FA000000");
    QTest::newRow("impact level 0") << QByteArray("pushButton_SetHit") << 0 << anyDate << 0
                                    << QByteArray::fromHex("A307000400000000");
}

void TestMainWindowCommands::setCommandFramesByteForByte()
{
    QFETCH(QByteArray, button);
    QFETCH(int, serialNumber);
    QFETCH(QDate, date);
    QFETCH(int, impactLevel);
    QFETCH(QByteArray, frame);
    widget<QSpinBox>("spinBox_SNValue")->setValue(serialNumber);
    widget<QDateEdit>("dateEdit")->setDate(date);
    widget<QSpinBox>("spinBox_HitValue")->setValue(impactLevel);

    QVERIFY(press(button.constData()));

    QCOMPARE(driver->written.size(), 1);
    QCOMPARE(driver->written.first().size(), 12);
    QCOMPARE(driver->written.first().left(8).toHex(' '), frame.toHex(' '));
    QVERIFY(driver->calls.indexOf("info") < driver->calls.indexOf("write"));
}

void TestMainWindowCommands::setCommandsLeaveTheButtonStyle()
{
    auto *button = widget<QPushButton>("pushButton_SetSN");
    const QString before = button->styleSheet();
    QVERIFY(press("pushButton_SetSN"));
    QCOMPARE(driver->written.size(), 1);
    QCOMPARE(button->styleSheet(), before);
}

void TestMainWindowCommands::setCommandWithLinkDownSendsNothing()
{
    driver->infoResults.enqueue(-3);
    QVERIFY(press("pushButton_SetDate"));
    QVERIFY(driver->written.isEmpty());
    QVERIFY(driver->calls.contains("close"));
}

void TestMainWindowCommands::clearAnsweredNoSendsNothing_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::newRow("inter-repair time") << QByteArray("pushButton_IRTClear");
    QTest::newRow("EEPROM") << QByteArray("pushButton_EEPROMClear");
}

void TestMainWindowCommands::clearAnsweredNoSendsNothing()
{
    QFETCH(QByteArray, button);
    ModalAnswerer answerer;
    answerer.pressButton(QStringLiteral("Нет"));
    QVERIFY(press(button.constData()));

    QCOMPARE(answerer.seen.size(), 1);
    const ModalAnswerer::Seen &box = answerer.seen.first();
    QCOMPARE(box.title, QStringLiteral("Внимание!"));
    QCOMPARE(box.text, QStringLiteral("Вы уверены?\nДанные будут безвозвратно утеряны!"));
    QCOMPARE(box.buttons, QStringList({QStringLiteral("Да"), QStringLiteral("Нет")}));
    // It names the action and the module it would wipe.
    const QString module = QString::number(window->station()->lastReadout().values.serialNumber);
    QVERIFY2(box.informativeText.endsWith(QStringLiteral(": модуль с серийным номером %1.").arg(module)),
             qPrintable(box.informativeText));
    QVERIFY(box.informativeText.startsWith(button == "pushButton_IRTClear"
                                               ? QStringLiteral("Сброс межремонтной наработки")
                                               : QStringLiteral("Удаление всех данных")));
    QVERIFY(driver->written.isEmpty());
    QVERIFY(!driver->calls.contains("info"));
}

void TestMainWindowCommands::clearConfirmationCannotBeEscaped()
{
    ModalAnswerer answerer;
    bool visibleAfterEscape = false;
    bool visibleAfterClose = false;
    answerer.answerWith([&](QWidget *box) {
        QTest::keyClick(box, Qt::Key_Escape);
        visibleAfterEscape = box->isVisible();
        box->close();
        visibleAfterClose = box->isVisible();
        for (QAbstractButton *button : static_cast<QMessageBox *>(box)->buttons()) {
            if (button->text() == QStringLiteral("Нет"))
                button->click();
        }
    });
    QVERIFY(press("pushButton_EEPROMClear"));
    QCOMPARE(answerer.seen.size(), 1);
    QVERIFY(visibleAfterEscape);
    QVERIFY(visibleAfterClose);
    QVERIFY(driver->written.isEmpty());
}

// Enter answers "Нет": a wipe needs "Да" pressed; then its remote frame goes
// after the link guard.
void TestMainWindowCommands::clearNeedsYesPressedNotEnter()
{
    ModalAnswerer answerer;
    answerer.answerWith([](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); });
    QVERIFY(press("pushButton_IRTClear"));
    QCOMPARE(answerer.seen.size(), 1);
    QVERIFY(driver->written.isEmpty());

    answerer.pressButton(QStringLiteral("Да"));
    QVERIFY(press("pushButton_IRTClear"));
    QCOMPARE(driver->written.size(), 1);
    QCOMPARE(driver->written.first().left(4).toHex(' '), QByteArray("a4 07 01 00"));
    QVERIFY(driver->calls.indexOf("info") < driver->calls.indexOf("write"));
}

void TestMainWindowCommands::clearConfirmedWithLinkDownClosesAndSendsNothing()
{
    ModalAnswerer answerer;
    // The link goes down while the question is open, so the guard after the
    // answer is the one that sees it.
    answerer.answerWith([this](QWidget *box) {
        driver->infoResults.enqueue(-1);
        for (QAbstractButton *button : static_cast<QMessageBox *>(box)->buttons()) {
            if (button->text() == QStringLiteral("Да"))
                button->click();
        }
    });
    QVERIFY(press("pushButton_IRTClear"));

    QVERIFY(driver->written.isEmpty());
    QVERIFY(driver->calls.contains("close"));
}

void TestMainWindowCommands::eepromClearAcknowledgedRequestsAFreshReport()
{
    ModalAnswerer answerer;
    answerer.pressButton(QStringLiteral("Да"));
    QVERIFY(press("pushButton_EEPROMClear"));
    QCOMPARE(driver->written.size(), 1);
    QCOMPARE(driver->written.first().left(4).toHex(' '), QByteArray("a5 07 01 00"));

    answerer.press(QMessageBox::Ok);
    driver->receiveRemote(CanIdEEPROMClear);
    QTRY_COMPARE(driver->written.size(), 2);

    QCOMPARE(answerer.seen.size(), 2);
    QCOMPARE(answerer.seen.at(1).title, QStringLiteral("Успех"));
    QCOMPARE(answerer.seen.at(1).text, QStringLiteral("EEPROM очищен!"));
    QCOMPARE(driver->written.at(1).left(4).toHex(' '), QByteArray("aa 07 01 01"));
}

void TestMainWindowCommands::expectReadFirst(const ModalAnswerer &answerer)
{
    QVERIFY(driver->written.isEmpty());
    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().title, QStringLiteral("Внимание"));
    QCOMPARE(answerer.seen.first().text, QStringLiteral("Сначала прочитайте отчёт"));
}

// A fresh start shows serial number 0 and today's date: nothing of it may
// become the module's factory values.
void TestMainWindowCommands::setWritesNothingBeforeAWholeReport()
{
    closeWindow();
    startWindow();
    QVERIFY(enterServiceMode());
    driver->written.clear();
    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);
    QVERIFY(press("pushButton_SetSN"));
    expectReadFirst(answerer);
    // Nor is anything wiped, nor even asked, before the module is known.
    for (const char *wipe : {"pushButton_IRTClear", "pushButton_EEPROMClear"}) {
        answerer.press(QMessageBox::Ok);
        QVERIFY(press(wipe));
    }
    QCOMPARE(answerer.seen.size(), 3);
    for (const ModalAnswerer::Seen &box : answerer.seen)
        QCOMPARE(box.text, QStringLiteral("Сначала прочитайте отчёт"));
    QVERIFY(driver->written.isEmpty());
}

void TestMainWindowCommands::setWritesNothingAfterABrokenTransfer()
{
    ModalAnswerer answerer;
    QVERIFY(requestReport());
    sendReportFrames(rvktest::exampleRecord().left(80));
    sendReportEnd();
    QTRY_COMPARE(answerer.seen.size(), 1); // the incomplete-report box
    driver->written.clear();

    QVERIFY(press("pushButton_SetDate"));
    answerer.seen.removeFirst();
    expectReadFirst(answerer);

    // A whole report of the module makes its values writable again.
    QVERIFY(readWholeReport(rvktest::exampleRecord()));
    driver->written.clear();
    QVERIFY(press("pushButton_SetDate"));
    QCOMPARE(driver->written.size(), 1);
}

void TestMainWindowCommands::unconfirmedCommandIsReported_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::newRow("set serial number") << QByteArray("pushButton_SetSN");
    QTest::newRow("clear EEPROM") << QByteArray("pushButton_EEPROMClear");
}

// No module, or one that took the frame and did not answer: the window says
// so without a box, and the next request takes the notice away.
void TestMainWindowCommands::unconfirmedCommandIsReported()
{
    QFETCH(QByteArray, button);
    ModalAnswerer answerer;
    answerer.pressButton(QStringLiteral("Да"));
    QVERIFY(press(button.constData()));
    QCOMPARE(driver->written.size(), 1);
    QVERIFY(notice()->isHidden());

    QTRY_VERIFY_WITH_TIMEOUT(!notice()->isHidden(), 5000);
    QCOMPARE(notice()->text(),
             QStringLiteral("Модуль не подтвердил команду. Проверьте адаптер KIVO, кабель и питание модуля RVK."));
    QVERIFY(requestReport());
    QVERIFY(notice()->isHidden());
}

void TestMainWindowCommands::confirmedCommandLeavesNoNotice()
{
    ModalAnswerer answerer;
    QVERIFY(press("pushButton_SetHit"));
    driver->receiveRemote(CanIdSetHit);
    QVERIFY(answerer.waitForBoxes(1));
    QCOMPARE(answerer.seen.first().text, QStringLiteral("Уровень удара успешно записан!"));
    QVERIFY(rvktest::waitPastAnswerLimit());
    QVERIFY(notice()->isHidden());
}

// As rvk-report write does, the window notes every factory write in
// factory-values.log; the values read back are those of the user's next
// whole read-out, and a command never followed by one is logged all the same.
void TestMainWindowCommands::factoryWritesAreLoggedWithWhatTheModuleHoldsAfter()
{
    rvktest::removeEntries({QStringLiteral("factory-values.log")});
    ModalAnswerer answerer;
    widget<QSpinBox>("spinBox_HitValue")->setValue(9);
    QVERIFY(press("pushButton_SetHit"));
    driver->receiveRemote(CanIdSetHit);
    QVERIFY(answerer.waitForBoxes(1));
    QByteArray record = rvktest::exampleRecord();
    const int impact = record.indexOf(QByteArray::fromHex("4201000007000000"));
    QVERIFY(impact > 0);
    record.replace(impact + 4, 1, QByteArray::fromHex("09"));
    QVERIFY(readWholeReport(record));

    widget<QSpinBox>("spinBox_SNValue")->setValue(4321);
    QVERIFY(press("pushButton_SetSN"));
    closeWindow(); // no acknowledgement, no read-out after it

    const QStringList lines = QString::fromUtf8(rvktest::readFile(QStringLiteral("factory-values.log")))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QStringList verified = lines.first().split(QLatin1Char('\t'));
    QCOMPARE(verified.size(), 6);
    QVERIFY2(verified.at(2).startsWith(QStringLiteral("old: sn=1234 release_date=06.12.2026 impact=7 repair_time=")),
             qPrintable(verified.at(2)));
    QCOMPARE(verified.at(3), QStringLiteral("requested: impact=9:acknowledged"));
    QVERIFY2(verified.at(4).startsWith(QStringLiteral("read back: sn=1234 release_date=06.12.2026 impact=9 ")),
             qPrintable(verified.at(4)));
    QCOMPARE(verified.at(5), QStringLiteral("verified"));
    const QStringList unanswered = lines.last().split(QLatin1Char('\t'));
    QCOMPARE(unanswered.at(3), QStringLiteral("requested: sn=4321:unacknowledged"));
    QCOMPARE(unanswered.at(4), QStringLiteral("read back: -"));
    QCOMPARE(unanswered.at(5), QStringLiteral("unacknowledged"));
}

RVK_TEST_MAIN(TestMainWindowCommands)
#include "tst_mainwindow_commands.moc"
