#include "LevelPlayer.h"

#include "game/Game.h"
#include "game/InputState.h"
#include "scene/Flame.h"
#include "scene/Hero.h"

#include <GLFW/glfw3.h>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// The band the player keeps: it pauses once the flame is this far behind and walks on when
// it has come this close, well inside the 2 to 4 where neither meter fills.
constexpr float restGap = 3.6f;
constexpr float goGap = 2.4f;

void key(int code, bool down) { onKey(nullptr, code, 0, down ? GLFW_PRESS : GLFW_RELEASE, 0); }

bool parseStep(const std::string& line, PlanStep& step)
{
    std::istringstream in(line);
    std::string word;
    in >> word;
    step.text = line;
    if (word == "wait") {
        step.kind = PlanStep::Kind::Wait;
        return static_cast<bool>(in >> step.gap);
    }
    if (word == "walk")
        step.kind = PlanStep::Kind::Walk;
    else if (word == "run")
        step.kind = PlanStep::Kind::Run;
    else if (word == "jump")
        step.kind = PlanStep::Kind::Jump;
    else
        return false;
    return static_cast<bool>(in >> step.x >> step.d);
}

} // namespace

std::vector<PlanStep> readPlan(const std::filesystem::path& file)
{
    std::vector<PlanStep> plan;
    std::ifstream in(file);
    EXPECT_TRUE(in.is_open()) << "no plan " << file;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const auto comment = line.find('#');
        const std::string content = line.substr(0, comment);
        if (content.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        PlanStep step;
        if (parseStep(content, step))
            plan.push_back(step);
        else
            ADD_FAILURE() << file << ":" << number << ": cannot read \"" << line << "\"";
    }
    return plan;
}

LevelPlayer::LevelPlayer(Game& game, double step)
    : game_(game),
      step_(step),
      groundTolerance_(static_cast<float>(0.55 * 2.5 * 0.75 * step)),
      airTolerance_(static_cast<float>(0.55 * 1.5 * 0.75 * step))
{
}

std::string PlayResult::describe() const
{
    std::ostringstream out;
    out << (won ? "won" : gameOver ? "game over" : "not finished") << " after " << seconds
        << " game seconds with " << deaths << " deaths (meters at most near " << peakNear << ", far "
        << peakFar << "), at \"" << lastStep << "\"";
    return out.str();
}

PlayResult LevelPlayer::play(const std::vector<PlanStep>& plan, double timeLimit)
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
        result.peakNear = std::max(result.peakNear, game_.hero->nearMeter);
        result.peakFar = std::max(result.peakFar, game_.hero->farMeter);
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
        if (died) {
            // Back at the start: a player takes the same way again.
            index = 0;
            jumped_ = false;
            airborneFrames_ = 0;
            releaseAll();
        }
    }
    releaseAll();
    return result;
}

float LevelPlayer::flameGap() const
{
    return std::fabs(game_.hero->position.z - game_.flame->position.z);
}

LevelPlayer::Intent LevelPlayer::steerTo(float x, float d, float tolerance) const
{
    const glm::vec3 hero = game_.hero->position;
    const float dx = x - hero.x;
    const float dz = -d - hero.z;
    Intent intent;
    intent.left = dx < -tolerance;
    intent.right = dx > tolerance;
    intent.forward = dz < -tolerance;
    intent.back = dz > tolerance;
    intent.done = !intent.left && !intent.right && !intent.forward && !intent.back;
    return intent;
}

LevelPlayer::Intent LevelPlayer::decide(const PlanStep& step)
{
    const Hero& hero = *game_.hero;
    switch (step.kind) {
    case PlanStep::Kind::Wait: {
        Intent intent;
        intent.done = flameGap() <= step.gap;
        return intent;
    }
    case PlanStep::Kind::Walk: {
        const float gap = flameGap();
        if (gap >= restGap)
            resting_ = true;
        else if (gap <= goGap)
            resting_ = false;
        Intent intent = steerTo(step.x, step.d, groundTolerance_);
        intent.done = intent.done && hero.onGround;
        if (resting_)
            intent.forward = false;
        return intent;
    }
    case PlanStep::Kind::Run: {
        Intent intent = steerTo(step.x, step.d, groundTolerance_);
        intent.done = intent.done && hero.onGround;
        return intent;
    }
    case PlanStep::Kind::Jump: {
        if (!jumped_) {
            // Stand still until there is ground to jump from and the flame is not far behind.
            Intent intent;
            if (hero.onGround && flameGap() < restGap) {
                intent = steerTo(step.x, step.d, airTolerance_);
                intent.jump = true;
                intent.done = false;
                jumped_ = true;
            }
            return intent;
        }
        if (!hero.onGround)
            ++airborneFrames_;
        Intent intent = steerTo(step.x, step.d, airTolerance_);
        intent.done = hero.onGround && airborneFrames_ > 2;
        return intent;
    }
    }
    return Intent{};
}

// Sends only the changes, as a keyboard would; Space goes last so that it is the key of
// the frame (one key event per frame is acted on).
void LevelPlayer::sendKeys(const Intent& intent)
{
    if (spaceDown_) {
        key(GLFW_KEY_SPACE, false);
        spaceDown_ = false;
    }
    const std::pair<bool Intent::*, int> keys[] = {
        {&Intent::left, GLFW_KEY_A}, {&Intent::right, GLFW_KEY_D},
        {&Intent::forward, GLFW_KEY_W}, {&Intent::back, GLFW_KEY_S}};
    for (const auto& [held, code] : keys) {
        if (intent.*held != held_.*held)
            key(code, intent.*held);
    }
    held_ = intent;
    if (intent.jump) {
        key(GLFW_KEY_SPACE, true);
        spaceDown_ = true;
    }
}

void LevelPlayer::releaseAll()
{
    sendKeys(Intent{});
    if (spaceDown_) {
        key(GLFW_KEY_SPACE, false);
        spaceDown_ = false;
    }
}
