#include "app/Settings.h"

#include "game/GameTime.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

Settings& settings()
{
    static Settings instance;
    return instance;
}

namespace {

bool parseBool(const std::string& value)
{
    return value == "true";
}

int parseInt(const std::string& value)
{
    return std::atoi(value.c_str());
}

// A speed below a standstill would run the game backwards: the flame would flee forever and
// the far meter sink below zero, so the hero could never die.
int checkedDifficulty(const std::string& value, std::ostream& messages)
{
    const int difficulty = parseInt(value);
    if (speedFactor(difficulty) >= 0.0)
        return difficulty;
    const int fallback = Settings{}.difficulty;
    messages << "settings.conf: difficulty=" << value << " would run the game backwards; using " << fallback
             << std::endl;
    return fallback;
}

// Keys are matched exactly: case, spaces and tabs all count.
void applyLine(Settings& s, const std::string& line, std::ostream& messages)
{
    const auto equals = line.find('=');
    if (equals == std::string::npos)
        return;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);

    if (key == "height")
        s.height = parseInt(value);
    else if (key == "width")
        s.width = parseInt(value);
    else if (key == "fullscreen")
        s.fullscreen = parseBool(value);
    else if (key == "framerate")
        s.framerate = parseInt(value);
    else if (key == "music")
        s.music = parseBool(value);
    else if (key == "soundfx")
        s.soundfx = parseBool(value);
    else if (key == "debugMode")
        s.debugMode = parseBool(value);
    else if (key == "difficulty")
        s.difficulty = checkedDifficulty(value, messages);
}

} // namespace

Settings parseSettings(const std::string& text, Settings base, std::ostream& messages)
{
    // Some editors begin a UTF-8 file with a byte-order mark; it would hide the first key.
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    const bool marked = text.compare(0, byteOrderMark.size(), byteOrderMark) == 0;
    std::istringstream lines(marked ? text.substr(byteOrderMark.size()) : text);
    std::string line;
    while (std::getline(lines, line)) {
        // A file saved on Windows must read like the same file saved here.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        applyLine(base, line, messages);
    }
    return base;
}

bool loadSettings()
{
    // A FIFO would block the start until something writes to it, and a folder opens like a
    // file: neither is a settings file.
    std::error_code error;
    if (!std::filesystem::is_regular_file("settings.conf", error))
        return false;
    std::ifstream file("settings.conf", std::ios::binary);
    if (!file.is_open())
        return false;
    std::string text;
    // A read that fails (a failing disk) throws from the stream's buffer.
    try {
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        return false;
    }
    settings() = parseSettings(text, settings());
    return true;
}
