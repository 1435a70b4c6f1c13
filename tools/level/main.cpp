// tindral-level: a level author's tool. Checks level files, solves them with the game's own
// rules and draws them from above.
#include "tools/level/LevelCheck.h"
#include "tools/level/LevelFile.h"
#include "tools/level/LevelPicture.h"
#include "tools/level/LevelSolver.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* const usage =
    "usage: tindral-level check FILE...\n"
    "       tindral-level solve FILE [--difficulty N] [--fps N] [--out PLAN] [--max-tries N]\n"
    "       tindral-level picture FILE OUT.png [--plan PLAN | --no-path] [--difficulty N] [--fps N]\n"
    "                                          [--cell PIXELS]\n"
    "\n"
    "check    prints each level from above and every warning; exit 0 with none, 1 with\n"
    "         warnings, 2 when a file cannot be read\n"
    "solve    searches for a plan that wins the level by the game's rules (default: difficulty 2,\n"
    "         60 frames a second) and writes it as FILE's name with .solved.plan in the current\n"
    "         folder (--out - prints it); exit 0 winnable, 1 no plan found, 2 cannot read\n"
    "picture  draws the level from above into a PNG with the way of the plan solve finds (or\n"
    "         of the plan --plan names, played); exit 0 written, 2 cannot read or write\n";

// Exit statuses.
constexpr int fine = 0;
constexpr int found = 1;
constexpr int failed = 2;

bool colourful(FILE* stream)
{
    const char* term = std::getenv("TERM");
    return isatty(fileno(stream)) && !std::getenv("NO_COLOR") && term && std::string(term) != "dumb";
}

std::string paint(const std::string& text, const char* code, bool on)
{
    return on ? std::string("\033[") + code + "m" + text + "\033[0m" : text;
}

// Word-wraps text to `width` columns, every line after the first indented by `indent`.
std::string wrap(const std::string& text, std::size_t indent, std::size_t width = 96)
{
    std::istringstream words(text);
    std::string out, word;
    std::size_t column = indent;
    bool first = true;
    while (words >> word) {
        if (!first && column + 1 + word.size() > width) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (!first) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        first = false;
    }
    return out;
}

std::string thousands(long value)
{
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

std::string fixed(double value, int decimals = 1)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Options after the positional arguments: "--name value" pairs and "--flag"s.
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    std::string error;

    bool has(const std::string& name) const { return options.count(name) > 0; }
};

Arguments parseArguments(int argc, char** argv, const std::vector<std::string>& valued,
                         const std::vector<std::string>& flags)
{
    Arguments args;
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.rfind("--", 0) != 0 || word == "-") {
            args.positional.push_back(word);
            continue;
        }
        if (std::find(flags.begin(), flags.end(), word) != flags.end()) {
            args.options[word] = "";
        } else if (std::find(valued.begin(), valued.end(), word) != valued.end() && i + 1 < argc) {
            args.options[word] = argv[++i];
        } else {
            args.error = "unknown option or missing value: " + word;
        }
    }
    return args;
}

bool readNumber(const Arguments& args, const std::string& name, long low, long high, long& value)
{
    if (!args.has(name))
        return true;
    char* end = nullptr;
    const std::string& text = args.options.at(name);
    const long read = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || read < low || read > high) {
        std::cerr << "tindral-level: " << name << " wants a whole number from " << low << " to " << high << ", not \""
                  << text << "\"\n";
        return false;
    }
    value = read;
    return true;
}

bool readSolveOptions(const Arguments& args, SolveOptions& options)
{
    long difficulty = options.difficulty, fps = options.framesPerSecond, tries = options.maxTried;
    if (!readNumber(args, "--difficulty", 1, 10, difficulty) || !readNumber(args, "--fps", 10, 1000, fps) ||
        !readNumber(args, "--max-tries", 1, 100000000, tries))
        return false;
    options.difficulty = static_cast<int>(difficulty);
    options.framesPerSecond = static_cast<int>(fps);
    options.maxTried = tries;
    return true;
}

std::optional<LevelFile> load(const std::string& path)
{
    std::string error;
    errno = 0;
    auto level = readLevelFile(path, error);
    if (!level)
        std::cerr << "tindral-level: " << error << (errno ? std::string(": ") + std::strerror(errno) : "") << "\n";
    return level;
}

int check(const std::vector<std::string>& files)
{
    const bool colour = colourful(stdout);
    int status = fine;
    bool firstFile = true;
    for (const std::string& path : files) {
        if (!firstFile)
            std::cout << "\n";
        firstFile = false;
        std::cout << paint(path, "1", colour) << "\n";
        const auto level = load(path);
        if (!level) {
            status = failed;
            continue;
        }
        std::cout << topView(*level) << "\n";
        const CheckReport report = checkLevel(*level);
        for (const LevelWarning& warning : report.warnings) {
            const std::string text = (warning.where.empty() ? "" : warning.where + ": ") + warning.text;
            std::cout << paint("warning", "33;1", colour) << "  " << wrap(text, 9) << "\n";
        }
        for (const std::string& note : report.notes)
            std::cout << paint("note", "36", colour) << "     " << wrap(note, 9) << "\n";
        if (report.warnings.empty())
            std::cout << paint("no warnings", "32", colour) << "\n";
        else if (status == fine)
            status = found;
    }
    return status;
}

// The progress line: redrawn in place on a terminal, a line every few seconds in a log.
class ProgressLine {
public:
    ProgressLine() : terminal_(isatty(fileno(stderr))) {}

    void show(const SolveProgress& p)
    {
        const std::string text = "searching: " + thousands(p.tried) + " tries, " + thousands(p.states) +
                                 " states, furthest row " + std::to_string(p.furthestRow) + " of " +
                                 std::to_string(p.rows) + ", " + fixed(p.seconds) + " s";
        if (terminal_) {
            std::cerr << "\r" << text << "\033[K" << std::flush;
            shown_ = true;
        } else if (p.seconds >= nextLogged_) {
            std::cerr << text << "\n";
            nextLogged_ = p.seconds + 5.0;
        }
    }

    void clear()
    {
        if (shown_)
            std::cerr << "\r\033[K" << std::flush;
        shown_ = false;
    }

private:
    bool terminal_;
    bool shown_ = false;
    double nextLogged_ = 2.0;
};

SolveResult solveWithProgress(const LevelFile& level, SolveOptions options)
{
    ProgressLine line;
    options.progress = [&line](const SolveProgress& p) { line.show(p); };
    SolveResult result = solveLevel(level, options);
    line.clear();
    return result;
}

std::string searchSummary(const SolveProgress& p)
{
    return "searched " + thousands(p.tried) + " tries and " + thousands(p.states) + " states in " + fixed(p.seconds) +
           " s";
}

// Prints what a solve found; the exit status.
int report(const LevelFile& level, const SolveOptions& options, const SolveResult& result)
{
    const bool colour = colourful(stdout);
    const std::string settings = "difficulty " + std::to_string(options.difficulty) + ", " +
                                 std::to_string(options.framesPerSecond) + " frames a second";
    switch (result.outcome) {
    case SolveResult::Outcome::Winnable: {
        const PlayResult& played = result.played.result;
        std::cout << level.path << ": " << paint("winnable", "32;1", colour) << " in " << fixed(played.seconds)
                  << " s of game time (" << settings << ")\n";
        std::cout << "  plan of " << result.lines.size() << " steps; meters at most " << fixed(played.peakMeter, 2)
                  << " (1 is death)";
        std::cout << "\n";
        if (result.holdsAt.size() > 1) {
            const std::vector<int> others(result.holdsAt.begin() + 1, result.holdsAt.end());
            std::cout << "  it holds at " << frameRateList(others) << " frames a second, too\n";
        } else {
            std::cout << "  "
                      << paint("a tight plan: no plan was found that keeps the meters below half and holds at "
                               "other frame rates",
                               "33", colour)
                      << "\n";
        }
        std::cout << "  " << searchSummary(result.search) << "\n";
        return fine;
    }
    case SolveResult::Outcome::Exhausted:
    case SolveResult::Outcome::BudgetSpent: {
        const bool exhausted = result.outcome == SolveResult::Outcome::Exhausted;
        std::string why = result.why;
        if (why.empty())
            why = exhausted ? "the search space is exhausted: every way tried ends in a death or where "
                              "another got with meters no fuller"
                            : "the search budget of " + thousands(options.maxTried) +
                                  " tries is spent (--max-tries raises it)";
        std::cout << level.path << ": " << paint("no plan found", "31;1", colour) << " (" << settings << ")\n";
        std::cout << "  " << wrap(why, 2) << "\n";
        if (result.search.rows > 0 && result.why.empty())
            std::cout << "  the hero got no further than row " << result.search.furthestRow << " of "
                      << result.search.rows << "\n";
        std::cout << "  " << searchSummary(result.search) << "\n";
        for (const LevelWarning& warning : checkLevel(level).warnings)
            if (warning.kind == "start" || warning.kind == "finish" || warning.kind == "finish unreachable")
                std::cout << "  check: " << wrap(warning.text, 9) << "\n";
        return found;
    }
    case SolveResult::Outcome::Unplayable:
        std::cout << level.path << ": " << paint("no plan found", "31;1", colour) << "\n  " << wrap(result.why, 2)
                  << "\n";
        return found;
    }
    return failed;
}

int solve(const Arguments& args)
{
    SolveOptions options;
    if (args.positional.size() != 1 || !readSolveOptions(args, options)) {
        std::cerr << usage;
        return failed;
    }
    const auto level = load(args.positional[0]);
    if (!level)
        return failed;
    const SolveResult result = solveWithProgress(*level, options);
    const int status = report(*level, options, result);
    if (result.outcome != SolveResult::Outcome::Winnable)
        return status;

    const std::string out = args.has("--out") ? args.options.at("--out")
                                              : std::filesystem::path(level->path).stem().string() + ".solved.plan";
    const std::string text = planText(*level, options, result, out);
    if (out == "-") {
        std::cout << "\n" << text;
        return status;
    }
    std::ofstream file(out, std::ios::binary);
    file << text;
    if (!file.flush()) {
        std::cerr << "tindral-level: cannot write " << out << "\n";
        return failed;
    }
    std::cout << "  plan written to " << out << "\n";
    return status;
}

int drawPicture(const Arguments& args)
{
    if (const std::string why = whyNoPictures(); !why.empty()) {
        std::cerr << "tindral-level: " << why << "\n";
        return failed;
    }
    SolveOptions options;
    long cell = 24;
    if (args.positional.size() != 2 || (args.has("--plan") && args.has("--no-path")) ||
        !readSolveOptions(args, options) || !readNumber(args, "--cell", 8, 64, cell)) {
        std::cerr << usage;
        return failed;
    }
    const auto level = load(args.positional[0]);
    if (!level)
        return failed;
    const std::string out = args.positional[1];
    const std::string settings =
        " (difficulty " + std::to_string(options.difficulty) + ", " + std::to_string(options.framesPerSecond) + " fps)";

    std::vector<PathPoint> path;
    std::string caption;
    if (args.has("--plan")) {
        const Plan plan = readPlanFile(args.options.at("--plan"));
        for (const std::string& error : plan.errors)
            std::cerr << "tindral-level: " << args.options.at("--plan") << ": " << error << "\n";
        if (!plan.errors.empty())
            return failed;
        PlayedPlan played = playPlan(*level, plan.steps, frameStep(options.difficulty, options.framesPerSecond));
        const PlayResult& r = played.result;
        caption = std::filesystem::path(args.options.at("--plan")).filename().string() + ": " +
                  (r.won && r.deaths == 0 ? "won in " + fixed(r.seconds) + " s"
                   : r.won ? "won in " + fixed(r.seconds) + " s after " + std::to_string(r.deaths) + " deaths"
                           : "lost") +
                  settings;
        std::cout << "the plan " << r.describe() << "\n";
        path = std::move(played.path);
    } else if (!args.has("--no-path")) {
        const SolveResult result = solveWithProgress(*level, options);
        report(*level, options, result);
        if (result.outcome == SolveResult::Outcome::Winnable) {
            caption = "winnable in " + fixed(result.played.result.seconds) + " s, " +
                      std::to_string(result.lines.size()) + " steps" + settings;
            path = result.played.path;
        } else {
            caption = "no plan found" + settings;
        }
    }

    const Picture canvas = drawLevel(*level, path, caption, static_cast<int>(cell));
    std::string error;
    if (!canvas.savePng(out, error)) {
        std::cerr << "tindral-level: " << error << "\n";
        return failed;
    }
    std::cout << "wrote " << out << " (" << canvas.width() << " x " << canvas.height() << " pixels)\n";
    return fine;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "check") {
        const Arguments args = parseArguments(argc, argv, {}, {});
        if (args.positional.empty() || !args.error.empty()) {
            std::cerr << (args.error.empty() ? "" : "tindral-level: " + args.error + "\n") << usage;
            return failed;
        }
        return check(args.positional);
    }
    if (command == "solve") {
        const Arguments args = parseArguments(argc, argv, {"--difficulty", "--fps", "--out", "--max-tries"}, {});
        if (!args.error.empty()) {
            std::cerr << "tindral-level: " << args.error << "\n" << usage;
            return failed;
        }
        return solve(args);
    }
    if (command == "picture") {
        const Arguments args =
            parseArguments(argc, argv, {"--difficulty", "--fps", "--plan", "--cell", "--max-tries"}, {"--no-path"});
        if (!args.error.empty()) {
            std::cerr << "tindral-level: " << args.error << "\n" << usage;
            return failed;
        }
        return drawPicture(args);
    }
    if (command == "-h" || command == "--help" || command == "help") {
        std::cout << usage;
        return fine;
    }
    std::cerr << usage;
    return failed;
}
