#include "station/workingfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

QString documentsWorkingFolder()
{
    // Honours XDG_DOCUMENTS_DIR of the user's user-dirs.dirs, which is how a
    // desktop names a localised documents folder.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("RVK Report"));
}

bool enterWorkingFolder(const QString &path, QString *error)
{
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    const QFileInfo info(absolute);
    if (info.exists() && !info.isDir()) {
        *error = QStringLiteral("%1 is a file, not a folder").arg(QDir::toNativeSeparators(absolute));
        return false;
    }
    if (!QDir().mkpath(absolute)) {
        *error = QStringLiteral("%1 could not be created").arg(QDir::toNativeSeparators(absolute));
        return false;
    }
    // Reports and archive files are written here later; finding out now
    // beats losing the first report.
    QTemporaryFile probe(QDir(absolute).filePath(QStringLiteral(".rvk-write-test-XXXXXX")));
    if (!probe.open()) {
        *error = QStringLiteral("%1 is not writable: %2").arg(QDir::toNativeSeparators(absolute), probe.errorString());
        return false;
    }
    probe.close();
    if (!QDir::setCurrent(absolute)) {
        *error = QStringLiteral("%1 could not be entered").arg(QDir::toNativeSeparators(absolute));
        return false;
    }
    return true;
}
