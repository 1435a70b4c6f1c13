#include "app/Console.h"

#include "app/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

void failStartup(const std::string& message, const std::string& reason)
{
    std::cout << message << std::endl;
    if (!reason.empty())
        std::cerr << reason << std::endl;
    platform::pauseConsole();
    // The sound device and the models may still be loading on threads of their own. Nothing is
    // left to save, and running the static destructors beside those threads has crashed the
    // Windows build on its way out: the process ends here, its console written out.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(-1);
}
