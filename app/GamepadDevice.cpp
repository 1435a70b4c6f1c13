#include "app/GamepadDevice.h"

#include "game/InputState.h"

#include <GLFW/glfw3.h>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

// Our layout numbers are GLFW's, so a pad's state is copied index by index.
static_assert(PadButton::South == GLFW_GAMEPAD_BUTTON_A && PadButton::East == GLFW_GAMEPAD_BUTTON_B &&
              PadButton::West == GLFW_GAMEPAD_BUTTON_X && PadButton::North == GLFW_GAMEPAD_BUTTON_Y);
static_assert(PadButton::LeftBumper == GLFW_GAMEPAD_BUTTON_LEFT_BUMPER &&
              PadButton::RightBumper == GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER);
static_assert(PadButton::Back == GLFW_GAMEPAD_BUTTON_BACK && PadButton::Start == GLFW_GAMEPAD_BUTTON_START &&
              PadButton::Guide == GLFW_GAMEPAD_BUTTON_GUIDE);
static_assert(PadButton::LeftThumb == GLFW_GAMEPAD_BUTTON_LEFT_THUMB &&
              PadButton::RightThumb == GLFW_GAMEPAD_BUTTON_RIGHT_THUMB);
static_assert(PadButton::DpadUp == GLFW_GAMEPAD_BUTTON_DPAD_UP &&
              PadButton::DpadRight == GLFW_GAMEPAD_BUTTON_DPAD_RIGHT);
static_assert(PadButton::DpadDown == GLFW_GAMEPAD_BUTTON_DPAD_DOWN &&
              PadButton::DpadLeft == GLFW_GAMEPAD_BUTTON_DPAD_LEFT);
static_assert(PadButton::Count == GLFW_GAMEPAD_BUTTON_LAST + 1);
static_assert(PadAxis::LeftX == GLFW_GAMEPAD_AXIS_LEFT_X && PadAxis::LeftY == GLFW_GAMEPAD_AXIS_LEFT_Y &&
              PadAxis::RightX == GLFW_GAMEPAD_AXIS_RIGHT_X && PadAxis::RightY == GLFW_GAMEPAD_AXIS_RIGHT_Y);
static_assert(PadAxis::LeftTrigger == GLFW_GAMEPAD_AXIS_LEFT_TRIGGER &&
              PadAxis::RightTrigger == GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER);
static_assert(PadAxis::Count == GLFW_GAMEPAD_AXIS_LAST + 1);

namespace {

// The community's file is well under a megabyte; anything far larger is not one.
constexpr std::uintmax_t largestMappingsFile = 16u << 20;

int glfwErrorsSeen = 0;

void countGlfwError(int, const char*)
{
    ++glfwErrorsSeen;
}

std::optional<std::string> readMappings(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return std::nullopt;
    try {
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        return std::nullopt;
    }
}

// GLFW tries every line that begins with a hex digit (a pad's GUID) as a mapping, and skips
// every other line, and any line too long for its buffer, without a word. A tried line is
// either taken or reported.
bool holdsMappingLine(const std::string& text)
{
    constexpr std::size_t longestLineGlfwTries = 1023;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.size() <= longestLineGlfwTries && std::isxdigit(static_cast<unsigned char>(line[0])))
            return true;
    }
    return false;
}

// GLFW reports a line it cannot read as an error, one per line, through the error callback;
// they are counted here instead, for one line of our own.
bool glfwTakes(const std::string& text)
{
    glfwErrorsSeen = 0;
    const GLFWerrorfun previous = glfwSetErrorCallback(countGlfwError);
    const int taken = glfwUpdateGamepadMappings(text.c_str());
    glfwSetErrorCallback(previous);
    return taken == GLFW_TRUE && glfwErrorsSeen == 0;
}

} // namespace

MappingsRead loadGamepadMappings(const std::string& path, std::ostream& console)
{
    // A FIFO would block the start until something writes to it, and a folder opens like an
    // empty file: neither is a mappings file.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return MappingsRead::Missing;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    std::optional<std::string> text;
    if (!error && size <= largestMappingsFile)
        text = readMappings(path);
    // Some editors begin a UTF-8 file with a byte-order mark; it would hide the first mapping.
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    if (text && text->compare(0, byteOrderMark.size(), byteOrderMark) == 0)
        text->erase(0, byteOrderMark.size());
    // GLFW takes a C string: a NUL would cut the file off without a word.
    const bool usable = text && text->find('\0') == std::string::npos && holdsMappingLine(*text);
    if (!usable || !glfwTakes(*text)) {
        console << "Gamepad mappings in '" << path << "' refused; the built-in ones are used" << std::endl;
        return MappingsRead::Refused;
    }
    console << "Gamepad mappings read from '" << path << "'" << std::endl;
    return MappingsRead::Read;
}

PadState padStateOf(const GLFWgamepadstate& state)
{
    PadState pad;
    for (std::size_t b = 0; b < pad.buttons.size(); ++b)
        pad.buttons[b] = state.buttons[b] == GLFW_PRESS;
    for (std::size_t a = 0; a < pad.axes.size(); ++a)
        pad.axes[a] = state.axes[a];
    return pad;
}

GamepadDevice::GamepadDevice(InputState& input, std::ostream& console) : input_(input), console_(console)
{
    listening_ = this;
    glfwSetJoystickCallback(onJoystick);
    for (int id = GLFW_JOYSTICK_1; id <= GLFW_JOYSTICK_LAST; ++id)
        if (glfwJoystickPresent(id))
            connect(id);
}

GamepadDevice::~GamepadDevice()
{
    glfwSetJoystickCallback(nullptr);
    listening_ = nullptr;
}

void GamepadDevice::onJoystick(int id, int event)
{
    if (!listening_ || id < 0 || id >= static_cast<int>(listening_->names_.size()))
        return;
    if (event == GLFW_CONNECTED)
        listening_->connect(id);
    else if (event == GLFW_DISCONNECTED)
        listening_->disconnect(id);
}

// A joystick GLFW has no mapping for cannot be read as a pad; its GUID is what a line of
// gamecontrollerdb.txt needs to make it one.
void GamepadDevice::connect(int id)
{
    if (!glfwJoystickIsGamepad(id)) {
        const char* name = glfwGetJoystickName(id);
        const char* guid = glfwGetJoystickGUID(id);
        console_ << "No gamepad mapping for joystick: " << (name ? name : "") << " (GUID " << (guid ? guid : "") << ")"
                 << std::endl;
        return;
    }
    const char* name = glfwGetGamepadName(id);
    names_[static_cast<std::size_t>(id)] = name ? name : "";
    console_ << "Gamepad connected: " << *names_[static_cast<std::size_t>(id)] << std::endl;
    pads_.connect(id);
}

void GamepadDevice::disconnect(int id)
{
    std::optional<std::string>& name = names_[static_cast<std::size_t>(id)];
    if (!name)
        return;
    console_ << "Gamepad disconnected: " << *name << std::endl;
    name.reset();
    pads_.disconnect(id, input_);
}

void GamepadDevice::poll(double now)
{
    const double seconds = lastPoll_ ? now - *lastPoll_ : 0.0;
    lastPoll_ = now;
    // GLFW may find a pad gone while it is read and report it at once: the disconnect runs
    // inside glfwGetGamepadState, and the pad is then simply not seen.
    for (int id = 0; id < static_cast<int>(names_.size()); ++id) {
        GLFWgamepadstate state;
        if (names_[static_cast<std::size_t>(id)] && glfwGetGamepadState(id, &state))
            pads_.see(id, padStateOf(state), input_);
    }
    pads_.play(seconds, input_);
}
