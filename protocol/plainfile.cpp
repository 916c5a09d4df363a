#include "protocol/plainfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#ifdef Q_OS_WIN
#include <QDir>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace PlainFile {

namespace {
bool fail(QString *errorString, const QString &text)
{
    if (errorString)
        *errorString = text;
    return false;
}
} // namespace

#ifdef Q_OS_UNIX

bool read(const QString &path, qint64 maxSize, QByteArray *content)
{
    // O_NONBLOCK: opening a planted pipe must not hang the window; a pipe is
    // refused right after as not regular.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxSize) {
        ::close(fd);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    // The file may have grown since the check.
    const QByteArray bytes = file.read(maxSize + 1);
    if (bytes.size() > maxSize || file.error() != QFileDevice::NoError)
        return false;
    *content = bytes;
    return true;
}

bool write(const QString &path, const QByteArray &bytes, QString *errorString, bool)
{
    const QFileInfo target(path);
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                             + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        return fail(errorString, temporary.errorString());

    mode_t mode = 0;
    struct stat existing;
    if (::lstat(QFile::encodeName(path).constData(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        mode = existing.st_mode & 07777;
    } else {
        // A new file gets what any program's would: 0666 less the umask
        // (the temporary file starts private).
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (temporary.write(bytes) != bytes.size() || !temporary.flush())
        return fail(errorString, temporary.errorString());
    if (::fchmod(temporary.handle(), mode) != 0 || ::fsync(temporary.handle()) != 0)
        return fail(errorString, QString::fromLocal8Bit(std::strerror(errno)));
    // rename() replaces the directory entry itself: a link there is dropped,
    // its target never written.
    if (::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return fail(errorString, QString::fromLocal8Bit(std::strerror(errno)));
    temporary.setAutoRemove(false);
    return true;
}

#else

bool read(const QString &path, qint64 maxSize, QByteArray *content)
{
    // The link itself is opened, never its target (FILE_FLAG_OPEN_REPARSE_POINT),
    // and a folder not at all (no FILE_FLAG_BACKUP_SEMANTICS); what was opened
    // is then checked through the handle.
    const HANDLE handle = ::CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                                        GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information;
    const bool plain = ::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &information)
        && !(information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))
        && ((qint64(information.nFileSizeHigh) << 32) | information.nFileSizeLow) <= maxSize;
    const int fd = plain ? ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY) : -1;
    if (fd < 0) {
        ::CloseHandle(handle);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::_close(fd);
        return false;
    }
    const QByteArray bytes = file.read(maxSize + 1);
    if (bytes.size() > maxSize || file.error() != QFileDevice::NoError)
        return false;
    *content = bytes;
    return true;
}

bool write(const QString &path, const QByteArray &bytes, QString *errorString, bool text)
{
    // QSaveFile would write to a link's target; a link in the way is removed.
    if (QFileInfo(path).isSymLink() && !QFile::remove(path))
        return fail(errorString, QStringLiteral("cannot replace the link %1").arg(path));
    QSaveFile file(path);
    QIODevice::OpenMode mode = QIODevice::WriteOnly;
    if (text)
        mode |= QIODevice::Text;
    if (!file.open(mode))
        return fail(errorString, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return fail(errorString, error);
    }
    if (!file.commit())
        return fail(errorString, file.errorString());
    return true;
}

#endif

} // namespace PlainFile
