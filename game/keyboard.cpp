// Keyboard play in the game window: a cursor in the pool and one on the board,
// moved by the arrow keys; Tab switches between them; Space or Enter puts the
// pool's piece on the board's cell, or moves a board piece in two presses;
// Delete sends a board piece back to the pool. Every key makes the same moves
// as the mouse.
#include <QKeyEvent>

#include "app/twips.h"
#include "game/tri_form.h"
#include "model/piece.h"

namespace murlen {

namespace {

// The pool's home places form a grid of 16 columns and 4 rows, piece 64 first.
int PoolColumn(int piece) { return piece % 16; }
int PoolRow(int piece) { return (piece / 16) % 4; }
int PoolPieceAt(int column, int row) { return PoolIndexOfCode(row * 16 + column); }

}  // namespace

bool TriForm::focusNextPrevChild(bool) { return false; }  // Tab is a key of play

void TriForm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: boardHasKeys_ = !boardHasKeys_; break;
    case Qt::Key_Left: MoveKeyboardCursor(-1, 0); break;
    case Qt::Key_Right: MoveKeyboardCursor(1, 0); break;
    case Qt::Key_Up: MoveKeyboardCursor(0, -1); break;
    case Qt::Key_Down: MoveKeyboardCursor(0, 1); break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: KeyboardPut(); break;
    case Qt::Key_Delete:
        if (game_.HasFigure() && keyboardPlay_) RemovePieceFromBoard(boardCursor_);
        pickedCell_ = 0;
        break;
    default: QMainWindow::keyPressEvent(event); return;
    }
    keyboardPlay_ = true;
    ShowKeyboardCursors();
}

void TriForm::MoveKeyboardCursor(int dx, int dy) {
    if (!keyboardPlay_) return;  // the first key only shows the cursors
    if (boardHasKeys_) {
        if (game_.HasFigure())
            boardCursor_ = CellTowards(game_.CellPoints(), game_.Neighbours(), boardCursor_, float(dx), float(dy));
    } else {
        poolCursor_ = PoolPieceAt(std::clamp(PoolColumn(poolCursor_) + dx, 0, 15),
                                  std::clamp(PoolRow(poolCursor_) + dy, 0, 3));
    }
}

void TriForm::KeyboardPut() {
    if (!keyboardPlay_ || !game_.HasFigure()) return;
    const int cell = boardCursor_;
    if (!boardHasKeys_) {
        PlayMove({poolCursor_, kPool, cell});
    } else if (pickedCell_ == 0) {
        if (game_.Board(cell) != 0) pickedCell_ = cell;
    } else {
        PlayMove({game_.Board(pickedCell_), pickedCell_, cell});
        pickedCell_ = 0;
    }
}

void TriForm::ShowKeyboardCursors() {
    if (!keyboardPlay_) return;
    // The pool's cursor frames the home place of its piece.
    const QRect home(TwipsToPixels(poolLeft_[poolCursor_]), TwipsToPixels(poolTop_[poolCursor_]),
                     TriPool(poolCursor_)->width(), TriPool(poolCursor_)->height());
    poolMarker_->setGeometry(home.adjusted(-4, -4, 4, 4));
    poolMarker_->SetOutline(QRectF(2.5, 2.5, home.width() + 3, home.height() + 3), !boardHasKeys_);
    poolMarker_->show();
    poolMarker_->raise();
    // The board's cursors lie on the cell's edges: a rule colour inside stays
    // in sight.
    const auto outline = [this](int cell) {
        const Triangle& t = game_.CellPoints()[cell];
        return QPolygonF{FigurePic->ToPixels(t.p1), FigurePic->ToPixels(t.p2), FigurePic->ToPixels(t.p3)};
    };
    boardMarker_->setGeometry(FigurePic->rect());
    boardMarker_->SetOutline(outline(boardCursor_), boardHasKeys_);
    boardMarker_->setVisible(game_.HasFigure());
    pickedMarker_->setGeometry(FigurePic->rect());
    pickedMarker_->SetOutline(pickedCell_ != 0 ? outline(pickedCell_) : QPolygonF(), false);
    pickedMarker_->setVisible(game_.HasFigure() && pickedCell_ != 0);
}

void TriForm::HideKeyboardCursors() {
    keyboardPlay_ = false;
    pickedCell_ = 0;
    for (Marker* marker : {poolMarker_, boardMarker_, pickedMarker_}) marker->hide();
}

}  // namespace murlen
