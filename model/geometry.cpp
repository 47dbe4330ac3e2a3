#include "model/geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/piece.h"

namespace murlen {

namespace {

// Coordinates are single precision; a sum of distances is evaluated in double
// and rounded once to single precision, so that equal sums stay equal and the
// tie rules below decide.
double AbsDifferences(Point a, Point b) {
    return std::fabs(double(a.x) - b.x) + std::fabs(double(a.y) - b.y);
}

float Distance(Point a1, Point b1, Point a2, Point b2) {
    return float(AbsDifferences(a1, b1) + AbsDifferences(a2, b2));
}

constexpr float kFar = 1e30f;
// Corners closer than this (summed over two corner pairs) are the same corners.
constexpr float kSameCorners = 0.5f;

}  // namespace

Size FitBoard(const FigureData& figure, float maxWidth, float maxHeight) {
    const double figureWidth = double(figure.maxX) - figure.minX;
    const double figureHeight = double(figure.maxY) - figure.minY;
    const float h = float(figureHeight * maxWidth / figureWidth);
    if (h <= maxHeight) return {maxWidth, h};
    return {float(figureWidth * maxHeight / figureHeight), maxHeight};
}

CellArray<Triangle> ToBoardUnits(const FigureData& figure) {
    // One unit less than the board's scale on each axis: the figure keeps an
    // empty strip along the right and bottom edges.
    const double spanX = double(kBoardScaleWidth) - 1;
    const double spanY = double(kBoardScaleHeight) - 1;
    const double figureWidth = double(figure.maxX) - figure.minX;
    const double figureHeight = double(figure.maxY) - figure.minY;
    auto convert = [&](Point p) {
        return Point{float((double(p.x) - figure.minX) * spanX / figureWidth),
                     float((double(p.y) - figure.minY) * spanY / figureHeight)};
    };

    CellArray<Triangle> cells;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const Triangle& t = figure.points[cell];
        cells[cell] = {convert(t.p1), convert(t.p2), convert(t.p3)};
    }
    return cells;
}

void DrawCellOutlines(Canvas& canvas, const CellArray<Triangle>& cellPoints) {
    const Rgb fore = canvas.ForeColor();
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const Triangle& t = cellPoints[cell];
        canvas.Line(t.p1, t.p2, fore);
        canvas.Line(t.p2, t.p3, fore);
        canvas.Line(t.p3, t.p1, fore);
    }
}

int FindNearestCell(const CellArray<Triangle>& cellPoints, float x, float y) {
    const Point at{x, y};
    // Cell 1 stands in should no sum come below kFar (a point absurdly far away
    // or not a number), so that every point yields a cell.
    int nearest = 1;
    float best = kFar;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const Triangle& t = cellPoints[cell];
        const float d = float(AbsDifferences(at, t.p1) + AbsDifferences(at, t.p2) + AbsDifferences(at, t.p3));
        if (d < best) {
            best = d;
            nearest = cell;
        }
    }
    return nearest;
}

int CellTowards(const CellArray<Triangle>& cellPoints, const CellArray<NeighbourSlots>& neighbours, int from,
                float dx, float dy) {
    const Triangle& t = cellPoints[from];
    const Point g = Centroid(t);
    // Each slot's edge, and how squarely it faces the direction of the step.
    const std::array<std::array<Point, 2>, 3> edges{{{t.p1, t.p2}, {t.p2, t.p3}, {t.p1, t.p3}}};
    int best = 0;
    double bestFacing = 0;
    for (int slot = 0; slot < 3; ++slot) {
        const int value = neighbours[from][std::size_t(slot)];
        if (value == 0) continue;
        const auto [a, b] = edges[std::size_t(slot)];
        double nx = double(b.y) - a.y, ny = double(a.x) - b.x;  // a normal of the edge
        if (nx * (g.x - a.x) + ny * (g.y - a.y) > 0) nx = -nx, ny = -ny;  // pointing out of the cell
        const double facing = (nx * dx + ny * dy) / std::hypot(nx, ny);
        if (facing > bestFacing + 1e-6) best = NeighbourCell(value), bestFacing = facing;
    }
    if (best != 0) return best;
    // No neighbour that way: the nearest cell that lies that way, straight
    // ahead counting more than to the side.
    double bestScore = 1e30;
    best = from;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const Point c = Centroid(cellPoints[cell]);
        const double vx = double(c.x) - g.x, vy = double(c.y) - g.y;
        const double along = vx * dx + vy * dy, across = std::fabs(vx * dy - vy * dx);
        if (along <= 1e-6 || across > 2 * along) continue;
        const double score = along + 2 * across;
        if (score < bestScore) best = cell, bestScore = score;
    }
    return best;
}

CellArray<NeighbourSlots> BuildNeighbourTable(const CellArray<Triangle>& figurePoints) {
    // Between the corners of two cells whose boxes lie more than half a unit
    // apart every corner distance is more than half a unit, so that the sums
    // below are more than a unit: checked first, this spares most of them.
    struct Box {
        float minX, maxX, minY, maxY;
    };
    CellArray<Box> boxes;
    for (int i = 1; i <= kCellCount; ++i) {
        const Triangle& t = figurePoints[i];
        boxes[i] = {std::min({t.p1.x, t.p2.x, t.p3.x}), std::max({t.p1.x, t.p2.x, t.p3.x}),
                    std::min({t.p1.y, t.p2.y, t.p3.y}), std::max({t.p1.y, t.p2.y, t.p3.y})};
    }
    const auto apart = [&](int i, int j) {
        const Box& a = boxes[i];
        const Box& b = boxes[j];
        return b.minX > a.maxX + 0.5f || a.minX > b.maxX + 0.5f || b.minY > a.maxY + 0.5f || a.minY > b.maxY + 0.5f;
    };
    CellArray<NeighbourSlots> table;
    for (int i = 1; i <= kCellCount; ++i) {
        const Triangle& a = figurePoints[i];
        NeighbourSlots around{0, 0, 0};
        std::array<float, 3> best{kFar, kFar, kFar};
        auto consider = [&](int slot, float distance, int value) {
            if (distance < kSameCorners && distance < best[std::size_t(slot)]) {
                best[std::size_t(slot)] = distance;
                around[std::size_t(slot)] = std::int16_t(value);
            }
        };
        for (int j = 1; j <= kCellCount; ++j) {
            if (j == i || apart(i, j)) continue;
            const Triangle& b = figurePoints[j];
            // Two cells that share an edge run along it in opposite directions;
            // these five cases are every way in which they can meet.
            consider(kSlotP1P2, Distance(a.p1, b.p1, a.p2, b.p3), j);
            consider(kSlotP1P2, Distance(a.p1, b.p2, a.p2, b.p1), j + kSameEdgeFlag);
            consider(kSlotP1P3, Distance(a.p1, b.p1, a.p3, b.p2), j);
            consider(kSlotP1P3, Distance(a.p1, b.p3, a.p3, b.p1), j + kSameEdgeFlag);
            consider(kSlotP2P3, Distance(a.p2, b.p3, a.p3, b.p2), j);
        }
        table[i] = around;
    }
    return table;
}

}  // namespace murlen

