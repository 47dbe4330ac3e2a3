#include "app/image_canvas.h"

#include <cmath>
#include <utility>

namespace murlen {

namespace {

QImage BlankImage(QSize pixels, qreal pixelRatio, Rgb color) {
    const QSize device(std::max(1, int(std::ceil(pixels.width() * pixelRatio))),
                       std::max(1, int(std::ceil(pixels.height() * pixelRatio))));
    QImage image(device, QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(ToQColor(color));
    return image;
}

}  // namespace

QColor ToQColor(Rgb color) { return QColor::fromRgb(QRgb(0xFF000000u | color)); }
Rgb FromQColor(const QColor& color) { return Rgb(color.rgb() & 0xFFFFFFu); }

ImageCanvas::ImageCanvas(QSize pixels, Rgb backColor, qreal pixelRatio)
    : image_(BlankImage(pixels.expandedTo(QSize(1, 1)), pixelRatio, backColor)),
      size_(pixels.expandedTo(QSize(1, 1))),
      backColor_(backColor) {}

ImageCanvas::~ImageCanvas() { EndPainting(); }

void ImageCanvas::SetScale(float left, float top, float width, float height) {
    scaleLeft_ = left;
    scaleTop_ = top;
    scaleWidth_ = width;
    scaleHeight_ = height;
}

void ImageCanvas::Resize(QSize pixels, qreal pixelRatio) {
    pixels = pixels.expandedTo(QSize(1, 1));
    if (pixels == size_ && pixelRatio == PixelRatio()) return;
    EndPainting();
    QImage resized = BlankImage(pixels, pixelRatio, backColor_);
    if (pixelRatio == PixelRatio()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image_);
    }
    image_ = std::move(resized);
    size_ = pixels;
}

const QImage& ImageCanvas::Image() const {
    EndPainting();
    return image_;
}

QPainter& ImageCanvas::Painter() {
    if (!painter_) painter_ = std::make_unique<QPainter>(&image_);
    return *painter_;
}

void ImageCanvas::EndPainting() const { painter_.reset(); }

void ImageCanvas::SetPen(Rgb color) {
    if (pen_.color() != ToQColor(color) || pen_.width() != drawWidth_)
        pen_ = QPen(ToQColor(color), drawWidth_, Qt::SolidLine, Qt::SquareCap);
    painter_->setPen(pen_);
}

QPointF ImageCanvas::ToPixels(Point p) const {
    // A zero scale extent (a minimised surface) maps everything to the origin.
    const double sx = scaleWidth_ != 0 ? size_.width() / double(scaleWidth_) : 0;
    const double sy = scaleHeight_ != 0 ? size_.height() / double(scaleHeight_) : 0;
    return {(p.x - scaleLeft_) * sx, (p.y - scaleTop_) * sy};
}

Point ImageCanvas::FromPixels(QPointF pixel) const {
    return {float(scaleLeft_ + pixel.x() * scaleWidth_ / size_.width()),
            float(scaleTop_ + pixel.y() * scaleHeight_ / size_.height())};
}

void ImageCanvas::Cls() {
    EndPainting();
    image_.fill(ToQColor(backColor_));
}

void ImageCanvas::Line(Point from, Point to, Rgb color) {
    QPainter& painter = Painter();
    SetPen(color);
    const QPointF a = ToPixels(from);
    const QPointF b = ToPixels(to);
    if (a == b)
        painter.drawPoint(a);
    else
        painter.drawLine(a, b);
}

void ImageCanvas::PSet(Point at, Rgb color) {
    QPainter& painter = Painter();
    const QPointF centre = ToPixels(at);
    if (drawWidth_ <= 1) {
        SetPen(color);
        painter.drawPoint(centre);
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(color));
    const double radius = drawWidth_ / 2.0;
    painter.drawEllipse(centre, radius, radius);
}

void ImageCanvas::FillTriangle(Point a, Point b, Point c, Rgb color) {
    QPainter& painter = Painter();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(color));
    const QPointF corners[3] = {ToPixels(a), ToPixels(b), ToPixels(c)};
    painter.drawConvexPolygon(corners, 3);
}

void ImageCanvas::Box(Point a, Point b, Rgb color, bool filled) {
    QPainter& painter = Painter();
    const QRectF rect = QRectF(ToPixels(a), ToPixels(b)).normalized();
    if (filled) {
        painter.fillRect(rect, ToQColor(color));
    } else {
        painter.setPen(QPen(ToQColor(color), drawWidth_));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
    }
}

}  // namespace murlen
