// The Hint command: the solver completes the board in the background, keeping
// the player's pieces, and one piece of its solution is laid like a player's
// move; a board or a figure without a solution, or one not decided in time, is
// told and nothing moves; a hint that the player gives up, or that a change of
// the board makes stale, leaves no trace.
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <functional>

#include "app/strings.h"
#include "model/solver.h"
#include "support/game_fixture.h"
#include "support/solver_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

constexpr int kWait = 30000;  // milliseconds; every hint here takes far less

bool WaitForHint(const TriForm& form) {
    return QTest::qWaitFor([&form] { return !form.HintRunning(); }, kWait);
}

// Lets an answer that the worker has already produced reach the window.
bool DeliverEverything(const TriForm& form) {
    const bool idle = QTest::qWaitFor([&form] { return form.HintSolver->WorkerIdle(); }, kWait);
    QCoreApplication::processEvents();
    return idle;
}

bool BusyCursor(const TriForm& form) {
    return form.testAttribute(Qt::WA_SetCursor) && form.cursor().shape() == Qt::BusyCursor;
}

}  // namespace

class TestHint : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void hintFollowsPauseOnTheGameMenu() {
        GameFixture game;
        TriForm& form = *game.form;
        const QList<QAction*> entries = form.mnuXShape->actions();
        QCOMPARE(entries.indexOf(form.mnuHint), entries.indexOf(form.mnuPause) + 1);
        QCOMPARE(form.mnuHint->text(), QString("&Hint"));
        QCOMPARE(form.mnuHint->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
        for (const QAction* entry : form.findChildren<QAction*>()) {
            if (entry != form.mnuHint)
                QVERIFY2(entry->shortcut() != form.mnuHint->shortcut(), qPrintable(entry->text()));
        }

        ForceLanguage(Language::German);
        GameFixture german;
        QCOMPARE(german.form->mnuHint->text(), QString("&Tipp"));
    }

    void aHintOnAnEmptyBoardLaysOneRightPiece() {
        GameFixture game;
        TriForm& form = *game.form;
        QVERIFY(!form.Timer1->Enabled());
        form.mnuHint->trigger();
        QVERIFY(form.HintRunning());
        QVERIFY(BusyCursor(form));
        QCOMPARE(game.PiecesOnBoard(), 0);  // nothing before the answer

        QVERIFY(WaitForHint(form));
        QCOMPARE(game.PiecesOnBoard(), 1);
        const int piece = form.Board.pieces[1];  // the lowest-numbered cell
        QVERIFY(piece >= 1 && piece <= 64);
        QVERIFY(!form.TriPool(piece)->isVisibleTo(form.client));
        QVERIFY(!form.Board.violation[1]);
        QVERIFY(form.Timer1->Enabled());
        QVERIFY(!BusyCursor(form));
        QVERIFY(game.desktop->messages.empty());
        // Part of a solution: the board can still be completed.
        QCOMPARE(int(SolveFigure(form.Figure.points, form.Board.pieces).verdict), int(SolveVerdict::Solved));
    }

    void hintsCompleteTheBoardAroundThePlayersPieces() {
        GameFixture game;
        TriForm& form = *game.form;
        const auto solution = KnownSolution(form.Figure.points);
        QVERIFY(solution.has_value());
        game.DropPiece((*solution)[64], 64);
        game.DropPiece((*solution)[30], 30);

        for (int hint = 1; hint <= 62; ++hint) {
            form.mnuHint_Click();
            QVERIFY(WaitForHint(form));
            QCOMPARE(game.PiecesOnBoard(), hint + 2);
            const int cell = hint < 30 ? hint : hint + 1;  // cell 30 was taken
            QVERIFY2(form.Board.pieces[cell] != 0, qPrintable(QString::number(cell)));
            QVERIFY(!form.Board.violation[cell]);
        }
        QCOMPARE(form.Board.pieces[64], (*solution)[64]);
        QCOMPARE(form.Board.pieces[30], (*solution)[30]);
        QVERIFY(form.Solved());
        QVERIFY(game.desktop->messages.empty());

        // The next tick congratulates.
        game.desktop->msgBoxAnswers = {msgbox::kNo};
        form.Timer1_Timer();
        QCOMPARE(game.desktop->messages.size(), std::size_t(1));
        QVERIFY(game.desktop->messages[0].prompt.startsWith("KYP Congratulation! Your score is "));
    }

    void aHintOnABoardThatCannotBeCompletedMovesNothing() {
        const QString cannot = "The board cannot be completed as it stands: some of the pieces on the board "
                               "cannot stay where they are.";
        GameFixture game;
        TriForm& form = *game.form;

        // The all-white piece on a corner cell, whose two border edges must be
        // black.
        game.DropPiece(64, 1);
        QVERIFY(form.Board.violation[1]);
        form.Timer1->SetEnabled(false);
        form.mnuHint_Click();
        QVERIFY(WaitForHint(form));
        QCOMPARE(game.desktop->Prompts(), QStringList({cannot}));
        QCOMPARE(game.desktop->messages[0].style, 16);
        QCOMPARE(game.PiecesOnBoard(), 1);
        QCOMPARE(form.Board.pieces[1], std::int16_t(64));
        QVERIFY(!form.Timer1->Enabled());
        QVERIFY(!BusyCursor(form));
    }

    void aHintThatCannotBeDecidedInTimeSaysSo() {
        GameFixture game;
        TriForm& form = *game.form;
        // Past its limit before the first node, as a hard board is after a second.
        form.HintSolver->SetTimeLimit(std::chrono::nanoseconds(1));
        form.mnuHint_Click();
        QVERIFY(WaitForHint(form));
        QCOMPARE(game.desktop->Prompts(),
                 QStringList({"No hint: it could not be decided within a second whether this board can be completed."}));
        QCOMPARE(game.desktop->messages[0].style, 16);
        QCOMPARE(game.PiecesOnBoard(), 0);
        QVERIFY(!BusyCursor(form));
    }

    void aHintOnAFigureWithoutSolutionSaysWhy() {
        GameFixture game;
        TriForm& form = *game.form;
        game.folder.WriteFigure("Band", GridFrom(DiagonalBand()));
        form.mnuShape->Load(3)->setText("Band");
        form.mnuShape_Click(3);
        QCOMPARE(form.FigureName, QString("Band"));
        game.DropPiece(63, 5);
        game.desktop->messages.clear();

        form.mnuHint_Click();
        QVERIFY(WaitForHint(form));
        QCOMPARE(game.desktop->Prompts(),
                 QStringList({"This figure cannot be solved: more than 16 cells have their long edge on the border."}));
        QCOMPARE(game.desktop->messages[0].style, 16);
        QCOMPARE(game.PiecesOnBoard(), 1);
    }

    void withoutAFigureThereIsNoHint() {
        ProgramFolder folder;
        folder.WriteBytes("Figures.dat", "");
        ScriptedDesktop desktop(folder.Path());
        TriForm form(desktop);
        QVERIFY(!form.FigureLoaded);
        desktop.messages.clear();
        form.mnuHint_Click();
        QVERIFY(!form.HintRunning());
        QVERIFY(!BusyCursor(form));
        QVERIFY(desktop.messages.empty());
    }

    void aHintGivenUpOrMadeStaleLeavesNoTrace() {
        const std::vector<std::pair<const char*, std::function<void(GameFixture&)>>> ends = {
            {"Hint again", [](GameFixture& game) { game.form->mnuHint->trigger(); }},
            {"Escape",
             [](GameFixture& game) {
                 game.form->activateWindow();
                 QVERIFY(QTest::qWaitForWindowActive(game.form.get()));
                 QTest::keyClick(game.form.get(), Qt::Key_Escape);
             }},
            {"a piece dropped on the board", [](GameFixture& game) { game.DropPiece(5, 10); }},
            {"a piece taken off the board", [](GameFixture& game) { game.DragOffBoard(20); }},
            {"another figure", [](GameFixture& game) { game.form->mnuShape_Click(2); }},
            {"opening a game", [](GameFixture& game) { game.form->mnuopen_Click(); }},
            {"pause", [](GameFixture& game) { game.form->mnuPause_Click(); }},
        };
        for (const auto& [what, end] : ends) {
            GameFixture game;
            TriForm& form = *game.form;
            game.DropPiece(7, 20);
            form.mnuHint_Click();
            QVERIFY(form.HintRunning());
            end(game);
            QVERIFY2(!form.HintRunning(), what);
            QVERIFY2(!BusyCursor(form), what);
            const CellArray<std::int16_t> board = form.Board.pieces;
            QVERIFY(DeliverEverything(form));
            QVERIFY2(form.Board.pieces == board, what);
            QVERIFY2(game.desktop->messages.empty(), what);

            // The next hint is answered as usual.
            form.mnuHint_Click();
            QVERIFY(WaitForHint(form));
            int before = 0;
            for (int cell = 1; cell <= kCellCount; ++cell) before += board[cell] != 0;
            QVERIFY2(game.PiecesOnBoard() == before + 1, what);
        }
    }
};

MURLEN_TEST(TestHint)
#include "test_hint.moc"
