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

// Every pixel well inside the triangle shows the colour.
bool Solid(const PictureBox& box, const Triangle& t, Rgb colour) {
    const std::vector<Rgb> inside = ColoursInside(box, t, 1.5);
    return inside.size() > 50 && std::count(inside.begin(), inside.end(), colour) == qsizetype(inside.size());
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
        Resize(form, window);
        QTRY_COMPARE(form.size(), window);
        DrawnAtDeviceResolution(*form.FigurePic);
        // The all-black piece, moved about the board.
        int from = 1;
        game.DropPiece(63, from);
        for (int cell : {1, 20, 43, 64}) {
            if (cell != from) game.MovePiece(std::exchange(from, cell), cell);
            Resize(form, {window.width() + 1, window.height()});  // a layout draws every piece again
            Resize(form, window);
            QVERIFY2(Solid(*form.FigurePic, form.CurrentGame().CellPoints()[cell], kBlack), qPrintable(QString::number(cell)));
        }
        DrawnAtDeviceResolution(*form.TriPool(63));
        QVERIFY(Solid(*form.TriPool(63), kPoolTriangle, form.TriPool(63)->ForeColor()));
    }

    void brokenRulesAreMarkedAndLeaveNothingBehind() {
        // The all-black piece and, across its long edge, the all-white one
        // disagree: a red mark on that edge in both cells, on the white half
        // too; with the white one gone, the very pixels the black one had
        // alone. The all-white piece alone on a border cell: a blue mark.
        GameFixture game;
        TriForm& form = *game.form;
        int cell = 1;
        while (form.CurrentGame().Neighbours()[cell][kSlotP2P3] == 0) ++cell;
        const int across = NeighbourCell(form.CurrentGame().Neighbours()[cell][kSlotP2P3]);
        // The pixels of a colour along a cell's edge: in the triangle of the
        // edge and the point a quarter of the way from its middle to the centre.
        const auto marked = [&form](int where, int towards, Rgb colour) {
            const Triangle& t = form.CurrentGame().CellPoints()[where];
            const std::array<std::array<Point, 2>, 3> edges{{{t.p1, t.p2}, {t.p2, t.p3}, {t.p1, t.p3}}};
            std::size_t slot = 0;
            while (towards ? NeighbourCell(form.CurrentGame().Neighbours()[where][slot]) != towards : form.CurrentGame().Neighbours()[where][slot] != 0)
                ++slot;
            const auto [a, b] = edges[slot];
            const Point g = Centroid(t), mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
            const Point inside{mid.x + (g.x - mid.x) / 4, mid.y + (g.y - mid.y) / 4};
            const std::vector<Rgb> colours = ColoursInside(*form.FigurePic, {a, b, inside}, 0);
            return std::count(colours.begin(), colours.end(), colour);
        };
        const Rgb back = form.FigurePic->BackColor();
        Resize(form, {1230, 970});
        game.DropPiece(63, cell);
        const QImage alone = form.FigurePic->Image();
        game.DropPiece(64, across);
        const auto large = marked(across, cell, kRed);  // on the white piece
        QVERIFY(marked(cell, across, back) > 4);        // the rim of the mark on the red one
        Resize(form, {659, 675});
        const auto small = marked(across, cell, kRed);
        QVERIFY2(small > 10 && large > 1.5 * small, qPrintable(QString("%1 %2").arg(small).arg(large)));  // grows with the cell
        Resize(form, {1230, 970});
        game.DragOffBoard(across);
        QVERIFY(form.FigurePic->Image() == alone);
        game.DragOffBoard(cell);
        int border = 1;
        while (form.CurrentGame().Neighbours()[border][kSlotP1P2] != 0 && form.CurrentGame().Neighbours()[border][kSlotP1P3] != 0) ++border;
        game.DropPiece(64, border);
        QVERIFY(marked(border, 0, kBlue) > 4);
    }

    void generatorCellsAreSolidAndATurnedDiagonalLeavesNoTrace() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        DrawnAtDeviceResolution(*form.UniPic);
        generator.LeftClick(3.8f, 2.8f);  // the lower right half of a rising square
        const CellCorners placed = CornersOf(3, 2, false, 2);
        QVERIFY(Solid(*form.UniPic, {placed.b, placed.a, placed.c}, generator.Fore()));

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
