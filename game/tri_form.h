// TriForm, the game window: the pool of 64 pieces, the board, the clock and the
// menus. Its handlers translate window events into calls on the puzzle model;
// every dialog goes through the Desktop, so tests can drive the window whole.
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
#include "files/game_in_progress.h"
#include "model/geometry.h"
#include "model/move_history.h"
#include "model/rules.h"

namespace murlen {

class FrmShape;

class TriForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TriForm(Desktop& desktop, QWidget* parent = nullptr);

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
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuBestTimes = nullptr;
    QAction* mnuNewShape = nullptr;
    MenuArray* mnuShape = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuUsage = nullptr;
    QAction* mnuAbout = nullptr;

    // --- State --------------------------------------------------------------
    std::int32_t Seconds = 0;
    float PointerX = 0;
    float PointerY = 0;
    float BoardMaxHeight = 0;
    float BoardMaxWidth = 0;
    QString GameFileTitle;
    QString GameFilePath;
    QString FigureName;
    QString NeighbourFigure;
    QString GameLabel;
    QString FileLabel;

    FigureData Figure;  // FigMinX .. FigMaxY and FigurePoints
    bool FigureLoaded = false;  // false while no figure could be read
    CellArray<Triangle> CellPoints;
    CellArray<NeighbourSlots> Neighbours;
    BoardState Board;  // Board and Violation
    MoveHistory History;  // the player's moves of this game, for Undo and Redo
    CellArray<int> PoolLeft;
    CellArray<int> PoolTop;

    // The shape generator while it is loaded; its Return only hides it, so its
    // drawing is there again at the next visit.
    QPointer<FrmShape> frmShape;

    // The hint's search, and the Escape key that cancels it while it runs.
    BackgroundSolver* HintSolver = nullptr;
    QShortcut* HintEscape = nullptr;

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

    // The hint
    void mnuHint_Click();
    void HintSolver_Finished(const SolveResult& result);

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

    // --- Operations ---------------------------------------------------------
    // Reads the figure list into the figure menu and loads its first figure.
    void StartFigures();
    // The names of the figure list the player sees; tells the player when
    // the shipped list cannot be read, or (once) the player's own.
    std::optional<std::vector<std::string>> ReadFigureNames();
    // Reads the shape file of FigureName and makes it the current figure. On a
    // missing or damaged file the player is told, the current figure stays as
    // it was, and the result is false.
    bool LoadFigure();
    // Reads the shape file of figure `name` without changing anything; tells
    // the player when it cannot be used, unless `tell` is false.
    std::optional<FigureData> ReadFigure(const QString& name, bool tell = true);
    // Makes a figure that has been read the current one and sets the caption.
    void AdoptFigure(const FigureData& figure);
    // True when the program may go on: the game was saved, or the player did
    // not want to save it, or there was nothing to save.
    bool ConfirmSaveGame();
    // Writes the game into GameFilePath; false (after telling the player) when
    // it could not be written.
    bool SaveGame();
    // Save As: asks for a name and writes the game under it. False only when
    // the game could not be written; a cancelled dialog is the player's choice.
    bool SaveGameAs();
    // After a start: offers the game of a program that ended without the
    // player's say (a crash, a kill, a logout) and, on Yes, brings it back.
    void OfferGameInProgress();
    // True when the board is solved: no piece left in the pool, no rule broken.
    bool Solved() const;
    // A move of the player (a drop, a click, a key, a hint): made, and kept for
    // Undo. Every move goes through here, so that all of them draw, check and
    // start the clock alike.
    void PlayMove(const Move& move);
    void SetCaption();
    void DrawFigure();
    void BuildNeighbourTable();
    void DrawBoardCell(int piece, int cell, DrawMode mode, bool timerOn);
    void DrawPool();

    // True from a Hint until its piece lies on the board or its message has
    // been shown; the window shows a busy cursor meanwhile.
    bool HintRunning() const;
    // Drops the hint being searched: nothing will come of it. Every change of
    // the board cancels the hint, since its answer was for the board before.
    void CancelHint();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildDesign();
    void ConnectHandlers();
    void RemovePieceFromBoard(int cell);
    bool CanMake(const Move& move) const;
    void MakeMove(const Move& move);
    // A new game: nothing to undo, no hint taken.
    void StartHistory();
    void EnableUndoRedo();
    // A new best time for the figure of a game solved without a hint; true
    // when it beats the one kept.
    bool KeepBestTime(std::int32_t score);
    QString BestTimesFile() const;
    // Keyboard play: a cursor in the pool and one on the board.
    void MoveKeyboardCursor(int dx, int dy);
    void KeyboardPut();
    void ShowKeyboardCursors();
    void HideKeyboardCursors();
    FileDialogSetup GameFileDialog() const;
    // The index of figure `name` in the figure menu, or -1.
    int FigureMenuIndex(const QString& name) const;
    // Makes a saved game, on its figure that has been read, the game in play.
    void LoadGame(const SavedGame& game, const FigureData& figure, int menuIndex);
    // Keeps the game as it stands in the user's folder, against a crash.
    void KeepGameInProgress();
    // The end of the program that the player chose: the game kept against a
    // crash goes.
    void EndProgram();
    // The congratulation of a solved board; true when the player chose to
    // leave and the program ends.
    bool Congratulate(std::int32_t score);
    void CountSecond();
    void CongratulateAfterDrag();
    void SetUpHint();
    void EndHintWait();
    void PlaceHintPiece(const CellArray<std::int16_t>& solution);
    BoardView View() { return BoardView{CellPoints, Neighbours, Board}; }

    Desktop& desktop_;
    GameInProgress gameInProgress_;
    // The score of a tick that found the board solved during a drag: a message
    // box must not open inside the drag, so the congratulation waits for its end.
    std::optional<std::int32_t> congratulateAfterDrag_;
    CellArray<std::int16_t> hintBoard_{};         // the board the hint was asked for
    std::optional<SolveResult> hintAfterDrag_;    // an answer that came during a drag
    bool hintUsed_ = false;                       // a hint has laid a piece in this game
    bool toldOwnFigureList_ = false;              // the player's unreadable figure list is told once a run
    // Keyboard play: the cursors show once a key has been used, until the mouse
    // is pressed on the pool or the board.
    bool keyboardPlay_ = false;
    bool boardHasKeys_ = false;   // the arrows move the board's cursor, else the pool's
    int poolCursor_ = 64;         // the pool piece whose home place the cursor marks
    int boardCursor_ = 1;         // a cell
    int pickedCell_ = 0;          // a cell whose piece waits for its new cell, or 0
    Marker* poolMarker_ = nullptr;
    Marker* boardMarker_ = nullptr;
    Marker* pickedMarker_ = nullptr;
    std::array<PictureBox*, kPieceCount + 1> triPool_{};  // element 0 unused: the pool runs 1..64
};

}  // namespace murlen
