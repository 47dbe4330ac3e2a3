#include "model/rules.h"

#include <array>

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

void DrawBoardCell(Canvas& canvas, BoardView board, int piece, int cell, DrawMode mode) {
    cell = NeighbourCell(cell);
    const NeighbourSlots& around = board.neighbours[cell];
    const Rgb fore = canvas.ForeColor();
    Rgb color = fore;

    switch (mode) {
        case DrawMode::Erase:
            color = canvas.BackColor();
            // The leaving piece is already off the board: the neighbours are
            // checked again without it.
            for (int slot : kCheckOrder) {
                const int value = around[std::size_t(slot)];
                if (value == 0) continue;
                const int neighbour = board.state.pieces[NeighbourCell(value)];
                if (neighbour != 0) DrawBoardCell(canvas, board, neighbour, value, DrawMode::Check);
            }
            break;
        case DrawMode::Red:
            color = kRed;
            break;
        case DrawMode::Check: {
            constexpr std::array<int, 3> kEdgeMasks{kEdgeP1P2, kEdgeP2P3, kEdgeP1P3};  // by slot
            for (int slot : kCheckOrder) {
                if (around[std::size_t(slot)] == 0 && !EdgeAllBlack(piece, kEdgeMasks[std::size_t(slot)]))
                    color = kBlue;
            }
            // A disagreement paints both pieces red; red replaces blue.
            for (int slot : kCheckOrder) {
                const int value = around[std::size_t(slot)];
                if (value == 0) continue;
                const int n = NeighbourCell(value);
                const int other = board.state.pieces[n];
                if (other == 0 || PiecesMatch(slot, value, piece, other)) continue;
                color = kRed;
                DrawBoardCell(canvas, board, other, n, DrawMode::Red);
            }
            break;
        }
    }

    // Erasing paints every half in the background colour; otherwise clear
    // halves are left untouched.
    const Triangle& triangle = board.cellPoints[cell];
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

    board.state.violation[cell] = color != fore && color != canvas.BackColor();
}

}  // namespace murlen
