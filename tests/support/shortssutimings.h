#pragma once

// The SSU's waits shortened for one test, and the program's put back after
// it. The rules under test (a silent server given up, a report archived) are
// measured against these values, not against the program's seconds.
// Header-only: every test executable that includes it links the SSU driver.

#include "ssu/driver/ssutimings.h"

namespace rvktest {

class ShortSsuTimings
{
public:
    ShortSsuTimings()
        : saved(SsuTimings::current())
    {
        SsuTimings timings;
        timings.connectMs = 1500;
        timings.statementMs = 3000;
        timings.passwordDownloadMs = 2000;
        SsuTimings::setCurrent(timings);
    }
    ~ShortSsuTimings() { SsuTimings::setCurrent(saved); }
    ShortSsuTimings(const ShortSsuTimings &) = delete;
    ShortSsuTimings &operator=(const ShortSsuTimings &) = delete;

private:
    SsuTimings saved;
};

} // namespace rvktest
