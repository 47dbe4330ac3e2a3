// Random figures: each one valid as a shape file, 64 cells joined edge to edge
// inside the visible grid, its solution keeping the rules, never the shape of
// the figure before it, and the same for the same seed. The difficulty of
// figures at both ends and in the middle.
#include <QTest>

#include "model/difficulty.h"
#include "model/random_figure.h"
#include "model/solver.h"
#include "support/figures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestRandomFigure : public QObject {
    Q_OBJECT
private slots:
    void figuresAreValidSolvableAndNew() {
        for (const int gridSize : {7, 12, 24}) {
            for (std::uint64_t seed = 1; seed <= 20; ++seed) {
                const RandomFigure figure = DrawSolvableFigure(gridSize, seed);
                const QByteArray where = QByteArray::number(gridSize) + " squares, seed " + QByteArray::number(seed);
                const FigureData read = FigureOf(figure.grid);  // stops the test when it does not read back
                QVERIFY2(read.maxX <= float(gridSize) && read.maxY <= float(gridSize) && figure.grid.placedCount == kCellCount, where);
                const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(read.points);
                QVERIFY2(JoinedCells(neighbours) == kCellCount, where);
                QVERIFY2(BoardKeepsRules(neighbours, figure.solution), where);
                QVERIFY2(DrawSolvableFigure(gridSize, seed).grid == figure.grid, where);
                // The seed's own figure on the grid, even moved: the next one differs.
                QVERIFY2(!SameShape(DrawSolvableFigure(gridSize, seed, Moved(figure.grid, 1, 0)).grid, figure.grid), where);
            }
        }
        // The same shape elsewhere, or with another diagonal in an empty square.
        ShapeGrid turned = Moved(Drawn(kRising), 3, 2);
        turned.Diagonal(25, 25) = -1;
        QVERIFY(SameShape(Drawn(kRising), turned));
        turned.Diagonal(3, 2) = -1;
        QVERIFY(!SameShape(Drawn(kRising), turned));
    }

    void difficulty() {
        for (const auto& [name, level] : {std::pair{"Triangle", Difficulty::Easy}, {"Diamond", Difficulty::Medium}, {"Rectangle", Difficulty::Hard}})
            QVERIFY2(RateDifficulty(FigureOf(Shipped(name)).points).level == level, name);
    }
};

MURLEN_TEST(TestRandomFigure)
#include "test_random_figure.moc"
