#pragma once

#include <QDeadlineTimer>

#include <atomic>
#include <functional>
#include <memory>

struct st_mysql;

// Drives the client library's non-blocking calls to their end within a total
// deadline, so that a server trickling a byte now and then cannot stretch a
// connect or a statement the way it stretches per-read time-outs.
namespace DeadlineWait {

// status is what a *_start() call returned (MYSQL_WAIT_* flags, 0: done).
// Waits on the connection's socket for what the library waits for, in short
// slices so that abandonment is noticed at once, and calls resume with the
// events that happened; resume calls the matching *_cont() and returns its
// status. False when the deadline passed or everything was abandoned first:
// the call is then unfinished and the connection must be dropped.
bool finish(st_mysql *mysql, int status, const QDeadlineTimer &deadline, const std::function<int(int)> &resume);

// Shuts the connection's socket down, so that every later read or write on
// it fails at once instead of waiting on the server.
void cut(st_mysql *mysql);

// Waits on the calling thread end at once when *flag is set (the thread's
// owner is closing).
void watch(std::shared_ptr<const std::atomic<bool>> flag);

} // namespace DeadlineWait
