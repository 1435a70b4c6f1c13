#include "tools/player/PlanPlayer.h"

#include "game/Game.h"
#include "game/Keys.h"
#include "scene/Flame.h"
#include "scene/Hero.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

Plan readPlan(std::istream& in)
{
    static const std::map<std::string, PlanStep::Kind> kinds = {{"walk", PlanStep::Kind::Walk},
                                                                {"run", PlanStep::Kind::Run},
                                                                {"jump", PlanStep::Kind::Jump},
                                                                {"wait", PlanStep::Kind::Wait}};
    Plan plan;
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
            plan.steps.push_back(step);
        else
            plan.errors.push_back("line " + std::to_string(number) + ": cannot read \"" + line + "\"");
    }
    return plan;
}

Plan readPlanFile(const std::string& path)
{
    // A FIFO would keep the player waiting for a writer, a device may never end.
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, error))
        in.open(path);
    if (!in.is_open()) {
        Plan plan;
        plan.errors.push_back("cannot open " + path);
        return plan;
    }
    return readPlan(in);
}

std::string PlayResult::describe() const
{
    std::ostringstream out;
    out << (won        ? "won"
            : gameOver ? "game over"
                       : "not finished")
        << " after " << seconds << " game seconds with " << deaths << " deaths (meters at most " << peakMeter
        << "), at \"" << lastStep << "\"";
    return out.str();
}

namespace {

// The band the player keeps: it pauses once the flame is this far behind and walks on
// when it has come this close, well inside the 2 to 4 where neither meter fills.
constexpr float restGap = 3.6f;
constexpr float goGap = 2.4f;

} // namespace

// Tolerances of half a frame's step, so that the player stops on its point instead of
// hopping over it.
PlanPlayer::PlanPlayer(Game& game, double step)
    : game_(game), step_(step), groundTolerance_(static_cast<float>(0.55 * Game::groundSpeed * Hero::walkScale * step)),
      airTolerance_(static_cast<float>(0.55 * Game::airSpeed * Hero::walkScale * step))
{}

PlayResult PlanPlayer::play(const std::vector<PlanStep>& plan, double timeLimit, const std::function<void()>& runFrame)
{
    PlayResult result;
    const int level = game_.currentLevel();
    std::size_t index = 0;
    stopped_ = false;
    while (result.seconds < timeLimit && index < plan.size() && !stopped_) {
        result.lastStep = plan[index].text;
        const Intent intent = decide(plan[index]);
        if (intent.done) {
            ++index;
            jumped_ = false;
            airborneFrames_ = 0;
            continue;
        }
        sendKeys(intent);
        const int lives = game_.hero().lives;
        if (runFrame)
            runFrame();
        else
            game_.update(step_);
        result.seconds += step_;
        result.peakMeter = std::max({result.peakMeter, game_.hero().nearMeter, game_.hero().farMeter});
        if (game_.currentLevel() != level) {
            result.won = true;
            break;
        }
        const bool died = game_.hero().lives < lives;
        result.deaths += died ? 1 : 0;
        if (game_.finished()) {
            result.gameOver = true;
            break;
        }
        if (died && !retryAfterDeath)
            break;
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

float PlanPlayer::flameGap() const
{
    return std::fabs(game_.hero().position.z - game_.flame().position.z);
}

PlanPlayer::Intent PlanPlayer::steerTo(float x, float d, float tolerance) const
{
    const float dx = x - game_.hero().position.x;
    const float dz = -d - game_.hero().position.z;
    Intent intent;
    intent.left = dx < -tolerance;
    intent.right = dx > tolerance;
    intent.forward = dz < -tolerance;
    intent.back = dz > tolerance;
    intent.done = !intent.left && !intent.right && !intent.forward && !intent.back;
    return intent;
}

PlanPlayer::Intent PlanPlayer::decide(const PlanStep& step)
{
    const Hero& hero = game_.hero();
    Intent intent;
    switch (step.kind) {
    case PlanStep::Kind::Wait: intent.done = flameGap() <= step.gap; return intent;
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

void PlanPlayer::key(int code, int action)
{
    recordKey(game_.input(), game_.switches(), code, action, game_.console());
}

// Sends only the changes, as a keyboard would. The rules act on every key event of a frame
// in order, so Space may come anywhere among them; it goes last, as a player strikes it once
// the steering is set.
void PlanPlayer::sendKeys(const Intent& intent)
{
    if (spaceDown_)
        key(Key::Space, KeyAction::Release);
    spaceDown_ = false;
    const std::pair<bool Intent::*, int> keys[] = {
        {&Intent::left, Key::A}, {&Intent::right, Key::D}, {&Intent::forward, Key::W}, {&Intent::back, Key::S}};
    for (const auto& [held, code] : keys)
        if (intent.*held != held_.*held)
            key(code, intent.*held ? KeyAction::Press : KeyAction::Release);
    held_ = intent;
    if (intent.jump) {
        key(Key::Space, KeyAction::Press);
        spaceDown_ = true;
    }
}
