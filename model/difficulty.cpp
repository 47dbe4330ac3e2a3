#include "model/difficulty.h"

#include <array>
#include <random>
#include <vector>

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

// A start as a player might make it: pieces on random cells, each a random
// unused piece among those that fit there. A cell where none fits is passed
// over (and the board may end up with fewer pieces).
CellArray<std::int16_t> RandomStart(const CellArray<NeighbourSlots>& neighbours, std::mt19937_64& random) {
    CellArray<std::int16_t> board;
    board.Fill(0);
    std::array<bool, kPieceCount + 1> used{};
    std::vector<int> fitting;
    for (int tries = 0, placed = 0; placed < kPiecesPerBoard && tries < 4 * kCellCount; ++tries) {
        const int cell = 1 + int(random() % kCellCount);
        if (board[cell] != 0) continue;
        fitting.clear();
        for (int piece = 1; piece <= kPieceCount; ++piece)
            if (!used[std::size_t(piece)] && PieceFits(neighbours, board, cell, piece)) fitting.push_back(piece);
        if (fitting.empty()) continue;
        const int piece = fitting[random() % fitting.size()];
        board[cell] = std::int16_t(piece);
        used[std::size_t(piece)] = true;
        ++placed;
    }
    return board;
}

}  // namespace

DifficultyRating RateDifficulty(const CellArray<Triangle>& figurePoints, std::uint64_t seed) {
    const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(figurePoints);
    std::mt19937_64 random(seed);
    SolverOptions options;
    options.nodeBudget = kNodeBudget;
    int decided = 0, deadEnds = 0;
    for (int board = 0; board < kBoards; ++board) {
        const SolveResult result = SolveFigure(figurePoints, RandomStart(neighbours, random), options);
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
