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

class Relaxation {
public:
    // The programme for the cells open in `open`, with the pieces in their
    // candidates: every later board is these cells with fewer candidates.
    Relaxation(const EdgeLinks& links, const std::array<Bits, kCellCount>& candidates, Bits open);
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

    // The rows: one per open cell, one per piece not on the board at the
    // start (0 for the others), then three per edge between open cells.
    int Rows() const { return rows_; }
    int CellRow(int cell) const { return cellRow_[std::size_t(cell)]; }
    int PieceRow(int piece) const { return pieceRow_[std::size_t(piece)]; }

    // The solves so far, and their simplex iterations.
    std::uint64_t Solves() const { return solves_; }
    std::uint64_t Iterations() const;

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
        int firstRow;  // a row per colouring but white-white, as seen from `cell`
    };
    static int EdgeRow(const SharedEdge& shared, int colouring);
    static int OtherSide(int piece, const SharedEdge& shared);
    bool Expresses(const std::array<Bits, kCellCount>& candidates) const;

    ThreadEnvironment environment_;  // first, so that it outlives the problem
    glp_prob* problem_ = nullptr;
    Bits open_ = 0;
    std::array<Bits, kCellCount> columns_{};  // the pieces with a column, per cell
    std::array<std::array<int, 64>, kCellCount> column_{};
    std::array<Bits, kCellCount> bounded_{};  // the columns whose upper bound is 1 now
    std::array<int, kCellCount> cellRow_{};
    std::array<int, 64> pieceRow_{};  // 0 = no row (a piece on the board from the start)
    std::vector<SharedEdge> edges_;
    int rows_ = 0;
    std::uint64_t solves_ = 0;
    std::vector<Bits> passed_;  // the candidates of the last board that passed
};

}  // namespace murlen::solving
