#include "fakektxdriver.h"
#include "mainwindow.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QAbstractButton>
#include <QAction>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>

#include <memory>

// The language switch when no translation file lies beside the program.
class TestMainWindowLanguageNoTranslation : public QObject
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
    std::unique_ptr<MainWindow> window;
};

void TestMainWindowLanguageNoTranslation::initTestCase()
{
    QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/RVKReport_en_GB.qm")));
}

int TestMainWindowLanguageNoTranslation::storedLanguage()
{
    return QSettings(QStringLiteral("ZELMOR"), QStringLiteral("RVK Report"))
        .value(QStringLiteral("Settings/Language"), -1)
        .toInt();
}

void TestMainWindowLanguageNoTranslation::init()
{
    FakeKtxDriver::install();
}

void TestMainWindowLanguageNoTranslation::cleanup()
{
    window.reset();
    QSettings(QStringLiteral("ZELMOR"), QStringLiteral("RVK Report")).clear();
}

void TestMainWindowLanguageNoTranslation::storedEnglishWarnsBeforeTheWindowShows()
{
    QSettings(QStringLiteral("ZELMOR"), QStringLiteral("RVK Report")).setValue(QStringLiteral("Settings/Language"), 1);
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

    window = std::make_unique<MainWindow>();

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().title, QStringLiteral("Внимание"));
    QCOMPARE(answerer.seen.first().text, QStringLiteral("Отсутствует файл перевода"));
    QCOMPARE(answerer.seen.first().buttons, QStringList({QStringLiteral("OK")}));
    QVERIFY(!windowVisibleDuringWarning);

    QCOMPARE(window->windowTitle(), QStringLiteral("RVK Report v2.1.1"));
    QCOMPARE(window->findChild<QLabel *>("label_InfoDevice")->text(), QStringLiteral("Имя адаптера"));
    QCOMPARE(window->findChild<QLabel *>("label_TotalTime")->text(), QStringLiteral("---"));
    QCOMPARE(window->findChild<QLabel *>("label_FWVersion")->text(), QStringLiteral("---"));
    QVERIFY(window->findChild<QAction *>("actionLangRus")->isChecked());
    QVERIFY(!window->findChild<QAction *>("actionLangEng")->isChecked());
    QCOMPARE(storedLanguage(), 1);
}

void TestMainWindowLanguageNoTranslation::englishSwitchFailsLaterInTheRun()
{
    window = std::make_unique<MainWindow>();
    QSignalSpy spy(window.get(), SIGNAL(signalSetLanguage(uchar)));
    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);

    QVERIFY(QMetaObject::invokeMethod(window.get(), "on_actionLangEng_triggered"));

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().text, QStringLiteral("Отсутствует файл перевода"));
    QCOMPARE(spy.size(), 0);
    QCOMPARE(window->windowTitle(), QStringLiteral("RVK Report v2.1.1"));
    QCOMPARE(window->findChild<QLabel *>("label_InfoDevice")->text(), QStringLiteral("Имя адаптера"));
    QVERIFY(window->findChild<QAction *>("actionLangRus")->isChecked());
    QVERIFY(!window->findChild<QAction *>("actionLangEng")->isChecked());
    QCOMPARE(storedLanguage(), 1);
    QCOMPARE(window->findChild<QDateEdit *>("dateEdit")->locale().language(), QLocale::Russian);
}

void TestMainWindowLanguageNoTranslation::russianNeedsNoFile()
{
    QSettings(QStringLiteral("ZELMOR"), QStringLiteral("RVK Report")).setValue(QStringLiteral("Settings/Language"), 1);
    ModalAnswerer answerer;
    answerer.press(QMessageBox::Ok);
    window = std::make_unique<MainWindow>();
    QSignalSpy spy(window.get(), SIGNAL(signalSetLanguage(uchar)));

    QVERIFY(QMetaObject::invokeMethod(window.get(), "on_actionLangRus_triggered"));

    QCOMPARE(answerer.seen.size(), 1); // only the start-up warning
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().value<uchar>(), uchar(0));
    QCOMPARE(window->windowTitle(), QStringLiteral("RVK Отчёт v2.1.1"));
    QCOMPARE(window->findChild<QLabel *>("label_TotalTime")->text(), QStringLiteral("0"));
    QCOMPARE(window->findChild<QLabel *>("label_IRTime")->text(), QStringLiteral("0"));
    QCOMPARE(window->findChild<QLabel *>("label_FWVersion")->text(), QStringLiteral("v"));
    QCOMPARE(storedLanguage(), 0);
}

RVK_TEST_MAIN(TestMainWindowLanguageNoTranslation)
#include "tst_mainwindow_language_notr.moc"
