// The shape generator's verdict on a complete drawing: whether the 64 pieces
// can fill it, worked out by the solver off the user interface thread, so that
// drawing goes on while it runs, and then, for a solvable drawing, how hard it
// is, also off that thread. Every change of the drawing drops the checks of
// the old one.
#include "app/solver_messages.h"
#include "app/strings.h"
#include "files/shape_file.h"
#include "generator/frm_shape.h"
#include "model/difficulty.h"

namespace murlen {

void FrmShape::CheckSolvable() {
    if (checkedGrid_ == Grid) return;  // a redraw of the same drawing
    checkedGrid_ = Grid;
    SolvableCheck->Cancel();
    DifficultyCheck->Cancel();
    labelSolvable->clear();
    labelSolvable->setToolTip(QString());
    labelDifficulty->clear();
    if (Grid.placedCount != kCellCount) return;
    // A random figure comes with a solution: its verdict is known at once,
    // also after it has been moved.
    if (randomFigure_ && SameShape(randomFigure_->grid, Grid)) {
        SolveResult known;
        known.verdict = SolveVerdict::Solved;
        known.board = randomFigure_->solution;
        SolvableCheck_Finished(known);
        return;
    }
    // The figure as the game will read it from the shape file.
    const ReadResult<FigureData> figure = ParseShapeFileForPlay(ShapeFileText(Grid));
    if (!figure.ok()) return;
    labelSolvable->setText(LoadResString(201));
    CellArray<std::int16_t> emptyBoard;
    emptyBoard.Fill(0);
    SolvableCheck->Solve(figure.value->points, emptyBoard);
}

void FrmShape::SolvableCheck_Finished(const SolveResult& result) {
    QString verdict;
    switch (result.verdict) {
    case SolveVerdict::Solved: verdict = LoadResString(202); break;
    case SolveVerdict::Unsolvable: verdict = LoadResString(203) + UnsolvableReasonText(result.reason); break;
    case SolveVerdict::Undecided: verdict = LoadResString(213); break;
    }
    labelSolvable->setText(verdict);
    // The reasons are long; the tool tip shows the whole text where the label
    // is too narrow for it.
    labelSolvable->setToolTip(verdict);
    if (result.verdict != SolveVerdict::Solved) {
        emit solvableChecked();
        return;
    }
    // The answer belongs to the drawing on the grid, as older ones are dropped.
    DifficultyCheck->Run([cells = FigureCells(Grid)](const std::atomic<bool>&) { return RateDifficulty(cells).level; },
                         [this](Difficulty level) { DifficultyCheck_Finished(level); });
}

void FrmShape::DifficultyCheck_Finished(Difficulty level) {
    labelDifficulty->setText(LoadResString(245) + LoadResString(242 + int(level)));
    emit solvableChecked();
}

}  // namespace murlen
