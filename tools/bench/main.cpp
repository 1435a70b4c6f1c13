// tindral-bench [--width W] [--height H] [--fps F] [--difficulty D] [--levels N]
//               [--from-level N] [--max-frames N] [--floor-frames N] [--plans DIR]
//               [--console FILE] [--frames DIR] [--frame-every N] [--keys FRAME:KEY,...]
//
// Starts the game as the game starts itself, timing each phase up to the first frame on the
// screen; plays levels 1 to N with the scripted player through the real frame loop (all six
// passes, real swaps, no sleeps) at a fixed game step; then runs the floor in the same window:
// the same frames' clears, viewports, state changes and swaps with nothing drawn. Prints a
// table and, as its last line, the figures as one JSON object.
//
// The play is the same in every run, so it also records what a change does to the game: the
// game's console lines go to FILE (otherwise nowhere), every N-th frame of play (500 unless
// given) is written to DIR as frame-<number>.ppm, and the keys listed (F2 to F9, Enter, Tab)
// are struck before the frames numbered, counted from 0 over all levels.
#include "Statistics.h"
#include "app/MainLoop.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/Window.h"
#include "game/Game.h"
#include "game/GameTime.h"
#include "game/Keys.h"
#include "scene/Hero.h"
#include "tools/bench/ProcessFigures.h"
#include "tools/player/PlanPlayer.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Options {
    int width = 800;
    int height = 600;
    double fps = 60.0;
    int difficulty = 2;
    int fromLevel = 1;
    int levels = 3;
    long maxFrames = 1000000;
    int floorFrames = 300;
    std::string plans = TINDRAL_PLAN_DIR;
    std::string console;
    std::string frames;
    long frameEvery = 500;
    std::multimap<long, int> strikes; // keys struck before the frame of that number
};

void usage(const char* message)
{
    std::cerr << message
              << "\nusage: tindral-bench [--width W] [--height H] [--fps F] [--difficulty D] [--levels N]"
                 " [--from-level N] [--max-frames N] [--floor-frames N] [--plans DIR]"
                 " [--console FILE] [--frames DIR] [--frame-every N] [--keys FRAME:KEY,...]\n";
    std::exit(2);
}

// "30:F5,31:Enter": F5 struck before frame 30, Enter before frame 31.
std::multimap<long, int> readStrikes(const std::string& list)
{
    static const std::map<std::string, int> keys = {{"F2", Key::F2},       {"F3", Key::F3},  {"F4", Key::F4},
                                                    {"F5", Key::F5},       {"F8", Key::F8},  {"F9", Key::F9},
                                                    {"Enter", Key::Enter}, {"Tab", Key::Tab}};
    std::multimap<long, int> strikes;
    std::istringstream items(list);
    for (std::string item; std::getline(items, item, ',');) {
        const std::size_t colon = item.find(':');
        const auto key = colon == std::string::npos ? keys.end() : keys.find(item.substr(colon + 1));
        char* end = nullptr;
        const long frame = std::strtol(item.c_str(), &end, 10);
        if (key == keys.end() || end != item.c_str() + colon || frame < 0)
            usage(("not FRAME:KEY: " + item).c_str());
        strikes.emplace(frame, key->second);
    }
    return strikes;
}

Options readOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            usage(("no value after " + name).c_str());
        const std::string value = argv[++i];
        char* end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        const bool numeric = end != value.c_str() && *end == '\0' && number > 0.0;
        if (name == "--plans")
            options.plans = value;
        else if (name == "--console")
            options.console = value;
        else if (name == "--frames")
            options.frames = value;
        else if (name == "--keys")
            options.strikes = readStrikes(value);
        else if (!numeric && name != "--difficulty")
            usage(("not a positive number: " + name + " " + value).c_str());
        else if (name == "--width")
            options.width = static_cast<int>(number);
        else if (name == "--height")
            options.height = static_cast<int>(number);
        else if (name == "--fps")
            options.fps = number;
        else if (name == "--difficulty")
            options.difficulty = std::atoi(value.c_str());
        else if (name == "--levels")
            options.levels = static_cast<int>(number);
        else if (name == "--from-level")
            options.fromLevel = static_cast<int>(number);
        else if (name == "--max-frames")
            options.maxFrames = static_cast<long>(number);
        else if (name == "--floor-frames")
            options.floorFrames = static_cast<int>(number);
        else if (name == "--frame-every")
            options.frameEvery = static_cast<long>(number);
        else
            usage(("unknown option " + name).c_str());
    }
    return options;
}

struct StartupPhases {
    double toMain = 0.0;
    double window = 0.0;
    double shaders = 0.0;
    double targets = 0.0;
    GameSetupTimes game;
    double firstFrame = 0.0;
    double total = 0.0; // process start to the first frame presented
};

// Seconds per frame, on the clock and of processor time (the GL driver's threads included:
// on a busy machine the second says more about the work than the first).
struct FrameTimes {
    std::vector<double> wall;
    std::vector<double> processor;

    template <class Frame>
    void measure(Frame&& frame)
    {
        const auto start = Clock::now();
        const double processorStart = processorSeconds();
        frame();
        processor.push_back(processorSeconds() - processorStart);
        wall.push_back(secondsSince(start));
    }
};

struct PlayFigures {
    FrameTimes frames;                          // every level
    std::map<int, std::vector<double>> updates; // seconds per Game::update, by level
    std::vector<std::string> levelResults;
};

// The game's own console lines would drown the report: they go to the file asked for, or
// nowhere (a stream without a buffer takes every line and keeps none).
std::unique_ptr<std::ostream> gameConsole(const std::string& file)
{
    if (file.empty())
        return std::make_unique<std::ostream>(nullptr);
    auto console = std::make_unique<std::ofstream>(file, std::ios::binary);
    if (!console->is_open())
        usage(("cannot write the console to " + file).c_str());
    return console;
}

// The frame about to be presented, as a binary PPM, rows top to bottom. It is read from the
// back buffer before the swap: a driver need not keep it after (under Wine it does not).
void writeFrame(const std::string& folder, long number)
{
    int width = 0, height = 0;
    glfwGetFramebufferSize(glfwGetCurrentContext(), &width, &height);
    std::vector<unsigned char> rgb(3 * static_cast<std::size_t>(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    const std::string path = folder + "/frame-" + std::to_string(number) + ".ppm";
    std::ofstream out(path, std::ios::binary);
    if (!out.is_open())
        usage(("cannot write " + path).c_str());
    out << "P6\n" << width << " " << height << "\n255\n";
    const std::size_t row = 3 * static_cast<std::size_t>(width);
    for (int y = height - 1; y >= 0; --y)
        out.write(reinterpret_cast<const char*>(&rgb[row * static_cast<std::size_t>(y)]),
                  static_cast<std::streamsize>(row));
}

// What the options record of a frame: the keys struck before it, its picture once drawn.
template <class Frame>
void recordedFrame(MainLoop& loop, const Options& options, long number, Frame&& frame)
{
    Game& game = loop.game();
    const auto [first, last] = options.strikes.equal_range(number);
    for (auto strike = first; strike != last; ++strike) {
        recordKey(game.input(), game.switches(), strike->second, KeyAction::Press, game.console());
        recordKey(game.input(), game.switches(), strike->second, KeyAction::Release, game.console());
    }
    if (!options.frames.empty() && number % options.frameEvery == 0)
        loop.onFrameDrawn = [&options, number] { writeFrame(options.frames, number); };
    frame();
    loop.onFrameDrawn = nullptr;
}

PlayFigures playLevels(MainLoop& loop, const Options& options, double gameStep)
{
    PlayFigures figures;
    Game& game = loop.game();
    PlanPlayer player(game, gameStep);
    if (options.fromLevel != game.currentLevel())
        game.loadLevel(options.fromLevel);
    for (int level = options.fromLevel; level <= options.levels && !game.finished(); ++level) {
        const Plan plan = readPlanFile(options.plans + "/level" + std::to_string(level) + ".solved.plan");
        if (!plan.errors.empty()) {
            figures.levelResults.push_back("level " + std::to_string(level) + ": " + plan.errors.front());
            break;
        }
        const PlayResult result = player.play(plan.steps, 600.0, [&] {
            if (static_cast<long>(figures.frames.wall.size()) >= options.maxFrames) {
                player.stop(); // the frame budget is spent
                return;
            }
            const long number = static_cast<long>(figures.frames.wall.size());
            recordedFrame(loop, options, number, [&] {
                figures.frames.measure([&] { figures.updates[level].push_back(loop.runFrame(gameStep)); });
            });
        });
        figures.levelResults.push_back("level " + std::to_string(level) + ": " + result.describe());
        if (!result.won || static_cast<long>(figures.frames.wall.size()) >= options.maxFrames)
            break;
    }
    return figures;
}

FrameTimes floorFrames(MainLoop& loop, int count)
{
    FrameTimes frames;
    for (int i = 0; i < count; ++i)
        frames.measure([&] { loop.runEmptyFrame(); });
    return frames;
}

// A few builds of each level, after play: the builder as a level's win runs it.
std::vector<double> levelBuilds(Game& game, int levels)
{
    std::vector<double> builds;
    for (int round = 0; round < 3; ++round)
        for (int level = 1; level <= levels; ++level) {
            const auto start = Clock::now();
            game.loadLevel(level);
            builds.push_back(secondsSince(start));
        }
    return builds;
}

double ms(double seconds)
{
    return seconds * 1000.0;
}

void printRow(std::ostream& out, const std::string& name, double value, const char* unit)
{
    out << "  " << std::left << std::setw(34) << name << std::right << std::setw(9) << std::fixed
        << std::setprecision(value < 10.0 ? 2 : 1) << value << " " << unit << "\n";
}

} // namespace

int main(int argc, char** argv)
{
    const double toMain = secondsSinceProcessStart();
    const auto mainStart = Clock::now();
    const Options options = readOptions(argc, argv);
    std::ostream& report = std::cout;
    if (loadSettings())
        report << "(sound as settings.conf says: music " << settings().music << ", effects " << settings().soundfx
               << ")\n";
    settings().width = options.width;
    settings().height = options.height;
    settings().fullscreen = false;
    settings().difficulty = options.difficulty;
    const double gameStep = gameTimeStep(options.difficulty, 1.0 / options.fps);

    StartupPhases startup;
    startup.toMain = toMain;
    const std::unique_ptr<std::ostream> console = gameConsole(options.console);
    auto phase = Clock::now();
    const Started started = startUp({options.width, options.height, 0, false, false}, *console, [&] {
        startup.window = secondsSince(phase);
        phase = Clock::now();
    });
    if (!started.window) {
        report << started.failure << "\n";
        return 2;
    }
    startup.shaders = secondsSince(phase);

    phase = Clock::now();
    MainLoop loop(*started.window, *console);
    startup.game = loop.game().setupTimes();
    const double gameSetup = startup.game.sound + startup.game.levelBuild;
    startup.targets = secondsSince(phase) - gameSetup;

    phase = Clock::now();
    if (!loop.start())
        return 2;
    PlayFigures play = playLevels(loop, options, gameStep);
    if (!play.frames.wall.empty()) {
        startup.firstFrame = play.frames.wall.front();
        startup.total =
            (toMain > 0.0 ? toMain : 0.0) + secondsSince(mainStart) - secondsSince(phase) + startup.firstFrame;
    }
    const FrameTimes floor = floorFrames(loop, options.floorFrames);
    const std::vector<double> builds = levelBuilds(loop.game(), std::min(options.levels, 3));
    const double peakMemory = peakResidentMegabytes();

    std::vector<double> allUpdates;
    for (const auto& [level, updates] : play.updates)
        allUpdates.insert(allUpdates.end(), updates.begin(), updates.end());
    const double gameMedian = median(play.frames.wall), gameP95 = percentile(play.frames.wall, 0.95);
    const double floorMedian = median(floor.wall), floorP95 = percentile(floor.wall, 0.95);
    const double gameProcessor = median(play.frames.processor), floorProcessor = median(floor.processor);
    const double lastLevelUpdate = play.updates.empty() ? 0.0 : median(play.updates.rbegin()->second);

    report << "Tindral benchmark: " << options.width << " x " << options.height << ", " << options.fps
           << " frames a second of game time at difficulty " << options.difficulty << "\n";
    report << "GL: " << glGetString(GL_RENDERER) << ", " << glGetString(GL_VERSION) << "\n";
    for (const std::string& line : play.levelResults)
        report << "  " << line << "\n";
    report << "start-up\n";
    printRow(report, "process start to main", ms(startup.toMain), "ms");
    printRow(report, "window and GL context", ms(startup.window), "ms");
    printRow(report, "shaders", ms(startup.shaders), "ms");
    printRow(report, "models and render targets", ms(startup.targets), "ms");
    printRow(report, "sound", ms(startup.game.sound), "ms");
    printRow(report, "level build", ms(startup.game.levelBuild), "ms");
    printRow(report, "first frame", ms(startup.firstFrame), "ms");
    printRow(report, "process start to first frame", ms(startup.total), "ms");
    report << "frames (" << play.frames.wall.size() << " game, " << floor.wall.size() << " floor)\n";
    printRow(report, "game median", ms(gameMedian), "ms");
    printRow(report, "game 95th percentile", ms(gameP95), "ms");
    printRow(report, "floor median", ms(floorMedian), "ms");
    printRow(report, "floor 95th percentile", ms(floorP95), "ms");
    printRow(report, "ratio of medians", floorMedian > 0 ? gameMedian / floorMedian : 0.0, "x");
    printRow(report, "ratio of 95th percentiles", floorP95 > 0 ? gameP95 / floorP95 : 0.0, "x");
    printRow(report, "game processor time median", ms(gameProcessor), "ms");
    printRow(report, "floor processor time median", ms(floorProcessor), "ms");
    printRow(report, "ratio of processor times", floorProcessor > 0 ? gameProcessor / floorProcessor : 0.0, "x");
    report << "rules and level\n";
    printRow(report, "Game::update median", median(allUpdates) * 1e6, "us");
    for (const auto& [level, updates] : play.updates)
        printRow(report, "  level " + std::to_string(level), median(updates) * 1e6, "us");
    printRow(report, "level build median", ms(median(builds)), "ms");
    printRow(report, "peak resident memory", peakMemory, "MB");

    report << std::setprecision(4) << std::defaultfloat << "{\"width\": " << options.width
           << ", \"height\": " << options.height << ", \"game_frames\": " << play.frames.wall.size()
           << ", \"game_median_ms\": " << ms(gameMedian) << ", \"game_p95_ms\": " << ms(gameP95)
           << ", \"floor_median_ms\": " << ms(floorMedian) << ", \"floor_p95_ms\": " << ms(floorP95)
           << ", \"ratio_median\": " << (floorMedian > 0 ? gameMedian / floorMedian : 0.0)
           << ", \"game_cpu_median_ms\": " << ms(gameProcessor) << ", \"floor_cpu_median_ms\": " << ms(floorProcessor)
           << ", \"startup_ms\": " << ms(startup.total) << ", \"update_median_us\": " << median(allUpdates) * 1e6
           << ", \"update_last_level_median_us\": " << lastLevelUpdate * 1e6
           << ", \"level_build_ms\": " << ms(median(builds)) << ", \"peak_rss_mb\": " << peakMemory << "}" << std::endl;
    return 0;
}
