// The layout lets pending events run in the middle of its work. Here random
// moves, clicks, menu commands and nested layouts fire at each of those points,
// and after every event each piece must be either in the pool or on exactly one
// cell, with the board holding nothing but 0 to 64.
#include <QTest>
#include <random>

#include "app/strings.h"
#include "app/twips.h"
#include "generator/frm_shape.h"
#include "support/game_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

QString BrokenPiece(const TriForm& form) {
    for (int cell = 1; cell <= 64; ++cell) {
        const int piece = form.Board.pieces[cell];
        if (piece < 0 || piece > 64) return QString("cell %1 holds %2").arg(cell).arg(piece);
    }
    for (int piece = 1; piece <= 64; ++piece) {
        int cells = 0;
        for (int cell = 1; cell <= 64; ++cell) cells += form.Board.pieces[cell] == piece;
        const bool inPool = form.TriPool(piece)->isVisibleTo(form.client);
        if (!((cells == 0 && inPool) || (cells == 1 && !inPool)))
            return QString("piece %1: on %2 cells, %3 the pool").arg(piece).arg(cells).arg(inPool ? "in" : "not in");
    }
    return QString();
}

}  // namespace

class TestReentrancy : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void eventsInsideTheLayoutKeepEveryPieceInOnePlace() {
        GameFixture game;
        TriForm& form = *game.form;
        std::mt19937 random(20261206);
        const auto any = [&random](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
        const auto anywhere = [&] {
            return Point{std::uniform_real_distribution<float>(0, kBoardScaleWidth)(random),
                         std::uniform_real_distribution<float>(0, kBoardScaleHeight)(random)};
        };
        int depth = 0;
        int events = 0;
        QString broken;

        game.desktop->onDoEvents = [&] {
            if (!broken.isEmpty() || any(0, 3) != 0) return;
            ++events;
            // Questions that the commands may ask get No or Cancel.
            game.desktop->msgBoxAnswers = {any(0, 1) ? msgbox::kNo : msgbox::kCancel};
            const Point at = anywhere();
            switch (any(0, 10)) {
            case 0:
                if (depth < 2) {  // a resize arriving in the middle of a resize
                    ++depth;
                    form.Form_Resize();
                    --depth;
                }
                break;
            case 1:
            case 2: form.FigurePic_DragDrop(form.TriPool(any(1, 64)), at.x, at.y); break;
            case 3:
                form.FigurePic_MouseMove(at.x, at.y);
                form.FigurePic_DragDrop(form.FigurePic, anywhere().x, anywhere().y);
                break;
            case 4:
                form.FigurePic_MouseMove(at.x, at.y);
                form.Form_DragDrop(form.FigurePic, 100, 100);
                break;
            case 5:
                form.FigurePic_MouseMove(at.x, at.y);
                form.FigurePic_Click();
                break;
            case 6: form.Form_DragDrop(form.TriPool(any(1, 64)), any(0, 9000), any(0, 9000)); break;
            case 7: form.TriPool_Click(any(1, 64)); break;
            case 8: form.mnuPause_Click(); break;
            case 9: form.Timer1_Timer(); break;
            case 10: form.mnuShape_Click(any(0, form.mnuShape->Count() - 1)); break;
            }
            if (broken.isEmpty()) broken = BrokenPiece(form);
        };

        for (int sequence = 0; sequence < 80 && broken.isEmpty(); ++sequence) {
            // Fill part of the board, then lay the window out with events firing.
            for (int i = 0; i < any(0, 20); ++i) {
                const Point at = anywhere();
                form.FigurePic_DragDrop(form.TriPool(any(1, 64)), at.x, at.y);
            }
            form.Form_Resize();
            if (broken.isEmpty()) broken = BrokenPiece(form);
        }
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
        QVERIFY2(events > 200, qPrintable(QString::number(events)));
        QVERIFY(!game.desktop->ended);
    }

    void eventsInsideTheGeneratorRedrawKeepItsCount() {
        GameFixture game;
        FrmShape shape(*game.desktop);
        shape.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shape));
        std::mt19937 random(61220);
        const auto any = [&random](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
        int depth = 0;
        int events = 0;
        QString broken;
        const auto countPlaced = [&shape] {
            int placed = 0;
            for (int x = 0; x < kGridSquares; ++x)
                for (int y = 0; y < kGridSquares; ++y) placed += shape.Grid.Placed(x, y, 1) + shape.Grid.Placed(x, y, 2);
            return placed;
        };

        game.desktop->onDoEvents = [&] {
            if (!broken.isEmpty() || any(0, 63) != 0) return;
            ++events;
            switch (any(0, 5)) {
            case 0:
            case 1:
                shape.UniPic_MouseDown(any(0, 1) ? 1 : 2);
                shape.UniPic_MouseMove(float(any(0, 2600)) / 100.0f, float(any(0, 2600)) / 100.0f);
                shape.UniPic_Click();
                break;
            case 2: shape.ShiftShape(1 << any(0, 3)); break;
            case 3:
                if (depth < 2) {
                    ++depth;
                    shape.RedrawGrid();
                    --depth;
                }
                break;
            case 4:
                game.desktop->inputAnswers = {QString::number(any(5, 26))};
                if (depth < 2) {
                    ++depth;
                    shape.mnuGrid_Click();
                    --depth;
                }
                break;
            case 5:
                if (depth < 2) {  // a resize redraws the grid, inside this one
                    ++depth;
                    shape.resize(any(50, 500), any(50, 500));
                    --depth;
                }
                break;
            }
            if (countPlaced() != shape.Grid.placedCount)
                broken = QString("placed %1 but counted %2").arg(countPlaced()).arg(shape.Grid.placedCount);
        };
        for (int sequence = 0; sequence < 40 && broken.isEmpty(); ++sequence) shape.RedrawGrid();
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
        QVERIFY2(events > 60, qPrintable(QString::number(events)));
    }
};

MURLEN_TEST(TestReentrancy)
#include "test_reentrancy.moc"
