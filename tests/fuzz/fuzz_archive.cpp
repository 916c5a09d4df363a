// The archive pass end to end up to the database server: a file name of any
// form through the report-date rule, and file contents of any size written,
// listed, read back and decoded into the row the upload binds. The row is
// stored with the real statements into an in-memory SQLite table of the same
// schema, so every bound value is exercised without a MySQL server (whose
// round trips would cut the run rate a hundredfold).
//
// Input: the file name up to the first newline, then the file contents.
#include "protocol/archivefile.h"
#include "report/reportrecord.h"
#include "ssu/archivedate.h"
#include "ssu/reportschema.h"
#include "ssu/reportupload.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

namespace {

QSqlDatabase &database()
{
    static QSqlDatabase db = [] {
        static int argc = 1;
        static char name[] = "fuzz_archive";
        static char *argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
        // Every input writes and removes files through save files, which
        // sync to disk; a memory-backed folder keeps that off the run rate.
        static QTemporaryDir work(QDir(QStringLiteral("/dev/shm")).exists()
                                      ? QStringLiteral("/dev/shm/fuzz_archive-XXXXXX")
                                      : QDir::tempPath() + QStringLiteral("/fuzz_archive-XXXXXX"));
        QDir::setCurrent(work.path());
        QSqlDatabase opened = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fuzz"));
        opened.setDatabaseName(QStringLiteral(":memory:"));
        if (!opened.open() || !QSqlQuery(opened).exec(createReportTableStatement()))
            __builtin_trap();
        return opened;
    }();
    return db;
}

// A file name the writer itself produced must give back the read-out time.
void checkNameRoundTrip(quint32 sn, quint32 seconds)
{
    const QString date =
        QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    const QString name = ArchiveFile::path(sn, date).section(QLatin1Char('/'), -1);
    if (reportDateFromArchiveName(name) != date)
        __builtin_trap();
}

void upload(const QByteArray &record, const QString &reportDate)
{
    const ReportValues decoded = decodeReport(record);
    if (decoded.totalPercents.size() != 6 || decoded.repairPercents.size() != 6)
        __builtin_trap();
    // As the dialog stores it: unknown texts as such, never another module's.
    ReportValues row = decoded;
    row.date = reportDate;
    row.release_date = decoded.releaseDateSet ? decoded.release_date : QLatin1String(UnknownReleaseDate);
    row.firmware_version = decoded.firmwareVersionSet ? decoded.firmware_version : QString();

    QSqlDatabase &db = database();
    QSqlQuery query(db);
    if (storeReportRow(db, query, row).ok) {
        // Stored twice, the duplicate rule keeps exactly one row.
        QSqlQuery again(db);
        if (storeReportRow(db, again, row).value != UploadOutcome::Replaced)
            __builtin_trap();
        QSqlQuery count(db);
        count.prepare(QStringLiteral("SELECT COUNT(*) FROM rvkreport WHERE sn = ? AND total_time = ? AND repair_time = ?"));
        count.addBindValue(row.sn);
        count.addBindValue(row.total_time);
        count.addBindValue(row.repair_time);
        if (!count.exec() || !count.next() || count.value(0).toInt() != 1)
            __builtin_trap();
    }
    QSqlQuery(db).exec(QStringLiteral("DELETE FROM rvkreport"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    database();
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const int newline = input.indexOf('\n');
    const QString fuzzedName = QString::fromUtf8(input.left(qMax(newline, 0)));
    const QByteArray contents = newline < 0 ? input : input.mid(newline + 1);

    reportDateFromArchiveName(fuzzedName);
    checkNameRoundTrip(quint32(readReportWord(contents, WordSerialNumber)), quint32(readReportWord(contents, 0)));

    // A failed upload leaves the file for the next pass, so what was written
    // must read back byte for byte. A second, different record of the same
    // module and minute must get a name of its own that still gives the date.
    const QString date = QStringLiteral("06.12.2026 14:35");
    const quint32 sn = quint32(readReportWord(contents, WordSerialNumber));
    const QByteArray other = contents + char(0x5A);
    const bool written = ArchiveFile::write(ArchiveFile::freePath(sn, date, contents), contents);
    if (written != !contents.isEmpty() || !ArchiveFile::write(ArchiveFile::freePath(sn, date, other), other))
        __builtin_trap();
    const QStringList names = ArchiveFile::list(ArchiveFile::directory());
    if (names.size() != (written ? 2 : 1))
        __builtin_trap();
    for (const QString &name : names) {
        if (reportDateFromArchiveName(name) != date)
            __builtin_trap();
        QFile file(ArchiveFile::directory() + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadOnly))
            __builtin_trap();
        const QByteArray record = file.read(file.size());
        file.close();
        if (record != contents && record != other)
            __builtin_trap();
        upload(record, reportDateFromArchiveName(fuzzedName.isEmpty() ? name : fuzzedName));
        QFile::remove(file.fileName());
    }
    return 0;
}
