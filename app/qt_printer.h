// The printer of a real run: a QPrinter (a printer of the system, or a PDF
// file) under the page's user scale.
//
// Everything drawn is collected page by page and handed to the QPrinter only
// by EndDoc. Qt's PDF and CUPS engines cannot abort a print run that has begun
// (QPrinter::abort() returns false, and ending the painter sends the job), so
// KillDoc can only keep its promise if nothing has reached the QPrinter yet.
#pragma once

#include <QFont>
#include <QPen>
#include <algorithm>
#include <functional>
#include <vector>

#include "app/printer.h"

class QPainter;
class QPrinter;

namespace murlen {

class QtPrinter : public Printer {
public:
    // `printer` must outlive this object; its page layout is read when drawing.
    explicit QtPrinter(QPrinter& printer);

    int Width() const override;
    int Height() const override;
    void SetScale(float left, float top, float width, float height) override;
    float ScaleLeft() const override { return left_; }
    float ScaleTop() const override { return top_; }
    float ScaleWidth() const override { return width_; }
    float ScaleHeight() const override { return height_; }
    void SetFontSize(float points) override;
    void SetFontBold(bool bold) override { font_.setBold(bold); }
    float CurrentX() const override { return currentX_; }
    float CurrentY() const override { return currentY_; }
    void SetCurrentX(float x) override { currentX_ = x; }
    void SetCurrentY(float y) override { currentY_ = y; }
    void Print(const QString& text) override;
    void NewPage() override;
    bool Failed() const override { return failed_; }
    bool EndDoc() override;
    void KillDoc() override;

    // Paper has nothing to clear but what was drawn on the current page.
    void Cls() override;
    void Line(Point from, Point to, Rgb color) override;
    void PSet(Point at, Rgb color) override;
    void FillTriangle(Point a, Point b, Point c, Rgb color) override;
    void SetDrawWidth(int pixels) override { drawWidth_ = std::max(1, pixels); }
    int DrawWidth() const override { return drawWidth_; }
    Rgb ForeColor() const override { return kBlack; }
    Rgb BackColor() const override { return kWhite; }

private:
    using Drawing = std::function<void(QPainter&)>;
    using Page = std::vector<Drawing>;

    void Add(Drawing drawing);
    QRectF Printable() const;  // the printable area in device pixels, at (0, 0)
    QPointF ToDevice(Point p) const;
    QPen PenFor(Rgb color) const;  // in the current draw width
    bool Send();
    void StartOver();

    QPrinter& printer_;
    QFont font_;
    std::vector<Page> pages_;
    bool failed_ = false;
    float left_ = 0, top_ = 0, width_ = 1, height_ = 1;
    float currentX_ = 0, currentY_ = 0;
    int drawWidth_ = 1;
};

}  // namespace murlen
