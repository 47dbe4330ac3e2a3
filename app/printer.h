// A printed page: drawn through the same Canvas as the board, plus text at a
// current position. Units are the page's user scale.
#pragma once

#include <QString>

#include "model/canvas.h"

namespace murlen {

class Printer : public Canvas {
public:
    // The page's width and height in twips.
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // The user scale over the printable area: (left, top) is its top-left corner.
    virtual void SetScale(float left, float top, float width, float height) = 0;
    virtual float ScaleLeft() const = 0;
    virtual float ScaleTop() const = 0;
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;

    virtual void SetFontSize(float points) = 0;
    virtual void SetFontBold(bool bold) = 0;

    virtual float CurrentX() const = 0;
    virtual float CurrentY() const = 0;
    virtual void SetCurrentX(float x) = 0;
    virtual void SetCurrentY(float y) = 0;

    // Prints `text` at the current position, then moves to the start of the
    // next line (the left edge of the printable area).
    virtual void Print(const QString& text) = 0;
    // Starts a new page.
    virtual void NewPage() = 0;
    // Ends the document and sends it to the printer.
    virtual void EndDoc() = 0;
    // Drops the document: nothing drawn so far is sent.
    virtual void KillDoc() = 0;
};

}  // namespace murlen
