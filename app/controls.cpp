#include "app/controls.h"

#include <QDropEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "app/picture_box.h"
#include "app/twips.h"

namespace murlen {

FormSurface::FormSurface(QWidget* parent) : QWidget(parent) { setAcceptDrops(true); }

void FormSurface::dragEnterEvent(QDragEnterEvent* event) {
    if (DragSourceOf(event)) event->acceptProposedAction();
}
void FormSurface::dragMoveEvent(QDragMoveEvent* event) {
    if (DragSourceOf(event)) event->acceptProposedAction();
}
void FormSurface::dropEvent(QDropEvent* event) {
    PictureBox* source = DragSourceOf(event);
    if (!source) return;
    event->acceptProposedAction();
    emit dragDropped(source, float(event->position().x() * kTwipsPerPixel),
                     float(event->position().y() * kTwipsPerPixel));
}
void FormSurface::resizeEvent(QResizeEvent*) { RequestLayout(); }

void FormSurface::RequestLayout() {
    if (layoutRequested_) return;
    layoutRequested_ = true;
    QMetaObject::invokeMethod(this, &FormSurface::LayOut, Qt::QueuedConnection);
}

void FormSurface::LayOut() {
    layoutRequested_ = false;
    if (layingOut_) {
        layOutAgain_ = true;
        return;
    }
    const QPointer<FormSurface> alive(this);  // a layout may close its window
    layingOut_ = true;
    do {
        layOutAgain_ = false;
        emit resized();
    } while (alive && layOutAgain_);
    if (!alive) return;
    layingOut_ = false;
    emit laidOut();
}

Label::Label(QWidget* parent) : QLabel(parent) { setAcceptDrops(true); }
void Label::dragEnterEvent(QDragEnterEvent* event) {
    if (DragSourceOf(event)) event->acceptProposedAction();
}
void Label::dropEvent(QDropEvent* event) { event->acceptProposedAction(); }

Timer::Timer(QObject* parent) : QObject(parent) {
    connect(&timer_, &QTimer::timeout, this, &Timer::tick);
}
void Timer::SetInterval(int milliseconds) {
    interval_ = milliseconds;
    Apply();
}
void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Apply();
}
void Timer::Apply() {
    // Switching on a timer that already runs must not restart its interval:
    // every move switches the clock on, and quick moves would never let it tick.
    if (enabled_ && interval_ > 0) {
        if (!timer_.isActive() || timer_.interval() != interval_) timer_.start(interval_);
    } else {
        timer_.stop();
    }
}

Marker::Marker(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void Marker::SetOutline(const QPolygonF& outline, bool solid) {
    outline_ = outline;
    solid_ = solid;
    update();
}

void Marker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Orange on a white rim: seen on black and white halves alike, and unlike
    // the red and blue of a broken rule.
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolygon(outline_);
    painter.setPen(QPen(QColor(255, 140, 0), 3, solid_ ? Qt::SolidLine : Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolygon(outline_);
}

void FitOnScreen(QWidget* window, QSize designed, std::optional<QPoint> topLeft) {
    const QScreen* screen = window->screen();
    if (!screen) {
        window->resize(designed);
        return;
    }
    const QRect free = screen->availableGeometry();
    // The frame comes with the first showing; until then a title bar's height
    // stands for it.
    const int titleBar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    QSize size = designed;
    const QSize room(free.width(), free.height() - titleBar);
    if (size.width() > room.width() || size.height() > room.height()) size.scale(room, Qt::KeepAspectRatio);
    window->setMinimumSize(window->minimumSize().boundedTo(size));
    window->resize(size);
    if (!topLeft) return;
    const int left = std::clamp(topLeft->x(), free.left(), std::max(free.left(), free.right() + 1 - size.width()));
    const int top = std::clamp(topLeft->y(), free.top(),
                               std::max(free.top(), free.bottom() + 1 - size.height() - titleBar));
    window->move(left, top);
}

MenuArray::MenuArray(QMenu* menu, const QString& caption0, bool checked0, QObject* parent)
    : QObject(parent), menu_(menu) {
    QAction* first = menu_->addAction(caption0);
    first->setCheckable(true);
    first->setChecked(checked0);
    items_.push_back(first);
    Connect(first, 0);
}

QAction* MenuArray::Load(int index) {
    Q_ASSERT(index == Count());
    QAction* element = menu_->addAction(items_.front()->text());
    element->setCheckable(true);
    element->setChecked(items_.front()->isChecked());
    items_.push_back(element);
    Connect(element, index);
    return element;
}

void MenuArray::Connect(QAction* action, int index) {
    // A checkable action flips its own mark when chosen; the handler decides.
    connect(action, &QAction::triggered, this, [this, action, index] {
        action->setChecked(!action->isChecked());
        emit clicked(index);
    });
}

}  // namespace murlen
