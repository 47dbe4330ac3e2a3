// The shape generator opened from the game: the game waits, then takes up the
// figures added to the figure list and switches to the newest.
#include <QTest>
#include <QTimer>

#include "app/strings.h"
#include "generator/frm_shape.h"
#include "model/solver.h"
#include "support/game_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// Runs `visit` once the generator is showing, as the player would use it.
void WhileGeneratorIsOpen(TriForm& form, std::function<void(FrmShape&)> visit) {
    QTimer::singleShot(0, &form, [&form, visit] {
        QVERIFY(form.frmShape);
        QVERIFY(form.frmShape->isVisible());
        visit(*form.frmShape);
    });
    form.mnuNewShape_Click();
}

QStringList FigureMenu(const TriForm& form) {
    QStringList names;
    for (int i = 0; i < form.mnuShape->Count(); ++i) names << (*form.mnuShape)[i]->text();
    return names;
}

}  // namespace

class TestNewShapes : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void returningWithoutNewFiguresLeavesTheGamePaused() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(1, 1);
        WhileGeneratorIsOpen(form, [](FrmShape& shape) { shape.mnuExit_Click(); });
        QCOMPARE(FigureMenu(form), QStringList({"Triangle", "Rising", "Falling"}));
        QVERIFY(form.mnuPause->isChecked());
        QCOMPARE(form.labelScore->text(), QString("Status: Pause"));
        QCOMPARE(form.Board.pieces[1], std::int16_t(1));
        QVERIFY(form.frmShape);  // only hidden: its drawing is kept for the next visit

        // The close box unloads it; the next visit loads it afresh.
        WhileGeneratorIsOpen(form, [](FrmShape& shape) { shape.close(); });
        QVERIFY(!form.frmShape);
    }

    void twoFiguresSavedInOneVisitAreTakenUp() {
        GameFixture game;
        TriForm& form = *game.form;
        WhileGeneratorIsOpen(form, [&game](FrmShape& shape) {
            game.folder.WriteFigure("First", RectangleGrid(false, 2, 2));
            game.folder.WriteFigure("Second", RectangleGrid(true, 5, 1));
            game.folder.WriteList({"Triangle", "Rising", "Falling", "First", "Second"});
            shape.mnuExit_Click();
        });
        QCOMPARE(FigureMenu(form), QStringList({"Triangle", "Rising", "Falling", "First", "Second"}));
        QVERIFY(!(*form.mnuShape)[3]->isChecked());
        QVERIFY((*form.mnuShape)[4]->isChecked());
        QCOMPARE(form.FigureName, QString("Second"));
        QCOMPARE(form.windowTitle(), QString("Game: Second"));
    }

    void aDrawnFigureIsSavedTakenUpAndSolved() {
        GameFixture game;
        TriForm& form = *game.form;
        WhileGeneratorIsOpen(form, [&game](FrmShape& shape) {
            shape.Grid = RectangleGrid(true, 3, 6);
            game.desktop->fileAnswers.push_back({game.folder.FilePath("Box.dat"), "Box.dat"});
            game.desktop->msgBoxAnswers = {msgbox::kYes};  // add it to the figure list
            shape.mnuSaveAs_Click();
            // No need to save the shape again, nor the paused game.
            game.desktop->msgBoxAnswers = {msgbox::kNo, msgbox::kNo};
            shape.mnuExit_Click();
        });
        QCOMPARE(game.desktop->Prompts(), QStringList({"Add the file to the data base?",
                                                       "Do You want to save your work as Box.dat?",
                                                       "Do you want to save your work?"}));
        QCOMPARE(form.FigureName, QString("Box"));
        QCOMPARE(form.Figure.minX, 3.0f);
        QCOMPARE(form.Figure.maxY, 10.0f);

        const auto solution = KnownSolution(form.Figure.points);
        QVERIFY(solution.has_value());
        for (int cell = 1; cell <= 64; ++cell) game.DropPiece((*solution)[cell], cell);
        game.desktop->msgBoxAnswers = {msgbox::kNo};
        form.Timer1_Timer();
        QCOMPARE(game.desktop->Prompts().last(), QString("KYP Congratulation! Your score is 0seconds"));
    }

    void cancellingTheSaveQuestionKeepsTheFigureButTakesUpTheNewOnes() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(1, 1);
        form.Timer1_Timer();
        WhileGeneratorIsOpen(form, [&game](FrmShape& shape) {
            game.folder.WriteFigure("Extra", RectangleGrid(false));
            game.folder.WriteList({"Triangle", "Rising", "Falling", "Extra"});
            game.desktop->msgBoxAnswers = {msgbox::kCancel};  // the game's save question
            shape.mnuExit_Click();
        });
        QCOMPARE(FigureMenu(form).last(), QString("Extra"));
        QVERIFY(!(*form.mnuShape)[3]->isChecked());
        QCOMPARE(form.FigureName, QString("Triangle"));
        QCOMPARE(form.Board.pieces[1], std::int16_t(1));
    }
};

MURLEN_TEST(TestNewShapes)
#include "test_new_shapes.moc"
