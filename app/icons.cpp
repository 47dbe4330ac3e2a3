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

QPixmap PieceIcon(int code) {
    ImageCanvas canvas(QSize(32, 32), kWhite);
    canvas.SetScale(0, 0, 42, 42);
    DrawPoolPiece(canvas, code == 0 ? 64 : code);
    return QPixmap::fromImage(canvas.Image());
}

QIcon Build(int id) {
    QIcon icon;
    if (id == kIconApplication || id == kIconHeart) {
        icon.addPixmap(Heart(32));
        icon.addPixmap(Heart(16));
    } else if (id == kIconFigure) {
        icon.addPixmap(Pyramid(32));
        icon.addPixmap(Pyramid(16));
    } else if (id >= kIconFirstPiece && id < kIconFirstPiece + 64) {
        icon.addPixmap(PieceIcon(id - kIconFirstPiece));
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
