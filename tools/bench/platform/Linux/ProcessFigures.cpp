#include "tools/bench/ProcessFigures.h"

#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

// The process's start, in clock ticks after boot, is field 22 of /proc/self/stat; the name
// in field 2 may hold blanks, so fields are counted after its closing parenthesis.
double secondsSinceProcessStart()
{
    std::ifstream statFile("/proc/self/stat");
    std::ifstream uptimeFile("/proc/uptime");
    std::string stat;
    double uptime = 0.0;
    if (!std::getline(statFile, stat) || !(uptimeFile >> uptime))
        return -1.0;
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return -1.0;
    std::istringstream fields(stat.substr(nameEnd + 2));
    std::string field;
    for (int index = 3; index < 22 && fields >> field; ++index) {
    }
    double startTicks = 0.0;
    if (!(fields >> startTicks))
        return -1.0;
    return uptime - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
