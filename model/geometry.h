// The geometry of the current figure on the board: its cells in figure units
// and in board units, fitting the board to the room it gets, the cell nearest to
// a point, and which cells touch along which edge.
#pragma once

#include <array>
#include <cstdint>

#include "model/canvas.h"
#include "model/types.h"

namespace murlen {

// A figure as its shape file holds it: the bounding box and the 64 cells, all in
// figure units (one grid square = 1, x to the right, y downward).
struct FigureData {
    float minX = 0;
    float maxX = 0;
    float minY = 0;
    float maxY = 0;
    CellArray<Triangle> points;  // FigurePoints
};

// The board surface's fixed user scale. One board unit stretches with the
// board's size on the screen.
constexpr float kBoardScaleWidth = 11.983914f;
constexpr float kBoardScaleHeight = 10.606835f;

struct Size {
    float width = 0;
    float height = 0;
};

// The board's size with the figure's proportions inside maxWidth x maxHeight
// (window units): full width when the proportional height fits (ties included),
// otherwise full height. The figure must have both extents non-zero.
Size FitBoard(const FigureData& figure, float maxWidth, float maxHeight);

// The cells in board units: the figure spans 0 .. W - 1 across and 0 .. H - 1
// down, leaving an empty strip one unit wide on the right and at the bottom.
CellArray<Triangle> ToBoardUnits(const FigureData& figure);

// Outlines every cell P1 -> P2 -> P3 -> P1 in the canvas's foreground colour.
void DrawCellOutlines(Canvas& canvas, const CellArray<Triangle>& cellPoints);

// The cell whose corners are nearest to (x, y) by the sum of the six absolute
// differences in single precision; the lowest cell number wins a tie. Every
// point yields a cell, also one far outside the figure.
int FindNearestCell(const CellArray<Triangle>& cellPoints, float x, float y);

// Neighbours of one cell, in the order: across P1P2, across P2P3, across P1P3.
// 0 = that edge is on the border. Otherwise the low seven bits are the
// neighbour's cell number, and kSameEdgeFlag is added when a short edge meets
// the neighbour's short edge of the same name.
using NeighbourSlots = std::array<std::int16_t, 3>;
constexpr int kSlotP1P2 = 0;
constexpr int kSlotP2P3 = 1;
constexpr int kSlotP1P3 = 2;
constexpr int kSameEdgeFlag = 128;
constexpr int NeighbourCell(int slotValue) { return slotValue % 128; }
constexpr bool SameEdge(int slotValue) { return slotValue >= kSameEdgeFlag; }

// The cell a step in direction (dx, dy) leads to from cell `from`, as an arrow
// key moves a cursor: across the edge that faces that way most, where a cell
// lies beyond it; otherwise the nearest cell whose centre lies that way; `from`
// itself when there is none.
int CellTowards(const CellArray<Triangle>& cellPoints, const CellArray<NeighbourSlots>& neighbours, int from,
                float dx, float dy);

// Finds the touching cells of every cell from the figure's corners (corner
// pairs closer than 0.5 in sum count as equal).
CellArray<NeighbourSlots> BuildNeighbourTable(const CellArray<Triangle>& figurePoints);

}  // namespace murlen
