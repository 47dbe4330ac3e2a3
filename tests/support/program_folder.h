// A temporary program folder for a test: a figure list and shape files written
// by the game's own writer, so the window under test never touches build/bin.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "files/shape_file.h"
#include "model/shape_grid.h"

namespace murlen::testing {

// The right isosceles triangle with legs of 8 squares along the top and left
// edges: squares with x + y < 7 whole, the upper-left halves of x + y = 7.
inline ShapeGrid TriangleGrid(int left = 0, int top = 0) {
    ShapeGrid grid;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            if (x + y < 7) {
                grid.Cell(left + x, top + y, 1) = -1;
                grid.Cell(left + x, top + y, 2) = -1;
                grid.placedCount += 2;
            } else if (x + y == 7) {
                grid.Cell(left + x, top + y, 1) = -1;
                grid.placedCount += 1;
            }
        }
    return grid;
}

// A rectangle of 4 x 8 squares whose diagonals all fall (or all rise).
inline ShapeGrid RectangleGrid(bool falling, int left = 0, int top = 0) {
    ShapeGrid grid;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            grid.Diagonal(left + x, top + y) = falling ? -1 : 0;
            grid.Cell(left + x, top + y, 1) = -1;
            grid.Cell(left + x, top + y, 2) = -1;
            grid.placedCount += 2;
        }
    return grid;
}

class ProgramFolder {
public:
    ProgramFolder() { QVERIFY(dir_.isValid()); }

    QString Path() const { return dir_.path(); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }

    void WriteFigure(const QString& name, const ShapeGrid& grid) const {
        const auto problem = WriteShapeFile(grid, FilePath(name + ".dat").toStdString());
        QVERIFY(problem == FileProblem::None);
    }

    // Figures.dat with one quoted name a line.
    void WriteList(const QStringList& names) const {
        QByteArray text;
        for (const QString& name : names) text += "\"" + name.toUtf8() + "\"\r\n";
        WriteBytes("Figures.dat", text);
    }

    void WriteBytes(const QString& name, const QByteArray& bytes) const {
        QFile file(FilePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QByteArray ReadBytes(const QString& name) const {
        QFile file(FilePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The usual folder: Triangle first, then two rectangles.
    void WriteStandardFigures() const {
        WriteFigure("Triangle", TriangleGrid());
        WriteFigure("Rising", RectangleGrid(false));
        WriteFigure("Falling", RectangleGrid(true));
        WriteList({"Triangle", "Rising", "Falling"});
    }

private:
    QTemporaryDir dir_;
};

}  // namespace murlen::testing
