#include "app/Settings.h"

#include "game/GameTime.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
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

// Reads a number as atoi does: white space skipped, a sign, the digits up to the first other
// character, 0 without digits. Nothing when the number lies beyond an int, where atoi's result
// is undefined (glibc wraps it: 4294967295 would read as -1, a standstill nobody asked for).
std::optional<int> parseInt(const std::string& value)
{
    // Beyond a long long, strtoll gives the nearest one, which is beyond an int too.
    const long long number = std::strtoll(value.c_str(), nullptr, 10);
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(number);
}

// A value as a refusal line quotes it: a file of one huge line must not make a huge line.
std::string quoted(const std::string& value)
{
    constexpr std::size_t longest = 40;
    return value.size() <= longest ? value : value.substr(0, longest) + "...";
}

int checkedInt(const std::string& key, const std::string& value, int fallback, std::ostream& messages)
{
    if (const std::optional<int> number = parseInt(value))
        return *number;
    messages << "settings.conf: " << key << "=" << quoted(value) << " is out of range ("
             << std::numeric_limits<int>::min() << " to " << std::numeric_limits<int>::max() << "); using " << fallback
             << std::endl;
    return fallback;
}

// A speed below a standstill would run the game backwards: the flame would flee forever and
// the far meter sink below zero, so the hero could never die.
int checkedDifficulty(const std::string& value, std::ostream& messages)
{
    const int fallback = Settings{}.difficulty;
    const int difficulty = checkedInt("difficulty", value, fallback, messages);
    if (speedFactor(difficulty) >= 0.0)
        return difficulty;
    messages << "settings.conf: difficulty=" << quoted(value) << " would run the game backwards; using " << fallback
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

    const Settings defaults;
    if (key == "height")
        s.height = checkedInt(key, value, defaults.height, messages);
    else if (key == "width")
        s.width = checkedInt(key, value, defaults.width, messages);
    else if (key == "fullscreen")
        s.fullscreen = parseBool(value);
    else if (key == "framerate")
        s.framerate = checkedInt(key, value, defaults.framerate, messages);
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
