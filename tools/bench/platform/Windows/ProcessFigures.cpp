#include "tools/bench/ProcessFigures.h"

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

namespace {

// FILETIMEs count 100-nanosecond steps.
double seconds(const FILETIME& time)
{
    ULARGE_INTEGER steps;
    steps.LowPart = time.dwLowDateTime;
    steps.HighPart = time.dwHighDateTime;
    return static_cast<double>(steps.QuadPart) * 1e-7;
}

} // namespace

double secondsSinceProcessStart()
{
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1.0;
    GetSystemTimeAsFileTime(&now);
    return seconds(now) - seconds(created);
}

double processorSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0.0;
    return seconds(kernel) + seconds(user);
}

double peakResidentMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0.0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}
