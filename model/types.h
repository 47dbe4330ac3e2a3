// Basic value types shared by the whole puzzle: points, triangles, colours and
// the 1-based arrays that hold one entry per board cell or per piece.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>

namespace murlen {

constexpr int kCellCount = 64;   // cells of every figure, numbered 1..64
constexpr int kPieceCount = 64;  // pool pieces, numbered 1..64

// A point in some surface's user scale. Single precision on purpose: the
// geometry is defined in single precision so that ties and rounding come out
// the same everywhere.
struct Point {
    float x = 0;
    float y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A triangle cell or piece: P1 is the right-angle corner, and P2 -> P1 -> P3
// runs clockwise on the screen (y grows downward).
struct Triangle {
    Point p1;
    Point p2;
    Point p3;
    friend bool operator==(const Triangle&, const Triangle&) = default;
};

// 24-bit colour, 0xRRGGBB.
using Rgb = std::uint32_t;
constexpr Rgb MakeRgb(int red, int green, int blue) {
    return (Rgb(red & 0xFF) << 16) | (Rgb(green & 0xFF) << 8) | Rgb(blue & 0xFF);
}
constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kRed = 0xFF0000;
constexpr Rgb kBlue = 0x0000FF;

// An array indexed 1..64, as cells and pieces are numbered.
template <class T>
class CellArray {
public:
    T& operator[](int index) {
        assert(index >= 1 && index <= kCellCount);
        return items_[std::size_t(index - 1)];
    }
    const T& operator[](int index) const {
        assert(index >= 1 && index <= kCellCount);
        return items_[std::size_t(index - 1)];
    }
    void Fill(const T& value) { items_.fill(value); }
    friend bool operator==(const CellArray&, const CellArray&) = default;

private:
    std::array<T, kCellCount> items_{};
};

}  // namespace murlen
