#include "app/Console.h"

#include "app/Platform.h"

#include <cstdlib>
#include <iostream>

void failStartup(const std::string& message)
{
    std::cout << message << std::endl;
    platform::pauseConsole();
    std::exit(-1);
}
