// TriForm, the game window: the pool of 64 pieces, the board, the clock and the
// menus. The state of play is the Game's (play/game.h): each handler turns its
// event into a call on the game and draws what the game says changed. Every
// dialog goes through the Desktop, so tests can drive the window whole.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QShortcut>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/background_solver.h"
#include "app/controls.h"
#include "app/desktop.h"
#include "app/picture_box.h"
#include "play/game.h"

namespace murlen {

class FrmFigures;
class FrmRecord;
class FrmShape;

class TriForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TriForm(Desktop& desktop, QWidget* parent = nullptr);

    // The game in play, for reading.
    const Game& CurrentGame() const { return game_; }

    // --- Controls -----------------------------------------------------------
    FormSurface* client = nullptr;  // the client area, the window's free space
    PictureBox* FigurePic = nullptr;
    PictureBox* TriPool(int index) const { return triPool_.at(std::size_t(index)); }
    Label* labelScore = nullptr;
    Timer* Timer1 = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuopen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuXShape = nullptr;
    QAction* mnuPause = nullptr;
    QAction* mnuHint = nullptr;
    QAction* mnuSolve = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuBestTimes = nullptr;
    QAction* mnuFigures = nullptr;
    QAction* mnuNewShape = nullptr;
    MenuArray* mnuShape = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuUsage = nullptr;
    QAction* mnuAbout = nullptr;

    // The shape generator while it is loaded; its Return only hides it, so its
    // drawing is there again at the next visit.
    QPointer<FrmShape> frmShape;
    // The player's record while it is open.
    QPointer<FrmRecord> frmRecord;
    // The figure chooser while it is open.
    QPointer<FrmFigures> frmFigures;

    // The home place of pool piece i in twips, set by the layout.
    int PoolLeft(int i) const { return poolLeft_[i]; }
    int PoolTop(int i) const { return poolTop_[i]; }

    // --- Event handlers -----------------------------------------------------
    void Form_Load();
    void Form_Resize();

    // Mouse play
    void FigurePic_MouseMove(float x, float y);
    void FigurePic_DragDrop(PictureBox* source, float x, float y);
    void Form_DragDrop(PictureBox* source, float x, float y);
    void FigurePic_Click();
    void TriPool_Click(int index);

    // The clock
    void Timer1_Timer();
    void mnuPause_Click();

    // Undo and redo, best times
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuBestTimes_Click();
    void mnuFigures_Click();

    // The hint
    void mnuHint_Click();
    void mnuSolve_Click();
    void HintSolver_Finished(const SolveResult& result);
    // True from a Hint until its piece lies on the board or its message has
    // been shown; the window shows a busy cursor meanwhile.
    bool HintRunning() const;
    // The time the hint's search may take (tests make it tiny).
    void SetHintTimeLimit(std::chrono::nanoseconds limit) { hintSolver_->SetTimeLimit(limit); }

    // Game files and figures
    void mnuopen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuExit_Click();
    void mnuShape_Click(int index);
    void mnuNewShape_Click();

    // Printing and help
    void mnuPrint_Click();
    void mnuUsage_Click();
    void mnuAbout_Click();

    // After a start: offers the game of a program that ended without the
    // player's say (a crash, a kill, a logout) and, on Yes, brings it back.
    void OfferGameInProgress();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildDesign();
    void ConnectHandlers();

    // --- Remembered between runs ----------------------------------------------
    // The window's place and size, and whether it was maximised, where they
    // fit the screens of the day; the last figure played.
    void RestorePlace();
    void RememberPlace();
    QString RememberedFigure() const;
    void RememberFigure();
    QString SettingsFile() const;

    // --- Figures -----------------------------------------------------------
    // Reads the figure list into the figure menu and starts a game on its
    // first figure.
    void StartFigures();
    // The names of the figure list the player sees; tells the player when the
    // list cannot be read.
    std::optional<std::vector<std::string>> ReadFigureNames();
    // Reads the shape file of figure `name` without changing anything; tells
    // the player when it cannot be used, unless `tell` is false.
    std::optional<FigureData> ReadFigure(const QString& name, bool tell = true);
    // The index of figure `name` in the figure menu, or -1.
    int FigureMenuIndex(const QString& name) const;
    // Marks the figure of the game in play in the figure menu.
    void CheckFigureMenu(int index);
    QString FigureName() const { return QString::fromStdString(game_.FigureName()); }
    void SetCaption();

    // --- Drawing what the game says -----------------------------------------
    void DrawFigure();
    void DrawBoardCell(int piece, int cell, DrawMode mode);
    void DrawPool();
    // The whole game anew: every pool piece home, the board and its pieces,
    // the clock's label, the menus.
    void ShowGame();
    // A move the game has made: its cells, its pool piece.
    void DrawMove(const Move& move);
    // The moves of a step the game has made, and what they change besides.
    void DrawStep(const Step& step);
    // What every call on the game may change: the timer, the label, the menus.
    void ShowClockAndMenus();

    // --- Play ----------------------------------------------------------------
    // A move of the player (a drop, a click, a key): made by the game, drawn.
    void PlayMove(const Move& move);
    void RemovePieceFromBoard(int cell);
    // The congratulation of a solved board; true when the player chose to
    // leave and the program ends.
    bool Congratulate(const Tick& tick);
    void CongratulateAfterDrag();

    // --- Files -----------------------------------------------------------------
    // True when the program may go on: the game was saved, or the player did
    // not want to save it, or there was nothing to save.
    bool ConfirmSaveGame();
    // Writes the game into its file; false (after telling the player) when it
    // could not be written.
    bool SaveGame();
    // Save As: asks for a name and writes the game under it. False only when
    // the game could not be written; a cancelled dialog is the player's choice.
    bool SaveGameAs();
    // Tells the player why a game could not be written under `title`.
    void TellWriteProblem(FileProblem problem, const QString& title);
    FileDialogSetup GameFileDialog() const;
    // The end of the program that the player chose: the game kept against a
    // crash goes.
    void EndProgram();

    // --- The hint --------------------------------------------------------------
    void SetUpHint();
    // Starts the search for a solution of the board: for one piece of it, or
    // (`whole`) for all.
    void AskSolver(bool whole);
    // Drops the hint being searched: nothing will come of it. Every change of
    // the board cancels the hint, since its answer was for the board before.
    void CancelHint();
    void EndHintWait();

    // --- Keyboard play: a cursor in the pool and one on the board ------------
    void MoveKeyboardCursor(int dx, int dy);
    void KeyboardPut();
    void ShowKeyboardCursors();
    void HideKeyboardCursors();

    Desktop& desktop_;
    Game game_;

    // What the layout found (twips).
    CellArray<int> poolLeft_;
    CellArray<int> poolTop_;
    float boardMaxWidth_ = 0;
    float boardMaxHeight_ = 0;
    // The last pointer position over the board, in board units: a drag from
    // the board takes the piece of the cell under it.
    float pointerX_ = 0;
    float pointerY_ = 0;
    // Caption parts in the player's language.
    QString gameLabel_;
    QString fileLabel_;

    // A tick that found the board solved during a drag: a message box must not
    // open inside the drag, so the congratulation waits for its end.
    std::optional<Tick> congratulateAfterDrag_;
    // The hint's search, and the Escape key that cancels it while it runs.
    BackgroundSolver* hintSolver_ = nullptr;
    QShortcut* hintEscape_ = nullptr;
    CellArray<std::int16_t> hintBoard_{};       // the board the hint was asked for
    std::optional<SolveResult> hintAfterDrag_;  // an answer that came during a drag
    bool hintWhole_ = false;                    // Solve asked: the whole solution goes on
    bool toldOwnFigureList_ = false;  // the player's unreadable figure list is told once a run

    // Keyboard play: the cursors show once a key has been used, until the mouse
    // is pressed on the pool or the board.
    bool keyboardPlay_ = false;
    bool boardHasKeys_ = false;  // the arrows move the board's cursor, else the pool's
    int poolCursor_ = 64;        // the pool piece whose home place the cursor marks
    int boardCursor_ = 1;        // a cell
    int pickedCell_ = 0;         // a cell whose piece waits for its new cell, or 0
    Marker* poolMarker_ = nullptr;
    Marker* boardMarker_ = nullptr;
    Marker* pickedMarker_ = nullptr;
    std::array<PictureBox*, kPieceCount + 1> triPool_{};  // element 0 unused: the pool runs 1..64
};

}  // namespace murlen
