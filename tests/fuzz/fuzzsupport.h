#pragma once

#include <QByteArray>

namespace fuzz {
// One QApplication for the whole run, offscreen, in a private working
// directory; modal boxes are closed as soon as they open so a fuzzed path
// never waits for a user.
void ensureApplication();
// Runs the events pending now (timers, queued deliveries) once.
void processEvents();
} // namespace fuzz
