// Figures for tests, drawn as text in the notation of tools/shipped_figures.h
// (two characters a square: "//" both halves of a rising square, "/^" and "/_"
// its upper or lower half, "\\", "\^", "\_" the same for a falling one, ".."
// none), and read back as the game reads them.
#pragma once

#include <QtGlobal>
#include <string>
#include <string_view>
#include <vector>

#include "files/shape_file.h"
#include "model/geometry.h"
#include "model/shape_grid.h"
#include "tools/shipped_figures.h"

namespace murlen::testing {

inline ShapeGrid Drawn(std::string_view drawing) {
    std::string problem;
    const std::optional<ShapeGrid> grid = tools::GridFromDrawing(drawing, &problem);
    if (!grid) qFatal("a test drawing is wrong: %s", problem.c_str());
    return *grid;
}

// The same drawing `right` squares to the right and `down` squares lower.
inline ShapeGrid Moved(const ShapeGrid& grid, int right, int down) {
    ShapeGrid moved;
    moved.placedCount = grid.placedCount;
    for (int x = 0; x + right < kGridSquares; ++x)
        for (int y = 0; y + down < kGridSquares; ++y) {
            moved.Diagonal(x + right, y + down) = grid.Diagonal(x, y);
            for (int half : {1, 2}) moved.Cell(x + right, y + down, half) = grid.Cell(x, y, half);
        }
    return moved;
}

// A figure that ships with the game, by name.
inline ShapeGrid Shipped(std::string_view name) {
    for (const tools::ShippedFigure& figure : tools::ShippedFigures())
        if (figure.name == name) return Drawn(figure.drawing);
    qFatal("no shipped figure %s", std::string(name).c_str());
}

// The figure as the game has it after reading its shape file.
inline FigureData FigureOf(const ShapeGrid& grid) {
    const ReadResult<FigureData> read = ParseShapeFileForPlay(ShapeFileText(grid));
    if (!read.ok()) qFatal("a test figure does not read back");
    return *read.value;
}

// Cells reachable from cell 1 across shared edges: 64 for a figure in one piece.
inline int JoinedCells(const CellArray<NeighbourSlots>& neighbours) {
    CellArray<bool> seen;
    seen.Fill(false);
    std::vector<int> todo{1};
    seen[1] = true;
    for (std::size_t next = 0; next < todo.size(); ++next)
        for (const int slot : neighbours[todo[next]])
            if (slot != 0 && !seen[NeighbourCell(slot)]) {
                seen[NeighbourCell(slot)] = true;
                todo.push_back(NeighbourCell(slot));
            }
    return int(todo.size());
}

// 2 x 16 rising squares: 32 cells have a square's side on the border as their
// left short edge, twice as many as the set has pieces for.
inline std::string TallStrip() {
    std::string drawing;
    for (int row = 0; row < 16; ++row) drawing += "////\n";
    return drawing;
}

// 4 x 8 squares, every diagonal rising, or every one falling.
inline const char* const kRising = "////////////////\n////////////////\n////////////////\n////////////////\n";
inline const char* const kFalling =
    "\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\n\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\n"
    "\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\n\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\n";

}  // namespace murlen::testing
