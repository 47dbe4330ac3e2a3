// A temporary program folder for a test: a figure list and shape files written
// by the game's own writer, so the window under test never touches build/bin.
// The usual folder holds the Triangle, then the rising and the falling 4 x 8
// rectangle.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "support/figures.h"

namespace murlen::testing {

inline ShapeGrid TriangleGrid() { return Shipped("Triangle"); }
inline ShapeGrid RectangleGrid(bool falling) { return Drawn(falling ? kFalling : kRising); }

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
