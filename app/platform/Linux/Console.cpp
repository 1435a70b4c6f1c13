#include "app/Platform.h"

#include <csignal>
#include <iostream>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace platform {

bool consoleIsInteractive()
{
    return isatty(STDIN_FILENO) == 1;
}

// A Linux terminal has no "PAUSE" command: the wait for a key is the game's own.
void pauseConsole()
{
    if (!consoleIsInteractive())
        return;
    std::cout << "Press Enter to continue . . ." << std::endl;
    std::string ignored;
    std::getline(std::cin, ignored);
}

void keepPlayingWhenTheConsoleCloses()
{
    // A write to a pipe whose reader has gone raises SIGPIPE, which ends the process by
    // default; ignored, the write fails with EPIPE instead.
    std::signal(SIGPIPE, SIG_IGN);
}

void returnLargeBlocksWhenFreed()
{
    // Left to itself, glibc raises its threshold for handing blocks back after the first
    // large one is freed; a fixed threshold returns each one.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
}

void releaseFreedMemory()
{
    // Each loading thread has its own part of the heap, which keeps what it freed until asked.
    malloc_trim(0);
}

} // namespace platform
