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

Relaxation::Relaxation(const EdgeLinks& links, const std::array<Bits, kCellCount>& candidates, Bits open,
                       Resolution resolution)
    : open_(open) {
    // The kinds of colouring: all four apart, or black-black and the rest.
    // A kind is the same seen from either side of an edge (the swap of the
    // halves maps a kind to itself) but in the fine programme, which swaps.
    kindOf_ = resolution == Resolution::Pieces ? std::array<int, 4>{0, 1, 2, 3} : std::array<int, 4>{0, 0, 0, 1};
    kinds_ = resolution == Resolution::Pieces ? 4 : 2;
    for (int piece = 0; piece < 64; ++piece) {
        int group = 0;
        for (int edge = kEdgeCount - 1; edge >= 0; --edge) group = group * kinds_ + kindOf_[std::size_t(EdgeColouring(piece, edge))];
        groupOf_[std::size_t(piece)] = group;
        groupPieces_[std::size_t(group)] |= Bit(piece);
    }

    glp_term_out(GLP_OFF);
    problem_ = glp_create_prob();
    glp_set_obj_dir(problem_, GLP_MIN);

    // Rows: each open cell holds one piece, each group lies on the open
    // cells as often as it has pieces not yet on the board, and each edge
    // between open cells shows each kind of colouring as much on one side
    // as the other.
    free_ = ~Bits(0);
    for (int cell = 0; cell < kCellCount; ++cell)
        if ((open & Bit(cell)) == 0) free_ &= ~candidates[std::size_t(cell)];
    for (Bits rest = open; rest != 0; rest &= rest - 1) cellRow_[std::size_t(First(rest))] = ++rows_;
    std::vector<double> rightSide(std::size_t(rows_) + 1, 1.0);
    for (int group = 0; group < 64; ++group) {
        groupLeft_[std::size_t(group)] = std::popcount(groupPieces_[std::size_t(group)] & free_);
        if (groupLeft_[std::size_t(group)] == 0) continue;
        groupRow_[std::size_t(group)] = ++rows_;
        rightSide.push_back(groupLeft_[std::size_t(group)]);
    }
    for (Bits rest = open; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        for (int edge = 0; edge < kEdgeCount; ++edge) {
            const int other = links.partner[std::size_t(cell)][std::size_t(edge)];
            if (other <= cell || (open & Bit(other)) == 0) continue;
            edges_.push_back({cell, edge, other, links.partnerEdge[std::size_t(cell)][std::size_t(edge)], rows_ + 1});
            rows_ += kinds_ - 1;
        }
    }
    rightSide.resize(std::size_t(rows_) + 1, 0.0);
    glp_add_rows(problem_, rows_);
    for (int row = 1; row <= rows_; ++row)
        glp_set_row_bnds(problem_, row, GLP_FX, rightSide[std::size_t(row)], rightSide[std::size_t(row)]);

    // Columns: x(c, g) for every open cell and group of its candidates, then
    // an artificial column per row that makes up any shortfall, u >= 0 in
    // Ax + u = b. The programme minimises their sum: zero exactly when the
    // relaxation has a solution, and its dual at the optimum is the
    // certificate when not. It always has a solution itself (x = 0, u = b,
    // as b >= 0), which is the first basis.
    for (Bits rest = open; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        columns_[std::size_t(cell)] = GroupsOf(candidates[std::size_t(cell)] & free_);
        columnCount_ += std::popcount(columns_[std::size_t(cell)]);
    }
    glp_add_cols(problem_, columnCount_ + rows_);
    int column = 0;
    for (Bits rest = open; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        for (Bits groups = columns_[std::size_t(cell)]; groups != 0; groups &= groups - 1) {
            const int group = First(groups);
            column_[std::size_t(cell)][std::size_t(group)] = ++column;
            // GLPK counts from 1: element 0 is not read.
            int entries = 0;
            std::array<int, 6> rows{};
            std::array<double, 6> values{};
            rows[std::size_t(++entries)] = cellRow_[std::size_t(cell)];
            values[std::size_t(entries)] = 1;
            rows[std::size_t(++entries)] = groupRow_[std::size_t(group)];
            values[std::size_t(entries)] = 1;
            for (const SharedEdge& shared : edges_) {
                const int row = EdgeRow(shared, group, cell);
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

// The row of an edge for the kind of colouring that a group on `cell`, one
// of the edge's two cells, shows as seen from the edge's first cell: on the
// other cell the halves are swapped. 0 for kind 0, which has no row: the
// other kinds and the two cells' rows imply it; and 0 for a cell off the edge.
int Relaxation::EdgeRow(const SharedEdge& shared, int group, int cell) const {
    const int piece = First(groupPieces_[std::size_t(group)]);  // its kinds are the group's
    int kind = 0;
    if (cell == shared.cell) kind = kindOf_[std::size_t(EdgeColouring(piece, shared.edge))];
    if (cell == shared.other) kind = kindOf_[std::size_t(Swapped(EdgeColouring(piece, shared.otherEdge)))];
    return kind == 0 ? 0 : shared.firstRow + kind - 1;
}

// The groups with a piece in `pieces`.
Bits Relaxation::GroupsOf(Bits pieces) const {
    Bits groups = 0;
    for (int group = 0; group < 64; ++group)
        if ((groupPieces_[std::size_t(group)] & pieces) != 0) groups |= Bit(group);
    return groups;
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

// Candidates beyond the programme's columns, or pieces that were on the
// board from the start, would be bounds it cannot express (a search never
// asks so).
bool Relaxation::Expresses(const std::array<Bits, kCellCount>& candidates) const {
    for (Bits rest = open_; rest != 0; rest &= rest - 1) {
        const Bits pieces = candidates[std::size_t(First(rest))];
        if ((pieces & ~free_) != 0 || (GroupsOf(pieces) & ~columns_[std::size_t(First(rest))]) != 0) return false;
    }
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
        const Bits allowed = GroupsOf(candidates[std::size_t(cell)]) & columns_[std::size_t(cell)];
        for (Bits changed = allowed ^ bounded_[std::size_t(cell)]; changed != 0; changed &= changed - 1) {
            const int group = First(changed);
            const int column = column_[std::size_t(cell)][std::size_t(group)];
            if ((allowed & Bit(group)) == 0) {
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
// coefficient in y.A is r(c, g) = y(cell row) + y(group row) + the edge
// rows' multipliers, with their signs. For x within the bounds, y.Ax is at
// most the sum of the positive r over the columns allowed, while y.b is the
// sum of the multipliers of the cell rows and of the group rows times the
// group's pieces left; a y.b above that bound means no x solves Ax = b. The
// multipliers are scaled to at most 1 and rounded to the grid, so that every
// sum below is exact; a multiplier that is not a finite number (which every
// comparison would pass over) makes the certificate void.
bool Relaxation::Certifies(const std::vector<double>& multipliers,
                           const std::array<Bits, kCellCount>& candidates) const {
    if (multipliers.size() != std::size_t(rows_) + 1 || !Expresses(candidates)) return false;
    double largest = 0;
    for (std::size_t row = 1; row < multipliers.size(); ++row) {
        if (!std::isfinite(multipliers[row])) return false;
        largest = std::max(largest, std::abs(multipliers[row]));
    }
    if (largest == 0) return false;
    // y[0] stands for kind 0, which has no row.
    std::vector<double> y(multipliers.size(), 0.0);
    for (std::size_t row = 1; row < multipliers.size(); ++row)
        y[row] = std::round(multipliers[row] / largest * kGrid) / kGrid;

    std::array<std::array<double, 64>, kCellCount> r{};
    double rightSide = 0;
    for (Bits rest = open_; rest != 0; rest &= rest - 1) {
        const int cell = First(rest);
        rightSide += y[std::size_t(cellRow_[std::size_t(cell)])];
        for (Bits groups = columns_[std::size_t(cell)]; groups != 0; groups &= groups - 1) {
            const int group = First(groups);
            r[std::size_t(cell)][std::size_t(group)] =
                y[std::size_t(cellRow_[std::size_t(cell)])] + y[std::size_t(groupRow_[std::size_t(group)])];
        }
    }
    for (int group = 0; group < 64; ++group)
        if (groupRow_[std::size_t(group)] != 0)
            rightSide += y[std::size_t(groupRow_[std::size_t(group)])] * groupLeft_[std::size_t(group)];
    for (const SharedEdge& shared : edges_) {
        for (const int cell : {shared.cell, shared.other}) {
            const double sign = cell == shared.cell ? 1 : -1;
            for (Bits groups = columns_[std::size_t(cell)]; groups != 0; groups &= groups - 1)
                r[std::size_t(cell)][std::size_t(First(groups))] +=
                    sign * y[std::size_t(EdgeRow(shared, First(groups), cell))];
        }
    }

    // The certificate is read both ways round: GLPK's sign convention for
    // duals is not ours to rely on.
    for (const double sign : {1.0, -1.0}) {
        double leftBound = 0;
        for (Bits rest = open_; rest != 0; rest &= rest - 1) {
            const int cell = First(rest);
            for (Bits groups = GroupsOf(candidates[std::size_t(cell)]) & columns_[std::size_t(cell)]; groups != 0;
                 groups &= groups - 1)
                leftBound += std::max(0.0, sign * r[std::size_t(cell)][std::size_t(First(groups))]);
        }
        if (sign * rightSide > leftBound) return true;
    }
    return false;
}

}  // namespace murlen::solving
