#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files as tests look at them, relative to the working directory unless a
// path says otherwise.
namespace rvktest {

// The whole file; empty when it cannot be read.
QByteArray readFile(const QString &path);
// The whole file decoded from windows-1251, the encoding of the reports.
QString readWindows1251File(const QString &path);
// Writes the bytes as the whole file; false unless all of them were written.
bool writeFile(const QString &path, const QByteArray &bytes);

// The files of a folder, hidden ones included, by name.
QStringList filesIn(const QString &folder);
// Everything a folder holds (files, folders, links), by name.
QStringList entriesIn(const QString &folder);

// Removes whatever stands at each path: a file, a link or a folder with its
// contents. Used to give every test the same empty working directory.
void removeEntries(const QStringList &paths);
// An empty folder at path, whatever stood there before.
bool freshFolder(const QString &path);

} // namespace rvktest
