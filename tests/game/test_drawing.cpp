// What the player sees of the pieces: black halves solid at every size of the
// window, drawn at the screen's own pixel density, and nothing left behind
// where a piece or a diagonal has gone. ctest runs this once more at a device
// pixel ratio of 2.
#include <QTest>

#include "generator/shape_editing.h"
#include "support/game_fixture.h"
#include "generator/generator_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// The colours of the image pixels whose centres lie inside a triangle given in
// the box's scale, at least `margin` logical pixels away from its edges.
std::vector<Rgb> ColoursInside(const PictureBox& box, const Triangle& t, double margin) {
    const QPointF a = box.ToPixels(t.p1), b = box.ToPixels(t.p2), c = box.ToPixels(t.p3);
    // The distance of p from the line through u and v, positive on the side of w.
    const auto side = [](QPointF u, QPointF v, QPointF w, QPointF p) {
        const double cross = (v.x() - u.x()) * (p.y() - u.y()) - (v.y() - u.y()) * (p.x() - u.x());
        const double wCross = (v.x() - u.x()) * (w.y() - u.y()) - (v.y() - u.y()) * (w.x() - u.x());
        return (wCross < 0 ? -cross : cross) / std::hypot(v.x() - u.x(), v.y() - u.y());
    };
    const QImage& image = box.Image();
    const double ratio = image.devicePixelRatio();
    std::vector<Rgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QPointF p((x + 0.5) / ratio, (y + 0.5) / ratio);
            if (side(a, b, c, p) >= margin && side(b, c, a, p) >= margin && side(c, a, b, p) >= margin)
                colours.push_back(Rgb(image.pixel(x, y) & 0xFFFFFFu));
        }
    return colours;
}

// Drawn at the density of the screen: one image pixel per device pixel.
void DrawnAtDeviceResolution(const PictureBox& box) {
    QCOMPARE(box.Image().devicePixelRatio(), box.devicePixelRatioF());
    QCOMPARE(box.Image().width(), qCeil(box.width() * box.devicePixelRatioF()));
}

}  // namespace

class TestDrawing : public QObject {
    Q_OBJECT
private slots:
    void blackHalvesAreSolid_data() {
        QTest::addColumn<QSize>("window");
        QTest::newRow("at the start") << QSize(659, 675);
        QTest::newRow("large") << QSize(1230, 970);
    }
    void blackHalvesAreSolid() {
        QFETCH(QSize, window);
        GameFixture game;
        TriForm& form = *game.form;
        form.resize(window);
        QTRY_COMPARE(form.size(), window);
        DrawnAtDeviceResolution(*form.FigurePic);
        // The all-black piece, moved about the board.
        int from = 1;
        game.DropPiece(63, from);
        for (int cell : {1, 20, 43, 64}) {
            if (cell != from) game.MovePiece(std::exchange(from, cell), cell);
            form.resize(window.width() + 1, window.height());  // a layout draws every piece again
            form.resize(window);
            const std::vector<Rgb> inside = ColoursInside(*form.FigurePic, form.CellPoints[cell], 1.5);
            QVERIFY(inside.size() > 50);
            QCOMPARE(std::count(inside.begin(), inside.end(), kBlack), qsizetype(inside.size()));
        }
        DrawnAtDeviceResolution(*form.TriPool(63));
        const std::vector<Rgb> pool = ColoursInside(*form.TriPool(63), kPoolTriangle, 1.5);
        QCOMPARE(std::count(pool.begin(), pool.end(), form.TriPool(63)->ForeColor()), qsizetype(pool.size()));
    }

    void aPieceTakenAwayLeavesNothingBehind() {
        // The all-black piece and, across its long edge, the all-white one:
        // both red. Taking the white one away must give back the very pixels
        // the black one had alone.
        GameFixture game;
        TriForm& form = *game.form;
        int cell = 1;
        while (form.Neighbours[cell][kSlotP2P3] == 0) ++cell;
        const int across = NeighbourCell(form.Neighbours[cell][kSlotP2P3]);
        game.DropPiece(63, cell);
        const QImage alone = form.FigurePic->Image();
        game.DropPiece(64, across);
        QVERIFY(form.Board.violation[cell]);
        game.DragOffBoard(across);
        QVERIFY(form.FigurePic->Image() == alone);
    }

    void brokenRulesAreMarkedOnTheirEdges() {
        // The all-black piece and, across a short edge, the all-white one
        // disagree: a red mark on that edge in both cells, on the white half
        // too. The all-white piece alone on a border cell: a blue mark there.
        GameFixture game;
        TriForm& form = *game.form;
        int cell = 1;
        while (form.Neighbours[cell][kSlotP1P2] == 0) ++cell;
        const int across = NeighbourCell(form.Neighbours[cell][kSlotP1P2]);
        // The colour's pixels around where the mark of a cell's edge stands.
        const auto marked = [&form](int where, int towards, Rgb colour) {
            const Triangle& t = form.CellPoints[where];
            const std::array<std::array<Point, 2>, 3> edges{{{t.p1, t.p2}, {t.p2, t.p3}, {t.p1, t.p3}}};
            int slot = 0;
            while (towards ? NeighbourCell(form.Neighbours[where][std::size_t(slot)]) != towards
                           : form.Neighbours[where][std::size_t(slot)] != 0)
                ++slot;
            const auto [a, b] = edges[std::size_t(slot)];
            const Point g = Centroid(t);
            const QImage& image = form.FigurePic->Image();
            const QPointF mark = form.FigurePic->ToPixels({(a.x + b.x) * 0.225f + g.x * 0.55f, (a.y + b.y) * 0.225f + g.y * 0.55f}) *
                                 image.devicePixelRatio();
            int count = 0;
            for (int dy = -6; dy <= 6; ++dy)
                for (int dx = -6; dx <= 6; ++dx)
                    count += (image.pixel(QPoint(int(mark.x()) + dx, int(mark.y()) + dy)) & 0xFFFFFFu) == colour;
            return count;
        };
        game.DropPiece(63, cell);
        game.DropPiece(64, across);
        QVERIFY(marked(cell, across, kRed) > 4);
        QVERIFY(marked(across, cell, kRed) > 4);
        game.DragOffBoard(across);
        QCOMPARE(marked(cell, across, kRed), 0);
        game.DragOffBoard(cell);
        int border = 1;
        while (form.Neighbours[border][kSlotP1P2] != 0 && form.Neighbours[border][kSlotP1P3] != 0) ++border;
        game.DropPiece(64, border);
        QVERIFY(marked(border, 0, kBlue) > 4);
        QVERIFY(form.Board.violation[border]);
    }

    void generatorCellsAreSolidAndATurnedDiagonalLeavesNoTrace() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        DrawnAtDeviceResolution(*form.UniPic);
        generator.LeftClick(3.8f, 2.8f);  // the lower right half of a rising square
        const CellCorners placed = CornersOf(3, 2, false, 2);
        const std::vector<Rgb> inside = ColoursInside(*form.UniPic, {placed.b, placed.a, placed.c}, 1.5);
        QCOMPARE(std::count(inside.begin(), inside.end(), generator.Fore()), qsizetype(inside.size()));

        // An empty square turned: along the old diagonal, away from the new
        // one, only the background is left.
        generator.RightClick(6.5f, 6.2f);
        for (float t = 0.15f; t < 0.4f; t += 0.02f)
            for (float u : {t, 1 - t})
                QCOMPARE(generator.PixelAt({6 + u, 7 - u}), generator.Back());
    }
};

MURLEN_TEST(TestDrawing)
#include "test_drawing.moc"
