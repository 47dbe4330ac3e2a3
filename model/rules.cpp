#include "model/rules.h"

#include <array>
#include <cmath>
#include <utility>

#include "model/piece.h"

namespace murlen {

namespace {

// The order in which the neighbours of a cell are checked and rechecked.
constexpr std::array<int, 3> kCheckOrder{kSlotP1P2, kSlotP1P3, kSlotP2P3};

// A piece's half-edge bits are read from its pool index (64 has none set).
int Bit(int piece, int bit) { return (piece >> bit) & 1; }

bool EdgeAllBlack(int piece, int edgeMask) { return (piece & edgeMask) == edgeMask; }

}  // namespace

bool PiecesMatch(int slot, int slotValue, int pieceP, int pieceQ) {
    // Each pair is the two halves that touch the same corner of the shared edge.
    auto same = [&](int bitP, int bitQ) { return Bit(pieceP, bitP) == Bit(pieceQ, bitQ); };
    const bool sameEdge = SameEdge(slotValue);
    switch (slot) {
        case kSlotP1P2:
            return sameEdge ? same(0, 1) && same(1, 0) : same(0, 3) && same(1, 2);
        case kSlotP1P3:
            return sameEdge ? same(2, 3) && same(3, 2) : same(2, 1) && same(3, 0);
        case kSlotP2P3:
            return same(4, 5) && same(5, 4);
    }
    assert(false && "a cell has three neighbour slots");
    return true;
}

namespace {

constexpr std::array<int, 3> kEdgeMaskOfSlot{kEdgeP1P2, kEdgeP2P3, kEdgeP1P3};

// The edges of a piece in a cell that break a rule as the board stands, by
// slot: shared edges whose halves disagree (rule 1) and border edges that are
// not all black (rule 2). `other` names a cell whose piece is `otherPiece`
// whether or not the board holds it yet (a piece being placed).
struct BrokenEdges {
    std::array<bool, 3> disagree{};
    std::array<bool, 3> border{};
};

BrokenEdges FindBrokenEdges(const BoardView& board, int piece, int cell, int other, int otherPiece) {
    BrokenEdges broken;
    const NeighbourSlots& around = board.neighbours[cell];
    for (int slot : kCheckOrder) {
        const int value = around[std::size_t(slot)];
        if (value == 0) {
            broken.border[std::size_t(slot)] = !EdgeAllBlack(piece, kEdgeMaskOfSlot[std::size_t(slot)]);
            continue;
        }
        const int n = NeighbourCell(value);
        const int neighbour = n == other ? otherPiece : board.state.pieces[n];
        broken.disagree[std::size_t(slot)] = neighbour != 0 && !PiecesMatch(slot, value, piece, neighbour);
    }
    return broken;
}

// A broken rule shows in shape as well as colour, on the edge that breaks it:
// a cross for halves that disagree, a bar for a border edge that is not black.
void DrawMarks(Canvas& canvas, const Triangle& t, const BrokenEdges& broken) {
    const Point g = Centroid(t);
    const double leg = std::hypot(double(t.p2.x) - t.p1.x, double(t.p2.y) - t.p1.y);
    const std::array<std::array<Point, 2>, 3> edges{{{t.p1, t.p2}, {t.p2, t.p3}, {t.p1, t.p3}}};  // by slot
    for (int slot = 0; slot < 3; ++slot) {
        const bool cross = broken.disagree[std::size_t(slot)];
        if (!cross && !broken.border[std::size_t(slot)]) continue;
        const auto [a, b] = edges[std::size_t(slot)];
        const double length = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
        const double ex = (b.x - a.x) / length, ey = (b.y - a.y) / length;  // along the edge
        // A little inside the cell from the edge's midpoint.
        const double mx = (a.x + b.x) / 2.0 + 0.55 * (g.x - (a.x + b.x) / 2.0);
        const double my = (a.y + b.y) / 2.0 + 0.55 * (g.y - (a.y + b.y) / 2.0);
        const auto at = [&](double along, double across) {
            return Point{float(mx + along * ex - across * ey), float(my + along * ey + across * ex)};
        };
        const double h = 0.08 * leg;
        // A rim in the background colour keeps the mark in sight on a half of
        // its own colour.
        const Rgb rim = canvas.BackColor(), mark = cross ? kRed : kBlue;
        for (const auto& [width, color] : {std::pair{cross ? 4 : 5, rim}, {cross ? 2 : 3, mark}}) {
            canvas.SetDrawWidth(width);
            if (cross) {
                canvas.Line(at(-h, -h), at(h, h), color);
                canvas.Line(at(-h, h), at(h, -h), color);
            } else {
                canvas.Line(at(-2 * h, 0), at(2 * h, 0), color);
            }
        }
        canvas.SetDrawWidth(1);
    }
}

void DrawCell(Canvas& canvas, BoardView board, int piece, int cell, DrawMode mode, int other, int otherPiece) {
    cell = NeighbourCell(cell);
    const NeighbourSlots& around = board.neighbours[cell];
    const Rgb fore = canvas.ForeColor();
    Rgb color = fore;
    BrokenEdges broken;

    switch (mode) {
        case DrawMode::Erase:
            color = canvas.BackColor();
            // The leaving piece is already off the board: the neighbours are
            // checked again without it.
            for (int slot : kCheckOrder) {
                const int value = around[std::size_t(slot)];
                if (value == 0) continue;
                const int neighbour = board.state.pieces[NeighbourCell(value)];
                if (neighbour != 0) DrawCell(canvas, board, neighbour, value, DrawMode::Check, 0, 0);
            }
            break;
        case DrawMode::Red:
            color = kRed;
            broken = FindBrokenEdges(board, piece, cell, other, otherPiece);
            break;
        case DrawMode::Check: {
            broken = FindBrokenEdges(board, piece, cell, 0, 0);
            for (int slot : kCheckOrder)
                if (broken.border[std::size_t(slot)]) color = kBlue;
            // A disagreement paints both pieces red; red replaces blue.
            for (int slot : kCheckOrder) {
                if (!broken.disagree[std::size_t(slot)]) continue;
                const int n = NeighbourCell(around[std::size_t(slot)]);
                color = kRed;
                DrawCell(canvas, board, board.state.pieces[n], n, DrawMode::Red, cell, piece);
            }
            break;
        }
    }

    // Erasing paints every half in the background colour; otherwise clear
    // halves show the background, and the marks of an earlier drawing go.
    const Triangle& triangle = board.cellPoints[cell];
    if (mode != DrawMode::Erase) canvas.FillTriangle(triangle.p1, triangle.p2, triangle.p3, canvas.BackColor());
    for (int bit = 0; bit < 6; ++bit) {
        if (mode == DrawMode::Erase || Bit(piece, bit) != 0) DrawFan(canvas, triangle, bit, color);
    }
    if (piece == kPieceCount) {
        canvas.SetDrawWidth(3);
        canvas.PSet(Centroid(triangle), color);
        canvas.SetDrawWidth(1);
    }

    // An emptied cell keeps its outline.
    canvas.Line(triangle.p1, triangle.p2, fore);
    canvas.Line(triangle.p2, triangle.p3, fore);
    canvas.Line(triangle.p3, triangle.p1, fore);
    DrawMarks(canvas, triangle, broken);

    board.state.violation[cell] = color != fore && color != canvas.BackColor();
}

}  // namespace

void DrawBoardCell(Canvas& canvas, BoardView board, int piece, int cell, DrawMode mode) {
    DrawCell(canvas, board, piece, cell, mode, 0, 0);
}

}  // namespace murlen
