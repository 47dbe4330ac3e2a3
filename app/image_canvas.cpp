#include "app/image_canvas.h"

#include <QPainter>

namespace murlen {

QColor ToQColor(Rgb color) { return QColor::fromRgb(QRgb(0xFF000000u | color)); }
Rgb FromQColor(const QColor& color) { return Rgb(color.rgb() & 0xFFFFFFu); }

ImageCanvas::ImageCanvas(QSize pixels, Rgb backColor)
    : image_(pixels.expandedTo(QSize(1, 1)), QImage::Format_RGB32), backColor_(backColor) {
    image_.fill(ToQColor(backColor_));
}

void ImageCanvas::SetScale(float left, float top, float width, float height) {
    scaleLeft_ = left;
    scaleTop_ = top;
    scaleWidth_ = width;
    scaleHeight_ = height;
}

void ImageCanvas::Resize(QSize pixels) {
    pixels = pixels.expandedTo(QSize(1, 1));
    if (pixels == image_.size()) return;
    QImage resized(pixels, QImage::Format_RGB32);
    resized.fill(ToQColor(backColor_));
    QPainter painter(&resized);
    painter.drawImage(0, 0, image_);
    painter.end();
    image_ = resized;
}

QPointF ImageCanvas::ToPixels(Point p) const {
    // A zero scale extent (a minimised surface) maps everything to the origin.
    const double sx = scaleWidth_ != 0 ? image_.width() / double(scaleWidth_) : 0;
    const double sy = scaleHeight_ != 0 ? image_.height() / double(scaleHeight_) : 0;
    return {(p.x - scaleLeft_) * sx, (p.y - scaleTop_) * sy};
}

Point ImageCanvas::FromPixels(QPointF pixel) const {
    return {float(scaleLeft_ + pixel.x() * scaleWidth_ / image_.width()),
            float(scaleTop_ + pixel.y() * scaleHeight_ / image_.height())};
}

void ImageCanvas::Cls() { image_.fill(ToQColor(backColor_)); }

void ImageCanvas::Line(Point from, Point to, Rgb color) {
    QPainter painter(&image_);
    painter.setPen(QPen(ToQColor(color), drawWidth_, Qt::SolidLine, Qt::SquareCap));
    const QPointF a = ToPixels(from);
    const QPointF b = ToPixels(to);
    if (a == b)
        painter.drawPoint(a);
    else
        painter.drawLine(a, b);
}

void ImageCanvas::PSet(Point at, Rgb color) {
    QPainter painter(&image_);
    const QPointF centre = ToPixels(at);
    if (drawWidth_ <= 1) {
        painter.setPen(ToQColor(color));
        painter.drawPoint(centre);
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(color));
    const double radius = drawWidth_ / 2.0;
    painter.drawEllipse(centre, radius, radius);
}

void ImageCanvas::Box(Point a, Point b, Rgb color, bool filled) {
    QPainter painter(&image_);
    const QRectF rect = QRectF(ToPixels(a), ToPixels(b)).normalized();
    if (filled) {
        painter.fillRect(rect, ToQColor(color));
    } else {
        painter.setPen(QPen(ToQColor(color), drawWidth_));
        painter.drawRect(rect);
    }
}

}  // namespace murlen
