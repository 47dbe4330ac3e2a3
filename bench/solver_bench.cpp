// How long the solver takes, side by side with a general SAT solver (CaDiCaL)
// on the same questions, in the same run on the same machine. This file is the
// command line; the questions are in solver_cases.*, the measuring and the
// summary in solver_runs.*, the CNF and CaDiCaL in outside_solvers.*.
//
// The questions, in families:
//   shipped  every shipped figure;
//   grown    random compact figures of 64 cells, grown cell by cell by the
//            shape generator's grower (model/random_figure.h), a cell that
//            touches the figure along two or three edges much preferred;
//   thin     random figures from the same grower, a cell that touches the
//            figure along one edge preferred: long thin arms, mostly refuted
//            by counting, a few hard;
//   boards   for every shipped figure and k = 4 to 16, boards of k pieces laid
//            on random cells, each a random piece that breaks no rule there
//            (RandomBoard, model/rules.h): can the board be completed? This is
//            the Hint's question;
//   hard     boards of k = 3 to 16 pieces laid as above, each on a figure
//            drawn at random: three times in ten the Crown, three times in
//            ten the Cross (where boards are hardest), otherwise one of the
//            other shipped figures or a random grown figure that counting
//            does not refute;
//   cross    for k = 3 to 8, boards of k pieces on the Cross laid as above:
//            few pieces on the Cross make the hardest boards of all;
//   named    the hardest boards found so far, by name: a Cross board that
//            nothing decided in minutes, two Crown boards whose proofs took
//            seconds, a Cross board of three pieces that only the relaxation
//            decides soon, and a Cross board of six pieces that can be
//            completed but took long with the default seed;
//   files    shape files (.dat) and game files (.kyp) named on the command
//            line; a game file's figure is the shape file of its figure name
//            in the game file's folder, and the question is its board.
// One line per question: name, our verdict, our milliseconds, our search
// nodes, CaDiCaL's verdict and milliseconds, and the ratio CaDiCaL / ours.
// Then a summary per family: for both solvers the decided count, median, 90th
// and 99th percentile and worst time, our median and largest node counts, and
// the ratio (its median and its minimum); the project's targets; and the
// slowest questions as figure text and pieces.
//
//   solver_bench [options] [shape files and game files...]
//     --count N          random grown figures (default 100)
//     --thin N           random thin figures (default 300)
//     --boards N         boards per shipped figure and k (default 5)
//     --hard N           hard boards (default 2000)
//     --cross N          boards on the Cross per k (default 500)
//     --seed S           seed of the question generators (default 1)
//     --limit SECONDS    CaDiCaL's time limit per question, whole seconds
//                        (default 5); past it CaDiCaL counts as undecided
//     --cadical-boards N CaDiCaL on every Nth board too (default 10; 0 = none,
//                        1 = all); it always runs on every figure
//     --cadical-hard N   CaDiCaL on every Nth hard board (default 50)
//     --cadical-cross N  CaDiCaL on every Nth board on the Cross (default 100)
//     --ip-limit SECONDS the integer program's time limit where CaDiCaL runs
//                        out of time (default 60)
//     --no-cadical       run only our solver, without CaDiCaL or the integer
//                        program
//     --ours-limit MS    our time limit per question (default 10000)
//     --budget NODES     our node budget per question (default that of SolverOptions)
//     --plain N          every Nth question also by our plain search, without
//                        learning or the linear relaxation (default 10; 0 =
//                        none); where both decide, the verdicts must agree
//     --once             solve each question once (for counting instructions
//                        with callgrind, say)
//     --solver-seed S    our solver's seed (default that of SolverOptions)
//     --only NAMES       only these questions or families, separated by commas
//     --show MS          print the questions that took this long or were not
//                        decided, as figure text and pieces (default 50)
//     --rising           grow figures with rising diagonals only, as the shape
//                        generator draws them until the user turns a diagonal
// The default run takes about seven minutes, a minute of it for each board
// that neither CaDiCaL nor the integer program decides. The full families,
// our solver alone:
//     solver_bench --no-cadical --count 300 --thin 3500 --boards 40 --hard 6000 --cross 2000
//
// Our time: each question is solved up to three times with the same seed (the
// same work) and the fastest run counts, so that other processes matter less;
// a run of 100 ms or more is not repeated. CaDiCaL's time: one run of
// /usr/bin/cadical (Debian package cadical), wall clock from starting the
// process to its end, so it includes starting the program and reading the CNF
// file (a few milliseconds); writing the file does not count. An undecided run
// counts with the time it used (the limit) in the medians and ratios, which
// favours CaDiCaL.
//
// Every board we or CaDiCaL call solved must keep the rules (BoardKeepsRules),
// and where two solvers decide, their verdicts must agree. Either failure is a
// bug: the program stops at once, says why, and keeps CaDiCaL's files.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/outside_solvers.h"
#include "bench/solver_cases.h"
#include "bench/solver_runs.h"
#include "model/solver.h"

using namespace murlen;
using namespace murlen::bench;

namespace {

[[noreturn]] void Usage(const char* problem) {
    std::fprintf(stderr,
                 "%s\nusage: solver_bench [--count N] [--thin N] [--boards N] [--hard N] [--cross N] [--seed S]\n"
                 "                    [--limit SECONDS] [--ours-limit MS] [--budget NODES] [--plain N] [--once]\n"
                 "                    [--solver-seed S]"
                 " [--show MS] [--only NAMES] [--no-cadical]\n"
                 "                    [--cadical-boards N] [--cadical-hard N] [--cadical-cross N] [--ip-limit SECONDS]\n"
                 "                    [--rising]\n"
                 "                    [shape files (.dat) and game files (.kyp)...]\n",
                 problem);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    int grownCount = 100;
    int thinCount = 300;
    int boardsPerK = 5;
    int hardCount = 2000;
    int crossPerK = 500;
    std::uint64_t corpusSeed = 1;
    int oursLimitMs = 10'000;
    double showMs = 50;
    std::string only;
    bool risingOnly = false;
    std::vector<std::string> files;
    RunSettings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--count" && hasValue) {
            grownCount = std::atoi(argv[++i]);
        } else if (arg == "--thin" && hasValue) {
            thinCount = std::atoi(argv[++i]);
        } else if (arg == "--boards" && hasValue) {
            boardsPerK = std::atoi(argv[++i]);
        } else if (arg == "--hard" && hasValue) {
            hardCount = std::atoi(argv[++i]);
        } else if (arg == "--cross" && hasValue) {
            crossPerK = std::atoi(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            corpusSeed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--limit" && hasValue) {
            settings.outsideLimitSeconds = std::atoi(argv[++i]);
            if (settings.outsideLimitSeconds < 1) Usage("the limit must be at least one second");
        } else if (arg == "--ip-limit" && hasValue) {
            settings.integerLimitSeconds = std::atoi(argv[++i]);
            if (settings.integerLimitSeconds < 1) Usage("the limit must be at least one second");
        } else if (arg == "--ours-limit" && hasValue) {
            oursLimitMs = std::atoi(argv[++i]);
            if (oursLimitMs < 1) Usage("our limit must be at least one millisecond");
        } else if (arg == "--budget" && hasValue) {
            settings.options.nodeBudget = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--plain" && hasValue) {
            settings.plainEvery = std::atoi(argv[++i]);
        } else if (arg == "--once") {
            settings.attempts = 1;
        } else if (arg == "--solver-seed" && hasValue) {
            settings.options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--only" && hasValue) {
            only = argv[++i];
        } else if (arg == "--show" && hasValue) {
            showMs = std::atof(argv[++i]);
        } else if (arg == "--no-cadical") {
            settings.outside = false;
        } else if (arg == "--cadical-boards" && hasValue) {
            settings.outsideEveryBoard = std::atoi(argv[++i]);
        } else if (arg == "--cadical-hard" && hasValue) {
            settings.outsideEveryHard = std::atoi(argv[++i]);
        } else if (arg == "--cadical-cross" && hasValue) {
            settings.outsideEveryCross = std::atoi(argv[++i]);
        } else if (arg == "--rising") {
            risingOnly = true;
        } else if (arg.rfind("--", 0) == 0) {
            Usage(("unknown option or missing value: " + arg).c_str());
        } else {
            files.push_back(arg);
        }
    }
    settings.options.timeLimit = std::chrono::milliseconds(oursLimitMs);
    if (!PrepareOutsideSolvers() && settings.outside)
        Usage("no /usr/bin/cadical or /usr/bin/glpsol: install the Debian packages cadical and glpk-utils "
              "(scripts/setup.sh), or pass --no-cadical");

    // The corpus. Each family draws from its own generators, so that changing
    // the size of one leaves the others as they were.
    std::vector<Case> cases;
    for (const std::vector<Case>& family :
         {ShippedFigureCases(), GrownFigureCases(grownCount, corpusSeed, risingOnly), ThinFigureCases(thinCount, corpusSeed),
          ShippedBoardCases(boardsPerK, corpusSeed), HardBoardCases(hardCount, corpusSeed),
          CrossBoardCases(crossPerK, corpusSeed), NamedBoardCases()})
        cases.insert(cases.end(), family.begin(), family.end());
    for (const std::string& file : files) cases.push_back(FileCase(file));

    // Some cases or families alone (names separated by commas), for a closer look.
    if (!only.empty()) {
        const std::string list = "," + only + ",";
        std::erase_if(cases, [&](const Case& question) {
            return list.find("," + question.name + ",") == std::string::npos &&
                   list.find("," + question.family + ",") == std::string::npos;
        });
    }
    std::vector<std::string> families;
    for (const Case& question : cases)
        if (std::find(families.begin(), families.end(), question.family) == families.end())
            families.push_back(question.family);

    std::string folder = (std::filesystem::temp_directory_path() / "solver_bench-XXXXXX").string();
    if (settings.outside && mkdtemp(folder.data()) == nullptr) Fail("cannot create a temporary folder");
    settings.folder = folder;
    const Measured measured = MeasureAll(cases, settings);
    if (settings.outside) std::filesystem::remove_all(settings.folder);

    std::printf("\n%zu cases (seed %llu: %d grown%s, %d thin, %d boards per figure and k = 4..16, %d hard boards, "
                "%d boards on the Cross per k = 3..8, %zu files; our limit %d ms)\n",
                measured.rows.size(), static_cast<unsigned long long>(corpusSeed), grownCount,
                risingOnly ? " rising only" : "", thinCount, boardsPerK, hardCount, crossPerK, files.size(), oursLimitMs);
    Summarise(measured, families, settings, showMs);
    return 0;
}
