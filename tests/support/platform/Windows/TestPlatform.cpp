#include "TestPlatform.h"

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdlib>

namespace test_platform {

bool hasFifos()
{
    return false;
}

bool makeFifo(const std::filesystem::path&)
{
    return false;
}

bool offerFifoWriter(const std::filesystem::path&)
{
    return false;
}

int processId()
{
    return static_cast<int>(GetCurrentProcessId());
}

void setEnvironment(const std::string& name, const std::string& value)
{
    _putenv_s(name.c_str(), value.c_str());
}

long peakResidentKilobytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
}

} // namespace test_platform
