// A Canvas over a QImage for tests that read back what was drawn: the user
// scale spans the whole image, drawing is aliased, and pixels are read back at
// points of the user scale.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <set>

#include "model/canvas.h"

namespace murlen::testing {

class ImageCanvasForTests : public Canvas {
public:
    // scaleWidth x scaleHeight user units shown on an image of
    // pixelsPerUnit pixels per unit (rounded up).
    ImageCanvasForTests(float scaleWidth, float scaleHeight, double pixelsPerUnit, Rgb backColor = 0xC0C0C0)
        : image_(int(std::ceil(scaleWidth * pixelsPerUnit)), int(std::ceil(scaleHeight * pixelsPerUnit)),
                 QImage::Format_RGB32),
          pixelsPerUnit_(pixelsPerUnit),
          backColor_(backColor) {
        Cls();
    }

    void Cls() override { image_.fill(QColor::fromRgb(QRgb(0xFF000000u | backColor_))); }
    void Line(Point from, Point to, Rgb color) override {
        QPainter painter(&image_);
        painter.setPen(QPen(Color(color), width_, Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(ToPixels(from), ToPixels(to));
    }
    void PSet(Point at, Rgb color) override {
        QPainter painter(&image_);
        painter.setPen(QPen(Color(color), width_, Qt::SolidLine, Qt::RoundCap));
        painter.drawPoint(ToPixels(at));
    }
    void FillTriangle(Point a, Point b, Point c, Rgb color) override {
        QPainter painter(&image_);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Color(color));
        const QPointF corners[3] = {ToPixels(a), ToPixels(b), ToPixels(c)};
        painter.drawConvexPolygon(corners, 3);
    }
    void SetDrawWidth(int pixels) override { width_ = pixels; }
    int DrawWidth() const override { return width_; }
    Rgb ForeColor() const override { return kBlack; }
    Rgb BackColor() const override { return backColor_; }

    QPointF ToPixels(Point p) const { return {p.x * pixelsPerUnit_, p.y * pixelsPerUnit_}; }

    // The colour of the pixel under a point of the user scale.
    Rgb ColorAt(Point p) const {
        const QPointF pixel = ToPixels(p);
        return Rgb(image_.pixel(int(pixel.x()), int(pixel.y())) & 0xFFFFFFu);
    }
    // The colours within `radius` pixels of a point (a line one pixel wide may
    // fall on either side of its mathematical position).
    std::set<Rgb> ColorsNear(Point p, int radius = 1) const {
        const QPointF pixel = ToPixels(p);
        std::set<Rgb> colors;
        for (int dy = -radius; dy <= radius; ++dy) {
            for (int dx = -radius; dx <= radius; ++dx) {
                const int x = int(pixel.x()) + dx;
                const int y = int(pixel.y()) + dy;
                if (image_.valid(x, y)) colors.insert(Rgb(image_.pixel(x, y) & 0xFFFFFFu));
            }
        }
        return colors;
    }

    const QImage& Image() const { return image_; }

private:
    static QColor Color(Rgb color) { return QColor::fromRgb(QRgb(0xFF000000u | color)); }

    QImage image_;
    double pixelsPerUnit_;
    Rgb backColor_;
    int width_ = 1;
};

}  // namespace murlen::testing
