// The figures that ship in resources/figures: the committed files are exactly
// what the table in tools/shipped_figures.cpp gives (run make_figures after
// changing it), Triangle comes first, every figure reads back for play and has
// a solution that the game's own rule check accepts.
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "files/program_folder.h"
#include "files/shape_file.h"
#include "model/solver.h"
#include "support/program_folder.h"
#include "support/rule_check.h"
#include "support/test_registry.h"
#include "tools/shipped_figures.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

const std::filesystem::path kFiguresFolder = std::filesystem::path(MURLEN_SOURCE_DIR) / "resources" / "figures";

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ShapeGrid GridOf(const tools::ShippedFigure& figure) {
    std::string problem;
    const std::optional<ShapeGrid> grid = tools::GridFromDrawing(figure.drawing, &problem);
    if (!grid) qFatal("%s: %s", figure.name, problem.c_str());
    return *grid;
}

}  // namespace

class TestShippedFigures : public QObject {
    Q_OBJECT

private slots:
    void everyDrawingHas64Cells() {
        QVERIFY(tools::ShippedFigures().size() >= 8);
        for (const tools::ShippedFigure& figure : tools::ShippedFigures())
            QVERIFY2(GridOf(figure).placedCount == kCellCount, figure.name);
    }

    void triangleComesFirstAndIsTheGamesTriangle() {
        const tools::ShippedFigure& first = tools::ShippedFigures().front();
        QCOMPARE(std::string(first.name), std::string("Triangle"));
        QVERIFY(GridOf(first) == TriangleGrid());
    }

    void namesAreDistinctAndSafe() {
        std::set<std::string> names;
        for (const tools::ShippedFigure& figure : tools::ShippedFigures()) {
            QVERIFY2(IsSafeFigureName(figure.name), figure.name);
            QVERIFY2(names.insert(figure.name).second, figure.name);
        }
    }

    void committedShapeFilesAreWhatTheTableGives() {
        for (const tools::ShippedFigure& figure : tools::ShippedFigures()) {
            const std::filesystem::path path = kFiguresFolder / (std::string(figure.name) + ".dat");
            QVERIFY2(std::filesystem::exists(path), qPrintable(QString::fromStdString(path.string())));
            QVERIFY2(FileBytes(path) == ShapeFileText(GridOf(figure)), figure.name);
        }
    }

    void committedFigureListIsWhatTheTableGives() {
        QCOMPARE(FileBytes(kFiguresFolder / kFigureListName), tools::ShippedFigureListText());
        QCOMPARE(tools::ShippedFigureListText().substr(0, 12), std::string("\"Triangle\"\r\n"));
    }

    void theFolderHoldsNoOtherFigures() {
        std::set<std::string> expected{kFigureListName};
        for (const tools::ShippedFigure& figure : tools::ShippedFigures())
            expected.insert(std::string(figure.name) + ".dat");
        for (const auto& entry : std::filesystem::directory_iterator(kFiguresFolder)) {
            const std::string name = entry.path().filename().string();
            QVERIFY2(expected.count(name) == 1, name.c_str());
        }
    }

    void everyFigureReadsBackForPlay() {
        for (const tools::ShippedFigure& figure : tools::ShippedFigures()) {
            const auto read = ReadShapeFileForPlay(kFiguresFolder / (std::string(figure.name) + ".dat"));
            QVERIFY2(read.ok(), figure.name);
            QVERIFY2(read.value->points == tools::FigurePointsOf(GridOf(figure)), figure.name);
        }
    }

    void everyFigureHasASolutionTheRulesAccept() {
        for (const tools::ShippedFigure& figure : tools::ShippedFigures()) {
            const auto read = ReadShapeFileForPlay(kFiguresFolder / (std::string(figure.name) + ".dat"));
            QVERIFY2(read.ok(), figure.name);
            const SolveResult result = SolveFigure(read.value->points);
            QVERIFY2(result.verdict == SolveVerdict::Solved, figure.name);
            const QString problems = RuleProblems(read.value->points, result.board);
            QVERIFY2(problems.isEmpty(), qPrintable(QString(figure.name) + ": " + problems));
        }
    }

    // The drawing notation refuses what it does not know.

    void aDrawingWithHalfASquareIsRefused() {
        std::string problem;
        QVERIFY(!tools::GridFromDrawing("///", &problem).has_value());
        QVERIFY(!problem.empty());
    }

    void aDrawingWithUnknownCharactersIsRefused() {
        QVERIFY(!tools::GridFromDrawing("//x/").has_value());
        QVERIFY(!tools::GridFromDrawing("/x").has_value());
    }

    void aDrawingBeyondTheGridIsRefused() {
        std::string wide;
        for (int x = 0; x <= kGridSquares; ++x) wide += "//";
        QVERIFY(!tools::GridFromDrawing(wide).has_value());
        QVERIFY(tools::GridFromDrawing(wide.substr(2)).has_value());
    }

    void aDrawingPlacesHalvesAndDiagonals() {
        const std::optional<ShapeGrid> grid = tools::GridFromDrawing("\n..\\^/_\n/^..\\\\\n");
        QVERIFY(grid.has_value());
        QCOMPARE(grid->placedCount, 5);
        QVERIFY(grid->Falling(1, 0) && grid->Placed(1, 0, 1) && !grid->Placed(1, 0, 2));
        QVERIFY(!grid->Falling(2, 0) && !grid->Placed(2, 0, 1) && grid->Placed(2, 0, 2));
        QVERIFY(!grid->Falling(0, 1) && grid->Placed(0, 1, 1) && !grid->Placed(0, 1, 2));
        QVERIFY(grid->Falling(2, 1) && grid->Placed(2, 1, 1) && grid->Placed(2, 1, 2));
        QVERIFY(!grid->Placed(0, 0, 1) && !grid->Placed(1, 1, 1));
    }
};

MURLEN_TEST(TestShippedFigures)
#include "test_shipped_figures.moc"
