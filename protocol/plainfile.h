#pragma once

#include <QByteArray>
#include <QString>

// Files the program keeps in folders that other users or programs may share
// (the archive folder, the report folder): it reads and writes them as
// themselves, never through a symbolic link planted at their name, and never
// takes in more than it expects.
namespace PlainFile {

// The whole content of path when it is a regular file (not a link, a device
// or a pipe) of at most maxSize bytes; false otherwise. The checks are made on
// the opened file, so a swap between listing and reading is caught too.
bool read(const QString &path, qint64 maxSize, QByteArray *content);

// Replaces path with a file holding exactly bytes: written beside it under a
// temporary name and renamed over it, so readers see the old or the new
// content, and a symbolic link at path is replaced, never followed. An
// existing file's permissions are kept. False with the error text otherwise;
// path is then untouched. text: line ends as the platform writes text.
bool write(const QString &path, const QByteArray &bytes, QString *errorString = nullptr, bool text = false);

} // namespace PlainFile
