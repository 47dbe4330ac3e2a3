// The printer of a real run: a QPrinter (a printer of the system, or a PDF file)
// painted with QPainter under the page's user scale.
#pragma once

#include <QFont>
#include <QPainter>

#include "app/printer.h"

class QPrinter;

namespace murlen {

class QtPrinter : public Printer {
public:
    explicit QtPrinter(QPrinter& printer);
    ~QtPrinter() override;

    int Width() const override;
    int Height() const override;
    void SetScale(float left, float top, float width, float height) override;
    float ScaleLeft() const override { return left_; }
    float ScaleTop() const override { return top_; }
    float ScaleWidth() const override { return width_; }
    float ScaleHeight() const override { return height_; }
    void SetFontSize(float points) override;
    void SetFontBold(bool bold) override;
    float CurrentX() const override { return currentX_; }
    float CurrentY() const override { return currentY_; }
    void SetCurrentX(float x) override { currentX_ = x; }
    void SetCurrentY(float y) override { currentY_ = y; }
    void Print(const QString& text) override;
    void NewPage() override;
    void EndDoc() override;
    void KillDoc() override;

    void Cls() override {}
    void Line(Point from, Point to, Rgb color) override;
    void PSet(Point at, Rgb color) override;
    void SetDrawWidth(int pixels) override { drawWidth_ = std::max(1, pixels); }
    int DrawWidth() const override { return drawWidth_; }
    Rgb ForeColor() const override { return kBlack; }
    Rgb BackColor() const override { return kWhite; }

private:
    QPainter& Painter();  // begins the document on first use
    QPointF ToDevice(Point p) const;
    QRectF Printable() const;

    QPrinter& printer_;
    QPainter painter_;
    QFont font_;
    float left_ = 0, top_ = 0, width_ = 1, height_ = 1;
    float currentX_ = 0, currentY_ = 0;
    int drawWidth_ = 1;
};

}  // namespace murlen
