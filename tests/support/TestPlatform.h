#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

// What the tests ask of the system they run on where Linux and Windows answer differently; one
// source file for each system under tests/support/platform/<system>/.
namespace test_platform {

// Whether the system has FIFOs, files that block their reader until a writer comes (Windows
// has none: its pipes live outside the file system, so there a FIFO case is the missing-file
// case it stands beside).
bool hasFifos();
// Makes a FIFO at the path; false when it cannot.
bool makeFifo(const std::filesystem::path& path);
// Opens the FIFO's writing end without waiting and closes it again: that succeeds only while
// a reader has it open or is waiting for it. True when it did.
bool offerFifoWriter(const std::filesystem::path& path);

// Whether the build reads images in formats other than JPEG (through DevIL on Linux); without
// one, every such file is refused as a format that is not supported.
bool hasImageLibrary();

int processId();
void setEnvironment(const std::string& name, const std::string& value);
// The most memory the process has held at once, in kilobytes.
long peakResidentKilobytes();

// What SDL's disk audio driver writes, readable while it writes: the driver's output, named by
// target() for SDL_DISKAUDIOFILE, as it grows. On Linux that is a file. Windows lets nobody
// read a file SDL has open for writing, so there it is a pipe the recording reads as it comes.
class MixRecording {
public:
    MixRecording();
    ~MixRecording();
    MixRecording(const MixRecording&) = delete;
    MixRecording& operator=(const MixRecording&) = delete;

    std::string target() const;
    std::uintmax_t size() const;
    // The bytes from..to of what was written; fewer where less was written.
    std::string bytes(std::uintmax_t from, std::uintmax_t to) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace test_platform
