#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

namespace rvktest {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString readWindows1251File(const QString &path)
{
    return QTextCodec::codecForName("windows-1251")->toUnicode(readFile(path));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QStringList entriesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void removeEntries(const QStringList &paths)
{
    for (const QString &path : paths) {
        const QFileInfo entry(path);
        // A link is removed itself, never the folder it points to.
        if (entry.isDir() && !entry.isSymLink())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
}

bool freshFolder(const QString &path)
{
    removeEntries({path});
    return QDir().mkpath(path);
}

} // namespace rvktest
