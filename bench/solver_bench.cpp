// How long the solver takes: every shipped figure, then a set of random compact
// figures of 64 cells grown from a fixed seed, one line each (name, verdict,
// milliseconds, search nodes), and a summary (median, 90th percentile, worst).
// Each figure is solved three times with the same seed (the same work) and the
// fastest time counts, so that other processes on the machine matter less.
//
//   solver_bench [random figures, default 50] [figure seed, default 1] [rising]
//
// "rising" grows figures with rising diagonals only, as the shape generator
// draws them until the user turns a diagonal.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/solver.h"
#include "tools/shipped_figures.h"

using namespace murlen;

namespace {

// A small seedable generator, so that the random figures are the same on every run.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return int(Next() % std::uint64_t(n)); }

private:
    std::uint64_t state_;
};

// One half of a grid square.
struct Half {
    int x = 0;
    int y = 0;
    bool falling = false;
    int half = 1;
};

// The half of square (x, y) with the given diagonal that contains the square's
// side facing direction (dx, dy): the top side is always in half 1, the bottom
// side in half 2, the left side in half 1 of a rising and half 2 of a falling
// square, the right side the other way round.
int HalfWithSide(bool falling, int dx, int dy) {
    if (dy < 0) return 1;
    if (dy > 0) return 2;
    if (dx < 0) return falling ? 2 : 1;
    return falling ? 1 : 2;
}

// The square sides that belong to a half, as directions.
std::vector<std::array<int, 2>> SidesOf(bool falling, int half) {
    if (!falling) return half == 1 ? std::vector<std::array<int, 2>>{{0, -1}, {-1, 0}}
                                   : std::vector<std::array<int, 2>>{{0, 1}, {1, 0}};
    return half == 1 ? std::vector<std::array<int, 2>>{{0, -1}, {1, 0}}
                     : std::vector<std::array<int, 2>>{{0, 1}, {-1, 0}};
}

// Grows a figure of 64 cells from the middle of the grid, one cell at a time.
// A cell that would touch the figure along two or three edges is much more
// likely to be taken than one touching along one, which keeps the figure compact
// (few holes and spikes), like figures people draw.
ShapeGrid GrowFigure(Random& random, bool risingOnly) {
    ShapeGrid grid;
    std::array<std::array<bool, kGridSquares>, kGridSquares> decided{};  // the diagonal is fixed
    auto add = [&](const Half& cell) {
        grid.Diagonal(cell.x, cell.y) = cell.falling ? -1 : 0;
        decided[std::size_t(cell.x)][std::size_t(cell.y)] = true;
        grid.Cell(cell.x, cell.y, cell.half) = -1;
        ++grid.placedCount;
    };
    auto inside = [](int x, int y) { return x >= 0 && y >= 0 && x < kGridSquares && y < kGridSquares; };
    auto placed = [&](int x, int y, bool falling, int half) {
        return inside(x, y) && decided[std::size_t(x)][std::size_t(y)] && grid.Falling(x, y) == falling &&
               grid.Placed(x, y, half);
    };
    // Edges the cell would share with the figure.
    auto shared = [&](const Half& c) {
        int count = placed(c.x, c.y, c.falling, 3 - c.half) ? 1 : 0;
        for (const auto& side : SidesOf(c.falling, c.half)) {
            const int nx = c.x + side[0], ny = c.y + side[1];
            if (!inside(nx, ny) || !decided[std::size_t(nx)][std::size_t(ny)]) continue;
            const bool nf = grid.Falling(nx, ny);
            if (grid.Placed(nx, ny, HalfWithSide(nf, -side[0], -side[1]))) ++count;
        }
        return count;
    };

    add({kGridSquares / 2, kGridSquares / 2, !risingOnly && random.Below(2) == 1, 1 + random.Below(2)});
    while (grid.placedCount < kCellCount) {
        std::vector<Half> candidates;
        std::vector<int> weights;
        auto consider = [&](const Half& c) {
            if (!inside(c.x, c.y) || grid.Placed(c.x, c.y, c.half)) return;
            const bool squareDecided = decided[std::size_t(c.x)][std::size_t(c.y)];
            if (squareDecided && grid.Falling(c.x, c.y) != c.falling) return;
            if (risingOnly && c.falling) return;
            constexpr int kWeightBySharedEdges[] = {0, 1, 12, 60};
            candidates.push_back(c);
            weights.push_back(kWeightBySharedEdges[shared(c)]);
        };
        for (int x = 0; x < kGridSquares; ++x) {
            for (int y = 0; y < kGridSquares; ++y) {
                if (!decided[std::size_t(x)][std::size_t(y)]) continue;
                const bool falling = grid.Falling(x, y);
                for (int half = 1; half <= 2; ++half) {
                    if (!grid.Placed(x, y, half)) continue;
                    consider({x, y, falling, 3 - half});
                    for (const auto& side : SidesOf(falling, half)) {
                        const int nx = x + side[0], ny = y + side[1];
                        for (const bool nf : {false, true})
                            consider({nx, ny, nf, HalfWithSide(nf, -side[0], -side[1])});
                    }
                }
            }
        }
        int total = 0;
        for (int w : weights) total += w;
        int pick = random.Below(total);
        std::size_t chosen = 0;
        while (pick >= weights[chosen]) pick -= weights[chosen++];
        add(candidates[chosen]);
    }
    return grid;
}

const char* VerdictName(const SolveResult& result) {
    switch (result.verdict) {
        case SolveVerdict::Solved: return "solved";
        case SolveVerdict::Undecided: return "undecided";
        case SolveVerdict::Unsolvable: break;
    }
    return result.reason == UnsolvableReason::NoSolution ? "unsolvable (search)" : "unsolvable (counts)";
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const std::size_t index = std::size_t(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    const int randomCount = argc > 1 ? std::atoi(argv[1]) : 50;
    const std::uint64_t figureSeed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;

    std::vector<std::pair<std::string, ShapeGrid>> figures;
    for (const tools::ShippedFigure& shipped : tools::ShippedFigures())
        figures.emplace_back(shipped.name, *tools::GridFromDrawing(shipped.drawing));
    Random random(figureSeed);
    const bool risingOnly = argc > 3 && std::string(argv[3]) == "rising";
    for (int i = 1; i <= randomCount; ++i)
        figures.emplace_back("grown-" + std::to_string(i), GrowFigure(random, risingOnly));

    std::vector<double> times;
    bool boardsKeepRules = true;
    for (const auto& [name, grid] : figures) {
        const CellArray<Triangle> points = tools::FigurePointsOf(grid);
        SolveResult result;
        double ms = 1e300;
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto start = std::chrono::steady_clock::now();
            result = SolveFigure(points);
            const auto end = std::chrono::steady_clock::now();
            ms = std::min(ms, std::chrono::duration<double, std::milli>(end - start).count());
        }
        times.push_back(ms);
        if (result.verdict == SolveVerdict::Solved && !BoardKeepsRules(BuildNeighbourTable(points), result.board))
            boardsKeepRules = false;
        std::printf("%-12s %-20s %9.3f ms %10llu nodes\n", name.c_str(), VerdictName(result), ms,
                    static_cast<unsigned long long>(result.nodes));
    }
    std::printf("%zu figures: median %.3f ms, 90th percentile %.3f ms, worst %.3f ms\n", times.size(),
                Percentile(times, 0.5), Percentile(times, 0.9), Percentile(times, 1.0));
    if (!boardsKeepRules) {
        std::printf("a solved board breaks a rule\n");
        return 1;
    }
    return 0;
}
