#pragma once

// The station's waits at a twentieth of the program's, for tests over the
// scripted driver, which answers at once. The rules under test are counted
// in these periods, not in seconds, so they hold at either length.
// Header-only because the support library does not link the station; every
// test executable that includes this does.

#include "station/answerwatch.h"
#include "station/timing.h"

#include <QSignalSpy>
#include <QTest>

namespace rvktest {

inline StationTimings shortTimings()
{
    StationTimings timings;
    timings.supervisionMs = 50;
    timings.answerTimeoutMs = 100;
    timings.readoutStallMs = 50;
    timings.logNamingWaitMs = 50;
    timings.wipeArmingMs = 40;
    timings.connectWaitMs = 150;
    return timings;
}

// From here on every station and window built in this process waits that
// little.
inline void useShortTimings()
{
    StationTimings::setCurrent(shortTimings());
}

// A watch's silence can only be shown by waiting past its limit: this
// returns once a watch started now has given up (false if it never did), so
// that a station's watch started earlier has had its say.
inline bool waitPastAnswerLimit()
{
    AnswerWatch reference;
    QSignalSpy silent(&reference, &AnswerWatch::reportSilent);
    reference.reportRequested();
    if (!silent.wait(reference.timeoutMs() + 5000))
        return false;
    // Qt fires a coarse timer up to a twentieth of its interval early or
    // late, so one started a moment before this may come just after it.
    QTest::qWait(reference.timeoutMs() / 10 + 1);
    return true;
}

} // namespace rvktest
