// WSAPoll needs Windows Vista's API.
#if defined(_WIN32) && (!defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0600)
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#endif

#include "ssu/driver/deadlinewait.h"

#include <QtGlobal>

#include <algorithm>
#include <atomic>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <poll.h>
#include <sys/socket.h>
#endif

#include <mysql.h>

namespace DeadlineWait {

namespace {
thread_local std::shared_ptr<const std::atomic<bool>> threadAbandoned;

bool abandoned()
{
    return threadAbandoned && *threadAbandoned;
}

// Short enough that closing the program never waits noticeably for a wait
// that is in progress.
constexpr qint64 SliceMs = 50;

int pollSocket(st_mysql *mysql, int status, int timeoutMs)
{
#ifdef Q_OS_WIN
    WSAPOLLFD descriptor{};
    descriptor.fd = mysql_get_socket(mysql);
    descriptor.events = short(((status & MYSQL_WAIT_READ) ? POLLRDNORM : 0)
                              | ((status & MYSQL_WAIT_WRITE) ? POLLWRNORM : 0));
    const int ready = WSAPoll(&descriptor, 1, timeoutMs);
    const short in = POLLRDNORM, out = POLLWRNORM, failed = POLLERR | POLLHUP;
#else
    pollfd descriptor{};
    descriptor.fd = mysql_get_socket(mysql);
    descriptor.events = short(((status & MYSQL_WAIT_READ) ? POLLIN : 0) | ((status & MYSQL_WAIT_WRITE) ? POLLOUT : 0)
                              | ((status & MYSQL_WAIT_EXCEPT) ? POLLPRI : 0));
    const int ready = poll(&descriptor, 1, timeoutMs);
    const short in = POLLIN, out = POLLOUT, failed = POLLERR | POLLHUP | POLLNVAL;
#endif
    if (ready <= 0)
        return 0;
    int happened = 0;
    // A closed or failed socket is reported as readable and writable, so the
    // library tries, sees the error and ends the call.
    if (descriptor.revents & (in | failed))
        happened |= MYSQL_WAIT_READ;
    if (descriptor.revents & (out | failed))
        happened |= MYSQL_WAIT_WRITE;
    return happened;
}
} // namespace

void cut(st_mysql *mysql)
{
    const my_socket socket = mysql_get_socket(mysql);
    if (socket == static_cast<my_socket>(-1))
        return;
#ifdef Q_OS_WIN
    shutdown(socket, SD_BOTH);
#else
    shutdown(socket, SHUT_RDWR);
#endif
}

bool finish(st_mysql *mysql, int status, const QDeadlineTimer &deadline, const std::function<int(int)> &resume)
{
    bool inTime = true;
    while (status != 0) {
        if (!inTime) {
            // A call left suspended half-way would leave the connection's
            // state undefined, and closing it unsafe: with its socket cut,
            // every read and write fails at once and the call ends.
            status = resume(MYSQL_WAIT_READ | MYSQL_WAIT_WRITE);
            continue;
        }
        // The library's own timer, when it asks for one, counts from the
        // moment it asked.
        const QDeadlineTimer libraryTimer = (status & MYSQL_WAIT_TIMEOUT)
            ? QDeadlineTimer(qint64(mysql_get_timeout_value_ms(mysql)))
            : QDeadlineTimer(QDeadlineTimer::Forever);
        int happened = 0;
        while (happened == 0) {
            if (deadline.hasExpired() || abandoned()) {
                inTime = false;
                cut(mysql);
                break;
            }
            if (libraryTimer.hasExpired()) {
                happened = MYSQL_WAIT_TIMEOUT;
                break;
            }
            const qint64 slice
                = std::min({SliceMs, deadline.remainingTime(), libraryTimer.isForever() ? SliceMs : libraryTimer.remainingTime()});
            happened = pollSocket(mysql, status, int(std::max<qint64>(slice, 0)));
        }
        if (inTime)
            status = resume(happened);
    }
    return inTime;
}

void watch(std::shared_ptr<const std::atomic<bool>> flag)
{
    threadAbandoned = std::move(flag);
}
} // namespace DeadlineWait
