#pragma once
#include <iostream>
#include <string>

// The eight values of settings.conf. Filled once at start-up, read-only afterwards.
struct Settings {
    int width = 800;
    int height = 600;
    bool fullscreen = false;
    int framerate = 60;
    bool music = true;
    bool soundfx = true;
    bool debugMode = false;
    int difficulty = 2;
};

// The process-wide settings record.
Settings& settings();

// Applies every key=value line of a settings file's text on top of `base`. A value the game
// cannot run with is refused with a line on `messages`, and the key keeps its default.
Settings parseSettings(const std::string& text, Settings base = Settings{}, std::ostream& messages = std::cout);

// Reads "settings.conf" from the working directory into settings().
// False only when the file cannot be opened; its content never makes it fail.
bool loadSettings();
