// Shape files the game must refuse: each kind of damage is reported with its
// problem and the line to blame, and never yields a figure.
#include <QTemporaryDir>
#include <QTest>

#include "files/shape_file.h"
#include "files_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

std::string SampleText() { return ShapeFileText(SampleGrid()); }

std::string WithoutLastLines(const std::string& text, int count) {
    std::vector<std::string> lines = LinesOf(text);
    lines.resize(lines.size() - std::size_t(count));
    return JoinLines(lines);
}

std::string WithExtraRecord(const std::string& text, int n) {
    return text + JoinLines({std::to_string(n), "0", "0", "0", "1", "1", "0"});
}

void AddRow(const char* name, const std::string& text, FileProblem problem, int line) {
    QTest::newRow(name) << QByteArray::fromStdString(text) << int(problem) << line;
}

void AddColumns() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("problem");
    QTest::addColumn<int>("line");
}

}  // namespace

class TestShapeFileRefusals : public QObject {
    Q_OBJECT

private slots:
    void refusedByBothReaders_data() {
        AddColumns();
        const std::string t = SampleText();
        AddRow("word", WithLine(t, 7, "abc"), FileProblem::NotANumber, 7);
        AddRow("empty line", WithLine(t, 1, ""), FileProblem::NotANumber, 1);
        AddRow("exponent", WithLine(t, 6, "4e0"), FileProblem::NotANumber, 6);
        AddRow("hexadecimal", WithLine(t, 6, "0x4"), FileProblem::NotANumber, 6);
        AddRow("decimal comma", WithLine(t, 6, "4,0"), FileProblem::NotANumber, 6);
        AddRow("two numbers", WithLine(t, 6, "4 4"), FileProblem::NotANumber, 6);
        AddRow("point only", WithLine(t, 6, "."), FileProblem::NotANumber, 6);
        AddRow("sign only", WithLine(t, 6, "-"), FileProblem::NotANumber, 6);
        AddRow("huge", WithLine(t, 6, "10000001"), FileProblem::NotANumber, 6);
        AddRow("N zero", WithLine(t, 5, "0"), FileProblem::BadRecordNumber, 5);
        AddRow("N 65", WithLine(t, 5, "65"), FileProblem::BadRecordNumber, 5);
        AddRow("N negative", WithLine(t, 12, "-2"), FileProblem::BadRecordNumber, 12);
        AddRow("N fraction", WithLine(t, 5, "1.5"), FileProblem::BadRecordNumber, 5);
        AddRow("N twice", WithLine(t, 12, "1"), FileProblem::DuplicateRecord, 12);
        AddRow("extra record 65", WithExtraRecord(t, 65), FileProblem::BadRecordNumber, 453);
        AddRow("extra record 7", WithExtraRecord(t, 7), FileProblem::DuplicateRecord, 453);
        AddRow("63 records", WithoutLastLines(t, 7), FileProblem::WrongRecordCount, 0);
        AddRow("cut record", WithoutLastLines(t, 1), FileProblem::WrongRecordCount, 0);
        AddRow("header only", WithoutLastLines(t, 448), FileProblem::WrongRecordCount, 0);
        AddRow("cut header", WithoutLastLines(t, 449), FileProblem::WrongRecordCount, 0);
        AddRow("empty file", "", FileProblem::WrongRecordCount, 0);
        AddRow("blank lines only", "\r\n\r\n", FileProblem::WrongRecordCount, 0);
        AddRow("cells the same", WithCorners(t, 12, {4, 5, 3, 5, 4, 6}), FileProblem::DuplicateCell, 12);
        // Square (3, 5) is falling with its upper half taken; its rising lower
        // half would overlap it.
        AddRow("diagonals cross", WithCorners(t, 12, {4, 6, 4, 5, 3, 6}), FileProblem::DuplicateCell, 12);
    }

    void refusedByBothReaders() {
        QFETCH(QByteArray, text);
        QFETCH(int, problem);
        QFETCH(int, line);
        const auto forPlay = ParseShapeFileForPlay(text.toStdString());
        QVERIFY(!forPlay.ok());
        QCOMPARE(ProblemName(forPlay.problem), ProblemName(FileProblem(problem)));
        QCOMPARE(forPlay.line, line);
        const auto intoGrid = ParseShapeFileIntoGrid(text.toStdString());
        QVERIFY(!intoGrid.ok());
        QCOMPARE(ProblemName(intoGrid.problem), ProblemName(FileProblem(problem)));
        QCOMPARE(intoGrid.line, line);
    }

    void refusedForPlay_data() {
        AddColumns();
        const std::string t = SampleText();
        // Record 1 is the falling upper half of (3, 5): 4, 5, 3, 5, 4, 6.
        AddRow("corner moved", WithLine(t, 6, "5"), FileProblem::BadCell, 5);
        AddRow("anticlockwise", WithCorners(t, 5, {4, 5, 4, 6, 3, 5}), FileProblem::BadCell, 5);
        AddRow("right angle not P1", WithCorners(t, 5, {3, 5, 4, 5, 4, 6}), FileProblem::BadCell, 5);
        AddRow("legs of two", WithCorners(t, 5, {5, 5, 3, 5, 5, 7}), FileProblem::BadCell, 5);
        AddRow("one point", WithCorners(t, 5, {4, 5, 4, 5, 4, 5}), FileProblem::BadCell, 5);
        std::string halfway = t;
        for (int line = 6; line <= 11; ++line) {
            halfway = WithLine(halfway, line, LinesOf(t)[std::size_t(line - 1)] + ".5");
        }
        AddRow("between grid points", halfway, FileProblem::BadCell, 5);
        AddRow("header left", WithLine(t, 1, "4"), FileProblem::BadHeader, 1);
        AddRow("header right", WithLine(t, 2, "10"), FileProblem::BadHeader, 2);
        AddRow("header top", WithLine(t, 3, "6"), FileProblem::BadHeader, 3);
        AddRow("header bottom", WithLine(t, 4, "12.5"), FileProblem::BadHeader, 4);
        AddRow("header upside down", WithLine(WithLine(t, 3, "13"), 4, "5"), FileProblem::BadHeader, 3);
    }

    void refusedForPlay() {
        QFETCH(QByteArray, text);
        QFETCH(int, problem);
        QFETCH(int, line);
        const auto result = ParseShapeFileForPlay(text.toStdString());
        QVERIFY(!result.ok());
        QCOMPARE(ProblemName(result.problem), ProblemName(FileProblem(problem)));
        QCOMPARE(result.line, line);
    }

    void refusedIntoTheGrid_data() {
        AddColumns();
        const std::string t = SampleText();
        AddRow("unit zero", WithCorners(t, 5, {4, 5, 4, 5, 4, 6}), FileProblem::BadCell, 5);
        AddRow("right of the grid", WithCorners(t, 12, {40, 5, 40, 6, 41, 5}), FileProblem::OutOfGrid, 12);
        AddRow("left of the box", WithCorners(t, 12, {1, 5, 1, 6, 2, 5}), FileProblem::OutOfGrid, 12);
        AddRow("above the box", WithCorners(t, 12, {5, 3, 5, 4, 6, 3}), FileProblem::OutOfGrid, 12);
        // One corner far out, though the square it names is free and inside.
        AddRow("corner beyond the grid", WithCorners(t, 12, {4, 5, 4, 6, 44, 5}), FileProblem::OutOfGrid, 12);
        // Corners on the last grid line (26 once moved) name square 26.
        AddRow("square 26", WithCorners(t, 12, {29, 5, 29, 6, 29, 5}), FileProblem::OutOfGrid, 12);
        // A tiny unit throws everything far out; no overflow on the way.
        AddRow("tiny unit", WithLine(WithLine(t, 6, "3.000001"), 7, "5"), FileProblem::OutOfGrid, 5);
    }

    void refusedIntoTheGrid() {
        QFETCH(QByteArray, text);
        QFETCH(int, problem);
        QFETCH(int, line);
        const auto result = ParseShapeFileIntoGrid(text.toStdString());
        QVERIFY(!result.ok());
        QCOMPARE(ProblemName(result.problem), ProblemName(FileProblem(problem)));
        QCOMPARE(result.line, line);
    }

    void refusesFilesThatCannotBeRead() {
        QTemporaryDir dir;
        QCOMPARE(ProblemName(ReadShapeFileForPlay(PathIn(dir, "Missing.dat")).problem),
                 ProblemName(FileProblem::NotFound));
        QCOMPARE(ProblemName(ReadShapeFileIntoGrid(PathIn(dir, "Missing.dat")).problem),
                 ProblemName(FileProblem::NotFound));

        std::filesystem::create_directory(PathIn(dir, "Folder.dat"));
        QCOMPARE(ProblemName(ReadShapeFileForPlay(PathIn(dir, "Folder.dat")).problem),
                 ProblemName(FileProblem::Unreadable));
        QCOMPARE(ProblemName(ReadShapeFileIntoGrid(PathIn(dir, "Folder.dat")).problem),
                 ProblemName(FileProblem::Unreadable));
    }

    void refusesHugeFilesBeforeReadingThem() {
        // A valid file followed by more than a mebibyte of blank lines.
        const std::string huge = SampleText() + std::string(1024 * 1024, '\n');
        QCOMPARE(ProblemName(ParseShapeFileForPlay(huge).problem), ProblemName(FileProblem::TooLarge));
        QCOMPARE(ProblemName(ParseShapeFileIntoGrid(huge).problem), ProblemName(FileProblem::TooLarge));

        QTemporaryDir dir;
        WriteBytes(PathIn(dir, "Huge.dat"), huge);
        QCOMPARE(ProblemName(ReadShapeFileForPlay(PathIn(dir, "Huge.dat")).problem),
                 ProblemName(FileProblem::TooLarge));
        QCOMPARE(ProblemName(ReadShapeFileIntoGrid(PathIn(dir, "Huge.dat")).problem),
                 ProblemName(FileProblem::TooLarge));
    }
};

MURLEN_TEST(TestShapeFileRefusals)
#include "test_shape_file_refusals.moc"
