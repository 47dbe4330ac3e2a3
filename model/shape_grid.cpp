#include "model/shape_grid.h"

namespace murlen {

Triangle CellTriangle(int x, int y, bool falling, int half) {
    const auto point = [](int px, int py) { return Point{float(px), float(py)}; };
    if (!falling && half == 1) return {point(x, y), point(x, y + 1), point(x + 1, y)};
    if (falling && half == 1) return {point(x + 1, y), point(x, y), point(x + 1, y + 1)};
    if (falling) return {point(x, y + 1), point(x + 1, y + 1), point(x, y)};
    return {point(x + 1, y + 1), point(x + 1, y), point(x, y + 1)};
}

CellArray<Triangle> FigureCells(const ShapeGrid& grid) {
    CellArray<Triangle> cells;
    int n = 1;
    for (int y = 0; y < kGridSquares; ++y)
        for (int x = 0; x < kGridSquares; ++x)
            for (const int half : {1, 2})
                if (grid.Placed(x, y, half) && n <= kCellCount)
                    cells[n++] = CellTriangle(x, y, grid.Falling(x, y), half);
    return cells;
}

}  // namespace murlen
