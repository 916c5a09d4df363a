#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testmain.h"

#include <QFile>

class TestMainWindowAbout : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void cleanup() { closeWindow(); }
    void aboutBoxFollowsTheLanguage_data();
    void aboutBoxFollowsTheLanguage();
};

void TestMainWindowAbout::aboutBoxFollowsTheLanguage_data()
{
    QTest::addColumn<QByteArray>("languageAction");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("organisation");
    QTest::newRow("Russian") << QByteArray("actionLangRus") << QStringLiteral("О программе")
                             << QStringLiteral("RVK Отчёт")
                             << QStringLiteral("Сервисная программа модуля питания генератора RVK")
                             << QStringLiteral("ООО ZELMOR");
    QTest::newRow("English") << QByteArray("actionLangEng") << QStringLiteral("About")
                             << QStringLiteral("RVK Report")
                             << QStringLiteral("Service program for the RVK generator power module")
                             << QStringLiteral("ZELMOR");
}

void TestMainWindowAbout::aboutBoxFollowsTheLanguage()
{
    QFETCH(QByteArray, languageAction);
    QFETCH(QString, title);
    QFETCH(QString, name);
    QFETCH(QString, notice);
    QFETCH(QString, organisation);
    startWindow();
    QVERIFY(trigger(languageAction.constData()));
    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);

    QVERIFY(trigger("actionInfo"));

    QCOMPARE(answerer.seen.size(), 1);
    const ModalAnswerer::Seen &box = answerer.seen.first();
    QCOMPARE(box.title, title);
    const QString head = QStringLiteral("<img src=://icon/RVKReport.ico><center><br><span style=font-weight:bold>") + name
        + QStringLiteral("</span></br><br>v2.1.1</br><br>") + notice + QStringLiteral("</br><br><a href=");
    QVERIFY2(box.text.startsWith(head), qPrintable(box.text));
    QVERIFY2(box.text.endsWith(QLatin1Char('>') + organisation + QStringLiteral("</a></br></center>")),
             qPrintable(box.text));
    const QString address = box.text.mid(head.size()).section(QLatin1Char('>'), 0, 0);
    QVERIFY2(address.startsWith(QStringLiteral("http")), qPrintable(address));
    QVERIFY(QFile::exists(QStringLiteral(":/icon/RVKReport.ico")));
}

RVK_TEST_MAIN(TestMainWindowAbout)
#include "tst_mainwindow_about.moc"
