#include "TestPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
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

bool hasImageLibrary()
{
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

struct MixRecording::Impl {
    const std::filesystem::path file = ::testing::TempDir() + "tindral_sound_" + std::to_string(processId()) + ".raw";
};

MixRecording::MixRecording() : impl_(std::make_unique<Impl>())
{}

MixRecording::~MixRecording()
{
    std::error_code ignored;
    std::filesystem::remove(impl_->file, ignored);
}

std::string MixRecording::target() const
{
    return impl_->file.string();
}

std::uintmax_t MixRecording::size() const
{
    std::error_code missing;
    const std::uintmax_t size = std::filesystem::file_size(impl_->file, missing);
    return missing ? 0 : size;
}

std::string MixRecording::bytes(std::uintmax_t from, std::uintmax_t to) const
{
    std::ifstream in(impl_->file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    std::string bytes(to - from, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
}

} // namespace test_platform
