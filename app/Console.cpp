#include "app/Console.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

void pauseConsole()
{
    if (!isatty(STDIN_FILENO))
        return;
    std::cout << "Press Enter to continue . . ." << std::endl;
    std::string ignored;
    std::getline(std::cin, ignored);
}

void failStartup(const std::string& message)
{
    std::cout << message << std::endl;
    pauseConsole();
    std::exit(-1);
}
