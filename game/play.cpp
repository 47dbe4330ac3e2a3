// Mouse play and the clock of the game window: pieces go from the pool onto
// the board, from cell to cell and back; every tick asks the game to test for
// a solution and count a second.
#include <QDate>
#include <QLocale>

#include "app/icons.h"
#include "app/strings.h"
#include "app/twips.h"
#include "game/frm_record.h"
#include "game/tri_form.h"

namespace murlen {
namespace {
const QString kPieceTag = QStringLiteral("KYP_Triangle");
const QString kBoardTag = QStringLiteral("KYP_Figure");
}  // namespace

void TriForm::FigurePic_MouseMove(float x, float y) {
    pointerX_ = x;
    pointerY_ = y;
    if (!game_.HasFigure()) return;
    const int piece = game_.Board(FindNearestCell(game_.CellPoints(), pointerX_, pointerY_));
    FigurePic->SetDragIcon(LoadResPicture(piece != 0 ? PieceIconId(piece) : kIconFigure));
}

void TriForm::FigurePic_DragDrop(PictureBox* source, float x, float y) {
    if (!source || !game_.HasFigure()) return;
    CancelHint();
    const int to = FindNearestCell(game_.CellPoints(), x, y);
    if (source->DataField() == kPieceTag) {
        // A piece that is no longer in the pool lies on the board already; it
        // cannot be placed a second time, nor on a cell that holds a piece.
        PlayMove({source->Index(), kPool, to});
    } else if (source->DataField() == kBoardTag) {
        const int from = FindNearestCell(game_.CellPoints(), pointerX_, pointerY_);
        PlayMove({game_.Board(from), from, to});
    }
}

void TriForm::RemovePieceFromBoard(int cell) {
    if (game_.Board(cell) != 0) PlayMove({game_.Board(cell), cell, kPool});
}

void TriForm::PlayMove(const Move& move) {
    if (game_.Play(move)) DrawStep({move});
}

void TriForm::DrawMove(const Move& move) {
    if (move.from != kPool) DrawBoardCell(move.piece, move.from, DrawMode::Erase);
    if (move.to != kPool) DrawBoardCell(move.piece, move.to, DrawMode::Check);
    // Back to the pool, at the place the piece had when it was taken.
    TriPool(move.piece)->setVisible(move.to == kPool);
}

void TriForm::mnuUndo_Click() { DrawStep(game_.Undo()); }

void TriForm::mnuRedo_Click() { DrawStep(game_.Redo()); }

void TriForm::DrawStep(const Step& step) {
    if (!step.empty()) CancelHint();
    for (const Move& move : step) DrawMove(move);
    ShowClockAndMenus();
    ShowKeyboardCursors();
}

void TriForm::Form_DragDrop(PictureBox* source, float x, float y) {
    if (!source) return;
    if (source->DataField() == kBoardTag) {
        // A piece dragged off the board goes back to the pool, to the place it
        // had when it was taken; the drop point does not matter.
        if (game_.HasFigure()) RemovePieceFromBoard(FindNearestCell(game_.CellPoints(), pointerX_, pointerY_));
    } else if (source->DataField() == kPieceTag) {
        MoveTwips(source, x, y);
    }
}

void TriForm::FigurePic_Click() {
    if (game_.HasFigure()) RemovePieceFromBoard(FindNearestCell(game_.CellPoints(), pointerX_, pointerY_));
}

void TriForm::TriPool_Click(int index) { MoveTwips(TriPool(index), poolLeft_[index], poolTop_[index]); }

void TriForm::Timer1_Timer() {
    const Tick tick = game_.TickClock();
    ShowClockAndMenus();
    if (!tick.solved) return;
    if (PictureBox::Dragging()) {
        congratulateAfterDrag_ = tick;
        return;
    }
    if (Congratulate(tick)) return;
    game_.CountSecond();
    ShowClockAndMenus();
}

void TriForm::CongratulateAfterDrag() {
    if (!congratulateAfterDrag_) return;
    const Tick tick = *congratulateAfterDrag_;
    congratulateAfterDrag_.reset();
    if (Congratulate(tick)) return;
    game_.CountSecond();
    ShowClockAndMenus();
}

bool TriForm::Congratulate(const Tick& tick) {
    const int answer = desktop_.MsgBox(LoadResString(138) + QString::number(tick.score) + LoadResString(139),
                                       msgbox::kYesNo, LoadResString(140));
    if (answer == msgbox::kYes && ConfirmSaveGame()) {
        EndProgram();
        return true;
    }
    // Told after the congratulation and its question, never inside them.
    if (tick.newBestTime)
        desktop_.MsgBox(LoadResString(223) + FigureName() + LoadResString(224) + QString::number(tick.score) +
                            LoadResString(225),
                        msgbox::kOkOnly, LoadResString(222));
    return false;
}

void TriForm::mnuBestTimes_Click() {
    // Opened afresh, with the games solved meanwhile.
    if (frmRecord) frmRecord->close();
    std::vector<std::string> figures;
    for (int i = 0; i < mnuShape->Count(); ++i) figures.push_back((*mnuShape)[i]->text().toStdString());
    frmRecord = new FrmRecord(desktop_, game_.ReadPlayerRecord(), game_.ReadBestTimes(), figures, game_.FigureName(), this);
    frmRecord->setAttribute(Qt::WA_DeleteOnClose);
    frmRecord->show();
}

void TriForm::mnuPause_Click() {
    CancelHint();  // its piece would start the clock again
    game_.Pause();
    ShowClockAndMenus();
}

}  // namespace murlen
