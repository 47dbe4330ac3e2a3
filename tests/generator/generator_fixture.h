// A shape generator window in a temporary program folder, shown and laid out,
// with helpers that click through the window's own handlers and read back the
// pixels of its grid.
#pragma once

#include <QPointer>
#include <QTest>
#include <memory>

#include "generator/frm_shape.h"
#include "generator/shape_editing.h"
#include "support/program_folder.h"
#include "support/scripted_desktop.h"

namespace murlen::testing {

class GeneratorFixture {
public:
    GeneratorFixture() {
        folder.WriteStandardFigures();
        desktop = std::make_unique<ScriptedDesktop>(folder.Path());
        // The window deletes itself when closed; the fixture deletes it
        // otherwise.
        form = new FrmShape(*desktop);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.data())) qWarning("the shape generator was not shown");
    }
    ~GeneratorFixture() { delete form.data(); }

    // A press and release of `button` (1 left, 2 right) at a point of the grid.
    void Click(int button, float x, float y) const {
        form->UniPic_MouseMove(x, y);
        form->UniPic_MouseDown(button);
        form->UniPic_Click();
    }
    void LeftClick(float x, float y) const { Click(1, x, y); }
    void RightClick(float x, float y) const { Click(2, x, y); }

    // Puts a whole figure into the grid, as opening a file would.
    void Load(const ShapeGrid& grid) const {
        form->Grid = grid;
        form->RedrawGrid();
    }

    // The colour UniPic shows at a point of its scale.
    Rgb PixelAt(Point p) const {
        const QPointF pixel = form->UniPic->ToPixels(p) * form->UniPic->Image().devicePixelRatio();
        return Rgb(form->UniPic->Image().pixel(int(pixel.x()), int(pixel.y())) & 0xFFFFFFu);
    }
    // True when a line in the foreground colour passes within a pixel of a
    // point (a line may fall on either side of its mathematical position).
    bool LineNear(Point p) const {
        const QPointF pixel = form->UniPic->ToPixels(p) * form->UniPic->Image().devicePixelRatio();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint at(int(pixel.x()) + dx, int(pixel.y()) + dy);
                if (form->UniPic->Image().valid(at) && Rgb(form->UniPic->Image().pixel(at) & 0xFFFFFFu) == Fore())
                    return true;
            }
        return false;
    }
    // The colour inside half `half` of square (x, y): halfway between the
    // centre of the triangle and its right-angle corner, where the fan that
    // fills it leaves no gap.
    Rgb HalfColor(int x, int y, bool falling, int half) const {
        const CellCorners c = CornersOf(x, y, falling, half);
        const Point centre{(c.a.x + c.b.x + c.c.x) / 3, (c.a.y + c.b.y + c.c.y) / 3};
        return PixelAt({(centre.x + c.b.x) / 2, (centre.y + c.b.y) / 2});
    }
    Rgb Fore() const { return form->UniPic->ForeColor(); }
    Rgb Back() const { return form->UniPic->BackColor(); }

    FileChoice ChoiceIn(const QString& title) const { return FileChoice{folder.FilePath(title), title}; }

    ProgramFolder folder;
    std::unique_ptr<ScriptedDesktop> desktop;
    QPointer<FrmShape> form;
};

}  // namespace murlen::testing
