#include "app/Platform.h"

#include <windows.h>

#include <cstdlib>

namespace platform {

bool consoleIsInteractive()
{
    // Only a console has a console mode. The C library's isatty would also call the NUL device
    // (input from nowhere) and a serial port interactive: both are character devices.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

void pauseConsole()
{
    if (consoleIsInteractive())
        std::system("PAUSE");
}

// A write to a closed pipe fails with an error on Windows and raises no signal.
void keepPlayingWhenTheConsoleCloses()
{}

// The Windows heap gives large blocks back to the system on its own when they are freed.
void returnLargeBlocksWhenFreed()
{}

void releaseFreedMemory()
{}

} // namespace platform
