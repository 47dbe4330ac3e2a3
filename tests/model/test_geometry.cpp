// Board geometry: fitting and scaling the figure, finding the cell under a
// point, and the table of touching cells.
#include <QTest>
#include <cmath>
#include <set>

#include "model/geometry.h"
#include "support/figure_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// The first `count` cells of a block of squares well away from the origin,
// leaving the rest of the 64 cells to be placed by hand.
std::vector<SquareHalf> FarCells(int count) {
    std::vector<SquareHalf> cells =
        CellsFromText({"", "", "", "", "", "", "", "", "", "", "////////", "////////", "////////", "////////"});
    cells.resize(std::size_t(count));
    return cells;
}

Triangle Shifted(Triangle t, float dx) {
    t.p1.x += dx;
    t.p2.x += dx;
    t.p3.x += dx;
    return t;
}

// The edges of a cell by slot, as pairs of corners.
std::array<std::pair<Point, Point>, 3> Edges(const Triangle& t) {
    std::array<std::pair<Point, Point>, 3> edges;
    edges[kSlotP1P2] = {t.p1, t.p2};
    edges[kSlotP2P3] = {t.p2, t.p3};
    edges[kSlotP1P3] = {t.p1, t.p3};
    return edges;
}

bool SameSegment(std::pair<Point, Point> a, std::pair<Point, Point> b) {
    return (a.first == b.first && a.second == b.second) || (a.first == b.second && a.second == b.first);
}

}  // namespace

class TestGeometry : public QObject {
    Q_OBJECT

private slots:
    void boardTakesFullWidthUnlessTooTall() {
        FigureData figure = FigureFrom(RisingBlock());  // 8 wide, 4 high
        QCOMPARE(figure.maxX - figure.minX, 8.0f);
        QCOMPARE(figure.maxY - figure.minY, 4.0f);

        // Exactly the room's proportions: the tie takes full width.
        Size tie = FitBoard(figure, 200, 100);
        QVERIFY(tie.width == 200.0f);
        QVERIFY(tie.height == 100.0f);
        // Also where going by the height would round the width differently.
        FigureData sevenByFive;
        sevenByFive.maxX = 7;
        sevenByFive.maxY = 5;
        for (int i = 100; i < 1100; ++i) {
            const float width = float(i) + 0.1f;
            const float proportional = FitBoard(sevenByFive, width, 1e9f).height;
            const Size fitted = FitBoard(sevenByFive, width, proportional);
            QVERIFY(fitted.width == width);
            QVERIFY(fitted.height == proportional);
        }

        Size wideRoom = FitBoard(figure, 300, 100);
        QVERIFY(wideRoom.width == 200.0f);
        QVERIFY(wideRoom.height == 100.0f);

        Size tallRoom = FitBoard(figure, 100, 100);
        QVERIFY(tallRoom.width == 100.0f);
        QVERIFY(tallRoom.height == 50.0f);
    }

    void figureFillsTheBoardLessOneUnitEachWay() {
        std::vector<SquareHalf> halves = RisingBlock();
        for (SquareHalf& cell : halves) {  // away from the origin
            cell.x += 3;
            cell.y += 2;
        }
        const FigureData figure = FigureFrom(halves);
        const CellArray<Triangle> board = ToBoardUnits(figure);

        float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
        for (int cell = 1; cell <= kCellCount; ++cell) {
            for (Point p : {board[cell].p1, board[cell].p2, board[cell].p3}) {
                minX = std::min(minX, p.x);
                maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y);
                maxY = std::max(maxY, p.y);
            }
        }
        QVERIFY(minX == 0.0f);
        QVERIFY(minY == 0.0f);
        QVERIFY(std::fabs(maxX - (kBoardScaleWidth - 1)) < 1e-5f);
        QVERIFY(std::fabs(maxY - (kBoardScaleHeight - 1)) < 1e-5f);

        // The corner of square (3 + 4, 2 + 1) lands half way across and a
        // quarter of the way down.
        const int cell = CellNumber(halves, {7, 3, false, 1});
        QVERIFY(std::fabs(board[cell].p1.x - (kBoardScaleWidth - 1) / 2) < 1e-5f);
        QVERIFY(std::fabs(board[cell].p1.y - (kBoardScaleHeight - 1) / 4) < 1e-5f);
    }

    void everyPointFindsTheNearestCell() {
        const std::vector<SquareHalf> halves = RisingBlock();
        const CellArray<Triangle> board = ToBoardUnits(FigureFrom(halves));

        for (int cell = 1; cell <= kCellCount; ++cell) {
            const Point g{(board[cell].p1.x + board[cell].p2.x + board[cell].p3.x) / 3,
                          (board[cell].p1.y + board[cell].p2.y + board[cell].p3.y) / 3};
            QCOMPARE(FindNearestCell(board, g.x, g.y), cell);
        }

        // Far to the right at the height of the middle of row 2: the lower
        // half (two corners on the right edge) of the last square in row 2.
        const float row2Middle = 2.5f * (kBoardScaleHeight - 1) / 4;
        QCOMPARE(FindNearestCell(board, 1000, row2Middle), CellNumber(halves, {7, 2, false, 2}));
        // In the empty strip below the figure, under square (5, 3).
        QCOMPARE(FindNearestCell(board, 5.5f * (kBoardScaleWidth - 1) / 8, kBoardScaleHeight - 0.2f),
                 CellNumber(halves, {5, 3, false, 2}));
        // Far beyond the top left corner: the upper half of square (0, 0).
        QCOMPARE(FindNearestCell(board, -1e6f, -1e6f), CellNumber(halves, {0, 0, false, 1}));
    }

    void lowestCellNumberWinsATie() {
        // The centre of a square is equally near both its halves.
        std::vector<SquareHalf> halves = RisingBlock();
        const SquareHalf upper{2, 1, false, 1};
        const SquareHalf lower{2, 1, false, 2};
        QCOMPARE(FindNearestCell(CellsFrom(halves), 2.5f, 1.5f), CellNumber(halves, upper));

        std::swap(halves[std::size_t(CellNumber(halves, upper) - 1)], halves[std::size_t(CellNumber(halves, lower) - 1)]);
        QVERIFY(CellNumber(halves, lower) < CellNumber(halves, upper));
        QCOMPARE(FindNearestCell(CellsFrom(halves), 2.5f, 1.5f), CellNumber(halves, lower));
    }

    void neighboursAreTheCellsAcrossEachEdge() {
        // Compared with the cells found by their shared corners: the slot holds
        // the cell across the edge, flagged when that cell's edge has the
        // same name; 0 on the border.
        for (const auto& halves : {RisingBlock(), MixedFigure()}) {
            const CellArray<Triangle> cells = CellsFrom(halves);
            const CellArray<NeighbourSlots> table = BuildNeighbourTable(cells);
            int borderEdges = 0;
            std::set<std::pair<int, bool>> kinds;  // (slot, flag) seen
            for (int i = 1; i <= kCellCount; ++i) {
                for (int slot = 0; slot < 3; ++slot) {
                    int expected = 0;
                    for (int j = 1; j <= kCellCount; ++j) {
                        if (j == i) continue;
                        const auto edgesOfJ = Edges(cells[j]);
                        for (int slotOfJ = 0; slotOfJ < 3; ++slotOfJ) {
                            if (SameSegment(Edges(cells[i])[std::size_t(slot)], edgesOfJ[std::size_t(slotOfJ)]))
                                expected = j + (slotOfJ == slot && slot != kSlotP2P3 ? kSameEdgeFlag : 0);
                        }
                    }
                    const int value = table[i][std::size_t(slot)];
                    QVERIFY2(value == expected,
                             qPrintable(QString("cell %1 slot %2: %3, expected %4").arg(i).arg(slot).arg(value).arg(expected)));
                    if (value == 0)
                        ++borderEdges;
                    else
                        kinds.insert({slot, SameEdge(value)});
                }
            }
            if (halves == RisingBlock()) {
                QCOMPARE(borderEdges, 2 * (8 + 4));
                // Rising squares side by side meet with edges of the same name.
                QCOMPARE(kinds, (std::set<std::pair<int, bool>>{{kSlotP1P2, true}, {kSlotP1P3, true}, {kSlotP2P3, false}}));
            } else {
                QCOMPARE(kinds.size(), std::size_t(5));
            }
        }
    }

    void flagTellsWhichShortEdgeOfTheNeighbour() {
        // Square (0, 0) rising, square (1, 0) falling, square (0, 1) rising.
        const std::vector<SquareHalf> halves = CellsFromText({"/\\......", "/\\......", "////////", "////////", "////////", "////"});
        const CellArray<NeighbourSlots> table = BuildNeighbourTable(CellsFrom(halves));
        const int lowerLeft = CellNumber(halves, {0, 0, false, 2});
        const int fallingLower = CellNumber(halves, {1, 0, true, 2});
        const int upperBelow = CellNumber(halves, {0, 1, false, 1});
        // Right-angle corners meet: the neighbour's other short edge, no flag.
        QCOMPARE(int(table[lowerLeft][kSlotP1P2]), fallingLower);
        QCOMPARE(int(table[fallingLower][kSlotP1P3]), lowerLeft);
        // Rising above rising: P1P3 against P1P3.
        QCOMPARE(int(table[lowerLeft][kSlotP1P3]), upperBelow + kSameEdgeFlag);
        QCOMPARE(int(table[upperBelow][kSlotP1P3]), lowerLeft + kSameEdgeFlag);
        QCOMPARE(NeighbourCell(table[upperBelow][kSlotP1P3]), lowerLeft);
        // The long edge pairs the two halves of a square.
        QCOMPARE(int(table[lowerLeft][kSlotP2P3]), CellNumber(halves, {0, 0, false, 1}));
    }

    void longEdgeIsBorderExactlyWhenTheSquareIsHalf() {
        const std::vector<SquareHalf> halves = MixedFigure();
        const CellArray<NeighbourSlots> table = BuildNeighbourTable(CellsFrom(halves));
        int halfSquares = 0;
        for (int i = 1; i <= kCellCount; ++i) {
            SquareHalf other = halves[std::size_t(i - 1)];
            other.half = 3 - other.half;
            const bool otherHalfThere = CellNumber(halves, other) != 0;
            halfSquares += otherHalfThere ? 0 : 1;
            QCOMPARE(table[i][kSlotP2P3] != 0, otherHalfThere);
        }
        QCOMPARE(halfSquares, 6);
    }

    void cornersHalfAUnitApartDoNotTouch() {
        std::vector<SquareHalf> halves = FarCells(62);
        halves.push_back({0, 0, false, 2});  // cell 63
        halves.push_back({1, 0, false, 1});  // cell 64, to the right of cell 63
        CellArray<Triangle> cells = CellsFrom(halves);
        QCOMPARE(int(BuildNeighbourTable(cells)[63][kSlotP1P2]), 64 + kSameEdgeFlag);

        // Two corner pairs 0.2 apart each: still the same edge.
        cells[64] = Shifted(CellTriangle(halves[63]), 0.2f);
        QCOMPARE(int(BuildNeighbourTable(cells)[63][kSlotP1P2]), 64 + kSameEdgeFlag);
        // 0.25 each, 0.5 in all: not.
        cells[64] = Shifted(CellTriangle(halves[63]), 0.25f);
        QCOMPARE(int(BuildNeighbourTable(cells)[63][kSlotP1P2]), 0);
        QCOMPARE(int(BuildNeighbourTable(cells)[64][kSlotP1P2]), 0);
    }

    void nearestCandidateWinsAndTheFirstOfEqualOnes() {
        std::vector<SquareHalf> halves = FarCells(61);
        halves.push_back({0, 0, false, 2});  // cell 62
        halves.push_back({1, 0, false, 1});  // cells 63 and 64: two candidates
        halves.push_back({1, 0, false, 1});  // across the right edge of cell 62
        CellArray<Triangle> cells = CellsFrom(halves);
        const Triangle right = cells[63];

        // Two cells in the same place: the lower number keeps the slot.
        QCOMPARE(int(BuildNeighbourTable(cells)[62][kSlotP1P2]), 63 + kSameEdgeFlag);
        // A nearer one later on takes the slot over.
        cells[63] = Shifted(right, 0.2f);
        QCOMPARE(int(BuildNeighbourTable(cells)[62][kSlotP1P2]), 64 + kSameEdgeFlag);
        // A farther one later on does not.
        cells[63] = right;
        cells[64] = Shifted(right, 0.2f);
        QCOMPARE(int(BuildNeighbourTable(cells)[62][kSlotP1P2]), 63 + kSameEdgeFlag);
    }
};

MURLEN_TEST(TestGeometry)
#include "test_geometry.moc"
