#include "app/qt_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <array>
#include <cmath>

namespace murlen {

namespace {

// Millimetres, not points: Qt keeps page sizes in whole points, which would
// make an A4 sheet 11900 twips wide instead of 11906.
int TwipsOfMillimetres(qreal millimetres) { return qRound(millimetres * 1440 / 25.4); }

// DrawWidth 1 on paper is 1/32 inch (0.8 mm): broad enough that the 21 lines
// of a piece's fan close into a solid wedge, as they do in the pixels of the
// board. A hairline would print them as separate rays.
constexpr qreal kPrinterPixelsPerInch = 32;

}  // namespace

QtPrinter::QtPrinter(QPrinter& printer) : printer_(printer) { StartOver(); }

int QtPrinter::Width() const {
    return TwipsOfMillimetres(printer_.pageLayout().fullRect(QPageLayout::Millimeter).width());
}

int QtPrinter::Height() const {
    return TwipsOfMillimetres(printer_.pageLayout().fullRect(QPageLayout::Millimeter).height());
}

void QtPrinter::SetScale(float left, float top, float width, float height) {
    const bool usable = std::isfinite(left) && std::isfinite(top) && std::isfinite(width) &&
                        std::isfinite(height) && width != 0 && height != 0 && !Printable().isEmpty();
    if (!usable) {
        failed_ = true;
        return;
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void QtPrinter::SetFontSize(float points) {
    if (points > 0) font_.setPointSizeF(points);
}

QRectF QtPrinter::Printable() const {
    // A painter on the QPrinter has its origin at the top left of this area.
    return QRectF(QPointF(0, 0), printer_.pageLayout().paintRectPixels(printer_.resolution()).size());
}

QPointF QtPrinter::ToDevice(Point p) const {
    const QRectF area = Printable();
    return {(qreal(p.x) - left_) * area.width() / width_, (qreal(p.y) - top_) * area.height() / height_};
}

QPen QtPrinter::PenFor(Rgb color) const {
    QPen pen(QColor::fromRgb(QRgb(0xFF000000u | color)));
    pen.setWidthF(drawWidth_ * printer_.resolution() / kPrinterPixelsPerInch);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void QtPrinter::Add(Drawing drawing) {
    if (!failed_) pages_.back().push_back(std::move(drawing));
}

void QtPrinter::Print(const QString& text) {
    const QFontMetricsF metrics(font_, &printer_);
    if (!text.isEmpty()) {
        // Text hangs below the current position: its baseline is one ascent down.
        const QPointF baseline = ToDevice({currentX_, currentY_}) + QPointF(0, metrics.ascent());
        Add([baseline, text, font = font_](QPainter& painter) {
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(baseline, text);
        });
    }
    currentX_ = left_;
    currentY_ += float(metrics.height() * height_ / Printable().height());
}

void QtPrinter::Line(Point from, Point to, Rgb color) {
    Add([from = ToDevice(from), to = ToDevice(to), pen = PenFor(color)](QPainter& painter) {
        painter.setPen(pen);
        painter.drawLine(from, to);
    });
}

void QtPrinter::PSet(Point at, Rgb color) {
    Add([at = ToDevice(at), pen = PenFor(color)](QPainter& painter) {
        painter.setPen(pen);
        painter.drawPoint(at);
    });
}

void QtPrinter::FillTriangle(Point a, Point b, Point c, Rgb color) {
    Add([corners = std::array{ToDevice(a), ToDevice(b), ToDevice(c)}, color](QPainter& painter) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgb(QRgb(0xFF000000u | color)));
        painter.drawConvexPolygon(corners.data(), 3);
    });
}

void QtPrinter::Cls() {
    if (!failed_) pages_.back().clear();
}

void QtPrinter::NewPage() {
    if (!failed_) pages_.emplace_back();
}

bool QtPrinter::EndDoc() {
    const bool sent = !failed_ && Send();
    StartOver();
    return sent;
}

void QtPrinter::KillDoc() { StartOver(); }

bool QtPrinter::Send() {
    QPainter painter;
    if (!painter.begin(&printer_)) return false;  // e.g. a PDF file that cannot be written
    painter.setRenderHint(QPainter::Antialiasing);
    // A printer's paint engine outlives its documents and still holds the pen
    // and brush of the last one, while the painter starts from its defaults and
    // passes on only what differs from them: a pen and brush set here, unlike
    // the defaults, make it pass on the first ones the drawings set.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::SolidPattern);
    for (std::size_t page = 0; page < pages_.size(); ++page) {
        if (page > 0 && !printer_.newPage()) {
            // The run has begun; take back what the engine still can.
            printer_.abort();
            painter.end();
            return false;
        }
        for (const Drawing& drawing : pages_[page]) drawing(painter);
    }
    return painter.end();
}

void QtPrinter::StartOver() {
    pages_.assign(1, Page());
    failed_ = false;
}

}  // namespace murlen
