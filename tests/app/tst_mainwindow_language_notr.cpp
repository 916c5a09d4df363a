#include "tests/support/mainwindowfixture.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/testmain.h"

#include <QAbstractButton>
#include <QAction>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>

// The language switch when no translation file lies beside the program.
class TestMainWindowLanguageNoTranslation : public QObject, public rvktest::MainWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void storedEnglishWarnsBeforeTheWindowShows();
    void englishSwitchFailsLaterInTheRun();
    void russianNeedsNoFile();

private:
    static int storedLanguage();
};

void TestMainWindowLanguageNoTranslation::initTestCase()
{
    QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/RVKReport_en_GB.qm")));
}

int TestMainWindowLanguageNoTranslation::storedLanguage()
{
    return rvktest::nativeSettings().value(QStringLiteral("Settings/Language"), -1).toInt();
}

void TestMainWindowLanguageNoTranslation::init()
{
    installDriver();
}

void TestMainWindowLanguageNoTranslation::cleanup()
{
    closeWindow();
    rvktest::nativeSettings().clear();
}

void TestMainWindowLanguageNoTranslation::storedEnglishWarnsBeforeTheWindowShows()
{
    rvktest::nativeSettings().setValue(QStringLiteral("Settings/Language"), 1);
    ModalAnswerer answerer;
    bool windowVisibleDuringWarning = true;
    answerer.answerWith([&](QWidget *box) {
        windowVisibleDuringWarning = false;
        for (QWidget *topLevel : QApplication::topLevelWidgets()) {
            if (qobject_cast<MainWindow *>(topLevel) && topLevel->isVisible())
                windowVisibleDuringWarning = true;
        }
        static_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
    });

    createWindow();

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().title, QStringLiteral("Внимание"));
    QCOMPARE(answerer.seen.first().text, QStringLiteral("Отсутствует файл перевода"));
    QCOMPARE(answerer.seen.first().buttons, QStringList({QStringLiteral("OK")}));
    QVERIFY(!windowVisibleDuringWarning);

    QCOMPARE(window->windowTitle(), QStringLiteral("RVK Report v2.1.1"));
    QCOMPARE(widget<QLabel>("label_InfoDevice")->text(), QStringLiteral("Имя адаптера"));
    QCOMPARE(widget<QLabel>("label_TotalTime")->text(), QStringLiteral("---"));
    QCOMPARE(widget<QLabel>("label_FWVersion")->text(), QStringLiteral("---"));
    QVERIFY(widget<QAction>("actionLangRus")->isChecked());
    QVERIFY(!widget<QAction>("actionLangEng")->isChecked());
    QCOMPARE(storedLanguage(), 1);
}

void TestMainWindowLanguageNoTranslation::englishSwitchFailsLaterInTheRun()
{
    createWindow();
    QSignalSpy spy(window.get(), SIGNAL(signalSetLanguage(uchar)));
    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);

    QVERIFY(trigger("actionLangEng"));

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().text, QStringLiteral("Отсутствует файл перевода"));
    QCOMPARE(spy.size(), 0);
    QCOMPARE(window->windowTitle(), QStringLiteral("RVK Report v2.1.1"));
    QCOMPARE(widget<QLabel>("label_InfoDevice")->text(), QStringLiteral("Имя адаптера"));
    QVERIFY(widget<QAction>("actionLangRus")->isChecked());
    QVERIFY(!widget<QAction>("actionLangEng")->isChecked());
    QCOMPARE(storedLanguage(), 1);
    QCOMPARE(widget<QDateEdit>("dateEdit")->locale().language(), QLocale::Russian);
}

void TestMainWindowLanguageNoTranslation::russianNeedsNoFile()
{
    rvktest::nativeSettings().setValue(QStringLiteral("Settings/Language"), 1);
    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);
    createWindow();
    QSignalSpy spy(window.get(), SIGNAL(signalSetLanguage(uchar)));

    QVERIFY(trigger("actionLangRus"));

    QCOMPARE(answerer.seen.size(), 1); // only the start-up warning
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().value<uchar>(), uchar(0));
    QCOMPARE(window->windowTitle(), QStringLiteral("RVK Отчёт v2.1.1"));
    QCOMPARE(widget<QLabel>("label_TotalTime")->text(), QStringLiteral("0"));
    QCOMPARE(widget<QLabel>("label_IRTime")->text(), QStringLiteral("0"));
    QCOMPARE(widget<QLabel>("label_FWVersion")->text(), QStringLiteral("v"));
    QCOMPARE(storedLanguage(), 0);
}

RVK_TEST_MAIN(TestMainWindowLanguageNoTranslation)
#include "tst_mainwindow_language_notr.moc"
