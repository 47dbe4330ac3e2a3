// FrmShape, the shape generator window: a square grid of triangle cells in
// which the user places cells, turns diagonals and moves the drawing, then
// saves it as a shape file and adds it to the figure list. Like the game
// window, its handlers carry the names of the events they answer, its state is
// public so that tests can drive it, and every dialog goes through the Desktop.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <optional>

#include "app/background_solver.h"
#include "app/background_work.h"
#include "app/controls.h"
#include "app/desktop.h"
#include "app/picture_box.h"
#include "model/difficulty.h"
#include "model/random_figure.h"
#include "model/shape_grid.h"

namespace murlen {

class FrmShape : public QMainWindow {
    Q_OBJECT
public:
    // A tool window over `parent` (the game window). It deletes itself when
    // closed with the close box; its own Return command only hides it.
    explicit FrmShape(Desktop& desktop, QWidget* parent = nullptr);

    // Shows the window modal to the game window and returns when it has been
    // hidden or closed. After a close the window no longer exists.
    void ShowModal();

    // --- Controls -----------------------------------------------------------
    FormSurface* client = nullptr;  // the client area
    PictureBox* UniPic = nullptr;   // the editing grid, one unit per square
    Label* labelPcs = nullptr;      // "Placed: " and the count
    Label* labelSolvable = nullptr; // the solver's verdict on a complete drawing
    Label* labelDifficulty = nullptr;  // how hard a solvable drawing is, at the end of the verdict's line
    BackgroundSolver* SolvableCheck = nullptr;  // works the verdict out off the user interface thread
    BackgroundWork* DifficultyCheck = nullptr;  // and then how hard a solvable drawing is

    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuRandom = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuXShape = nullptr;
    QAction* mnuGrid = nullptr;
    QAction* mnuLeft = nullptr;
    QAction* mnuRight = nullptr;
    QAction* mnuUp = nullptr;
    QAction* mnuDown = nullptr;
    QAction* mnuHelp = nullptr;  // a command on the menu bar itself

    // --- State --------------------------------------------------------------
    std::int16_t GridSize = 12;  // visible squares per side, 7..24
    ShapeGrid Grid;              // Diagonal, Cells and PlacedCount over all 26 x 26 squares
    float MouseX = 0;            // last pointer position over UniPic, in squares
    float MouseY = 0;
    std::int16_t MouseButton = 0;  // button of the last press: 1 left, 2 right, 4 middle
    QString ShapeFilePath;         // the current shape file, empty until one is named
    QString ShapeFileTitle;
    float ShapeMinX = 0, ShapeMaxX = 0, ShapeMinY = 0, ShapeMaxY = 0;  // header of the file last opened

    // --- Event handlers -----------------------------------------------------
    void Form_Load();
    void Form_Resize();

    // Editing
    void UniPic_MouseDown(int button);
    void UniPic_MouseMove(float x, float y);
    void UniPic_Click();
    void mnuGrid_Click();

    // Moving the drawing
    void mnuLeft_Click();
    void mnuUp_Click();
    void mnuRight_Click();
    void mnuDown_Click();

    // Files, help and leaving
    void mnuOpen_Click();
    void mnuRandom_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuExit_Click();
    void mnuHelp_Click();

    // The verdict
    void SolvableCheck_Finished(const SolveResult& result);
    void DifficultyCheck_Finished(Difficulty level);

    // --- Operations ---------------------------------------------------------
    // Lays out UniPic and the labels for the window's size, checks the
    // drawing if it has changed (CheckSolvable), clears the grid and draws
    // every visible cell, letting pending events run once per square.
    void RedrawGrid();
    // Draws one triangle cell; X and Y 0..25, Half 1 or 2.
    void DrawCell(int X, int Y, int Half);
    // Moves the drawing one square (1 left, 2 up, 4 right, 8 down), or says
    // why it cannot.
    void ShiftShape(int direction);
    // True when the caller may go on: the figure was saved, or the user did
    // not want to save it, or it is not complete and cannot be saved.
    bool ConfirmSaveShape();
    // Called wherever the drawing may have changed: when it has, the check of
    // the old drawing is dropped and, with 64 cells placed, labelSolvable says
    // "Checking..." until the verdict comes, and a solvable drawing gets its
    // difficulty in labelDifficulty after that; below 64 both are empty.
    void CheckSolvable();
    // True while a verdict or a difficulty is being worked out.
    bool CheckingSolvable() const { return SolvableCheck->Busy() || DifficultyCheck->Busy(); }

    // True once the close box has unloaded the window: it deletes itself as
    // soon as control is back in the event loop, and must not be shown again.
    bool Unloaded() const { return unloaded_; }

signals:
    // The window has been hidden (by Return or by closing it).
    void hidden();
    // labelSolvable shows the verdict on the current drawing, and
    // labelDifficulty the difficulty of a solvable one.
    void solvableChecked();

protected:
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildDesign();
    void ConnectHandlers();
    FileDialogSetup ShapeFileDialog() const;
    // Refuses the figure list's own name and extensions other than ".dat".
    bool PassesNameTests(const QString& title);
    // Writes the shape file and offers to add it to the figure list; false
    // (after telling the user) when the shape file could not be written.
    bool SaveShape();
    // Save As: asks for a name and saves under it. False only when the shape
    // file could not be written; a cancelled dialog is the user's choice.
    bool SaveShapeAs();
    void AddToFigureList(const QString& figureName);
    // Before a random figure replaces the drawing: true when nothing is lost
    // (an empty grid, or the random figure shown last, wherever it was moved),
    // else the save question for a complete figure, and for any other drawing
    // whether to drop it.
    bool ConfirmReplaceDrawing();
    void SetCaption();
    void ShowPlacedCount();

    Desktop& desktop_;
    bool unloaded_ = false;
    std::optional<ShapeGrid> checkedGrid_;  // the drawing of the latest check
    std::optional<RandomFigure> randomFigure_;  // the random figure shown last, with its solution
    std::uint64_t randomSeed_;                  // the seed of the next random figure
};

}  // namespace murlen
