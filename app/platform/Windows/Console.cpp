#include "app/Platform.h"

#include <cstdlib>
#include <io.h>
#include <stdio.h>

namespace platform {

bool consoleIsInteractive()
{
    // A console's input is a character device; a pipe or a redirected file is not.
    return _isatty(_fileno(stdin)) != 0;
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
