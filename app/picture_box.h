// A picture box: a surface that keeps what is drawn on it, with a user scale,
// that can be an automatic drag source and a drop target.
//
// Drag and drop: a press on a drag source starts tracking; moving beyond Qt's
// start distance starts a real drag that shows the source's drag icon; a
// release without movement is a click. A drop reaches the target's dragDropped
// signal with the source and the point in the target's scale.
#pragma once

#include <QIcon>
#include <QWidget>

#include "app/image_canvas.h"

namespace murlen {

class PictureBox : public QWidget, public Canvas {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent, int index = -1);

    // The element's index in its control array (-1 when it is no array element).
    int Index() const { return index_; }

    // User scale with the origin at the top-left corner.
    void SetScale(float width, float height);
    void SetScale(float left, float top, float width, float height);
    float ScaleWidth() const { return canvas_.ScaleWidth(); }
    float ScaleHeight() const { return canvas_.ScaleHeight(); }

    void SetForeColor(Rgb color) { canvas_.SetForeColor(color); }
    void SetBackColor(Rgb color) { canvas_.SetBackColor(color); }
    void Box(Point a, Point b, Rgb color, bool filled);

    // Automatic drag mode: a press starts a drag (or a click).
    void SetAutomaticDrag(bool on) { automaticDrag_ = on; }
    // The buttons whose presses and clicks the box reports; presses of the
    // others are ignored. All buttons unless set.
    void SetMouseButtons(Qt::MouseButtons buttons) { mouseButtons_ = buttons; }
    // The drag tag, a text by which drop targets tell sources apart.
    void SetDataField(const QString& tag) { dataField_ = tag; }
    QString DataField() const { return dataField_; }
    void SetDragIcon(const QIcon& icon) { dragIcon_ = icon; }
    QIcon DragIcon() const { return dragIcon_; }

    // True while a drag of any picture box is under way.
    static bool Dragging();

    // Canvas
    void Cls() override;
    void Line(Point from, Point to, Rgb color) override;
    void PSet(Point at, Rgb color) override;
    void FillTriangle(Point a, Point b, Point c, Rgb color) override;
    void SetDrawWidth(int pixels) override { canvas_.SetDrawWidth(pixels); }
    int DrawWidth() const override { return canvas_.DrawWidth(); }
    Rgb ForeColor() const override { return canvas_.ForeColor(); }
    Rgb BackColor() const override { return canvas_.BackColor(); }

    // What is drawn, at the device pixel ratio of the box's screen.
    const QImage& Image() const { return canvas_.Image(); }
    Point ToScale(QPointF pixel) const { return canvas_.FromPixels(pixel); }
    QPointF ToPixels(Point p) const { return canvas_.ToPixels(p); }

signals:
    void mouseDown(int button, int shift, float x, float y);
    // Every position of the pointer over the box: its moves, and every press
    // of a reported button, which comes before the press's mouseDown, drag or
    // click, so that these act on the place where the button went down.
    void mouseMoved(int button, int shift, float x, float y);
    void clicked();
    void dragDropped(murlen::PictureBox* source, float x, float y);
    // A drag from this box has ended, dropped or not.
    void dragFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void StartDrag();
    void SyncSize();
    // Asks for one repaint for any number of drawing calls before it.
    void Changed();

    ImageCanvas canvas_;
    int index_;
    bool automaticDrag_ = false;
    QString dataField_;
    QIcon dragIcon_;
    Qt::MouseButtons mouseButtons_ = Qt::AllButtons;
    Qt::MouseButton pressedButton_ = Qt::NoButton;  // the button that went down on the box
    bool dragArmed_ = false;
    bool repaintAsked_ = false;
    QPoint pressPosition_;
};

// Drop handling shared by every drop target: accepts drags whose source is a
// picture box of this program.
PictureBox* DragSourceOf(const QDropEvent* event);

// Mouse button and modifier codes: 1 left, 2 right, 4 middle; 1 Shift, 2 Ctrl, 4 Alt.
int ButtonCode(Qt::MouseButtons buttons);
int ShiftCode(Qt::KeyboardModifiers modifiers);

}  // namespace murlen
