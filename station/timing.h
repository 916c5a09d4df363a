#pragma once

#include "protocol/readouttransfer.h"

// Every wait of the station and its window, in one place. The values are the
// program's and nothing in it changes them. They are settable because the
// rules built on them (a loss asked at the first tick, a silent module told,
// a wipe button that ignores a hasty click) do not depend on their length:
// the tests run the same rules at a few tens of milliseconds instead of
// seconds. Set them before a station or a window is built; each object takes
// its values when it is made.
struct StationTimings
{
    // The link's supervision checks the adapter once a period.
    int supervisionMs = 1000;
    // The module answers a request within a few milliseconds and sends a
    // report's frames back to back; two seconds of silence is not a busy
    // module but a missing one, and still short enough for a person waiting.
    int answerTimeoutMs = 2000;
    // A transfer with no frame for this long has stalled, so a new request
    // may restart it.
    int readoutStallMs = ReadoutTransfer::stallMs;
    // How long a network bus may take to connect after its open before the
    // supervision counts it lost; beyond the driver's own bound.
    int connectWaitMs = 3000;
    // How long the log file's read-out may take to name the module.
    int logNamingWaitMs = 1000;
    // How long the wipe buttons ignore clicks after the service controls
    // appear under the pointer that answered the access code.
    int wipeArmingMs = 800;

    // The values objects made from now on take.
    static const StationTimings &current();
    static void setCurrent(const StationTimings &timings);
};
