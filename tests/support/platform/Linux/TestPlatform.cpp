#include "TestPlatform.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace test_platform {

bool hasFifos()
{
    return true;
}

bool makeFifo(const std::filesystem::path& path)
{
    return mkfifo(path.c_str(), 0600) == 0;
}

bool offerFifoWriter(const std::filesystem::path& path)
{
    const int end = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (end < 0)
        return false;
    close(end);
    return true;
}

int processId()
{
    return static_cast<int>(getpid());
}

void setEnvironment(const std::string& name, const std::string& value)
{
    setenv(name.c_str(), value.c_str(), 1);
}

long peakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace test_platform
