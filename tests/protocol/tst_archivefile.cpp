#include "protocol/archivefile.h"
#include "ssu/archivedate.h"
#include "tests/support/testfiles.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QFileInfo>

using rvktest::readFile;
using rvktest::writeFile;

class TestArchiveFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void path_data();
    void path();
    void writesTheRecordVerbatim();
    void replacesAnOlderArchiveOfTheSameMinute();
    void sameMinuteKeepsEveryDifferentRecord();
    void failedWriteLeavesNoFile();
    void emptyRecordIsNotArchived();
    void listsFilesBySizeThenNameDescending();
    void foreignFilesAreNotListed_data();
    void foreignFilesAreNotListed();
};

void TestArchiveFile::init()
{
    rvktest::removeEntries({QStringLiteral("ssu")});
}

void TestArchiveFile::path_data()
{
    QTest::addColumn<quint32>("sn");
    QTest::addColumn<QString>("readoutTime");
    QTest::addColumn<QString>("expected");
    QTest::newRow("example") << 1234u << "06.12.2026 14:35" << "ssu/ssu_sn1234_06.12.2026_14.35.bin";
    QTest::newRow("serial number 0") << 0u << "01.02.2025 09:05" << "ssu/ssu_sn0_01.02.2025_09.05.bin";
    QTest::newRow("full unsigned range") << 4294967295u << "31.12.2026 23:59" << "ssu/ssu_sn4294967295_31.12.2026_23.59.bin";
}

void TestArchiveFile::path()
{
    QFETCH(quint32, sn);
    QFETCH(QString, readoutTime);
    QFETCH(QString, expected);
    QCOMPARE(ArchiveFile::path(sn, readoutTime), expected);
}

void TestArchiveFile::writesTheRecordVerbatim()
{
    QByteArray record(296, '\0');
    for (int i = 0; i < record.size(); ++i)
        record[i] = char(i * 7);
    const QString path = ArchiveFile::path(1234, QStringLiteral("06.12.2026 14:35"));
    QString error;
    QVERIFY2(ArchiveFile::write(path, record, &error), qPrintable(error));
    QCOMPARE(readFile(QStringLiteral("ssu/ssu_sn1234_06.12.2026_14.35.bin")), record);
    QCOMPARE(ArchiveFile::list(QStringLiteral("ssu")), QStringList(QStringLiteral("ssu_sn1234_06.12.2026_14.35.bin")));
}

void TestArchiveFile::replacesAnOlderArchiveOfTheSameMinute()
{
    QVERIFY(QDir().mkpath(QStringLiteral("ssu")));
    const QString path = ArchiveFile::path(5, QStringLiteral("06.12.2026 14:35"));
    QVERIFY(writeFile(path, QByteArray(1000, 'o')));
    QVERIFY(ArchiveFile::write(path, QByteArray(80, 'n')));
    QCOMPARE(readFile(path), QByteArray(80, 'n'));
}

void TestArchiveFile::sameMinuteKeepsEveryDifferentRecord()
{
    const QString minute = QStringLiteral("06.12.2026 14:35");
    const QByteArray first(296, 'a');
    const QByteArray second(296, 'b');
    const QByteArray third(80, 'c');

    const QString firstPath = ArchiveFile::freePath(1234, minute, first);
    QCOMPARE(firstPath, QStringLiteral("ssu/ssu_sn1234_06.12.2026_14.35.bin"));
    QVERIFY(ArchiveFile::write(firstPath, first));
    // The same bytes again may take the same name: nothing is lost by it.
    QCOMPARE(ArchiveFile::freePath(1234, minute, first), firstPath);

    const QString secondPath = ArchiveFile::freePath(1234, minute, second);
    QCOMPARE(secondPath, QStringLiteral("ssu/ssu_sn1234-2_06.12.2026_14.35.bin"));
    QVERIFY(ArchiveFile::write(secondPath, second));
    // A folder named like the next archive is stepped over, not replaced.
    QVERIFY(QDir().mkpath(QStringLiteral("ssu/ssu_sn1234-3_06.12.2026_14.35.bin")));
    const QString thirdPath = ArchiveFile::freePath(1234, minute, third);
    QCOMPARE(thirdPath, QStringLiteral("ssu/ssu_sn1234-4_06.12.2026_14.35.bin"));
    QVERIFY(ArchiveFile::write(thirdPath, third));
    QCOMPARE(ArchiveFile::freePath(1234, minute, second), secondPath);

    QCOMPARE(readFile(firstPath), first);
    QCOMPARE(readFile(secondPath), second);
    QCOMPARE(readFile(thirdPath), third);
    // Every one of them still tells the uploader the read-out minute.
    for (const QString &name : ArchiveFile::list(QStringLiteral("ssu")))
        QCOMPARE(reportDateFromArchiveName(name), minute);
    QCOMPARE(ArchiveFile::list(QStringLiteral("ssu")).size(), 3);
}

void TestArchiveFile::failedWriteLeavesNoFile()
{
    // Root may write anywhere, so a regular file stands where the folder must be.
    QVERIFY(writeFile(QStringLiteral("ssu"), QByteArray()));
    QString error;
    QVERIFY(!ArchiveFile::write(ArchiveFile::path(1234, QStringLiteral("06.12.2026 14:35")), QByteArray(296, 'r'), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(QStringLiteral("ssu")).isFile());
    QCOMPARE(QFileInfo(QStringLiteral("ssu")).size(), 0);

    // With the folder in place but the target blocked by a folder, the old
    // content and the folder stay as they were and no temporary file is left.
    init();
    const QString path = ArchiveFile::path(1, QStringLiteral("06.12.2026 14:35"));
    QVERIFY(QDir().mkpath(path));
    QVERIFY(!ArchiveFile::write(path, QByteArray(296, 'r'), &error));
    QCOMPARE(rvktest::entriesIn(QStringLiteral("ssu")), QStringList(QFileInfo(path).fileName()));
}

void TestArchiveFile::emptyRecordIsNotArchived()
{
    QVERIFY(!ArchiveFile::write(ArchiveFile::path(1, QStringLiteral("06.12.2026 14:35")), QByteArray()));
    QVERIFY(!QFileInfo::exists(QStringLiteral("ssu")));
}

void TestArchiveFile::listsFilesBySizeThenNameDescending()
{
    QVERIFY(QDir().mkpath(QStringLiteral("ssu/subfolder")));
    QVERIFY(writeFile(QStringLiteral("ssu/ssu_sn1_01.01.2026_10.00.bin"), QByteArray(296, 'a')));
    QVERIFY(writeFile(QStringLiteral("ssu/ssu_sn2_01.01.2026_10.00.bin"), QByteArray(296, 'b')));
    QVERIFY(writeFile(QStringLiteral("ssu/ssu_sn10_01.01.2026_10.00.bin"), QByteArray(296, 'c')));
    QVERIFY(writeFile(QStringLiteral("ssu/ssu_sn3_short.bin"), QByteArray(80, 'd')));
    QVERIFY(writeFile(QStringLiteral("ssu/ssu_sn4-2_01.01.2026_10.00.bin"), QByteArray(300, 'e')));
    QVERIFY(writeFile(QStringLiteral("ssu/ssu_sn5_empty.bin"), QByteArray()));
    QVERIFY(QFile::link(QStringLiteral("ssu_sn3_short.bin"), QStringLiteral("ssu/ssu_sn6_link.bin")));
    QVERIFY(QFile::link(QStringLiteral("missing.bin"), QStringLiteral("ssu/ssu_sn7_dangling.bin")));

    QCOMPARE(ArchiveFile::list(QStringLiteral("ssu")),
             QStringList({"ssu_sn5_empty.bin", "ssu_sn3_short.bin", "ssu_sn2_01.01.2026_10.00.bin",
                          "ssu_sn1_01.01.2026_10.00.bin", "ssu_sn10_01.01.2026_10.00.bin",
                          "ssu_sn4-2_01.01.2026_10.00.bin"}));
    QVERIFY(ArchiveFile::list(QStringLiteral("no-such-folder")).isEmpty());
}

void TestArchiveFile::foreignFilesAreNotListed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::newRow("text file") << "notes.txt" << 120;
    QTest::newRow("empty file") << "empty" << 0;
    QTest::newRow("other binary") << "firmware.bin" << 296;
    QTest::newRow("hidden") << ".ssu_sn1_01.01.2026_10.00.bin" << 296;
    QTest::newRow("no serial number") << "ssu_sn_01.01.2026_10.00.bin" << 296;
    QTest::newRow("letters in the serial") << "ssu_snX1_01.01.2026_10.00.bin" << 296;
    QTest::newRow("other extension") << "ssu_sn1_01.01.2026_10.00.bin.bak" << 296;
    QTest::newRow("too large to be a record") << "ssu_sn1_01.01.2026_10.00.bin" << int(ArchiveFile::maxSize) + 1;
}

void TestArchiveFile::foreignFilesAreNotListed()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QVERIFY(QDir().mkpath(QStringLiteral("ssu")));
    QVERIFY(writeFile(QStringLiteral("ssu/") + name, QByteArray(size, '\xFF')));
    QVERIFY(writeFile(QStringLiteral("ssu/ssu_sn9_02.01.2026_10.00.bin"), QByteArray(296, '\xFF')));
    QCOMPARE(ArchiveFile::list(QStringLiteral("ssu")), QStringList(QStringLiteral("ssu_sn9_02.01.2026_10.00.bin")));
}

RVK_TEST_MAIN(TestArchiveFile)
#include "tst_archivefile.moc"
