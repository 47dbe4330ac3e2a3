#include "generator/shape_editing.h"

#include <algorithm>
#include <cmath>

namespace murlen {
namespace {

constexpr int kLast = kGridSquares - 1;  // the last column and row


// Manhattan distance from a grid point to the pointer, in single precision as
// the tie on the diagonal depends on it.
float Distance(int x, int y, float mouseX, float mouseY) {
    return std::fabs(float(x) - mouseX) + std::fabs(float(y) - mouseY);
}

struct Offset {
    int dx = 0;
    int dy = 0;
};

// Where a square takes its content from when the drawing moves.
Offset SourceOffset(int direction) {
    switch (direction) {
    case kShiftLeft: return {1, 0};
    case kShiftUp: return {0, 1};
    case kShiftRight: return {-1, 0};
    case kShiftDown: return {0, -1};
    default: return {};
    }
}

// The value of the leading number of `text` as BASIC's Val reads it: blanks
// anywhere are skipped, then an optional sign, digits and an optional
// fraction; reading stops at the first other character, and no number is 0.
double LeadingNumber(const QString& text) {
    QString compact;
    for (const QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            compact += c;
    qsizetype pos = 0;
    double sign = 1;
    if (pos < compact.size() && (compact[pos] == QLatin1Char('+') || compact[pos] == QLatin1Char('-'))) {
        if (compact[pos] == QLatin1Char('-')) sign = -1;
        ++pos;
    }
    double value = 0;
    for (; pos < compact.size() && compact[pos] >= QLatin1Char('0') && compact[pos] <= QLatin1Char('9'); ++pos)
        value = value * 10 + compact[pos].digitValue();
    if (pos < compact.size() && compact[pos] == QLatin1Char('.')) {
        double scale = 0.1;
        for (++pos; pos < compact.size() && compact[pos] >= QLatin1Char('0') && compact[pos] <= QLatin1Char('9');
             ++pos, scale /= 10)
            value += scale * compact[pos].digitValue();
    }
    return sign * value;
}

}  // namespace

CellCorners CornersOf(int x, int y, bool falling, int half) {
    const float left = float(x), right = float(x + 1), top = float(y), bottom = float(y + 1);
    if (!falling && half == 1) return {{left, bottom}, {left, top}, {right, top}};
    if (!falling) return {{right, top}, {right, bottom}, {left, bottom}};
    if (half == 1) return {{left, top}, {right, top}, {right, bottom}};
    return {{right, bottom}, {left, bottom}, {left, top}};
}

void DrawShapeCell(Canvas& canvas, const ShapeGrid& grid, int x, int y, int half) {
    const Rgb fill = grid.Placed(x, y, half) ? canvas.ForeColor() : canvas.BackColor();
    const auto [a, b, c] = CornersOf(x, y, grid.Falling(x, y), half);

    // The cell is a solid triangle. A fan of 78 lines from its edges to its
    // centre would cover the same area, but leaves gaps between the lines at
    // most sizes and takes twenty times as long, which a redraw of the
    // largest grid cannot afford.
    canvas.FillTriangle(a, b, c, fill);

    const Rgb outline = canvas.ForeColor();
    canvas.Line(b, a, outline);
    canvas.Line(a, c, outline);
    canvas.Line(c, b, outline);
}

int HalfUnderPointer(const ShapeGrid& grid, int x, int y, float mouseX, float mouseY) {
    if (grid.Falling(x, y))
        return Distance(x + 1, y, mouseX, mouseY) <= Distance(x, y + 1, mouseX, mouseY) ? 1 : 2;
    return Distance(x + 1, y + 1, mouseX, mouseY) <= Distance(x, y, mouseX, mouseY) ? 2 : 1;
}

bool CanShift(const ShapeGrid& grid, int direction) {
    const Offset offset = SourceOffset(direction);
    if (offset.dx == 0 && offset.dy == 0) return false;  // no such direction
    for (int i = 0; i <= kLast; ++i) {
        // The i-th square of the edge line that the move would push off.
        const int x = direction == kShiftLeft ? 0 : direction == kShiftRight ? kLast : i;
        const int y = direction == kShiftUp ? 0 : direction == kShiftDown ? kLast : i;
        if (grid.Placed(x, y, 1) || grid.Placed(x, y, 2)) return false;
    }
    return true;
}

void ShiftGrid(ShapeGrid& grid, int direction) {
    const Offset offset = SourceOffset(direction);
    // Squares are visited against the direction of the move, so that every
    // source square is read before it is overwritten.
    const bool xDown = direction == kShiftRight;
    const bool yDown = direction == kShiftDown;
    for (int i = 0; i <= kLast; ++i) {
        const int x = xDown ? kLast - i : i;
        for (int j = 0; j <= kLast; ++j) {
            const int y = yDown ? kLast - j : j;
            const int fromX = x + offset.dx;
            const int fromY = y + offset.dy;
            if (fromX < 0 || fromX > kLast || fromY < 0 || fromY > kLast) {
                grid.Cell(x, y, 1) = 0;
                grid.Cell(x, y, 2) = 0;
                grid.Diagonal(x, y) = 0;
            } else {
                grid.Cell(x, y, 1) = grid.Cell(fromX, fromY, 1);
                grid.Cell(x, y, 2) = grid.Cell(fromX, fromY, 2);
                grid.Diagonal(x, y) = grid.Diagonal(fromX, fromY);
            }
        }
    }
}

GridSizeAnswer ReadGridSize(const QString& answer) {
    const QString head = answer.left(2);
    // The nearest 16-bit integer, rounding halves to even.
    const double nearest = std::clamp(std::nearbyint(LeadingNumber(head)), -32768.0, 32767.0);
    const int number = int(nearest);
    // Only a plain decimal number reads back as the same text.
    if (QString::number(number) != head) return {GridSizeVerdict::NotANaturalNumber, 0};
    if (number < kSmallestGrid || number > kLargestGrid) return {GridSizeVerdict::OutOfRange, 0};
    return {GridSizeVerdict::Accepted, number};
}

}  // namespace murlen
