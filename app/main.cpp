#include "app/Console.h"
#include "app/MainLoop.h"
#include "app/Platform.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/Window.h"

#include <iostream>

int main()
{
    platform::keepPlayingWhenTheConsoleCloses();
    if (!loadSettings()) {
        std::cout << "Can't load 'settings.conf'\n" << std::endl;
        platform::pauseConsole();
        return -1;
    }

    const Settings& config = settings();
    const Started started = startUp({config.width, config.height, config.framerate, config.fullscreen, true});
    if (!started.window)
        failStartup(started.failure);

    MainLoop loop(*started.window);
    loop.run();
    return 0;
}
