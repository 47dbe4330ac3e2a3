// Placing and removing pieces on the board: what is drawn, in which colour, and
// which cells are marked as breaking a rule. Each scenario is drawn on a
// recording canvas and on an image at the same time, so colours are checked in
// the calls and in the pixels.
#include <QTest>
#include <algorithm>
#include <bit>
#include <cmath>

#include "model/piece.h"
#include "model/rules.h"
#include "support/figure_fixtures.h"
#include "support/image_canvas_for_tests.h"
#include "support/recording_canvas.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

constexpr Rgb kGrey = 0xC0C0C0;
constexpr double kPixelsPerUnit = 40;  // fans of a one-unit cell leave no gaps

// Draws on both canvases at once.
class RecordedImage : public Canvas {
public:
    RecordedImage(float width, float height) : image(width, height, kPixelsPerUnit, kGrey) {}

    void Cls() override { record.Cls(), image.Cls(); }
    void Line(Point from, Point to, Rgb color) override { record.Line(from, to, color), image.Line(from, to, color); }
    void PSet(Point at, Rgb color) override { record.PSet(at, color), image.PSet(at, color); }
    void FillTriangle(Point a, Point b, Point c, Rgb color) override {
        record.FillTriangle(a, b, c, color), image.FillTriangle(a, b, c, color);
    }
    void SetDrawWidth(int pixels) override { record.SetDrawWidth(pixels), image.SetDrawWidth(pixels); }
    int DrawWidth() const override { return record.DrawWidth(); }
    Rgb ForeColor() const override { return record.ForeColor(); }
    Rgb BackColor() const override { return record.BackColor(); }

    RecordingCanvas record{kGrey};
    ImageCanvasForTests image;
};

Point Between(Point a, Point b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// Well inside the little triangle that the fan of `bit` fills.
Point InHalf(const Triangle& cell, int bit) {
    const HalfEdge half = HalfEdgeOf(cell, bit);
    return Between(Centroid(cell), Between(half.a, half.b, 0.25f), 0.5f);
}

// The colours of the six halves of a cell, read from the image.
std::array<Rgb, 6> HalfColours(const RecordedImage& canvas, const Triangle& cell) {
    std::array<Rgb, 6> colours{};
    for (int bit = 0; bit < 6; ++bit) colours[std::size_t(bit)] = canvas.image.ColorAt(InHalf(cell, bit));
    return colours;
}

// What a piece looks like in one colour: that colour on its black halves, the
// background elsewhere.
std::array<Rgb, 6> Looks(int piece, Rgb color) {
    std::array<Rgb, 6> colours{};
    for (int bit = 0; bit < 6; ++bit) colours[std::size_t(bit)] = (piece >> bit & 1) ? color : kGrey;
    return colours;
}

bool OutlineIntact(const RecordedImage& canvas, const Triangle& cell) {
    for (auto [a, b] : {std::pair{cell.p1, cell.p2}, std::pair{cell.p2, cell.p3}, std::pair{cell.p3, cell.p1}}) {
        for (float t : {0.25f, 0.5f, 0.75f})
            if (canvas.image.ColorsNear(Between(a, b, t)).count(kBlack) == 0) return false;
    }
    return true;
}

// The lines drawn into one cell (ending at its centroid) in one colour.
int FansIn(const RecordingCanvas& record, const Triangle& cell, Rgb color) {
    int count = 0;
    for (const CanvasCall& fill : record.Only(CanvasCall::Fill))
        if (fill.color == color && fill.to == Centroid(cell)) ++count;
    return count;
}

// Cells of the rising block used below.
struct Block {
    std::vector<SquareHalf> halves = RisingBlock();
    BoardFixture board{CellsFrom(halves)};
    // An inner cell and its three neighbours.
    int inner = CellNumber(halves, {3, 1, false, 2});
    int right = CellNumber(halves, {4, 1, false, 1});   // across its P1P2
    int below = CellNumber(halves, {3, 2, false, 1});   // across its P1P3
    int partner = CellNumber(halves, {3, 1, false, 1}); // across its P2P3
    // The top left corner: its edges P1P2 and P1P3 are on the border.
    int corner = CellNumber(halves, {0, 0, false, 1});
    int cornerPartner = CellNumber(halves, {0, 0, false, 2});

    const Triangle& operator[](int cell) const { return board.cells[cell]; }
    bool Violation(int cell) const { return board.state.violation[cell]; }
};

}  // namespace

class TestRules : public QObject {
    Q_OBJECT

private slots:
    void fixtureCellsTouchAsIntended() {
        Block b;
        QCOMPARE(NeighbourCell(b.board.neighbours[b.inner][kSlotP1P2]), b.right);
        QCOMPARE(NeighbourCell(b.board.neighbours[b.inner][kSlotP1P3]), b.below);
        QCOMPARE(NeighbourCell(b.board.neighbours[b.inner][kSlotP2P3]), b.partner);
        QCOMPARE(b.board.neighbours[b.corner], (NeighbourSlots{0, std::int16_t(b.cornerPartner), 0}));
    }

    void pieceAmongEmptyCellsIsBlack() {
        Block b;
        for (int piece = 1; piece <= 64; ++piece) {
            RecordedImage canvas(9, 5);
            b.board.Place(canvas, piece, b.inner);
            QVERIFY2(!b.Violation(b.inner), qPrintable(QString("piece %1").arg(piece)));
            QCOMPARE(HalfColours(canvas, b[b.inner]), Looks(piece, kBlack));
            QCOMPARE(FansIn(canvas.record, b[b.inner], kBlack), std::popcount(unsigned(piece & 63)));
            QCOMPARE(canvas.record.LinesIn(kBlack).size(), canvas.record.Lines().size());
            QVERIFY(OutlineIntact(canvas, b[b.inner]));
            b.board.Remove(canvas, b.inner);
        }
    }

    void disagreeingNeighboursAreBothRedUntilOneLeaves() {
        // Across the right edge the halves at the top corner differ: piece 1
        // has its half there black, piece 4 white.
        for (bool innerFirst : {false, true}) {
            Block b;
            RecordedImage canvas(9, 5);
            if (innerFirst) {
                b.board.Place(canvas, 1, b.inner);
                b.board.Place(canvas, 4, b.right);
            } else {
                b.board.Place(canvas, 4, b.right);
                b.board.Place(canvas, 1, b.inner);
            }
            QVERIFY(b.Violation(b.inner));
            QVERIFY(b.Violation(b.right));
            QCOMPARE(HalfColours(canvas, b[b.inner]), Looks(1, kRed));
            QCOMPARE(HalfColours(canvas, b[b.right]), Looks(4, kRed));

            // Either one leaving makes the other black again.
            const int leaving = innerFirst ? b.inner : b.right;
            const int staying = innerFirst ? b.right : b.inner;
            const int stayingPiece = innerFirst ? 4 : 1;
            canvas.record.Clear();
            b.board.Remove(canvas, leaving);
            QVERIFY(!b.Violation(leaving));
            QVERIFY(!b.Violation(staying));
            QCOMPARE(HalfColours(canvas, b[staying]), Looks(stayingPiece, kBlack));
            QCOMPARE(HalfColours(canvas, b[leaving]), Looks(0, kGrey));
            QCOMPARE(FansIn(canvas.record, b[staying], kBlack), 1);
            QVERIFY(OutlineIntact(canvas, b[leaving]));
            QVERIFY(OutlineIntact(canvas, b[staying]));
        }
    }

    void redLastsAsLongAsAnyDisagreement() {
        Block b;
        RecordedImage canvas(9, 5);
        b.board.Place(canvas, 5, b.inner);    // black at the right edge's top, the lower edge's right
        b.board.Place(canvas, 64, b.right);   // disagrees on the right edge
        b.board.Place(canvas, 16, b.below);   // disagrees on the lower edge
        b.board.Place(canvas, 3, b.partner);  // agrees on the long edge
        QVERIFY(b.Violation(b.inner));
        QVERIFY(b.Violation(b.right));
        QVERIFY(b.Violation(b.below));
        QVERIFY(!b.Violation(b.partner));
        QCOMPARE(HalfColours(canvas, b[b.inner]), Looks(5, kRed));
        QCOMPARE(HalfColours(canvas, b[b.partner]), Looks(3, kBlack));

        b.board.Remove(canvas, b.right);
        QVERIFY(b.Violation(b.inner));
        QVERIFY(b.Violation(b.below));
        QCOMPARE(HalfColours(canvas, b[b.inner]), Looks(5, kRed));

        b.board.Remove(canvas, b.below);
        QVERIFY(!b.Violation(b.inner));
        QCOMPARE(HalfColours(canvas, b[b.inner]), Looks(5, kBlack));
    }

    void borderEdgesMustBeBlack() {
        Block b;
        {
            RecordedImage canvas(9, 5);
            b.board.Place(canvas, 64, b.corner);
            QVERIFY(b.Violation(b.corner));
            const auto dots = canvas.record.Only(CanvasCall::PSet);
            QCOMPARE(dots.size(), std::size_t(1));
            QCOMPARE(dots[0].from, Centroid(b[b.corner]));
            QCOMPARE(dots[0].color, kBlue);
            QCOMPARE(dots[0].width, 3);
            QCOMPARE(canvas.DrawWidth(), 1);
            QCOMPARE(canvas.image.ColorAt(Centroid(b[b.corner])), kBlue);
            QVERIFY(OutlineIntact(canvas, b[b.corner]));
            b.board.Remove(canvas, b.corner);
        }
        {
            // One black half on a border edge is not enough.
            RecordedImage canvas(9, 5);
            b.board.Place(canvas, 1 + 4 + 8, b.corner);
            QVERIFY(b.Violation(b.corner));
            QCOMPARE(HalfColours(canvas, b[b.corner]), Looks(13, kBlue));
            b.board.Remove(canvas, b.corner);
        }
        // The black piece is right on every border.
        int borderEdges = 0;
        for (int cell = 1; cell <= kCellCount; ++cell) {
            const NeighbourSlots& around = b.board.neighbours[cell];
            const int onBorder = int(std::count(around.begin(), around.end(), 0));
            if (onBorder == 0) continue;
            borderEdges += onBorder;
            RecordedImage canvas(9, 5);
            b.board.Place(canvas, 63, cell);
            QVERIFY2(!b.Violation(cell), qPrintable(QString("cell %1").arg(cell)));
            QCOMPARE(canvas.record.LinesIn(kBlue).size(), std::size_t(0));
            QCOMPARE(HalfColours(canvas, b[cell]), Looks(63, kBlack));
            b.board.Remove(canvas, cell);
        }
        QCOMPARE(borderEdges, 2 * (8 + 4));
    }

    void redBeatsBlue() {
        // The white piece on the corner is wrong on the border and disagrees
        // with the black piece across the long edge.
        for (bool whiteFirst : {false, true}) {
            Block b;
            RecordedImage canvas(9, 5);
            if (whiteFirst) {
                b.board.Place(canvas, 64, b.corner);
                canvas.record.Clear();
                b.board.Place(canvas, 63, b.cornerPartner);
            } else {
                b.board.Place(canvas, 63, b.cornerPartner);
                b.board.Place(canvas, 64, b.corner);
                QCOMPARE(canvas.record.LinesIn(kBlue).size(), std::size_t(0));
            }
            QVERIFY(b.Violation(b.corner));
            QVERIFY(b.Violation(b.cornerPartner));
            const auto dots = canvas.record.Only(CanvasCall::PSet);
            QCOMPARE(dots.back().color, kRed);
            QCOMPARE(canvas.image.ColorAt(Centroid(b[b.corner])), kRed);
            QCOMPARE(HalfColours(canvas, b[b.cornerPartner]), Looks(63, kRed));
        }
    }

    void erasingClearsEveryHalfButKeepsTheOutline() {
        Block b;
        RecordedImage canvas(9, 5);
        b.board.Place(canvas, 64, b.corner);
        QVERIFY(b.Violation(b.corner));
        canvas.record.Clear();
        b.board.Remove(canvas, b.corner);

        QVERIFY(!b.Violation(b.corner));
        QCOMPARE(FansIn(canvas.record, b[b.corner], kGrey), 6);
        const auto dots = canvas.record.Only(CanvasCall::PSet);
        QCOMPARE(dots.size(), std::size_t(1));
        QCOMPARE(dots[0].color, kGrey);
        QCOMPARE(dots[0].width, 3);
        // The outline comes last, in the foreground colour.
        const auto& calls = canvas.record.Calls();
        const Triangle& t = b[b.corner];
        QVERIFY(calls.size() >= 3);
        const std::vector<CanvasCall> outline(calls.end() - 3, calls.end());
        QCOMPARE(outline[0], (CanvasCall{CanvasCall::Line, 0, t.p1, t.p2, kBlack, 1}));
        QCOMPARE(outline[1], (CanvasCall{CanvasCall::Line, 0, t.p2, t.p3, kBlack, 1}));
        QCOMPARE(outline[2], (CanvasCall{CanvasCall::Line, 0, t.p3, t.p1, kBlack, 1}));

        QCOMPARE(canvas.image.ColorAt(Centroid(t)), kGrey);
        QVERIFY(OutlineIntact(canvas, t));
    }

    void cellsShowThePieceTurnedOntoTheirCorners() {
        // Piece 1 is black on the upper half of the right edge in the pool.
        // Each kind of cell shows the pool picture turned; where that half
        // lands, written as (corner it touches, other end of its edge):
        struct Case {
            SquareHalf cell;
            Point a, b;  // relative to the square's top left corner
        };
        const std::vector<SquareHalf> halves = MixedFigure();
        const std::vector<Case> cases{
            {{0, 1, false, 2}, {1, 0}, {1, 1}},  // rising, lower right: not turned
            {{0, 1, false, 1}, {0, 1}, {0, 0}},  // rising, upper left: half a turn
            {{1, 1, true, 1}, {0, 0}, {1, 0}},   // falling, upper right: a quarter counter-clockwise
            {{1, 1, true, 2}, {1, 1}, {0, 1}},   // falling, lower left: a quarter clockwise
        };
        BoardFixture board(CellsFrom(halves));
        for (const Case& c : cases) {
            const int cell = CellNumber(halves, c.cell);
            QVERIFY(cell != 0);
            RecordedImage canvas(9, 6);
            board.Place(canvas, 1, cell);
            const Triangle& t = board.cells[cell];
            const Point g{(t.p1.x + t.p2.x + t.p3.x) / 3, (t.p1.y + t.p2.y + t.p3.y) / 3};
            const Point origin{float(c.cell.x), float(c.cell.y)};
            const Point a{origin.x + c.a.x, origin.y + c.a.y};
            const Point b{origin.x + c.b.x, origin.y + c.b.y};
            // Black or blue, depending on the border.
            QVERIFY(canvas.image.ColorAt(Between(g, Between(a, b, 0.25f), 0.5f)) != kGrey);
            QCOMPARE(canvas.image.ColorAt(Between(g, Between(a, b, 0.75f), 0.5f)), kGrey);
            board.Remove(canvas, cell);
        }
    }

    void piecesAgreeWhenTheHalvesAtEachCornerMatch() {
        // For every pair of touching cells: the two halves of the shared edge
        // that touch the same corner must have the same colour.
        const std::vector<SquareHalf> halves = MixedFigure();
        const CellArray<Triangle> cells = CellsFrom(halves);
        const CellArray<NeighbourSlots> table = BuildNeighbourTable(cells);
        int edges = 0;
        for (int i = 1; i <= kCellCount; ++i) {
            for (int slot = 0; slot < 3; ++slot) {
                const int value = table[i][std::size_t(slot)];
                if (value == 0) continue;
                const int j = NeighbourCell(value);
                // Pairs (bit of i, bit of j) lying on the same half of the edge.
                std::vector<std::pair<int, int>> pairs;
                for (int bi = 0; bi < 6; ++bi) {
                    const HalfEdge hi = HalfEdgeOf(cells[i], bi);
                    for (int bj = 0; bj < 6; ++bj) {
                        const HalfEdge hj = HalfEdgeOf(cells[j], bj);
                        if (hi.a == hj.a && hi.b == hj.b) pairs.push_back({bi, bj});
                    }
                }
                QCOMPARE(pairs.size(), std::size_t(2));
                for (int p = 1; p <= 64; ++p) {
                    for (int q = 1; q <= 64; ++q) {
                        bool agree = true;
                        for (auto [bi, bj] : pairs) agree = agree && ((p >> bi & 1) == (q >> bj & 1));
                        if (PiecesMatch(slot, value, p, q) != agree)
                            QFAIL(qPrintable(QString("cells %1/%2 slot %3 pieces %4/%5").arg(i).arg(j).arg(slot).arg(p).arg(q)));
                    }
                }
                ++edges;
            }
        }
        QVERIFY(edges > 100);
    }
};

MURLEN_TEST(TestRules)
#include "test_rules.moc"
