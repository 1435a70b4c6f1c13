#include "tools/level/LevelSimulation.h"

#include "game/GameTime.h"

#include <streambuf>

namespace {

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

NullBuffer nullBuffer;

} // namespace

std::ostream& nullStream()
{
    static std::ostream stream(&nullBuffer);
    return stream;
}

double frameStep(int difficulty, int framesPerSecond)
{
    return gameTimeStep(difficulty, 1.0 / static_cast<double>(framesPerSecond));
}

LevelSimulation::LevelSimulation(const LevelFile& level)
{
    GameOptions options;
    options.music = false;
    options.soundfx = false;
    options.console = &nullStream();
    options.firstLevel = level.layout;
    game_ = std::make_unique<Game>(options, input_, switches_);
}

PlayedPlan playPlan(const LevelFile& level, const std::vector<PlanStep>& plan, double step, double timeLimit)
{
    LevelSimulation simulation(level);
    Game& game = simulation.game();
    PlayedPlan played;
    played.path.push_back({game.hero().position, true});
    const glm::vec3 finish = level.layout.finish.value_or(glm::vec3(0.0f));
    PlanPlayer player(game, step);
    played.result = player.play(plan, timeLimit, [&] {
        const int lives = game.hero().lives;
        game.update(step);
        if (simulation.won()) // the hero entered the finish's cell; the game has moved on
            played.path.push_back({glm::vec3(finish.x + 0.5f, finish.y, finish.z - 0.5f), true});
        else
            played.path.push_back({game.hero().position, game.hero().onGround, game.hero().lives < lives});
    });
    return played;
}
