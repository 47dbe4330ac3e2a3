// The shape generator's grid: 26 x 26 squares, each cut by a rising or a
// falling diagonal into an upper half (1) and a lower half (2).
#pragma once

#include <array>
#include <cstdint>

#include "model/types.h"

namespace murlen {

constexpr int kGridSquares = 26;  // squares per side, 0..25

struct ShapeGrid {
    // -1 = falling (top left to bottom right), 0 = rising.
    std::array<std::array<std::int16_t, kGridSquares>, kGridSquares> diagonal{};
    // -1 = the half belongs to the figure, 0 = empty; [x][y][half - 1].
    std::array<std::array<std::array<std::int16_t, 2>, kGridSquares>, kGridSquares> cells{};
    int placedCount = 0;

    std::int16_t& Diagonal(int x, int y) { return diagonal[std::size_t(x)][std::size_t(y)]; }
    std::int16_t Diagonal(int x, int y) const { return diagonal[std::size_t(x)][std::size_t(y)]; }
    std::int16_t& Cell(int x, int y, int half) {
        return cells[std::size_t(x)][std::size_t(y)][std::size_t(half - 1)];
    }
    std::int16_t Cell(int x, int y, int half) const {
        return cells[std::size_t(x)][std::size_t(y)][std::size_t(half - 1)];
    }
    bool Falling(int x, int y) const { return Diagonal(x, y) != 0; }
    bool Placed(int x, int y, int half) const { return Cell(x, y, half) != 0; }

    friend bool operator==(const ShapeGrid&, const ShapeGrid&) = default;
};

// The triangle of half `half` (1 upper, 2 lower) of square (x, y) as a shape
// file records it: P1 at the right angle, P2 -> P1 -> P3 clockwise.
Triangle CellTriangle(int x, int y, bool falling, int half);

// The first 64 placed cells in the order of a shape file's records (row by row,
// column by column, half 1 before half 2), numbered 1..64 as the game numbers
// them. For a grid with 64 placed cells.
CellArray<Triangle> FigureCells(const ShapeGrid& grid);

}  // namespace murlen
