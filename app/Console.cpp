#include "app/Console.h"

#include "app/Platform.h"

#include <cstdlib>
#include <iostream>

void failStartup(const std::string& message, const std::string& reason)
{
    std::cout << message << std::endl;
    if (!reason.empty())
        std::cerr << reason << std::endl;
    platform::pauseConsole();
    std::exit(-1);
}
