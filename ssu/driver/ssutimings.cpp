#include "ssu/driver/ssutimings.h"

#include <QMutex>

namespace {
// Read from the database threads as they open their connections.
QMutex guard;
SsuTimings &stored()
{
    static SsuTimings timings;
    return timings;
}
} // namespace

SsuTimings SsuTimings::current()
{
    QMutexLocker lock(&guard);
    return stored();
}

void SsuTimings::setCurrent(const SsuTimings &timings)
{
    QMutexLocker lock(&guard);
    stored() = timings;
}
