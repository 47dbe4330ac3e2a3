#include "model/random_figure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <random>
#include <vector>

#include "model/geometry.h"
#include "model/solver.h"

namespace murlen {

namespace {

// Search nodes a figure gets before it is dropped. Compact random figures that
// the solver solves need a few hundred nodes at most (bench/solver_bench,
// family grown: median 60, worst 509 of 272); the rare one that needs more
// costs less to replace than to finish.
constexpr std::uint64_t kNodeBudget = 5000;

// The smallest side of the box a figure grows in, and the smallest box: 48
// squares hold 96 cells, so 64 of them still leave room for a shape.
constexpr int kSmallestSide = 4;
constexpr int kSmallestBoxArea = 48;

class Dice {
public:
    explicit Dice(std::uint64_t seed) : engine_(seed) {}
    int Below(int n) { return int(engine_() % std::uint64_t(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    double Unit() { return double(engine_() >> 11) * 0x1.0p-53; }
    std::uint64_t Raw() { return engine_(); }

private:
    std::mt19937_64 engine_;
};

GrowthStyle DrawStyle(Dice& dice, int gridSize) {
    GrowthStyle style;
    // From compact (a cell touching on two or three edges is 12 and 60 times
    // as likely to be taken as one touching on one) to ragged (0.8 times:
    // arms and notches grow).
    const double ragged = dice.Unit();
    style.weightBySharedEdges = {0, 1, std::pow(12.0, 1 - ragged) * std::pow(0.8, ragged),
                                 std::pow(60.0, 1 - ragged) * std::pow(0.8, ragged)};
    const int diagonals = dice.Below(5);
    style.fallingShare = diagonals == 0 ? 0.0 : diagonals == 1 ? 1.0 : 0.15 + 0.7 * dice.Unit();
    // One side first, the other so that the box is large enough, then either
    // way round.
    const auto shortestBeside = [](int side) { return std::max(kSmallestSide, (kSmallestBoxArea + side - 1) / side); };
    const int first = dice.Between(shortestBeside(gridSize), gridSize);
    const int second = dice.Between(shortestBeside(first), gridSize);
    const bool firstAcross = dice.Below(2) == 0;
    style.width = firstAcross ? first : second;
    style.height = firstAcross ? second : first;
    style.hole = dice.Below(3) == 0;
    return style;
}

// One half of a square, with the diagonal it has or would get.
struct Half {
    int x = 0;
    int y = 0;
    bool falling = false;
    int half = 1;
};

// The side of a half across from its diagonal that is not its top or bottom:
// the left side (-1) or the right side (+1) of the square.
int Sideways(bool falling, int half) { return (half == 1) == falling ? 1 : -1; }

// The half of a square with the given diagonal that holds the square's side
// facing (dx, dy).
int HalfWithSide(bool falling, int dx, int dy) {
    if (dy != 0) return dy < 0 ? 1 : 2;
    return (dx == 1) == falling ? 1 : 2;
}

class Growth {
public:
    Growth(const GrowthStyle& style, Dice& dice) : style_(style), dice_(dice) {}

    // Nothing when the figure is walled in before it has 64 cells (the empty
    // squares around a start in a corner can do that).
    std::optional<ShapeGrid> Grow() {
        const int startX = dice_.Below(style_.width), startY = dice_.Below(style_.height);
        if (style_.hole) BlockAround(startX, startY);
        Add({startX, startY, dice_.Unit() < style_.fallingShare, 1 + dice_.Below(2)});
        std::vector<Half> candidates;
        std::vector<double> weights;
        while (grid_.placedCount < kCellCount) {
            candidates.clear();
            weights.clear();
            // Only squares next to the figure can take a cell that touches it.
            for (int x = std::max(0, minX_ - 1); x <= std::min(style_.width - 1, maxX_ + 1); ++x)
                for (int y = std::max(0, minY_ - 1); y <= std::min(style_.height - 1, maxY_ + 1); ++y)
                    Consider(x, y, candidates, weights);
            if (candidates.empty()) return std::nullopt;
            double total = 0;
            for (const double weight : weights) total += weight;
            double pick = dice_.Unit() * total;
            std::size_t chosen = 0;
            while (chosen + 1 < weights.size() && pick >= weights[chosen]) pick -= weights[chosen++];
            Add(candidates[chosen]);
        }
        return grid_;
    }

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < style_.width && y < style_.height; }
    bool Decided(int x, int y) const { return grid_.Placed(x, y, 1) || grid_.Placed(x, y, 2); }

    // A walk of one to three steps from the start: the squares it visits stay
    // empty. Every square of the box has two neighbours in it, so a step away
    // from the start can always be found.
    void BlockAround(int startX, int startY) {
        constexpr std::array<std::array<int, 2>, 4> kSteps{{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};
        int x = startX, y = startY;
        for (int steps = dice_.Between(1, 3); steps > 0; --steps) {
            int nx = 0, ny = 0;
            do {
                const auto [dx, dy] = kSteps[std::size_t(dice_.Below(4))];
                nx = x + dx;
                ny = y + dy;
            } while (!Inside(nx, ny) || (nx == startX && ny == startY));
            x = nx;
            y = ny;
            blocked_[std::size_t(x)][std::size_t(y)] = true;
        }
    }

    int SharedEdges(const Half& c) const {
        int shared = grid_.Placed(c.x, c.y, 3 - c.half) ? 1 : 0;  // across the diagonal
        const int dy = c.half == 1 ? -1 : 1;
        const int dx = Sideways(c.falling, c.half);
        for (const auto& [sx, sy] : {std::array<int, 2>{0, dy}, std::array<int, 2>{dx, 0}}) {
            const int nx = c.x + sx, ny = c.y + sy;
            if (Inside(nx, ny) && grid_.Placed(nx, ny, HalfWithSide(grid_.Falling(nx, ny), -sx, -sy))) ++shared;
        }
        return shared;
    }

    void Consider(int x, int y, std::vector<Half>& candidates, std::vector<double>& weights) const {
        if (blocked_[std::size_t(x)][std::size_t(y)]) return;
        const bool decided = Decided(x, y);
        for (const bool falling : {false, true}) {
            if (decided && falling != grid_.Falling(x, y)) continue;
            const double diagonalWeight = decided ? 1.0 : falling ? style_.fallingShare : 1 - style_.fallingShare;
            if (diagonalWeight <= 0) continue;
            for (const int half : {1, 2}) {
                if (grid_.Placed(x, y, half)) continue;
                const Half c{x, y, falling, half};
                const int shared = SharedEdges(c);
                if (shared == 0) continue;
                candidates.push_back(c);
                weights.push_back(style_.weightBySharedEdges[std::size_t(shared)] * diagonalWeight);
            }
        }
    }

    void Add(const Half& c) {
        grid_.Diagonal(c.x, c.y) = c.falling ? -1 : 0;
        grid_.Cell(c.x, c.y, c.half) = -1;
        ++grid_.placedCount;
        minX_ = std::min(minX_, c.x);
        maxX_ = std::max(maxX_, c.x);
        minY_ = std::min(minY_, c.y);
        maxY_ = std::max(maxY_, c.y);
    }

    const GrowthStyle& style_;
    Dice& dice_;
    ShapeGrid grid_;
    std::array<std::array<bool, kGridSquares>, kGridSquares> blocked_{};
    int minX_ = kGridSquares, maxX_ = -1, minY_ = kGridSquares, maxY_ = -1;
};

struct Box {
    int minX = kGridSquares, maxX = -1, minY = kGridSquares, maxY = -1;
};

Box BoxOf(const ShapeGrid& grid) {
    Box box;
    for (int x = 0; x < kGridSquares; ++x)
        for (int y = 0; y < kGridSquares; ++y)
            if (grid.Placed(x, y, 1) || grid.Placed(x, y, 2)) {
                box.minX = std::min(box.minX, x);
                box.maxX = std::max(box.maxX, x);
                box.minY = std::min(box.minY, y);
                box.maxY = std::max(box.maxY, y);
            }
    return box;
}

// The figure moved so that its box lies in the middle of the visible grid.
ShapeGrid Centred(const ShapeGrid& grid, int gridSize) {
    const Box box = BoxOf(grid);
    const int dx = (gridSize - (box.maxX - box.minX + 1)) / 2 - box.minX;
    const int dy = (gridSize - (box.maxY - box.minY + 1)) / 2 - box.minY;
    ShapeGrid centred;
    centred.placedCount = grid.placedCount;
    for (int x = box.minX; x <= box.maxX; ++x)
        for (int y = box.minY; y <= box.maxY; ++y) {
            centred.Diagonal(x + dx, y + dy) = grid.Diagonal(x, y);
            for (const int half : {1, 2}) centred.Cell(x + dx, y + dy, half) = grid.Cell(x, y, half);
        }
    return centred;
}

}  // namespace

std::optional<ShapeGrid> GrowFigure(const GrowthStyle& style, std::uint64_t seed) {
    Dice dice(seed);
    return Growth(style, dice).Grow();
}

bool SameShape(const ShapeGrid& a, const ShapeGrid& b) {
    if (a.placedCount != b.placedCount) return false;
    const Box boxA = BoxOf(a), boxB = BoxOf(b);
    if (boxA.maxX - boxA.minX != boxB.maxX - boxB.minX || boxA.maxY - boxA.minY != boxB.maxY - boxB.minY) return false;
    for (int x = 0; x <= boxA.maxX - boxA.minX; ++x)
        for (int y = 0; y <= boxA.maxY - boxA.minY; ++y) {
            const int ax = boxA.minX + x, ay = boxA.minY + y, bx = boxB.minX + x, by = boxB.minY + y;
            bool used = false;
            for (const int half : {1, 2}) {
                if (a.Placed(ax, ay, half) != b.Placed(bx, by, half)) return false;
                used = used || a.Placed(ax, ay, half);
            }
            if (used && a.Falling(ax, ay) != b.Falling(bx, by)) return false;
        }
    return true;
}

RandomFigure DrawSolvableFigure(int gridSize, std::uint64_t seed, const ShapeGrid& previous) {
    Dice dice(seed);
    RandomFigure figure;
    for (;;) {
        ++figure.draws;
        const GrowthStyle style = DrawStyle(dice, gridSize);
        const std::optional<ShapeGrid> grownOrNot = Growth(style, dice).Grow();
        if (!grownOrNot || SameShape(*grownOrNot, previous)) continue;
        const ShapeGrid& grown = *grownOrNot;
        // Cells are numbered in record order, which moving the figure keeps.
        const CellArray<Triangle> cells = FigureCells(grown);
        const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(cells);
        if (CheckCounts(neighbours) != UnsolvableReason::None) continue;
        SolverOptions options;
        options.seed = dice.Raw();
        options.nodeBudget = kNodeBudget;
        const SolveResult result = SolveFigure(cells, options);
        if (result.verdict != SolveVerdict::Solved || !BoardKeepsRules(neighbours, result.board)) continue;
        figure.grid = Centred(grown, gridSize);
        figure.solution = result.board;
        return figure;
    }
}

}  // namespace murlen
