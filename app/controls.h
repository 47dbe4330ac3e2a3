// The small controls of the windows: the client area that takes drops on the
// window's free space, a label that swallows drops, the one-second timer and
// menu arrays.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPolygonF>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <vector>

namespace murlen {

class PictureBox;

// The client area of a window. A drag that ends over it outside any control
// reaches dragDropped with the point in twips of the client area.
//
// After a change of its size, `resized` asks the window to lay itself out.
// It comes from the event loop, never from inside the change: the layouts let
// pending events run, and run inside Qt's own geometry change (a main window
// sets its central widget's geometry through an animation) they would let the
// next change begin while this one is half done. Any number of changes in a
// row make one layout, and a change during a layout makes one more after it,
// never a layout inside a layout.
class FormSurface : public QWidget {
    Q_OBJECT
public:
    explicit FormSurface(QWidget* parent = nullptr);
    // Asks for a layout as a change of size does (minimising changes no size).
    void RequestLayout();
    // True while a layout waits or runs; `laidOut` comes when it is done.
    bool LayoutPending() const { return layoutRequested_ || layingOut_; }

signals:
    void dragDropped(murlen::PictureBox* source, float x, float y);
    void resized();
    void laidOut();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();
    bool layoutRequested_ = false;  // a call of LayOut waits in the event queue
    bool layingOut_ = false;
    bool layOutAgain_ = false;      // the size changed while a layout ran
};

// A label that takes drops and does nothing with them, so that a piece dropped
// on it stays where it was instead of landing on the window behind.
class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// A timer with an interval in milliseconds and an enabled state. While it is
// enabled with an interval above 0, `tick` comes once per interval.
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject* parent = nullptr);
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Milliseconds until the next tick, -1 while the timer is off.
    int RemainingTime() const { return timer_.isActive() ? timer_.remainingTime() : -1; }

signals:
    void tick();

private:
    void Apply();
    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = true;
};

// An outline drawn over other controls, such as a cursor of keyboard play. It
// takes no mouse events and paints nothing but the outline, so what lies under
// it stays in sight.
class Marker : public QWidget {
    Q_OBJECT
public:
    explicit Marker(QWidget* parent);
    // A closed outline in the marker's own pixels: solid, or dashed for a
    // cursor that waits.
    void SetOutline(const QPolygonF& outline, bool solid);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPolygonF outline_;
    bool solid_ = true;
};

// Gives a top-level window its designed size or, where the free area of its
// screen is too small for that, the largest size of the same proportions that
// fits. A preferred top-left corner is kept as far as the window still fits.
void FitOnScreen(QWidget* window, QSize designed, std::optional<QPoint> topLeft = std::nullopt);

// A menu control array: element 0 exists from the start; Load(i) adds an entry
// below the last that copies the caption and check mark of element 0.
class MenuArray : public QObject {
    Q_OBJECT
public:
    MenuArray(QMenu* menu, const QString& caption0, bool checked0, QObject* parent);
    int Count() const { return int(items_.size()); }
    QAction* operator[](int index) const { return items_.at(std::size_t(index)); }
    QAction* Load(int index);

signals:
    void clicked(int index);

private:
    void Connect(QAction* action, int index);
    QMenu* menu_;
    std::vector<QAction*> items_;
};

}  // namespace murlen
