#pragma once
// What the fuzz targets share: a broken promise reported as a crash, and inputs handed over as
// files for the loaders that read files.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

// libFuzzer reports an abort with the input that caused it.
inline void require(bool promise)
{
    if (!promise)
        std::abort();
}

// The input written to a scratch file of this process with the given extension.
inline std::string inputFile(const std::uint8_t* data, std::size_t size, const std::string& extension)
{
    const char* folder = std::getenv("TMPDIR");
    const std::string path =
        std::string(folder ? folder : "/tmp") + "/tindral-fuzz-" + std::to_string(getpid()) + extension;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}
