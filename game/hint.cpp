// The Hint and Solve commands of the game window: the solver completes the
// board in the background, keeping the pieces where the player laid them, and
// one piece of its solution goes onto the board as if the player had dropped
// it, or, for Solve, all of them at once. A board that cannot be completed is
// told, and nothing moves; so is a board the solver cannot decide within its
// time limit.
#include "app/solver_messages.h"
#include "app/strings.h"
#include "game/tri_form.h"

namespace murlen {

void TriForm::SetUpHint() {
    hintSolver_ = new BackgroundSolver(this);
    connect(hintSolver_, &BackgroundSolver::finished, this, &TriForm::HintSolver_Finished);
    hintEscape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    hintEscape_->setEnabled(false);
    connect(hintEscape_, &QShortcut::activated, this, &TriForm::CancelHint);
    // An answer must not move pieces or open a message inside a drag: it
    // waits until the drag is over, unless the drop has changed the board.
    const auto runHeldHint = [this] {
        if (!hintAfterDrag_) return;
        const SolveResult result = *hintAfterDrag_;
        hintAfterDrag_.reset();
        HintSolver_Finished(result);
    };
    connect(FigurePic, &PictureBox::dragFinished, this, runHeldHint);
    for (int i = 1; i <= kPieceCount; ++i) connect(TriPool(i), &PictureBox::dragFinished, this, runHeldHint);
}

bool TriForm::HintRunning() const { return hintSolver_->Busy() || hintAfterDrag_.has_value(); }

void TriForm::mnuHint_Click() { AskSolver(false); }

void TriForm::mnuSolve_Click() { AskSolver(true); }

void TriForm::AskSolver(bool whole) {
    // Hint or Solve while an answer is searched is the way to give it up.
    if (HintRunning()) {
        CancelHint();
        return;
    }
    if (!game_.HasFigure()) return;
    hintWhole_ = whole;
    hintBoard_ = game_.State().pieces;
    hintSolver_->Solve(game_.Figure().points, hintBoard_);
    setCursor(Qt::BusyCursor);
    hintEscape_->setEnabled(true);
}

void TriForm::CancelHint() {
    hintSolver_->Cancel();
    hintAfterDrag_.reset();
    EndHintWait();
}

void TriForm::EndHintWait() {
    unsetCursor();
    hintEscape_->setEnabled(false);
}

void TriForm::HintSolver_Finished(const SolveResult& result) {
    if (PictureBox::Dragging()) {
        hintAfterDrag_ = result;
        return;
    }
    EndHintWait();
    // Every change of the board cancels the hint; this only guards against an
    // answer to another board.
    if (game_.State().pieces != hintBoard_) return;
    switch (result.verdict) {
    case SolveVerdict::Solved:
        // A solution that keeps every piece already placed: one piece of it,
        // or the whole.
        if (hintWhole_)
            DrawStep(game_.PlaySolution(result.board));
        else if (const std::optional<Move> move = game_.PlayHint(result.board))
            DrawStep({*move});
        break;
    case SolveVerdict::Unsolvable: {
        const bool boardToBlame = result.reason == UnsolvableReason::PiecesCannotStay;
        desktop_.MsgBox(LoadResString(boardToBlame ? 214 : 215) + UnsolvableReasonText(result.reason) +
                            LoadResString(216),
                        msgbox::kCritical, QString());
        break;
    }
    // The solver gave up at its time limit: better to say so than to keep the
    // player waiting.
    case SolveVerdict::Undecided: desktop_.MsgBox(LoadResString(hintWhole_ ? 261 : 218), msgbox::kCritical, QString()); break;
    }
}

}  // namespace murlen
