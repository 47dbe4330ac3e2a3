// Timings of the hot paths of play: a whole layout of the game window, drawing
// the pool, the empty figure and a full board, building the neighbour table,
// finding the cell under the pointer, the shape generator's full redraw, and
// keeping the game in progress after a move.
//
//   drawing_bench [--ratio R] [Google Benchmark options]
//
// --ratio 2 draws as on a screen of twice the density (QT_SCALE_FACTOR=2).
// Pending events are not run where the windows let them run (DoEvents), so
// that the timings are of the drawing alone. make bench runs ratios 1 and 2.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/image_canvas.h"
#include "app/qt_desktop.h"
#include "files/game_in_progress.h"
#include "files/shape_file.h"
#include "game/tri_form.h"
#include "generator/frm_shape.h"
#include "model/geometry.h"
#include "model/piece.h"
#include "model/rules.h"
#include "model/solver.h"
#include "tools/shipped_figures.h"

using namespace murlen;

namespace {

// The desktop of a real run, but pending events wait: the timings are of the
// drawing alone.
class NoEventsDesktop : public QtDesktop {
public:
    using QtDesktop::QtDesktop;
    void DoEvents() override {}
};

// The shipped Triangle, the figure the game starts with.
FigureData TriangleFigure() {
    const ShapeGrid grid = *tools::GridFromDrawing(tools::ShippedFigures().front().drawing);
    return *ParseShapeFileForPlay(ShapeFileText(grid)).value;
}

// A board surface of the size the game window gives it at its start.
ImageCanvas BoardCanvas() {
    ImageCanvas canvas(QSize(620, 540), 0xEFEFEF);
    canvas.SetScale(0, 0, kBoardScaleWidth, kBoardScaleHeight);
    return canvas;
}

void BM_DrawPool(benchmark::State& state) {
    std::vector<std::unique_ptr<ImageCanvas>> surfaces;
    std::array<Canvas*, kPieceCount> pool{};
    for (int i = 0; i < kPieceCount; ++i) {
        surfaces.push_back(std::make_unique<ImageCanvas>(QSize(34, 34), 0xEFEFEF));
        surfaces.back()->SetScale(0, 0, 42, 42);
        pool[std::size_t(i)] = surfaces.back().get();
    }
    for (auto _ : state) DrawPool(pool);
}
BENCHMARK(BM_DrawPool)->Unit(benchmark::kMillisecond);

void BM_DrawFigure(benchmark::State& state) {
    const FigureData figure = TriangleFigure();
    ImageCanvas canvas = BoardCanvas();
    for (auto _ : state) {
        canvas.Cls();
        const CellArray<Triangle> cells = ToBoardUnits(figure);
        DrawCellOutlines(canvas, cells);
    }
}
BENCHMARK(BM_DrawFigure)->Unit(benchmark::kMillisecond);

// Every cell of a full board drawn and checked, as after a layout.
void BM_DrawBoardCellFullBoard(benchmark::State& state) {
    const FigureData figure = TriangleFigure();
    const CellArray<Triangle> cells = ToBoardUnits(figure);
    const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(figure.points);
    BoardState board;
    for (int cell = 1; cell <= kCellCount; ++cell) board.pieces[cell] = std::int16_t(cell);
    ImageCanvas canvas = BoardCanvas();
    for (auto _ : state)
        for (int cell = 1; cell <= kCellCount; ++cell)
            DrawBoardCell(canvas, BoardView{cells, neighbours, board}, board.pieces[cell], cell, DrawMode::Check);
}
BENCHMARK(BM_DrawBoardCellFullBoard)->Unit(benchmark::kMillisecond);

void BM_BuildNeighbourTable(benchmark::State& state) {
    const FigureData figure = TriangleFigure();
    for (auto _ : state) benchmark::DoNotOptimize(BuildNeighbourTable(figure.points));
}
BENCHMARK(BM_BuildNeighbourTable)->Unit(benchmark::kMicrosecond);

// One pointer position over the board, as every mouse move asks.
void BM_FindNearestCell(benchmark::State& state) {
    const CellArray<Triangle> cells = ToBoardUnits(TriangleFigure());
    float x = 0;
    for (auto _ : state) {
        x = x > kBoardScaleWidth ? 0 : x + 0.37f;
        benchmark::DoNotOptimize(FindNearestCell(cells, x, 0.61f * x));
    }
}
BENCHMARK(BM_FindNearestCell)->Unit(benchmark::kNanosecond);

// A whole layout of the game window with a client area of 1920 x 1080: the
// pool, the empty figure and a solved board drawn again, as after a resize.
void BM_LayoutFullBoard1920x1080(benchmark::State& state) {
    NoEventsDesktop desktop(QStringLiteral(MURLEN_PROGRAM_FOLDER));
    TriForm form(desktop);
    form.show();
    form.resize(1920, 1080 + (form.height() - form.client->height()));
    QCoreApplication::processEvents();  // the layout that follows
    const Game& game = form.CurrentGame();
    const auto solution = KnownSolution(game.Figure().points);
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const Point centre = Centroid(game.CellPoints()[cell]);
        form.FigurePic_DragDrop(form.TriPool((*solution)[cell]), centre.x, centre.y);
    }
    for (auto _ : state) form.Form_Resize();
    state.counters["client_width"] = form.client->width();
}
BENCHMARK(BM_LayoutFullBoard1920x1080)->Unit(benchmark::kMillisecond);

// The shape generator's full redraw of its largest grid: 24 x 24 squares, two
// cells each, every other row of squares placed.
void BM_RedrawGridSize24(benchmark::State& state) {
    NoEventsDesktop desktop(QDir::tempPath());
    FrmShape shape(desktop);
    shape.show();
    shape.GridSize = 24;
    for (int x = 0; x < 24; ++x)
        for (int y = 0; y < 24; y += 2) shape.Grid.Cell(x, y, 1) = -1;
    for (auto _ : state) shape.RedrawGrid();
}
BENCHMARK(BM_RedrawGridSize24)->Unit(benchmark::kMillisecond);

// Keeping the game in progress after a move: what the move itself pays (the
// game handed over to the writer), and, waiting for each write, the whole safe
// write to the disk.
void KeepGames(benchmark::State& state, bool waitForTheDisk) {
    QTemporaryDir folder;
    GameInProgress kept(folder.path().toStdString());
    SavedGame game{12, "Triangle", {}, false};
    for (auto _ : state) {
        game.board[1 + state.iterations() % kCellCount] ^= 1;
        kept.Keep(game);
        if (waitForTheDisk) kept.Flush();
    }
    kept.Flush();
}
void BM_KeepGameInProgress(benchmark::State& state) { KeepGames(state, false); }
BENCHMARK(BM_KeepGameInProgress)->Unit(benchmark::kMicrosecond);
void BM_WriteGameInProgressToDisk(benchmark::State& state) { KeepGames(state, true); }
BENCHMARK(BM_WriteGameInProgressToDisk)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--ratio") qputenv("QT_SCALE_FACTOR", argv[i + 1]);
    // The windows keep their games in a folder of this run, away from the user's.
    const QTemporaryDir userData;
    qputenv("XDG_DATA_HOME", userData.path().toUtf8());
    QApplication app(argc, argv);
    std::printf("device pixel ratio %g\n", app.devicePixelRatio());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
