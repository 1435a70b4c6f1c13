#pragma once
#include <filesystem>
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

int processId();
void setEnvironment(const std::string& name, const std::string& value);
// The most memory the process has held at once, in kilobytes.
long peakResidentKilobytes();

} // namespace test_platform
