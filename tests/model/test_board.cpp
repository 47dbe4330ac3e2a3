// The board: the rules on random boards against a plain reading of them, the
// pool pictures, fitting the figure to the board, the cell under a point, when
// corners touch, and the figure files that ship.
//
// The plain reading: a half-edge is known by the corner it touches and the far
// end of its edge, in figure units. Halves on the same stretch of an edge must
// agree; a half that shares its stretch with no other cell is on the border
// and must be black.
#include <QTest>
#include <algorithm>
#include <bit>
#include <climits>
#include <map>
#include <numeric>
#include <random>

#include "files/file_bytes.h"
#include "model/piece.h"
#include "model/rules.h"
#include "model/solver.h"
#include "support/figures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

constexpr Rgb kBack = 0xC0C0C0;

// Half k: the corner it touches, then the far end of its edge. The bits run
// around the piece from P2 through P1 and P3 back to P2.
std::pair<Point, Point> Half(const Triangle& t, int k) {
    const Point a[] = {t.p2, t.p1, t.p1, t.p3, t.p3, t.p2}, b[] = {t.p1, t.p2, t.p3, t.p1, t.p2, t.p3};
    return {a[k], b[k]};
}
Point Mean(Point a, Point b, Point c) { return {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3}; }

// A point of half k (the triangle of its corner, its edge's midpoint and the
// centroid) halfway to the centroid, where the marks of broken rules never
// reach; for k = -1 the centroid, where the dot of the white piece goes.
Point Spot(const Triangle& t, int k) {
    const auto [a, b] = Half(t, std::max(k, 0));
    const Point g = Mean(t.p1, t.p2, t.p3), inHalf = Mean(a, {(a.x + b.x) / 2, (a.y + b.y) / 2}, g);
    return k < 0 ? g : Point{(inHalf.x + g.x) / 2, (inHalf.y + g.y) / 2};
}

// Remembers the colour last painted at the spots of the triangles it watches.
// A dot drawn thin counts as no colour of the game's.
class Recorder : public Canvas {
public:
    explicit Recorder(const std::vector<Triangle>& watched) {
        for (const Triangle& t : watched)
            for (int k = -1; k < 6; ++k) painted[Key(Spot(t, k))] = kBack;
    }
    Rgb At(const Triangle& t, int k) const { return painted.at(Key(Spot(t, k))); }
    void Cls() override {
        for (auto& [key, color] : painted) color = kBack;
    }
    void Line(Point, Point, Rgb color) override { strayLine |= color != kBlack && width == 1; }  // wider: a mark
    void PSet(Point at, Rgb color) override {
        if (painted.contains(Key(at))) painted[Key(at)] = width == 3 ? color : kRed + 1;
    }
    // Paints the spots well inside the triangle.
    void FillTriangle(Point a, Point b, Point c, Rgb color) override {
        const auto side = [](Point p, Point q, double x, double y) {
            return ((q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x)) / std::hypot(q.x - p.x, q.y - p.y);
        };
        const auto [left, right] = std::minmax({a.x, b.x, c.x});
        for (auto it = painted.lower_bound({std::lround(left * 300), LONG_MIN}); it != painted.end(); ++it) {
            auto& [key, spot] = *it;
            const double x = key.first / 300.0, y = key.second / 300.0;
            if (x > right) break;
            const double ab = side(a, b, x, y), bc = side(b, c, x, y), ca = side(c, a, x, y);
            if (std::min({ab, bc, ca}) > 0.01 || std::max({ab, bc, ca}) < -0.01) spot = color;
        }
    }
    void SetDrawWidth(int pixels) override { width = pixels; }
    int DrawWidth() const override { return width; }
    Rgb ForeColor() const override { return kBlack; }
    Rgb BackColor() const override { return kBack; }
    static std::pair<long, long> Key(Point p) { return {std::lround(p.x * 300), std::lround(p.y * 300)}; }
    std::map<std::pair<long, long>, Rgb> painted;
    bool strayLine = false;  // an outline not in the foreground colour
    int width = 1;
};

// Each cell as a letter, as drawn: '.' empty, 'k' black, 'r' red, 'b' blue;
// '?' when its black halves are not all in one colour, a clear one is not
// blank or an outline was drawn in another colour than the foreground, '!'
// when the violation flag does not match the colour.
QString Seen(const Recorder& canvas, const CellArray<Triangle>& cells, const BoardState& state) {
    QString seen;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const int piece = state.pieces[cell];
        const Rgb color = piece == 0 ? kBack : canvas.At(cells[cell], piece == 64 ? -1 : std::countr_zero(unsigned(piece)));
        bool tidy = canvas.At(cells[cell], -1) == (piece == 64 ? color : kBack);
        for (int k = 0; k < 6; ++k) tidy &= canvas.At(cells[cell], k) == ((piece >> k & 1) ? color : kBack);
        const char letter = piece == 0 ? '.' : color == kBlack ? 'k' : color == kRed ? 'r' : color == kBlue ? 'b' : '?';
        seen += !tidy || canvas.strayLine ? '?' : state.violation[cell] != (letter == 'r' || letter == 'b') ? '!' : letter;
    }
    return seen;
}

// The same from the halves alone: a half that meets a placed piece's half of
// another colour makes both red, a white half on the border makes a cell blue.
using Partners = std::map<std::pair<int, int>, std::pair<int, int>>;  // (cell, bit) -> the same half of another cell
QString Ruled(const Partners& partners, const BoardState& state) {
    QString ruled;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const int piece = state.pieces[cell];
        bool red = false, blue = false;
        for (int k = 0; k < 6; ++k) {
            const auto other = partners.find({cell, k});
            if (other == partners.end()) blue |= !(piece >> k & 1);
            else if (const int q = state.pieces[other->second.first]; q != 0)
                red |= (piece >> k & 1) != (q >> other->second.second & 1);
        }
        ruled += piece == 0 ? '.' : red ? 'r' : blue ? 'b' : 'k';
    }
    return ruled;
}

// 64 halves of squares scattered over 7 x 7 squares with random diagonals.
ShapeGrid RandomGrid(std::mt19937& rng) {
    ShapeGrid grid;
    while (grid.placedCount < kCellCount) {
        const int x = int(rng() % 7), y = int(rng() % 7), half = 1 + int(rng() % 2);
        if (grid.Placed(x, y, half)) continue;
        if (!grid.Placed(x, y, 3 - half)) grid.Diagonal(x, y) = std::int16_t(-int(rng() % 2));
        grid.Cell(x, y, half) = -1;
        ++grid.placedCount;
    }
    return grid;
}

}  // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void randomBoardsShowWhatTheRulesSay() {
        std::mt19937 rng(15);  // fixed, so that a failure comes back
        std::vector<ShapeGrid> grids;
        for (const tools::ShippedFigure& figure : tools::ShippedFigures()) grids.push_back(Drawn(figure.drawing));
        for (int i = 0; i < 4; ++i) grids.push_back(RandomGrid(rng));
        for (std::size_t g = 0; g < grids.size() && !QTest::currentTestFailed(); ++g) {
            const CellArray<Triangle> cells = FigureOf(grids[g]).points;
            const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(cells);
            Partners partners;
            for (int i = 1; i <= kCellCount; ++i)
                for (int j = 1; j <= kCellCount; ++j)
                    for (int k = 0; k < 36; ++k)
                        if (i != j && Half(cells[i], k / 6) == Half(cells[j], k % 6)) partners[{i, k / 6}] = {j, k % 6};
            const auto solution = g < tools::ShippedFigures().size() ? KnownSolution(cells) : std::nullopt;
            QVERIFY(solution || g >= tools::ShippedFigures().size());
            BoardState state;
            Recorder canvas(std::vector<Triangle>(&cells[1], &cells[1] + kCellCount));
            auto step = [&](int piece, int cell, DrawMode mode) {
                state.pieces[cell] = std::int16_t(mode == DrawMode::Erase ? 0 : piece);
                DrawBoardCell(canvas, {cells, neighbours, state}, piece, cell, mode);
                QCOMPARE(Seen(canvas, cells, state), Ruled(partners, state));
            };
            // A solution, a solution with two pieces swapped, the pieces in any order.
            for (int round = 0; round < 6 && !QTest::currentTestFailed(); ++round) {
                std::vector<std::int16_t> order(kCellCount);
                std::iota(order.begin(), order.end(), 1);
                std::shuffle(order.begin(), order.end(), rng);
                auto target = solution && round % 3 != 2 ? decltype(order)(&(*solution)[1], &(*solution)[1] + 64) : order;
                if (round % 3 == 1) std::swap(target[rng() % 64], target[rng() % 64]);
                // Filled in random order, some pieces taken off again on the way.
                for (int filled = 0, removals = 0; filled < kCellCount && !QTest::currentTestFailed();) {
                    const int cell = 1 + int(rng() % 64), piece = state.pieces[cell];
                    if (piece == 0) step(target[std::size_t(cell - 1)], cell, DrawMode::Check), ++filled;
                    else if (removals < 24 && rng() % 4 == 0) step(piece, cell, DrawMode::Erase), --filled, ++removals;
                }
                const QString ruled = Ruled(partners, state);
                QCOMPARE(BoardKeepsRules(neighbours, state.pieces), !ruled.contains('r') && !ruled.contains('b'));
                for (int cell : order) step(state.pieces[cell], cell, DrawMode::Erase);
            }
        }
    }

    void poolShowsEachPieceByItsBits() {
        const Triangle pool{{41, 41}, {41, 0}, {0, 41}};  // P1 lower right, P2 upper right
        std::vector<Recorder> surfaces(kPieceCount, Recorder({pool}));
        std::array<Canvas*, kPieceCount> canvases{};
        for (std::size_t i = 0; i < canvases.size(); ++i)
            canvases[i] = &surfaces[i], surfaces[i].painted[Recorder::Key(Spot(pool, 0))] = kRed;  // to be cleared
        DrawPool(canvases);
        for (int p = 1; p <= kPieceCount; ++p) {
            Recorder icon({pool});
            DrawPoolPiece(icon, p);
            for (const Recorder* drawn : {&surfaces[std::size_t(p - 1)], &icon})
                for (int k = -1; k < 6; ++k)
                    QVERIFY2(drawn->At(pool, k) == ((k < 0 ? p == 64 : p >> k & 1) ? kBlack : kBack) && !drawn->strayLine,
                             qPrintable(QString("piece %1 half %2").arg(p).arg(k)));
        }
    }

    void boardKeepsTheFigureProportions() {
        FigureData figure;  // 8 x 4 units, away from the origin
        figure.minX = 3, figure.maxX = 11, figure.minY = 2, figure.maxY = 6;
        // room width and height, board width and height
        for (const auto& [w, h, width, height] : std::vector<std::array<float, 4>>{
                 {200, 100, 200, 100}, {300, 100, 200, 100}, {100, 100, 100, 50}, {200, 99, 198, 99}})
            QCOMPARE(QList<float>({FitBoard(figure, w, h).width, FitBoard(figure, w, h).height}), QList<float>({width, height}));
        // A room of exactly the figure's proportions takes full width, however the height rounds.
        figure.maxX = 10, figure.maxY = 7;
        for (float w = 100.1f; w < 1100; w += 1) QVERIFY(FitBoard(figure, w, FitBoard(figure, w, 1e9f).height).width == w);
        // In board units the figure spans the board less one unit each way.
        // Cell 1 has the figure's top left corner, 15 its rightmost, 64 its lowest.
        const CellArray<Triangle> board = ToBoardUnits(FigureOf(Moved(Shipped("Triangle"), 3, 2)));
        QCOMPARE(QList<float>({board[1].p1.x, board[1].p1.y, board[15].p3.x, board[64].p2.y}),
                 QList<float>({0, 0, kBoardScaleWidth - 1, kBoardScaleHeight - 1}));
    }

    void everyPointHasANearestCell() {
        const CellArray<Triangle> cells = FigureOf(Shipped("Triangle")).points;
        for (int cell = 1; cell <= kCellCount; ++cell)
            QCOMPARE(FindNearestCell(cells, Spot(cells[cell], -1).x, Spot(cells[cell], -1).y), cell);
        QCOMPARE(FindNearestCell(cells, 0.5f, 0.5f), 1);  // both halves of square (0, 0) as near: the lower number
        QCOMPARE(FindNearestCell(cells, -1e6f, -1e6f), 1);
        QCOMPARE(FindNearestCell(cells, 1e6f, 0.5f), 15);  // the upper half at the end of row 0
    }

    void cornersTouchWhenLessThanHalfAUnitApart() {
        CellArray<Triangle> cells = FigureOf(Shipped("Triangle")).points;
        QCOMPARE(BuildNeighbourTable(cells)[1], (NeighbourSlots{0, 2, 0}));  // two edges on the border
        for (float shift : {0.2f, 0.05f}) {  // 0.4, then 0.5 summed over two corner pairs
            for (Point* p : {&cells[2].p1, &cells[2].p2, &cells[2].p3}) p->x += shift;
            QCOMPARE(BuildNeighbourTable(cells)[1], (NeighbourSlots{0, std::int16_t(shift < 0.1f ? 0 : 2), 0}));
        }
    }

    void shippedFilesAreWhatTheTableGives() {
        const auto bytes = [](const std::string& name) {
            return *ReadFileBytes(std::filesystem::path(MURLEN_SOURCE_DIR) / "resources/figures" / name).value;
        };
        QCOMPARE(std::string(tools::ShippedFigures().front().name), std::string("Triangle"));
        QCOMPARE(bytes("Figures.dat"), tools::ShippedFigureListText());
        for (const tools::ShippedFigure& figure : tools::ShippedFigures())
            QVERIFY2(bytes(figure.name + std::string(".dat")) == ShapeFileText(Drawn(figure.drawing)), figure.name);
    }
};

MURLEN_TEST(TestBoard)
#include "test_board.moc"
