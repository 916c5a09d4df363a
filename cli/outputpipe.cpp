#include "cli/outputpipe.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <poll.h>
#endif

void ignoreBrokenPipes()
{
#ifdef Q_OS_UNIX
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

bool readerGone(int fd)
{
#ifdef Q_OS_UNIX
    // The writing end of a pipe or socket without a reader polls as an
    // error; a file or terminal never does.
    pollfd probe{fd, POLLOUT, 0};
    return ::poll(&probe, 1, 0) == 1 && (probe.revents & POLLERR);
#else
    // Windows has no SIGPIPE: a write to a closed pipe fails, and the
    // command says so.
    Q_UNUSED(fd)
    return false;
#endif
}
