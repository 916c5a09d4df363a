#include "diagnostics/verificationdialog.h"
#include "tests/support/testmain.h"

#include <QLabel>
#include <QtTest>

// Runs from a folder without the English translation file.
class TestVerificationDialogWithoutTranslation : public QObject
{
    Q_OBJECT

private slots:
    void englishFallsBackToSourceTexts();
};

void TestVerificationDialogWithoutTranslation::englishFallsBackToSourceTexts()
{
    QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/RVKReport_en_GB.qm")));
    VerificationDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Состояние датчиков"));

    dialog.slotSetLanguage(1);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("label_Freq"))->text(), QStringLiteral("Частота"));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("label_Average_Y"))->text(), QStringLiteral("Y среднее"));

    dialog.slotSetLanguage(0);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Значения датчиков"));
}

RVK_TEST_MAIN(TestVerificationDialogWithoutTranslation)
#include "tst_verificationdialog_notr.moc"
