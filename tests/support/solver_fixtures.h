// Figures for the tests of the solver in the windows: one that the counting
// refutes, and the generator's grid for any figure of the fixtures.
#pragma once

#include <vector>

#include "model/shape_grid.h"
#include "support/figure_fixtures.h"

namespace murlen::testing {

// A band at 45 degrees, 2 by 8 diagonals: 20 cells have their long edge on the
// border (the set has only 16 pieces with a black long edge), not one cell a
// short edge.
inline std::vector<SquareHalf> DiagonalBand() {
    return CellsFromText({
        ".JL",
        "J//L",
        "7///L",
        ".7///L",
        "..7///L",
        "...7///L",
        "....7///L",
        ".....7///L",
        "......7//F",
        ".......7F",
    });
}

// The generator's grid holding the cells; the squares that hold none keep
// rising diagonals.
inline ShapeGrid GridFrom(const std::vector<SquareHalf>& cells) {
    ShapeGrid grid;
    for (const SquareHalf& cell : cells) {
        grid.Diagonal(cell.x, cell.y) = cell.falling ? -1 : 0;
        grid.Cell(cell.x, cell.y, cell.half) = -1;
        ++grid.placedCount;
    }
    return grid;
}

}  // namespace murlen::testing
