// The piece set: the half-edge fans, the pool pictures and the order in which
// DrawPool draws them.
#include <QTest>
#include <cmath>
#include <memory>

#include "model/piece.h"
#include "support/image_canvas_for_tests.h"
#include "support/recording_canvas.h"
#include "support/test_registry.h"

using namespace murlen;
using murlen::testing::CanvasCall;
using murlen::testing::ImageCanvasForTests;
using murlen::testing::RecordingCanvas;

namespace {

constexpr Rgb kGrey = 0xC0C0C0;
// The pool centroid: the single-precision value nearest 82 / 3.
constexpr Point kPoolCentroid{27.333334f, 27.333334f};

bool Near(Point a, Point b, float tolerance = 1e-4f) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance;
}

// The fan steps counted out as the pool drawing describes them.
std::vector<float> PoolSteps() {
    std::vector<float> steps;
    for (float t = 0; t <= 0.51f; t += 0.025f) steps.push_back(t);
    return steps;
}

// Where the fan line of `bit` starts at step t, written out in pool units.
Point PoolStart(int bit, float t) {
    switch (bit) {
        case 0: return {41, 41 * t};
        case 1: return {41, 41 - 41 * t};
        case 2: return {41 - 41 * t, 41};
        case 3: return {41 * t, 41};
        case 4: return {41 * t, 41 - 41 * t};
        case 5: return {41 - 41 * t, 41 * t};
    }
    return {};
}

// A point well inside the little triangle that the fan of `bit` fills: halfway
// from the centroid to the middle of the half-edge.
Point InsidePoolHalf(int bit) {
    const Point middle = PoolStart(bit, 0.25f);
    return {(middle.x + kPoolCentroid.x) / 2, (middle.y + kPoolCentroid.y) / 2};
}

struct Pool {
    std::vector<CanvasCall> log;  // every call on every surface, in order
    std::vector<std::unique_ptr<RecordingCanvas>> canvases;
    std::array<Canvas*, kPieceCount> surfaces{};

    Pool() {
        for (int p = 1; p <= kPieceCount; ++p) {
            canvases.push_back(std::make_unique<RecordingCanvas>(kGrey, p, &log));
            surfaces[std::size_t(p - 1)] = canvases.back().get();
        }
    }
    const RecordingCanvas& Piece(int p) const { return *canvases[std::size_t(p - 1)]; }
};

bool SameCall(const CanvasCall& a, const CanvasCall& b) {
    return a.kind == b.kind && a.canvas == b.canvas && a.color == b.color && a.width == b.width &&
           Near(a.from, b.from) && Near(a.to, b.to);
}

CanvasCall LineCall(int canvas, Point from, Point to) {
    return {CanvasCall::Line, canvas, from, to, kBlack, 1};
}

}  // namespace

class TestPieces : public QObject {
    Q_OBJECT

private slots:
    void fanRunsInTwentyOneLinesFromTheCornerToTheMidpoint() {
        const auto& steps = FanSteps();
        QCOMPARE(steps.size(), std::size_t(21));
        QVERIFY(steps.front() == 0.0f);
        for (std::size_t i = 1; i < steps.size(); ++i)
            QVERIFY(std::fabs(steps[i] - steps[i - 1] - 0.025f) < 1e-6f);
        QVERIFY(std::fabs(steps.back() - 0.5f) < 1e-6f);
        QVERIFY(steps.back() + 0.025f > 0.51f);

        // A cell of the board: every fan starts at its corner, ends at the
        // centroid and has its last line start at the edge's midpoint.
        const Triangle cell{{3.5f, 2.25f}, {3.5f, 1.0f}, {2.25f, 2.25f}};
        const Point centroid{(3.5f + 3.5f + 2.25f) / 3, (2.25f + 1.0f + 2.25f) / 3};
        for (int bit = 0; bit < 6; ++bit) {
            RecordingCanvas canvas;
            DrawFan(canvas, cell, bit, kRed);
            const auto fills = canvas.Only(CanvasCall::Fill);
            QCOMPARE(fills.size(), std::size_t(1));
            QCOMPARE(fills[0].from, HalfEdgeOf(cell, bit).a);
            QVERIFY(Near(fills[0].to, centroid, 1e-6f));
            QCOMPARE(fills[0].color, kRed);
        }
    }

    void halfEdgesRunAroundThePoolPiece() {
        QCOMPARE(Centroid(kPoolTriangle), kPoolCentroid);
        for (int bit = 0; bit < 6; ++bit) {
            const HalfEdge half = HalfEdgeOf(kPoolTriangle, bit);
            for (float t : PoolSteps())
                QVERIFY2(Near(FanStart(half, t), PoolStart(bit, t)),
                         qPrintable(QString("bit %1 t %2").arg(bit).arg(double(t))));
        }
    }

    void drawPoolClearsAllThenFansStepByStepThenTheDot() {
        Pool pool;
        DrawPool(pool.surfaces);

        std::vector<CanvasCall> expected;
        const Point p1{41, 41}, p2{41, 0}, p3{0, 41};
        for (int p = 1; p <= 64; ++p) {
            expected.push_back({CanvasCall::Cls, p, {}, {}, kGrey, 1});
            expected.push_back(LineCall(p, p2, p1));
            expected.push_back(LineCall(p, p1, p3));
            expected.push_back(LineCall(p, p3, p2));
        }
        for (int bit = 0; bit < 6; ++bit)
            for (int p = 1; p <= 63; ++p)
                if (p & (1 << bit))
                    expected.push_back({CanvasCall::Fill, p, HalfEdgeOf(kPoolTriangle, bit).a, kPoolCentroid, kBlack, 1});
        expected.push_back({CanvasCall::DrawWidth, 64, {}, {}, 0, 3});
        expected.push_back({CanvasCall::PSet, 64, kPoolCentroid, kPoolCentroid, kBlack, 3});
        expected.push_back({CanvasCall::DrawWidth, 64, {}, {}, 0, 1});

        QCOMPARE(pool.log.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(SameCall(pool.log[i], expected[i]),
                     qPrintable(QString("call %1: got %2, expected %3")
                                    .arg(i)
                                    .arg(testing::ToText(pool.log[i]), testing::ToText(expected[i]))));
    }

    void whitePieceIsAnOutlineWithAThickDot() {
        Pool pool;
        DrawPool(pool.surfaces);
        const RecordingCanvas& white = pool.Piece(64);
        QCOMPARE(white.Lines().size(), std::size_t(3));
        const auto dots = white.Only(CanvasCall::PSet);
        QCOMPARE(dots.size(), std::size_t(1));
        QCOMPARE(dots[0].from, kPoolCentroid);
        QCOMPARE(dots[0].width, 3);
        QCOMPARE(dots[0].color, kBlack);
        QCOMPARE(white.DrawWidth(), 1);

        ImageCanvasForTests image(42, 42, 1.0, kGrey);
        DrawPoolPiece(image, 64);
        QCOMPARE(image.ColorAt(kPoolCentroid), kBlack);
        for (int bit = 0; bit < 6; ++bit) QCOMPARE(image.ColorAt(InsidePoolHalf(bit)), kGrey);
    }

    void blackPieceHasAllSixFans() {
        Pool pool;
        DrawPool(pool.surfaces);
        QVERIFY(pool.Piece(63).Only(CanvasCall::PSet).empty());

        ImageCanvasForTests image(42, 42, 1.0, kGrey);
        DrawPoolPiece(image, 63);
        for (int bit = 0; bit < 6; ++bit) QCOMPARE(image.ColorAt(InsidePoolHalf(bit)), kBlack);
        QCOMPARE(image.ColorAt(kPoolCentroid), kBlack);
        QCOMPARE(image.ColorAt({10, 10}), kGrey);  // outside the triangle
    }

    void piecesOneAndTwoHaveOneHalfOfTheRightEdge() {
        Pool pool;
        DrawPool(pool.surfaces);
        for (int p : {1, 2}) {
            ImageCanvasForTests image(42, 42, 1.0, kGrey);
            DrawPoolPiece(image, p);
            for (int bit = 0; bit < 6; ++bit)
                QCOMPARE(image.ColorAt(InsidePoolHalf(bit)), bit == p - 1 ? kBlack : kGrey);
        }
    }

    void pieceIconIsDrawnAsInThePool() {
        Pool pool;
        DrawPool(pool.surfaces);
        for (int p = 1; p <= 64; ++p) {
            RecordingCanvas icon(kGrey, p);
            DrawPoolPiece(icon, p);
            QVERIFY2(icon.Calls() == pool.Piece(p).Calls(), qPrintable(QString("piece %1").arg(p)));
        }
    }
};

MURLEN_TEST(TestPieces)
#include "test_pieces.moc"
