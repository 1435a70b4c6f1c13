#pragma once
#include "game/Gamepad.h"

#include <array>
#include <iostream>
#include <optional>
#include <string>

struct GLFWgamepadstate;
struct InputState;

// The player's own gamepad mappings, in the community's gamecontrollerdb.txt format, read
// from the game's folder (the player's folder when started by the launcher).
constexpr const char* gamepadMappingsFile = "gamecontrollerdb.txt";

enum class MappingsRead { Missing, Read, Refused };

// Hands the mappings in the file at `path` to GLFW, which must be initialised, beside its
// built-in ones. A missing file (or a folder or FIFO in its place) is no news; otherwise one
// console line says whether it was read or refused. Refused means GLFW reported a line it
// cannot read, or the file holds no mapping line at all; either way the built-in mappings stay.
MappingsRead loadGamepadMappings(const std::string& path, std::ostream& console = std::cout);

// Our own picture of a pad from GLFW's: both number buttons and axes the same way.
PadState padStateOf(const GLFWgamepadstate& state);

// The gamepads GLFW knows, coming and going while the game runs, each announced on the
// console. The pad in use (the first connected, or whichever was used last) drives the input
// the keys drive. One at a time: GLFW's joystick callback has no user pointer.
class GamepadDevice {
public:
    // Starts listening for pads; those connected already are announced at once.
    explicit GamepadDevice(InputState& input, std::ostream& console = std::cout);
    ~GamepadDevice();
    GamepadDevice(const GamepadDevice&) = delete;
    GamepadDevice& operator=(const GamepadDevice&) = delete;

    // Once per frame, before the game's update, at `now` seconds of the window system's clock.
    void poll(double now);

private:
    static void onJoystick(int id, int event);
    void connect(int id);
    void disconnect(int id);

    static inline GamepadDevice* listening_ = nullptr;
    InputState& input_;
    std::ostream& console_;
    Gamepads pads_;
    // The names of the pads announced, by joystick id: GLFW forgets a pad before it reports
    // it gone, so the name for its last line is kept here.
    std::array<std::optional<std::string>, 16> names_;
    std::optional<double> lastPoll_;
};
