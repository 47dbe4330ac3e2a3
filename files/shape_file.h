// Shape files: one figure of 64 triangle cells as text, one number per line,
// every line ended by CR LF. Four header lines (MinX, MaxX, MinY, MaxY: the
// bounding box in grid points), then 64 records of seven lines: N, x1, y1, x2,
// y2, x3, y3 (corners P1, P2, P3). 452 lines in all.
#pragma once

#include <filesystem>

#include "files/file_problem.h"
#include "model/geometry.h"
#include "model/shape_grid.h"

namespace murlen {

// The exact text the generator writes for a grid with 64 placed cells: records
// in row, column, half order.
std::string ShapeFileText(const ShapeGrid& grid);

// Writes ShapeFileText to `path` through a temporary file in the same folder
// that is renamed over the target, so that a failed write leaves the old file.
// Returns FileProblem::None or NotWritable.
FileProblem WriteShapeFile(const ShapeGrid& grid, const std::filesystem::path& path);

// A shape file read for play: the header and the corners as they stand. Only a
// figure the board can use is accepted: exactly the records 1..64, each a right
// isosceles cell of one grid square with P1 at the right angle and P2 -> P1 -> P3
// clockwise, no cell twice.
ReadResult<FigureData> ReadShapeFileForPlay(const std::filesystem::path& path);
ReadResult<FigureData> ParseShapeFileForPlay(const std::string& text);

// A shape file read into the generator's grid: moved to the top-left corner of
// the grid, scaled by the unit of its first record, rounded and decoded.
struct ShapeFileContents {
    ShapeGrid grid;
    float minX = 0, maxX = 0, minY = 0, maxY = 0;  // the header as it stands
};
ReadResult<ShapeFileContents> ReadShapeFileIntoGrid(const std::filesystem::path& path);
ReadResult<ShapeFileContents> ParseShapeFileIntoGrid(const std::string& text);

}  // namespace murlen
