#include "TestSupport.h"

#include "game/Gamepad.h"
#include "scene/Flame.h"

namespace {

// What a pad's input amounts to, all of it, so that a button with a second, stray effect shows.
struct Effect {
    std::vector<int> keys;
    bool left = false, right = false, forward = false, back = false;
    glm::vec3 camera{0.0f};
    glm::vec3 flame{0.0f};

    bool operator==(const Effect& o) const
    {
        return keys == o.keys && left == o.left && right == o.right && forward == o.forward && back == o.back &&
               camera == o.camera && flame == o.flame;
    }
};

std::ostream& operator<<(std::ostream& out, const Effect& e)
{
    out << "keys {";
    for (int key : e.keys)
        out << " " << key;
    out << " } held " << e.left << e.right << e.forward << e.back << " camera (" << e.camera.x << ", " << e.camera.y
        << ", " << e.camera.z << ") flame (" << e.flame.x << ", " << e.flame.y << ", " << e.flame.z << ")";
    return out;
}

Effect effectOf(const InputState& in)
{
    return {in.keys,        in.padLeftHeld,       in.padRightHeld, in.padForwardHeld,
            in.padBackHeld, in.padCameraVelocity, in.padFlameSteer};
}

Effect held(bool left, bool right, bool forward, bool back, glm::vec3 camera)
{
    return {{}, left, right, forward, back, camera, glm::vec3(0.0f)};
}

Effect strokes(std::vector<int> keys)
{
    Effect e;
    e.keys = std::move(keys);
    return e;
}

Effect steering(glm::vec3 camera, glm::vec3 flame)
{
    return {{}, false, false, false, false, camera, flame};
}

PadState withButtons(std::initializer_list<int> buttons)
{
    PadState pad;
    for (int b : buttons)
        pad.buttons[static_cast<std::size_t>(b)] = true;
    return pad;
}

PadState withAxis(int axis, float value, PadState pad = PadState{})
{
    pad.axes[static_cast<std::size_t>(axis)] = value;
    return pad;
}

PadState leftStickAt(float x, float y, PadState pad = PadState{})
{
    return withAxis(PadAxis::LeftY, y, withAxis(PadAxis::LeftX, x, pad));
}

// One look at a fresh pad: what a single button or axis does by itself.
Effect firstLook(const PadState& pad)
{
    InputState input;
    GamepadInput gamepad;
    gamepad.feed(pad, 0.0, input);
    return effectOf(input);
}

// How often `key` was struck in a series of looks at a pad, 1/8 s apart.
int strokesOf(int key, const std::vector<PadState>& looks)
{
    InputState input;
    GamepadInput gamepad;
    for (const PadState& look : looks)
        gamepad.feed(look, 0.125, input);
    return static_cast<int>(std::count(input.keys.begin(), input.keys.end(), key));
}

std::vector<PadState> repeated(const PadState& pad, int times)
{
    return std::vector<PadState>(static_cast<std::size_t>(times), pad);
}

std::vector<PadState> operator+(std::vector<PadState> a, const std::vector<PadState>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const glm::vec3 none(0.0f);

} // namespace

TEST(Gamepad, StickPointsToTheNearestOfEightDirectionsOutsideARoundDeadZone)
{
    struct Case {
        float x, y;
        glm::ivec2 direction;
    };
    const Case cases[] = {
        {0.0f, 0.0f, {0, 0}},   {0.24f, 0.0f, {0, 0}},  {0.0f, -0.24f, {0, 0}}, {0.17f, -0.17f, {0, 0}},
        {0.25f, 0.0f, {1, 0}},  {-0.3f, 0.0f, {-1, 0}}, {0.0f, -1.0f, {0, -1}}, {0.0f, 0.6f, {0, 1}},
        {0.2f, 0.2f, {1, 1}},   {0.7f, -0.7f, {1, -1}}, {-0.7f, 0.7f, {-1, 1}}, {-0.7f, -0.7f, {-1, -1}},
        {0.9f, -0.34f, {1, 0}}, {0.9f, -0.4f, {1, -1}}, {-0.36f, 0.9f, {0, 1}}, {-0.4f, 0.9f, {-1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stick at (" << c.x << ", " << c.y << ")");
        EXPECT_EQ(stickDirection(c.x, c.y), c.direction);
    }
}

TEST(Gamepad, EveryButtonAndAxisHasItsActionAndNoOther)
{
    const glm::vec3 up(0.0f, 1.0f, 0.0f), down(0.0f, -1.0f, 0.0f);
    const glm::vec3 left(-1.0f, 0.0f, 0.0f), right(1.0f, 0.0f, 0.0f);
    const glm::vec3 away(0.0f, 0.0f, -1.0f), towards(0.0f, 0.0f, 1.0f);
    const std::pair<int, Effect> buttons[] = {
        {PadButton::South, strokes({Key::Space})},
        {PadButton::East, Effect{}},
        {PadButton::West, strokes({Key::Enter})},
        {PadButton::North, strokes({Key::Enter})},
        {PadButton::LeftBumper, steering(down, none)},
        {PadButton::RightBumper, steering(up, none)},
        {PadButton::Back, Effect{}}, // only when held: see the quit guard
        {PadButton::Start, strokes({Key::Tab})},
        {PadButton::Guide, Effect{}},
        {PadButton::LeftThumb, Effect{}},
        {PadButton::RightThumb, Effect{}},
        {PadButton::DpadUp, held(false, false, true, false, away)},
        {PadButton::DpadRight, held(false, true, false, false, right)},
        {PadButton::DpadDown, held(false, false, false, true, towards)},
        {PadButton::DpadLeft, held(true, false, false, false, left)},
    };
    for (const auto& [button, effect] : buttons) {
        SCOPED_TRACE(testing::Message() << "button " << button);
        EXPECT_EQ(firstLook(withButtons({button})), effect);
    }

    struct AxisCase {
        int axis;
        float value;
        Effect effect;
    };
    const AxisCase axes[] = {
        {PadAxis::LeftX, -1.0f, held(true, false, false, false, left)},
        {PadAxis::LeftX, 1.0f, held(false, true, false, false, right)},
        {PadAxis::LeftY, -1.0f, held(false, false, true, false, away)},
        {PadAxis::LeftY, 1.0f, held(false, false, false, true, towards)},
        {PadAxis::RightX, -1.0f, steering(none, left)},
        {PadAxis::RightX, 1.0f, steering(none, right)},
        {PadAxis::RightY, -1.0f, steering(none, away)},
        {PadAxis::RightY, 1.0f, steering(none, towards)},
        {PadAxis::LeftTrigger, 1.0f, steering(none, down)},
        {PadAxis::RightTrigger, 1.0f, steering(none, up)},
        {PadAxis::LeftTrigger, -0.1f, Effect{}}, // not yet half way
        {PadAxis::RightTrigger, 0.1f, steering(none, up)},
    };
    for (const AxisCase& c : axes) {
        SCOPED_TRACE(testing::Message() << "axis " << c.axis << " at " << c.value);
        EXPECT_EQ(firstLook(withAxis(c.axis, c.value)), c.effect);
    }

    EXPECT_EQ(firstLook(PadState{}), Effect{}) << "a pad at rest does nothing";
    EXPECT_EQ(firstLook(leftStickAt(0.7f, -0.7f)), held(false, true, true, false, right + away)) << "a diagonal";
    EXPECT_EQ(firstLook(withButtons({PadButton::DpadLeft, PadButton::DpadUp})),
              held(true, false, true, false, left + away));
    EXPECT_EQ(firstLook(leftStickAt(-0.1f, 0.2f)), Effect{}) << "inside the dead zone";
    EXPECT_EQ(firstLook(leftStickAt(0.8f, 0.0f, withButtons({PadButton::DpadLeft}))),
              held(true, true, false, false, none))
        << "stick right and D-pad left cancel, as A and D do";
}

TEST(Gamepad, APressStrikesOnceAndAHeldButtonDoesNotRepeat)
{
    const PadState south = withButtons({PadButton::South});
    const PadState rest;
    EXPECT_EQ(strokesOf(Key::Space, repeated(south, 40)), 1);
    EXPECT_EQ(strokesOf(Key::Space, repeated(south, 3) + repeated(rest, 1) + repeated(south, 3)), 2);
    EXPECT_EQ(strokesOf(Key::Tab, repeated(withButtons({PadButton::Start}), 40)), 1);

    // West and North are one action: the second pressed while the first is held adds nothing.
    const PadState west = withButtons({PadButton::West});
    const PadState both = withButtons({PadButton::West, PadButton::North});
    const PadState north = withButtons({PadButton::North});
    EXPECT_EQ(strokesOf(Key::Enter, {west, both, north, north, rest, north}), 2);

    // A stroke goes into the frame's keys beside the keyboard's, in order, and counts once.
    InputState input;
    GamepadInput gamepad;
    recordKey(input, debugSwitches(), Key::A, KeyAction::Press);
    gamepad.feed(withButtons({PadButton::South, PadButton::Start}), 0.0, input);
    EXPECT_EQ(input.keys, (std::vector<int>{Key::A, Key::Space, Key::Tab}));
}

TEST(Gamepad, QuitOnlyWhenBackIsHeldForASecondOfRealTime)
{
    const PadState back = withButtons({PadButton::Back});
    const PadState rest;
    // Looks an eighth of a second apart; the first look that sees Back starts the count.
    EXPECT_EQ(strokesOf(Key::Escape, repeated(back, 8)), 0) << "seven eighths of a second";
    EXPECT_EQ(strokesOf(Key::Escape, repeated(back, 9)), 1) << "one second";
    EXPECT_EQ(strokesOf(Key::Escape, repeated(back, 40)), 1) << "held on, it quits once";
    EXPECT_EQ(strokesOf(Key::Escape, repeated(back, 6) + repeated(rest, 1) + repeated(back, 6)), 0)
        << "two short presses do not add up";
    EXPECT_EQ(strokesOf(Key::Escape, repeated(back, 9) + repeated(rest, 1) + repeated(back, 9)), 2)
        << "a second hold quits again";

    // A stall between two looks counts as a quarter second at most: a press seen just before
    // and just after it was not held the whole time for sure.
    InputState input;
    GamepadInput gamepad;
    gamepad.feed(back, 0.0, input);
    gamepad.feed(back, 5.0, input);
    gamepad.feed(back, 5.0, input);
    gamepad.feed(back, 5.0, input);
    EXPECT_TRUE(input.keys.empty()) << "three stalls count three quarters of a second";
    gamepad.feed(back, 5.0, input);
    EXPECT_EQ(input.keys, (std::vector<int>{Key::Escape}));
}

TEST(Gamepad, APadPulledOutLetsGoOfWhatItHeldAndTheKeysStay)
{
    InputState input;
    Gamepads pads;
    pads.connect(0);
    PadState everything = leftStickAt(-1.0f, -1.0f, withButtons({PadButton::RightBumper, PadButton::Back}));
    everything = withAxis(PadAxis::RightX, 1.0f, withAxis(PadAxis::RightTrigger, 1.0f, everything));
    recordKey(input, debugSwitches(), Key::D, KeyAction::Press);
    recordKey(input, debugSwitches(), Key::H, KeyAction::Press);
    input.keys.clear();
    pads.see(0, everything, input);
    for (int i = 0; i < 7; ++i)
        pads.play(0.125, input);
    ASSERT_EQ(effectOf(input),
              (Effect{{}, true, false, true, false, glm::vec3(-1.0f, 1.0f, -1.0f), glm::vec3(1.0f, 1.0f, 0.0f)}));

    pads.disconnect(0, input);
    EXPECT_EQ(effectOf(input), Effect{}) << "nothing of the pad is held any more";
    EXPECT_TRUE(input.rightHeld) << "the keys are the keyboard's";
    EXPECT_EQ(input.cameraVelocity, glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(pads.inUse(), -1);
    pads.play(0.125, input);
    EXPECT_EQ(effectOf(input), Effect{}) << "a pad that is gone is not read";

    // Back was held for three quarters of a second before it went: plugged in again with Back
    // held, the count starts afresh.
    pads.connect(0);
    pads.see(0, withButtons({PadButton::Back}), input);
    for (int i = 0; i < 4; ++i)
        pads.play(0.125, input);
    EXPECT_TRUE(input.keys.empty());
}

TEST(Gamepad, TheFirstConnectedPlaysUntilAnotherIsUsed)
{
    InputState input;
    Gamepads pads;
    EXPECT_EQ(pads.inUse(), -1);
    pads.connect(3);
    pads.connect(1);
    EXPECT_EQ(pads.inUse(), 3) << "the first connected, not the lowest number";

    const PadState running = leftStickAt(1.0f, 0.0f, withButtons({PadButton::South}));
    pads.see(3, running, input);
    pads.see(1, leftStickAt(0.2f, 0.1f), input); // a worn stick resting off centre
    pads.play(0.1, input);
    EXPECT_EQ(pads.inUse(), 3);
    EXPECT_TRUE(input.padRightHeld);
    input.keys.clear();

    // Pad 1's South takes over while pad 3 still holds its own: pad 3's stick is let go, and
    // the press that took over jumps.
    pads.see(3, running, input);
    pads.see(1, withButtons({PadButton::South}), input);
    pads.play(0.1, input);
    EXPECT_EQ(pads.inUse(), 1);
    EXPECT_FALSE(input.padRightHeld);
    EXPECT_EQ(input.keys, (std::vector<int>{Key::Space}));

    // Pad 3 keeps its stick pushed: that is not a new use. Pushed anew, it takes back over.
    pads.see(3, running, input);
    pads.see(1, withButtons({PadButton::South}), input);
    pads.play(0.1, input);
    EXPECT_EQ(pads.inUse(), 1);
    pads.see(3, PadState{}, input);
    pads.see(3, leftStickAt(0.0f, 1.0f), input);
    pads.play(0.1, input);
    EXPECT_EQ(pads.inUse(), 3);
    EXPECT_TRUE(input.padBackHeld);
    pads.see(1, withButtons({PadButton::South}), input);
    EXPECT_EQ(pads.inUse(), 3) << "pad 1 lying with South down does not take over again and again";

    // The pad in use pulled out: the earliest connected of the rest plays.
    pads.connect(5);
    pads.disconnect(3, input);
    EXPECT_EQ(pads.inUse(), 1);
    EXPECT_FALSE(input.padBackHeld);
    pads.disconnect(5, input);
    EXPECT_EQ(pads.inUse(), 1) << "a pad not in use goes without a change";

    // Every kind of use counts, and only a change from rest.
    const PadState pulled = withAxis(PadAxis::LeftTrigger, 0.5f);
    EXPECT_TRUE(newlyUsed(PadState{}, pulled));
    EXPECT_FALSE(newlyUsed(pulled, pulled));
    EXPECT_TRUE(newlyUsed(PadState{}, withAxis(PadAxis::RightTrigger, 0.5f)));
    EXPECT_TRUE(newlyUsed(PadState{}, withAxis(PadAxis::RightY, -0.5f)));
    EXPECT_TRUE(newlyUsed(PadState{}, withButtons({PadButton::Guide})));
    EXPECT_FALSE(newlyUsed(withButtons({PadButton::Guide}), PadState{}));
    EXPECT_FALSE(newlyUsed(PadState{}, withAxis(PadAxis::RightX, 0.2f)));
}

// ---- the pad in a real game ------------------------------------------------------------------

namespace {

const char* const flatLevel = "1x1x1x1x1x\n1x1x1x1x1x\n1x1S1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n"
                              "1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n";

// A game on a flat level with one pad connected, driven as the frame loop drives it: the pad
// is looked at before each update.
class PadGame : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        buildLevel(flatLevel);
        settle();
        pads.connect(0);
    }

    void padFrames(const PadState& pad, int count)
    {
        for (int i = 0; i < count && !game->finished(); ++i) {
            pads.see(0, pad, inputState());
            pads.play(1.0 / 60.0, inputState());
            game->update(gameStep);
        }
    }

    Gamepads pads;
};

} // namespace

TEST_F(PadGame, SouthHeldDownJumpsOnce)
{
    ASSERT_TRUE(game->hero().onGround);
    int takeOffs = 0;
    for (int i = 0; i < 200; ++i) { // five game seconds, landing included
        const bool wasOnGround = game->hero().onGround;
        padFrames(withButtons({PadButton::South}), 1);
        takeOffs += wasOnGround && game->hero().position.y > 1.0f;
    }
    EXPECT_EQ(takeOffs, 1);
    EXPECT_TRUE(game->hero().onGround);
}

TEST_F(PadGame, KeysAndStickRunTogetherAndEitherKeepsTheHeroRunning)
{
    const float step = 2.5f * 0.75f * static_cast<float>(gameStep);
    pressKey(Key::W);
    padFrames(leftStickAt(0.0f, -1.0f), 1);
    float z = game->hero().position.z;
    releaseKey(Key::W);
    padFrames(leftStickAt(0.0f, -1.0f), 1);
    EXPECT_NEAR(z - game->hero().position.z, step, 1e-5) << "W let go, the stick still runs forward";

    z = game->hero().position.z;
    pressKey(Key::W);
    padFrames(PadState{}, 1);
    EXPECT_NEAR(z - game->hero().position.z, step, 1e-5) << "the stick let go, W still runs forward";
    releaseKey(Key::W);

    // A diagonal pushed on the stick runs like W and D together; against D it cancels.
    const glm::vec3 before = game->hero().position;
    padFrames(leftStickAt(0.7f, -0.7f), 1);
    EXPECT_NEAR(game->hero().position.x - before.x, step, 1e-5);
    EXPECT_NEAR(before.z - game->hero().position.z, step, 1e-5);
    const float x = game->hero().position.x;
    pressKey(Key::A);
    padFrames(leftStickAt(1.0f, 0.0f), 3);
    EXPECT_EQ(game->hero().position.x, x);
    releaseKey(Key::A);
}

TEST_F(PadGame, PausedTheSticksAndShouldersFlyTheCameraAndSteerTheFlame)
{
    padFrames(withButtons({PadButton::Start}), 1);
    ASSERT_TRUE(game->paused());
    const glm::vec3 hero = game->hero().position;
    const glm::vec3 eye = game->camera().savedEye;
    const glm::vec3 light = game->flame().lightPosition;

    // Left stick right and away, right bumper up; right stick left, right trigger up. South and
    // West do nothing while paused, and Start held on does not resume.
    PadState pad = leftStickAt(
        0.7f, -0.7f, withButtons({PadButton::Start, PadButton::RightBumper, PadButton::South, PadButton::West}));
    pad = withAxis(PadAxis::RightX, -1.0f, withAxis(PadAxis::RightTrigger, 1.0f, pad));
    padFrames(pad, 40);
    const float travel = 40.0f * static_cast<float>(gameStep);
    EXPECT_TRUE(game->paused());
    EXPECT_EQ(game->hero().position, hero) << "no running, no jump";
    EXPECT_FALSE(game->camera().isLeft) << "no camera swing";
    const glm::vec3 flown = game->camera().savedEye - eye;
    EXPECT_NEAR(flown.x, travel, 1e-4);
    EXPECT_NEAR(flown.y, travel, 1e-4);
    EXPECT_NEAR(flown.z, -travel, 1e-4);
    const glm::vec3 steered = game->flame().lightPosition - light;
    EXPECT_NEAR(steered.x, -travel, 1e-4);
    EXPECT_NEAR(steered.y, travel, 1e-4);
    EXPECT_NEAR(steered.z, 0.0f, 1e-4);

    // The left bumper, left trigger and right stick towards the player the other ways; a key
    // against the stick cancels it, a key with it adds nothing.
    pad = withButtons({PadButton::LeftBumper});
    pad = withAxis(PadAxis::LeftTrigger, 1.0f, withAxis(PadAxis::RightY, 1.0f, leftStickAt(-1.0f, 0.0f, pad)));
    pressKey(Key::H); // camera right, against the stick
    pressKey(Key::O); // flame down, with the trigger
    const glm::vec3 eye2 = game->camera().savedEye;
    const glm::vec3 light2 = game->flame().lightPosition;
    padFrames(pad, 40);
    const glm::vec3 flown2 = game->camera().savedEye - eye2;
    EXPECT_NEAR(flown2.x, 0.0f, 1e-4);
    EXPECT_NEAR(flown2.y, -travel, 1e-4);
    EXPECT_NEAR(flown2.z, 0.0f, 1e-4);
    const glm::vec3 steered2 = game->flame().lightPosition - light2;
    EXPECT_NEAR(steered2.y, -travel, 1e-4);
    EXPECT_NEAR(steered2.z, travel, 1e-4);
    releaseKey(Key::H);
    releaseKey(Key::O);

    padFrames(PadState{}, 1);
    padFrames(withButtons({PadButton::Start}), 1);
    EXPECT_FALSE(game->paused()) << "Start pressed again resumes";
}

TEST_F(PadGame, BackHeldForASecondEndsTheGameRunningOrPaused)
{
    padFrames(withButtons({PadButton::Back}), 30); // half a second
    padFrames(PadState{}, 1);
    padFrames(withButtons({PadButton::Back}), 30);
    EXPECT_FALSE(game->finished()) << "two half-second presses";
    EXPECT_EQ(game->hero().jumpVelocity, glm::vec3(0.0f));

    padFrames(withButtons({PadButton::Start}), 1);
    ASSERT_TRUE(game->paused());
    padFrames(withButtons({PadButton::Back}), 62);
    EXPECT_TRUE(game->finished());
}

TEST_F(PadGame, PulledOutWhileRunningTheHeroStops)
{
    padFrames(leftStickAt(-1.0f, 0.0f), 2);
    pads.disconnect(0, inputState());
    const float x = game->hero().position.x;
    frames(5);
    EXPECT_EQ(game->hero().position.x, x);
}
