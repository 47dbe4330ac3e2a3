#include "app/qt_printer.h"

#include <QFontMetricsF>
#include <QPrinter>

namespace murlen {

QtPrinter::QtPrinter(QPrinter& printer) : printer_(printer) {}
QtPrinter::~QtPrinter() {
    if (painter_.isActive()) printer_.abort();
}

QPainter& QtPrinter::Painter() {
    if (!painter_.isActive()) {
        painter_.begin(&printer_);
        painter_.setFont(font_);
    }
    return painter_;
}

QRectF QtPrinter::Printable() const {
    return QRectF(QPointF(0, 0), printer_.pageLayout().paintRectPixels(printer_.resolution()).size());
}

int QtPrinter::Width() const {
    return int(printer_.pageLayout().fullRectPoints().width() * 20);  // 20 twips a point
}
int QtPrinter::Height() const { return int(printer_.pageLayout().fullRectPoints().height() * 20); }

void QtPrinter::SetScale(float left, float top, float width, float height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

QPointF QtPrinter::ToDevice(Point p) const {
    const QRectF area = Printable();
    return {(p.x - left_) * area.width() / width_, (p.y - top_) * area.height() / height_};
}

void QtPrinter::SetFontSize(float points) {
    font_.setPointSizeF(points);
    if (painter_.isActive()) painter_.setFont(font_);
}
void QtPrinter::SetFontBold(bool bold) {
    font_.setBold(bold);
    if (painter_.isActive()) painter_.setFont(font_);
}

void QtPrinter::Print(const QString& text) {
    QPainter& painter = Painter();
    const QFontMetricsF metrics(font_, &printer_);
    const QPointF at = ToDevice({currentX_, currentY_});
    if (!text.isEmpty()) painter.drawText(QPointF(at.x(), at.y() + metrics.ascent()), text);
    currentX_ = left_;
    currentY_ += float(metrics.height() * height_ / Printable().height());
}

void QtPrinter::Line(Point from, Point to, Rgb color) {
    QPainter& painter = Painter();
    painter.setPen(QPen(QColor::fromRgb(QRgb(0xFF000000u | color)), drawWidth_ <= 1 ? 0 : drawWidth_));
    painter.drawLine(ToDevice(from), ToDevice(to));
}

void QtPrinter::PSet(Point at, Rgb color) {
    QPainter& painter = Painter();
    painter.setPen(QPen(QColor::fromRgb(QRgb(0xFF000000u | color)), drawWidth_));
    painter.drawPoint(ToDevice(at));
}

void QtPrinter::NewPage() {
    Painter();
    printer_.newPage();
}

void QtPrinter::EndDoc() {
    Painter();
    painter_.end();
}

void QtPrinter::KillDoc() {
    if (painter_.isActive()) {
        printer_.abort();
        painter_.end();
    }
}

}  // namespace murlen
