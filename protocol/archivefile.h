#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Reports whose upload failed wait in "ssu/" for the next connection. The
// uploader recovers the report date from the name, so its form is binding.
namespace ArchiveFile {

// "ssu"
QString directory();
// The archive file of that name (as list() gives it) in directory().
QString pathOf(const QString &fileName);
// "ssu/ssu_sn1234_06.12.2026_14.35.bin" for 1234 read at "06.12.2026 14:35".
QString path(quint32 sn, const QString &readoutTime);
// Where this record goes: path(sn, readoutTime) when that name is free or
// already holds these very bytes; otherwise the first of
// "ssu/ssu_sn1234-2_06.12.2026_14.35.bin", "-3", ... that is. Two reports of
// one module read within the same minute thus both survive, and the reader
// still finds the date after the first "_".
QString freePath(quint32 sn, const QString &readoutTime, const QByteArray &record);

// Writes the record verbatim, creating the directory when missing; the target
// either gets every byte or is left untouched, and a symbolic link planted at
// its name is replaced, never written through. False with
// the error text when any step fails; an empty record is refused (false,
// no error text).
bool write(const QString &path, const QByteArray &record, QString *errorString = nullptr);

// The record in the archive file at path, read as the uploader may trust it:
// a regular file (no link, device or pipe) of at most maxSize bytes, checked
// on the opened file. False otherwise; the file is then left alone.
bool read(const QString &path, QByteArray *record);

// Names (without directory) of the archive files in the directory, symbolic
// links left out, smallest first and, among equal sizes, by name in
// descending order. Only plain files named like an archive
// ("ssu_sn<digits>[-<digits>]_<date>.bin") and no larger than maxSize count:
// the uploader deletes what it lists, so anything else a user keeps in the
// folder is left alone.
QStringList list(const QString &directoryPath);
// How many files list() would name, without ordering them.
int count(const QString &directoryPath);

// A record is 296 bytes; this leaves room for any runaway transfer while
// keeping large foreign files out of the upload.
constexpr qint64 maxSize = 64 * 1024;
bool isArchiveName(const QString &fileName);

} // namespace ArchiveFile
