// Playing with the mouse and the clock, through the game window's handlers.
#include <QTest>
#include <QWindow>

#include "app/icons.h"
#include "app/strings.h"
#include "app/twips.h"
#include "model/solver.h"
#include "support/game_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestPlay : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void piecesGoOntoTheBoardAndBack() {
        GameFixture game;
        TriForm& form = *game.form;
        QVERIFY(!form.Timer1->Enabled());

        // A pool piece onto an empty cell: drawn, hidden in the pool, recorded.
        game.DropPiece(5, 10);
        QCOMPARE(form.Board.pieces[10], std::int16_t(5));
        QVERIFY(!form.TriPool(5)->isVisibleTo(form.client));
        QVERIFY(form.Timer1->Enabled());

        // Onto an occupied cell: ignored, and the clock is not touched.
        form.Timer1->SetEnabled(false);
        game.DropPiece(6, 10);
        QCOMPARE(form.Board.pieces[10], std::int16_t(5));
        QVERIFY(form.TriPool(6)->isVisibleTo(form.client));
        QVERIFY(!form.Timer1->Enabled());

        // A point far beside the figure still targets the nearest cell.
        form.FigurePic_DragDrop(form.TriPool(7), form.FigurePic->ScaleWidth() - 0.01f,
                                form.FigurePic->ScaleHeight() - 0.01f);
        QCOMPARE(game.PiecesOnBoard(), 2);

        // Moving a piece on the board: onto its own or an occupied cell changes
        // nothing; onto a free cell it moves.
        game.MovePiece(10, 10);
        QCOMPARE(form.Board.pieces[10], std::int16_t(5));
        const int free = game.NeighbourOf(10);
        QVERIFY(free != 0 && form.Board.pieces[free] == 0);
        game.MovePiece(10, free);
        QCOMPARE(form.Board.pieces[free], std::int16_t(5));
        QCOMPARE(form.Board.pieces[10], std::int16_t(0));

        // Dragging an empty cell changes nothing.
        game.MovePiece(10, 11);
        QCOMPARE(game.PiecesOnBoard(), 2);

        // Off the board: back into the pool where it was taken.
        game.DragOffBoard(free);
        QCOMPARE(form.Board.pieces[free], std::int16_t(0));
        QVERIFY(form.TriPool(5)->isVisibleTo(form.client));
        QCOMPARE(TwipsLeft(form.TriPool(5)), form.PoolLeft[5]);

        // A click on a placed piece sends it back as well.
        game.DropPiece(9, 20);
        const Point at = game.CellCentre(20);
        form.FigurePic_MouseMove(at.x, at.y);
        form.FigurePic_Click();
        QCOMPARE(form.Board.pieces[20], std::int16_t(0));
        QVERIFY(form.TriPool(9)->isVisibleTo(form.client));
    }

    void poolPiecesCanBeSortedOnTheWindow() {
        GameFixture game;
        TriForm& form = *game.form;
        form.Form_DragDrop(form.TriPool(12), 3000, 7500);
        QCOMPARE(TwipsLeft(form.TriPool(12)), 3000);
        QCOMPARE(TwipsTop(form.TriPool(12)), 7500);
        QCOMPARE(game.PiecesOnBoard(), 0);

        // Taken to the board from there and dragged off again, it comes back to
        // the place it had when it was taken.
        game.DropPiece(12, 1);
        game.DragOffBoard(1);
        QCOMPARE(TwipsLeft(form.TriPool(12)), 3000);
        form.TriPool_Click(12);
        QCOMPARE(TwipsLeft(form.TriPool(12)), form.PoolLeft[12]);
        QCOMPARE(TwipsTop(form.TriPool(12)), form.PoolTop[12]);

        // A source with another tag is ignored everywhere.
        PictureBox stranger(form.client, 3);
        stranger.SetDataField("kyp_triangle");
        form.FigurePic_DragDrop(&stranger, 1, 1);
        form.Form_DragDrop(&stranger, 1, 1);
        QCOMPARE(game.PiecesOnBoard(), 0);
        QCOMPARE(TwipsLeft(&stranger), 0);
    }

    void movingNextToTheOldCellRechecksBeforeDrawing() {
        GameFixture game;
        TriForm& form = *game.form;
        // An all-black and an all-white piece side by side disagree: both red.
        const int cell = 30;
        const int other = game.NeighbourOf(cell);
        game.DropPiece(63, cell);
        game.DropPiece(64, other);
        QVERIFY(form.Board.violation[cell]);
        QVERIFY(form.Board.violation[other]);
        // Taking the white piece away clears the red of the black one (unless the
        // border makes it blue, which an all-black piece never is).
        game.DragOffBoard(other);
        QVERIFY(!form.Board.violation[cell]);
        QVERIFY(!form.Board.violation[other]);

        // A move to a neighbouring free cell: the old cell is emptied first, so
        // the piece is not checked against itself.
        game.DropPiece(64, other);
        QVERIFY(form.Board.violation[cell]);
        int free = 0;
        for (int slot = 0; slot < 3 && !free; ++slot) {
            const int n = NeighbourCell(form.Neighbours[other][std::size_t(slot)]);
            if (n != 0 && form.Board.pieces[n] == 0) free = n;
        }
        if (free == 0) QSKIP("no free neighbour in this figure");
        game.MovePiece(other, free);
        QCOMPARE(form.Board.pieces[free], std::int16_t(64));
        QCOMPARE(form.Board.violation[cell], form.Board.pieces[game.NeighbourOf(cell)] != 0);
    }

    void clockCountsFromTheFirstMoveAndPauses() {
        GameFixture game;
        TriForm& form = *game.form;
        QVERIFY(!form.Timer1->Enabled());
        QCOMPARE(form.labelScore->text(), QString());

        game.DropPiece(1, 1);
        QVERIFY(form.Timer1->Enabled());
        form.Timer1_Timer();
        form.Timer1_Timer();
        QCOMPARE(form.Seconds, 2);
        QCOMPARE(form.labelScore->text(), QString(" 2 seconds"));

        form.mnuPause_Click();
        QVERIFY(form.mnuPause->isChecked());
        QVERIFY(!form.Timer1->Enabled());
        QCOMPARE(form.labelScore->text(), QString("Status: Pause"));
        form.mnuPause_Click();  // it does not toggle
        QVERIFY(form.mnuPause->isChecked());

        // The next move starts the clock again, and the next tick clears the mark.
        game.DropPiece(2, 2);
        QVERIFY(form.Timer1->Enabled());
        form.Timer1_Timer();
        QCOMPARE(form.Seconds, 3);
        QVERIFY(!form.mnuPause->isChecked());

        // Minimising lays the window out as one of no size: the clock stops and
        // the label is empty; the seconds stay. Restoring lays it out again.
        form.setWindowState(Qt::WindowMinimized);
        QVERIFY(!form.Timer1->Enabled());
        QCOMPARE(form.labelScore->text(), QString());
        QCOMPARE(form.TriPool(5)->width(), 0);
        QCOMPARE(form.Seconds, 3);
        form.setWindowState(Qt::WindowNoState);
        QCOMPARE(TwipsWidth(form.TriPool(5)), TwipsWidth(form.TriPool(6)));
        QVERIFY(form.TriPool(5)->width() > 10);
        QCOMPARE(form.Board.pieces[1], std::int16_t(1));
    }

    void fullBoardWithABrokenRuleIsNotSolved() {
        GameFixture game;
        TriForm& form = *game.form;
        for (int cell = 1; cell <= 64; ++cell) game.DropPiece(cell, cell);
        QCOMPARE(game.PiecesOnBoard(), 64);
        bool anyViolation = false;
        for (int cell = 1; cell <= 64; ++cell) anyViolation |= form.Board.violation[cell];
        QVERIFY(anyViolation);
        QVERIFY(!form.Solved());
        form.Timer1_Timer();
        QVERIFY(game.desktop->messages.empty());
        QCOMPARE(form.Seconds, 1);
        QVERIFY(form.Timer1->Enabled());
    }

    void solvedBoardIsCongratulatedOnTheNextTick() {
        GameFixture game;
        TriForm& form = *game.form;
        const auto solution = KnownSolution(form.Figure.points);
        QVERIFY(solution.has_value());
        for (int cell = 1; cell <= 64; ++cell) game.DropPiece((*solution)[cell], cell);
        QVERIFY(form.Solved());
        QVERIFY(game.desktop->messages.empty());  // nothing before the tick

        // No: the board stays, the clock stops, the label is one second ahead.
        form.Seconds = 41;
        game.desktop->msgBoxAnswers = {msgbox::kNo};
        form.Timer1_Timer();
        QCOMPARE(game.desktop->messages.size(), std::size_t(1));
        QCOMPARE(game.desktop->messages[0].prompt, QString("KYP Congratulation! Your score is 41seconds"));
        QCOMPARE(game.desktop->messages[0].style, 4);
        QCOMPARE(game.desktop->messages[0].title, QString("Exit Murlen?"));
        QVERIFY(!form.Timer1->Enabled());
        QCOMPARE(form.Seconds, 42);
        QCOMPARE(form.labelScore->text(), QString(" 42 seconds"));
        QCOMPARE(game.PiecesOnBoard(), 64);
        QVERIFY(!game.desktop->ended);

        // Yes asks the save question (the label shows text); Cancel keeps playing.
        game.desktop->msgBoxAnswers = {msgbox::kYes, msgbox::kCancel};
        form.Timer1_Timer();
        QCOMPARE(game.desktop->Prompts().last(), QString("Do you want to save your work?"));
        QVERIFY(!game.desktop->ended);
        QCOMPARE(form.Seconds, 43);

        // Yes and No: the program ends.
        game.desktop->msgBoxAnswers = {msgbox::kYes, msgbox::kNo};
        form.Timer1_Timer();
        QVERIFY(game.desktop->ended);

        // Taking a piece off makes the board incomplete again.
        game.DragOffBoard(1);
        QVERIFY(!form.Solved());
    }

};

MURLEN_TEST(TestPlay)
#include "test_play.moc"
