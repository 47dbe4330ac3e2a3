// The game without a window: moves that keep every piece in one place, the
// rules a placement breaks, Undo and Redo, the clock and its states, the best
// times, game files and the game kept against a crash.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "model/solver.h"
#include "play/game.h"
#include "support/figures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// A game on the Triangle that keeps what outlives it in a folder of its own,
// and a solution of the Triangle.
struct PlayFixture {
    QTemporaryDir folder;
    std::filesystem::path Path(const char* name) const { return folder.filePath(name).toStdString(); }
    Game game{GameKeeping{Path("state"), {}, Path("best times.txt"), Path("record.txt")}};
    CellArray<std::int16_t> solution;

    PlayFixture() {
        game.NewFigure("Triangle", FigureOf(Shipped("Triangle")));
        solution = *KnownSolution(game.Figure().points);
    }
    // The solution but for the piece of cell 64, which waits in the pool.
    SavedGame AlmostSolved(std::int32_t seconds, bool hinted) const {
        SavedGame saved{seconds, "Triangle", solution, hinted};
        saved.board[kCellCount] = 0;
        return saved;
    }
    Move LastMove() const { return {solution[kCellCount], kPool, kCellCount}; }
    // The seconds of the game kept against a crash, -1 while none is kept.
    int KeptSeconds() const {
        const QStringList kept = QDir(folder.filePath("state")).entryList({"*.kyp"});
        if (kept.size() != 1) return -1;
        const ReadResult<SavedGame> read = ReadGameFile(Path("state") / kept[0].toStdString());
        return read.ok() ? read.value->seconds : -1;
    }
};

// Every piece in the pool or on exactly one cell, and the rule colours as the
// rules say.
bool Consistent(const Game& game) {
    for (int piece = 1; piece <= kPieceCount; ++piece) {
        int cells = 0;
        for (int cell = 1; cell <= kCellCount; ++cell) cells += game.Board(cell) == piece;
        if (cells != (game.InPool(piece) ? 0 : 1)) return false;
    }
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const int piece = game.Board(cell);
        if (game.Violation(cell) != (piece != 0 && !PieceFits(game.Neighbours(), game.State().pieces, cell, piece)))
            return false;
    }
    return true;
}

}  // namespace

class TestPlay : public QObject {
    Q_OBJECT
private slots:
    void movesKeepEveryPieceInOnePlace() {
        PlayFixture play;
        Game& game = play.game;
        const std::vector<std::pair<Move, bool>> moves{
            {{5, kPool, 10}, true},       {{5, kPool, 11}, false},  // a placed piece is in the pool no more
            {{6, kPool, 10}, false},      {{5, 10, 12}, true},      // a taken cell; from cell to cell
            {{5, 10, 13}, false},         {{63, kPool, 13}, true},  // from where it is not
            {{64, kPool, 14}, true},      {{5, 12, kPool}, true},   // back to the pool
            {{5, kPool, kPool}, false},   {{65, kPool, 1}, false}, {{0, kPool, 1}, false}, {{7, kPool, 13}, false}};
        for (const auto& [move, made] : moves) {
            QCOMPARE(game.Play(move), made);
            QVERIFY(Consistent(game));
        }
        QCOMPARE(game.PiecesInPool(), kPieceCount - 2);
        // A full board with a rule broken is no solution; the solution is.
        game.Load(play.AlmostSolved(0, false), game.Figure(), {}, {});
        const int last = play.solution[kCellCount], other = play.solution[1];
        QVERIFY(game.Play({other, 1, kPool}) && game.Play({last, kPool, 1}) && game.Play({other, kPool, kCellCount}));
        QVERIFY(!game.Solved() && Consistent(game) && game.Violation(1));
        QVERIFY(game.Play({other, kCellCount, kPool}) && game.Play({last, 1, kCellCount}) && game.Play({other, kPool, 1}));
        QVERIFY(game.Solved());
    }

    void undoAndRedoTakeBackWholeSteps() {
        PlayFixture play;
        Game& game = play.game;
        QVERIFY(game.Play({5, kPool, 10}) && game.Play({5, 10, 11}) && game.Play({9, kPool, 12}));
        QCOMPARE(game.Undo(), Step({{9, 12, kPool}}));
        QCOMPARE(game.Undo(), Step({{5, 11, 10}}));
        QCOMPARE(game.Redo(), Step({{5, 10, 11}}));
        QVERIFY(game.CanRedo());
        QVERIFY(game.Play({7, kPool, 1}));  // a new move: nothing left to redo
        QVERIFY(!game.CanRedo() && game.Redo().empty());
        // A hint is a step of its own, and marks the game.
        game.NewFigure("Triangle", game.Figure());
        QCOMPARE(game.PlayHint(play.solution), Move({play.solution[1], kPool, 1}));
        QVERIFY(game.Hinted());
        QCOMPARE(game.Undo(), Step({{play.solution[1], 1, kPool}}));
        QVERIFY(game.Undo().empty() && !game.CanUndo() && Consistent(game));
    }

    void theClockRunsFromAMoveUntilPausedLaidOutOrSolved() {
        PlayFixture play;
        Game& game = play.game;
        const auto clock = [&game] { return std::tuple{game.ClockState(), game.Label(), game.Seconds(), game.PauseMarked()}; };
        QCOMPARE(clock(), std::tuple(Clock::Stopped, ScoreLabel::Empty, 0, false));
        QVERIFY(game.Play({5, kPool, 10}));
        QVERIFY(!game.TickClock().solved);
        QCOMPARE(clock(), std::tuple(Clock::Running, ScoreLabel::Seconds, 1, false));
        game.Pause();
        QCOMPARE(clock(), std::tuple(Clock::Paused, ScoreLabel::Pause, 1, true));
        QTRY_COMPARE(play.KeptSeconds(), 1);  // kept at once
        QVERIFY(game.Play({6, kPool, 11}));   // the move ends the pause, a tick its mark
        QCOMPARE(clock(), std::tuple(Clock::Running, ScoreLabel::Pause, 1, true));
        for (int second = 2; second <= 11; ++second) game.TickClock();
        QCOMPARE(clock(), std::tuple(Clock::Running, ScoreLabel::Seconds, 11, false));
        QTRY_COMPARE(play.KeptSeconds(), 11);  // and every ten seconds
        game.StopClock();                      // a layout
        QCOMPARE(clock(), std::tuple(Clock::Stopped, ScoreLabel::Empty, 11, false));

        // A solved board stops the clock at the tick after the last piece.
        game.Load(play.AlmostSolved(40, false), game.Figure(), {}, {});
        QVERIFY(game.Play(play.LastMove()));
        const Tick tick = game.TickClock();
        QVERIFY(tick.solved && tick.score == 40);
        QCOMPARE(game.ClockState(), Clock::Solved);
        game.End();
        QCOMPARE(play.KeptSeconds(), -1);
    }

    void bestTimesComeFromGamesWithoutAHint() {
        PlayFixture play;
        Game& game = play.game;
        const auto solveIn = [&](std::int32_t seconds, bool hinted) {
            game.Load(play.AlmostSolved(seconds, hinted), game.Figure(), {}, {});
            game.Play(play.LastMove());
            return game.TickClock().newBestTime;
        };
        QVERIFY(solveIn(50, false));
        QVERIFY(!solveIn(60, false));
        QVERIFY(!solveIn(10, true));
        QVERIFY(solveIn(40, false));
        const std::vector<BestTime> times = game.ReadBestTimes().times;
        QCOMPARE(times.size(), std::size_t(1));
        QCOMPARE(times[0].seconds, 40);
        // Every game goes into the record once, with the help it took.
        QVERIFY(game.Play({play.LastMove().piece, kCellCount, kPool}) && game.Play(play.LastMove()));
        QVERIFY(game.TickClock().solved);
        const Record record = game.ReadPlayerRecord();
        QCOMPARE(record.games.size(), std::size_t(4));
        QCOMPARE(record.games[2].help, Help::Hint);
        QCOMPARE(RecordOf("Triangle", record, {}).best, 40);
    }

    void aSolutionShownIsOneStep() {
        PlayFixture play;
        Game& game = play.game;
        QVERIFY(game.Play({play.solution[2], kPool, 2}) && game.Play({play.solution[1], kPool, 3}));
        QVERIFY(game.PlaySolution(play.solution).empty());  // it does not keep the board
        QVERIFY(game.Play({play.solution[1], 3, kPool}));
        QCOMPARE(game.PlaySolution(play.solution).size(), std::size_t(kCellCount - 1));
        QVERIFY(game.Solved() && game.HelpTaken() == Help::Solution && game.Saved().hinted);
        QCOMPARE(game.Undo().size(), std::size_t(kCellCount - 1));
        QCOMPARE(game.PiecesInPool(), kPieceCount - 1);
    }

    void gamesAreSavedUnderANameThatCouldBeWritten() {
        PlayFixture play;
        Game& game = play.game;
        QVERIFY(game.Play({63, kPool, 3}));
        QCOMPARE(game.SaveAs(play.Path("a.kyp"), "a.kyp"), FileProblem::None);
        QCOMPARE(game.SaveAs(play.Path("missing/b.kyp"), "b.kyp"), FileProblem::NotWritable);
        QCOMPARE(game.FileTitle(), std::string("a.kyp"));
        QCOMPARE(ReadGameFile(game.FilePath()).value, game.Saved());
        game.NewFigure("Triangle", game.Figure());
        QVERIFY(game.FileTitle().empty() && game.PiecesInPool() == kPieceCount);
    }
};

MURLEN_TEST(TestPlay)
#include "test_play.moc"
