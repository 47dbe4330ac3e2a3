// The board's contents and the two rules of the puzzle:
//   1. where two placed pieces touch, each half of the shared edge has the same
//      colour in both;
//   2. an edge on the figure's border is black on both halves.
// DrawBoardCell draws one cell, checks it, and paints broken rules red (rule 1,
// together with the neighbour it disagrees with) or blue (rule 2 only).
#pragma once

#include <cstdint>
#include <functional>

#include "model/canvas.h"
#include "model/geometry.h"
#include "model/types.h"

namespace murlen {

struct BoardState {
    CellArray<std::int16_t> pieces;  // pool index on each cell, 0 = empty
    CellArray<bool> violation;       // the cell was last drawn red or blue

    void Clear() {
        pieces.Fill(0);
        violation.Fill(false);
    }
};

enum class DrawMode {
    Erase = 0,  // erase the cell and recheck its filled neighbours
    Check = 1,  // draw the piece and check it
    Red = 2,    // draw the piece red without any check
};

// Everything DrawBoardCell reads and writes, apart from the surface.
struct BoardView {
    const CellArray<Triangle>& cellPoints;
    const CellArray<NeighbourSlots>& neighbours;
    BoardState& state;
};

// Draws piece `piece` (a pool index) in `cell` (its low seven bits; a value
// taken from a neighbour slot can be passed unchanged). In Erase mode `piece`
// is the piece that has just left the cell, and the caller has already set the
// cell's entry in state.pieces to 0. Sets state.violation[cell].
void DrawBoardCell(Canvas& canvas, BoardView board, int piece, int cell, DrawMode mode);

// True when the two pieces agree on the edge that `slotValue` names for the
// first piece (P lies in the cell whose slot it is, Q across that edge).
bool PiecesMatch(int slot, int slotValue, int pieceP, int pieceQ);

// True when `piece` in the empty `cell` keeps both rules with the pieces on
// `board` (pool indexes, 0 = empty): it agrees with every placed neighbour and
// is black along the border.
bool PieceFits(const CellArray<NeighbourSlots>& neighbours, const CellArray<std::int16_t>& board, int cell, int piece);

// True when some cell of the board holds a piece.
bool HasPieces(const CellArray<std::int16_t>& board);

// A board as a player may leave it: `pieces` pieces on random cells, each a
// random unused piece among those that fit there (PieceFits). A cell where
// none fits is passed over; after 256 cells drawn the board is left with
// fewer pieces. Every draw is next() modulo the number of choices, so the
// same numbers give the same board.
CellArray<std::int16_t> RandomBoard(const CellArray<NeighbourSlots>& neighbours, int pieces,
                                    const std::function<std::uint64_t()>& next);

}  // namespace murlen
