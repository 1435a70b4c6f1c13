#include "TestSupport.h"

#include "game/Gamepad.h"
#include "scene/Flame.h"

#include <tuple>

namespace glm {
inline void PrintTo(const vec3& v, std::ostream* out)
{
    *out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}
} // namespace glm

namespace {

using namespace PadButton;
using namespace PadAxis;

// What a pad's input amounts to, all of it, so that a button with a second, stray effect shows.
struct Effect {
    std::vector<int> keys;
    std::string held{}; // of "LRFB": left, right, forward, back
    glm::vec3 camera{0.0f}, flame{0.0f};

    bool operator==(const Effect& o) const
    {
        return std::tie(keys, held, camera, flame) == std::tie(o.keys, o.held, o.camera, o.flame);
    }
};

std::ostream& operator<<(std::ostream& out, const Effect& e)
{
    return out << testing::PrintToString(std::make_tuple(e.keys, e.held, e.camera, e.flame));
}

Effect effectOf(const InputState& in)
{
    const std::string held = std::string(in.pad.left ? "L" : "") + (in.pad.right ? "R" : "") +
                             (in.pad.forward ? "F" : "") + (in.pad.back ? "B" : "");
    return {in.keys, held, in.pad.cameraVelocity, in.pad.flameSteer};
}

PadState pad(std::initializer_list<int> buttons, std::initializer_list<std::pair<int, float>> axes = {})
{
    PadState state;
    for (int b : buttons)
        state.buttons[b] = true;
    for (const auto& [a, value] : axes)
        state.axes[a] = value;
    return state;
}

const glm::vec3 none(0.0f), left(-1.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f), away(0.0f, 0.0f, -1.0f);

} // namespace

TEST(Gamepad, StickPointsToTheNearestOfEightDirectionsOutsideARoundDeadZone)
{
    const std::tuple<float, float, glm::ivec2> cases[] = {
        {0.24f, 0.0f, {0, 0}},  {0.17f, -0.17f, {0, 0}},  {0.25f, 0.0f, {1, 0}},  {0.0f, -0.3f, {0, -1}},
        {0.2f, 0.2f, {1, 1}},   {-0.7f, -0.7f, {-1, -1}}, {0.9f, -0.34f, {1, 0}}, {0.9f, -0.4f, {1, -1}},
        {-0.36f, 0.9f, {0, 1}}, {-0.4f, 0.9f, {-1, 1}},
    };
    for (const auto& [x, y, direction] : cases)
        EXPECT_EQ(stickDirection(x, y), direction) << "stick at (" << x << ", " << y << ")";
}

TEST(Gamepad, EveryButtonAndAxisHasItsActionAndNoOther)
{
    const std::pair<PadState, Effect> cases[] = {
        {pad({South}), {{Key::Space}}},
        {pad({West}), {{Key::Enter}}},
        {pad({North}), {{Key::Enter}}},
        {pad({Start}), {{Key::Tab}}},
        {pad({East, Back, Guide, LeftThumb, RightThumb}), {}}, // Back only when held: see the quit guard
        {pad({LeftBumper}), {{}, "", -up}},
        {pad({RightBumper}), {{}, "", up}},
        {pad({DpadUp, DpadLeft}), {{}, "LF", away + left}},
        {pad({DpadDown, DpadRight}), {{}, "RB", -away - left}},
        {pad({}, {{LeftX, -1.0f}, {LeftY, -1.0f}}), {{}, "LF", away + left}},
        {pad({}, {{LeftX, 1.0f}, {LeftY, 1.0f}}), {{}, "RB", -away - left}},
        {pad({DpadLeft}, {{LeftX, 0.8f}}), {{}, "LR", none}}, // opposite ones cancel, as A and D do
        {pad({}, {{RightX, -1.0f}, {RightY, 1.0f}}), {{}, "", none, left - away}},
        {pad({}, {{LeftTrigger, 1.0f}}), {{}, "", none, -up}},
        {pad({}, {{RightTrigger, 0.1f}}), {{}, "", none, up}},
        {pad({}, {{LeftTrigger, 0.0f}}), {}}, // pulled means more than half way
    };
    for (const auto& c : cases) {
        InputState input;
        GamepadInput().feed(c.first, 0.0, input);
        EXPECT_EQ(effectOf(input), c.second) << "case " << &c - cases;
    }
}

TEST(Gamepad, APressStrikesOnceBesideTheKeysAndAHeldButtonDoesNotRepeat)
{
    InputState input;
    GamepadInput gamepad;
    recordKey(input, debugSwitches(), Key::A, KeyAction::Press);
    // West and North are one action: the second pressed while the first is held adds nothing.
    for (const PadState& look : {pad({South, West, Start}), pad({South, West, North, Start}),
                                 pad({South, North, Start}), PadState{}, pad({South, North, Start})})
        gamepad.feed(look, 0.125, input);
    EXPECT_EQ(input.keys,
              (std::vector<int>{Key::A, Key::Space, Key::Enter, Key::Tab, Key::Space, Key::Enter, Key::Tab}));
}

TEST(Gamepad, QuitOnlyWhenBackIsHeldForASecondOfRealTime)
{
    InputState input;
    GamepadInput gamepad;
    const auto hold = [&](const PadState& look, int looks, double seconds = 0.125) {
        for (int i = 0; i < looks; ++i)
            gamepad.feed(look, seconds, input);
        return std::count(input.keys.begin(), input.keys.end(), Key::Escape);
    };
    hold(pad({Back}), 6);
    hold(PadState{}, 1);
    EXPECT_EQ(hold(pad({Back}), 8), 0) << "short presses do not add up; the first look starts the count";
    EXPECT_EQ(hold(pad({Back}), 1), 1) << "one second";
    EXPECT_EQ(hold(pad({Back}), 30), 1) << "held on, it quits once";
    hold(PadState{}, 1);
    EXPECT_EQ(hold(pad({Back}), 9), 2) << "a second hold quits again";
    hold(PadState{}, 1);
    // A press seen just before and after a stall was not held the whole time for sure.
    EXPECT_EQ(hold(pad({Back}), 4, 5.0), 2) << "a stall counts a quarter second at most";
    EXPECT_EQ(hold(pad({Back}), 1, 5.0), 3);
}

TEST(Gamepad, APadPulledOutLetsGoOfWhatItHeldAndTheKeysStay)
{
    InputState input;
    Gamepads pads;
    const auto play = [&](const PadState& look, int frames) {
        pads.see(0, look, input);
        for (int i = 0; i < frames; ++i)
            pads.play(0.125, input);
        return std::count(input.keys.begin(), input.keys.end(), Key::Escape);
    };
    pads.connect(0);
    recordKey(input, debugSwitches(), Key::D, KeyAction::Press);
    recordKey(input, debugSwitches(), Key::H, KeyAction::Press);
    input.keys.clear();
    EXPECT_EQ(play(pad({RightBumper, Back}, {{LeftX, -1.0f}, {LeftY, -1.0f}, {RightX, 1.0f}, {RightTrigger, 1.0f}}), 9),
              1);
    input.keys.clear();
    ASSERT_EQ(effectOf(input), (Effect{{}, "LF", glm::vec3(-1.0f, 1.0f, -1.0f), glm::vec3(1.0f, 1.0f, 0.0f)}));

    pads.disconnect(0, input);
    EXPECT_EQ(effectOf(input), Effect{}) << "nothing of the pad is held any more";
    EXPECT_TRUE(input.held.right) << "the keys are the keyboard's";
    EXPECT_EQ(input.held.cameraVelocity, -left);
    EXPECT_EQ(pads.inUse(), -1);

    // Plugged in again with Back held, the count starts afresh and quits once more.
    pads.connect(0);
    EXPECT_EQ(play(pad({Back}), 8), 0);
    EXPECT_EQ(play(pad({Back}), 1), 1);
}

TEST(Gamepad, TheFirstConnectedPlaysUntilAnotherIsUsed)
{
    InputState input;
    Gamepads pads;
    pads.connect(3);
    pads.connect(1);
    EXPECT_EQ(pads.inUse(), 3) << "the first connected, not the lowest number";
    const PadState running = pad({South}, {{LeftX, 1.0f}});
    pads.see(3, running, input);
    pads.play(0.1, input);
    input.keys.clear();

    // Pad 1's South takes over while pad 3 still holds its own, and the press that took over
    // jumps. Pad 3 held on is no new use; pushed anew, it takes back over.
    pads.see(1, pad({South}), input);
    pads.play(0.1, input);
    EXPECT_EQ(pads.inUse(), 1);
    EXPECT_EQ(effectOf(input), Effect{{Key::Space}});
    pads.see(3, running, input);
    EXPECT_EQ(pads.inUse(), 1);
    pads.see(3, PadState{}, input);
    pads.see(3, pad({}, {{LeftY, 1.0f}}), input);
    pads.see(1, pad({South}), input);
    pads.play(0.1, input);
    EXPECT_EQ(pads.inUse(), 3) << "pad 1 lying with South down does not take over again";

    pads.connect(5);
    pads.connect(6);
    pads.disconnect(5, input);
    EXPECT_TRUE(input.pad.back) << "a pad not in use goes without a change";
    pads.disconnect(3, input);
    EXPECT_EQ(pads.inUse(), 1) << "the pad in use pulled out, the earliest connected of the rest plays";

    // Every kind of use counts, and only a change from rest.
    const PadState pulled = pad({}, {{LeftTrigger, 0.5f}});
    EXPECT_TRUE(newlyUsed(PadState{}, pulled));
    EXPECT_FALSE(newlyUsed(pulled, pulled));
    EXPECT_TRUE(newlyUsed(PadState{}, pad({}, {{RightTrigger, 0.5f}})));
    EXPECT_TRUE(newlyUsed(PadState{}, pad({}, {{RightY, -0.5f}})));
}

class PadGame : public GameTest {};

// A game on a flat level with one pad connected, driven as the frame loop drives it: the pad is
// looked at before each update.
TEST_F(PadGame, RunsBesideTheKeysAndWhilePausedFliesTheCameraAndSteersTheFlame)
{
    buildLevel("1x1x1x1x1x\n1x1x1x1x1x\n1x1S1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n"
               "1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n");
    settle();
    Gamepads pads;
    pads.connect(0);
    const auto padFrames = [&](const PadState& look, int count) {
        for (int i = 0; i < count && !game->finished(); ++i) {
            pads.see(0, look, inputState());
            pads.play(1.0 / 60.0, inputState());
            game->update(gameStep);
        }
    };
    // How far one frame runs the hero, in steps of a frame's run.
    const auto ran = [&](const PadState& look) {
        const glm::vec3 before = game->hero().position;
        padFrames(look, 1);
        return (game->hero().position - before) / (2.5f * 0.75f * static_cast<float>(gameStep));
    };
    const PadState forward = pad({}, {{LeftY, -1.0f}});
    pressKey(Key::W);
    padFrames(forward, 1);
    releaseKey(Key::W);
    EXPECT_NEAR(glm::distance(ran(forward), away), 0.0f, 1e-3f) << "W let go, the stick still runs forward";
    pressKey(Key::W);
    EXPECT_NEAR(glm::distance(ran(PadState{}), away), 0.0f, 1e-3f) << "the stick let go, W still runs forward";
    releaseKey(Key::W);
    EXPECT_NEAR(glm::distance(ran(pad({}, {{LeftX, 0.7f}, {LeftY, -0.7f}})), away - left), 0.0f, 1e-3f)
        << "a diagonal runs like W and D together";
    pressKey(Key::A);
    EXPECT_NEAR(glm::length(ran(pad({}, {{LeftX, 1.0f}}))), 0.0f, 1e-3f) << "A against the stick cancels it";
    releaseKey(Key::A);

    padFrames(pad({Start}), 1);
    ASSERT_TRUE(game->paused());
    // Where 40 frames take the camera and the flame, in units of the way a key takes them.
    const auto flown = [&](const PadState& look) {
        const glm::vec3 eye = game->camera().savedEye, light = game->flame().lightPosition;
        padFrames(look, 40);
        const float travel = 40.0f * static_cast<float>(gameStep);
        return std::pair(glm::round((game->camera().savedEye - eye) / travel),
                         glm::round((game->flame().lightPosition - light) / travel));
    };
    // Start held on does not resume.
    EXPECT_EQ(flown(pad({Start, RightBumper}, {{LeftX, 0.7f}, {LeftY, -0.7f}, {RightX, -1.0f}, {RightTrigger, 1.0f}})),
              std::pair(glm::vec3(1.0f, 1.0f, -1.0f), glm::vec3(-1.0f, 1.0f, 0.0f)));
    EXPECT_TRUE(game->paused());

    // The other ways; a key against the stick cancels it, a key with it adds nothing.
    pressKey(Key::H);
    pressKey(Key::O);
    EXPECT_EQ(flown(pad({LeftBumper}, {{LeftX, -1.0f}, {RightY, 1.0f}, {LeftTrigger, 1.0f}})),
              std::pair(glm::vec3(0.0f, -1.0f, 0.0f), glm::vec3(0.0f, -1.0f, 1.0f)));
    releaseKey(Key::H);
    releaseKey(Key::O);
    EXPECT_EQ(flown(PadState{}), std::pair(glm::vec3(0.0f), glm::vec3(0.0f))) << "keys let go stop both";

    padFrames(PadState{}, 1);
    padFrames(pad({Start}), 1);
    EXPECT_FALSE(game->paused()) << "Start pressed again resumes";
    padFrames(pad({Back}), 62);
    EXPECT_TRUE(game->finished()) << "Back held for a second quits";
}
