#include "bench/outside_solvers.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/solver_cases.h"
#include "model/piece.h"
#include "model/rules.h"

namespace murlen::bench {

namespace {

constexpr const char* kCadical = "/usr/bin/cadical";
constexpr const char* kGlpsol = "/usr/bin/glpsol";


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
                    if (agree != PiecesMatch(slot, slotValue, PoolIndexOfCode(p), PoolIndexOfCode(q)))
                        Fail("the half pairs of slot " + std::to_string(slot) + " differ from PiecesMatch");
                }
            }
        }
    }
}

// The figure's CNF; the pieces already on the board add one unit clause each.
std::string FigureCnf(const CellArray<NeighbourSlots>& neighbours, const CellArray<std::int16_t>& placed) {
    Cnf cnf;
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (placed[cell] != 0) cnf.Add({PieceVar(cell, PieceCode(placed[cell]))});
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


// The integer program, in the LP format that glpsol reads: the same x(c, p),
// now 0/1 numbers. Every cell holds one piece, every piece lies on one cell;
// on the border, a cell's pieces with a white half there are left out; across
// a shared edge, each colouring of the two pairs of halves that PiecesMatch
// pairs shows as much on one side as on the other; a piece on the board is
// fixed. The objective is zero, so the first whole solution ends the search.
// Columns are numbered in the order they first appear: the objective names
// them all, cell by cell, code by code.
std::string FigureIntegerProgram(const CellArray<NeighbourSlots>& neighbours, const CellArray<std::int16_t>& placed) {
    const auto x = [](int cell, int code) { return "x" + std::to_string(cell) + "_" + std::to_string(code); };
    std::string text = "Minimize\n obj:";
    for (int cell = 1; cell <= kCellCount; ++cell)
        for (int code = 0; code < 64; ++code) text += " + 0 " + x(cell, code);
    text += "\nSubject To\n";
    int row = 0;
    const auto sum = [&](const std::vector<std::pair<int, int>>& terms, const std::vector<std::pair<int, int>>& minus,
                         int right) {
        text += " r" + std::to_string(++row) + ":";
        for (const auto& [cell, code] : terms) text += " + " + x(cell, code);
        for (const auto& [cell, code] : minus) text += " - " + x(cell, code);
        text += " = " + std::to_string(right) + "\n";
    };
    for (int code = 0; code < 64; ++code) {
        std::vector<std::pair<int, int>> cells;
        for (int cell = 1; cell <= kCellCount; ++cell) cells.emplace_back(cell, code);
        sum(cells, {}, 1);
    }
    for (int cell = 1; cell <= kCellCount; ++cell) {
        std::vector<std::pair<int, int>> pieces;
        for (int code = 0; code < 64; ++code) pieces.emplace_back(cell, code);
        sum(pieces, {}, 1);
        if (placed[cell] != 0) sum({{cell, PieceCode(placed[cell])}}, {}, 1);
        std::uint64_t white = 0;  // codes with a white half on the border
        for (int slot = 0; slot < 3; ++slot) {
            const int value = neighbours[cell][std::size_t(slot)];
            const int mask = kEdgeMaskOfSlot[std::size_t(slot)];
            if (value == 0) {
                for (int code = 0; code < 64; ++code)
                    if ((code & mask) != mask) white |= std::uint64_t(1) << code;
                continue;
            }
            const HalfPairs pairs = MatchedHalves(slot, value);
            for (int colouring = 0; colouring < 4; ++colouring) {
                std::vector<std::pair<int, int>> here, there;
                for (int code = 0; code < 64; ++code) {
                    const auto shows = [&](bool ours) {
                        for (int half = 0; half < 2; ++half) {
                            const int bit = ours ? pairs[std::size_t(half)].first : pairs[std::size_t(half)].second;
                            if (((code >> bit) & 1) != ((colouring >> half) & 1)) return false;
                        }
                        return true;
                    };
                    if (shows(true)) here.emplace_back(cell, code);
                    if (shows(false)) there.emplace_back(NeighbourCell(value), code);
                }
                sum(here, there, 0);
            }
        }
        std::vector<std::pair<int, int>> whiteOnBorder;
        for (int code = 0; code < 64; ++code)
            if ((white >> code & 1) != 0) whiteOnBorder.emplace_back(cell, code);
        if (!whiteOnBorder.empty()) sum(whiteOnBorder, {}, 0);
    }
    text += "Binary\n";
    for (int cell = 1; cell <= kCellCount; ++cell)
        for (int code = 0; code < 64; ++code) text += " " + x(cell, code) + "\n";
    return text + "End\n";
}

// SIGCHLD stays blocked in this process, so that the wait for an outside
// solver can sleep in sigtimedwait until the child ends or the time is up.
sigset_t ChildSignal() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGCHLD);
    return set;
}

struct Finished {
    bool killed = false;  // past the limit and five seconds more
    int status = 0;       // as waitpid gives it
    double ms = 0;
};

// Runs a program with its output (standard output and errors) into
// `outputPath`, and kills it five seconds after `limitSeconds` should it not
// stop by itself.
Finished RunProgram(const std::vector<std::string>& arguments, const std::filesystem::path& outputPath,
                    int limitSeconds) {
    const sigset_t childSignal = ChildSignal();
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
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
        execv(argv[0], argv.data());
        _exit(127);
    }
    const auto deadline = start + std::chrono::seconds(limitSeconds + 5);
    Finished finished;
    while (true) {
        const pid_t done = waitpid(pid, &finished.status, WNOHANG);
        if (done == pid) break;
        if (done < 0) Fail(std::string("waitpid: ") + std::strerror(errno));
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &finished.status, 0);
            finished.killed = true;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now).count();
        timespec wait{};
        wait.tv_sec = std::min<long long>(left / 1'000'000'000, 1);
        wait.tv_nsec = wait.tv_sec >= 1 ? 0 : long(left % 1'000'000'000);
        sigtimedwait(&childSignal, nullptr, &wait);
    }
    finished.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (finished.killed) return finished;
    if (!WIFEXITED(finished.status)) Fail(arguments[0] + " ended by a signal on " + arguments.back());
    const int code = WEXITSTATUS(finished.status);
    if (code == 126 || code == 127) Fail("could not start " + arguments[0]);
    return finished;
}

}  // namespace

const char* AnswerName(Answer answer) {
    switch (answer) {
        case Answer::Solved: return "solved";
        case Answer::Unsolvable: return "unsolvable";
        case Answer::Undecided: return "undecided";
    }
    return "?";
}

bool PrepareOutsideSolvers() {
    CheckMatchedHalves();
    const sigset_t childSignal = ChildSignal();
    sigprocmask(SIG_BLOCK, &childSignal, nullptr);
    return access(kCadical, X_OK) == 0 && access(kGlpsol, X_OK) == 0;
}

OutsideRun RunCadical(const CellArray<NeighbourSlots>& neighbours, const CellArray<std::int16_t>& placed,
                      const std::filesystem::path& stem, int limitSeconds) {
    OutsideRun run;
    run.input = stem.string() + ".cnf";
    run.output = stem.string() + ".out";
    std::ofstream(run.input) << FigureCnf(neighbours, placed);
    const Finished finished =
        RunProgram({kCadical, "-q", "-t", std::to_string(limitSeconds), run.input.string()}, run.output, limitSeconds);
    run.ms = finished.ms;
    if (finished.killed) return run;
    const int code = WEXITSTATUS(finished.status);

    // The result line says the same as the exit code (10 SAT, 20 UNSAT, 0 unknown).
    std::ifstream output(run.output);
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
        run.board[cell] = std::int16_t(PoolIndexOfCode(code));
    }
    return run;
}

OutsideRun RunIntegerProgram(const CellArray<NeighbourSlots>& neighbours, const CellArray<std::int16_t>& placed,
                             const std::filesystem::path& stem, int limitSeconds) {
    OutsideRun run;
    run.input = stem.string() + ".lp";
    run.output = stem.string() + ".sol";
    std::ofstream(run.input) << FigureIntegerProgram(neighbours, placed);
    const Finished finished = RunProgram({kGlpsol, "--lp", run.input.string(), "--tmlim", std::to_string(limitSeconds),
                                          "-w", run.output.string()},
                                         stem.string() + ".log", limitSeconds);
    std::filesystem::remove(stem.string() + ".log");
    run.ms = finished.ms;
    if (finished.killed) return run;
    if (WEXITSTATUS(finished.status) != 0) Fail("glpsol could not read " + run.input.string());
    // The solution file: "s mip ROWS COLUMNS STATUS OBJECTIVE", STATUS o
    // (optimal), f (feasible), n (no whole solution) or u (undecided), then
    // "j COLUMN VALUE" per column.
    std::ifstream output(run.output);
    std::string line;
    char status = 'u';
    run.board.Fill(0);
    while (std::getline(output, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "s") {
            std::string mip;
            int rows = 0, columns = 0;
            words >> mip >> rows >> columns >> status;
            continue;
        }
        int column = 0;
        double value = 0;
        if (kind != "j" || !(words >> column >> value) || value < 0.5) continue;
        const int cell = (column - 1) / 64 + 1;
        if (run.board[cell] != 0) Fail("glpsol puts two pieces on cell " + std::to_string(cell));
        run.board[cell] = std::int16_t(PoolIndexOfCode((column - 1) % 64));
    }
    run.answer = status == 'n' ? Answer::Unsolvable : status == 'o' || status == 'f' ? Answer::Solved : Answer::Undecided;
    return run;
}

void RemoveFiles(const OutsideRun& run) {
    std::filesystem::remove(run.input);
    std::filesystem::remove(run.output);
}

}  // namespace murlen::bench
