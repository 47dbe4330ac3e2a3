// The rules of the shape generator that need no window: which corners a
// triangle cell has, how one cell is drawn, which half a click picks, moving
// the whole drawing by one square, and reading the answer to the grid size
// question. FrmShape calls these on its own grid and its picture box.
#pragma once

#include <QString>

#include "model/canvas.h"
#include "model/shape_grid.h"

namespace murlen {

// The corners of half `half` (1 upper, 2 lower) of square (x, y): B is the
// right-angle corner, A and C are the ends of the diagonal.
struct CellCorners {
    Point a, b, c;
};
CellCorners CornersOf(int x, int y, bool falling, int half);

// Draws one triangle cell: a fan of 26 passes of three lines each, in the
// foreground colour when the cell is placed and in the background colour when
// it is empty, then its outline B -> A -> C -> B in the foreground colour.
// x and y are 0..25, half 1 or 2.
void DrawShapeCell(Canvas& canvas, const ShapeGrid& grid, int x, int y, int half);

// The half of square (x, y) under the pointer (mouseX, mouseY), by the corner
// nearest in Manhattan distance. A point exactly on the diagonal picks the half
// that holds the square's right edge.
int HalfUnderPointer(const ShapeGrid& grid, int x, int y, float mouseX, float mouseY);

// Moving the drawing: 1 left, 2 up, 4 right, 8 down.
constexpr int kShiftLeft = 1;
constexpr int kShiftUp = 2;
constexpr int kShiftRight = 4;
constexpr int kShiftDown = 8;

// True when no placed cell stands on the line of squares that a move in
// `direction` would push off the grid. False for an unknown direction.
bool CanShift(const ShapeGrid& grid, int direction);
// Moves every square one step in `direction`; the line that comes in on the
// other side is empty with rising diagonals. Precondition: CanShift.
void ShiftGrid(ShapeGrid& grid, int direction);

// The answer to the grid size question. Only the first two characters count;
// they must be a plain decimal number (as the number written back would read),
// between 7 and 24.
constexpr int kSmallestGrid = 7;
constexpr int kLargestGrid = 24;
enum class GridSizeVerdict { Accepted, NotANaturalNumber, OutOfRange };
struct GridSizeAnswer {
    GridSizeVerdict verdict = GridSizeVerdict::NotANaturalNumber;
    int size = 0;  // when accepted
};
// Precondition: `answer` is not empty.
GridSizeAnswer ReadGridSize(const QString& answer);

}  // namespace murlen
