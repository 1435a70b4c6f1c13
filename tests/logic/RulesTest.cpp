#include "TestSupport.h"

#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/LevelReader.h"

#include <algorithm>

namespace {

class Rules : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        buildLevel(flatLevel);
        settle();
    }
};

} // namespace

TEST_F(Rules, EveryKeyEventOfAPollIsActedOnOnceInOrder)
{
    // A running jump: Space struck while A is held, a repeat of A behind it in the same poll.
    pressKey(Key::A);
    frames(1);
    pressKey(Key::Space);
    keyEvent(Key::A, KeyAction::Repeat);
    frames(2);
    EXPECT_GT(game->hero().position.y, 1.1f) << "the Space before the repeat jumps";
    EXPECT_LT(game->hero().position.x, game->startPosition().x) << "and A still steers";
    releaseKey(Key::A);
    EXPECT_TRUE(game->input().keys.size() == 1 && game->input().keys[0] == Key::A);
    frames(1);
    EXPECT_TRUE(game->input().keys.empty()) << "each event is acted on once";

    // Tab then Tab in one poll pauses and resumes; paused, Escape followed by any key still quits.
    pressKey(Key::Tab);
    pressKey(Key::Tab);
    frames(1);
    EXPECT_FALSE(game->paused());
    EXPECT_FALSE(game->flame().handSteering);
    pressKey(Key::Tab);
    frames(1);
    ASSERT_TRUE(game->paused());
    pressKey(Key::Escape);
    pressKey(Key::D);
    game->update(gameStep);
    EXPECT_TRUE(game->finished());
}

TEST_F(Rules, OppositeKeysCancelAndSpeedDependsOnTheGround)
{
    const glm::vec3 start = game->hero().position;
    for (int key : {Key::W, Key::S, Key::A, Key::D})
        pressKey(key);
    frames(20);
    EXPECT_EQ(game->hero().position, start);

    for (int key : {Key::S, Key::A, Key::D})
        releaseKey(key);
    frames(1);
    EXPECT_NEAR(start.z - game->hero().position.z, 2.5 * 0.75 * gameStep, 1e-5);
    pressKey(Key::Space);
    frames(2); // within 0.1 of the ground the hero still counts as standing
    ASSERT_GT(game->hero().position.y, 1.1f);
    const float lifted = game->hero().position.z;
    frames(1);
    EXPECT_NEAR(lifted - game->hero().position.z, 1.5 * 0.75 * gameStep, 1e-5);
}

TEST_F(Rules, EnterSwingsTheCameraToTheOtherSideInAboutOnePointTwoSeconds)
{
    pressKey(Key::Enter);
    EXPECT_EQ(printedBy([&] { game->update(gameStep); }), "change site isLeft: 0\n");
    double elapsed = gameStep;
    while (game->camera().angle > 315.0f && elapsed < 5.0) {
        game->update(gameStep);
        elapsed += gameStep;
    }
    EXPECT_NEAR(elapsed, 1.2, 2 * gameStep);
    game->update(gameStep);
    EXPECT_EQ(game->camera().angle, 315.0f) << "the swing stops exactly on its side";

    pressKey(Key::Enter);
    EXPECT_EQ(printedBy([&] { game->update(gameStep); }), "change site isLeft: 1\n");
}

TEST_F(Rules, DeathCostsALifeAndRespawnsUntilTheLastLifeEndsTheGame)
{
    change([](LevelState& scene) {
        scene.hero.lives = 3;
        scene.hero.farMeter = 0.1f;
        scene.hero.nearMeter = 0.25f;
    });
    pressKey(Key::A); // off the left edge
    const std::string printed = printedBy([&] {
        for (int i = 0; i < 400 && game->hero().lives == 3; ++i)
            game->update(gameStep);
    });
    releaseKey(Key::A);
    EXPECT_EQ(printed, "hero died\n2 lives left\n");
    EXPECT_EQ(game->hero().lives, 2);
    EXPECT_FALSE(game->hero().died);
    EXPECT_EQ(game->hero().position, game->startPosition() + glm::vec3(0.0f, 0.1f, 0.0f));
    EXPECT_EQ(game->flame().position, game->startPosition() + glm::vec3(0.0f, 0.05f, 5.0f));
    EXPECT_EQ(game->hero().nearMeter, 0.0f);
    EXPECT_EQ(game->hero().farMeter, 0.0f);
    frames(10);
    EXPECT_FLOAT_EQ(game->hero().position.y, game->startPosition().y) << "the respawned hero rests on its column";

    change([](LevelState& scene) {
        scene.hero.lives = 1;
        scene.hero.position.y = 0.01f;
    });
    EXPECT_EQ(printedBy([&] { game->update(gameStep); }), "hero died\nUseless Shit\n");
    EXPECT_TRUE(game->finished());
    EXPECT_EQ(game->hero().lives, 0);
}

TEST_F(Rules, SlowFramesStillFindTheStartColumn)
{
    // At 30 frames a second, or at difficulty 3, a frame sinks the hero by 0.05 or more:
    // as much as it starts above its column after a build or a respawn.
    for (double slowStep : {0.05, 0.1}) {
        SCOPED_TRACE(slowStep);
        buildLevel(flatLevel);
        for (int i = 0; i < 20; ++i)
            game->update(slowStep);
        EXPECT_EQ(game->hero().lives, 4);
        EXPECT_FLOAT_EQ(game->hero().position.y, 1.0f);

        change([](LevelState& scene) { scene.hero.position = glm::vec3(2.5f, 0.01f, -30.5f); }); // an empty cell
        printedBy([&] {
            for (int i = 0; i < 20; ++i)
                game->update(slowStep);
        });
        EXPECT_EQ(game->hero().lives, 3);
        EXPECT_FLOAT_EQ(game->hero().position.y, 1.0f);
    }
}

TEST_F(Rules, AnInvisibleCubeBreaksUnderTheHeroAndOpensItsCell)
{
    buildLevel("1x1x1x1x1x\n1x1x1S1x1x\n1x1x121x1x\n1x1x1x1x1x\n");
    ASSERT_EQ(game->invisCubes().size(), 1u);
    settle();
    placeFlame(glm::vec3(0.0f, 1.0f, 2.5f));
    const CubeInvis& cube = game->invisCubes().front();
    const int cell = cellIndex(cube.position.x, cube.position.z);

    // Walk onto the middle of the cube's cell and stand there, adding up the game time of
    // every update in which the cube fades (the one it breaks in included).
    double fadingFor = 0.0;
    pressKey(Key::W);
    for (int i = 0; i < 400 && !cube.broken; ++i) {
        if (game->hero().position.z <= -2.5f)
            releaseKey(Key::W);
        game->update(gameStep);
        if (cube.fading || cube.broken)
            fadingFor += gameStep;
    }
    ASSERT_EQ(game->heroCell(), cell);
    EXPECT_TRUE(cube.broken);
    EXPECT_NEAR(fadingFor, 1.0 / 0.75, 2 * gameStep);
    EXPECT_EQ(game->grid()[static_cast<std::size_t>(cell)], 0);

    game->update(gameStep);
    EXPECT_EQ(game->hero().groundHeight, 0);
    const float y = game->hero().position.y;
    game->update(gameStep);
    EXPECT_LT(game->hero().position.y, y) << "nothing holds the hero any more";
}

TEST_F(Rules, TabFreezesTheHeroAndFreesTheCameraAndTheFlame)
{
    pressKey(Key::Tab);
    game->update(gameStep);
    ASSERT_TRUE(game->paused());

    const glm::vec3 hero = game->hero().position;
    const glm::vec3 flame = game->flame().position;
    const glm::vec3 eye = game->camera().savedEye;
    const float angle = game->camera().angle;
    for (int key : {Key::W, Key::H, Key::L})
        pressKey(key);
    frames(40); // one game second
    pressKey(Key::Space);
    frames(1);
    pressKey(Key::Enter);
    frames(1);
    EXPECT_EQ(game->hero().position, hero) << "no walking, no sinking";
    EXPECT_EQ(game->hero().jumpVelocity, glm::vec3(0.0f)) << "no jump, not even one held over to the chase";
    EXPECT_EQ(game->flame().position, flame);
    EXPECT_NEAR(game->camera().savedEye.x - eye.x, 42 * gameStep, 1e-4);
    EXPECT_NEAR(game->flame().lightPosition.x - flame.x, 42 * gameStep, 1e-4);
    EXPECT_EQ(game->camera().angle, angle);
    EXPECT_FALSE(game->camera().isLeft) << "no camera swing";

    releaseKey(Key::W);
    pressKey(Key::Tab);
    game->update(gameStep);
    EXPECT_FALSE(game->camera().frozen);
    EXPECT_NE(game->flame().position, flame) << "the chase goes on";
}

// Levels come in order: a finish reached builds the next level at once, and the game runs on
// in it; only the third level's finish ends the game.
TEST_F(Rules, EachFinishBuildsTheNextLevelAndTheThirdEndsTheGame)
{
    for (int level = 1; level <= 3; ++level) {
        SCOPED_TRACE(level);
        game->loadLevel(level);
        ASSERT_TRUE(game->finishCube());
        const glm::vec3 finish = game->finishCube()->position;
        change([&](LevelState& scene) {
            scene.hero.position = finish + glm::vec3(0.5f, 0.0f, -0.5f);
            scene.hero.groundHeight = static_cast<int>(finish.y);
        });
        placeFlame();
        const std::string printed = printedBy([&] { game->update(gameStep); });
        const std::string next = level < 3 ? "Current Level " + std::to_string(level + 1) + "\n" : "";
        const std::string start = "you won\nyou WON\n" + next; // the next level's build follows
        EXPECT_EQ(printed.substr(0, level < 3 ? start.size() : std::string::npos), start);
        if (level < 3) {
            EXPECT_EQ(game->currentLevel(), level + 1);
            frames(60);
        }
        EXPECT_EQ(game->finished(), level == 3) << "the game runs on in the new level";
    }
}

// The game plays nothing itself: it hands over what it wants heard after its set-up and after
// each frame, in the order it was asked for: the sound system, the fire's loudness and loop;
// then a frame's jump (its key acts first), the step the hero takes, the flame's loudness.
TEST_F(Rules, SoundIsAskedForInOrderAndHandedOverAfterEachFrame)
{
    newGame();
    const SoundRequest setUp[] = {{SoundRequest::Kind::SetUp, Sound::Ambient, false, 0.0f, false, false},
                                  {SoundRequest::Kind::Volume, Sound::Ambient, false, 0.3f},
                                  {SoundRequest::Kind::Play, Sound::FlameBurning, true}};
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), std::begin(setUp), std::end(setUp)));

    heard.clear();
    pressKey(Key::W);
    pressKey(Key::Space);
    EXPECT_TRUE(heard.empty()) << "keys alone ask for nothing";
    game->update(gameStep);
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0], (SoundRequest{SoundRequest::Kind::Play, Sound::Jump, false}));
    EXPECT_EQ(heard[1], (SoundRequest{SoundRequest::Kind::Play, Sound::Footsteps, false}));
    EXPECT_EQ(heard[2].kind, SoundRequest::Kind::Volume);
}
