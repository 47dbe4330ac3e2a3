#include "model/solver_relaxation.h"

#include <glpk.h>

#include <algorithm>
#include <bit>
#include <cmath>

namespace murlen::solving {

namespace {

// Certificates are rounded to this grid: with multipliers of at most 1 and
// a few thousand terms per sum, every sum is exact in a double.
constexpr double kGrid = 4294967296.0;  // 2^32

// Below this, the programme's shortfall is taken for rounding noise.
constexpr double kShortfall = 1e-7;

}  // namespace

Relaxation::Relaxation(const EdgeLinks& links, const std::array<Bits, kCellCount>& candidates, Bits open)
    : open_(open) {
    glp_term_out(GLP_OFF);
    problem_ = glp_create_prob();
    glp_set_obj_dir(problem_, GLP_MIN);

    // Rows: each open cell holds one piece, each piece not yet on the board
    // lies on one open cell, and each edge between open cells shows each
    // colouring as much on one side as the other.
    Bits free = ~Bits(0);
    for (int cell = 0; cell < kCellCount; ++cell)
        if ((open & Bit(cell)) == 0) free &= ~candidates[std::size_t(cell)];
    for (Bits rest = open; rest != 0; rest &= rest - 1) cellRow_[std::size_t(First(rest))] = ++rows_;
    for (Bits rest = free; rest != 0; rest &= rest - 1) pieceRow_[std::size_t(First(rest))] = ++rows_;
    for (Bits rest = open; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        for (int edge = 0; edge < kEdgeCount; ++edge) {
            const int other = links.partner[std::size_t(cell)][std::size_t(edge)];
            if (other <= cell || (open & Bit(other)) == 0) continue;
            edges_.push_back({cell, edge, other, links.partnerEdge[std::size_t(cell)][std::size_t(edge)], rows_ + 1});
            rows_ += 3;
        }
    }
    glp_add_rows(problem_, rows_);
    for (int row = 1; row <= rows_; ++row) {
        const bool countsOne = row <= std::popcount(open) + std::popcount(free);
        glp_set_row_bnds(problem_, row, GLP_FX, countsOne ? 1.0 : 0.0, countsOne ? 1.0 : 0.0);
    }

    // Columns: x(c, p) for every open cell and candidate, then an artificial
    // column per row that makes up any shortfall, u >= 0 in Ax + u = b. The
    // programme minimises their sum: zero exactly when the relaxation has a
    // solution, and its dual at the optimum is the certificate when not. It
    // always has a solution itself (x = 0, u = b, as b >= 0), which is the
    // first basis.
    int columnCount = 0;
    for (Bits rest = open; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        columns_[std::size_t(cell)] = candidates[std::size_t(cell)] & free;
        columnCount += std::popcount(columns_[std::size_t(cell)]);
    }
    glp_add_cols(problem_, columnCount + rows_);
    int column = 0;
    for (Bits rest = open; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        for (Bits pieces = columns_[std::size_t(cell)]; pieces != 0; pieces &= pieces - 1) {
            const int piece = First(pieces);
            column_[std::size_t(cell)][std::size_t(piece)] = ++column;
            // GLPK counts from 1: element 0 is not read.
            int entries = 0;
            std::array<int, 6> rows{};
            std::array<double, 6> values{};
            rows[std::size_t(++entries)] = cellRow_[std::size_t(cell)];
            values[std::size_t(entries)] = 1;
            rows[std::size_t(++entries)] = pieceRow_[std::size_t(piece)];
            values[std::size_t(entries)] = 1;
            for (const SharedEdge& shared : edges_) {
                const int row = shared.cell == cell    ? EdgeRow(shared, EdgeColouring(piece, shared.edge))
                                : shared.other == cell ? EdgeRow(shared, OtherSide(piece, shared))
                                                       : 0;
                if (row == 0) continue;
                rows[std::size_t(++entries)] = row;
                values[std::size_t(entries)] = shared.cell == cell ? 1 : -1;
            }
            glp_set_mat_col(problem_, column, entries, rows.data(), values.data());
            glp_set_col_bnds(problem_, column, GLP_DB, 0.0, 1.0);
        }
        bounded_[std::size_t(cell)] = columns_[std::size_t(cell)];
    }
    for (int row = 1; row <= rows_; ++row) {
        ++column;
        const int rowOf[2] = {0, row};
        const double one[2] = {0, 1};
        glp_set_mat_col(problem_, column, 1, rowOf, one);
        glp_set_col_bnds(problem_, column, GLP_LO, 0.0, 0.0);
        glp_set_obj_coef(problem_, column, 1.0);
        glp_set_col_stat(problem_, column, GLP_BS);
        glp_set_row_stat(problem_, row, GLP_NS);
    }
}

// The row of an edge for a colouring as seen from its first cell. White-white
// has none: the other three and the two cells' rows imply it.
int Relaxation::EdgeRow(const SharedEdge& shared, int colouring) {
    return colouring == 0 ? 0 : shared.firstRow + colouring - 1;
}

// The colouring that a piece on the edge's other cell shows, as seen from its
// first cell.
int Relaxation::OtherSide(int piece, const SharedEdge& shared) {
    return Swapped(EdgeColouring(piece, shared.otherEdge));
}

Relaxation::~Relaxation() { glp_delete_prob(problem_); }

std::uint64_t Relaxation::Iterations() const { return std::uint64_t(glp_get_it_cnt(problem_)); }

namespace {
thread_local int environmentUsers = 0;
}

Relaxation::ThreadEnvironment::ThreadEnvironment() { ++environmentUsers; }

Relaxation::ThreadEnvironment::~ThreadEnvironment() {
    if (--environmentUsers == 0) glp_free_env();
}

bool Relaxation::Refutes(const std::array<Bits, kCellCount>& candidates, int milliseconds) {
    const std::optional<std::vector<double>> multipliers = Certificate(candidates, milliseconds);
    return multipliers.has_value() && Certifies(*multipliers, candidates);
}

// Candidates beyond the programme's columns would be bounds it cannot
// express (a search never asks so).
bool Relaxation::Expresses(const std::array<Bits, kCellCount>& candidates) const {
    for (int cell = 0; cell < kCellCount; ++cell)
        if ((open_ & Bit(cell)) != 0 && (candidates[std::size_t(cell)] & ~columns_[std::size_t(cell)]) != 0)
            return false;
    return true;
}

std::optional<std::vector<double>> Relaxation::Certificate(const std::array<Bits, kCellCount>& candidates,
                                                           int milliseconds) {
    // A board with every candidate of one that passed passes too: its
    // bounds are only wider.
    bool wider = !passed_.empty();
    for (int cell = 0; cell < kCellCount && wider; ++cell)
        wider = (passed_[std::size_t(cell)] & ~candidates[std::size_t(cell)]) == 0;
    if (wider || !Expresses(candidates)) return std::nullopt;
    ++solves_;
    // Only the bounds change from one board to the next: the dual simplex
    // goes on from the last basis.
    for (Bits rest = open_; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        const Bits allowed = candidates[std::size_t(cell)] & columns_[std::size_t(cell)];
        for (Bits changed = allowed ^ bounded_[std::size_t(cell)]; changed != 0; changed &= changed - 1) {
            const int piece = First(changed);
            const int column = column_[std::size_t(cell)][std::size_t(piece)];
            if ((allowed & Bit(piece)) == 0) {
                glp_set_col_bnds(problem_, column, GLP_FX, 0.0, 0.0);
                continue;
            }
            glp_set_col_bnds(problem_, column, GLP_DB, 0.0, 1.0);
            // A column set free again stays non-basic at the bound its
            // reduced cost asks for, which keeps the basis dual feasible.
            if (glp_get_col_stat(problem_, column) != GLP_BS)
                glp_set_col_stat(problem_, column, glp_get_col_dual(problem_, column) < 0 ? GLP_NU : GLP_NL);
        }
        bounded_[std::size_t(cell)] = allowed;
    }
    glp_smcp parameters;
    glp_init_smcp(&parameters);
    parameters.msg_lev = GLP_MSG_OFF;
    parameters.meth = GLP_DUALP;
    if (milliseconds > 0) parameters.tm_lim = milliseconds;
    // The first solve starts from the artificial columns, a basis that is
    // feasible already: the primal simplex gets on from there twice as fast
    // as the dual simplex from GLPK's standard basis.
    if (glp_get_it_cnt(problem_) == 0) parameters.meth = GLP_PRIMAL;
    const int rc = glp_simplex(problem_, &parameters);
    // Out of time, the next solve goes on from where this one stopped; from
    // a basis gone bad numerically, it starts afresh.
    if (rc == GLP_ETMLIM) return std::nullopt;
    if (rc != 0 || glp_get_status(problem_) != GLP_OPT) {
        glp_std_basis(problem_);
        return std::nullopt;
    }
    if (glp_get_obj_val(problem_) < kShortfall) {
        passed_.assign(candidates.begin(), candidates.end());
        return std::nullopt;
    }
    std::vector<double> duals(std::size_t(rows_) + 1);
    for (int row = 1; row <= rows_; ++row) duals[std::size_t(row)] = glp_get_row_dual(problem_, row);
    return duals;
}

// The certificate check. With multipliers y (one per row), each column's
// coefficient in y.A is r(c, p) = y(cell row) + y(piece row) + the edge
// rows' multipliers, with their signs. For x within the bounds, y.Ax is at
// most the sum of the positive r over the columns allowed, while y.b is the
// sum of the multipliers of the cell and piece rows; a y.b above that bound
// means no x solves Ax = b. The multipliers are scaled to at most 1 and
// rounded to the grid, so that every sum below is exact; a multiplier that
// is not a finite number (which every comparison would pass over) makes the
// certificate void.
bool Relaxation::Certifies(const std::vector<double>& multipliers,
                           const std::array<Bits, kCellCount>& candidates) const {
    if (multipliers.size() != std::size_t(rows_) + 1 || !Expresses(candidates)) return false;
    double largest = 0;
    for (std::size_t row = 1; row < multipliers.size(); ++row) {
        if (!std::isfinite(multipliers[row])) return false;
        largest = std::max(largest, std::abs(multipliers[row]));
    }
    if (largest == 0) return false;
    // y[0] stands for the white-white colouring, which has no row.
    std::vector<double> y(multipliers.size(), 0.0);
    for (std::size_t row = 1; row < multipliers.size(); ++row)
        y[row] = std::round(multipliers[row] / largest * kGrid) / kGrid;

    std::array<std::array<double, 64>, kCellCount> r{};
    double rightSide = 0;
    for (Bits rest = open_; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        rightSide += y[std::size_t(cellRow_[std::size_t(cell)])];
        for (Bits pieces = columns_[std::size_t(cell)]; pieces != 0; pieces &= pieces - 1) {
            const int piece = First(pieces);
            r[std::size_t(cell)][std::size_t(piece)] =
                y[std::size_t(cellRow_[std::size_t(cell)])] + y[std::size_t(pieceRow_[std::size_t(piece)])];
        }
    }
    for (int piece = 0; piece < 64; ++piece)
        if (pieceRow_[std::size_t(piece)] != 0) rightSide += y[std::size_t(pieceRow_[std::size_t(piece)])];
    for (const SharedEdge& shared : edges_) {
        for (Bits pieces = columns_[std::size_t(shared.cell)]; pieces != 0; pieces &= pieces - 1) {
            const int piece = First(pieces);
            r[std::size_t(shared.cell)][std::size_t(piece)] +=
                y[std::size_t(EdgeRow(shared, EdgeColouring(piece, shared.edge)))];
        }
        for (Bits pieces = columns_[std::size_t(shared.other)]; pieces != 0; pieces &= pieces - 1) {
            const int piece = First(pieces);
            r[std::size_t(shared.other)][std::size_t(piece)] -=
                y[std::size_t(EdgeRow(shared, OtherSide(piece, shared)))];
        }
    }

    // The certificate is read both ways round: GLPK's sign convention for
    // duals is not ours to rely on.
    for (const double sign : {1.0, -1.0}) {
        double leftBound = 0;
        for (Bits rest = open_; rest != 0; rest &= rest - 1) {
            const int cell = First(rest);
            for (Bits pieces = candidates[std::size_t(cell)] & columns_[std::size_t(cell)]; pieces != 0;
                 pieces &= pieces - 1)
                leftBound += std::max(0.0, sign * r[std::size_t(cell)][std::size_t(First(pieces))]);
        }
        if (sign * rightSide > leftBound) return true;
    }
    return false;
}

}  // namespace murlen::solving
