#include "model/piece.h"

namespace murlen {

namespace {

// Corners are single precision; an expression over them is evaluated in double
// and rounded once when it is stored, so that 41 * t, 41 - 41 * t and the
// centroid 82 / 3 come out as the nearest single-precision values.
float Round(double value) { return float(value); }

std::array<float, kFanLineCount> MakeFanSteps() {
    std::array<float, kFanLineCount> steps{};
    const float step = 0.025f;
    int count = 0;
    for (float t = 0; t <= 0.51f; t += step) {
        // The bound 0.51 leaves room for the rounding of the sum: the last step
        // lands within a hair of 0.5, never past 0.51.
        assert(count < kFanLineCount);
        steps[std::size_t(count++)] = t;
    }
    assert(count == kFanLineCount);
    return steps;
}

// The pool outline starts at the upper right corner: P2 -> P1 -> P3 -> P2.
void DrawPoolOutline(Canvas& canvas) {
    const Rgb fore = canvas.ForeColor();
    canvas.Line(kPoolTriangle.p2, kPoolTriangle.p1, fore);
    canvas.Line(kPoolTriangle.p1, kPoolTriangle.p3, fore);
    canvas.Line(kPoolTriangle.p3, kPoolTriangle.p2, fore);
}

// The all-white piece would be an empty triangle: it carries a thick dot.
void DrawDot(Canvas& canvas, Point at, Rgb color) {
    canvas.SetDrawWidth(3);
    canvas.PSet(at, color);
    canvas.SetDrawWidth(1);
}

}  // namespace

HalfEdge HalfEdgeOf(const Triangle& triangle, int bit) {
    switch (bit) {
        case 0: return {triangle.p2, triangle.p1};
        case 1: return {triangle.p1, triangle.p2};
        case 2: return {triangle.p1, triangle.p3};
        case 3: return {triangle.p3, triangle.p1};
        case 4: return {triangle.p3, triangle.p2};
        case 5: return {triangle.p2, triangle.p3};
    }
    assert(false && "a piece has six half-edges, bits 0..5");
    return {};
}

Point Centroid(const Triangle& triangle) {
    return {Round((double(triangle.p1.x) + triangle.p2.x + triangle.p3.x) / 3),
            Round((double(triangle.p1.y) + triangle.p2.y + triangle.p3.y) / 3)};
}

const std::array<float, kFanLineCount>& FanSteps() {
    static const std::array<float, kFanLineCount> steps = MakeFanSteps();
    return steps;
}

Point FanStart(const HalfEdge& half, float t) {
    const double s = 1.0 - double(t);
    return {Round(s * half.a.x + double(t) * half.b.x), Round(s * half.a.y + double(t) * half.b.y)};
}

void DrawFan(Canvas& canvas, const Triangle& triangle, int bit, Rgb color) {
    const HalfEdge half = HalfEdgeOf(triangle, bit);
    canvas.FillTriangle(half.a, FanStart(half, FanSteps().back()), Centroid(triangle), color);
}

void DrawPool(const std::array<Canvas*, kPieceCount>& pool) {
    for (Canvas* canvas : pool) {
        canvas->Cls();
        DrawPoolOutline(*canvas);
    }

    // Fans go bit by bit across the whole pool rather than piece by piece, so
    // all pieces fill in together.
    for (int bit = 0; bit < 6; ++bit) {
        for (int p = 1; p <= kPieceCount - 1; ++p) {
            if ((PieceCode(p) >> bit & 1) == 0) continue;
            Canvas& canvas = *pool[std::size_t(p - 1)];
            DrawFan(canvas, kPoolTriangle, bit, canvas.ForeColor());
        }
    }

    Canvas& white = *pool[std::size_t(kPieceCount - 1)];
    DrawDot(white, Centroid(kPoolTriangle), white.ForeColor());
}

void DrawPoolPiece(Canvas& canvas, int poolIndex) {
    canvas.Cls();
    DrawPoolOutline(canvas);
    const int code = PieceCode(poolIndex);
    for (int bit = 0; bit < 6; ++bit)
        if ((code >> bit & 1) != 0) DrawFan(canvas, kPoolTriangle, bit, canvas.ForeColor());
    if (code == 0) DrawDot(canvas, Centroid(kPoolTriangle), canvas.ForeColor());
}

}  // namespace murlen
