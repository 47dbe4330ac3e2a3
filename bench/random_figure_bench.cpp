// How long the shape generator's Random figure takes, how varied its figures
// are, and how their difficulty is spread (RateDifficulty, model/difficulty.h).
// Figures are drawn one after the other as the menu draws them: each must
// differ from the one before, and the seeds count up from --seed.
//
//   random_figure_bench [--count N] [--seed S] [--grid SIZES] [--show N] [--study]
//     --count N      figures per grid size (default 1000)
//     --seed S       the first seed (default 1)
//     --grid SIZES   grid sizes, separated by commas (default 12,7,24)
//     --show N       print the first N figures of each size, drawn in the
//                    notation of tools/shipped_figures.h
//     --study        also the numbers behind the difficulty measure, for the
//                    first grid size: each figure rated a second time from
//                    another seed, and a player who lays random fitting
//                    pieces until none fits, twenty times a figure; the
//                    correlation of the two ratings and of the rating with
//                    the pieces that player manages (takes a minute or two)
//
// First the ratings of the shipped figures. Then per grid size: the median,
// 99th percentile and worst time of a figure (alone, and with its difficulty
// rating, as the menu command shows both), the draws it took, how many figures
// are distinct, the share of falling diagonals among the squares the figures
// use and the share of figures with only rising, only falling or both kinds,
// the spread of the bounding boxes, the cells with an edge on the border, the
// figures with a hole, and the time and spread of the difficulty ratings.
// Every figure is checked: 64 cells joined edge to edge, inside the grid, and
// its solution keeps both rules; a failure stops the program.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "files/shape_file.h"
#include "model/difficulty.h"
#include "model/geometry.h"
#include "model/piece.h"
#include "model/random_figure.h"
#include "model/rules.h"
#include "model/solver.h"
#include "tools/shipped_figures.h"

using namespace murlen;

namespace {

[[noreturn]] void Fail(const std::string& why) {
    std::fflush(stdout);
    std::fprintf(stderr, "\nRANDOM FIGURE BENCH FAILURE: %s\n", why.c_str());
    std::exit(2);
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(share * double(values.size())))];
}

// The four quarters of a square that its two diagonals cut: top, right,
// bottom, left. A placed half covers two of them.
bool Covers(const ShapeGrid& grid, int x, int y, int quarter) {
    const bool falling = grid.Falling(x, y);
    const bool upper = quarter == 0 || quarter == (falling ? 1 : 3);
    return grid.Placed(x, y, upper ? 1 : 2);
}

// Empty room inside the figure: quarters not covered that cannot be reached
// from the grid's edge through other uncovered quarters.
bool HasHole(const ShapeGrid& grid) {
    std::vector<bool> seen(kGridSquares * kGridSquares * 4, false);
    std::vector<std::array<int, 3>> todo;
    const auto visit = [&](int x, int y, int q) {
        if (x < 0 || y < 0 || x >= kGridSquares || y >= kGridSquares || Covers(grid, x, y, q)) return;
        const std::size_t index = std::size_t((x * kGridSquares + y) * 4 + q);
        if (seen[index]) return;
        seen[index] = true;
        todo.push_back({x, y, q});
    };
    for (int i = 0; i < kGridSquares; ++i)
        for (int q = 0; q < 4; ++q) {
            visit(i, 0, q), visit(i, kGridSquares - 1, q), visit(0, i, q), visit(kGridSquares - 1, i, q);
        }
    constexpr std::array<std::array<int, 2>, 4> kOutward{{{0, -1}, {1, 0}, {0, 1}, {-1, 0}}};
    while (!todo.empty()) {
        const auto [x, y, q] = todo.back();
        todo.pop_back();
        visit(x, y, (q + 1) % 4);
        visit(x, y, (q + 3) % 4);
        const auto [dx, dy] = kOutward[std::size_t(q)];
        visit(x + dx, y + dy, (q + 2) % 4);
    }
    for (int x = 0; x < kGridSquares; ++x)
        for (int y = 0; y < kGridSquares; ++y)
            for (int q = 0; q < 4; ++q)
                if (!Covers(grid, x, y, q) && !seen[std::size_t((x * kGridSquares + y) * 4 + q)]) return true;
    return false;
}

// The figure wherever it lies: a character a square of its box, row by row.
std::string ShapeKey(const ShapeGrid& grid, float minX, float minY, int width, int height) {
    std::string key;
    for (int y = int(minY); y < int(minY) + height; ++y) {
        for (int x = int(minX); x < int(minX) + width; ++x)
            key += char('a' + (grid.Falling(x, y) ? 4 : 0) + (grid.Placed(x, y, 1) ? 1 : 0) +
                        (grid.Placed(x, y, 2) ? 2 : 0));
        key += '|';
    }
    return key;
}

// The figure's box in the notation of tools/shipped_figures.h.
std::string Drawing(const ShapeGrid& grid, float minX, float minY, int width, int height) {
    std::string text;
    for (int y = int(minY); y < int(minY) + height; ++y) {
        for (int x = int(minX); x < int(minX) + width; ++x) {
            const bool upper = grid.Placed(x, y, 1), lower = grid.Placed(x, y, 2);
            const char diagonal = grid.Falling(x, y) ? '\\' : '/';
            if (!upper && !lower) text += "..";
            else text += std::string{diagonal, upper && lower ? diagonal : upper ? '^' : '_'};
        }
        text += '\n';
    }
    return text;
}

// Cells reachable from cell 1 across shared edges.
int JoinedCells(const CellArray<NeighbourSlots>& neighbours) {
    std::vector<int> todo{1};
    std::array<bool, kCellCount + 1> seen{};
    seen[1] = true;
    int count = 0;
    while (!todo.empty()) {
        const int cell = todo.back();
        todo.pop_back();
        ++count;
        for (const int slot : neighbours[cell]) {
            const int next = NeighbourCell(slot);
            if (slot != 0 && !seen[std::size_t(next)]) {
                seen[std::size_t(next)] = true;
                todo.push_back(next);
            }
        }
    }
    return count;
}


// The pieces a player lays who puts a random unused piece on a random cell
// where it breaks no rule, until no unused piece fits any empty cell.
int PiecesUntilStuck(const CellArray<NeighbourSlots>& neighbours, std::mt19937_64& random) {
    CellArray<std::int16_t> board;
    board.Fill(0);
    std::array<bool, kPieceCount + 1> used{};
    for (int placed = 0;; ++placed) {
        std::vector<std::pair<int, int>> moves;
        for (int cell = 1; cell <= kCellCount; ++cell) {
            if (board[cell] != 0) continue;
            for (int piece = 1; piece <= kPieceCount; ++piece) {
                if (used[std::size_t(piece)]) continue;
                bool fits = true;
                for (int slot = 0; slot < 3 && fits; ++slot) {
                    const int value = neighbours[cell][std::size_t(slot)], mask = kEdgeMaskOfSlot[std::size_t(slot)];
                    fits = value == 0 ? (PieceCode(piece) & mask) == mask
                                      : board[NeighbourCell(value)] == 0 ||
                                            PiecesMatch(slot, value, piece, board[NeighbourCell(value)]);
                }
                if (fits) moves.push_back({cell, piece});
            }
        }
        if (moves.empty()) return placed;
        const auto [cell, piece] = moves[random() % moves.size()];
        board[cell] = std::int16_t(piece);
        used[std::size_t(piece)] = true;
    }
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    double meanA = 0, meanB = 0;
    for (std::size_t i = 0; i < a.size(); ++i) meanA += a[i] / double(a.size()), meanB += b[i] / double(b.size());
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - meanA) * (b[i] - meanB);
        aa += (a[i] - meanA) * (a[i] - meanA);
        bb += (b[i] - meanB) * (b[i] - meanB);
    }
    return ab / std::sqrt(aa * bb);
}

const char* LevelName(Difficulty level) {
    return level == Difficulty::Easy ? "Easy" : level == Difficulty::Medium ? "Medium" : "Hard";
}

void RateShippedFigures() {
    std::printf("shipped figures, dead-end share and difficulty:\n ");
    for (const tools::ShippedFigure& shipped : tools::ShippedFigures()) {
        const DifficultyRating rating = RateDifficulty(tools::FigurePointsOf(*tools::GridFromDrawing(shipped.drawing)));
        std::printf(" %s %.2f %s,", shipped.name, rating.deadEndShare, LevelName(rating.level));
    }
    std::printf("\n");
}

void Run(int gridSize, int count, std::uint64_t seed, int show, bool study) {
    std::vector<double> millis, draws, borderCells, rateMillis, totalMillis, shares, otherShares, stuck;
    std::map<Difficulty, int> levels;
    std::set<std::string> distinct;
    std::map<std::string, int> boxes;
    int squares = 0, falling = 0, onlyRising = 0, onlyFalling = 0, holes = 0;
    int minWidth = 99, maxWidth = 0, minHeight = 99, maxHeight = 0;
    ShapeGrid previous;
    for (int i = 0; i < count; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const RandomFigure figure = DrawSolvableFigure(gridSize, seed + std::uint64_t(i), previous);
        millis.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        draws.push_back(figure.draws);

        // The figure as the game will read it from its shape file.
        const std::string text = ShapeFileText(figure.grid);
        const ReadResult<FigureData> read = ParseShapeFileForPlay(text);
        if (!read.ok()) Fail("figure " + std::to_string(i) + " does not read back");
        const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(read.value->points);
        if (JoinedCells(neighbours) != kCellCount) Fail("figure " + std::to_string(i) + " falls apart");
        if (!BoardKeepsRules(neighbours, figure.solution))
            Fail("figure " + std::to_string(i) + ": solution breaks a rule");
        if (SameShape(figure.grid, previous)) Fail("figure " + std::to_string(i) + " repeats the one before");
        const int width = int(read.value->maxX - read.value->minX), height = int(read.value->maxY - read.value->minY);
        if (read.value->maxX > float(gridSize) || read.value->maxY > float(gridSize))
            Fail("figure " + std::to_string(i) + " leaves the grid");
        previous = figure.grid;
        const auto rateStart = std::chrono::steady_clock::now();
        const DifficultyRating rating = RateDifficulty(read.value->points);
        rateMillis.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - rateStart).count());
        totalMillis.push_back(millis.back() + rateMillis.back());
        shares.push_back(rating.deadEndShare);
        ++levels[rating.level];
        if (study) {
            otherShares.push_back(RateDifficulty(read.value->points, 2).deadEndShare);
            std::mt19937_64 random{std::uint64_t(i)};
            double pieces = 0;
            for (int run = 0; run < 20; ++run) pieces += PiecesUntilStuck(neighbours, random) / 20.0;
            stuck.push_back(pieces);
        }
        if (i < show)
            std::printf("\n%s", Drawing(figure.grid, read.value->minX, read.value->minY, width, height).c_str());

        distinct.insert(ShapeKey(figure.grid, read.value->minX, read.value->minY, width, height));
        int rising = 0, fall = 0;
        for (int x = 0; x < kGridSquares; ++x)
            for (int y = 0; y < kGridSquares; ++y)
                if (figure.grid.Placed(x, y, 1) || figure.grid.Placed(x, y, 2))
                    (figure.grid.Falling(x, y) ? fall : rising)++;
        squares += rising + fall;
        falling += fall;
        onlyRising += fall == 0;
        onlyFalling += rising == 0;
        holes += HasHole(figure.grid);
        int border = 0;
        for (int cell = 1; cell <= kCellCount; ++cell)
            border += std::count(neighbours[cell].begin(), neighbours[cell].end(), 0) > 0;
        borderCells.push_back(border);
        minWidth = std::min(minWidth, width), maxWidth = std::max(maxWidth, width);
        minHeight = std::min(minHeight, height), maxHeight = std::max(maxHeight, height);
        ++boxes[width >= 2 * height ? "wide (w >= 2h)" : height >= 2 * width ? "tall (h >= 2w)" : "squarish"];
    }
    std::printf("\ngrid %d x %d, %d figures from seed %llu\n", gridSize, gridSize, count, (unsigned long long)seed);
    std::printf(
        "  time ms     figure: median %.2f, p99 %.2f, worst %.2f; with its difficulty (what the menu command"
        " waits for): median %.2f, p99 %.2f, worst %.2f\n",
        Percentile(millis, 0.5), Percentile(millis, 0.99), Percentile(millis, 1.0), Percentile(totalMillis, 0.5),
        Percentile(totalMillis, 0.99), Percentile(totalMillis, 1.0));
    std::printf("  draws       median %.0f   p99 %.0f   worst %.0f\n", Percentile(draws, 0.5), Percentile(draws, 0.99),
                Percentile(draws, 1.0));
    std::printf("  distinct    %zu of %d\n", distinct.size(), count);
    std::printf("  diagonals   %.1f %% of used squares falling; only rising %d, only falling %d, both %d figures\n",
                100.0 * falling / squares, onlyRising, onlyFalling, count - onlyRising - onlyFalling);
    std::printf("  box         width %d..%d, height %d..%d;", minWidth, maxWidth, minHeight, maxHeight);
    for (const auto& [kind, n] : boxes) std::printf(" %s %d,", kind.c_str(), n);
    std::printf(
        "\n  border      cells with an edge on the border: min %.0f, median %.0f, max %.0f (at most 37 can be)\n",
        Percentile(borderCells, 0), Percentile(borderCells, 0.5), Percentile(borderCells, 1.0));
    std::printf("  holes       %d figures\n", holes);
    std::printf(
        "  difficulty  rating ms median %.2f, p99 %.2f, worst %.2f; dead-end share quartiles %.2f %.2f %.2f %.2f %.2f;"
        " Easy %d, Medium %d, Hard %d\n",
        Percentile(rateMillis, 0.5), Percentile(rateMillis, 0.99), Percentile(rateMillis, 1.0), Percentile(shares, 0),
        Percentile(shares, 0.25), Percentile(shares, 0.5), Percentile(shares, 0.75), Percentile(shares, 1.0),
        levels[Difficulty::Easy], levels[Difficulty::Medium], levels[Difficulty::Hard]);
    std::printf("              thirds of the shares at %.2f and %.2f\n", Percentile(shares, 1.0 / 3),
                Percentile(shares, 2.0 / 3));
    if (study)
        std::printf(
            "  study       ratings from seeds 1 and 2: correlation %.2f; rating and pieces laid until stuck"
            " (%.1f to %.1f): correlation %.2f\n",
            Correlation(shares, otherShares), Percentile(stuck, 0), Percentile(stuck, 1.0), Correlation(shares, stuck));
    const bool met = Percentile(totalMillis, 0.5) < 100 && Percentile(totalMillis, 1.0) < 1000;
    std::printf("  target      figure with its difficulty, median under 100 ms, worst under 1 s: %s\n",
                met ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    int count = 1000;
    std::uint64_t seed = 1;
    int show = 0;
    bool study = false;
    std::vector<int> grids{12, 7, 24};
    for (int i = 1; i < argc; i += 2) {
        if (std::strcmp(argv[i], "--study") == 0) {
            study = true;
            --i;
        } else if (i + 1 == argc)
            Fail(std::string("no value for ") + argv[i]);
        else if (std::strcmp(argv[i], "--count") == 0)
            count = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--show") == 0)
            show = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seed") == 0)
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--grid") == 0) {
            grids.clear();
            for (char* size = std::strtok(argv[i + 1], ","); size; size = std::strtok(nullptr, ","))
                grids.push_back(std::atoi(size));
        } else
            Fail(std::string("unknown option ") + argv[i]);
    }
    RateShippedFigures();
    for (const int grid : grids) {
        if (grid < 7 || grid > 24) Fail("grid sizes run from 7 to 24");
        Run(grid, count, seed, show, study && grid == grids.front());
    }
    return 0;
}
