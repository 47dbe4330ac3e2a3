// The program's pictures by id: 1 and 102 the red heart, 101 the figure icon (a
// stepped pyramid), 200 + code the 64 piece icons, drawn by the same code that
// draws the pool so that icon and piece can never disagree.
#pragma once

#include <QIcon>

namespace murlen {

constexpr int kIconApplication = 1;
constexpr int kIconFigure = 101;
constexpr int kIconHeart = 102;
constexpr int kIconFirstPiece = 200;  // + piece code 0..63

// `kind` is always 1 (an icon). Unknown ids give a null icon.
QIcon LoadResPicture(int id, int kind = 1);

// The red heart of icons 1 and 102 at any size, for the desktop's icon theme.
QImage HeartImage(int pixels);

// The icon id of pool piece `poolIndex` (1..64): 200 + (poolIndex mod 64).
constexpr int PieceIconId(int poolIndex) { return kIconFirstPiece + poolIndex % 64; }

}  // namespace murlen
