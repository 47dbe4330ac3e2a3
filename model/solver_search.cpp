#include "model/solver_search.h"

#include <algorithm>
#include <bit>

#include "model/piece.h"
#include "model/solver_relaxation.h"

namespace murlen::solving {

namespace {

int Count(Bits bits) { return std::popcount(bits); }
bool HasOne(Bits bits) { return bits != 0 && (bits & (bits - 1)) == 0; }

constexpr std::array<int, kEdgeCount> kSlotOfEdge{kSlotP1P2, kSlotP1P3, kSlotP2P3};

using ColouringMasks = std::array<std::array<Bits, 4>, kEdgeCount>;
constexpr ColouringMasks MakeColouringMasks() {
    ColouringMasks masks{};
    for (int edge = 0; edge < kEdgeCount; ++edge)
        for (int code = 0; code < 64; ++code)
            masks[std::size_t(edge)][std::size_t(EdgeColouring(code, edge))] |= Bit(code);
    return masks;
}
constexpr ColouringMasks kWithColouring = MakeColouringMasks();

// kAcross[e][f][s]: the codes a neighbour may hold when our edge e meets its
// edge f and our options show the colourings in the set s (bit v = colouring v).
using AcrossMasks = std::array<std::array<std::array<Bits, 16>, kEdgeCount>, kEdgeCount>;
constexpr AcrossMasks MakeAcrossMasks() {
    AcrossMasks masks{};
    for (int edge = 0; edge < kEdgeCount; ++edge)
        for (int other = 0; other < kEdgeCount; ++other)
            for (int shown = 0; shown < 16; ++shown)
                for (int colouring = 0; colouring < 4; ++colouring)
                    if ((shown & (1 << colouring)) != 0)
                        masks[std::size_t(edge)][std::size_t(other)][std::size_t(shown)] |=
                            kWithColouring[std::size_t(other)][std::size_t(Swapped(colouring))];
    return masks;
}
constexpr AcrossMasks kAcross = MakeAcrossMasks();

// kShowing[e][s]: the codes whose colouring of edge e is in the set s.
using ShowingMasks = std::array<std::array<Bits, 16>, kEdgeCount>;
constexpr ShowingMasks MakeShowingMasks() {
    ShowingMasks masks{};
    for (int edge = 0; edge < kEdgeCount; ++edge)
        for (int shown = 0; shown < 16; ++shown)
            for (int colouring = 0; colouring < 4; ++colouring)
                if ((shown & (1 << colouring)) != 0)
                    masks[std::size_t(edge)][std::size_t(shown)] |=
                        kWithColouring[std::size_t(edge)][std::size_t(colouring)];
    return masks;
}
constexpr ShowingMasks kShowing = MakeShowingMasks();

// The colourings of `edge` that some code in `codes` shows, as a set.
int ColouringsShown(Bits codes, int edge) {
    int shown = 0;
    for (int colouring = 0; colouring < 4; ++colouring)
        if ((codes & kWithColouring[std::size_t(edge)][std::size_t(colouring)]) != 0) shown |= 1 << colouring;
    return shown;
}

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

// When the nogoods reach this many atoms (some 16 bytes each), or twice as
// many as were kept the last time, the older half of them is forgotten.
// Measured on the hard boards: keeping 100,000 atoms or more made every node
// slower than the nogoods made the search smaller.
constexpr std::size_t kNogoodAtomsBeforeReduce = 30000;

// The relaxations, coarse first, and what a solve costs in nodes of a
// learning search, from the size of the programme (measured with callgrind
// on the Cross and Crown boards of the benchmark): a simplex iteration costs
// about as much as a node per 340 rows and columns (a node some 47,000
// instructions; an iteration of the fine programme of a Cross board with
// three pieces, 344 rows and 2,530 columns, some 420,000), the first solve
// takes up to twice as many iterations as the programme has rows, and every
// solve some fifty besides.
constexpr std::array<Resolution, 2> kRelaxations{Resolution::BlackEdges, Resolution::Pieces};
constexpr double kRowsAndColumnsPerNode = 340;
constexpr double kFirstSolveIterationsPerRow = 2;
constexpr double kIterationsPerSolve = 50;

}  // namespace

Bits WithColouring(int edge, int colouring) { return kWithColouring[std::size_t(edge)][std::size_t(colouring)]; }

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

bool Matching::Match(const std::array<Bits, kCellCount>& options, Bits cells) {
    owner_.fill(-1);
    options_ = &options;
    // Each cell keeps last time's piece where it still can; the others take a
    // free piece if there is one, and only the rest need augmenting paths.
    Bits taken = 0;
    Bits unmatched = 0;
    for (Bits rest = cells; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        const int piece = pieceOf_[std::size_t(cell)];
        if (piece >= 0 && (options[std::size_t(cell)] & ~taken & Bit(piece)) != 0) {
            taken |= Bit(piece);
            owner_[std::size_t(piece)] = std::int8_t(cell);
        } else {
            unmatched |= Bit(cell);
        }
    }
    for (Bits rest = unmatched; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        const Bits free = options[std::size_t(cell)] & ~taken;
        if (free == 0) continue;
        const int piece = First(free);
        taken |= Bit(piece);
        owner_[std::size_t(piece)] = std::int8_t(cell);
        pieceOf_[std::size_t(cell)] = std::int8_t(piece);
        unmatched &= ~Bit(cell);
    }
    for (Bits rest = unmatched; rest != 0; rest &= rest - 1) {
        Bits visited = 0;
        if (!Augment(First(rest), visited)) {
            failed_ = First(rest);
            failedPieces_ = visited;
            return false;
        }
    }
    return true;
}

bool Matching::Augment(int cell, Bits& visited) {
    Bits choices = (*options_)[std::size_t(cell)] & ~visited;
    while (choices != 0) {
        const int piece = First(choices);
        visited |= Bit(piece);
        const int holder = owner_[std::size_t(piece)];
        if (holder < 0 || Augment(holder, visited)) {
            owner_[std::size_t(piece)] = std::int8_t(cell);
            pieceOf_[std::size_t(cell)] = std::int8_t(piece);
            return true;
        }
        choices &= ~visited;
    }
    return false;
}

SharedRelaxation::SharedRelaxation() = default;
SharedRelaxation::~SharedRelaxation() = default;

Search::Search(const EdgeLinks& links, const StopCheck& stop, SharedRelaxation* relaxation)
    : links_(links), stop_(stop), relaxation_(relaxation) {
    candidates_ = links.borderAdmits;
    code_.fill(-1);
    open_ = ~Bits(0);
    used_ = 0;
}

bool Search::LayGiven(const CellArray<std::int16_t>& placed) {
    for (int cell = 0; cell < kCellCount; ++cell) {
        const int piece = placed[cell + 1];
        if (piece == 0) continue;
        const int code = PieceCode(piece);
        if ((Options(cell) & Bit(code)) == 0) return false;
        Place(cell, code);
    }
    start_ = State{candidates_, code_, open_, used_};
    return true;
}

void Search::Begin(std::uint64_t seed, Branching branching, bool learning) {
    learning_ = learning;
    candidates_ = start_.candidates;
    code_ = start_.code;
    open_ = start_.open;
    used_ = start_.used;
    dirty_ = open_;
    trailTop_ = 0;
    placedTop_ = 0;
    random_ = Random(seed);
    branching_ = branching;
    runNodes_ = 0;
    depth_ = 0;
    failedAtRoot_ = false;
    probed_ = false;
    if (!learning_) return;
    reduceAt_ = std::max(reduceAt_, kNogoodAtomsBeforeReduce);
    lost_.fill(0);
    failedAtRoot_ = nogoods_.Rewatch(candidates_, [this](int id, int cell, Bits pieces) {
        Restrict(cell, pieces, {0, ~Bits(0), id});
    }) >= 0;
}

// The search is a depth-first walk with an explicit path, so that it can stop
// before any node and go on later: settle the node, then finish, branch or
// turn back; turning back tries the next alternative of the deepest branch
// point that has one left.
Search::RunEnd Search::Continue(std::uint64_t allowance) {
    if (failedAtRoot_) return RunEnd::Exhausted;
    for (std::uint64_t spent = 0;; ++spent) {
        if (spent == allowance) return RunEnd::Paused;
        ++runNodes_;
        // The clock and the flag are read every thousand nodes or so.
        if ((++allNodes_ & 1023) == 0 && stop_.Due()) return RunEnd::Stopped;
        if (relaxation_ != nullptr) ++relaxation_->nodes;
        // At the root of a black-edge run, try each undecided edge both
        // ways first: a way that fails at once fixes the edge the other way.
        const bool probe = branching_ == Branching::BlackEdges && depth_ == 0 && !probed_;
        if (probe) probed_ = true;
        if (Settle() && RelaxationHolds() && (!probe || ProbeEdges())) {
            if (open_ == 0 && LeafKeepsRules()) return RunEnd::Found;
            if (open_ != 0) Branch();
        } else if (learning_) {
            if (depth_ == 0) return RunEnd::Exhausted;
            if (Learn()) continue;
        }
        if (!TryNextAlternative()) return RunEnd::Exhausted;
    }
}

// For each edge between open cells that may or may not be black-black: when
// one way fails on settling, the edge goes the other way; again until nothing
// changes. Each trial counts as a node. False when both ways fail somewhere.
bool Search::ProbeEdges() {
    for (bool changed = true; changed;) {
        changed = false;
        for (Bits rest = open_; rest != 0; rest &= rest - 1) {
            const int cell = First(rest);
            for (int edge = 0; edge < kEdgeCount; ++edge) {
                const Bits black = WithColouring(edge, kBlackBlack);
                const Bits options = Options(cell);
                if ((open_ & Bit(cell)) == 0 || OpenPartner(cell, edge) < 0 || (options & black) == 0 ||
                    (options & ~black) == 0)
                    continue;
                // Stopping early leaves the edges tried so far, which is sound.
                if (stop_.Due()) return true;
                for (const Bits way : {black, ~black}) {
                    ++runNodes_;
                    const Marks marks = Mark();
                    Restrict(cell, way);
                    const bool holds = Settle();
                    Undo(marks);
                    if (holds) continue;
                    Restrict(cell, ~way);
                    if (!Settle()) return false;
                    changed = true;
                    break;
                }
            }
        }
    }
    return true;
}

// Adds a branch point for the settled state.
void Search::Branch() {
    if (depth_ == 0) rootOptions_ = candidates_;
    Frame& frame = path_[std::size_t(depth_++)];
    frame.choice = branching_ == Branching::BlackEdges ? ChooseBlackEdge() : ChooseCell();
    frame.marks = Mark();
    if (frame.choice.kind == Choice::Edge) {
        frame.offset = 0;
        frame.untried = 3;
        frame.alternatives = 2;
    } else {
        frame.alternatives = Count(frame.choice.options);
        // Options are tried from a random starting point, so that restarts
        // explore different parts of the tree.
        frame.offset = int(random_.Next() & 63);
        frame.untried = std::rotr(frame.choice.options, frame.offset);
    }
}

// Goes back to the deepest branch point with an alternative left and applies
// it; false when there is none (everything has been searched).
bool Search::TryNextAlternative() {
    while (depth_ > 0) {
        Frame& frame = path_[std::size_t(depth_ - 1)];
        Undo(frame.marks);
        if (frame.untried == 0) {
            --depth_;
            continue;
        }
        const int next = First(frame.untried);
        frame.untried &= frame.untried - 1;
        const Choice& choice = frame.choice;
        if (choice.kind == Choice::Edge) {
            Restrict(choice.index, next == 0 ? choice.options : ~choice.options);
        } else {
            const int option = (next + frame.offset) & 63;
            if (choice.kind == Choice::Piece) {
                Place(option, choice.index);
            } else {
                Place(choice.index, option);
            }
        }
        return true;
    }
    return false;
}

double Search::Progress() const {
    double done = 0;
    double weight = 1;
    for (int depth = 0; depth < depth_; ++depth) {
        const Frame& frame = path_[std::size_t(depth)];
        const int tried = frame.alternatives - Count(frame.untried);  // the current one included
        done += weight * (tried - 1) / frame.alternatives;
        weight /= frame.alternatives;
    }
    return done;
}

CellArray<std::int16_t> Search::Board() const {
    CellArray<std::int16_t> board;
    for (int cell = 0; cell < kCellCount; ++cell)
        board[cell + 1] = std::int16_t(PoolIndexOfCode(code_[std::size_t(cell)]));
    return board;
}

void Search::Undo(Marks marks) {
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
    // The state is again one that Propagate had finished with.
    dirty_ = 0;
    if (learning_) lost_.fill(0);
}

// The open neighbour across `edge`, or -1.
int Search::OpenPartner(int cell, int edge) const {
    const int partner = links_.partner[std::size_t(cell)][std::size_t(edge)];
    return partner >= 0 && (open_ & Bit(partner)) != 0 ? partner : -1;
}

// Narrows an open cell's candidates, remembering the old set for Undo.
void Search::Restrict(int cell, Bits mask, const Reason& reason) {
    const Bits before = candidates_[std::size_t(cell)];
    const Bits after = before & mask;
    if (after == before) return;
    trail_[std::size_t(trailTop_++)] = {cell, depth_, before, reason};
    if (learning_) lost_[std::size_t(cell)] |= before & ~after;
    candidates_[std::size_t(cell)] = after;
    dirty_ |= Bit(cell);
}

// Lays `code` on `cell` (the reason: why the cell takes it); no other cell
// may take the piece any more, and each open neighbour keeps only the codes
// that agree with it along the shared edge.
void Search::Place(int cell, int code, const Reason& reason) {
    Restrict(cell, Bit(code), reason);
    code_[std::size_t(cell)] = std::int8_t(code);
    used_ |= Bit(code);
    open_ &= ~Bit(cell);
    placedCells_[std::size_t(placedTop_++)] = std::int8_t(cell);
    for (Bits rest = open_; rest != 0; rest &= rest - 1) Restrict(First(rest), ~Bit(code), {Bit(cell), Bit(code)});
    for (int edge = 0; edge < kEdgeCount; ++edge) {
        const int other = OpenPartner(cell, edge);
        if (other < 0) continue;
        const int colouring = EdgeColouring(code, edge);
        Restrict(other, WithColouring(PartnerEdge(cell, edge), Swapped(colouring)),
                 {Bit(cell), WithColouring(edge, colouring)});
    }
}

// Draws every conclusion that needs no choice, until none is left:
//   - a cell with a single option takes it;
//   - across every shared edge of two open cells, each keeps only the codes
//     whose colouring of that edge the other one can still show;
//   - a piece that fits a single cell goes there.
// Only the cells that changed are looked at again. False when a cell or a
// piece is left without any option.
bool Search::Propagate() {
    for (;;) {
        while (dirty_ != 0) {
            const int cell = First(dirty_);
            dirty_ &= dirty_ - 1;
            if (learning_ && !WakeNogoods(cell)) return false;
            if ((open_ & Bit(cell)) == 0) continue;
            const Bits options = Options(cell);
            if (options == 0) {
                ++failures_[std::size_t(cell)];
                Fail({Bit(cell), 0});
                return false;
            }
            if (HasOne(options)) {
                Place(cell, First(options));
                continue;
            }
            for (int edge = 0; edge < kEdgeCount; ++edge) {
                const int other = OpenPartner(cell, edge);
                if (other < 0) continue;
                const int otherEdge = PartnerEdge(cell, edge);
                const int shown = ColouringsShown(options, edge);
                Restrict(other, kAcross[std::size_t(edge)][std::size_t(otherEdge)][std::size_t(shown)],
                         {Bit(cell), kShowing[std::size_t(edge)][std::size_t(shown)]});
            }
        }
        Bits once = 0;   // pieces fitting at least one open cell
        Bits twice = 0;  // ... at least two
        for (Bits rest = open_; rest != 0; rest &= rest - 1) {
            const Bits options = Options(First(rest));
            twice |= once & options;
            once |= options;
        }
        const Bits free = ~used_;
        if ((free & ~once) != 0) {
            Fail({~Bits(0), ~Bit(First(free & ~once))});
            return false;
        }
        const Bits single = free & once & ~twice;
        if (single == 0) return true;
        for (Bits rest = single; rest != 0; rest &= rest - 1) {
            const int code = First(rest);
            int home = -1;
            for (Bits cells = open_; cells != 0 && home < 0; cells &= cells - 1)
                if ((Options(First(cells)) & Bit(code)) != 0) home = First(cells);
            // Two pieces that fit only the same cell.
            if (home < 0) {
                Fail({~Bits(0), ~Bit(code)});
                return false;
            }
            Place(home, code, {~Bit(home), ~Bit(code)});
        }
    }
}

// The nogoods watching the pieces `cell` lost; false when one fails.
bool Search::WakeNogoods(int cell) {
    const Bits lost = lost_[std::size_t(cell)];
    lost_[std::size_t(cell)] = 0;
    const int failed = nogoods_.Wake(cell, lost, candidates_, [this](int id, int narrowed, Bits pieces) {
        Restrict(narrowed, pieces, {0, ~Bits(0), id});
    });
    if (failed < 0) return true;
    Fail({0, ~Bits(0), failed});
    return false;
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
bool Search::ColouringCountsHold() {
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
    for (int edge = 0; edge < kEdgeCount; ++edge) {
        for (int colouring = 0; colouring < 4; ++colouring) {
            if (need[std::size_t(edge)][std::size_t(colouring)] >= 0) continue;
            FailOnColourings(Bit(edge), colouring);
            return false;
        }
    }

    // Long edges meet only long edges: white-white and black-black come in
    // pairs, the two mixed colourings in equal numbers.
    const auto& l = need[kP2P3];
    if (l[0] % 2 != 0 || l[3] % 2 != 0 || l[1] != l[2] || l[0] / 2 + l[3] / 2 + l[1] != longPairs) {
        FailOnColourings(Bit(kP2P3), -1);
        return false;
    }

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
    FailOnColourings(Bit(kP1P2) | Bit(kP1P3), -1);
    return false;
}

// Keeps in every open cell only the pieces it takes in some complete matching
// (Regin's filtering for "all different"): with one matching found, cell c can
// take the piece of cell d exactly when c and d lie on a common alternating
// cycle, that is in the same strongly connected component of the graph with
// an arc c -> d whenever c can take d's piece. This narrows cells by counting
// (sixteen cells that need the sixteen pieces with an edge all black leave none
// of them to the others) long before a cell runs out of options.
bool Search::FilterByMatching() {
    for (Bits rest = open_; rest != 0; rest &= rest - 1)
        matchingOptions_[std::size_t(First(rest))] = Options(First(rest));
    if (!matching_.Match(matchingOptions_, open_)) {
        ++failures_[std::size_t(matching_.Failed())];
        Bits hall = Bit(matching_.Failed());
        for (Bits rest = matching_.FailedPieces(); rest != 0; rest &= rest - 1)
            hall |= Bit(matching_.Owner(First(rest)));
        Fail({hall, matching_.FailedPieces()});
        return false;
    }

    std::array<Bits, kCellCount> forward{}, backward{};
    for (Bits rest = open_; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        for (Bits pieces = matchingOptions_[std::size_t(cell)]; pieces != 0; pieces &= pieces - 1) {
            const int other = matching_.Owner(First(pieces));
            forward[std::size_t(cell)] |= Bit(other);
            backward[std::size_t(other)] |= Bit(cell);
        }
    }
    const auto reach = [](const std::array<Bits, kCellCount>& arcs, Bits from, Bits within) {
        Bits reached = from;
        Bits frontier = reached;
        while (frontier != 0) {
            Bits next = 0;
            for (Bits rest = frontier; rest != 0; rest &= rest - 1) next |= arcs[std::size_t(First(rest))];
            frontier = next & within & ~reached;
            reached |= frontier;
        }
        return reached;
    };
    // What each cell reaches, for the reasons of a learning search, worked
    // out when first needed.
    std::array<Bits, kCellCount> closure;
    Bits closed = 0;
    // A path between two cells never leaves their component through one
    // found before, so each search can stay within the cells left.
    for (Bits remaining = open_; remaining != 0;) {
        const int cell = First(remaining);
        const Bits component = reach(forward, Bit(cell), remaining) & reach(backward, Bit(cell), remaining);
        remaining &= ~component;
        Bits pieces = 0;
        for (Bits rest = component; rest != 0; rest &= rest - 1) pieces |= Bit(matching_.PieceOf(First(rest)));
        if (!learning_) {
            for (Bits rest = component; rest != 0; rest &= rest - 1) Restrict(First(rest), pieces | used_);
            continue;
        }
        // For a learning search, each reason as small as it comes: a cell the
        // component reaches outside itself, with all that it reaches, holds
        // exactly the pieces those cells can have, so the component cannot
        // have them.
        Bits targets = 0;
        for (Bits rest = component; rest != 0; rest &= rest - 1) targets |= forward[std::size_t(First(rest))];
        targets &= ~component;
        while (targets != 0) {
            const int target = First(targets);
            if ((closed & Bit(target)) == 0) closure[std::size_t(target)] = reach(forward, Bit(target), open_);
            closed |= Bit(target);
            const Bits hall = closure[std::size_t(target)];
            targets &= ~hall;
            Bits hallPieces = 0;
            for (Bits rest = hall; rest != 0; rest &= rest - 1) hallPieces |= Bit(matching_.PieceOf(First(rest)));
            for (Bits rest = component; rest != 0; rest &= rest - 1)
                Restrict(First(rest), ~hallPieces, {hall, hallPieces});
        }
    }
    return true;
}

// Propagation and both counting checks until none of them narrows anything.
bool Search::Settle() {
    for (;;) {
        if (!Propagate()) return false;
        if (open_ == 0) return true;
        if (!ColouringCountsHold()) return false;
        const int before = trailTop_;
        if (!FilterByMatching()) return false;
        if (trailTop_ == before) return true;
    }
}

// The linear relaxations (see solver_relaxation.h), at the root of a learning
// run: a refutation there is a proof, the root being the board with only what
// follows from the rules and the nogoods. Asked below the root as well, the
// fine one made the hard boards of the benchmark slower: a solve costs as
// much as a thousand nodes or more. Each waits until the searches have spent
// more on nodes than it has on solves, its first solve estimated from its
// size, so that a board the search decides by itself soon takes at most
// twice as long for each. The coarse one costs a tenth of the fine one, so
// it is asked at the first root of a learning run, where it refutes most of
// the boards of few pieces on the Cross that went on to the fine one.
bool Search::RelaxationHolds() {
    if (!learning_ || relaxation_ == nullptr || depth_ > 0 || open_ == 0) return true;
    SharedRelaxation& shared = *relaxation_;
    std::array<Bits, kCellCount> candidates = candidates_;
    for (Bits rest = open_; rest != 0; rest &= rest - 1) candidates[std::size_t(First(rest))] &= ~used_;
    for (std::size_t i = 0; i < kRelaxations.size(); ++i) {
        std::unique_ptr<Relaxation>& relaxation = shared.relaxations[i];
        // Building it costs some twenty nodes; the solves are what count.
        if (relaxation == nullptr)
            relaxation = std::make_unique<Relaxation>(links_, start_.candidates, start_.open, kRelaxations[i]);
        const double iterations = kFirstSolveIterationsPerRow * relaxation->Rows() +
                                  double(relaxation->Iterations()) + kIterationsPerSolve * double(relaxation->Solves());
        const double cost = iterations * (relaxation->Rows() + relaxation->Columns()) / kRowsAndColumnsPerNode;
        if (cost > double(shared.nodes)) continue;
        if (relaxation->Refutes(candidates, stop_.MillisecondsLeft())) return false;
    }
    return true;
}

// Conflict analysis. A failure rests on some cells having their options
// within some sets (need_: the pieces each cell must be without). Going back
// along the trail, each narrowing of the current branch point that took a
// needed piece away is replaced by its own reason, until one narrowing alone
// stands for the branch point (the first unique implication point of SAT
// solvers). What is left is the nogood: these cells without these pieces
// cannot be completed. The search goes back to the branch point where all
// but the last narrowing held, and narrows the last cell by the nogood there.
bool Search::Learn() {
    need_.fill(0);
    if (countsFailed_ != 0) {
        NeedColourings(countsFailed_, countsColouring_);
    } else {
        NeedReason(conflict_, -1);
    }
    const int levelStart = path_[std::size_t(depth_ - 1)].marks.trail;
    atLevelStart_ = candidates_;
    for (int j = trailTop_ - 1; j >= levelStart; --j)
        atLevelStart_[std::size_t(trail_[std::size_t(j)].cell)] = trail_[std::size_t(j)].candidates;
    afterEntry_ = candidates_;
    int last = -1;  // the cell whose narrowing alone stands for the current branch point
    for (int j = trailTop_ - 1; j >= levelStart && last < 0; --j) {
        const TrailEntry& entry = trail_[std::size_t(j)];
        const std::size_t cell = std::size_t(entry.cell);
        const Bits removed = entry.candidates & ~afterEntry_[cell];
        afterEntry_[cell] = entry.candidates;
        const Bits hit = need_[cell] & removed;
        if (hit == 0) continue;
        need_[cell] &= ~hit;
        bool others = false;
        for (std::size_t c = 0; c < kCellCount && !others; ++c) others = (need_[c] & atLevelStart_[c]) != 0;
        if (others) {
            NeedReason(entry.reason, entry.cell);
        } else {
            need_[cell] |= hit;
            last = entry.cell;
        }
    }
    // A failure that the branch point had no part in: go on in order.
    if (last < 0) return false;

    // The nogood, without what holds before any branch point; its atom that
    // became true last before the current branch point says where to go back.
    learnt_.clear();
    learnt_.push_back({last, need_[std::size_t(last)] & rootOptions_[std::size_t(last)]});
    need_[std::size_t(last)] = 0;
    int back = 0;
    int backCell = -1;
    int backPiece = 0;  // a piece that backCell lost at the branch point `back`
    for (int j = levelStart - 1; j >= 0 && backCell < 0; --j) {
        const TrailEntry& entry = trail_[std::size_t(j)];
        if (entry.level == 0) break;
        const std::size_t cell = std::size_t(entry.cell);
        const Bits removed = entry.candidates & ~afterEntry_[cell];
        afterEntry_[cell] = entry.candidates;
        if ((need_[cell] & removed & rootOptions_[cell]) == 0) continue;
        back = entry.level;
        backCell = entry.cell;
        backPiece = First(need_[cell] & removed & rootOptions_[cell]);
    }
    if (backCell >= 0) {
        learnt_.push_back({backCell, need_[std::size_t(backCell)] & rootOptions_[std::size_t(backCell)]});
        need_[std::size_t(backCell)] = 0;
    }
    for (int cell = 0; cell < kCellCount; ++cell) {
        const Bits pieces = need_[std::size_t(cell)] & rootOptions_[std::size_t(cell)];
        if (pieces != 0) learnt_.push_back({cell, pieces});
    }
    Undo(path_[std::size_t(back)].marks);
    depth_ = back;
    if (nogoods_.AtomCount() > reduceAt_) ReduceNogoods();
    const int id = nogoods_.Add(learnt_, First(candidates_[std::size_t(last)] & learnt_[0].pieces), backPiece);

    Restrict(last, learnt_[0].pieces, {0, ~Bits(0), id});
    return true;
}

// Forgets about half of the nogoods, keeping those that narrowed options on
// the trail.
void Search::ReduceNogoods() {
    std::vector<int> reasons;
    for (int j = 0; j < trailTop_; ++j)
        if (trail_[std::size_t(j)].reason.nogood >= 0) reasons.push_back(trail_[std::size_t(j)].reason.nogood);
    nogoods_.Reduce(reasons, candidates_);
    reduceAt_ = std::max(kNogoodAtomsBeforeReduce, 2 * nogoods_.AtomCount());
    std::size_t next = 0;
    for (int j = 0; j < trailTop_; ++j)
        if (trail_[std::size_t(j)].reason.nogood >= 0) trail_[std::size_t(j)].reason.nogood = reasons[next++];
}

// The pieces a reason needs its cells to be without, added to need_; a
// nogood's atom on the narrowed cell is what it concluded, not a reason.
void Search::NeedReason(const Reason& reason, int narrowedCell) {
    for (Bits rest = reason.cells; rest != 0; rest &= rest - 1) need_[std::size_t(First(rest))] |= ~reason.within;
    if (reason.nogood < 0) return;
    const Atom* atoms = nogoods_.AtomsOf(reason.nogood);
    for (int k = 0; k < nogoods_.SizeOf(reason.nogood); ++k)
        if (atoms[k].cell != narrowedCell) need_[std::size_t(atoms[k].cell)] |= atoms[k].pieces;
}

// The colouring counts rest on the colourings of the edges that are decided
// (in every option of their cell the same): on those of the given kinds, and
// of one colouring unless it is -1.
void Search::NeedColourings(Bits edges, int colouring) {
    for (int cell = 0; cell < kCellCount; ++cell) {
        const Bits options = candidates_[std::size_t(cell)];
        for (int edge = 0; edge < kEdgeCount; ++edge) {
            if ((edges & Bit(edge)) == 0) continue;
            const int shown = EdgeColouring(First(options), edge);
            if ((options & ~WithColouring(edge, shown)) != 0 || (colouring >= 0 && shown != colouring)) continue;
            need_[std::size_t(cell)] |= ~WithColouring(edge, shown);
        }
    }
}

// How good a cell is to branch on: few options, and many failures there so
// far (the "dom/wdeg" rule: a conflict found once is searched first the next
// time, so that a local contradiction is not found again under every choice
// made elsewhere). Lower is better.
int Search::Score(int cell, int optionCount) const {
    const int failures = int(std::min<std::uint32_t>(failures_[std::size_t(cell)], 1000));
    return optionCount * 16 / (1 + failures);
}

// The cell with the best score; but when every cell has three or more options
// and some piece fits only two cells, that piece.
Search::Choice Search::ChooseCell() {
    // Ties go to the first in a scan that starts at a random cell.
    const int offset = int(random_.Next() & 63);
    Choice best;
    int bestCount = 65;
    int bestScore = 1 << 30;
    Bits once = 0, twice = 0, thrice = 0;  // pieces fitting at least 1, 2, 3 cells
    for (Bits rest = std::rotr(open_, offset); rest != 0; rest &= rest - 1) {
        const int cell = (First(rest) + offset) & 63;
        const Bits options = Options(cell);
        const int count = Count(options);
        const int score = Score(cell, count);
        if (score < bestScore) {
            bestScore = score;
            bestCount = count;
            best = {Choice::Cell, cell, options};
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
    for (Bits rest = open_; rest != 0; rest &= rest - 1)
        if ((Options(First(rest)) & Bit(code)) != 0) cells |= Bit(First(rest));
    return {Choice::Piece, code, cells};
}

// Of the open cells with an edge towards another open cell that may or may not
// be black-black, the one with the best score, and that edge; as ChooseCell
// when every such edge is decided.
Search::Choice Search::ChooseBlackEdge() {
    const int offset = int(random_.Next() & 63);
    Choice best;
    int bestScore = 1 << 30;
    for (Bits rest = std::rotr(open_, offset); rest != 0; rest &= rest - 1) {
        const int cell = (First(rest) + offset) & 63;
        const Bits options = Options(cell);
        const int score = Score(cell, Count(options));
        if (score >= bestScore) continue;
        for (int edge = 0; edge < kEdgeCount; ++edge) {
            const Bits black = WithColouring(edge, kBlackBlack);
            if (OpenPartner(cell, edge) < 0 || (options & black) == 0 || (options & ~black) == 0) continue;
            bestScore = score;
            best = {Choice::Edge, cell, black};
            break;
        }
    }
    return best.options != 0 ? best : ChooseCell();
}

// Every edge of the full board once more: black-black on the border, the
// swapped colouring of the neighbour's edge inside. Propagation already
// ensures this; the check keeps a wrong answer out even for a neighbour
// table that is not symmetric.
bool Search::LeafKeepsRules() const {
    for (int cell = 0; cell < kCellCount; ++cell) {
        const int code = code_[std::size_t(cell)];
        for (int edge = 0; edge < kEdgeCount; ++edge) {
            const int colouring = EdgeColouring(code, edge);
            const int other = links_.partner[std::size_t(cell)][std::size_t(edge)];
            const int expected =
                other < 0 ? kBlackBlack
                          : Swapped(EdgeColouring(code_[std::size_t(other)], PartnerEdge(cell, edge)));
            if (colouring != expected) return false;
        }
    }
    return true;
}

}  // namespace murlen::solving
