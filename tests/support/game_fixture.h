// A game window in a temporary program folder, shown and laid out, with a few
// helpers that play through the window's own handlers.
#pragma once

#include <QTest>
#include <memory>

#include "game/tri_form.h"
#include "model/piece.h"
#include "support/program_folder.h"
#include "support/scripted_desktop.h"

namespace murlen::testing {

// Drops pool piece `piece` on the centre of `cell` of a game window.
inline void Drop(TriForm& form, int piece, int cell) {
    const Point at = Centroid(form.CurrentGame().CellPoints()[cell]);
    form.FigurePic_DragDrop(form.TriPool(piece), at.x, at.y);
}

// Resizes a window and lets the layout that follows the new size run.
inline void Resize(QWidget& window, QSize size) {
    window.resize(size);
    QCoreApplication::processEvents();
}

class GameFixture {
public:
    GameFixture() {
        folder.WriteStandardFigures();
        desktop = std::make_unique<ScriptedDesktop>(folder.Path());
        form = std::make_unique<TriForm>(*desktop);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) qWarning("the game window was not shown");
    }

    // The centre of a cell in board units.
    Point CellCentre(int cell) const { return Centroid(form->CurrentGame().CellPoints()[cell]); }

    // Drags pool piece `piece` onto the centre of `cell`.
    void DropPiece(int piece, int cell) const { Drop(*form, piece, cell); }

    // Drags the piece of cell `from` to the centre of cell `to`, or off the
    // board onto the window's free space.
    void MovePiece(int from, int to) const {
        form->FigurePic_MouseMove(CellCentre(from).x, CellCentre(from).y);
        form->FigurePic_DragDrop(form->FigurePic, CellCentre(to).x, CellCentre(to).y);
    }
    void DragOffBoard(int cell) const {
        form->FigurePic_MouseMove(CellCentre(cell).x, CellCentre(cell).y);
        form->Form_DragDrop(form->FigurePic, 100, 9000);
    }

    int PiecesOnBoard() const {
        int count = 0;
        for (int cell = 1; cell <= kCellCount; ++cell) count += form->CurrentGame().Board(cell) != 0;
        return count;
    }

    ProgramFolder folder;
    std::unique_ptr<ScriptedDesktop> desktop;
    std::unique_ptr<TriForm> form;
};

}  // namespace murlen::testing
