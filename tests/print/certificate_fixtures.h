// Figures and boards for the certificate tests: the Triangle figure as its shape
// file gives it, a real solution of it found by a small search, and the game
// state that the certificate reads.
#pragma once

#include <QTest>
#include <optional>

#include "files/shape_file.h"
#include "model/piece.h"
#include "model/rules.h"
#include "print/certificate.h"
#include "support/program_folder.h"
#include "support/recording_canvas.h"

namespace murlen::testing {

// Finds a placement of all 64 pieces that keeps both rules: backtracking that
// always fills the open cell with the fewest pieces that still fit.
class PlacementSearch {
public:
    explicit PlacementSearch(const CellArray<NeighbourSlots>& neighbours) : neighbours_(neighbours) {
        board_.Fill(0);
    }

    std::optional<CellArray<std::int16_t>> Run() {
        if (!Fill(0)) return std::nullopt;
        return board_;
    }

private:
    bool Fits(int cell, int piece) const {
        constexpr std::array<int, 3> kEdgeOfSlot{kEdgeP1P2, kEdgeP2P3, kEdgeP1P3};
        for (int slot = 0; slot < 3; ++slot) {
            const int value = neighbours_[cell][std::size_t(slot)];
            if (value == 0) {
                const int edge = kEdgeOfSlot[std::size_t(slot)];
                if ((PieceCode(piece) & edge) != edge) return false;  // the border is black
                continue;
            }
            const int other = board_[NeighbourCell(value)];
            if (other != 0 && !PiecesMatch(slot, value, piece, other)) return false;
        }
        return true;
    }

    int CountFitting(int cell) const {
        int count = 0;
        for (int piece = 1; piece <= kPieceCount; ++piece) count += !used_[std::size_t(piece)] && Fits(cell, piece);
        return count;
    }

    bool Fill(int placed) {
        if (placed == kCellCount) return true;
        if (++nodes_ > 1'000'000) return false;  // a test must not hang
        int best = 0;
        int bestCount = kPieceCount + 1;
        for (int cell = 1; cell <= kCellCount; ++cell) {
            if (board_[cell] != 0) continue;
            const int count = CountFitting(cell);
            if (count == 0) return false;
            if (count < bestCount) {
                best = cell;
                bestCount = count;
            }
        }
        for (int piece = 1; piece <= kPieceCount; ++piece) {
            if (used_[std::size_t(piece)] || !Fits(best, piece)) continue;
            board_[best] = std::int16_t(piece);
            used_[std::size_t(piece)] = true;
            if (Fill(placed + 1)) return true;
            board_[best] = 0;
            used_[std::size_t(piece)] = false;
        }
        return false;
    }

    const CellArray<NeighbourSlots>& neighbours_;
    CellArray<std::int16_t> board_;
    std::array<bool, kPieceCount + 1> used_{};
    long nodes_ = 0;
};

// The board after the pieces of `pieces` were laid one by one, with the
// violation flags as the game's own rule check leaves them.
inline BoardState LaidBoard(const FigureData& figure, const CellArray<std::int16_t>& pieces) {
    const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(figure.points);
    BoardState state;
    state.Clear();
    RecordingCanvas canvas;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        if (pieces[cell] == 0) continue;
        state.pieces[cell] = pieces[cell];
        DrawBoardCell(canvas, BoardView{figure.points, neighbours, state}, pieces[cell], cell, DrawMode::Check);
    }
    return state;
}

// A solution of the figure, checked by the game's rules.
inline BoardState SolvedBoard(const FigureData& figure) {
    const auto solution = PlacementSearch(BuildNeighbourTable(figure.points)).Run();
    if (!solution) qFatal("no solution found for the test figure");
    const BoardState state = LaidBoard(figure, *solution);
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (state.violation[cell]) qFatal("the found solution breaks a rule at cell %d", cell);
    return state;
}

inline BoardState EmptyBoard() {
    BoardState state;
    state.Clear();
    return state;
}

// The certificate of a game; the date is fixed so that tests can compare it.
inline Certificate GameOf(const FigureData& figure, const BoardState& board, int missing,
                          std::int32_t seconds = 0, const QString& gameFileTitle = QString()) {
    return Certificate{figure, board, missing, seconds, gameFileTitle, QStringLiteral("24/03/2025")};
}

}  // namespace murlen::testing
