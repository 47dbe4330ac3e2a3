// A printed document: pages drawn through the same Canvas as the board, plus
// text at a current position. Units are the page's user scale.
//
// A document collects what is drawn until EndDoc sends it or KillDoc drops it.
// Anything that goes wrong on the way (a user scale the page cannot have, a
// printer that cannot be reached) marks the document as failed: the caller
// then drops it with KillDoc, so that a half-drawn document is never sent.
#pragma once

#include <QString>

#include "model/canvas.h"

namespace murlen {

class Printer : public Canvas {
public:
    // The size of the whole sheet, margins included, in whole twips (1440 an
    // inch); the width is the larger one in landscape.
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // A user scale over the printable area: (left, top) is its top-left corner,
    // (left + width, top + height) the opposite one. Width and height must be
    // finite and not 0; anything else fails the document.
    virtual void SetScale(float left, float top, float width, float height) = 0;
    virtual float ScaleLeft() const = 0;
    virtual float ScaleTop() const = 0;
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;

    // The font of everything printed from now on.
    virtual void SetFontSize(float points) = 0;
    virtual void SetFontBold(bool bold) = 0;

    // Where the top left of the next printed text goes, in the user scale.
    virtual float CurrentX() const = 0;
    virtual float CurrentY() const = 0;
    virtual void SetCurrentX(float x) = 0;
    virtual void SetCurrentY(float y) = 0;

    // Prints `text` at the current position, then moves to the start of the
    // next line: CurrentX to ScaleLeft (the left edge of the printable area),
    // CurrentY down by one line of the current font. An empty text prints an
    // empty line.
    virtual void Print(const QString& text) = 0;

    // Starts a new page.
    virtual void NewPage() = 0;

    // True once something has gone wrong in the current document.
    virtual bool Failed() const = 0;

    // Ends the document and sends it to the printer. False when it could not be
    // sent (a failed document is never sent). The next drawing starts a new one.
    virtual bool EndDoc() = 0;
    // Drops the document: nothing drawn so far is sent. The next drawing starts
    // a new one.
    virtual void KillDoc() = 0;
};

}  // namespace murlen
