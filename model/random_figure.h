// Random figures for the shape generator: 64 cells joined edge to edge that fit
// the visible grid, each proven solvable by a full board that keeps both rules.
//
// A figure grows from one cell, a cell at a time, inside a box of random width
// and height. Each figure draws a style of its own: how strongly a new cell
// prefers to touch the figure along two or three edges (compact) rather than
// one (ragged, with arms and notches), the share of falling diagonals among its
// new squares (none, all, or a mix), and now and then a few squares near its
// start that stay empty, which the figure may close around as a hole. Figures
// that the counting arguments refute, or that the solver cannot solve within a
// small budget, are dropped and another is drawn.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "model/shape_grid.h"
#include "model/types.h"

namespace murlen {

struct RandomFigure {
    ShapeGrid grid;                    // the figure, centred in the visible grid
    CellArray<std::int16_t> solution;  // pool index per cell (cells numbered as FigureCells does)
    int draws = 0;                     // figures drawn for it, the dropped ones included
};

// Draws figures from `seed` until one fits a grid of `gridSize` squares a side
// (7..24), has another shape than `previous` (wherever the two lie), and the
// solver finds a full board for it that BoardKeepsRules accepts. The same
// arguments give the same figure.
RandomFigure DrawSolvableFigure(int gridSize, std::uint64_t seed, const ShapeGrid& previous = {});

// How a figure grows (see above). DrawSolvableFigure draws a style for each
// figure it grows; the solver's benchmark grows its families in set ones.
struct GrowthStyle {
    // By the number of edges a new cell would share with the figure (1..3).
    std::array<double, 4> weightBySharedEdges{};
    double fallingShare = 0;  // chance that a square entered anew gets a falling diagonal
    int width = 0;            // the box the figure grows in, in squares (at most kGridSquares)
    int height = 0;
    bool hole = false;  // a few squares near the start stay empty
};

// A figure of 64 cells grown in `style` from `seed`, in the box at the top
// left of the grid; nothing when it is walled in before it has 64 cells. The
// same arguments give the same figure.
std::optional<ShapeGrid> GrowFigure(const GrowthStyle& style, std::uint64_t seed);

// True when both grids hold the same cells with the same diagonals once each is
// moved to the top-left corner. Diagonals of empty squares do not count.
bool SameShape(const ShapeGrid& a, const ShapeGrid& b);

}  // namespace murlen
