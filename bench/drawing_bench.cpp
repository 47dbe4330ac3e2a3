// Timings of the hot paths of play: a whole layout of the game window, drawing
// the pool, the empty figure and a full board, building the neighbour table,
// finding the cell under the pointer, the shape generator's full redraw, and
// keeping the game in progress after a move, the figure chooser's showing,
// and recording a solved game.
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
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/image_canvas.h"
#include "app/qt_desktop.h"
#include "files/game_in_progress.h"
#include "files/record.h"
#include "files/shape_file.h"
#include "game/frm_figures.h"
#include "game/tri_form.h"
#include "generator/frm_shape.h"
#include "model/geometry.h"
#include "model/piece.h"
#include "model/random_figure.h"
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

// The figure chooser, from the menu's click to its first paint, with every
// figure of the menu: the shipped ones and range(0) of the player's, each
// solved ten times in the record. With range(1) = 1 every rating comes from
// the cache; with 0 none does, and the chooser must show at once all the
// same while the ratings are worked out behind it.
void BM_ShowFigureChooser(benchmark::State& state) {
    namespace fs = std::filesystem;
    const QTemporaryDir programFolder;
    const fs::path program = programFolder.path().toStdString();
    for (const auto& entry : fs::directory_iterator(MURLEN_PROGRAM_FOLDER))
        if (entry.path().extension() == ".dat") fs::copy_file(entry.path(), program / entry.path().filename());
    NoEventsDesktop desktop(programFolder.path());
    const fs::path data = desktop.DataFolder().toStdString();
    fs::create_directories(data);
    std::ofstream list(program / "Figures.dat", std::ios::app | std::ios::binary);
    const GrowthStyle style{{0, 1, 3, 6}, 0.5, 16, 16, false};
    for (std::uint64_t seed = 1, added = 0; added < std::uint64_t(state.range(0)); ++seed) {
        const std::optional<ShapeGrid> grid = GrowFigure(style, seed);
        if (!grid) continue;
        const std::string name = "Player " + std::to_string(++added);
        WriteShapeFile(*grid, program / (name + ".dat"));
        list << '"' << name << "\"\r\n";
    }
    list.close();
    TriForm form(desktop);
    form.show();
    QCoreApplication::processEvents();
    std::ofstream record(data / "solved games.txt", std::ios::binary);
    for (int i = 0; i < form.mnuShape->Count(); ++i)
        for (int game = 0; game < 10; ++game)
            record << RecordLine({(*form.mnuShape)[i]->text().toStdString(), "2026-12-01 10:00:00", 100 + game, Help::None});
    record.close();
    const fs::path ratings = desktop.CacheFolder().toStdString() + "/difficulty.txt";
    if (state.range(1) == 1) {  // rated once, as on every visit after the first
        form.mnuFigures_Click();
        while (form.frmFigures->RatingBusy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        form.frmFigures->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    for (auto _ : state) {
        if (state.range(1) == 0) fs::remove(ratings);
        form.mnuFigures_Click();
        form.frmFigures->repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        form.frmFigures->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["figures"] = form.mnuShape->Count();
}
BENCHMARK(BM_ShowFigureChooser)->ArgsProduct({{0, 100, 500}, {1, 0}})->ArgNames({"player", "cached"})
    ->Unit(benchmark::kMillisecond);

// A solved game added to a record that holds range(0) games already: what the
// interface thread pays when a game is solved.
void BM_RecordSolvedGame(benchmark::State& state) {
    const QTemporaryDir folder;
    const std::filesystem::path file = folder.filePath("solved games.txt").toStdString();
    {
        std::ofstream record(file, std::ios::binary);
        for (int i = 0; i < state.range(0); ++i) record << RecordLine({"Triangle", "2026-12-01 10:00:00", 100 + i % 50, Help::None});
    }
    for (auto _ : state)
        if (AddToRecord(file, {"Triangle", "2026-12-08 10:00:00", 90, Help::Hint}) != FileProblem::None) state.SkipWithError("not written");
}
BENCHMARK(BM_RecordSolvedGame)->Arg(0)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--ratio") qputenv("QT_SCALE_FACTOR", argv[i + 1]);
    // What the windows keep of the user's goes to folders of this run.
    const QTemporaryDir userData, userState, userConfig, userCache;
    qputenv("XDG_DATA_HOME", userData.path().toUtf8());
    qputenv("XDG_STATE_HOME", userState.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", userConfig.path().toUtf8());
    qputenv("XDG_CACHE_HOME", userCache.path().toUtf8());
    QApplication app(argc, argv);
    std::printf("device pixel ratio %g\n", app.devicePixelRatio());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
