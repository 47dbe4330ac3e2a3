#include "model/difficulty.h"

#include <random>

#include "model/geometry.h"
#include "model/piece.h"
#include "model/rules.h"
#include "model/solver.h"

namespace murlen {

namespace {

constexpr int kBoards = 40;
constexpr int kPiecesPerBoard = 8;
constexpr std::uint64_t kNodeBudget = 2000;  // per board; a board not decided in it is left out
constexpr double kMediumFrom = 0.40;
constexpr double kHardFrom = 0.75;

}  // namespace

DifficultyRating RateDifficulty(const CellArray<Triangle>& figurePoints, std::uint64_t seed) {
    const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(figurePoints);
    std::mt19937_64 random(seed);
    SolverOptions options;
    options.nodeBudget = kNodeBudget;
    int decided = 0, deadEnds = 0;
    for (int board = 0; board < kBoards; ++board) {
        const CellArray<std::int16_t> start = RandomBoard(neighbours, kPiecesPerBoard, [&] { return random(); });
        const SolveResult result = SolveFigure(figurePoints, start, options);
        if (result.verdict == SolveVerdict::Undecided) continue;
        ++decided;
        if (result.verdict == SolveVerdict::Unsolvable) ++deadEnds;
    }
    DifficultyRating rating;
    rating.deadEndShare = decided == 0 ? 1.0 : double(deadEnds) / decided;
    rating.level = rating.deadEndShare >= kHardFrom     ? Difficulty::Hard
                   : rating.deadEndShare >= kMediumFrom ? Difficulty::Medium
                                                        : Difficulty::Easy;
    return rating;
}

}  // namespace murlen
