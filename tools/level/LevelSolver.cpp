#include "tools/level/LevelSolver.h"

#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "tools/level/LevelCheck.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <queue>
#include <sstream>
#include <unordered_map>

namespace {

// A point of a plan: x across the level, d the distance into it (the world's z is -d).
struct Point {
    float x = 0.0f;
    float d = 0.0f;
};

Point centreOf(int cell)
{
    return {static_cast<float>(cell % 5) + 0.5f, static_cast<float>(cell / 5) + 0.5f};
}

std::string number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(value));
    return text;
}

// The flame is let come this close before a run over invisible cubes.
const std::string runGap = "2.4";

// One try of the search: a few plan steps played in one go.
struct Move {
    enum class Kind { Walk, Run, WaitRun, Jump, EdgeJump, Wait };
    Kind kind = Kind::Wait;
    Point target;
    Point edge;         // EdgeJump: where the hero takes off
    bool hurry = false; // EdgeJump: run to the edge (the hero stands on an invisible cube)

    std::vector<std::string> lines() const
    {
        const std::string to = number(target.x) + " " + number(target.d);
        switch (kind) {
        case Kind::Walk: return {"walk " + to};
        case Kind::Run: return {"run " + to};
        case Kind::WaitRun: return {"wait " + runGap, "run " + to};
        case Kind::Jump: return {"jump " + to};
        case Kind::EdgeJump:
            return {std::string(hurry ? "run " : "walk ") + number(edge.x) + " " + number(edge.d), "jump " + to};
        case Kind::Wait: return {"wait " + runGap};
        }
        return {};
    }

    // A small preference among ways to the same cell: plain walking first.
    float cost() const
    {
        switch (kind) {
        case Kind::Walk: return 0.0f;
        case Kind::Run: return 0.05f;
        case Kind::WaitRun: return 0.1f;
        case Kind::Jump: return 0.2f;
        case Kind::EdgeJump: return 0.25f;
        case Kind::Wait: return 0.5f;
        }
        return 0.0f;
    }
};

// A state of the search: the game at each frame rate the search plays, and the player's mood.
struct Node {
    std::vector<GameState> states;   // one a frame rate, the chosen rate first
    std::vector<PlanPlayer> players; // likewise
    int parent = -1;
    int depth = 0; // runs of steps from the start
    Move move;     // how the search got here from the parent
};

struct Candidate {
    float priority;
    long order;
    int node;
    Move move;

    // The queue's top is the lowest priority, the newest first among equals.
    bool operator<(const Candidate& other) const
    {
        if (priority != other.priority)
            return priority > other.priority;
        return order < other.order;
    }
};

// Two states alike in all but their meters: the same place, the same flame gap, the same
// invisible cubes fading or gone, the same walking mood of the player.
std::uint64_t stateKey(const Game& game, const PlanPlayer& player)
{
    const Hero& hero = game.hero();
    std::uint64_t key = 1469598103934665603ull;
    const auto mix = [&key](long value) {
        key ^= static_cast<std::uint64_t>(value) + 0x9e3779b97f4a7c15ull + (key << 6) + (key >> 2);
    };
    mix(std::lround(hero.position.x * 10.0f));
    mix(std::lround(hero.position.z * 10.0f));
    mix(std::lround(hero.position.y * 10.0f));
    mix(hero.onGround ? 1 : 0);
    mix(player.resting() ? 1 : 0);
    mix(std::lround((game.flame().position.z - hero.position.z) * 4.0f));
    for (std::size_t i = 0; i < game.invisCubes().size(); ++i) {
        const CubeInvis& cube = game.invisCubes()[i];
        if (cube.fading || cube.broken) {
            mix(static_cast<long>(i));
            mix(cube.broken ? -1 : std::lround(cube.transparency * 10.0f));
        }
    }
    return key;
}

// One game a frame rate, all playing the same steps.
struct Rate {
    int framesPerSecond;
    double step;
    std::unique_ptr<LevelSimulation> simulation;
};

class Search {
public:
    Search(const LevelFile& level, const SolveOptions& options, const SearchPass& pass)
        : level_(level), options_(options), pass_(pass)
    {
        for (int fps : ratesOf(options, pass))
            rates_.push_back({fps, frameStep(options.difficulty, fps), std::make_unique<LevelSimulation>(level)});
        const auto finish = level.finish();
        goal_ = finish->row * 5 + finish->column;
        way_ = wayToGoal(level.layout.grid, goal_);
        invisible_.assign(level.layout.grid.size(), false);
        for (const LevelCell& cell : level.cells)
            if (cell.kind == CellKind::Invisible)
                invisible_[static_cast<std::size_t>(cell.row * 5 + cell.column)] = true;
        progress_.rows = level.rows();
    }

    SolveResult run()
    {
        const auto began = std::chrono::steady_clock::now();
        auto reported = began;
        std::vector<PlanPlayer> first;
        for (Rate& rate : rates_) {
            first.emplace_back(rate.simulation->game(), rate.step);
            first.back().retryAfterDeath = false;
        }
        addNode(-1, Move{}, first);

        SolveResult result;
        while (!open_.empty()) {
            const auto now = std::chrono::steady_clock::now();
            progress_.seconds = std::chrono::duration<double>(now - began).count();
            if (options_.progress && now - reported > std::chrono::milliseconds(250)) {
                reported = now;
                options_.progress(progress_);
            }
            if (progress_.tried >= options_.maxTried) {
                result.outcome = SolveResult::Outcome::BudgetSpent;
                break;
            }
            const Candidate candidate = open_.top();
            open_.pop();
            if (tryMove(candidate) && verify(candidate, result)) {
                result.outcome = SolveResult::Outcome::Winnable;
                break;
            }
        }
        progress_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        result.search = progress_;
        if (result.outcome == SolveResult::Outcome::Exhausted && failedChecks_ > 0) {
            result.outcome = SolveResult::Outcome::Unplayable;
            result.why = "the search reached the finish " + std::to_string(failedChecks_) +
                         " times, but no such plan won when played again from the start";
        }
        return result;
    }

private:
    Game& game() { return rates_.front().simulation->game(); }
    const Game& game() const { return rates_.front().simulation->game(); }

    // Plays a candidate from its state at every rate; true if it reached the finish at all of
    // them. A move that lives on at all of them and reaches a new state becomes a node with
    // candidates of its own.
    bool tryMove(const Candidate& candidate)
    {
        ++progress_.tried;
        const Plan plan = planOf(candidate.move.lines());
        std::vector<PlanPlayer> players;
        int wins = 0;
        for (std::size_t i = 0; i < rates_.size(); ++i) {
            const Node& from = nodes_[static_cast<std::size_t>(candidate.node)];
            rates_[i].simulation->restore(from.states[i]);
            players.push_back(from.players[i]);
            const PlayResult played = players.back().play(plan.steps, moveTimeLimit);
            if (played.peakMeter >= pass_.meterLimit || played.deaths > 0)
                return false;
            if (played.won)
                ++wins;
            else if (played.seconds >= moveTimeLimit)
                return false;
        }
        if (wins > 0) // a plan that wins at some rates only is no plan
            return wins == static_cast<int>(rates_.size());
        addNode(candidate.node, candidate.move, players);
        return false;
    }

    void addNode(int parent, const Move& move, const std::vector<PlanPlayer>& players)
    {
        const Hero& hero = game().hero();
        float fullest = 0.0f;
        for (const Rate& rate : rates_)
            fullest =
                std::max({fullest, rate.simulation->game().hero().nearMeter, rate.simulation->game().hero().farMeter});
        auto& seen = seen_[stateKey(game(), players.front())];
        for (const auto& [nearMeter, farMeter] : seen)
            if (nearMeter <= hero.nearMeter + 0.01f && farMeter <= hero.farMeter + 0.01f)
                return; // reached before with meters no fuller
        seen.push_back({hero.nearMeter, hero.farMeter});

        Node node;
        for (const Rate& rate : rates_)
            node.states.push_back(rate.simulation->save());
        node.players = std::vector<PlanPlayer>(players); // built, as a player cannot be assigned
        node.parent = parent;
        node.depth = parent < 0 ? 0 : nodes_[static_cast<std::size_t>(parent)].depth + 1;
        node.move = move;
        nodes_.push_back(std::move(node));
        ++progress_.states;
        const int row = static_cast<int>(std::floor(-hero.position.z));
        progress_.furthestRow = std::max(progress_.furthestRow, std::min(row + 1, progress_.rows));
        addCandidates(static_cast<int>(nodes_.size()) - 1, fullest);
    }

    int height(int row, int column) const
    {
        if (column < 0 || column > 4 || row < 0)
            return 0;
        return cellHeight(game().grid(), row * 5 + column);
    }

    // Whether the hero walks from one cell to the other along a straight line of cells, with
    // no gap and no step up on the way.
    bool walkable(int row, int column, int toRow, int toColumn) const
    {
        if (row != toRow && column != toColumn)
            return false;
        const int dr = (toRow > row) - (toRow < row), dc = (toColumn > column) - (toColumn < column);
        int h = height(row, column);
        while (row != toRow || column != toColumn) {
            row += dr;
            column += dc;
            const int next = height(row, column);
            if (next == 0 || next > h)
                return false;
            h = next;
        }
        return true;
    }

    float score(int cell) const
    {
        const int way = way_[static_cast<std::size_t>(cell)];
        if (way >= 0)
            return static_cast<float>(way);
        return 1000.0f + static_cast<float>(std::abs(cell / 5 - goal_ / 5) + std::abs(cell % 5 - goal_ % 5));
    }

    void push(int node, const Move& move, int targetCell, float penalty)
    {
        open_.push({score(targetCell) + move.cost() + penalty, order_++, node, move});
    }

    void addCandidates(int nodeIndex, float fullestMeter)
    {
        const Hero& hero = game().hero();
        const Point here{hero.position.x, -hero.position.z};
        const int column = static_cast<int>(std::floor(here.x));
        const int row = static_cast<int>(std::floor(here.d));
        const int h = height(row, column);
        if (h == 0 || column < 0 || column > 4)
            return;
        const int cell = row * 5 + column;
        const bool onInvisible = invisible_[static_cast<std::size_t>(cell)];
        // Fuller meters leave less room for what comes, and a longer plan is harder to follow:
        // such states are tried later.
        const float penalty =
            2.0f * fullestMeter + 0.25f * static_cast<float>(nodes_[static_cast<std::size_t>(nodeIndex)].depth);

        Move wait;
        push(nodeIndex, wait, cell, penalty);

        const int directions[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}}; // (rows, columns)
        for (const auto& direction : directions) {
            const int dr = direction[0], dc = direction[1];
            // Walks and runs along a straight line of cells, as far as it goes without a gap
            // or a step up.
            bool overInvisible = false;
            for (int k = 1; k <= 8; ++k) {
                const int r = row + k * dr, c = column + k * dc;
                if (!walkable(row + (k - 1) * dr, column + (k - 1) * dc, r, c))
                    break;
                const int target = r * 5 + c;
                overInvisible = overInvisible || invisible_[static_cast<std::size_t>(target)];
                Move move;
                move.target = centreOf(target);
                if (onInvisible) {
                    move.kind = Move::Kind::Run;
                    push(nodeIndex, move, target, penalty);
                } else if (overInvisible) {
                    move.kind = Move::Kind::Run;
                    push(nodeIndex, move, target, penalty);
                    move.kind = Move::Kind::WaitRun;
                    push(nodeIndex, move, target, penalty);
                } else {
                    move.kind = Move::Kind::Walk;
                    push(nodeIndex, move, target, penalty);
                }
            }
            // Jumps to the cells ahead in this direction, and beside them, as far as a jump
            // carries, where walking does not get there.
            for (int along = 1; along <= jumpClears(-4) + 1; ++along) {
                for (int across = -1; across <= 1; ++across) {
                    const int r = row + along * dr + across * dc, c = column + along * dc + across * dr;
                    const int targetHeight = height(r, c);
                    const int target = r * 5 + c;
                    if (targetHeight == 0 || targetHeight > h + 1 || along - 1 > jumpClears(targetHeight - h))
                        continue;
                    const bool walks =
                        walkable(row, column, r, c) || (walkable(row, column, r - across * dc, c - across * dr) &&
                                                        walkable(r - across * dc, c - across * dr, r, c));
                    if (walks)
                        continue;
                    Move move;
                    move.kind = Move::Kind::Jump;
                    move.target = centreOf(target);
                    push(nodeIndex, move, target, penalty);
                    // The same jump from near the edge of the cell, and from its very edge.
                    for (float inset : {0.2f, 0.1f}) {
                        Point edge = here;
                        if (dr != 0)
                            edge.d = static_cast<float>(row) + (dr > 0 ? 1.0f - inset : inset);
                        else
                            edge.x = static_cast<float>(column) + (dc > 0 ? 1.0f - inset : inset);
                        if (std::fabs(edge.x - here.x) + std::fabs(edge.d - here.d) < 0.05f)
                            continue;
                        move.kind = Move::Kind::EdgeJump;
                        move.edge = edge;
                        move.hurry = onInvisible;
                        push(nodeIndex, move, target, penalty + (inset < 0.15f ? 0.05f : 0.0f));
                    }
                }
            }
        }
    }

    static Plan planOf(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\n";
        std::istringstream in(text);
        return readPlan(in);
    }

    std::vector<std::string> linesTo(const Candidate& last) const
    {
        std::vector<std::vector<std::string>> moves{last.move.lines()};
        for (int node = last.node; nodes_[static_cast<std::size_t>(node)].parent >= 0;
             node = nodes_[static_cast<std::size_t>(node)].parent)
            moves.push_back(nodes_[static_cast<std::size_t>(node)].move.lines());
        std::vector<std::string> lines;
        for (auto move = moves.rbegin(); move != moves.rend(); ++move)
            lines.insert(lines.end(), move->begin(), move->end());
        return lines;
    }

    // The plan is played once more on a fresh game at every rate, as the player test plays it.
    bool verify(const Candidate& last, SolveResult& result)
    {
        const std::vector<std::string> lines = linesTo(last);
        const Plan plan = planOf(lines);
        std::vector<PlayedPlan> played;
        for (const Rate& rate : rates_) {
            played.push_back(playPlan(level_, plan.steps, rate.step));
            const PlayResult& outcome = played.back().result;
            if (!outcome.won || outcome.deaths > 0 || outcome.peakMeter >= pass_.meterLimit) {
                ++failedChecks_;
                // The games this search plays on have moved on to another level: build them again.
                for (Rate& again : rates_)
                    again.simulation->game().loadLevel(level_.layout, LevelSimulation::levelNumber);
                return false;
            }
        }
        result.lines = lines;
        result.played = std::move(played.front());
        for (const Rate& rate : rates_)
            result.holdsAt.push_back(rate.framesPerSecond);
        return true;
    }

    static constexpr double moveTimeLimit = 40.0; // game seconds for one try

    const LevelFile& level_;
    const SolveOptions& options_;
    const SearchPass pass_;
    std::vector<Rate> rates_;
    int goal_ = 0;
    std::vector<int> way_;
    std::vector<bool> invisible_;
    std::vector<Node> nodes_;
    std::priority_queue<Candidate> open_;
    std::unordered_map<std::uint64_t, std::vector<std::pair<float, float>>> seen_;
    long order_ = 0;
    long failedChecks_ = 0;
    SolveProgress progress_;
};

SolveProgress sum(const SolveProgress& a, const SolveProgress& b)
{
    SolveProgress total = b;
    total.tried = a.tried + b.tried;
    total.states = a.states + b.states;
    total.seconds = a.seconds + b.seconds;
    total.furthestRow = std::max(a.furthestRow, b.furthestRow);
    return total;
}

} // namespace

SolveResult solveLevel(const LevelFile& level, const SolveOptions& options)
{
    if (!level.finish()) {
        SolveResult result;
        result.outcome = SolveResult::Outcome::Exhausted;
        result.why = "the level has no finish";
        result.search.rows = level.rows();
        return result;
    }
    // One search a pass. Each may spend its share of what is left of the budget, so that the
    // last, widest pass always gets its turn; what a pass leaves goes on to the next.
    SolveResult result;
    SolveProgress spent;
    spent.rows = level.rows();
    bool budgetSpent = false;
    for (std::size_t i = 0; i < options.passes.size(); ++i) {
        const SearchPass& pass = options.passes[i];
        const long passesLeft = static_cast<long>(options.passes.size() - i);
        SolveOptions share = options;
        share.maxTried = (options.maxTried - spent.tried) / passesLeft;
        if (options.progress)
            share.progress = [&](SolveProgress p) { options.progress(sum(spent, p)); };
        result = Search(level, share, pass).run();
        result.pass = pass;
        spent = sum(spent, result.search);
        result.search = spent;
        budgetSpent = budgetSpent || result.outcome == SolveResult::Outcome::BudgetSpent;
        if (result.outcome == SolveResult::Outcome::Winnable || result.outcome == SolveResult::Outcome::Unplayable)
            return result;
    }
    // No pass found a plan: the space is exhausted only if every pass exhausted it.
    result.outcome = budgetSpent ? SolveResult::Outcome::BudgetSpent : SolveResult::Outcome::Exhausted;
    return result;
}

// A machine so loaded that it draws a few frames a second must not cost a plan its win.
constexpr int loadedMachineRates[] = {2, 3, 5, 10};

std::vector<int> ratesOf(const SolveOptions& options, const SearchPass& pass)
{
    std::vector<int> rates{options.framesPerSecond};
    if (!pass.otherRates)
        return rates;
    std::vector<int> others{options.framesPerSecond / 2, options.framesPerSecond * 12 / 5};
    others.insert(others.end(), std::begin(loadedMachineRates), std::end(loadedMachineRates));
    for (int fps : others)
        if (fps >= 2 && std::find(rates.begin(), rates.end(), fps) == rates.end())
            rates.push_back(fps);
    return rates;
}

std::string frameRateList(std::vector<int> rates)
{
    std::sort(rates.begin(), rates.end());
    std::string list;
    for (std::size_t i = 0; i < rates.size(); ++i)
        list += (i == 0 ? "" : i + 1 == rates.size() ? " and " : ", ") + std::to_string(rates[i]);
    return list;
}

std::string planText(const LevelFile& level, const SolveOptions& options, const SolveResult& result,
                     const std::string& out)
{
    std::ostringstream text;
    char time[32];
    std::snprintf(time, sizeof time, "%.1f", result.played.result.seconds);
    text << "# " << level.path << ", solved by tindral-level at difficulty " << options.difficulty << ", "
         << options.framesPerSecond << " frames a second:\n";
    text << "# " << result.lines.size() << " steps, " << time << " s of game time";
    if (result.holdsAt.size() > 1)
        text << "; it holds at " << frameRateList(result.holdsAt) << " frames a second";
    text << ". Written by\n";
    text << "#   tindral-level solve " << level.path << " --difficulty " << options.difficulty << " --fps "
         << options.framesPerSecond << " --out " << out << "\n";
    for (const std::string& line : result.lines)
        text << line << "\n";
    return text.str();
}
