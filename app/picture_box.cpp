#include "app/picture_box.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

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
    canvas_.Resize(size());
    canvas_.Cls();
}

void PictureBox::SetScale(float width, float height) { SetScale(0, 0, width, height); }
void PictureBox::SetScale(float left, float top, float width, float height) {
    canvas_.SetScale(left, top, width, height);
}

// A widget that is not shown yet gets its resize event only when it is shown;
// drawing must already use the new size.
void PictureBox::SyncSize() {
    if (canvas_.Image().size() != size()) canvas_.Resize(size());
}

void PictureBox::Cls() {
    SyncSize();
    canvas_.Cls();
    update();
}
void PictureBox::Line(Point from, Point to, Rgb color) {
    SyncSize();
    canvas_.Line(from, to, color);
    update();
}
void PictureBox::PSet(Point at, Rgb color) {
    SyncSize();
    canvas_.PSet(at, color);
    update();
}
void PictureBox::Box(Point a, Point b, Rgb color, bool filled) {
    SyncSize();
    canvas_.Box(a, b, color, filled);
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_.Image());
}

void PictureBox::resizeEvent(QResizeEvent*) { SyncSize(); }

void PictureBox::mousePressEvent(QMouseEvent* event) {
    const Point at = canvas_.FromPixels(event->position());
    emit mouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()), at.x, at.y);
    pressed_ = true;
    dragArmed_ = automaticDrag_ && event->button() == Qt::LeftButton;
    pressPosition_ = event->position().toPoint();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    // A press on an automatic drag source is the start of a drag: the moves
    // until the drag begins do not count as moves over the box, so that the
    // drag starts from where the button went down.
    if (pressed_ && dragArmed_) {
        if ((event->buttons() & Qt::LeftButton) &&
            (event->position().toPoint() - pressPosition_).manhattanLength() >=
                QApplication::startDragDistance()) {
            pressed_ = false;
            StartDrag();
        }
        return;
    }
    const Point at = canvas_.FromPixels(event->position());
    emit mouseMoved(ButtonCode(event->buttons()), ShiftCode(event->modifiers()), at.x, at.y);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressed_) return;
    pressed_ = false;
    if (rect().contains(event->position().toPoint())) emit clicked();
}

void PictureBox::StartDrag() {
    auto* drag = new QDrag(this);  // owned by the drag machinery, deleted after exec
    auto* data = new QMimeData;    // owned by the drag
    data->setData(kDragFormat, QByteArray());
    drag->setMimeData(data);
    if (!dragIcon_.isNull()) {
        const QPixmap pixmap = dragIcon_.pixmap(32, 32);
        drag->setPixmap(pixmap);
        drag->setHotSpot(QPoint(pixmap.width() / 2, pixmap.height() / 2));
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
