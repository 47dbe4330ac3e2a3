// The Hint and Solve: one piece of a solution that keeps the player's pieces,
// or all of them, go on the board like a move of the player; a board or a figure that cannot be
// completed, or one not decided within a second, is told and nothing moves; a
// hint given up, or made stale by a change of the board, leaves no trace.
#include <QTest>

#include "app/strings.h"
#include "model/solver.h"
#include "support/game_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

bool Busy(const TriForm& form) { return form.testAttribute(Qt::WA_SetCursor) && form.cursor().shape() == Qt::BusyCursor; }

bool Answered(const TriForm& form) { return QTest::qWaitFor([&form] { return !form.HintRunning(); }, 30000); }

}  // namespace

class TestHint : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void aHintLaysAPieceOrSaysWhyNot_data() {
        QTest::addColumn<QString>("figure");        // empty: the first of the menu
        QTest::addColumn<QList<QPoint>>("pieces");  // cell, piece
        QTest::addColumn<bool>("noTime");
        QTest::addColumn<bool>("whole");  // Solve, not Hint
        QTest::addColumn<QString>("message");
        const QString cannotStay =
            "The board cannot be completed as it stands: some of the pieces on the board cannot stay where they are.";
        QTest::newRow("a piece") << QString() << QList<QPoint>() << false << false << QString();
        QTest::newRow("the solution") << QString() << QList<QPoint>() << false << true << QString();
        // The all-white piece on a corner, whose border edges must be black.
        QTest::newRow("cannot stay") << QString() << QList<QPoint>{{1, 64}} << false << true << cannotStay;
        // A Cross board that only the solver's linear relaxation decides, in
        // well under the second.
        QTest::newRow("the hardest board") << QString("Cross")
                                           << QList<QPoint>{{7, 3}, {13, 47}, {19, 42}, {26, 11}, {34, 30},
                                                            {37, 15}, {40, 10}, {43, 5}, {47, 60}}
                                           << false << false << cannotStay;
        QTest::newRow("no solution") << QString("Strip") << QList<QPoint>() << false << false
                                     << "This figure cannot be solved: more than 16 cells have their left short edge "
                                        "on the border.";
        QTest::newRow("no time") << QString() << QList<QPoint>() << true << false << ResString(Language::English, 218);
        QTest::newRow("no time to solve") << QString() << QList<QPoint>() << true << true
                                          << ResString(Language::English, 261);
    }
    void aHintLaysAPieceOrSaysWhyNot() {
        QFETCH(QString, figure);
        QFETCH(QList<QPoint>, pieces);
        QFETCH(bool, noTime);
        QFETCH(bool, whole);
        QFETCH(QString, message);
        GameFixture game;
        TriForm& form = *game.form;
        if (!figure.isEmpty()) {
            game.folder.WriteFigure(figure, figure == "Strip" ? Drawn(TallStrip()) : Shipped("Cross"));
            form.mnuShape->Load(3)->setText(figure);
            form.mnuShape_Click(3);
        }
        for (const QPoint& piece : pieces) game.DropPiece(piece.y(), piece.x());
        if (noTime) form.SetHintTimeLimit(std::chrono::nanoseconds(1));
        form.Timer1->SetEnabled(false);
        game.desktop->messages.clear();
        (whole ? form.mnuSolve : form.mnuHint)->trigger();
        QVERIFY(Busy(form));
        QVERIFY(Answered(form));
        QVERIFY(!Busy(form));
        if (!message.isEmpty()) {
            QCOMPARE(game.desktop->Prompts(), QStringList(message));
            QCOMPARE(game.desktop->messages[0].style, msgbox::kCritical);
            QCOMPARE(game.PiecesOnBoard(), int(pieces.size()));
            QVERIFY(!form.Timer1->Enabled());
            return;
        }
        // The lowest cell gets its piece, or all cells theirs, a move like
        // any other, undone as one.
        QVERIFY(game.desktop->messages.empty());
        QCOMPARE(game.PiecesOnBoard(), whole ? kCellCount : 1);
        QCOMPARE(form.CurrentGame().Solved(), whole);
        QVERIFY(form.CurrentGame().Board(1) != 0 && !form.CurrentGame().Violation(1));
        QVERIFY(form.Timer1->Enabled());
        QCOMPARE(int(SolveFigure(form.CurrentGame().Figure().points, form.CurrentGame().State().pieces).verdict), int(SolveVerdict::Solved));
        form.mnuUndo_Click();
        QCOMPARE(game.PiecesOnBoard(), 0);
    }

    void aHintGivenUpOrMadeStaleLeavesNoTrace() {
        const std::vector<std::pair<const char*, std::function<void(GameFixture&)>>> ends = {
            {"Hint again", [](GameFixture& game) { game.form->mnuHint->trigger(); }},
            {"Escape", [](GameFixture& game) { QTest::keyClick(game.form.get(), Qt::Key_Escape); }},
            {"a drop", [](GameFixture& game) { game.DropPiece(5, 10); }},
            {"a piece taken off", [](GameFixture& game) { game.DragOffBoard(20); }},
            {"another figure", [](GameFixture& game) { game.form->mnuShape_Click(2); }},
            {"pause", [](GameFixture& game) { game.form->mnuPause_Click(); }},
        };
        for (const auto& [what, end] : ends) {
            GameFixture game;
            TriForm& form = *game.form;
            form.activateWindow();
            game.DropPiece(7, 20);
            form.mnuHint_Click();
            end(game);
            QVERIFY2(!form.HintRunning() && !Busy(form), what);
            const CellArray<std::int16_t> board = form.CurrentGame().State().pieces;
            QTest::qWait(300);  // an answer the worker had found is dropped
            QVERIFY2(form.CurrentGame().State().pieces == board && game.desktop->messages.empty(), what);
        }
    }
};

MURLEN_TEST(TestHint)
#include "test_hint.moc"
