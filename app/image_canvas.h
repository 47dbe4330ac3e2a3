// A Canvas over a QImage with a user scale: what is drawn stays in the image
// until it is cleared. Picture boxes and the piece icons draw through it.
//
// Sizes and positions are in logical pixels; the image itself has the device
// pixel ratio of the screen it is shown on, so that drawings are as sharp as
// text on a high-density screen. Line widths are in logical pixels too.
#pragma once

#include <QImage>
#include <QPainter>
#include <memory>

#include "model/canvas.h"

namespace murlen {

class ImageCanvas : public Canvas {
public:
    explicit ImageCanvas(QSize pixels = QSize(1, 1), Rgb backColor = kWhite, qreal pixelRatio = 1);
    ImageCanvas(ImageCanvas&&) = default;
    ImageCanvas& operator=(ImageCanvas&&) = default;
    ~ImageCanvas() override;

    // The user scale: (left, top) is the top-left corner of the image and
    // (left + width, top + height) its bottom-right corner.
    void SetScale(float left, float top, float width, float height);
    float ScaleLeft() const { return scaleLeft_; }
    float ScaleTop() const { return scaleTop_; }
    float ScaleWidth() const { return scaleWidth_; }
    float ScaleHeight() const { return scaleHeight_; }

    // Gives the image a new size in logical pixels and a device pixel ratio.
    // What was drawn stays where it was if the ratio stays; new area shows the
    // back colour.
    void Resize(QSize pixels, qreal pixelRatio = 1);
    QSize Size() const { return size_; }
    qreal PixelRatio() const { return image_.devicePixelRatio(); }

    void SetForeColor(Rgb color) { foreColor_ = color; }
    void SetBackColor(Rgb color) { backColor_ = color; }

    // Outlined or filled rectangle between two corners, in the user scale.
    void Box(Point a, Point b, Rgb color, bool filled);

    // Canvas
    void Cls() override;
    void Line(Point from, Point to, Rgb color) override;
    void PSet(Point at, Rgb color) override;
    void FillTriangle(Point a, Point b, Point c, Rgb color) override;
    void SetDrawWidth(int pixels) override { drawWidth_ = pixels < 1 ? 1 : pixels; }
    int DrawWidth() const override { return drawWidth_; }
    Rgb ForeColor() const override { return foreColor_; }
    Rgb BackColor() const override { return backColor_; }

    // The logical pixel position that a point of the user scale falls on.
    QPointF ToPixels(Point p) const;
    // The point of the user scale at a logical pixel position.
    Point FromPixels(QPointF pixel) const;

    // What is drawn: Size() times PixelRatio() device pixels.
    const QImage& Image() const;

private:
    // One painter serves a run of drawing calls; it ends whenever the image is
    // looked at or replaced, since a copy of an image under a painter would
    // see later drawing too.
    QPainter& Painter();
    void EndPainting() const;
    // The pen of a line or point: a pen is made only when colour or width
    // change, which in a fan they do not.
    void SetPen(Rgb color);

    QImage image_;
    mutable std::unique_ptr<QPainter> painter_;
    QPen pen_;
    QSize size_;
    float scaleLeft_ = 0;
    float scaleTop_ = 0;
    float scaleWidth_ = 1;
    float scaleHeight_ = 1;
    int drawWidth_ = 1;
    Rgb foreColor_ = kBlack;
    Rgb backColor_ = kWhite;
};

QColor ToQColor(Rgb color);
Rgb FromQColor(const QColor& color);

}  // namespace murlen
