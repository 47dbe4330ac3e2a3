// How long the solver takes, side by side with a general SAT solver (CaDiCaL)
// on the same figures, in the same run on the same machine.
//
// The figures: every shipped figure, then random compact figures of 64 cells
// grown from a fixed seed, then any shape files named on the command line. One
// line each: name, our verdict, our milliseconds, our search nodes, CaDiCaL's
// verdict and milliseconds, and the ratio CaDiCaL / ours. Then a summary: for
// both solvers the decided count, median, 90th percentile and worst time, and
// the ratio per figure (its median, and its minimum: the figure where we are
// closest).
//
//   solver_bench [options] [shape files...]
//     --count N        random grown figures (default 300)
//     --seed S         seed of the figure generator (default 1)
//     --limit SECONDS  CaDiCaL's time limit per figure, whole seconds (default
//                      60); past it CaDiCaL counts as undecided
//     --no-cadical     run only our solver
//     --rising         grow figures with rising diagonals only, as the shape
//                      generator draws them until the user turns a diagonal
//
// Our time: each figure is solved three times with the same seed (the same
// work) and the fastest run counts, so that other processes matter less.
// CaDiCaL's time: one run of /usr/bin/cadical (Debian package cadical), wall
// clock from starting the process to its end, so it includes starting the
// program and reading the CNF file (a few milliseconds); writing the file does
// not count. An undecided run counts with the time it used (the limit) in the
// medians and ratios, which favours CaDiCaL.
//
// The CNF, written into a temporary folder, one file per figure:
//   - x(c, p) for every cell c and piece code p: cell c holds piece p;
//   - exactly one piece per cell and exactly one cell per piece: one clause
//     "at least one" each, and "at most one" as a sequential counter (Sinz
//     2005: 3n - 4 clauses and n - 1 counter variables for n literals);
//   - a colour variable per cell and half-edge bit k (true = black), tied to the
//     pieces: x(c, p) -> colour(c, k) == bit k of p;
//   - the halves of every shared edge equal in pairs, the pairs taken from
//     PiecesMatch itself (and checked against it on all 64 x 64 pieces);
//   - the halves on the border black.
// Every satisfying assignment is decoded into a board that BoardKeepsRules must
// accept, and where both solvers decide, their verdicts must agree. Either
// failure is a bug: the program stops at once, says why, and keeps the CNF.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "files/shape_file.h"
#include "model/piece.h"
#include "model/rules.h"
#include "model/solver.h"
#include "tools/shipped_figures.h"

using namespace murlen;

namespace {

// A small seedable generator, so that the random figures are the same on every run.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return int(Next() % std::uint64_t(n)); }

private:
    std::uint64_t state_;
};

// One half of a grid square.
struct Half {
    int x = 0;
    int y = 0;
    bool falling = false;
    int half = 1;
};

// The half of square (x, y) with the given diagonal that contains the square's
// side facing direction (dx, dy): the top side is always in half 1, the bottom
// side in half 2, the left side in half 1 of a rising and half 2 of a falling
// square, the right side the other way round.
int HalfWithSide(bool falling, int dx, int dy) {
    if (dy < 0) return 1;
    if (dy > 0) return 2;
    if (dx < 0) return falling ? 2 : 1;
    return falling ? 1 : 2;
}

// The square sides that belong to a half, as directions.
std::vector<std::array<int, 2>> SidesOf(bool falling, int half) {
    if (!falling) return half == 1 ? std::vector<std::array<int, 2>>{{0, -1}, {-1, 0}}
                                   : std::vector<std::array<int, 2>>{{0, 1}, {1, 0}};
    return half == 1 ? std::vector<std::array<int, 2>>{{0, -1}, {1, 0}}
                     : std::vector<std::array<int, 2>>{{0, 1}, {-1, 0}};
}

// Grows a figure of 64 cells from the middle of the grid, one cell at a time.
// A cell that would touch the figure along two or three edges is much more
// likely to be taken than one touching along one, which keeps the figure compact
// (few holes and spikes), like figures people draw.
ShapeGrid GrowFigure(Random& random, bool risingOnly) {
    ShapeGrid grid;
    std::array<std::array<bool, kGridSquares>, kGridSquares> decided{};  // the diagonal is fixed
    auto add = [&](const Half& cell) {
        grid.Diagonal(cell.x, cell.y) = cell.falling ? -1 : 0;
        decided[std::size_t(cell.x)][std::size_t(cell.y)] = true;
        grid.Cell(cell.x, cell.y, cell.half) = -1;
        ++grid.placedCount;
    };
    auto inside = [](int x, int y) { return x >= 0 && y >= 0 && x < kGridSquares && y < kGridSquares; };
    auto placed = [&](int x, int y, bool falling, int half) {
        return inside(x, y) && decided[std::size_t(x)][std::size_t(y)] && grid.Falling(x, y) == falling &&
               grid.Placed(x, y, half);
    };
    // Edges the cell would share with the figure.
    auto shared = [&](const Half& c) {
        int count = placed(c.x, c.y, c.falling, 3 - c.half) ? 1 : 0;
        for (const auto& side : SidesOf(c.falling, c.half)) {
            const int nx = c.x + side[0], ny = c.y + side[1];
            if (!inside(nx, ny) || !decided[std::size_t(nx)][std::size_t(ny)]) continue;
            const bool nf = grid.Falling(nx, ny);
            if (grid.Placed(nx, ny, HalfWithSide(nf, -side[0], -side[1]))) ++count;
        }
        return count;
    };

    add({kGridSquares / 2, kGridSquares / 2, !risingOnly && random.Below(2) == 1, 1 + random.Below(2)});
    while (grid.placedCount < kCellCount) {
        std::vector<Half> candidates;
        std::vector<int> weights;
        auto consider = [&](const Half& c) {
            if (!inside(c.x, c.y) || grid.Placed(c.x, c.y, c.half)) return;
            const bool squareDecided = decided[std::size_t(c.x)][std::size_t(c.y)];
            if (squareDecided && grid.Falling(c.x, c.y) != c.falling) return;
            if (risingOnly && c.falling) return;
            constexpr int kWeightBySharedEdges[] = {0, 1, 12, 60};
            candidates.push_back(c);
            weights.push_back(kWeightBySharedEdges[shared(c)]);
        };
        for (int x = 0; x < kGridSquares; ++x) {
            for (int y = 0; y < kGridSquares; ++y) {
                if (!decided[std::size_t(x)][std::size_t(y)]) continue;
                const bool falling = grid.Falling(x, y);
                for (int half = 1; half <= 2; ++half) {
                    if (!grid.Placed(x, y, half)) continue;
                    consider({x, y, falling, 3 - half});
                    for (const auto& side : SidesOf(falling, half)) {
                        const int nx = x + side[0], ny = y + side[1];
                        for (const bool nf : {false, true})
                            consider({nx, ny, nf, HalfWithSide(nf, -side[0], -side[1])});
                    }
                }
            }
        }
        int total = 0;
        for (int w : weights) total += w;
        int pick = random.Below(total);
        std::size_t chosen = 0;
        while (pick >= weights[chosen]) pick -= weights[chosen++];
        add(candidates[chosen]);
    }
    return grid;
}


// Stops the program on something that can only be a bug, and says why.
[[noreturn]] void Fail(const std::string& why) {
    std::fflush(stdout);
    std::fprintf(stderr, "\nSOLVER BENCH FAILURE: %s\n", why.c_str());
    std::exit(2);
}

// Pool index 1..64 of a piece code 0..63 (code 0 is pool piece 64).
int PoolIndexOf(int code) { return code == 0 ? kPieceCount : code; }

constexpr std::array<int, 3> kEdgeMaskOfSlot{kEdgeP1P2, kEdgeP2P3, kEdgeP1P3};

// ---- The CNF ----

// DIMACS variables count from 1: first x(c, p), then the colours, then the
// counter variables of the "at most one" constraints.
int PieceVar(int cell, int code) { return (cell - 1) * 64 + code + 1; }           // 1..4096
int ColourVar(int cell, int bit) { return 64 * 64 + (cell - 1) * 6 + bit + 1; }  // 4097..4480
constexpr int kFirstFreeVar = 64 * 64 + 64 * 6 + 1;

class Cnf {
public:
    int NewVar() { return nextVar_++; }
    void Add(std::initializer_list<int> literals) {
        for (int literal : literals) body_ += std::to_string(literal) + ' ';
        body_ += "0\n";
        ++clauseCount_;
    }
    void Add(const std::vector<int>& literals) {
        for (int literal : literals) body_ += std::to_string(literal) + ' ';
        body_ += "0\n";
        ++clauseCount_;
    }
    std::string Text() const {
        return "p cnf " + std::to_string(nextVar_ - 1) + ' ' + std::to_string(clauseCount_) + '\n' + body_;
    }

private:
    int nextVar_ = kFirstFreeVar;
    int clauseCount_ = 0;
    std::string body_;
};

// Exactly one of the literals: one clause for "at least one", and the
// sequential counter for "at most one", where s[i] means "one of x[0..i] is
// true".
void AddExactlyOne(Cnf& cnf, const std::vector<int>& x) {
    cnf.Add(x);
    const std::size_t n = x.size();
    std::vector<int> s(n - 1);
    for (int& var : s) var = cnf.NewVar();
    cnf.Add({-x[0], s[0]});
    for (std::size_t i = 1; i + 1 < n; ++i) {
        cnf.Add({-x[i], s[i]});
        cnf.Add({-s[i - 1], s[i]});
        cnf.Add({-x[i], -s[i - 1]});
    }
    cnf.Add({-x[n - 1], -s[n - 2]});
}

// The pairs of halves that PiecesMatch compares across one neighbour slot:
// (bit in the cell's piece, bit in the neighbour's piece). Taken from
// PiecesMatch itself by asking it about pieces with one black half each: a
// half of the cell's piece agrees with exactly one half of a single-half piece.
using HalfPairs = std::vector<std::pair<int, int>>;
HalfPairs MatchedHalves(int slot, int slotValue) {
    HalfPairs pairs;
    for (int bitP = 0; bitP < 6; ++bitP) {
        if ((kEdgeMaskOfSlot[std::size_t(slot)] & (1 << bitP)) == 0) continue;
        for (int bitQ = 0; bitQ < 6; ++bitQ)
            if (PiecesMatch(slot, slotValue, 1 << bitP, 1 << bitQ)) pairs.emplace_back(bitP, bitQ);
    }
    return pairs;
}

// Checks that the pairs reproduce PiecesMatch on every pair of pieces, for
// every slot with and without the same-edge flag, so that the CNF's edges are
// exactly the game's.
void CheckMatchedHalves() {
    for (int slot = 0; slot < 3; ++slot) {
        for (int flag : {0, kSameEdgeFlag}) {
            const int slotValue = flag + 1;
            const HalfPairs pairs = MatchedHalves(slot, slotValue);
            if (pairs.size() != 2 || pairs[0].second == pairs[1].second)
                Fail("PiecesMatch does not pair two halves with two halves on slot " + std::to_string(slot));
            for (int p = 0; p < 64; ++p) {
                for (int q = 0; q < 64; ++q) {
                    bool agree = true;
                    for (const auto& [bitP, bitQ] : pairs) agree = agree && ((p >> bitP) & 1) == ((q >> bitQ) & 1);
                    if (agree != PiecesMatch(slot, slotValue, PoolIndexOf(p), PoolIndexOf(q)))
                        Fail("the half pairs of slot " + std::to_string(slot) + " differ from PiecesMatch");
                }
            }
        }
    }
}

std::string FigureCnf(const CellArray<NeighbourSlots>& neighbours) {
    Cnf cnf;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        std::vector<int> pieces;
        for (int code = 0; code < 64; ++code) pieces.push_back(PieceVar(cell, code));
        AddExactlyOne(cnf, pieces);
    }
    for (int code = 0; code < 64; ++code) {
        std::vector<int> cells;
        for (int cell = 1; cell <= kCellCount; ++cell) cells.push_back(PieceVar(cell, code));
        AddExactlyOne(cnf, cells);
    }
    for (int cell = 1; cell <= kCellCount; ++cell) {
        for (int code = 0; code < 64; ++code) {
            for (int bit = 0; bit < 6; ++bit) {
                const int colour = ((code >> bit) & 1) != 0 ? ColourVar(cell, bit) : -ColourVar(cell, bit);
                cnf.Add({-PieceVar(cell, code), colour});
            }
        }
    }
    for (int cell = 1; cell <= kCellCount; ++cell) {
        for (int slot = 0; slot < 3; ++slot) {
            const int value = neighbours[cell][std::size_t(slot)];
            if (value == 0) {
                for (int bit = 0; bit < 6; ++bit)
                    if ((kEdgeMaskOfSlot[std::size_t(slot)] & (1 << bit)) != 0) cnf.Add({ColourVar(cell, bit)});
                continue;
            }
            // Each shared edge is seen from both of its cells, as BoardKeepsRules
            // checks it; the second time adds the same equalities again.
            const int other = NeighbourCell(value);
            for (const auto& [bitP, bitQ] : MatchedHalves(slot, value)) {
                cnf.Add({-ColourVar(cell, bitP), ColourVar(other, bitQ)});
                cnf.Add({ColourVar(cell, bitP), -ColourVar(other, bitQ)});
            }
        }
    }
    return cnf.Text();
}

// ---- Running CaDiCaL ----

constexpr const char* kCadical = "/usr/bin/cadical";

enum class Answer { Solved, Unsolvable, Undecided };

const char* AnswerName(Answer answer) {
    switch (answer) {
        case Answer::Solved: return "solved";
        case Answer::Unsolvable: return "unsolvable";
        case Answer::Undecided: return "undecided";
    }
    return "?";
}

struct CadicalRun {
    Answer answer = Answer::Undecided;
    double ms = 0;
    CellArray<std::int16_t> board;  // only for Solved: pool indexes 1..64
};

// SIGCHLD stays blocked in this process, so that the wait for CaDiCaL can sleep
// in sigtimedwait until the child ends or the time is up.
sigset_t ChildSignal() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGCHLD);
    return set;
}

// Runs CaDiCaL on the CNF file with its own wall clock limit (-t), and kills it
// five seconds after the limit should it not stop by itself. Its output (the
// result line and the model) goes to `outputPath`.
CadicalRun RunCadical(const std::filesystem::path& cnfPath, const std::filesystem::path& outputPath,
                      int limitSeconds) {
    const sigset_t childSignal = ChildSignal();
    const std::string limitText = std::to_string(limitSeconds);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) Fail(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        sigprocmask(SIG_UNBLOCK, &childSignal, nullptr);
        const int fd = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) _exit(126);
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        close(fd);
        execl(kCadical, "cadical", "-q", "-t", limitText.c_str(), cnfPath.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto deadline = start + std::chrono::seconds(limitSeconds + 5);
    int status = 0;
    bool killed = false;
    while (true) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0) Fail(std::string("waitpid: ") + std::strerror(errno));
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            killed = true;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now).count();
        timespec wait{};
        wait.tv_sec = std::min<long long>(left / 1'000'000'000, 1);
        wait.tv_nsec = wait.tv_sec >= 1 ? 0 : long(left % 1'000'000'000);
        sigtimedwait(&childSignal, nullptr, &wait);
    }
    const auto end = std::chrono::steady_clock::now();

    CadicalRun run;
    run.ms = std::chrono::duration<double, std::milli>(end - start).count();
    if (killed) return run;
    if (!WIFEXITED(status)) Fail("CaDiCaL ended by a signal on " + cnfPath.string());
    const int code = WEXITSTATUS(status);
    if (code == 126 || code == 127) Fail("could not start " + std::string(kCadical));

    // The result line says the same as the exit code (10 SAT, 20 UNSAT, 0 unknown).
    std::ifstream output(outputPath);
    std::string line;
    std::string resultLine;
    std::vector<int> trueVars;
    while (std::getline(output, line)) {
        if (line.rfind("s ", 0) == 0) resultLine = line;
        if (line.rfind("v ", 0) != 0) continue;
        std::istringstream literals(line.substr(2));
        int literal = 0;
        while (literals >> literal)
            if (literal > 0) trueVars.push_back(literal);
    }
    if (code == 20 && resultLine == "s UNSATISFIABLE") {
        run.answer = Answer::Unsolvable;
        return run;
    }
    if (code != 10 || resultLine != "s SATISFIABLE") {
        if (code != 0) Fail("CaDiCaL exit code " + std::to_string(code) + " with \"" + resultLine + "\"");
        return run;  // unknown: out of time
    }
    run.answer = Answer::Solved;
    run.board.Fill(0);
    for (int var : trueVars) {
        if (var > 64 * 64) continue;
        const int cell = (var - 1) / 64 + 1;
        const int code = (var - 1) % 64;
        if (run.board[cell] != 0) Fail("the model puts two pieces on cell " + std::to_string(cell));
        run.board[cell] = std::int16_t(PoolIndexOf(code));
    }
    return run;
}

// ---- The corpus and the report ----

struct Figure {
    std::string name;
    CellArray<Triangle> points;
};

struct Row {
    std::string name;
    SolveResult ours;
    double oursMs = 0;
    bool cadicalRan = false;
    CadicalRun cadical;
};

const char* VerdictName(const SolveResult& result) {
    switch (result.verdict) {
        case SolveVerdict::Solved: return "solved";
        case SolveVerdict::Undecided: return "undecided";
        case SolveVerdict::Unsolvable: break;
    }
    return result.reason == UnsolvableReason::NoSolution ? "unsolvable (search)" : "unsolvable (counts)";
}

Answer AnswerOf(const SolveResult& result) {
    switch (result.verdict) {
        case SolveVerdict::Solved: return Answer::Solved;
        case SolveVerdict::Unsolvable: return Answer::Unsolvable;
        case SolveVerdict::Undecided: break;
    }
    return Answer::Undecided;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t index = std::size_t(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void PrintTimes(const char* solver, int decided, std::size_t total, const std::vector<double>& ms) {
    std::printf("%-8s %4d / %-4zu %12.3f %12.3f %12.3f\n", solver, decided, total, Percentile(ms, 0.5),
                Percentile(ms, 0.9), Percentile(ms, 1.0));
}

[[noreturn]] void Usage(const char* problem) {
    std::fprintf(stderr,
                 "%s\nusage: solver_bench [--count N] [--seed S] [--limit SECONDS] [--no-cadical] [--rising] "
                 "[shape files...]\n",
                 problem);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    int randomCount = 300;
    std::uint64_t figureSeed = 1;
    int limitSeconds = 60;
    bool useCadical = true;
    bool risingOnly = false;
    std::vector<std::string> shapeFiles;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--count" && hasValue) {
            randomCount = std::atoi(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            figureSeed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--limit" && hasValue) {
            limitSeconds = std::atoi(argv[++i]);
            if (limitSeconds < 1) Usage("the limit must be at least one second");
        } else if (arg == "--no-cadical") {
            useCadical = false;
        } else if (arg == "--rising") {
            risingOnly = true;
        } else if (arg.rfind("--", 0) == 0) {
            Usage(("unknown option or missing value: " + arg).c_str());
        } else {
            shapeFiles.push_back(arg);
        }
    }
    if (useCadical && access(kCadical, X_OK) != 0)
        Usage("no /usr/bin/cadical: install the Debian package cadical (scripts/setup.sh), or pass --no-cadical");

    std::vector<Figure> figures;
    for (const tools::ShippedFigure& shipped : tools::ShippedFigures())
        figures.push_back({shipped.name, tools::FigurePointsOf(*tools::GridFromDrawing(shipped.drawing))});
    Random random(figureSeed);
    for (int i = 1; i <= randomCount; ++i)
        figures.push_back({"grown-" + std::to_string(i), tools::FigurePointsOf(GrowFigure(random, risingOnly))});
    for (const std::string& path : shapeFiles) {
        const ReadResult<FigureData> read = ReadShapeFileForPlay(path);
        if (!read.ok()) {
            std::fprintf(stderr, "%s: not a shape file the game can play (problem %d, line %d)\n", path.c_str(),
                         int(read.problem), read.line);
            return 1;
        }
        figures.push_back({std::filesystem::path(path).stem().string(), read.value->points});
    }

    CheckMatchedHalves();
    const sigset_t childSignal = ChildSignal();
    sigprocmask(SIG_BLOCK, &childSignal, nullptr);
    std::string folderTemplate = (std::filesystem::temp_directory_path() / "solver_bench-XXXXXX").string();
    if (useCadical && mkdtemp(folderTemplate.data()) == nullptr) Fail("cannot create a temporary folder");
    const std::filesystem::path folder = folderTemplate;

    std::printf("%-12s %-20s %10s %10s", "figure", "ours", "ms", "nodes");
    if (useCadical) std::printf("   %-10s %10s %10s", "CaDiCaL", "ms", "ratio");
    std::printf("\n");
    std::vector<Row> rows;
    for (std::size_t index = 0; index < figures.size(); ++index) {
        const Figure& figure = figures[index];
        const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(figure.points);
        Row row;
        row.name = figure.name;
        row.oursMs = 1e300;
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto start = std::chrono::steady_clock::now();
            row.ours = SolveFigure(figure.points);
            const auto end = std::chrono::steady_clock::now();
            row.oursMs = std::min(row.oursMs, std::chrono::duration<double, std::milli>(end - start).count());
        }
        if (row.ours.verdict == SolveVerdict::Solved && !BoardKeepsRules(neighbours, row.ours.board))
            Fail("our solved board of " + figure.name + " breaks a rule");

        if (useCadical) {
            const std::filesystem::path cnfPath = folder / ("figure-" + std::to_string(index + 1) + ".cnf");
            const std::filesystem::path outputPath = folder / ("figure-" + std::to_string(index + 1) + ".out");
            std::ofstream(cnfPath) << FigureCnf(neighbours);
            row.cadicalRan = true;
            row.cadical = RunCadical(cnfPath, outputPath, limitSeconds);
            const std::string keep = " (CNF kept: " + cnfPath.string() + ")";
            if (row.cadical.answer == Answer::Solved && !BoardKeepsRules(neighbours, row.cadical.board))
                Fail("CaDiCaL's model of " + figure.name + " decodes into a board that breaks a rule" + keep);
            const Answer ours = AnswerOf(row.ours);
            if (ours != Answer::Undecided && row.cadical.answer != Answer::Undecided && ours != row.cadical.answer)
                Fail("the verdicts on " + figure.name + " disagree: ours " + AnswerName(ours) + ", CaDiCaL " +
                     AnswerName(row.cadical.answer) + keep);
            std::filesystem::remove(cnfPath);
            std::filesystem::remove(outputPath);
        }

        std::printf("%-12s %-20s %10.3f %10llu", row.name.c_str(), VerdictName(row.ours), row.oursMs,
                    static_cast<unsigned long long>(row.ours.nodes));
        if (row.cadicalRan) {
            const bool atLeast = row.cadical.answer == Answer::Undecided;
            std::printf("   %-10s %10.3f %s%9.1f", AnswerName(row.cadical.answer), row.cadical.ms, atLeast ? ">" : " ",
                        row.cadical.ms / row.oursMs);
        }
        std::printf("\n");
        std::fflush(stdout);
        rows.push_back(row);
    }
    if (useCadical) std::filesystem::remove_all(folder);

    // The summary.
    std::vector<double> oursMs, cadicalMs, ratios;
    int oursDecided = 0, cadicalDecided = 0;
    std::vector<std::string> oursUndecided, notFaster;
    const Row* closest = nullptr;
    for (const Row& row : rows) {
        oursMs.push_back(row.oursMs);
        const bool weDecided = row.ours.verdict != SolveVerdict::Undecided;
        if (weDecided) ++oursDecided;
        else oursUndecided.push_back(row.name);
        if (!row.cadicalRan) continue;
        cadicalMs.push_back(row.cadical.ms);
        if (row.cadical.answer != Answer::Undecided) ++cadicalDecided;
        const double ratio = row.cadical.ms / row.oursMs;
        ratios.push_back(ratio);
        if (closest == nullptr || ratio < closest->cadical.ms / closest->oursMs) closest = &row;
        // Faster: we decide, and CaDiCaL either does not or takes longer.
        if (!weDecided || (row.cadical.answer != Answer::Undecided && row.cadical.ms <= row.oursMs))
            notFaster.push_back(row.name);
    }
    std::printf("\n%zu figures (seed %llu, %d grown%s, %zu shape files)\n", rows.size(),
                static_cast<unsigned long long>(figureSeed), randomCount, risingOnly ? ", rising only" : "",
                shapeFiles.size());
    std::printf("%-8s %11s %12s %12s %12s\n", "solver", "decided", "median ms", "90th pct ms", "worst ms");
    PrintTimes("ours", oursDecided, rows.size(), oursMs);
    if (useCadical) {
        PrintTimes("CaDiCaL", cadicalDecided, rows.size(), cadicalMs);
        std::printf("(CaDiCaL limit %d s; an undecided run counts with the time it used)\n", limitSeconds);
        std::printf("ratio CaDiCaL / ours: median %.1f, minimum %.1f on %s (ours %.3f ms, CaDiCaL %.3f ms, %s)\n",
                    Percentile(ratios, 0.5), closest->cadical.ms / closest->oursMs, closest->name.c_str(),
                    closest->oursMs, closest->cadical.ms, AnswerName(closest->cadical.answer));
    }

    // The project's targets.
    auto yesNo = [](bool met) { return met ? "met" : "NOT met"; };
    std::printf("\ntargets:\n");
    std::printf("  every figure decided by ours: %s", yesNo(oursUndecided.empty()));
    for (const std::string& name : oursUndecided) std::printf(" %s", name.c_str());
    std::printf("\n  median under 1 ms: %s (%.3f ms)\n", yesNo(Percentile(oursMs, 0.5) < 1.0), Percentile(oursMs, 0.5));
    std::printf("  worst under 1 s: %s (%.3f ms)\n", yesNo(Percentile(oursMs, 1.0) < 1000.0), Percentile(oursMs, 1.0));
    if (useCadical) {
        std::printf("  faster than CaDiCaL on every figure: %s", yesNo(notFaster.empty()));
        for (const std::string& name : notFaster) std::printf(" %s", name.c_str());
        std::printf("\n");
    }
    return 0;
}
