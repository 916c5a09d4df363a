#include "link/libraryproblem.h"
#include "link/win/dynamiclibrary.h"
#include "tests/support/testmain.h"

#include <QCoreApplication>
#include <QTranslator>

// What the user is told when a vendor library of the original adapter cannot
// be used: the file, the Windows error and the missing entry must all reach
// the text, in both languages.
class TestLibraryProblem : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void namesWhatFailed_data();
    void namesWhatFailed();

private:
    QTranslator english;
};

void TestLibraryProblem::initTestCase()
{
    QVERIFY(english.load(QCoreApplication::applicationDirPath() + QStringLiteral("/RVKReport_en_GB.qm")));
}

void TestLibraryProblem::namesWhatFailed_data()
{
    QTest::addColumn<bool>("inEnglish");
    QTest::addColumn<int>("library");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("ordinal");
    QTest::addColumn<QString>("entryName");
    QTest::addColumn<QStringList>("expected");

    const int driver = int(AdapterLibrary::Driver);
    const int ftdi = int(AdapterLibrary::Ftdi);
    const int missing = int(LibraryFailure::Kind::LibraryMissing);
    const int lacking = int(LibraryFailure::Kind::EntryMissing);
    for (const bool inEnglish : {false, true}) {
        const QString language = inEnglish ? QStringLiteral("English") : QStringLiteral("Russian");
        const QString unavailable = inEnglish ? QStringLiteral("The KIVO adapter is not available")
                                              : QStringLiteral("Адаптер KIVO недоступен");
        const QString noList = inEnglish ? QStringLiteral("The adapter list cannot be filled")
                                         : QStringLiteral("Список адаптеров не заполняется");
        QTest::addRow("%s, driver missing", qPrintable(language))
            << inEnglish << driver << missing << 0 << QString()
            << QStringList{QStringLiteral("ktxdrv.dll"), QStringLiteral("126"), unavailable};
        QTest::addRow("%s, driver lacks an ordinal", qPrintable(language))
            << inEnglish << driver << lacking << 13 << QString()
            << QStringList{QStringLiteral("ktxdrv.dll"), QStringLiteral("#13"), QStringLiteral("127"), unavailable};
        QTest::addRow("%s, FTDI library missing", qPrintable(language))
            << inEnglish << ftdi << missing << 0 << QString()
            << QStringList{QStringLiteral("FTD2XX.dll"), QStringLiteral("193"), noList};
        QTest::addRow("%s, FTDI library lacks a function", qPrintable(language))
            << inEnglish << ftdi << lacking << 0 << QStringLiteral("FT_GetQueueStatus")
            << QStringList{QStringLiteral("FTD2XX.dll"), QStringLiteral("FT_GetQueueStatus"), QStringLiteral("127"), noList};
    }
}

void TestLibraryProblem::namesWhatFailed()
{
    QFETCH(bool, inEnglish);
    QFETCH(int, library);
    QFETCH(int, kind);
    QFETCH(int, ordinal);
    QFETCH(QString, entryName);
    QFETCH(QStringList, expected);

    LibraryFailure failure;
    failure.kind = LibraryFailure::Kind(kind);
    failure.library = AdapterLibrary(library) == AdapterLibrary::Driver ? L"ktxdrv.dll" : L"FTD2XX.dll";
    failure.windowsError = kind == int(LibraryFailure::Kind::EntryMissing) ? 127 : (ordinal == 0 && library == 1 ? 193 : 126);
    failure.ordinal = quint16(ordinal);
    failure.entryName = entryName.toStdString();

    if (inEnglish)
        QCoreApplication::installTranslator(&english);
    const QString title = libraryProblemTitle();
    const QString text = libraryProblemText(AdapterLibrary(library), failure);
    QCoreApplication::removeTranslator(&english);

    QCOMPARE(title, inEnglish ? QStringLiteral("Warning") : QStringLiteral("Внимание"));
    for (const QString &part : expected)
        QVERIFY2(text.contains(part), qPrintable(QStringLiteral("\"%1\" lacks \"%2\"").arg(text, part)));
    QVERIFY2(!text.contains(QLatin1Char('%')), qPrintable(text));
}

RVK_TEST_MAIN(TestLibraryProblem)
#include "tst_libraryproblem.moc"
