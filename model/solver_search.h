// The search behind SolveFigure (see solver.h for the whole picture): the
// figure's edges as the search needs them, the matching of cells to pieces,
// and one depth-first run over the open cells of a board.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

#include "model/geometry.h"
#include "model/solver_bits.h"
#include "model/solver_nogoods.h"
#include "model/types.h"

namespace murlen::solving {

// The three edges of a cell here, each with its two bits of the piece code:
// edge e holds bits 2e (the low bit) and 2e + 1.
constexpr int kEdgeCount = 3;
constexpr int kP1P2 = 0;  // bits 0, 1
constexpr int kP1P3 = 1;  // bits 2, 3
constexpr int kP2P3 = 2;  // bits 4, 5

// The colouring of an edge: its two bits, 0 = both white, 3 = both black, 1 and
// 2 the mixed ones.
constexpr int kBlackBlack = 3;
constexpr int EdgeColouring(int code, int edge) { return (code >> (2 * edge)) & 3; }
// Two cells that share an edge run along it in opposite directions, so the half
// at the low bit of one side touches the half at the high bit of the other (the
// pairs of PiecesMatch). One side's colouring is the other's with its bits swapped.
constexpr int Swapped(int colouring) { return ((colouring & 1) << 1) | (colouring >> 1); }

// The 16 codes whose edge `edge` has colouring `colouring`.
Bits WithColouring(int edge, int colouring);

// The figure as the search sees it (cells 0..63 here): across every edge of
// every cell, the neighbouring cell and its edge, and the codes that the border
// admits (black wherever an edge lies on the border).
struct EdgeLinks {
    std::array<std::array<std::int8_t, kEdgeCount>, kCellCount> partner{};      // -1 = on the border
    std::array<std::array<std::int8_t, kEdgeCount>, kCellCount> partnerEdge{};  // its edge
    std::array<Bits, kCellCount> borderAdmits{};
};
EdgeLinks LinksOf(const CellArray<NeighbourSlots>& neighbours);

// Hall's condition between cells and pieces: can every cell get its own piece
// out of its options? Augmenting paths over bitsets (Kuhn's algorithm), starting
// from the matching found the time before, which nearby in a search is almost
// always still good: a few microseconds on 64 x 64.
class Matching {
public:
    Matching() { pieceOf_.fill(-1); }
    // True when every cell in `cells` gets a piece of options[cell], each piece
    // going to one cell at most.
    bool Match(const std::array<Bits, kCellCount>& options, Bits cells);
    // After a successful Match: the cell holding `piece`, or -1.
    int Owner(int piece) const { return owner_[std::size_t(piece)]; }
    // After a successful Match: the piece of a cell in `cells`.
    int PieceOf(int cell) const { return pieceOf_[std::size_t(cell)]; }
    // After a failed Match: a cell that found no piece, and the pieces its
    // search went through, all of them held by other cells: those cells and
    // the failed one have no more pieces between them than these.
    int Failed() const { return failed_; }
    Bits FailedPieces() const { return failedPieces_; }

private:
    bool Augment(int cell, Bits& visited);

    std::array<std::int8_t, 64> owner_{};    // the cell holding each piece, -1 = none
    std::array<std::int8_t, 64> pieceOf_{};  // each cell's piece the last time, -1 = none
    const std::array<Bits, kCellCount>* options_ = nullptr;
    int failed_ = 0;
    Bits failedPieces_ = 0;
};

// A small, fast, seedable generator (splitmix64): the same seed, the same search.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t state_;
};

// Whether the search is to end: the caller's cancel flag or the clock.
class StopCheck {
public:
    using Clock = std::chrono::steady_clock;
    StopCheck(const std::atomic<bool>* cancel, std::chrono::nanoseconds timeLimit)
        : cancel_(cancel), limited_(timeLimit.count() > 0), deadline_(Clock::now() + timeLimit) {}
    bool Due() const {
        if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) return true;
        return limited_ && Clock::now() >= deadline_;
    }
    // Whole milliseconds left before the time limit, at least 1; 0 when
    // there is no limit.
    int MillisecondsLeft() const {
        if (!limited_) return 0;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        return int(std::clamp<decltype(left)>(left, 1, 1 << 30));
    }

private:
    const std::atomic<bool>* cancel_;
    bool limited_;
    Clock::time_point deadline_;
};

class Relaxation;

// The linear relaxations that the searches of one board share (see
// solver_relaxation.h), the coarse one (pieces grouped by their black-black
// edges) and the fine one, each built when first asked, and the nodes the
// searches have spent, which their solves are weighed against.
struct SharedRelaxation {
    SharedRelaxation();
    ~SharedRelaxation();
    std::array<std::unique_ptr<Relaxation>, 2> relaxations;
    std::uint64_t nodes = 0;  // of both searches
};

// How a run chooses where to branch.
enum class Branching {
    // The open cell with the fewest options, weighed by the failures there so
    // far (or a piece that fits only two cells): finds solutions fast.
    Cells,
    // First, edge by edge, whether an edge between two open cells is black on
    // both halves; then as Cells. The set has 16 pieces with a given edge all
    // black, 4 with a given pair of edges and 1 with all three, so where the
    // black-black edges can go is tightly counted, and many boards fail on
    // that alone: deciding it first keeps such a proof small.
    BlackEdges,
};

class Search {
public:
    enum class RunEnd {
        Found,      // the board is complete: see Board
        Exhausted,  // the run has searched everything: there is no solution
        Paused,     // the allowance is spent; Continue goes on where it stopped
        Stopped,    // the stop check fired
    };

    // Learning runs ask `relaxation`, when given, at their root.
    Search(const EdgeLinks& links, const StopCheck& stop, SharedRelaxation* relaxation = nullptr);

    // Lays the pieces already on the board (pool index per cell, 0 = none);
    // false when one repeats or breaks a rule with the border or another one.
    // The state afterwards is where every run starts.
    bool LayGiven(const CellArray<std::int16_t>& placed);

    // Starts a run from the start state; nothing is searched yet. A learning
    // run explains every failure by the options it rests on, keeps the
    // explanation as a nogood and jumps back past the branch points that had
    // no part in it; the nogoods are kept for the runs after it.
    void Begin(std::uint64_t seed, Branching branching, bool learning = false);
    // Goes on with the run for at most `allowance` more nodes.
    RunEnd Continue(std::uint64_t allowance);
    // Nodes of the current run so far.
    std::uint64_t RunNodes() const { return runNodes_; }
    // The share of the current run's tree searched so far, estimated from the
    // path: at each branch point the alternatives already left behind, each
    // weighted by the share of the branch point above.
    double Progress() const;

    // The full board after Continue has returned Found, as pool indexes.
    CellArray<std::int16_t> Board() const;

private:
    struct State {
        std::array<Bits, kCellCount> candidates{};
        std::array<std::int8_t, kCellCount> code{};
        Bits open = 0;
        Bits used = 0;
    };
    // Why options were narrowed: every cell of `cells` had its options within
    // `within`, and, for a nogood's narrowing, every other atom of the
    // nogood held. Branching has no reason.
    struct Reason {
        Bits cells = 0;
        Bits within = ~Bits(0);
        int nogood = -1;
    };
    struct TrailEntry {
        int cell;
        int level;  // the branch point it was made under, 0 = none
        Bits candidates;  // before
        Reason reason;
    };
    struct Marks {
        int trail;
        int placed;
    };
    // Where to branch: one cell and its options, one piece and the cells it
    // fits, or one edge of a cell, black-black or not.
    struct Choice {
        enum Kind { Cell, Piece, Edge } kind = Cell;
        int index = 0;     // the cell, or the piece's code
        Bits options = 0;  // the codes, the cells, or the black-black mask of the edge
    };
    // A branch point on the path from the root: its choice, the alternatives
    // not yet tried, and the state to go back to before trying the next one.
    struct Frame {
        Choice choice;
        Bits untried = 0;  // alternatives, rotated right by `offset`; for an edge: bit 0 black-black, bit 1 not
        int offset = 0;
        int alternatives = 0;
        Marks marks;
    };

    Marks Mark() const { return {trailTop_, placedTop_}; }
    void Undo(Marks marks);
    Bits Options(int cell) const { return candidates_[std::size_t(cell)] & ~used_; }
    int OpenPartner(int cell, int edge) const;
    int PartnerEdge(int cell, int edge) const { return links_.partnerEdge[std::size_t(cell)][std::size_t(edge)]; }
    void Restrict(int cell, Bits mask, const Reason& reason);
    void Place(int cell, int code, const Reason& reason);
    // Narrowing and placing by branching, or before any branch point.
    void Restrict(int cell, Bits mask) { Restrict(cell, mask, Reason{0, ~Bits(0), -1}); }
    void Place(int cell, int code) { Place(cell, code, Reason{0, ~Bits(0), -1}); }
    void Fail(const Reason& reason) {
        conflict_ = reason;
        countsFailed_ = 0;
    }
    // The colouring counts failed on these edge kinds (bit e for edge e),
    // for one colouring or, at -1, for any.
    void FailOnColourings(Bits edges, int colouring) {
        countsFailed_ = edges;
        countsColouring_ = colouring;
    }

    // Learning: the nogood behind the failure in conflict_ (or behind the
    // colouring counts, when countsFailed_), going back along the trail to
    // the last point where one narrowing alone made it hold; keeps it, jumps
    // back and narrows by it. False when the failure rests on nothing that
    // the current branch point did: then the search goes on in order.
    bool Learn();
    void NeedReason(const Reason& reason, int narrowedCell);
    void NeedColourings(Bits edges, int colouring);
    bool WakeNogoods(int cell);
    void ReduceNogoods();

    bool Propagate();
    bool ColouringCountsHold();
    bool FilterByMatching();
    bool Settle();
    bool RelaxationHolds();

    int Score(int cell, int optionCount) const;
    Choice ChooseCell();
    Choice ChooseBlackEdge();
    void Branch();
    bool ProbeEdges();
    bool TryNextAlternative();
    bool LeafKeepsRules() const;

    const EdgeLinks& links_;
    const StopCheck& stop_;
    SharedRelaxation* relaxation_;

    std::array<Bits, kCellCount> candidates_{};  // meaningful for open cells
    std::array<std::int8_t, kCellCount> code_{};  // -1 = open
    Bits open_ = 0;                               // cells without a piece
    Bits used_ = 0;                               // codes on the board
    Bits dirty_ = 0;                              // cells Propagate has to look at again
    State start_;

    // Every narrowing of a candidate set is undone from here, and learning
    // reads its reason here. On one path a cell's set can shrink at most 64
    // times.
    std::array<TrailEntry, kCellCount * 65> trail_;
    int trailTop_ = 0;
    std::array<std::int8_t, kCellCount> placedCells_{};
    int placedTop_ = 0;

    // The path from the root. Each branch point places a piece or decides an
    // edge, so the path is never longer than 64 + 3 * 64.
    std::array<Frame, kCellCount * 4> path_;
    int depth_ = 0;

    std::array<Bits, kCellCount> matchingOptions_{};
    // How often each cell has been where a node failed (left without options,
    // or without a piece in the matching), over all runs.
    std::array<std::uint32_t, kCellCount> failures_{};
    Matching matching_;
    Random random_{0};
    Branching branching_ = Branching::Cells;

    bool learning_ = false;
    Nogoods nogoods_;
    Reason conflict_;            // why the last failure happened
    Bits countsFailed_ = 0;      // or the edge kinds whose colouring counts failed
    int countsColouring_ = -1;   // the colouring whose count ran out, -1 = any
    bool failedAtRoot_ = false;  // a nogood fails at the start of the run
    bool probed_ = false;        // the run has tried its edges both ways
    std::array<Bits, kCellCount> need_{};          // the conflict analysis's pieces to explain, per cell
    std::array<Bits, kCellCount> atLevelStart_{};  // options when the current branch point began
    std::array<Bits, kCellCount> afterEntry_{};    // options after the trail entry being looked at
    std::array<Bits, kCellCount> rootOptions_{};   // options before the first branch point of the run
    std::array<Bits, kCellCount> lost_{};          // pieces each cell lost since its nogoods looked
    std::vector<Atom> learnt_;
    std::size_t reduceAt_ = 0;  // nogood atoms at which about half are forgotten
    std::uint64_t runNodes_ = 0;
    std::uint64_t allNodes_ = 0;  // over all runs
};

}  // namespace murlen::solving
