// The linear relaxation of a board: counting that sees all the pieces and all
// the shared edges at once.
//
// Let x(c, p) in [0, 1] say how much cell c holds piece p. Every cell holds one
// piece in all, every piece lies on one cell in all, and across every shared
// edge the two cells show each colouring equally much (swapped, as the halves
// pair up). A board that can be completed gives a 0/1 solution, so a board
// whose relaxation has no solution at all cannot be completed. This is the
// matching and the colouring counts together, with fractions allowed, and it
// refutes boards that neither refutes alone: Cross and Crown boards whose
// proofs by search ran to millions of nodes, or beyond any budget, fail here
// in one solve.
//
// The same programme comes coarser, with the pieces in groups: x(c, g) says
// how much cell c holds a piece of group g, every group lies on the open
// cells as often as it has pieces left, and the edges count only the kinds
// of colouring that tell the groups apart. Any completion still gives a 0/1
// solution, so a refutation is as good a proof. Grouped by which of their
// edges are black on both halves (8 groups, one row per shared edge), the
// programme is a tenth of the work of the fine one and refutes nearly every
// board of few pieces on the Cross that the fine one refutes; the Cross and
// Crown boards whose proofs need the mixed colourings take the fine one.
//
// GLPK solves the linear programme in floating point, and its answer is not
// taken on trust. A refutation comes with a certificate (Farkas' lemma):
// multipliers y, one per equation, such that for every x within its bounds
// the combined left side y.Ax stays below the combined right side y.b. The
// multipliers are rounded to multiples of 2^-32, where every sum of the
// check is exact in double arithmetic, and checked here; a certificate that
// fails the check is no refutation.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/solver_search.h"

struct glp_prob;

namespace murlen::solving {

// How finely the programme tells the pieces apart.
enum class Resolution {
    BlackEdges,  // 8 groups: which edges are black on both halves
    Pieces,      // every piece on its own, every colouring of every edge
};

class Relaxation {
public:
    // The programme for the cells open in `open`, with the pieces in their
    // candidates: every later board is these cells with fewer candidates.
    Relaxation(const EdgeLinks& links, const std::array<Bits, kCellCount>& candidates, Bits open,
               Resolution resolution = Resolution::Pieces);
    ~Relaxation();
    Relaxation(const Relaxation&) = delete;
    Relaxation& operator=(const Relaxation&) = delete;

    // True when the relaxation with these candidates (a placed cell's only
    // candidate being its piece) has no solution, proven by a checked
    // certificate. A solve that takes longer than `milliseconds` (0 = no
    // limit) gives up: false.
    bool Refutes(const std::array<Bits, kCellCount>& candidates, int milliseconds = 0);

    // The two halves of Refutes, for a closer look. Certificate solves the
    // programme and returns GLPK's multipliers when it finds no solution,
    // nothing when it finds one, gives up, or the candidates go beyond the
    // programme's columns. Certifies is the check, in our own arithmetic, of
    // any multipliers whatever their origin: multipliers[r] belongs to row r,
    // r = 1..Rows() (element 0 is not read).
    std::optional<std::vector<double>> Certificate(const std::array<Bits, kCellCount>& candidates,
                                                   int milliseconds = 0);
    bool Certifies(const std::vector<double>& multipliers, const std::array<Bits, kCellCount>& candidates) const;

    // The rows: one per open cell, one per group with pieces not on the
    // board at the start, then one per kind of colouring but one for each
    // edge between open cells. PieceRow is the row of the piece's group, 0
    // for a piece on the board from the start.
    int Rows() const { return rows_; }
    int Columns() const { return columnCount_; }  // but the artificial ones
    int CellRow(int cell) const { return cellRow_[std::size_t(cell)]; }
    int PieceRow(int piece) const {
        return (free_ & Bit(piece)) != 0 ? groupRow_[std::size_t(groupOf_[std::size_t(piece)])] : 0;
    }

    // The solves so far, and their simplex iterations; whether a board has
    // passed.
    std::uint64_t Solves() const { return solves_; }
    std::uint64_t Iterations() const;
    bool Passed() const { return !passed_.empty(); }

private:
    // GLPK keeps an environment per thread, made by its first call there.
    // Every Relaxation counts among the users of its thread's environment,
    // and the last one to go frees it: no thread keeps it longer than its
    // relaxations, and none loses it under a live one. So a Relaxation is
    // used and destroyed on the thread that made it.
    class ThreadEnvironment {
    public:
        ThreadEnvironment();
        ~ThreadEnvironment();
        ThreadEnvironment(const ThreadEnvironment&) = delete;
        ThreadEnvironment& operator=(const ThreadEnvironment&) = delete;
    };

    struct SharedEdge {
        int cell, edge, other, otherEdge;
        int firstRow;  // a row per kind of colouring but kind 0, as seen from `cell`
    };
    int EdgeRow(const SharedEdge& shared, int group, int cell) const;
    Bits GroupsOf(Bits pieces) const;
    bool Expresses(const std::array<Bits, kCellCount>& candidates) const;

    ThreadEnvironment environment_;  // first, so that it outlives the problem
    glp_prob* problem_ = nullptr;
    Bits open_ = 0;
    Bits free_ = 0;  // the pieces not on the board at the start
    // Each colouring's kind (0 has no row), and the groups: a piece's group
    // is the kinds of its three edges, as digits in base `kinds_`.
    std::array<int, 4> kindOf_{};
    int kinds_ = 0;
    std::array<int, 64> groupOf_{};
    std::array<Bits, 64> groupPieces_{};
    std::array<int, 64> groupLeft_{};  // its pieces not on the board at the start
    std::array<int, 64> groupRow_{};   // 0 = no row (no piece of the group left)
    std::array<Bits, kCellCount> columns_{};  // the groups with a column, per cell
    std::array<std::array<int, 64>, kCellCount> column_{};
    std::array<Bits, kCellCount> bounded_{};  // the columns whose upper bound is 1 now
    std::array<int, kCellCount> cellRow_{};
    std::vector<SharedEdge> edges_;
    int rows_ = 0;
    int columnCount_ = 0;
    std::uint64_t solves_ = 0;
    std::vector<Bits> passed_;  // the candidates of the last board that passed
};

}  // namespace murlen::solving
