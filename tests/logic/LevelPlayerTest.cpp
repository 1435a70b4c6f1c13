// A player that finishes a level by plan, with nothing but key events: it steers the hero
// to the plan's points, keeps it in the safe band ahead of the flame like a human watching
// the light, jumps where the plan says and starts the plan over after a death.
#include "TestSupport.h"

#include "scene/Flame.h"

#include <cmath>
#include <sstream>

namespace {

// One line of a level plan. Points are given as (x, d): x across the level, d the distance
// into it (the world's z is -d), so the centre of column c in row r is (c + 0.5, r + 0.5).
//   walk x d   walk there, pausing while the flame is far behind (it must catch up)
//   run x d    walk there without pausing (over invisible cubes, which break under a
//              hero that stands still)
//   jump x d   jump as soon as the hero stands inside the safe band, and steer there in
//              the air until it lands
//   wait g     stand until the flame is at most g units behind
struct PlanStep {
    enum class Kind { Walk, Run, Jump, Wait };
    Kind kind = Kind::Walk;
    float x = 0.0f, d = 0.0f, gap = 0.0f;
    std::string text; // the plan line, for messages
};

// Reads a plan; a line it cannot read fails the calling test and is skipped.
std::vector<PlanStep> readPlan(const std::string& name)
{
    const std::filesystem::path file = testDataDir() / (name + ".plan");
    std::ifstream in(file);
    EXPECT_TRUE(in.is_open()) << "no plan " << file;
    static const std::map<std::string, PlanStep::Kind> kinds = {{"walk", PlanStep::Kind::Walk},
        {"run", PlanStep::Kind::Run}, {"jump", PlanStep::Kind::Jump}, {"wait", PlanStep::Kind::Wait}};
    std::vector<PlanStep> plan;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word;
        if (!(words >> word))
            continue;
        PlanStep step;
        step.text = line;
        const auto kind = kinds.find(word);
        bool read = kind != kinds.end();
        if (read) {
            step.kind = kind->second;
            read = step.kind == PlanStep::Kind::Wait ? static_cast<bool>(words >> step.gap)
                                                     : static_cast<bool>(words >> step.x >> step.d);
        }
        if (read)
            plan.push_back(step);
        else
            ADD_FAILURE() << file << ":" << number << ": cannot read \"" << line << "\"";
    }
    return plan;
}

struct PlayResult {
    bool won = false;      // the finish was reached (the next level was built or the game won)
    bool gameOver = false; // the game ended without that
    int deaths = 0;
    double seconds = 0.0;  // game time played
    float peakMeter = 0.0f; // the fullest either meter got (1 is death)
    std::string lastStep;  // the plan line being played at the end

    std::string describe() const
    {
        std::ostringstream out;
        out << (won ? "won" : gameOver ? "game over" : "not finished") << " after " << seconds << " game seconds with "
            << deaths << " deaths (meters at most " << peakMeter << "), at \"" << lastStep << "\"";
        return out.str();
    }
};

class LevelPlayer {
public:
    // Tolerances of half a frame's step, so that the player stops on its point instead of
    // hopping over it.
    LevelPlayer(Game& game, double step)
        : game_(game), step_(step), groundTolerance_(static_cast<float>(0.55 * 2.5 * 0.75 * step)),
          airTolerance_(static_cast<float>(0.55 * 1.5 * 0.75 * step))
    {
    }

    // Plays the current level until its finish, the end of the game, the end of the plan,
    // or the time limit (game seconds).
    PlayResult play(const std::vector<PlanStep>& plan, double timeLimit)
    {
        PlayResult result;
        const int level = game_.currentLevel;
        std::size_t index = 0;
        while (result.seconds < timeLimit && index < plan.size()) {
            result.lastStep = plan[index].text;
            const Intent intent = decide(plan[index]);
            if (intent.done) {
                ++index;
                jumped_ = false;
                airborneFrames_ = 0;
                continue;
            }
            sendKeys(intent);
            const int lives = game_.hero->lives;
            game_.update(step_);
            result.seconds += step_;
            result.peakMeter = std::max({result.peakMeter, game_.hero->nearMeter, game_.hero->farMeter});
            if (game_.currentLevel != level) {
                result.won = true;
                break;
            }
            const bool died = game_.hero->lives < lives;
            result.deaths += died ? 1 : 0;
            if (game_.finished) {
                result.gameOver = true;
                break;
            }
            if (died) { // back at the start: a player takes the same way again
                index = 0;
                jumped_ = false;
                airborneFrames_ = 0;
                sendKeys(Intent{});
            }
        }
        sendKeys(Intent{});
        return result;
    }

private:
    // The band the player keeps: it pauses once the flame is this far behind and walks on
    // when it has come this close, well inside the 2 to 4 where neither meter fills.
    static constexpr float restGap = 3.6f;
    static constexpr float goGap = 2.4f;

    struct Intent {
        bool left = false, right = false, forward = false, back = false;
        bool jump = false;
        bool done = false;
    };

    float flameGap() const { return std::fabs(game_.hero->position.z - game_.flame->position.z); }

    Intent steerTo(float x, float d, float tolerance) const
    {
        const float dx = x - game_.hero->position.x;
        const float dz = -d - game_.hero->position.z;
        Intent intent;
        intent.left = dx < -tolerance;
        intent.right = dx > tolerance;
        intent.forward = dz < -tolerance;
        intent.back = dz > tolerance;
        intent.done = !intent.left && !intent.right && !intent.forward && !intent.back;
        return intent;
    }

    Intent decide(const PlanStep& step)
    {
        const Hero& hero = *game_.hero;
        Intent intent;
        switch (step.kind) {
        case PlanStep::Kind::Wait:
            intent.done = flameGap() <= step.gap;
            return intent;
        case PlanStep::Kind::Walk:
            if (flameGap() >= restGap)
                resting_ = true;
            else if (flameGap() <= goGap)
                resting_ = false;
            [[fallthrough]];
        case PlanStep::Kind::Run:
            intent = steerTo(step.x, step.d, groundTolerance_);
            intent.done = intent.done && hero.onGround;
            if (resting_ && step.kind == PlanStep::Kind::Walk)
                intent.forward = false;
            return intent;
        case PlanStep::Kind::Jump:
            if (!jumped_) {
                // Stand still until there is ground to jump from and the flame is not far behind.
                if (hero.onGround && flameGap() < restGap) {
                    intent = steerTo(step.x, step.d, airTolerance_);
                    intent.jump = true;
                    intent.done = false;
                    jumped_ = true;
                }
                return intent;
            }
            airborneFrames_ += hero.onGround ? 0 : 1;
            intent = steerTo(step.x, step.d, airTolerance_);
            intent.done = hero.onGround && airborneFrames_ > 2;
            return intent;
        }
        return intent;
    }

    // Sends only the changes, as a keyboard would; Space goes last so that it is the key of
    // the frame (one key event per frame is acted on).
    void sendKeys(const Intent& intent)
    {
        if (spaceDown_)
            releaseKey(GLFW_KEY_SPACE);
        spaceDown_ = false;
        const std::pair<bool Intent::*, int> keys[] = {
            {&Intent::left, GLFW_KEY_A}, {&Intent::right, GLFW_KEY_D}, {&Intent::forward, GLFW_KEY_W},
            {&Intent::back, GLFW_KEY_S}};
        for (const auto& [held, code] : keys)
            if (intent.*held != held_.*held)
                intent.*held ? pressKey(code) : releaseKey(code);
        held_ = intent;
        if (intent.jump) {
            pressKey(GLFW_KEY_SPACE);
            spaceDown_ = true;
        }
    }

    Game& game_;
    double step_;
    float groundTolerance_;
    float airTolerance_;
    Intent held_;
    bool resting_ = false;   // pausing to let the flame catch up
    bool jumped_ = false;    // the current jump step has taken off
    int airborneFrames_ = 0;
    bool spaceDown_ = false;
};

int countLines(const std::string& text, const std::string& line)
{
    int count = 0;
    std::istringstream in(text);
    for (std::string read; std::getline(in, read);)
        count += read == line;
    return count;
}

class LevelPlayerTest : public GameTest {
protected:
    // Plays levels 1 to 3 of the game in order; each must be won without a death, and with
    // room left for a player less exact than this one. Returns what the game printed.
    std::string winAllLevels(double step)
    {
        LevelPlayer player(*game, step);
        std::string printed;
        for (int level = 1; level <= 3 && !HasFailure(); ++level) {
            EXPECT_EQ(game->currentLevel, level);
            const std::vector<PlanStep> plan = readPlan("level" + std::to_string(level));
            PlayResult result;
            printed += printedBy([&] { result = player.play(plan, 600.0); });
            EXPECT_TRUE(result.won) << "level " << level << ": " << result.describe();
            EXPECT_EQ(result.deaths, 0) << "level " << level << ": " << result.describe();
            EXPECT_LT(result.peakMeter, 0.5f) << "level " << level << ": " << result.describe();
        }
        EXPECT_TRUE(game->finished);
        return printed;
    }
};

} // namespace

TEST_F(LevelPlayerTest, WalksOffTheEdgeOnceThenWinsLevels1To3)
{
    settle();
    pressKey(GLFW_KEY_A); // off the left edge at the start
    std::string out = printedBy([&] {
        for (int i = 0; i < 400 && game->hero->lives == 4; ++i)
            game->update(gameStep);
    });
    releaseKey(GLFW_KEY_A);
    EXPECT_EQ(out, "hero died\n3 lives left\n");
    EXPECT_EQ(game->hero->lives, 3);
    EXPECT_EQ(game->hero->position, game->startPosition + glm::vec3(0.0f, 0.1f, 0.0f)) << "respawned at the start";

    out = winAllLevels(gameStep);
    EXPECT_EQ(countLines(out, "you WON"), 3);
    EXPECT_EQ(countLines(out, "hero died"), 0);
}

TEST_F(LevelPlayerTest, ThePlansHoldAt30And144FramesASecond)
{
    for (double framesPerSecond : {30.0, 144.0}) {
        SCOPED_TRACE(framesPerSecond);
        newGame();
        EXPECT_EQ(countLines(winAllLevels(1.5 / framesPerSecond), "you WON"), 3);
    }
}

TEST_F(LevelPlayerTest, AWallTwoHigherMakesTheLevelUnwinnable)
{
    // The same player and plan: one higher is climbed, two higher is not, and trying again
    // after each death ends the game.
    buildLevelFile(testDataDir() / "wall-one-higher.lvl");
    const std::vector<PlanStep> plan = readPlan("climb");
    PlayResult result;
    std::string out = printedBy([&] { result = LevelPlayer(*game, gameStep).play(plan, 120.0); });
    EXPECT_TRUE(result.won) << result.describe();
    EXPECT_EQ(countLines(out, "you WON"), 1);

    newGame();
    buildLevelFile(testDataDir() / "wall-two-higher.lvl");
    out = printedBy([&] { result = LevelPlayer(*game, gameStep).play(plan, 120.0); });
    EXPECT_FALSE(result.won) << result.describe();
    EXPECT_TRUE(result.gameOver);
    EXPECT_EQ(result.deaths, 4) << "every life is lost at the wall";
    EXPECT_EQ(countLines(out, "you WON"), 0);
    EXPECT_EQ(countLines(out, "Useless Shit"), 1);
}
