// Checks a finished board with the game's own rules: every piece is laid with
// DrawBoardCell in mode Check, cell by cell as the game redraws a board, on a
// recording canvas. Independent of the solver's own bookkeeping.
#pragma once

#include <QString>
#include <cstdint>

#include "model/rules.h"
#include "support/figure_fixtures.h"
#include "support/recording_canvas.h"

namespace murlen::testing {

// Empty when all 64 cells hold a piece, no piece lies twice, and no cell ends
// up marked (and drawn) red or blue; otherwise what is wrong.
inline QString RuleProblems(const CellArray<Triangle>& cells, const CellArray<std::int16_t>& board) {
    bool seen[kPieceCount + 1] = {};
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const int piece = board[cell];
        if (piece < 1 || piece > kPieceCount) return QString("cell %1 holds %2").arg(cell).arg(piece);
        if (seen[piece]) return QString("piece %1 lies twice").arg(piece);
        seen[piece] = true;
    }

    BoardFixture fixture(cells);
    RecordingCanvas canvas;
    for (int cell = 1; cell <= kCellCount; ++cell) fixture.Place(canvas, board[cell], cell);
    for (int cell = 1; cell <= kCellCount; ++cell) {
        if (fixture.state.pieces[cell] == 0) return QString("cell %1 is empty").arg(cell);
        if (fixture.state.violation[cell]) return QString("cell %1 breaks a rule").arg(cell);
    }
    if (!canvas.LinesIn(kRed).empty() || !canvas.LinesIn(kBlue).empty())
        return "something was drawn in a rule colour";
    return {};
}

}  // namespace murlen::testing
