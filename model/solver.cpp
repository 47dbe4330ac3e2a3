#include "model/solver.h"

#include <algorithm>
#include <array>
#include <memory>

#include "model/piece.h"
#include "model/rules.h"
#include "model/solver_relaxation.h"
#include "model/solver_search.h"

namespace murlen {

namespace {

using solving::Bit;
using solving::Bits;

// The set's counts behind the bounds of CheckCounts.
constexpr int kPiecesPerBlackEdge = 16;      // a given edge all black
constexpr int kPiecesPerTwoBlackEdges = 4;   // a given pair of edges all black
constexpr int kPiecesAllBlack = 1;
constexpr int kPiecesWithoutBlackEdge = 27;  // 3 * 3 * 3: no edge all black

// The Luby sequence 1 1 2 1 1 2 4 1 1 2 1 1 2 4 8 ...: restart cutoffs within a
// log factor of the best fixed cutoff, whatever the figure.
std::uint64_t Luby(std::uint64_t i) {
    for (;;) {
        int k = 1;
        while ((std::uint64_t(1) << k) - 1 < i) ++k;
        if (i == (std::uint64_t(1) << k) - 1) return std::uint64_t(1) << (k - 1);
        i -= (std::uint64_t(1) << (k - 1)) - 1;
    }
}

// Nodes of the shortest run; later runs get Luby multiples of it. Measured on
// the shipped figures, random grown figures and thin crosses: much longer units
// let a run sink into a dead subtree, much shorter ones stop good runs early.
constexpr std::uint64_t kRestartUnit = 64;

// Values in range and no piece twice.
bool PiecesAreDistinct(const CellArray<std::int16_t>& placed) {
    Bits seen = 0;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const int piece = placed[cell];
        if (piece == 0) continue;
        if (piece < 1 || piece > kPieceCount) return false;
        const int code = PieceCode(piece);
        if ((seen & Bit(code)) != 0) return false;
        seen |= Bit(code);
    }
    return true;
}

// Nodes the cell search has to itself before the edge search joins in: most
// boards and figures are decided well within them, and the edge search's
// first node tries every edge both ways, which costs a few hundred nodes.
// Runs begun after them learn (on boards with pieces): learning makes every
// node dearer by half, which the short searches do not win back.
constexpr std::uint64_t kHeadStart = 1000;
// After the head start the edge search gets this many nodes for each node of
// the cell search: proofs come mostly from the edge search.
constexpr std::uint64_t kEdgeShare = 3;
// Once the fine relaxation has passed a root of the board, counting is not
// about to refute it, and it ends in a solution more often: the cell search,
// which finds them, gets one node for every two of the edge search from then
// on. Measured on the slowest boards of the benchmark: the solvable ones that
// took 9,000 to 13,000 nodes take 9,400 to 10,500 or far fewer with most
// seeds, the refuted ones of 7,100 to 8,000 nodes take 7,800 to 8,800.
constexpr std::uint64_t kEdgeShareOnceRelaxationPassed = 2;
// Nodes of the edge search's shortest run; later runs get Luby multiples of
// it. Measured on the hard boards of the benchmark: runs of 8,192 to 16,384
// nodes cut the sum of their nodes by a fifth and their worst case by half
// or more; much shorter runs cut proofs that were nearly done.
constexpr std::uint64_t kEdgeUnit = 16384;
// Nodes a search runs before the other one may take its turn.
constexpr std::uint64_t kSlice = 256;
// A run that has searched at least this share of its tree (by its estimate)
// when its nodes are spent goes on for as many nodes again, and so on: it is
// closing in on its answer, and a restart would throw the work away. Without
// this, restarting the edge search left a proof of a hard board undone after
// two million nodes.
constexpr double kClosingIn = 0.5;

// One of the two searches and its runs.
struct Runner {
    solving::Branching branching;
    std::uint64_t unit;  // nodes of the shortest run
    solving::Random seeds;
    std::unique_ptr<solving::Search> search = nullptr;
    std::uint64_t runs = 0;
    std::uint64_t cutoff = 0;  // nodes the current run may take
    std::uint64_t nodes = 0;   // over all runs
};

// Two searches take turns until one of them answers or the budget is spent:
//   - one branches on cells and restarts after a growing number of nodes (the
//     Luby sequence) with other random tie-breaks each time, against the
//     heavy tails of a plain backtracker: it finds solutions fast;
//   - the other decides black-black edges first: it refutes the boards whose
//     black-black edges cannot be placed, which the first one hardly ever can.
//     It restarts too, after longer runs, and each run starts near the cells
//     where the runs before it failed.
// A run that is more than half done when its nodes are spent goes on. A
// learning search keeps its nogoods over its runs. A run that ends by itself
// has searched everything, so either one's "no solution" is a proof.
SolveResult SearchBoth(const solving::EdgeLinks& links, const CellArray<std::int16_t>& placed,
                       std::uint64_t seed, bool learning, const solving::StopCheck& stop, std::uint64_t budget) {
    SolveResult result;
    // The edge search's seeds come from the first number of the seed's
    // sequence, the cell search's from the rest of it.
    solving::Random seeds(seed);
    Runner edges{solving::Branching::BlackEdges, kEdgeUnit, solving::Random(seeds.Next())};
    Runner cells{solving::Branching::Cells, kRestartUnit, seeds};
    solving::SharedRelaxation relaxation;
    // About 200 KB of state each, allocated before the search starts; the
    // edge search's only when it joins in.
    cells.search = std::make_unique<solving::Search>(links, stop, &relaxation);
    if (!cells.search->LayGiven(placed)) {
        result.verdict = SolveVerdict::Unsolvable;
        result.reason = UnsolvableReason::PiecesCannotStay;
        return result;
    }
    while (result.nodes < budget) {
        if (stop.Due()) return result;
        const std::unique_ptr<solving::Relaxation>& fine = relaxation.relaxations.back();
        const std::uint64_t share = fine != nullptr && fine->Passed() ? kEdgeShareOnceRelaxationPassed : kEdgeShare;
        const bool cellTurn = cells.nodes < kHeadStart || cells.nodes * share <= edges.nodes;
        Runner& runner = cellTurn ? cells : edges;
        if (runner.search == nullptr) {
            runner.search = std::make_unique<solving::Search>(links, stop, &relaxation);
            runner.search->LayGiven(placed);
        }
        solving::Search& search = *runner.search;
        if (runner.runs == 0 || search.RunNodes() >= runner.cutoff) {
            if (runner.runs > 0 && search.Progress() >= kClosingIn) {
                runner.cutoff += search.RunNodes();
            } else {
                if (runner.runs > 0) ++result.restarts;
                search.Begin(runner.seeds.Next(), runner.branching, learning && result.nodes >= kHeadStart);
                ++runner.runs;
                runner.cutoff = runner.unit * Luby(runner.runs);
            }
        }
        const std::uint64_t allowance =
            std::min({kSlice, budget - result.nodes, runner.cutoff - search.RunNodes()});
        const std::uint64_t before = search.RunNodes();
        const solving::Search::RunEnd end = search.Continue(allowance);
        const std::uint64_t used = search.RunNodes() - before;
        result.nodes += used;
        runner.nodes += used;
        switch (end) {
            case solving::Search::RunEnd::Found:
                result.verdict = SolveVerdict::Solved;
                result.board = search.Board();
                return result;
            case solving::Search::RunEnd::Exhausted:
                result.verdict = SolveVerdict::Unsolvable;
                result.reason = UnsolvableReason::NoSolution;
                return result;
            case solving::Search::RunEnd::Stopped:
                return result;
            case solving::Search::RunEnd::Paused:
                break;
        }
    }
    return result;
}

}  // namespace

UnsolvableReason CheckCounts(const CellArray<NeighbourSlots>& neighbours) {
    std::array<int, 3> onBorder{};     // by slot
    std::array<int, 3> pairOnBorder{};  // by the slot that is NOT on the border
    int lone = 0;
    int inner = 0;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const NeighbourSlots& slots = neighbours[cell];
        int borderEdges = 0;
        for (int slot = 0; slot < 3; ++slot) {
            if (slots[std::size_t(slot)] == 0) {
                ++onBorder[std::size_t(slot)];
                ++borderEdges;
            }
        }
        if (borderEdges == 0) ++inner;
        if (borderEdges == 3) ++lone;
        if (borderEdges == 2) {
            for (int slot = 0; slot < 3; ++slot)
                if (slots[std::size_t(slot)] != 0) ++pairOnBorder[std::size_t(slot)];
        }
    }
    // A lone cell has every pair of edges on the border too.
    for (int& pair : pairOnBorder) pair += lone;

    if (onBorder[kSlotP1P2] > kPiecesPerBlackEdge) return UnsolvableReason::TooManyP1P2OnBorder;
    if (onBorder[kSlotP1P3] > kPiecesPerBlackEdge) return UnsolvableReason::TooManyP1P3OnBorder;
    if (onBorder[kSlotP2P3] > kPiecesPerBlackEdge) return UnsolvableReason::TooManyP2P3OnBorder;
    for (int pair : pairOnBorder)
        if (pair > kPiecesPerTwoBlackEdges) return UnsolvableReason::TooManyTwoEdgesOnBorder;
    if (lone > kPiecesAllBlack) return UnsolvableReason::TooManyLoneCells;
    if (inner < kPiecesWithoutBlackEdge) return UnsolvableReason::TooFewInnerCells;

    // Everything above is one case of Hall's condition; the matching checks
    // all of them together.
    const solving::EdgeLinks links = solving::LinksOf(neighbours);
    solving::Matching matching;
    if (!matching.Match(links.borderAdmits, ~Bits(0))) return UnsolvableReason::BorderNeedsMissingPieces;
    return UnsolvableReason::None;
}

SolveResult SolveFigure(const CellArray<Triangle>& figurePoints, const CellArray<std::int16_t>& placed,
                        const SolverOptions& options) {
    SolveResult result;
    const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(figurePoints);
    const UnsolvableReason refuted = CheckCounts(neighbours);
    if (refuted != UnsolvableReason::None) {
        result.verdict = SolveVerdict::Unsolvable;
        result.reason = refuted;
        return result;
    }
    if (!PiecesAreDistinct(placed)) {
        result.verdict = SolveVerdict::Unsolvable;
        result.reason = UnsolvableReason::PiecesCannotStay;
        return result;
    }

    const solving::StopCheck stop(options.cancel, options.timeLimit);
    const solving::EdgeLinks links = solving::LinksOf(neighbours);
    // Learning pays on boards with pieces, where proofs can run to millions
    // of nodes. A figure alone is decided within some 1,200 nodes in every
    // family of the benchmark, and learning did not make those searches
    // smaller.
    const bool learning = options.learning && HasPieces(placed);
    result = SearchBoth(links, placed, options.seed, learning, stop, options.nodeBudget);
    if (result.verdict != SolveVerdict::Unsolvable || !HasPieces(placed)) return result;

    // No solution keeps the pieces. Tell the player whether the figure itself
    // has none, if the rest of the budget can decide it.
    result.reason = UnsolvableReason::PiecesCannotStay;
    if (result.nodes < options.nodeBudget) {
        CellArray<std::int16_t> empty;
        empty.Fill(0);
        const SolveResult alone =
            SearchBoth(links, empty, options.seed, false, stop, options.nodeBudget - result.nodes);
        result.nodes += alone.nodes;
        if (alone.verdict == SolveVerdict::Unsolvable) result.reason = UnsolvableReason::NoSolution;
    }
    return result;
}

SolveResult SolveFigure(const CellArray<Triangle>& figurePoints, const SolverOptions& options) {
    CellArray<std::int16_t> empty;
    empty.Fill(0);
    return SolveFigure(figurePoints, empty, options);
}

std::optional<CellArray<std::int16_t>> KnownSolution(const CellArray<Triangle>& figurePoints) {
    const SolveResult result = SolveFigure(figurePoints);
    if (result.verdict != SolveVerdict::Solved) return std::nullopt;
    return result.board;
}

bool BoardKeepsRules(const CellArray<NeighbourSlots>& neighbours, const CellArray<std::int16_t>& board) {
    Bits seen = 0;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const int piece = board[cell];
        if (piece < 1 || piece > kPieceCount) return false;
        if ((seen & Bit(PieceCode(piece))) != 0) return false;
        seen |= Bit(PieceCode(piece));
        for (int slot = 0; slot < 3; ++slot) {
            const int value = neighbours[cell][std::size_t(slot)];
            if (value == 0) {
                const int mask = kEdgeMaskOfSlot[std::size_t(slot)];
                if ((PieceCode(piece) & mask) != mask) return false;
            } else if (!PiecesMatch(slot, value, piece, board[NeighbourCell(value)])) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace murlen
