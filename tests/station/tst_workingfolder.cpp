#include "station/workingfolder.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

class TestWorkingFolder : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void documentsFolderFollowsTheUsersSetting();
    void entersFolders_data();
    void entersFolders();
    void refusesWhatIsNoFolder_data();
    void refusesWhatIsNoFolder();
};

void TestWorkingFolder::init()
{
    QDir::setCurrent(rvktest::workDir());
}

void TestWorkingFolder::documentsFolderFollowsTheUsersSetting()
{
    // Test mode moves the configuration folder away from XDG_CONFIG_HOME;
    // the user's own setting is what this is about.
    QStandardPaths::setTestModeEnabled(false);
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
    QVERIFY(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
    dirs.close();

    QCOMPARE(documentsWorkingFolder(), QDir::homePath() + QStringLiteral("/Papiere/RVK Report"));

    dirs.remove();
    QStandardPaths::setTestModeEnabled(true);
}

void TestWorkingFolder::entersFolders_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("expected");
    const QString base = rvktest::workDir();
    QTest::newRow("missing, nested") << base + QStringLiteral("/a/b/RVK Report") << base + QStringLiteral("/a/b/RVK Report");
    QTest::newRow("relative to the current folder") << QStringLiteral("station/../reports") << base + QStringLiteral("/reports");
    QTest::newRow("already there") << base << base;
}

void TestWorkingFolder::entersFolders()
{
    QFETCH(QString, given);
    QFETCH(QString, expected);
    QString error;
    QVERIFY2(enterWorkingFolder(given, &error), qPrintable(error));
    QCOMPARE(QDir::currentPath(), expected);
    // The write check leaves nothing behind in the user's folder.
    QVERIFY(QDir(expected).entryList({QStringLiteral(".rvk-write-test*")}, QDir::Files | QDir::Hidden).isEmpty());
}

void TestWorkingFolder::refusesWhatIsNoFolder_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a file") << QStringLiteral("occupied") << QStringLiteral("is a file, not a folder");
    QTest::newRow("below a file") << QStringLiteral("occupied/RVK Report") << QStringLiteral("could not be created");
}

void TestWorkingFolder::refusesWhatIsNoFolder()
{
    QFETCH(QString, given);
    QFETCH(QString, reason);
    QVERIFY(rvktest::writeFile(QStringLiteral("occupied"), QByteArray()));

    QString error;
    QVERIFY(!enterWorkingFolder(given, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(rvktest::workDir() + QLatin1Char('/') + given)), qPrintable(error));
    QCOMPARE(QDir::currentPath(), rvktest::workDir());
    QVERIFY(QFileInfo(QStringLiteral("occupied")).isFile());
    QFile::remove(QStringLiteral("occupied"));
}

RVK_TEST_MAIN(TestWorkingFolder)
#include "tst_workingfolder.moc"
