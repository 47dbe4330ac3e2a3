// The picture on the certificate: the page's scale, the figure's outlines and
// the placed pieces as black and white fans, and the order of a copy.
#include <QTest>

#include "app/strings.h"
#include "print/certificate_fixtures.h"
#include "support/figure_fixtures.h"
#include "support/recording_printer.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// The corners of every line end, to see which square the figure covers.
struct Bounds {
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    void Take(Point p) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
};

Bounds BoundsOf(const std::vector<PrintedLine>& lines) {
    Bounds bounds;
    for (const PrintedLine& line : lines) {
        bounds.Take(line.from);
        bounds.Take(line.to);
    }
    return bounds;
}

Triangle Moved(const Triangle& t, float dx, float dy) {
    return {{t.p1.x + dx, t.p1.y + dy}, {t.p2.x + dx, t.p2.y + dy}, {t.p3.x + dx, t.p3.y + dy}};
}

// A block of 4 x 8 squares standing upright: the wide block turned.
FigureData TallBlock() {
    return FigureFrom(CellsFromText({"////", "////", "////", "////", "////", "////", "////", "////"}));
}

}  // namespace

class TestCertificateDrawing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ForceLanguage(Language::English); }
    void cleanupTestCase() { ForceLanguage(std::nullopt); }

    void thePageScaleFollowsTheSheet_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("portrait");
        QTest::newRow("A4 portrait") << 11906 << 16838 << true;
        QTest::newRow("A4 landscape") << 16838 << 11906 << false;
        QTest::newRow("Letter portrait") << 12240 << 15840 << true;
        QTest::newRow("Letter landscape") << 15840 << 12240 << false;
    }
    void thePageScaleFollowsTheSheet() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, portrait);
        const FigureData triangle = FigureOf(TriangleGrid());
        const BoardState board = EmptyBoard();
        RecordingPrinter printer;
        printer.width = width;
        printer.height = height;
        DrawCertificate(printer, GameOf(triangle, board, 64), portrait);

        const double e = 8;
        const double across = portrait ? 1.2 * e : 1.2 * e * width / height;
        const double down = portrait ? 1.2 * e * height / width : 1.2 * e;
        QCOMPARE(printer.ScaleWidth(), float(across));
        QCOMPARE(printer.ScaleHeight(), float(down));
        // A margin of a twelfth of either axis, 0.1 E on the figure's long side.
        QCOMPARE(printer.ScaleLeft(), float(-across / 12));
        QCOMPARE(printer.ScaleTop(), float(-down / 12));
        QCOMPARE(portrait ? printer.ScaleLeft() : printer.ScaleTop(), float(-0.1 * e));
        // The axes keep the sheet's proportions, so the figure keeps its shape.
        QCOMPARE(printer.ScaleWidth() / printer.ScaleHeight(), float(width) / float(height));
    }

    void tallAndWideFiguresFillTheSameSquare() {
        const FigureData wide = FigureOf(RectangleGrid(false));
        const FigureData tall = TallBlock();
        const BoardState board = EmptyBoard();
        for (bool portrait : {true, false}) {
            RecordingPrinter forWide;
            RecordingPrinter forTall;
            if (!portrait) {
                std::swap(forWide.width, forWide.height);
                std::swap(forTall.width, forTall.height);
            }
            DrawCertificate(forWide, GameOf(wide, board, 64), portrait);
            DrawCertificate(forTall, GameOf(tall, board, 64), portrait);

            QCOMPARE(forTall.ScaleWidth(), forWide.ScaleWidth());
            QCOMPARE(forTall.ScaleHeight(), forWide.ScaleHeight());
            QCOMPARE(forWide.ScaleWidth(), float(portrait ? 9.6 : 9.6 * 16838 / 11906));

            const Bounds w = BoundsOf(forWide.lines);
            const Bounds t = BoundsOf(forTall.lines);
            QCOMPARE(w.maxX - w.minX, 8.0f);
            QCOMPARE(w.maxY - w.minY, 4.0f);
            QCOMPARE(t.maxX - t.minX, 4.0f);
            QCOMPARE(t.maxY - t.minY, 8.0f);
        }
    }

    void anEmptyBoardGetsTheOutlinesOnly() {
        const FigureData figure = FigureOf(TriangleGrid(2, 1));
        const BoardState board = EmptyBoard();
        RecordingPrinter printer;
        DrawCertificate(printer, GameOf(figure, board, 64), true);

        QCOMPARE(printer.lines.size(), std::size_t(3 * kCellCount));
        QCOMPARE(printer.LinesIn(kBlack).size(), printer.lines.size());
        for (int cell = 1; cell <= kCellCount; ++cell) {
            const Triangle t = Moved(figure.points[cell], -2, -1);
            const PrintedLine* outline = &printer.lines[std::size_t(3 * (cell - 1))];
            QCOMPARE(outline[0].from, t.p1);
            QCOMPARE(outline[0].to, t.p2);
            QCOMPARE(outline[1].from, t.p2);
            QCOMPARE(outline[1].to, t.p3);
            QCOMPARE(outline[2].from, t.p3);
            QCOMPARE(outline[2].to, t.p1);
        }
    }

    void placedPiecesAreFansOfBlackAndWhite() {
        const FigureData figure = FigureOf(TriangleGrid(2, 1));
        CellArray<std::int16_t> pieces;
        pieces.Fill(0);
        pieces[5] = 64;  // code 0: all white, and no dot
        pieces[9] = 63;  // all black
        pieces[40] = 1;  // only the half of P1P2 at P2
        pieces[41] = 34; // bits 1 and 5
        const BoardState board = LaidBoard(figure, pieces);
        RecordingPrinter printer;
        DrawCertificate(printer, GameOf(figure, board, 60), true);

        QVERIFY(!printer.events.contains("PSet"));
        const std::size_t fansPerPiece = 6 * kFanLineCount;
        QCOMPARE(printer.lines.size(), 3 * kCellCount + 4 * fansPerPiece);

        // After the outlines, cell by cell, bit by bit, 21 lines to the centroid.
        std::size_t at = 3 * kCellCount;
        for (int cell : {5, 9, 40, 41}) {
            const Triangle t = Moved(figure.points[cell], -2, -1);
            const int code = pieces[cell] % 64;
            for (int bit = 0; bit < 6; ++bit) {
                const Rgb expected = (code >> bit) & 1 ? kBlack : kWhite;
                for (float step : FanSteps()) {
                    const PrintedLine& line = printer.lines[at++];
                    QCOMPARE(line.from, FanStart(HalfEdgeOf(t, bit), step));
                    QCOMPARE(line.to, Centroid(t));
                    QCOMPARE(line.color, expected);
                }
            }
        }
    }

    void aCopyIsScaleHeadingTextOutlinesPieces() {
        const FigureData figure = FigureOf(TriangleGrid());
        const BoardState solved = SolvedBoard(figure);
        RecordingPrinter printer;
        DrawCertificate(printer, GameOf(figure, solved, 0, 12), false);

        QCOMPARE(printer.EventSteps(), QStringList({"SetScale", "Print", "Line"}));
        QCOMPARE(printer.lines.size(), std::size_t(3 * kCellCount + kCellCount * 6 * kFanLineCount));
        // The outlines come first: all black, and the white fans over them.
        for (std::size_t i = 0; i < std::size_t(3 * kCellCount); ++i) QCOMPARE(printer.lines[i].color, kBlack);
        QVERIFY(!printer.LinesIn(kWhite).empty());
    }
};

MURLEN_TEST(TestCertificateDrawing)
#include "test_certificate_drawing.moc"
