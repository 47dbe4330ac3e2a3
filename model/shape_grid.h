// The shape generator's grid: 26 x 26 squares, each cut by a rising or a
// falling diagonal into an upper half (1) and a lower half (2).
#pragma once

#include <array>
#include <cstdint>

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

}  // namespace murlen
