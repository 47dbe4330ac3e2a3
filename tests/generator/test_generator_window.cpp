// The shape generator as a window of the game: shown modally, left by Return
// (hidden, grid kept) or by the close box (gone), and drawing cell by cell.
#include <QTest>
#include <QTimer>

#include "app/strings.h"
#include "generator_fixture.h"
#include "support/recording_canvas.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestGeneratorWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void showModalReturnsWhenTheWindowIsHidden() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        form.hide();
        generator.LeftClick(1.2f, 1.2f);
        QTimer::singleShot(0, &form, [&form] {
            QVERIFY(form.isVisible());
            QCOMPARE(form.windowModality(), Qt::ApplicationModal);
            form.mnuExit->trigger();
        });
        form.ShowModal();
        QVERIFY(!generator.form.isNull());
        QVERIFY(form.isHidden());
        QCOMPARE(form.Grid.placedCount, 1);
    }

    void closingTheWindowUnloadsItWithoutAQuestion() {
        GeneratorFixture generator;
        generator.Load(TriangleGrid());
        generator.form->hide();
        QPointer<FrmShape> form = generator.form;
        QTimer::singleShot(0, form, [form] { form->close(); });
        form->ShowModal();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(form.isNull());
        QVERIFY(generator.desktop->messages.empty());
    }

    void closingInTheMiddleOfARedrawEndsIt() {
        GeneratorFixture generator;
        int squares = 0;
        generator.desktop->onDoEvents = [&generator, &squares] {
            if (++squares == 10) delete generator.form.data();
        };
        generator.form->RedrawGrid();
        QVERIFY(generator.form.isNull());
        QCOMPARE(squares, 10);
    }

    void redrawLetsEventsRunBeforeEachSquare() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        // A grid size change that comes in during the redraw shortens the
        // columns still to come, not the number of columns nor the current one.
        int squares = 0;
        generator.desktop->onDoEvents = [&form, &squares] {
            if (++squares == 3) form.GridSize = 8;
        };
        form.RedrawGrid();
        QCOMPARE(squares, 12 + 11 * 8);
    }

    void oneCellIsASolidTriangleAndItsOutline() {
        RecordingCanvas canvas(0xC0C0C0);
        canvas.SetForeColor(0x000000);
        ShapeGrid grid;
        grid.Diagonal(3, 5) = -1;
        grid.Cell(3, 5, 2) = -1;
        DrawShapeCell(canvas, grid, 3, 5, 2);

        // Lower half of a falling square: A (4, 6), B (3, 6), C (3, 5); the
        // outline from B to A, on to C and back to B.
        const Point a{4, 6}, b{3, 6}, c{3, 5};
        const std::vector<CanvasCall> expected{{CanvasCall::Fill, 0, a, c, 0x000000, 1},
                                               {CanvasCall::Line, 0, b, a, 0x000000, 1},
                                               {CanvasCall::Line, 0, a, c, 0x000000, 1},
                                               {CanvasCall::Line, 0, c, b, 0x000000, 1}};
        QCOMPARE(canvas.Calls(), expected);

        // An empty cell is filled with the background colour.
        canvas.Clear();
        DrawShapeCell(canvas, grid, 3, 5, 1);
        QCOMPARE(canvas.Calls()[0].color, Rgb(0xC0C0C0));
        QCOMPARE(canvas.Calls()[0].from, (Point{3, 5}));  // upper right half: A at the top left
    }
};

MURLEN_TEST(TestGeneratorWindow)
#include "test_generator_window.moc"
