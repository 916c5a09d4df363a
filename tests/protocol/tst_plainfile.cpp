// Files in shared folders are read and written as themselves: a symbolic
// link planted at a report's or an archive file's name is replaced, never
// written through, and the uploader reads only bounded regular files.
#include "tests/support/testmain.h"

#include "protocol/archivefile.h"
#include "protocol/plainfile.h"
#include "report/htmlreport.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

#include <sys/stat.h>
#include <sys/types.h>

using rvktest::readFile;
using rvktest::writeFile;

namespace {
using Writer = std::function<bool(const QString &)>;
} // namespace
Q_DECLARE_METATYPE(Writer)

class TestPlainFile : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void writersReplaceAPlantedLinkInsteadOfFollowingIt_data();
    void writersReplaceAPlantedLinkInsteadOfFollowingIt();
    void writeKeepsAnExistingFilesPermissions();
    void readAcceptsOnlyBoundedRegularFiles_data();
    void readAcceptsOnlyBoundedRegularFiles();

private:
    QTemporaryDir dir;
};

void TestPlainFile::init()
{
    QVERIFY(dir.isValid());
    QVERIFY(rvktest::freshFolder(dir.path()));
}

void TestPlainFile::writersReplaceAPlantedLinkInsteadOfFollowingIt_data()
{
    QTest::addColumn<Writer>("write");
    QTest::newRow("plain file") << Writer([](const QString &path) { return PlainFile::write(path, "new"); });
    QTest::newRow("archive file") << Writer(
        [](const QString &path) { return ArchiveFile::write(path, QByteArray(296, 'r')); });
    QTest::newRow("HTML report") << Writer([](const QString &path) {
        ReportValues values;
        values.sn = 7;
        values.date = QStringLiteral("06.12.2026 14:35");
        return writeHtmlReportFile(path, values, 0);
    });
}

void TestPlainFile::writersReplaceAPlantedLinkInsteadOfFollowingIt()
{
    QFETCH(Writer, write);
    const QString victim = dir.filePath(QStringLiteral("victim"));
    const QString name = dir.filePath(QStringLiteral("ssu_sn7_06.12.2026_14.35.bin"));
    QVERIFY(writeFile(victim, "the user's own file"));
    QVERIFY(QFile::link(victim, name));

    QVERIFY(write(name));
    QCOMPARE(readFile(victim), QByteArray("the user's own file"));
    const QFileInfo written(name);
    QVERIFY(!written.isSymLink());
    QVERIFY(written.isFile());
    QVERIFY(written.size() > 0);

    // A dangling link is no way out either.
    QVERIFY(QFile::remove(name));
    const QString elsewhere = dir.filePath(QStringLiteral("created-elsewhere"));
    QVERIFY(QFile::link(elsewhere, name));
    QVERIFY(write(name));
    QVERIFY(!QFileInfo::exists(elsewhere));
    QVERIFY(!QFileInfo(name).isSymLink());
}

void TestPlainFile::writeKeepsAnExistingFilesPermissions()
{
    const QString path = dir.filePath(QStringLiteral("report.html"));
    QVERIFY(writeFile(path, "old"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(PlainFile::write(path, "new"));
    QCOMPARE(readFile(path), QByteArray("new"));
    const QFileDevice::Permissions groupAndOthers(0x0077);
    QCOMPARE(QFileInfo(path).permissions() & groupAndOthers, QFileDevice::Permissions());
    QVERIFY(QFileInfo(path).permissions() & QFileDevice::WriteOwner);

    // A new file gets what the umask allows, not the temporary file's 0600.
    const mode_t mask = ::umask(022);
    const QString fresh = dir.filePath(QStringLiteral("fresh.html"));
    QVERIFY(PlainFile::write(fresh, "x"));
    ::umask(mask);
    QVERIFY(QFileInfo(fresh).permissions() & QFileDevice::ReadOther);
}

void TestPlainFile::readAcceptsOnlyBoundedRegularFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("regular record") << "record" << true;
    QTest::newRow("exactly the bound") << "bound" << true;
    QTest::newRow("one byte over the bound") << "over" << false;
    QTest::newRow("link to a record") << "link" << false;
    QTest::newRow("pipe") << "pipe" << false;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("missing") << "missing" << false;
}

void TestPlainFile::readAcceptsOnlyBoundedRegularFiles()
{
    QFETCH(QString, kind);
    QFETCH(bool, accepted);
    const QString path = dir.filePath(QStringLiteral("ssu_sn1_01.01.2026_10.00.bin"));
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.bin"));
    QByteArray expected(296, 'r');
    if (kind == QLatin1String("record")) {
        QVERIFY(writeFile(path, expected));
    } else if (kind == QLatin1String("bound")) {
        expected = QByteArray(int(ArchiveFile::maxSize), 'b');
        QVERIFY(writeFile(path, expected));
    } else if (kind == QLatin1String("over")) {
        QVERIFY(writeFile(path, QByteArray(int(ArchiveFile::maxSize) + 1, 'o')));
    } else if (kind == QLatin1String("link")) {
        QVERIFY(writeFile(elsewhere, expected));
        QVERIFY(QFile::link(elsewhere, path));
    } else if (kind == QLatin1String("pipe")) {
        // Opening a pipe for reading would block until a writer comes.
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    }

    QByteArray record = "untouched";
    QCOMPARE(ArchiveFile::read(path, &record), accepted);
    QCOMPARE(record, accepted ? expected : QByteArray("untouched"));
}

RVK_TEST_MAIN(TestPlainFile)
#include "tst_plainfile.moc"
