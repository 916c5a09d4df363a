#pragma once

// A script that has read enough closes its end of the pipe
// ("rvk-report export | head -1"). That is no failure of the command: it
// ends quietly with exit code 0.
//
// The SIGPIPE a write then raises is ignored from the start rather than left
// to end the process with 141: the database client library ignores it
// anyway once it has connected (a server that drops the connection must not
// kill the program), so commands that reach the SSU would see a failed write
// and the others a signal. Ignored for all, every command sees the failed
// write (EPIPE) and asks readerGone() whether that is what happened.
void ignoreBrokenPipes();

// Whether fd is a pipe or socket whose reader has gone (false for files,
// terminals and when it cannot be told).
bool readerGone(int fd);
