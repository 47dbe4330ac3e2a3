// Solving a figure: finding a placement of all 64 pieces that keeps both rules,
// or showing that there is none.
//
// A cell fixes the orientation of any piece laid on it, so a placement is just
// one six-bit code per cell: the codes all different, the halves of every shared
// edge agreeing (the pairing of PiecesMatch), the halves on the border black.
//
// How the search goes, briefly (the search itself is in solver_search.h):
//   - Counting first (CheckCounts): a cell's border edges must be black in the
//     piece it takes, and one bipartite matching of cells to the pieces their
//     border admits refutes most impossible figures at once, with a reason the
//     player can be told.
//   - Each open cell keeps its candidate codes as a 64-bit set, narrowed by
//     masks of the codes with a given edge colouring; the codes on the board
//     are masked out.
//   - Propagation to a fixed point: a cell with one option takes it, a piece
//     that fits one cell goes there, and across every shared edge each side
//     keeps only the colourings the other side can still show.
//   - Two global checks per node: the colourings of each edge kind must add
//     up to the 16 pieces per colouring that the set has (with the parity that
//     shared edges impose), and the matching of open cells to unused pieces,
//     which also takes from every cell the pieces it can have in no matching.
//   - Two searches take turns. One branches on the cell with the fewest
//     options (or a piece that fits only two cells) and restarts after a
//     growing number of nodes with other random tie-breaks, against the heavy
//     tails of a plain backtracker. The other first decides, edge by edge,
//     whether an edge is black on both halves: the set has only 16 pieces
//     per black edge, 4 per pair and 1 with all three, and most boards that
//     cannot be completed fail on that alone; at its root it tries every such
//     edge both ways. It restarts too, after much longer runs. Both prefer
//     cells where nodes have failed before, in this run or an earlier one, and
//     a run that is more than half done by its own estimate is not cut off.
//   - On a board with pieces that is not decided within the first thousand
//     nodes, both searches learn from their failures. A failure (a cell without
//     options, a piece without a cell, the matching or the colouring counts)
//     is explained by the options of a few cells it rests on: each narrowing
//     of options keeps its reason (a neighbour's colouring, a piece placed
//     elsewhere, a group of cells that need all the pieces they can have, ...),
//     and going back along them gives a nogood, "these cells cannot all be
//     without these pieces". The search jumps back to where the nogood first
//     narrows something, and keeps it for the rest of the search and the runs
//     after (lazy clause generation, with the matching and the colouring
//     counts as explained propagators).
//     A run that ends by itself has searched everything, given only what was
//     learnt, which follows from the rules, so "no solution" is a proof.
//   - At the root of a learning run, once the searches have spent more on
//     nodes than a relaxation on its solves, the linear relaxations of the
//     board (solver_relaxation.h): fractional pieces on cells, every cell
//     full, every piece used up, every shared edge showing each colouring as
//     much on both sides. A coarse one, with the pieces grouped by their
//     black-black edges, costs a tenth and comes first; the fine one later.
//     A refutation comes with a certificate that is checked in exact
//     arithmetic, so it too is a proof. They decide boards whose proofs by
//     search ran to millions of nodes, or beyond any budget. Once the fine
//     one has passed, the cell search gets a larger share of the nodes.
// The search allocates little once it has started (only the store of nogoods
// grows), and keeps no state between calls: SolveFigure may run on a worker
// thread while the caller waits.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>

#include "model/geometry.h"
#include "model/types.h"

namespace murlen {

enum class SolveVerdict {
    Solved,      // a full board that keeps the given pieces
    Unsolvable,  // proven: see the reason
    Undecided,   // the node budget or the time ran out, or the search was cancelled
};

// Why a figure or a board cannot be completed. The first group are counting
// arguments about the figure alone (the set has 16 pieces with a given edge all
// black, 4 with a given pair of edges all black, 1 all black, and 27 with no
// all-black edge).
enum class UnsolvableReason {
    None,
    TooManyP1P2OnBorder,       // more than 16 cells have their edge P1P2 on the border
    TooManyP1P3OnBorder,       // more than 16 cells have their edge P1P3 on the border
    TooManyP2P3OnBorder,       // more than 16 cells have their long edge on the border
    TooManyTwoEdgesOnBorder,   // more than 4 cells have the same two edges on the border
    TooManyLoneCells,          // more than 1 cell has all three edges on the border
    TooFewInnerCells,          // fewer than 27 cells have no edge on the border
    BorderNeedsMissingPieces,  // the border asks for black halves in more pieces than exist
                               // (a mix of the bounds above; found by the matching)
    NoSolution,                // the search has tried everything
    PiecesCannotStay,          // the figure is not refuted, but no solution keeps all the
                               // pieces on the board
};

struct SolverOptions {
    std::uint64_t seed = 1;  // the same seed gives the same search and the same board
    // Search nodes (branch points) over all restarts and both searches; past
    // this the answer is Undecided. Every shipped figure needs far fewer than
    // a thousand.
    std::uint64_t nodeBudget = 20'000'000;
    // Read every thousand nodes or so; set it from any thread to stop early.
    const std::atomic<bool>* cancel = nullptr;
    // Wall-clock time after which the answer is Undecided; zero = no limit.
    // Read together with the cancel flag, so it may be overrun by a
    // millisecond or two.
    std::chrono::nanoseconds timeLimit{0};
    // Whether the searches on a board with pieces learn from their failures
    // (see above). Without learning they are the plain searches that the
    // benchmark and the tests check the learning ones against.
    bool learning = true;
};

struct SolveResult {
    SolveVerdict verdict = SolveVerdict::Undecided;
    UnsolvableReason reason = UnsolvableReason::None;  // only for Unsolvable
    CellArray<std::int16_t> board;                     // only for Solved: pool indexes 1..64
    std::uint64_t nodes = 0;                           // search nodes used
    int restarts = 0;                                  // runs cut off and begun again
};

// The counting arguments and the root matching on the figure alone. Cheap (a
// few microseconds). None when they do not refute the figure; a figure that
// passes may still turn out unsolvable in the search.
UnsolvableReason CheckCounts(const CellArray<NeighbourSlots>& neighbours);

// Solves the figure. `figurePoints` are the 64 distinct grid cells of a figure
// (as ReadShapeFileForPlay accepts them). `placed` holds the pieces already on
// the board (pool index per cell, 0 = empty); a Solved board keeps every one of
// them where it lies. Values outside 0..64 or a piece on two cells make the
// board unsolvable with PiecesCannotStay.
SolveResult SolveFigure(const CellArray<Triangle>& figurePoints, const CellArray<std::int16_t>& placed,
                        const SolverOptions& options = {});
SolveResult SolveFigure(const CellArray<Triangle>& figurePoints, const SolverOptions& options = {});

// A solution of the figure (pool index per cell), or nothing when the figure has
// none or the default budget does not find one. For tests and tools that need a
// finished board.
std::optional<CellArray<std::int16_t>> KnownSolution(const CellArray<Triangle>& figurePoints);

// True when the full board keeps both rules on the figure: every cell holds a
// piece, no piece twice, shared halves agree and border halves are black.
bool BoardKeepsRules(const CellArray<NeighbourSlots>& neighbours, const CellArray<std::int16_t>& board);

}  // namespace murlen
