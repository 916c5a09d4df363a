#include "station/timing.h"

namespace {
StationTimings &timings()
{
    static StationTimings values;
    return values;
}
} // namespace

const StationTimings &StationTimings::current()
{
    return timings();
}

void StationTimings::setCurrent(const StationTimings &values)
{
    timings() = values;
}
