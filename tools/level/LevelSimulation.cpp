#include "tools/level/LevelSimulation.h"

#include "game/GameTime.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <streambuf>
#include <unistd.h>

namespace {

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

NullBuffer nullBuffer;

std::filesystem::path makeTempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tindral-level-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder under " + std::filesystem::temp_directory_path().string());
    return pattern;
}

} // namespace

double frameStep(int difficulty, int framesPerSecond)
{
    return gameTimeStep(difficulty, 1.0 / static_cast<double>(framesPerSecond));
}

QuietConsole::QuietConsole() : saved_(std::cout.rdbuf(&nullBuffer)) {}

QuietConsole::~QuietConsole()
{
    std::cout.rdbuf(saved_);
}

LevelSimulation::LevelSimulation(const LevelFile& level) : folder_(makeTempFolder())
{
    // The game reads levels by number from its level folder: the level goes in as number 1.
    std::ofstream(folder_ / (std::to_string(levelNumber) + ".lvl"), std::ios::binary) << level.text;
    GameOptions options;
    options.music = false;
    options.soundfx = false;
    options.models = ModelSource::Detached;
    options.levelFolder = folder_.string() + "/";
    QuietConsole quiet;
    game_ = std::make_unique<Game>(options, input_, switches_);
    grid_ = game_->grid;
}

LevelSimulation::~LevelSimulation()
{
    {
        QuietConsole quiet;
        game_.reset();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

GameState LevelSimulation::save() const
{
    const Game& g = *game_;
    GameState state;
    state.hero = std::make_shared<const Hero>(*g.hero);
    state.flame = std::make_shared<const Flame>(*g.flame);
    state.camera = *g.camera;
    state.input = g.input();
    state.invisibles.reserve(g.invisCubes.size());
    for (const auto& cube : g.invisCubes)
        state.invisibles.push_back({cube->transparency, cube->fading, cube->broken});
    state.finishReached = g.finishCube && g.finishCube->reached;
    state.heroCell = g.heroCell;
    state.paused = g.paused;
    state.finished = g.finished;
    return state;
}

void LevelSimulation::restore(const GameState& state)
{
    Game& g = *game_;
    *g.hero = *state.hero;
    *g.flame = *state.flame;
    *g.camera = state.camera;
    g.input() = state.input;
    g.grid = grid_;
    for (std::size_t i = 0; i < g.invisCubes.size(); ++i) {
        CubeInvis& cube = *g.invisCubes[i];
        cube.transparency = state.invisibles[i].transparency;
        cube.fading = state.invisibles[i].fading;
        cube.broken = state.invisibles[i].broken;
        if (cube.broken) // the game empties a broken cube's cell
            g.grid[static_cast<std::size_t>(cellIndex(cube.position.x, cube.position.z))] = 0;
    }
    if (g.finishCube)
        g.finishCube->reached = state.finishReached;
    g.heroCell = state.heroCell;
    g.paused = state.paused;
    g.finished = state.finished;
}

PlayedPlan playPlan(const LevelFile& level, const std::vector<PlanStep>& plan, double step, double timeLimit)
{
    LevelSimulation simulation(level);
    Game& game = simulation.game();
    QuietConsole quiet;
    PlayedPlan played;
    played.path.push_back({game.hero->position, true});
    const glm::vec3 finish = level.layout.finish.value_or(glm::vec3(0.0f));
    PlanPlayer player(game, step);
    played.result = player.play(plan, timeLimit, [&] {
        const int lives = game.hero->lives;
        game.update(step);
        if (simulation.won()) // the hero entered the finish's cell; the game has moved on
            played.path.push_back({glm::vec3(finish.x + 0.5f, finish.y, finish.z - 0.5f), true});
        else
            played.path.push_back({game.hero->position, game.hero->onGround, game.hero->lives < lives});
    });
    return played;
}
