// A shape generator window in a temporary program folder, shown and laid out,
// with helpers that click through the window's own handlers and read back the
// pixels of its grid.
#pragma once

#include <QPointer>
#include <QTest>
#include <memory>

#include "generator/frm_shape.h"
#include "support/program_folder.h"
#include "support/scripted_desktop.h"

namespace murlen::testing {

class GeneratorFixture {
public:
    GeneratorFixture() {
        folder.WriteStandardFigures();
        desktop = std::make_unique<ScriptedDesktop>(folder.Path());
        form = new FrmShape(*desktop);  // deletes itself when closed, else the fixture does
        form->show();
        if (!QTest::qWaitForWindowExposed(form.data())) qWarning("the shape generator was not shown");
    }
    ~GeneratorFixture() { delete form.data(); }

    // A press and release of `button` (1 left, 2 right, 4 middle) at a point of the grid.
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
    Rgb Fore() const { return form->UniPic->ForeColor(); }
    Rgb Back() const { return form->UniPic->BackColor(); }

    FileChoice ChoiceIn(const QString& title) const { return FileChoice{folder.FilePath(title), title}; }

    ProgramFolder folder;
    std::unique_ptr<ScriptedDesktop> desktop;
    QPointer<FrmShape> form;
};

}  // namespace murlen::testing
