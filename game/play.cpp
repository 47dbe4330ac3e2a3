// Mouse play and the clock of the game window: pieces go from the pool onto
// the board, from cell to cell and back; every tick tests for a solution and
// counts a second.
#include <QDate>
#include <QLocale>

#include "app/icons.h"
#include "app/paths.h"
#include "files/best_times.h"
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
        PlayMove({piece, kPool, cell});
    } else if (source->DataField() == kBoardTag) {
        const int from = FindNearestCell(CellPoints, PointerX, PointerY);
        if (Board.pieces[from] == 0) return;
        const int to = FindNearestCell(CellPoints, x, y);
        if (Board.pieces[to] != 0) return;
        PlayMove({Board.pieces[from], from, to});
    }
}

void TriForm::RemovePieceFromBoard(int cell) {
    if (Board.pieces[cell] != 0) PlayMove({Board.pieces[cell], cell, kPool});
}

bool TriForm::CanMake(const Move& move) const {
    const bool fromOk = move.from == kPool ? TriPool(move.piece)->isVisibleTo(client)
                                           : Board.pieces[move.from] == move.piece;
    return fromOk && (move.to == kPool || Board.pieces[move.to] == 0);
}

void TriForm::MakeMove(const Move& move) {
    CancelHint();
    const int piece = move.piece;
    if (move.from == kPool) {
        DrawBoardCell(piece, move.to, DrawMode::Check, true);
        TriPool(piece)->hide();
        Board.pieces[move.to] = std::int16_t(piece);
    } else if (move.to == kPool) {
        // Back to the pool, at the place the piece had when it was taken.
        Board.pieces[move.from] = 0;
        DrawBoardCell(piece, move.from, DrawMode::Erase, true);
        TriPool(piece)->show();
    } else {
        Board.pieces[move.to] = std::int16_t(piece);
        Board.pieces[move.from] = 0;
        DrawBoardCell(piece, move.from, DrawMode::Erase, true);
        DrawBoardCell(piece, move.to, DrawMode::Check, true);
    }
    ShowKeyboardCursors();
    KeepGameInProgress();
}

void TriForm::PlayMove(const Move& move) {
    MakeMove(move);
    History.Record(move);
    EnableUndoRedo();
}

void TriForm::StartHistory() {
    History.Clear();
    hintUsed_ = false;
    pickedCell_ = 0;
    EnableUndoRedo();
}

void TriForm::EnableUndoRedo() {
    mnuUndo->setEnabled(History.CanUndo());
    mnuRedo->setEnabled(History.CanRedo());
}

void TriForm::mnuUndo_Click() {
    const std::optional<Move> back = History.Undo();
    if (back && CanMake(*back))
        MakeMove(*back);
    else if (back)
        History.Clear();  // the board has changed under the history: it no longer applies
    EnableUndoRedo();
}

void TriForm::mnuRedo_Click() {
    const std::optional<Move> again = History.Redo();
    if (again && CanMake(*again))
        MakeMove(*again);
    else if (again)
        History.Clear();
    EnableUndoRedo();
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
    const bool best = !hintUsed_ && KeepBestTime(score);
    const int answer = desktop_.MsgBox(LoadResString(138) + QString::number(score) + LoadResString(139),
                                       msgbox::kYesNo, LoadResString(140));
    if (answer == msgbox::kYes && ConfirmSaveGame()) {
        EndProgram();
        return true;
    }
    // Told after the congratulation and its question, never inside them.
    if (best)
        desktop_.MsgBox(LoadResString(223) + FigureName + LoadResString(224) + QString::number(score) +
                            LoadResString(225),
                        msgbox::kOkOnly, LoadResString(222));
    return false;
}

QString TriForm::BestTimesFile() const { return desktop_.DataFolder() + QStringLiteral("/best times.txt"); }

bool TriForm::KeepBestTime(std::int32_t score) {
    const std::string today = QDate::currentDate().toString(Qt::ISODate).toStdString();
    const RecordedBestTime recorded =
        RecordBestTime(ToFilePath(BestTimesFile()), FigureName.toStdString(), score, today);
    // A best time that cannot be kept is no reason to trouble the player.
    return recorded.improved && recorded.problem == FileProblem::None;
}

void TriForm::mnuBestTimes_Click() {
    QStringList lines;
    for (const BestTime& time : ReadBestTimes(ToFilePath(BestTimesFile())).times) {
        const QDate date = QDate::fromString(QString::fromStdString(time.date), Qt::ISODate);
        lines << QString::fromStdString(time.figure) + LoadResString(224) + QString::number(time.seconds) +
                     LoadResString(226) + QLocale().toString(date, QLocale::ShortFormat);
    }
    desktop_.MsgBox(lines.isEmpty() ? LoadResString(227) : lines.join(QLatin1Char('\n')), msgbox::kOkOnly,
                    LoadResString(222));
}

void TriForm::CountSecond() {
    Seconds += 1;
    ShowSeconds();
    mnuPause->setChecked(false);
    if (Seconds - keptSeconds_ >= kSecondsBetweenKeeps) KeepGameInProgress();
}

void TriForm::ShowSeconds() {
    labelScore->setText(QStringLiteral(" ") + QString::number(Seconds) + LoadResString(146)); }

void TriForm::mnuPause_Click() {
    CancelHint();  // its piece would start the clock again
    mnuPause->setChecked(true);
    Timer1->SetEnabled(false);
    labelScore->setText(LoadResString(145) + LoadResString(125));
    KeepSecondsCounted();
}

}  // namespace murlen
