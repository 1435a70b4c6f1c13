#include "TestPlatform.h"

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <random>

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

bool hasImageLibrary()
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

// A pipe SDL opens as its output file; a thread of the recording reads it as it comes.
struct MixRecording::Impl {
    const std::string name =
        "\\\\.\\pipe\\tindral-sound-" + std::to_string(processId()) + "-" + std::to_string(std::random_device{}());
    HANDLE pipe =
        CreateNamedPipeA(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 1 << 20, 0, nullptr);
    HANDLE reader = nullptr;
    mutable std::mutex lock;
    std::string written;

    static DWORD WINAPI read(void* self) { return static_cast<Impl*>(self)->readUntilClosed(); }
    DWORD readUntilClosed()
    {
        if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)
            return 1;
        char buffer[1 << 16];
        DWORD got = 0;
        while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            const std::lock_guard<std::mutex> hold(lock);
            written.append(buffer, got);
        }
        return 0;
    }
};

MixRecording::MixRecording() : impl_(std::make_unique<Impl>())
{
    if (impl_->pipe != INVALID_HANDLE_VALUE)
        impl_->reader = CreateThread(nullptr, 0, Impl::read, impl_.get(), 0, nullptr);
}

MixRecording::~MixRecording()
{
    if (impl_->reader != nullptr) {
        // The sound device may still be writing, or may never have opened the pipe.
        CancelSynchronousIo(impl_->reader);
        DisconnectNamedPipe(impl_->pipe);
        HANDLE unblock = CreateFileA(impl_->name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (unblock != INVALID_HANDLE_VALUE)
            CloseHandle(unblock);
        WaitForSingleObject(impl_->reader, INFINITE);
        CloseHandle(impl_->reader);
    }
    if (impl_->pipe != INVALID_HANDLE_VALUE)
        CloseHandle(impl_->pipe);
}

std::string MixRecording::target() const
{
    return impl_->name;
}

std::uintmax_t MixRecording::size() const
{
    const std::lock_guard<std::mutex> hold(impl_->lock);
    return impl_->written.size();
}

std::string MixRecording::bytes(std::uintmax_t from, std::uintmax_t to) const
{
    const std::lock_guard<std::mutex> hold(impl_->lock);
    const std::uintmax_t end = std::min<std::uintmax_t>(to, impl_->written.size());
    return from >= end ? std::string() : impl_->written.substr(from, end - from);
}

} // namespace test_platform
