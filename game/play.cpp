// Mouse play and the clock of the game window: pieces go from the pool onto
// the board, from cell to cell and back; every tick tests for a solution and
// counts a second.
#include "app/icons.h"
#include "app/strings.h"
#include "app/twips.h"
#include "game/tri_form.h"

namespace murlen {
namespace {
const QString kPieceTag = QStringLiteral("KYP_Triangle");
const QString kBoardTag = QStringLiteral("KYP_Figure");
}  // namespace

void TriForm::FigurePic_MouseMove(float x, float y) {
    PointerX = x;
    PointerY = y;
    if (!FigureLoaded) return;
    const int cell = FindNearestCell(CellPoints, PointerX, PointerY);
    const int piece = Board.pieces[cell];
    FigurePic->SetDragIcon(LoadResPicture(piece != 0 ? PieceIconId(piece) : kIconFigure));
}

void TriForm::FigurePic_DragDrop(PictureBox* source, float x, float y) {
    if (!source || !FigureLoaded) return;
    CancelHint();
    if (source->DataField() == kPieceTag) {
        const int piece = source->Index();
        // A piece that is no longer in the pool lies on the board already; it
        // cannot be placed a second time.
        if (TriPool(piece)->isHidden()) return;
        const int cell = FindNearestCell(CellPoints, x, y);
        if (Board.pieces[cell] != 0) return;
        DrawBoardCell(piece, cell, DrawMode::Check, true);
        TriPool(piece)->hide();
        Board.pieces[cell] = std::int16_t(piece);
    } else if (source->DataField() == kBoardTag) {
        const int from = FindNearestCell(CellPoints, PointerX, PointerY);
        if (Board.pieces[from] == 0) return;
        const int to = FindNearestCell(CellPoints, x, y);
        if (Board.pieces[to] != 0) return;
        Board.pieces[to] = Board.pieces[from];
        Board.pieces[from] = 0;
        DrawBoardCell(Board.pieces[to], from, DrawMode::Erase, true);
        DrawBoardCell(Board.pieces[to], to, DrawMode::Check, true);
    }
}

void TriForm::RemovePieceFromBoard(int cell) {
    const int piece = Board.pieces[cell];
    if (piece == 0) return;
    CancelHint();
    Board.pieces[cell] = 0;
    DrawBoardCell(piece, cell, DrawMode::Erase, true);
    TriPool(piece)->show();
}

void TriForm::Form_DragDrop(PictureBox* source, float x, float y) {
    if (!source) return;
    if (source->DataField() == kBoardTag) {
        // A piece dragged off the board goes back to the pool, to the place it
        // had when it was taken; the drop point does not matter.
        if (FigureLoaded) RemovePieceFromBoard(FindNearestCell(CellPoints, PointerX, PointerY));
    } else if (source->DataField() == kPieceTag) {
        MoveTwips(source, x, y);
    }
}

void TriForm::FigurePic_Click() {
    if (FigureLoaded) RemovePieceFromBoard(FindNearestCell(CellPoints, PointerX, PointerY));
}

void TriForm::TriPool_Click(int index) { MoveTwips(TriPool(index), PoolLeft[index], PoolTop[index]); }

bool TriForm::Solved() const {
    for (int i = 1; i <= kPieceCount; ++i)
        if (TriPool(i)->isVisibleTo(client)) return false;
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (Board.violation[cell]) return false;
    return true;
}

void TriForm::Timer1_Timer() {
    if (Solved()) {
        Timer1->SetEnabled(false);
        if (PictureBox::Dragging()) {
            congratulateAfterDrag_ = Seconds;
            return;
        }
        if (Congratulate(Seconds)) return;
    }
    CountSecond();
}

void TriForm::CongratulateAfterDrag() {
    if (!congratulateAfterDrag_) return;
    const std::int32_t score = *congratulateAfterDrag_;
    congratulateAfterDrag_.reset();
    if (!Congratulate(score)) CountSecond();
}

bool TriForm::Congratulate(std::int32_t score) {
    const int answer = desktop_.MsgBox(LoadResString(138) + QString::number(score) + LoadResString(139),
                                       msgbox::kYesNo, LoadResString(140));
    if (answer == msgbox::kYes && ConfirmSaveGame()) {
        desktop_.End();
        return true;
    }
    return false;
}

void TriForm::CountSecond() {
    Seconds += 1;
    labelScore->setText(QStringLiteral(" ") + QString::number(Seconds) + LoadResString(146));
    mnuPause->setChecked(false);
}

void TriForm::mnuPause_Click() {
    CancelHint();  // its piece would start the clock again
    mnuPause->setChecked(true);
    Timer1->SetEnabled(false);
    labelScore->setText(LoadResString(145) + LoadResString(125));
}

}  // namespace murlen
