// Figures and boards for tests, built from short readable descriptions.
//
// A figure is a list of cells, each half of a grid square (x, y) cut by its
// diagonal. As text, one character per square, one string per row (y = 0 first):
//   '/'  rising diagonal, both halves      '\\' falling diagonal, both halves
//   'F'  rising, upper left half only      'J'  rising, lower right half only
//   '7'  falling, upper right half only    'L'  falling, lower left half only
//   '.'  no cell
// (F, 7, L and J look like the right-angle corner of the half they keep.)
// Cells are numbered in reading order, the upper half of a square before its
// lower half.
#pragma once

#include <QtGlobal>
#include <algorithm>
#include <initializer_list>
#include <vector>

#include "model/geometry.h"
#include "model/rules.h"
#include "model/types.h"

namespace murlen::testing {

struct SquareHalf {
    int x = 0;
    int y = 0;
    bool falling = false;
    int half = 1;  // 1 = upper, 2 = lower

    friend bool operator==(const SquareHalf&, const SquareHalf&) = default;
};

// The corners of a cell: P1 at the right angle, P2 -> P1 -> P3 clockwise.
inline Triangle CellTriangle(const SquareHalf& c) {
    const float x = float(c.x);
    const float y = float(c.y);
    if (c.falling) {
        if (c.half == 1) return {{x + 1, y}, {x, y}, {x + 1, y + 1}};
        return {{x, y + 1}, {x + 1, y + 1}, {x, y}};
    }
    if (c.half == 1) return {{x, y}, {x, y + 1}, {x + 1, y}};
    return {{x + 1, y + 1}, {x + 1, y}, {x, y + 1}};
}

inline std::vector<SquareHalf> CellsFromText(std::initializer_list<const char*> rows) {
    std::vector<SquareHalf> cells;
    int y = 0;
    for (const char* row : rows) {
        int x = 0;
        for (const char* c = row; *c != '\0'; ++c, ++x) {
            switch (*c) {
                case '/': cells.push_back({x, y, false, 1}); cells.push_back({x, y, false, 2}); break;
                case '\\': cells.push_back({x, y, true, 1}); cells.push_back({x, y, true, 2}); break;
                case 'F': cells.push_back({x, y, false, 1}); break;
                case 'J': cells.push_back({x, y, false, 2}); break;
                case '7': cells.push_back({x, y, true, 1}); break;
                case 'L': cells.push_back({x, y, true, 2}); break;
                case '.': break;
                default: qFatal("figure text: unknown square '%c'", *c);
            }
        }
        ++y;
    }
    return cells;
}

// The 64 cells of a figure; cell number = position in the list + 1.
inline CellArray<Triangle> CellsFrom(const std::vector<SquareHalf>& cells) {
    if (cells.size() != std::size_t(kCellCount)) qFatal("a figure has 64 cells, not %d", int(cells.size()));
    CellArray<Triangle> points;
    for (int i = 1; i <= kCellCount; ++i) points[i] = CellTriangle(cells[std::size_t(i - 1)]);
    return points;
}

// The figure with its bounding box, as a shape file would give it.
inline FigureData FigureFrom(const std::vector<SquareHalf>& cells) {
    FigureData figure;
    figure.points = CellsFrom(cells);
    figure.minX = figure.minY = 1e9f;
    figure.maxX = figure.maxY = -1e9f;
    for (int i = 1; i <= kCellCount; ++i) {
        const Triangle& t = figure.points[i];
        for (Point p : {t.p1, t.p2, t.p3}) {
            figure.minX = std::min(figure.minX, p.x);
            figure.maxX = std::max(figure.maxX, p.x);
            figure.minY = std::min(figure.minY, p.y);
            figure.maxY = std::max(figure.maxY, p.y);
        }
    }
    return figure;
}

// The number of the cell (1..64) in the list, 0 when it is not there.
inline int CellNumber(const std::vector<SquareHalf>& cells, const SquareHalf& cell) {
    const auto found = std::find(cells.begin(), cells.end(), cell);
    return found == cells.end() ? 0 : int(found - cells.begin()) + 1;
}

// A board over a figure, its cells in whatever units the test draws in.
struct BoardFixture {
    CellArray<Triangle> cells;
    CellArray<NeighbourSlots> neighbours;
    BoardState state;

    explicit BoardFixture(const CellArray<Triangle>& cellPoints)
        : cells(cellPoints), neighbours(BuildNeighbourTable(cellPoints)) {
        state.Clear();
    }
    BoardView View() { return {cells, neighbours, state}; }

    // A move onto the board: the board remembers the piece, then it is drawn
    // and checked.
    void Place(Canvas& canvas, int piece, int cell) {
        state.pieces[cell] = std::int16_t(piece);
        DrawBoardCell(canvas, View(), piece, cell, DrawMode::Check);
    }
    // A move off the board: the cell is emptied first, so that its neighbours
    // are checked without the leaving piece.
    void Remove(Canvas& canvas, int cell) {
        const int piece = state.pieces[cell];
        state.pieces[cell] = 0;
        DrawBoardCell(canvas, View(), piece, cell, DrawMode::Erase);
    }
};

// 8 x 4 squares, every diagonal rising.
inline std::vector<SquareHalf> RisingBlock() {
    return CellsFromText({"////////", "////////", "////////", "////////"});
}

// All four kinds of cell, squares with only one half, and both kinds of short
// edge meeting: 64 cells.
inline std::vector<SquareHalf> MixedFigure() {
    return CellsFromText({
        "F/\\\\//7",
        "/\\//\\/\\/",
        "\\//\\\\//\\",
        "L\\/\\//J",
        "L///J",
    });
}

}  // namespace murlen::testing
