// The one drawing interface of the game. The board, each pool piece, the piece
// icons, the generator grid and the printed page implement it, so that the same
// drawing code serves the screen, the icons and paper.
#pragma once

#include "model/types.h"

namespace murlen {

class Canvas {
public:
    virtual ~Canvas() = default;

    // Clears the whole surface to BackColor().
    virtual void Cls() = 0;
    // A straight line in the current draw width, both end points included.
    virtual void Line(Point from, Point to, Rgb color) = 0;
    // One point in the current draw width (a dot of that diameter).
    virtual void PSet(Point at, Rgb color) = 0;
    // The inside of the triangle a, b, c: the area that a fan of lines between
    // its corners covers, without the gaps such lines leave.
    virtual void FillTriangle(Point a, Point b, Point c, Rgb color) = 0;
    // Pen width in device pixels for everything drawn afterwards.
    virtual void SetDrawWidth(int pixels) = 0;
    virtual int DrawWidth() const = 0;
    virtual Rgb ForeColor() const = 0;
    virtual Rgb BackColor() const = 0;
};

}  // namespace murlen
