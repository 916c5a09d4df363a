#include "protocol/archivefile.h"

#include "protocol/plainfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace ArchiveFile {

QString directory()
{
    return QStringLiteral("ssu");
}

QString pathOf(const QString &fileName)
{
    return directory() + QLatin1Char('/') + fileName;
}

QString path(quint32 sn, const QString &readoutTime)
{
    QString name = pathOf(QStringLiteral("ssu_sn%1_%2.bin").arg(QString::number(sn), readoutTime));
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    name.replace(QLatin1Char(':'), QLatin1Char('.'));
    return name;
}

namespace {
// A name that may take the record: nothing there yet, or a file with exactly
// these bytes (replacing it loses nothing). Anything else, a folder included,
// is someone else's.
bool canTake(const QString &path, const QByteArray &record)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (!info.isFile() || info.isSymLink() || info.size() != record.size())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == record;
}
} // namespace

QString freePath(quint32 sn, const QString &readoutTime, const QByteArray &record)
{
    const QString plain = path(sn, readoutTime);
    if (canTake(plain, record))
        return plain;
    // The suffix joins the serial number, before the first "_" that the
    // reader strips along with it.
    for (int n = 2;; ++n) {
        const QString candidate = path(sn, readoutTime).replace(
            QStringLiteral("ssu/ssu_sn%1_").arg(sn), QStringLiteral("ssu/ssu_sn%1-%2_").arg(sn).arg(n));
        if (canTake(candidate, record))
            return candidate;
    }
}

bool write(const QString &path, const QByteArray &record, QString *errorString)
{
    if (record.isEmpty()) {
        if (errorString)
            errorString->clear();
        return false;
    }
    // A folder that cannot be made shows up as the write's own error.
    QDir().mkpath(QFileInfo(path).path());
    return PlainFile::write(path, record, errorString);
}

bool read(const QString &path, QByteArray *record)
{
    return PlainFile::read(path, maxSize, record);
}

bool isArchiveName(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^ssu_sn[0-9]+(-[0-9]+)?_.+\\.bin$"));
    return pattern.match(fileName).hasMatch();
}

namespace {
QFileInfoList archiveEntries(const QString &directoryPath)
{
    QFileInfoList entries = QDir(directoryPath).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::NoSort);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const QFileInfo &entry) {
                                     return !isArchiveName(entry.fileName()) || entry.size() > maxSize;
                                 }),
                  entries.end());
    return entries;
}
} // namespace

int count(const QString &directoryPath)
{
    return archiveEntries(directoryPath).size();
}

QStringList list(const QString &directoryPath)
{
    QFileInfoList entries = archiveEntries(directoryPath);
    std::sort(entries.begin(), entries.end(), [](const QFileInfo &a, const QFileInfo &b) {
        if (a.size() != b.size())
            return a.size() < b.size();
        return a.fileName() > b.fileName();
    });
    QStringList names;
    names.reserve(entries.size());
    for (const QFileInfo &entry : entries)
        names << entry.fileName();
    return names;
}

} // namespace ArchiveFile
