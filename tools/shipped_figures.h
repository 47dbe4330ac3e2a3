// The figures that ship with the game, in one table: each a name and a small
// drawing of its squares. make_figures turns the table into the shape files and
// the figure list in resources/figures; a test checks that the committed files
// are exactly what the table gives and that every figure has a solution.
//
// Drawing notation: one line per grid row (row 0 first), two characters per
// grid square (column 0 first), so that squares look square in a fixed-width
// font. The first character is the square's diagonal, the second says which of
// its halves belong to the figure:
//   "//"  rising diagonal (bottom left to top right), both halves
//   "/^"  rising, the upper half only (the upper-left triangle)
//   "/_"  rising, the lower half only (the lower-right triangle)
//   "\\"  falling diagonal (top left to bottom right), both halves
//   "\^"  falling, the upper half only (the upper-right triangle)
//   "\_"  falling, the lower half only (the lower-left triangle)
//   ".."  an empty square
// A line may stop early; the squares after its end are empty. The figure lies
// on the grid where the drawing puts it: row 0, column 0 is the grid's top left.
// So "/_\_" is a peak, "\^/^" a valley.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/shape_grid.h"
#include "model/types.h"

namespace murlen::tools {

struct ShippedFigure {
    const char* name;     // the figure list entry and the shape file's name without ".dat"
    const char* drawing;  // in the notation above
};

// Every shipped figure in menu order; Triangle comes first (the game opens it).
const std::vector<ShippedFigure>& ShippedFigures();

// The grid a drawing describes, or nothing when the drawing breaks the notation
// or leaves the 26 x 26 grid; `problem` then says where.
std::optional<ShapeGrid> GridFromDrawing(std::string_view drawing, std::string* problem = nullptr);

// The cells of a grid with 64 placed halves as the shape file lists them:
// numbered in row, column, half order, corners P1, P2, P3 as the board needs.
CellArray<Triangle> FigurePointsOf(const ShapeGrid& grid);

// The figure list for the shipped figures: "\"Name\"\r\n" per figure, in order.
std::string ShippedFigureListText();

}  // namespace murlen::tools
