// File > Random figure: a new figure of 64 cells that fits the visible grid and
// is proven solvable, in place of the drawing.
#include "app/strings.h"
#include "generator/frm_shape.h"

namespace murlen {

void FrmShape::mnuRandom_Click() {
    if (!ConfirmReplaceDrawing()) return;
    // The new figure never repeats the one on the grid.
    randomFigure_ = DrawSolvableFigure(GridSize, randomSeed_++, Grid);
    Grid = randomFigure_->grid;
    ShowPlacedCount();
    RedrawGrid();
}

bool FrmShape::ConfirmReplaceDrawing() {
    if (Grid.placedCount == 0 || (randomFigure_ && SameShape(randomFigure_->grid, Grid))) return true;
    // A complete figure can be saved first, as before Open.
    if (Grid.placedCount == kCellCount) return ConfirmSaveShape();
    return desktop_.MsgBox(LoadResString(241), msgbox::kYesNo | msgbox::kQuestion, QString()) == msgbox::kYes;
}

}  // namespace murlen
