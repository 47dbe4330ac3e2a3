#include "app/icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include "app/image_canvas.h"
#include "model/piece.h"

namespace murlen {
namespace {

QPixmap Heart(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    QPainterPath heart;
    heart.moveTo(16, 29);
    heart.cubicTo(4, 20, 1, 14, 2, 9);
    heart.cubicTo(3, 3, 12, 1, 16, 8);
    heart.cubicTo(20, 1, 29, 3, 30, 9);
    heart.cubicTo(31, 14, 28, 20, 16, 29);
    painter.setPen(QPen(QColor(128, 0, 0), 1.2));
    painter.setBrush(QColor(255, 0, 0));
    painter.drawPath(heart);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 160, 160));
    painter.drawEllipse(QRectF(7, 7, 5, 4));
    return pixmap;
}

// A pyramid of four black-and-grey steps over a grey shadow.
QPixmap Pyramid(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.scale(size / 32.0, size / 32.0);
    painter.fillRect(QRectF(4, 27, 27, 3), QColor(160, 160, 160));  // shadow
    for (int step = 0; step < 4; ++step) {
        const double width = 26 - 6 * step;
        const double left = 2 + 3 * step;
        const double top = 22 - 6 * step;
        painter.fillRect(QRectF(left, top, width, 5), step % 2 == 0 ? Qt::black : QColor(128, 128, 128));
    }
    return pixmap;
}

// The piece as the pool draws it, `pixels` wide. Only the triangle is the
// picture: around it the icon is transparent, so that under the pointer it
// shows the piece alone.
QPixmap PieceIcon(int code, int pixels) {
    ImageCanvas canvas(QSize(pixels, pixels), kWhite);
    canvas.SetScale(0, 0, 42, 42);
    DrawPoolPiece(canvas, PoolIndexOfCode(code));

    QPainterPath triangle;
    triangle.addPolygon(QPolygonF{canvas.ToPixels(kPoolTriangle.p1), canvas.ToPixels(kPoolTriangle.p2),
                                  canvas.ToPixels(kPoolTriangle.p3)});
    triangle.closeSubpath();
    // The outline lies on the triangle's edges, half of it outside.
    QPainterPathStroker outline;
    outline.setWidth(2);
    QImage icon(canvas.Image().size(), QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setClipPath(triangle.united(outline.createStroke(triangle)));
    painter.drawImage(0, 0, canvas.Image());
    painter.end();
    return QPixmap::fromImage(icon);
}

// Every picture in its size and at twice that size for high-density screens.
template <class Draw>
void AddSizes(QIcon& icon, std::initializer_list<int> sizes, Draw draw) {
    for (int pixels : sizes) {
        icon.addPixmap(draw(pixels));
        icon.addPixmap(draw(2 * pixels));
    }
}

QIcon Build(int id) {
    QIcon icon;
    if (id == kIconApplication || id == kIconHeart) {
        AddSizes(icon, {16, 32}, Heart);
    } else if (id == kIconFigure) {
        AddSizes(icon, {16, 32}, Pyramid);
    } else if (id >= kIconFirstPiece && id < kIconFirstPiece + 64) {
        AddSizes(icon, {32}, [id](int pixels) { return PieceIcon(id - kIconFirstPiece, pixels); });
    }
    return icon;
}

}  // namespace

QImage HeartImage(int pixels) { return Heart(pixels).toImage(); }

QIcon LoadResPicture(int id, int kind) {
    Q_UNUSED(kind);
    static QHash<int, QIcon> cache;
    auto it = cache.find(id);
    if (it == cache.end()) it = cache.insert(id, Build(id));
    return *it;
}

}  // namespace murlen
