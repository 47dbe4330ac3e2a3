#include "app/picture_box.h"

#include <QApplication>
#include <QBitmap>
#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>

namespace murlen {
namespace {
// The drag carries no data of its own: the target asks the drag for its source.
const QString kDragFormat = QStringLiteral("application/x-murlen-control");
bool dragging = false;
}

bool PictureBox::Dragging() { return dragging; }

PictureBox* DragSourceOf(const QDropEvent* event) {
    if (!event->mimeData()->hasFormat(kDragFormat)) return nullptr;
    return qobject_cast<PictureBox*>(event->source());
}

int ButtonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton) code |= 1;
    if (buttons & Qt::RightButton) code |= 2;
    if (buttons & Qt::MiddleButton) code |= 4;
    return code;
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
    int code = 0;
    if (modifiers & Qt::ShiftModifier) code |= 1;
    if (modifiers & Qt::ControlModifier) code |= 2;
    if (modifiers & Qt::AltModifier) code |= 4;
    return code;
}

PictureBox::PictureBox(QWidget* parent, int index) : QWidget(parent), index_(index) {
    setAcceptDrops(true);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_.SetBackColor(FromQColor(palette().color(QPalette::Button)));
    canvas_.SetForeColor(FromQColor(palette().color(QPalette::ButtonText)));
    canvas_.Resize(size(), devicePixelRatioF());
    canvas_.Cls();
}

void PictureBox::SetScale(float width, float height) { SetScale(0, 0, width, height); }
void PictureBox::SetScale(float left, float top, float width, float height) {
    canvas_.SetScale(left, top, width, height);
}

// A widget that is not shown yet gets its resize event only when it is shown;
// drawing must already use the new size.
void PictureBox::SyncSize() {
    if (size() != canvas_.Size()) canvas_.Resize(size(), devicePixelRatioF());
}

void PictureBox::Changed() {
    if (repaintAsked_) return;
    repaintAsked_ = true;
    update();
}

void PictureBox::Cls() {
    // Every drawing starts here: the place to take up a new pixel ratio too.
    canvas_.Resize(size(), devicePixelRatioF());
    canvas_.Cls();
    Changed();
}
void PictureBox::Line(Point from, Point to, Rgb color) {
    SyncSize();
    canvas_.Line(from, to, color);
    Changed();
}
void PictureBox::PSet(Point at, Rgb color) {
    SyncSize();
    canvas_.PSet(at, color);
    Changed();
}
void PictureBox::FillTriangle(Point a, Point b, Point c, Rgb color) {
    SyncSize();
    canvas_.FillTriangle(a, b, c, color);
    Changed();
}
void PictureBox::Box(Point a, Point b, Rgb color, bool filled) {
    SyncSize();
    canvas_.Box(a, b, color, filled);
    Changed();
}

void PictureBox::paintEvent(QPaintEvent*) {
    repaintAsked_ = false;
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_.Image());
}

void PictureBox::resizeEvent(QResizeEvent*) { SyncSize(); }

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (!(mouseButtons_ & event->button()) || pressedButton_ != Qt::NoButton) return;
    // No move is reported during a drag or right after one, so the press
    // itself tells where the pointer is.
    const Point at = canvas_.FromPixels(event->position());
    emit mouseMoved(ButtonCode(event->buttons()), ShiftCode(event->modifiers()), at.x, at.y);
    emit mouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()), at.x, at.y);
    pressedButton_ = event->button();
    dragArmed_ = automaticDrag_ && event->button() == Qt::LeftButton;
    pressPosition_ = event->position().toPoint();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    // A press on an automatic drag source is the start of a drag: the moves
    // until the drag begins do not count as moves over the box, so that the
    // drag starts from where the button went down.
    if (pressedButton_ != Qt::NoButton && dragArmed_) {
        if ((event->buttons() & Qt::LeftButton) &&
            (event->position().toPoint() - pressPosition_).manhattanLength() >=
                QApplication::startDragDistance()) {
            pressedButton_ = Qt::NoButton;
            StartDrag();
        }
        return;
    }
    const Point at = canvas_.FromPixels(event->position());
    emit mouseMoved(ButtonCode(event->buttons()), ShiftCode(event->modifiers()), at.x, at.y);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != pressedButton_) return;
    pressedButton_ = Qt::NoButton;
    if (rect().contains(event->position().toPoint())) emit clicked();
}

void PictureBox::StartDrag() {
    auto* drag = new QDrag(this);  // owned by the drag machinery, deleted after exec
    auto* data = new QMimeData;    // owned by the drag
    data->setData(kDragFormat, QByteArray());
    drag->setMimeData(data);
    if (!dragIcon_.isNull()) {
        const QPixmap pixmap = dragIcon_.pixmap(QSize(32, 32), devicePixelRatioF());
        drag->setPixmap(pixmap);
        drag->setHotSpot(QPoint(16, 16));
        // On X11 without a compositor the icon's window must be shaped to show
        // only the piece. Qt 6.4 shapes the native window it makes first, then
        // replaces that window and loses the shape: the icon shows as an
        // opaque square. The drag's window is shaped again once it exists.
        const QRegion shape(QBitmap::fromPixmap(pixmap.mask().scaled(32, 32)));
        QTimer::singleShot(0, drag, [shape] {
            for (QWindow* window : QGuiApplication::allWindows())
                if (window->inherits("QShapedPixmapWindow")) window->setMask(shape);
        });
    }
    dragging = true;
    drag->exec(Qt::MoveAction);
    dragging = false;
    emit dragFinished();
}

void PictureBox::dragEnterEvent(QDragEnterEvent* event) {
    if (DragSourceOf(event)) event->acceptProposedAction();
}

void PictureBox::dragMoveEvent(QDragMoveEvent* event) {
    if (DragSourceOf(event)) event->acceptProposedAction();
}

void PictureBox::dropEvent(QDropEvent* event) {
    PictureBox* source = DragSourceOf(event);
    if (!source) return;
    event->acceptProposedAction();
    const Point at = canvas_.FromPixels(event->position());
    emit dragDropped(source, at.x, at.y);
}

}  // namespace murlen
