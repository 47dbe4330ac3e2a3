// The shape generator's grid: start-up, placing and removing cells, turning
// diagonals, the grid size question and moving the drawing.
#include <QMenuBar>
#include <QTest>

#include "app/strings.h"
#include "app/twips.h"
#include "generator_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestGeneratorEditing : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void startsWithAnEmptyTwelveGridOfRisingSquares() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        QCOMPARE(form.windowTitle(), QString("Shape generator"));
        QVERIFY(form.windowFlags().testFlag(Qt::Tool));
        QVERIFY(!form.mnuSave->isEnabled());
        QVERIFY(form.mnuSaveAs->isEnabled());
        QCOMPARE(form.mnuFile->title(), QString("&File"));
        QCOMPARE(form.mnuXShape->title(), QString("&Game"));
        QCOMPARE(form.mnuExit->text(), QString("&Return to Murlen"));
        QCOMPARE(form.mnuGrid->text(), QString("&Gridsize"));
        QCOMPARE(form.mnuDown->text(), QString("&Down"));
        QCOMPARE(form.mnuSaveAs->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
        QCOMPARE(form.mnuExit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
        QCOMPARE(form.mnuDown->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
        QCOMPARE(form.labelPcs->text(), QString());
        QCOMPARE(form.Grid, ShapeGrid());

        // Help is a command on the menu bar itself.
        QVERIFY(form.menuBar()->actions().contains(form.mnuHelp));
        QVERIFY(form.mnuHelp->menu() == nullptr);
        QCOMPARE(form.mnuHelp->text(), QString("&Help"));
        form.mnuHelp->trigger();
        QCOMPARE(generator.desktop->helpFiles, QStringList{generator.folder.Path() + "\\TRIANGLEHELP.hlp"});
        QCOMPARE(generator.desktop->helpCommands, std::vector<int>{kHelpContents});

        // The layout: a square grid of 12 x 12 units inset by 5 %, the label on
        // the bottom edge.
        QCOMPARE(form.client->width(), TwipsToPixels(6360));
        QCOMPARE(form.client->height(), TwipsToPixels(5145));
        const double S = std::min(TwipsWidth(form.client), TwipsHeight(form.client) - TwipsHeight(form.labelPcs));
        QCOMPARE(form.UniPic->width(), form.UniPic->height());
        QCOMPARE(form.UniPic->width(), TwipsToPixels(0.9 * S));
        QCOMPARE(form.UniPic->x(), TwipsToPixels(0.05 * S));
        QCOMPARE(form.labelPcs->geometry().bottom() + 1, form.client->height());
        QCOMPARE(form.UniPic->ScaleWidth(), 12.0f);
        QCOMPARE(form.UniPic->ScaleHeight(), 12.0f);

        // Every square empty with its rising diagonal; nothing beyond 12.
        for (int x = 0; x < 12; ++x)
            for (int y = 0; y < 12; ++y) {
                QVERIFY(generator.LineNear({x + 0.25f, y + 0.75f}));
                QVERIFY(generator.LineNear({x + 0.75f, y + 0.25f}));
                QVERIFY(!generator.LineNear({x + 0.25f, y + 0.25f}));
                QVERIFY(!generator.LineNear({x + 0.75f, y + 0.75f}));
            }
        QCOMPARE(generator.desktop->doEventsCount, 144);
    }

    void captionsFollowTheUserLanguage() {
        ForceLanguage(Language::German);
        GeneratorFixture generator;
        QCOMPARE(generator.form->windowTitle(), QString("Formgenerator"));
        QCOMPARE(generator.form->mnuFile->title(), QString("&Datei"));
        QCOMPARE(generator.form->mnuExit->text(), QString("&Zurück zu Murlen"));
    }

    void leftClickOnTheDiagonalPicksTheHalfWithTheRightEdge() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        // Rising square: the lower right half.
        generator.LeftClick(3.5f, 2.5f);
        QCOMPARE(form.Grid.Cell(3, 2, 2), std::int16_t(-1));
        QCOMPARE(form.Grid.Cell(3, 2, 1), std::int16_t(0));
        QCOMPARE(form.labelPcs->text(), QString("Placed: 1"));
        QCOMPARE(generator.HalfColor(3, 2, false, 2), generator.Fore());
        QCOMPARE(generator.HalfColor(3, 2, false, 1), generator.Back());

        // Falling square: the upper right half.
        generator.RightClick(5.5f, 6.5f);
        QVERIFY(form.Grid.Falling(5, 6));
        generator.LeftClick(5.5f, 6.5f);
        QCOMPARE(form.Grid.Cell(5, 6, 1), std::int16_t(-1));
        QCOMPARE(form.Grid.Cell(5, 6, 2), std::int16_t(0));
        QCOMPARE(generator.HalfColor(5, 6, true, 1), generator.Fore());
        QCOMPARE(generator.HalfColor(5, 6, true, 2), generator.Back());

        // Anywhere on the diagonal, not only at its middle.
        generator.LeftClick(6.25f, 1.75f);
        QCOMPARE(form.Grid.Cell(6, 1, 2), std::int16_t(-1));

        // Just off the diagonal the nearer corner decides.
        generator.LeftClick(7.45f, 1.5f);
        QCOMPARE(form.Grid.Cell(7, 1, 1), std::int16_t(-1));
        generator.LeftClick(8.2f, 1.3f);
        QCOMPARE(form.Grid.Cell(8, 1, 1), std::int16_t(-1));
        QCOMPARE(form.Grid.placedCount, 5);
        QCOMPARE(form.labelPcs->text(), QString("Placed: 5"));
    }

    void clickingTheSameHalfTwiceEmptiesItAgain() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.LeftClick(1.2f, 1.2f);
        QCOMPARE(form.labelPcs->text(), QString("Placed: 1"));
        generator.LeftClick(2.8f, 2.8f);
        QCOMPARE(form.Grid.Cell(2, 2, 2), std::int16_t(-1));
        QCOMPARE(form.labelPcs->text(), QString("Placed: 2"));
        generator.LeftClick(2.7f, 2.9f);
        QCOMPARE(form.Grid.Cell(2, 2, 2), std::int16_t(0));
        QCOMPARE(form.Grid.placedCount, 1);
        QCOMPARE(form.labelPcs->text(), QString("Placed: 1"));
        QCOMPARE(generator.HalfColor(2, 2, false, 2), generator.Back());
        QVERIFY(generator.LineNear({2.5f, 2.5f}));  // the outline stays
    }

    void rightClickTurnsTheDiagonalAndKeepsBothHalves() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.LeftClick(4.2f, 4.2f);
        QCOMPARE(generator.HalfColor(4, 4, false, 1), generator.Fore());
        QCOMPARE(generator.PixelAt({4.1f, 4.6f}), generator.Fore());

        generator.RightClick(4.2f, 4.2f);
        QCOMPARE(form.Grid.Diagonal(4, 4), std::int16_t(-1));
        QCOMPARE(form.Grid.Cell(4, 4, 1), std::int16_t(-1));
        QCOMPARE(form.Grid.Cell(4, 4, 2), std::int16_t(0));
        QCOMPARE(form.Grid.placedCount, 1);
        QCOMPARE(form.labelPcs->text(), QString("Placed: 1"));
        // Now the upper right triangle is filled and the old one is gone.
        QCOMPARE(generator.HalfColor(4, 4, true, 1), generator.Fore());
        QCOMPARE(generator.HalfColor(4, 4, true, 2), generator.Back());
        QCOMPARE(generator.PixelAt({4.1f, 4.6f}), generator.Back());
        QCOMPARE(generator.PixelAt({4.25f, 4.75f}), generator.Back());
        QVERIFY(generator.LineNear({4.75f, 4.75f}));  // on the falling diagonal

        generator.RightClick(4.6f, 4.9f);
        QCOMPARE(form.Grid.Diagonal(4, 4), std::int16_t(0));
        QCOMPARE(form.Grid.Cell(4, 4, 1), std::int16_t(-1));
        QCOMPARE(generator.HalfColor(4, 4, false, 1), generator.Fore());
        QCOMPARE(generator.HalfColor(4, 4, false, 2), generator.Back());
    }

    void otherButtonsAndPointsOffTheGridDoNothing() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        const QImage before = form.UniPic->Image();
        generator.Click(4, 3.5f, 3.5f);
        for (const Point off : {Point{-0.5f, 3}, Point{3, -0.01f}, Point{26, 3}, Point{3, 26.5f}}) {
            generator.LeftClick(off.x, off.y);
            generator.RightClick(off.x, off.y);
        }
        QCOMPARE(form.Grid, ShapeGrid());
        QCOMPARE(form.labelPcs->text(), QString());
        QCOMPARE(form.UniPic->Image(), before);
    }

    void gridSizeAnswers_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("message");  // 0: none
        QTest::addColumn<int>("gridSize");
        QTest::newRow("123") << "123" << 0 << 12;
        QTest::newRow("7") << "7" << 0 << 7;
        QTest::newRow("24") << "24" << 0 << 24;
        for (const char* notNatural : {"07", "+9", "-0", "1.", "8a", " 5", "5 "})
            QTest::newRow(notNatural) << notNatural << 149 << 20;
        for (const char* outOfRange : {"-5", "0", "6", "25", "99"})
            QTest::newRow(outOfRange) << outOfRange << 150 << 20;
        QTest::newRow("empty") << "" << 0 << 20;
    }
    void gridSizeAnswers() {
        QFETCH(QString, answer);
        QFETCH(int, message);
        QFETCH(int, gridSize);
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        form.GridSize = 20;
        form.RedrawGrid();
        generator.desktop->inputAnswers = {answer};  // then an empty answer stops
        form.mnuGrid->trigger();

        const QStringList prompts = generator.desktop->inputPrompts;
        QCOMPARE(prompts.size(), message == 0 ? 1 : 2);
        for (const QString& prompt : prompts) QCOMPARE(prompt, QString("Enter a new gridsize"));
        if (message == 0) {
            QVERIFY(generator.desktop->messages.empty());
        } else {
            QCOMPARE(generator.desktop->messages.size(), std::size_t(1));
            QCOMPARE(generator.desktop->messages[0].prompt, LoadResString(message));
            QCOMPARE(generator.desktop->messages[0].style, 16);
        }
        QCOMPARE(int(form.GridSize), gridSize);
        QCOMPARE(form.UniPic->ScaleWidth(), float(gridSize));
        QCOMPARE(form.UniPic->ScaleHeight(), float(gridSize));
    }

    void gridSizeIsAskedAgainUntilItFits() {
        GeneratorFixture generator;
        generator.desktop->inputAnswers = {"07", "30", "9"};
        generator.form->mnuGrid_Click();
        QCOMPARE(generator.desktop->Prompts(),
                 QStringList({"Please enter only natural numbers", "Only numbers between 7 and 24 are supported"}));
        QCOMPARE(generator.desktop->inputPrompts.size(), 3);
        QCOMPARE(int(generator.form->GridSize), 9);
    }

    void smallerGridKeepsAndCountsHiddenCells() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.LeftClick(10.2f, 10.2f);
        generator.LeftClick(10.8f, 10.8f);
        generator.LeftClick(2.2f, 2.2f);
        generator.desktop->inputAnswers = {"8"};
        form.mnuGrid_Click();
        QCOMPARE(form.UniPic->ScaleWidth(), 8.0f);
        QCOMPARE(form.Grid.placedCount, 3);
        QCOMPARE(form.labelPcs->text(), QString("Placed: 3"));

        // Removing a visible cell still counts the hidden ones.
        generator.LeftClick(2.2f, 2.2f);
        QCOMPARE(form.labelPcs->text(), QString("Placed: 2"));

        generator.desktop->inputAnswers = {"12"};
        form.mnuGrid_Click();
        QCOMPARE(generator.HalfColor(10, 10, false, 1), generator.Fore());
        QCOMPARE(generator.HalfColor(10, 10, false, 2), generator.Fore());
        QCOMPARE(generator.HalfColor(2, 2, false, 1), generator.Back());
    }

    void shiftIsRefusedAtTheEdgeAndChangesNothing() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.LeftClick(0.2f, 5.2f);
        generator.RightClick(3.5f, 3.5f);
        const ShapeGrid before = form.Grid;
        const QImage picture = form.UniPic->Image();
        const int redraws = generator.desktop->doEventsCount;

        form.mnuLeft->trigger();
        QCOMPARE(generator.desktop->Prompts(), QStringList{"Can't move over non-empty elements"});
        QCOMPARE(generator.desktop->messages[0].style, 16);
        QCOMPARE(form.Grid, before);
        QCOMPARE(form.UniPic->Image(), picture);
        QCOMPARE(generator.desktop->doEventsCount, redraws);

        // The other ways are open.
        form.mnuRight->trigger();
        form.mnuDown->trigger();
        form.mnuUp->trigger();
        QCOMPARE(generator.desktop->messages.size(), std::size_t(1));
        QCOMPARE(form.Grid.Cell(1, 5, 1), std::int16_t(-1));
        QVERIFY(form.Grid.Falling(4, 3));
        QCOMPARE(generator.HalfColor(1, 5, false, 1), generator.Fore());
        QCOMPARE(generator.HalfColor(0, 5, false, 1), generator.Back());
    }

    void leftThenRightLosesOnlyTheDiagonalsOfColumnZero() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.Load(RectangleGrid(true, 1, 2));
        generator.RightClick(0.5f, 9.5f);   // falling, empty, on the edge line
        generator.RightClick(7.5f, 11.5f);  // falling, empty, inside
        form.labelPcs->setText("Placed: 64");
        ShapeGrid expected = form.Grid;
        expected.Diagonal(0, 9) = 0;

        form.mnuLeft_Click();
        QCOMPARE(form.Grid.Cell(0, 2, 1), std::int16_t(-1));
        QVERIFY(form.Grid.Falling(6, 11));
        form.mnuRight_Click();
        QVERIFY(generator.desktop->messages.empty());
        QCOMPARE(form.Grid, expected);
        QCOMPARE(form.labelPcs->text(), QString("Placed: 64"));
    }

    void drawingMovesBeyondTheVisibleGridAndBack() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        const ShapeGrid figure = TriangleGrid();
        generator.Load(figure);
        for (int step = 0; step < 18; ++step) form.mnuRight_Click();
        QVERIFY(generator.desktop->messages.empty());
        QCOMPARE(form.Grid, TriangleGrid(18, 0));
        QCOMPARE(generator.HalfColor(11, 0, false, 1), generator.Back());  // nothing left to see

        form.mnuRight_Click();
        QCOMPARE(generator.desktop->Prompts(), QStringList{"Can't move over non-empty elements"});
        QCOMPARE(form.Grid, TriangleGrid(18, 0));

        for (int step = 0; step < 18; ++step) form.mnuLeft_Click();
        QCOMPARE(form.Grid, figure);
        QCOMPARE(generator.HalfColor(0, 0, false, 2), generator.Fore());

        // Downward the same way: the rows come back unchanged.
        form.mnuDown_Click();
        QCOMPARE(form.Grid, TriangleGrid(0, 1));
        form.mnuUp_Click();
        QCOMPARE(form.Grid, figure);
        QCOMPARE(generator.desktop->messages.size(), std::size_t(1));
    }

    void tooSmallAWindowKeepsItsLayout() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        const QRect grid = form.UniPic->geometry();
        const QPoint label = form.labelPcs->pos();
        form.client->resize(form.client->width(), form.labelPcs->height() - 3);
        QCOMPARE(form.UniPic->geometry(), grid);
        QCOMPARE(form.labelPcs->pos(), label);
        form.client->resize(0, 300);
        QCOMPARE(form.UniPic->geometry(), grid);

        // And a window that fits again is laid out again.
        form.client->resize(200, 400);
        QCOMPARE(form.UniPic->width(), TwipsToPixels(0.9 * 3000));
    }
};

MURLEN_TEST(TestGeneratorEditing)
#include "test_generator_editing.moc"
