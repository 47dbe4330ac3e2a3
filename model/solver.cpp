#include "model/solver.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>

#include "model/piece.h"
#include "model/rules.h"

namespace murlen {

namespace {

// A set of piece codes (bit c = code c) or of cells (bit i = cell i + 1).
using Bits = std::uint64_t;
constexpr Bits Bit(int index) { return Bits(1) << index; }
int Count(Bits bits) { return std::popcount(bits); }
int First(Bits bits) { return std::countr_zero(bits); }

// The three edges of a cell here, each with its two bits of the piece code:
// edge e holds bits 2e (the low bit) and 2e + 1.
constexpr int kEdgeCount = 3;
constexpr int kP1P2 = 0;  // bits 0, 1
constexpr int kP1P3 = 1;  // bits 2, 3
constexpr int kP2P3 = 2;  // bits 4, 5
constexpr std::array<int, kEdgeCount> kSlotOfEdge{kSlotP1P2, kSlotP1P3, kSlotP2P3};

// The colouring of an edge: its two bits, 0 = both white, 3 = both black, 1 and
// 2 the mixed ones.
constexpr int kBlackBlack = 3;
constexpr int EdgeColouring(int code, int edge) { return (code >> (2 * edge)) & 3; }

// Two cells that share an edge run along it in opposite directions, so the half
// at the low bit of one side touches the half at the high bit of the other (the
// pairs of PiecesMatch). One side's colouring is the other's with its bits swapped.
constexpr std::array<int, 4> kSwapped{0, 2, 1, 3};

// kWithColouring[e][v]: the 16 codes whose edge e has colouring v.
constexpr std::array<std::array<Bits, 4>, kEdgeCount> MakeColouringMasks() {
    std::array<std::array<Bits, 4>, kEdgeCount> masks{};
    for (int edge = 0; edge < kEdgeCount; ++edge)
        for (int code = 0; code < 64; ++code)
            masks[std::size_t(edge)][std::size_t(EdgeColouring(code, edge))] |= Bit(code);
    return masks;
}
constexpr std::array<std::array<Bits, 4>, kEdgeCount> kWithColouring = MakeColouringMasks();
Bits WithColouring(int edge, int colouring) { return kWithColouring[std::size_t(edge)][std::size_t(colouring)]; }

// The set's counts behind the bounds of CheckCounts.
constexpr int kPiecesPerBlackEdge = 16;      // a given edge all black
constexpr int kPiecesPerTwoBlackEdges = 4;   // a given pair of edges all black
constexpr int kPiecesAllBlack = 1;
constexpr int kPiecesWithoutBlackEdge = 27;  // 3 * 3 * 3: no edge all black

int PoolIndexOfCode(int code) { return code == 0 ? kPieceCount : code; }

// The figure as the search sees it (cells 0..63 here): across every edge of
// every cell, the neighbouring cell and its edge, and the codes that the border
// admits (black wherever an edge lies on the border).
struct EdgeLinks {
    std::array<std::array<std::int8_t, kEdgeCount>, kCellCount> partner{};      // -1 = on the border
    std::array<std::array<std::int8_t, kEdgeCount>, kCellCount> partnerEdge{};  // its edge
    std::array<Bits, kCellCount> borderAdmits{};
};

EdgeLinks LinksOf(const CellArray<NeighbourSlots>& neighbours) {
    EdgeLinks links;
    for (int cell = 0; cell < kCellCount; ++cell) {
        Bits admits = ~Bits(0);
        for (int edge = 0; edge < kEdgeCount; ++edge) {
            const int value = neighbours[cell + 1][std::size_t(kSlotOfEdge[std::size_t(edge)])];
            auto& partner = links.partner[std::size_t(cell)][std::size_t(edge)];
            auto& partnerEdge = links.partnerEdge[std::size_t(cell)][std::size_t(edge)];
            if (value == 0) {
                partner = -1;
                partnerEdge = -1;
                admits &= WithColouring(edge, kBlackBlack);
                continue;
            }
            partner = std::int8_t(NeighbourCell(value) - 1);
            // Without the flag a short edge meets the neighbour's other short edge.
            if (edge == kP2P3 || SameEdge(value)) {
                partnerEdge = std::int8_t(edge);
            } else {
                partnerEdge = std::int8_t(edge == kP1P2 ? kP1P3 : kP1P2);
            }
        }
        links.borderAdmits[std::size_t(cell)] = admits;
    }
    return links;
}

// Hall's condition between cells and pieces: can every cell in `cells` get its
// own piece out of its options? Augmenting paths over bitsets (Kuhn's
// algorithm); on 64 x 64 this takes a few microseconds.
class Matching {
public:
    bool IsPerfect(const std::array<Bits, kCellCount>& options, Bits cells) {
        owner_.fill(-1);
        options_ = &options;
        // Greedy first: most cells find a free piece at once.
        Bits taken = 0;
        Bits unmatched = 0;
        for (Bits rest = cells; rest != 0; rest &= rest - 1) {
            const int cell = First(rest);
            const Bits free = options[std::size_t(cell)] & ~taken;
            if (free == 0) {
                unmatched |= Bit(cell);
                continue;
            }
            const int piece = First(free);
            taken |= Bit(piece);
            owner_[std::size_t(piece)] = std::int8_t(cell);
        }
        for (Bits rest = unmatched; rest != 0; rest &= rest - 1) {
            Bits visited = 0;
            if (!Augment(First(rest), visited)) return false;
        }
        return true;
    }

private:
    bool Augment(int cell, Bits& visited) {
        Bits choices = (*options_)[std::size_t(cell)] & ~visited;
        while (choices != 0) {
            const int piece = First(choices);
            visited |= Bit(piece);
            const int holder = owner_[std::size_t(piece)];
            if (holder < 0 || Augment(holder, visited)) {
                owner_[std::size_t(piece)] = std::int8_t(cell);
                return true;
            }
            choices &= ~visited;
        }
        return false;
    }

    std::array<std::int8_t, 64> owner_{};  // the cell holding each piece, -1 = none
    const std::array<Bits, kCellCount>* options_ = nullptr;
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
// The matching check runs at nodes no deeper than this many branchings: near
// the root a refutation cuts away the most; deeper it rarely fires.
constexpr int kMatchingDepth = 12;
// How often the cancel flag is read (a power of two minus one).
constexpr std::uint64_t kCancelCheckMask = 4095;

// The P1P2-P1P3 edges that are white-white (u0) or black-black (u3), s in all:
// is there a split with u0 <= a0, b0 and u3 <= a3, b3, where a and b are the
// white-white and black-black colourings still needed on P1P2 and P1P3, and
// the remainders even (they go to same-kind edges, two halves at a time)?
bool SplitsEvenly(int a0, int b0, int s, int a3, int b3) {
    if ((a0 - b0) % 2 != 0 || (a3 - b3) % 2 != 0 || (a0 + a3 - s) % 2 != 0) return false;
    int low = std::max(0, s - std::min(a3, b3));
    const int high = std::min({a0, b0, s});
    if ((low - a0) % 2 != 0) ++low;  // u0 has the parity of a0
    return low <= high;
}

// Whether the caller wants the search to end: the cancel flag or the clock.
class StopCheck {
public:
    explicit StopCheck(const SolverOptions& options)
        : cancel_(options.cancel),
          limited_(options.timeLimit.count() > 0),
          deadline_(std::chrono::steady_clock::now() + options.timeLimit) {}
    bool Due() const {
        if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) return true;
        return limited_ && std::chrono::steady_clock::now() >= deadline_;
    }

private:
    const std::atomic<bool>* cancel_;
    bool limited_;
    std::chrono::steady_clock::time_point deadline_;
};

class Search {
public:
    enum class RunEnd { Found, Exhausted, CutOff, Cancelled };

    Search(const EdgeLinks& links, const StopCheck& stop) : links_(links), stop_(stop) {
        candidates_ = links.borderAdmits;
        code_.fill(-1);
        open_ = ~Bits(0);
        used_ = 0;
    }

    // Lays the pieces already on the board (pool index per cell, 0 = none);
    // false when one repeats or breaks a rule with the border or another one.
    // The state afterwards is where every run starts.
    bool LayGiven(const CellArray<std::int16_t>& placed) {
        for (int cell = 0; cell < kCellCount; ++cell) {
            const int piece = placed[cell + 1];
            if (piece == 0) continue;
            const int code = PieceCode(piece);
            if ((candidates_[std::size_t(cell)] & ~used_ & Bit(code)) == 0) return false;
            Place(cell, code);
        }
        start_ = State{candidates_, code_, open_, used_};
        return true;
    }

    // One run from the start state, cut off after `cutoff` nodes.
    RunEnd Run(std::uint64_t cutoff, std::uint64_t seed) {
        candidates_ = start_.candidates;
        code_ = start_.code;
        open_ = start_.open;
        used_ = start_.used;
        trailTop_ = 0;
        placedTop_ = 0;
        random_ = Random(seed);
        runNodes_ = 0;
        cutoff_ = cutoff;
        end_ = RunEnd::Exhausted;
        if (Visit(0)) return RunEnd::Found;
        return end_;
    }

    std::uint64_t RunNodes() const { return runNodes_; }

    CellArray<std::int16_t> Board() const {
        CellArray<std::int16_t> board;
        for (int cell = 0; cell < kCellCount; ++cell)
            board[cell + 1] = std::int16_t(PoolIndexOfCode(code_[std::size_t(cell)]));
        return board;
    }

private:
    struct State {
        std::array<Bits, kCellCount> candidates{};
        std::array<std::int8_t, kCellCount> code{};
        Bits open = 0;
        Bits used = 0;
    };
    struct TrailEntry {
        int cell;
        Bits candidates;
    };
    struct Marks {
        int trail;
        int placed;
    };

    Marks Mark() const { return {trailTop_, placedTop_}; }

    void Undo(Marks marks) {
        while (trailTop_ > marks.trail) {
            const TrailEntry& entry = trail_[std::size_t(--trailTop_)];
            candidates_[std::size_t(entry.cell)] = entry.candidates;
        }
        while (placedTop_ > marks.placed) {
            const int cell = placedCells_[std::size_t(--placedTop_)];
            used_ &= ~Bit(code_[std::size_t(cell)]);
            open_ |= Bit(cell);
            code_[std::size_t(cell)] = -1;
        }
    }

    // The options of an open cell: its candidates not yet on the board.
    Bits Options(int cell) const { return candidates_[std::size_t(cell)] & ~used_; }

    // The open neighbour across `edge`, or -1.
    int OpenPartner(int cell, int edge) const {
        const int partner = links_.partner[std::size_t(cell)][std::size_t(edge)];
        return partner >= 0 && (open_ & Bit(partner)) != 0 ? partner : -1;
    }
    int PartnerEdge(int cell, int edge) const { return links_.partnerEdge[std::size_t(cell)][std::size_t(edge)]; }

    // Narrows an open cell's candidates, remembering the old set for Undo.
    // True when something changed.
    bool Restrict(int cell, Bits mask) {
        const Bits before = candidates_[std::size_t(cell)];
        const Bits after = before & mask;
        if (after == before) return false;
        trail_[std::size_t(trailTop_++)] = {cell, before};
        candidates_[std::size_t(cell)] = after;
        return true;
    }

    // Lays `code` on `cell`; each open neighbour keeps only the codes that
    // agree with it along the shared edge.
    void Place(int cell, int code) {
        code_[std::size_t(cell)] = std::int8_t(code);
        used_ |= Bit(code);
        open_ &= ~Bit(cell);
        placedCells_[std::size_t(placedTop_++)] = std::int8_t(cell);
        for (int edge = 0; edge < kEdgeCount; ++edge) {
            const int other = OpenPartner(cell, edge);
            if (other < 0) continue;
            Restrict(other, WithColouring(PartnerEdge(cell, edge), kSwapped[std::size_t(EdgeColouring(code, edge))]));
        }
    }

    // Draws every conclusion that needs no choice, until none is left:
    //   - a cell with a single option takes it;
    //   - a piece that fits a single cell goes there;
    //   - across every shared edge of two open cells, each keeps only the
    //     codes whose colouring of that edge the other one can still show.
    // False when a cell or a piece is left without any option.
    bool Propagate() {
        for (;;) {
            bool changed = false;
            Bits once = 0;   // pieces fitting at least one open cell
            Bits twice = 0;  // ... at least two
            for (Bits rest = open_; rest != 0; rest &= rest - 1) {
                const int cell = First(rest);
                if ((open_ & Bit(cell)) == 0) continue;  // placed earlier in this sweep
                const Bits options = Options(cell);
                if (options == 0) return false;
                if ((options & (options - 1)) == 0) {
                    Place(cell, First(options));
                    changed = true;
                    continue;
                }
                for (int edge = 0; edge < kEdgeCount; ++edge) {
                    const int other = OpenPartner(cell, edge);
                    if (other < 0) continue;
                    const int otherEdge = PartnerEdge(cell, edge);
                    Bits allowed = 0;
                    for (int colouring = 0; colouring < 4; ++colouring) {
                        if ((options & WithColouring(edge, colouring)) != 0)
                            allowed |= WithColouring(otherEdge, kSwapped[std::size_t(colouring)]);
                    }
                    changed |= Restrict(other, allowed);
                }
                twice |= once & options;
                once |= options;
            }
            // The sets seen during the sweep can only have shrunk since, so a
            // piece missing from `once` fits no cell now either.
            const Bits free = ~used_;
            if ((free & ~once) != 0) return false;
            for (Bits single = free & once & ~twice; single != 0; single &= single - 1) {
                const int code = First(single);
                int home = -1;
                for (Bits rest = open_; rest != 0 && home < 0; rest &= rest - 1) {
                    if ((Options(First(rest)) & Bit(code)) != 0) home = First(rest);
                }
                if (home < 0) return false;
                Place(home, code);
                changed = true;
            }
            if (!changed) return true;
        }
    }

    // A count the matching cannot see. Each edge (P1P2, P1P3, P2P3) shows each
    // of its four colourings in exactly 16 pieces, so the open cells must show,
    // per edge and colouring, exactly as many as the unused pieces do. A
    // colouring fixed on a cell counts at once; an undecided edge between two
    // open cells adds its colouring to both sides, swapped: two white-white,
    // two black-black, or one of each mixed colouring. That brings parity into
    // play, which cuts many dead ends on figures with long thin arms. Needs the
    // edge propagation to have run, so that an undecided edge is undecided on
    // both sides.
    bool ColouringCountsHold() const {
        // need[e][v]: colourings v of edge e still to be shown by undecided edges.
        std::array<std::array<int, 4>, kEdgeCount> need{};
        const Bits free = ~used_;
        for (int edge = 0; edge < kEdgeCount; ++edge)
            for (int colouring = 0; colouring < 4; ++colouring)
                need[std::size_t(edge)][std::size_t(colouring)] = Count(free & WithColouring(edge, colouring));
        // Undecided edges between open cells, by the edges they join.
        int p1p2Pairs = 0, p1p3Pairs = 0, crossPairs = 0, longPairs = 0;
        for (Bits rest = open_; rest != 0; rest &= rest - 1) {
            const int cell = First(rest);
            const Bits options = Options(cell);
            for (int edge = 0; edge < kEdgeCount; ++edge) {
                const int colouring = EdgeColouring(First(options), edge);
                if ((options & ~WithColouring(edge, colouring)) == 0) {
                    --need[std::size_t(edge)][std::size_t(colouring)];
                    continue;
                }
                // Each undecided edge is counted from one side only.
                const int other = links_.partner[std::size_t(cell)][std::size_t(edge)];
                const int otherEdge = PartnerEdge(cell, edge);
                if (otherEdge != edge) {
                    if (edge == kP1P2) ++crossPairs;
                } else if (other > cell) {
                    if (edge == kP1P2) ++p1p2Pairs;
                    if (edge == kP1P3) ++p1p3Pairs;
                    if (edge == kP2P3) ++longPairs;
                }
            }
        }
        for (const auto& byColouring : need)
            for (int n : byColouring)
                if (n < 0) return false;

        // Long edges meet only long edges: white-white and black-black come in
        // pairs, the two mixed colourings in equal numbers.
        const auto& l = need[kP2P3];
        if (l[0] % 2 != 0 || l[3] % 2 != 0 || l[1] != l[2] || l[0] / 2 + l[3] / 2 + l[1] != longPairs)
            return false;

        // Short edges: P1P2-P1P2 and P1P3-P1P3 edges behave like long edges;
        // P1P2-P1P3 edges add one to each. Try every number s of P1P2-P1P3
        // edges that are white-white or black-black; the rest follows.
        const auto& a = need[kP1P2];
        const auto& b = need[kP1P3];
        for (int s = 0; s <= crossPairs; ++s) {
            const int sameA = a[0] + a[3] - s;  // P1P2 halves left for white-white or black-black P1P2-P1P2 edges
            const int sameB = b[0] + b[3] - s;
            if (sameA < 0 || sameB < 0 || sameA % 2 != 0 || sameB % 2 != 0) continue;
            const int mixedA = p1p2Pairs - sameA / 2;  // mixed P1P2-P1P2 edges
            const int mixedB = p1p3Pairs - sameB / 2;
            if (mixedA < 0 || mixedB < 0) continue;
            const int crossLowA = a[1] - mixedA;  // P1P2-P1P3 edges showing colouring 1 on the P1P2 side
            const int crossHighA = a[2] - mixedA;
            if (crossLowA < 0 || crossHighA < 0 || s + crossLowA + crossHighA != crossPairs) continue;
            if (b[2] != mixedB + crossLowA || b[1] != mixedB + crossHighA) continue;
            // White-white and black-black must split between the kinds.
            if (!SplitsEvenly(a[0], b[0], s, a[3], b[3])) continue;
            return true;
        }
        return false;
    }

    bool MatchingHolds() {
        for (Bits rest = open_; rest != 0; rest &= rest - 1) {
            const int cell = First(rest);
            matchingOptions_[std::size_t(cell)] = Options(cell);
        }
        return matching_.IsPerfect(matchingOptions_, open_);
    }

    // The choice to branch on: one cell and its options, or one piece and the
    // cells it fits.
    struct Choice {
        bool byPiece = false;
        int index = 0;
        Bits options = 0;
    };

    // The cell with the fewest options; but when every cell has three or more
    // and some piece fits only two cells, that piece.
    Choice Choose() {
        // Ties go to the first in a scan that starts at a random cell.
        const int offset = int(random_.Next() & 63);
        Choice best;
        int bestCount = 65;
        Bits once = 0, twice = 0, thrice = 0;  // pieces fitting at least 1, 2, 3 cells
        for (Bits rest = std::rotr(open_, offset); rest != 0; rest &= rest - 1) {
            const int cell = (First(rest) + offset) & 63;
            const Bits options = Options(cell);
            const int count = Count(options);
            if (count < bestCount) {
                bestCount = count;
                best = {false, cell, options};
            }
            thrice |= twice & options;
            twice |= once & options;
            once |= options;
        }
        const Bits fitsTwo = ~used_ & twice & ~thrice;
        if (bestCount <= 2 || fitsTwo == 0) return best;
        const int pieceOffset = int(random_.Next() & 63);
        const int code = (First(std::rotr(fitsTwo, pieceOffset)) + pieceOffset) & 63;
        Bits cells = 0;
        for (Bits rest = open_; rest != 0; rest &= rest - 1) {
            if ((Options(First(rest)) & Bit(code)) != 0) cells |= Bit(First(rest));
        }
        return {true, code, cells};
    }

    // Every edge of the full board once more: black-black on the border, the
    // swapped colouring of the neighbour's edge inside. Propagation already
    // ensures this; the check keeps a wrong answer out even for a neighbour
    // table that is not symmetric.
    bool LeafKeepsRules() const {
        for (int cell = 0; cell < kCellCount; ++cell) {
            const int code = code_[std::size_t(cell)];
            for (int edge = 0; edge < kEdgeCount; ++edge) {
                const int colouring = EdgeColouring(code, edge);
                const int other = links_.partner[std::size_t(cell)][std::size_t(edge)];
                const int expected = other < 0 ? kBlackBlack
                                               : kSwapped[std::size_t(EdgeColouring(code_[std::size_t(other)],
                                                                                    PartnerEdge(cell, edge)))];
                if (colouring != expected) return false;
            }
        }
        return true;
    }

    // One node of the search: propagate, check, branch. True when the board is
    // complete (the state then holds the solution).
    bool Visit(int depth) {
        ++runNodes_;
        if (runNodes_ > cutoff_) {
            end_ = RunEnd::CutOff;
            return false;
        }
        if ((runNodes_ & kCancelCheckMask) == 0 && stop_.Due()) {
            end_ = RunEnd::Cancelled;
            return false;
        }
        if (!Propagate()) return false;
        if (open_ == 0) return LeafKeepsRules();
        if (!ColouringCountsHold()) return false;
        if (depth <= kMatchingDepth && !MatchingHolds()) return false;

        const Choice choice = Choose();
        // Options are tried from a random starting point, so that restarts
        // explore different parts of the tree.
        const int offset = int(random_.Next() & 63);
        for (Bits rest = std::rotr(choice.options, offset); rest != 0; rest &= rest - 1) {
            const int option = (First(rest) + offset) & 63;
            const Marks marks = Mark();
            if (choice.byPiece) {
                Place(option, choice.index);
            } else {
                Place(choice.index, option);
            }
            if (Visit(depth + 1)) return true;
            Undo(marks);
            if (end_ != RunEnd::Exhausted) return false;
        }
        return false;
    }

    const EdgeLinks& links_;
    const StopCheck& stop_;

    std::array<Bits, kCellCount> candidates_{};  // meaningful for open cells
    std::array<std::int8_t, kCellCount> code_{};  // -1 = open
    Bits open_ = 0;                               // cells without a piece
    Bits used_ = 0;                               // codes on the board
    State start_;

    // Every narrowing of a candidate set is undone from here. On one path a
    // cell's set can shrink at most 64 times before the cell is placed.
    std::array<TrailEntry, kCellCount * 65> trail_{};
    int trailTop_ = 0;
    std::array<std::int8_t, kCellCount> placedCells_{};
    int placedTop_ = 0;

    std::array<Bits, kCellCount> matchingOptions_{};
    Matching matching_;
    Random random_{0};
    std::uint64_t runNodes_ = 0;
    std::uint64_t cutoff_ = 0;
    RunEnd end_ = RunEnd::Exhausted;
};

bool HasAnyPiece(const CellArray<std::int16_t>& placed) {
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (placed[cell] != 0) return true;
    return false;
}

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

// Runs with restarts until an answer or the end of the budget. An exhausted run
// proves that there is no solution (reason NoSolution).
SolveResult SearchWithRestarts(const EdgeLinks& links, const CellArray<std::int16_t>& placed,
                               const SolverOptions& options, std::uint64_t budget) {
    SolveResult result;
    // About 70 KB of state, allocated once before the search starts.
    const StopCheck stop(options);
    auto search = std::make_unique<Search>(links, stop);
    if (!search->LayGiven(placed)) {
        result.verdict = SolveVerdict::Unsolvable;
        result.reason = UnsolvableReason::PiecesCannotStay;
        return result;
    }
    Random seeds(options.seed);
    for (std::uint64_t run = 1;; ++run) {
        if (stop.Due()) return result;
        const std::uint64_t cutoff = std::min(budget - result.nodes, kRestartUnit * Luby(run));
        const Search::RunEnd end = search->Run(cutoff, seeds.Next());
        result.nodes += std::min(search->RunNodes(), cutoff);
        switch (end) {
            case Search::RunEnd::Found:
                result.verdict = SolveVerdict::Solved;
                result.board = search->Board();
                return result;
            case Search::RunEnd::Exhausted:
                result.verdict = SolveVerdict::Unsolvable;
                result.reason = UnsolvableReason::NoSolution;
                return result;
            case Search::RunEnd::Cancelled:
                return result;
            case Search::RunEnd::CutOff:
                if (result.nodes >= budget) return result;
                ++result.restarts;
                break;
        }
    }
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
    const EdgeLinks links = LinksOf(neighbours);
    Matching matching;
    if (!matching.IsPerfect(links.borderAdmits, ~Bits(0))) return UnsolvableReason::BorderNeedsMissingPieces;
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

    const EdgeLinks links = LinksOf(neighbours);
    result = SearchWithRestarts(links, placed, options, options.nodeBudget);
    if (result.verdict != SolveVerdict::Unsolvable || !HasAnyPiece(placed)) return result;

    // No solution keeps the pieces. Tell the player whether the figure itself
    // has none, if the rest of the budget can decide it.
    result.reason = UnsolvableReason::PiecesCannotStay;
    if (result.nodes < options.nodeBudget) {
        CellArray<std::int16_t> empty;
        empty.Fill(0);
        const SolveResult alone = SearchWithRestarts(links, empty, options, options.nodeBudget - result.nodes);
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
    constexpr std::array<int, 3> kEdgeMaskOfSlot{kEdgeP1P2, kEdgeP2P3, kEdgeP1P3};
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
