// The 64 pieces: their six-bit half-edge code and how a piece is drawn.
//
// Bit k of a piece's code is one half-edge, 1 = black. The bits run around the
// perimeter from P2 through P1 and P3 back to P2:
//   bit 0: edge P1P2, half at P2     bit 3: edge P1P3, half at P3
//   bit 1: edge P1P2, half at P1     bit 4: edge P2P3, half at P3
//   bit 2: edge P1P3, half at P1     bit 5: edge P2P3, half at P2
#pragma once

#include <array>

#include "model/canvas.h"
#include "model/types.h"

namespace murlen {

// Edge masks: an edge is all black when both of its bits are set.
constexpr int kEdgeP1P2 = 3;
constexpr int kEdgeP1P3 = 12;
constexpr int kEdgeP2P3 = 48;
// The edge of each side of a cell as the neighbour table numbers its sides.
constexpr std::array<int, 3> kEdgeMaskOfSlot{kEdgeP1P2, kEdgeP2P3, kEdgeP1P3};

// Pool index 1..64 -> code 0..63. Pool index 64 is the all-white piece, code 0.
constexpr int PieceCode(int poolIndex) { return poolIndex % 64; }
// And back: code 0..63 -> pool index 1..64.
constexpr int PoolIndexOfCode(int code) { return code == 0 ? kPieceCount : code; }

// The half-edge of `bit` runs from corner A (the corner it touches) toward B,
// the other end of the same edge.
struct HalfEdge {
    Point a;
    Point b;
};
HalfEdge HalfEdgeOf(const Triangle& triangle, int bit);

// The triangle's centroid, (P1 + P2 + P3) / 3 in single precision.
Point Centroid(const Triangle& triangle);

// The fan parameter: t = 0, 0.025, ... while t <= 0.51, summed in single
// precision. Exactly 21 values, the last at (or next to) the edge's midpoint.
// A half is drawn as the fan of lines from (1 - t) * A + t * B to the centroid.
constexpr int kFanLineCount = 21;
const std::array<float, kFanLineCount>& FanSteps();

// Start point of the fan line at parameter t: (1 - t) * A + t * B.
Point FanStart(const HalfEdge& half, float t);

// Draws the half-edge `bit` of a triangle as its fan: the small triangle of
// A, the last fan start (the edge's midpoint) and the centroid, which the
// fan's 21 lines sweep. On a screen the area is filled, since lines one pixel
// wide leave gaps between them at most sizes; only the cell drawn here is
// touched, so erasing a cell clears it and nothing of its neighbours.
void DrawFan(Canvas& canvas, const Triangle& triangle, int bit, Rgb color);

// The pool picture of every piece: P1 lower right, P2 upper right, P3 lower
// left, in a 42 x 42 user scale.
constexpr Triangle kPoolTriangle{{41, 41}, {41, 0}, {0, 41}};

// Draws all 64 pool pieces in the game's fixed order: every surface cleared and
// outlined, then the fans by step, bit and piece, then the dot of piece 64.
// pool[p - 1] is the surface of pool piece p and must use the 42 x 42 scale.
void DrawPool(const std::array<Canvas*, kPieceCount>& pool);

// One piece exactly as DrawPool leaves it on its surface (used for the piece
// icons, so that icon and pool piece can never disagree).
void DrawPoolPiece(Canvas& canvas, int poolIndex);

}  // namespace murlen
