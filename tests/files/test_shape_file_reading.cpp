// Reading shape files: into the generator's grid (moved to the top-left corner
// and decoded) and for play (corners as they stand).
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "files/shape_file.h"
#include "files_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

std::string SampleText() { return ShapeFileText(SampleGrid()); }

// Rewrites every header and corner value of a file written in record order;
// record numbers stay as they are.
std::string MapCoordinates(const std::string& text, const std::function<std::string(int)>& map) {
    std::vector<std::string> lines = LinesOf(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool recordNumber = i >= 4 && (i - 4) % 7 == 0;
        if (!recordNumber) lines[i] = map(std::stoi(lines[i]));
    }
    return JoinLines(lines);
}

// The same file with its records in reverse order.
std::string RecordsReversed(const std::string& text) {
    const std::vector<std::string> lines = LinesOf(text);
    std::vector<std::string> reversed(lines.begin(), lines.begin() + 4);
    for (int n = 64; n >= 1; --n) {
        const auto first = lines.begin() + (RecordLine(n) - 1);
        reversed.insert(reversed.end(), first, first + 7);
    }
    return JoinLines(reversed);
}

bool SameFigure(const FigureData& a, const FigureData& b) {
    return a.minX == b.minX && a.maxX == b.maxX && a.minY == b.minY && a.maxY == b.maxY &&
           a.points == b.points;
}

}  // namespace

class TestShapeFileReading : public QObject {
    Q_OBJECT

private slots:
    void movesTheFigureToTheTopLeftOfTheGrid() {
        // Columns 3..10 and rows 5..12 in the file become columns 0..7, rows 0..7.
        const auto result = ParseShapeFileIntoGrid(SampleText());
        QVERIFY(result.ok());
        const ShapeFileContents& contents = *result.value;
        QVERIFY(contents.grid == GridFromRows(SampleRows(), 0, 0));
        QCOMPARE(contents.grid.placedCount, 64);
        QVERIFY(contents.grid.Placed(0, 0, 1) && !contents.grid.Placed(0, 0, 2));
        QVERIFY(contents.grid.Falling(0, 0));
        QVERIFY(contents.grid.Placed(7, 7, 2) && contents.grid.Falling(7, 7));
        QVERIFY(!contents.grid.Placed(8, 0, 1) && !contents.grid.Placed(3, 8, 1));
        QCOMPARE(contents.minX, 3.0f);
        QCOMPARE(contents.maxX, 11.0f);
        QCOMPARE(contents.minY, 5.0f);
        QCOMPARE(contents.maxY, 13.0f);
    }

    void bothHalvesOfASquareComeBackWithTheirDiagonal() {
        const ShapeGrid grid = ParseShapeFileIntoGrid(SampleText()).value->grid;
        // (3, 9) falling both and (5, 5) rising both, now at (0, 4) and (2, 0).
        QVERIFY(grid.Placed(0, 4, 1) && grid.Placed(0, 4, 2) && grid.Falling(0, 4));
        QVERIFY(grid.Placed(2, 0, 1) && grid.Placed(2, 0, 2) && !grid.Falling(2, 0));
    }

    void readsForPlayWithTheCornersAsTheyStand() {
        const auto result = ParseShapeFileForPlay(SampleText());
        QVERIFY(result.ok());
        const FigureData& figure = *result.value;
        QCOMPARE(figure.minX, 3.0f);
        QCOMPARE(figure.maxX, 11.0f);
        QCOMPARE(figure.minY, 5.0f);
        QCOMPARE(figure.maxY, 13.0f);
        QVERIFY((figure.points[1] == Triangle{{4, 5}, {3, 5}, {4, 6}}));
        QVERIFY((figure.points[34] == Triangle{{3, 10}, {4, 10}, {3, 9}}));
        QVERIFY((figure.points[64] == Triangle{{10, 13}, {11, 13}, {10, 12}}));
    }

    void readsForPlayAFigureAnywhereOnTheGridPoints() {
        // Moved to negative coordinates: still a figure the board can use.
        const std::string text = MapCoordinates(SampleText(), [](int v) { return std::to_string(v - 10); });
        const auto result = ParseShapeFileForPlay(text);
        QVERIFY(result.ok());
        QCOMPARE(result.value->minX, -7.0f);
        QVERIFY((result.value->points[1] == Triangle{{-6, -5}, {-7, -5}, {-6, -4}}));
    }

    void readsTheFilesItWrites() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Sample.dat");
        QCOMPARE(ProblemName(WriteShapeFile(SampleGrid(), path)), ProblemName(FileProblem::None));
        const auto intoGrid = ReadShapeFileIntoGrid(path);
        QVERIFY(intoGrid.ok());
        QVERIFY(intoGrid.value->grid == GridFromRows(SampleRows(), 0, 0));
        const auto forPlay = ReadShapeFileForPlay(path);
        QVERIFY(forPlay.ok());
        QVERIFY(SameFigure(*forPlay.value, *ParseShapeFileForPlay(SampleText()).value));
    }

    void recordsMayComeInAnyOrder() {
        const std::string reversed = RecordsReversed(SampleText());
        QVERIFY(reversed != SampleText());
        const auto forPlay = ParseShapeFileForPlay(reversed);
        QVERIFY(forPlay.ok());
        QVERIFY(SameFigure(*forPlay.value, *ParseShapeFileForPlay(SampleText()).value));
        const auto intoGrid = ParseShapeFileIntoGrid(reversed);
        QVERIFY(intoGrid.ok());
        QVERIFY(intoGrid.value->grid == GridFromRows(SampleRows(), 0, 0));
    }

    void readsAFileWithTwoUnitsBetweenGridPointsIntoTheGrid() {
        // Every grid point v written as 2v + 1; corners a little off the points.
        std::string text = MapCoordinates(SampleText(), [](int v) { return std::to_string(2 * v + 1); });
        std::vector<std::string> lines = LinesOf(text);
        for (std::size_t i = 4; i < lines.size(); ++i) {
            if ((i - 4) % 7 != 0) lines[i] += ".25";
        }
        text = JoinLines(lines);

        const auto intoGrid = ParseShapeFileIntoGrid(text);
        QVERIFY(intoGrid.ok());
        QVERIFY(intoGrid.value->grid == GridFromRows(SampleRows(), 0, 0));
        QCOMPARE(intoGrid.value->minX, 7.0f);
        QCOMPARE(intoGrid.value->maxY, 27.0f);

        // The board has no use for it: its cells are not one grid square.
        const auto forPlay = ParseShapeFileForPlay(text);
        QCOMPARE(ProblemName(forPlay.problem), ProblemName(FileProblem::BadCell));
        QCOMPARE(forPlay.line, 5);
    }

    void acceptsTheNumberFormsOfOlderFiles() {
        std::string text = SampleText();
        text = WithLine(text, 1, " 3 ");
        text = WithLine(text, 2, "+11");
        text = WithLine(text, 3, "5.0");
        text = WithLine(text, 4, "\t13.");
        text = WithLine(text, 5, "1.000");
        text = WithLine(text, 6, "04");
        // LF line ends and empty lines after the last value.
        std::vector<std::string> lines = LinesOf(text);
        lines.push_back("");
        lines.push_back("  ");
        text = JoinLines(lines, "\n");

        const auto forPlay = ParseShapeFileForPlay(text);
        QVERIFY(forPlay.ok());
        QVERIFY(SameFigure(*forPlay.value, *ParseShapeFileForPlay(SampleText()).value));
        const auto intoGrid = ParseShapeFileIntoGrid(text);
        QVERIFY(intoGrid.ok());
        QVERIFY(intoGrid.value->grid == GridFromRows(SampleRows(), 0, 0));
    }

    void acceptsAFileWithoutTheLastLineEnd() {
        std::string text = SampleText();
        text.resize(text.size() - 2);
        QVERIFY(ParseShapeFileForPlay(text).ok());
        QVERIFY(ParseShapeFileIntoGrid(text).ok());
    }
};

MURLEN_TEST(TestShapeFileReading)
#include "test_shape_file_reading.moc"
