// The solver: figures refuted by counting, each with its reason; figures solved
// with and without pieces already on the board; boards that cannot be
// completed; the hardest figures and boards the benchmark has found; budget,
// time limit and cancelling. Every solution is checked by laying it with the
// game's own rule check.
#include <QTest>
#include <atomic>
#include <utility>
#include <vector>

#include "model/solver.h"
#include "support/figure_fixtures.h"
#include "support/rule_check.h"
#include "support/solver_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

CellArray<Triangle> Figure(std::initializer_list<const char*> rows) { return CellsFrom(CellsFromText(rows)); }

// The right isosceles triangle with legs of 8 squares along the top and left.
CellArray<Triangle> Triangle8() {
    return Figure({"///////F", "//////F", "/////F", "////F", "///F", "//F", "/F", "F"});
}

// 2 squares wide, 16 high, rising: 32 cells have their P1P2 edge (the square's
// left or right side) on the border.
CellArray<Triangle> TallStrip() {
    return Figure({"//", "//", "//", "//", "//", "//", "//", "//", "//", "//", "//", "//", "//", "//", "//", "//"});
}

// 16 squares wide, 2 high, rising: 32 cells with P1P3 (top or bottom) on the border.
CellArray<Triangle> WideStrip() { return Figure({"////////////////", "////////////////"}); }

// A band at 45 degrees: 20 long edges on the border and not one short edge.
CellArray<Triangle> DiagonalBandCells() { return CellsFrom(DiagonalBand()); }

// A block with seven teeth on top and one below: each tooth has its long edge
// and its P1P2 edge on the border, 8 cells with the same two border edges.
CellArray<Triangle> Comb() {
    return Figure({"JJJJJJJ", "///////", "///////", "///////", "///////", "F"});
}

// A block with a hole and two lone cells below it. The corner squares' diagonals
// keep every other count within bounds.
CellArray<Triangle> TwoLoneCells() {
    return Figure({"\\\\\\/////", "///.////", "////////", "/////\\\\\\", "", "F.J"});
}

// Three bars two squares thick with pointed ends: only 26 cells have no edge
// on the border, too few for the 27 pieces without an all-black edge.
CellArray<Triangle> ThreeBars() {
    return Figure({
        "J///////L",
        "7///////F",
        "",
        "J\\\\\\L.J\\\\\\L",
        "7\\\\\\F.7\\\\\\F",
    });
}

// A frame 2 squares wide: 16 cells with P1P2 and 16 with P1P3 on the border,
// each bound met on its own, but 30 cells need one of the two edges black and
// only 28 pieces have either.
CellArray<Triangle> Frame() { return Figure({"//////", "//////", "//..//", "//..//", "//////", "//////"}); }

// A square on its corner, the diagonals parallel to the nearest side: both
// kinds of diagonal, and all 16 long edges on the border.
CellArray<Triangle> Diamond() {
    return Figure({
        "...JL",
        "..J/\\L",
        ".J//\\\\L",
        "J///\\\\\\L",
        "7\\\\\\///F",
        ".7\\\\//F",
        "..7\\/F",
        "...7F",
    });
}

CellArray<std::int16_t> EmptyBoard() {
    CellArray<std::int16_t> board;
    board.Fill(0);
    return board;
}

// The hardest cases of the benchmark (bench/solver_bench), each a figure, the
// pieces on its board as cell:piece pairs, and the verdict. Before the edge
// search and the failure counts each ran for seconds or was never decided.
CellArray<Triangle> ThinFigure() {
    return Figure({"...../", ".....//", "\\////\\\\", "./////\\", "./\\\\\\\\/", ".///\\/\\", "..//\\", "../"});
}
CellArray<Triangle> Cross() {
    return Figure({"....JL", "..../\\", "..../\\", "..../\\", "J////\\\\\\\\L", "7\\\\\\\\////F", "....\\/",
                   "....\\/", "....\\/", "....7F"});
}
CellArray<Triangle> Crown() {
    return Figure({"L..JL..J", "\\LJ//LJ/", "/\\/\\/\\/\\", "\\/\\/\\/\\/", "/\\/\\/\\/\\"});
}
struct HardCase {
    CellArray<Triangle> (*figure)();
    std::vector<std::pair<int, int>> pieces;
    SolveVerdict verdict;
    UnsolvableReason reason;
};
const HardCase kHardCases[] = {
    // No solution: the black-black edges cannot be placed.
    {ThinFigure, {}, SolveVerdict::Unsolvable, UnsolvableReason::NoSolution},
    // One piece whose black-black edge leaves the others no place.
    {Cross, {{17, 29}}, SolveVerdict::Unsolvable, UnsolvableReason::PiecesCannotStay},
    {Cross,
     {{4, 16}, {17, 18}, {22, 56}, {24, 24}, {35, 51}, {38, 38}, {43, 8}, {51, 25}, {55, 53}, {59, 48}, {60, 63}},
     SolveVerdict::Unsolvable,
     UnsolvableReason::PiecesCannotStay},
    // A contradiction among a few of the pieces, deep under any other choice.
    {Triangle8,
     {{17, 45}, {21, 64}, {25, 53}, {26, 22}, {31, 61}, {33, 17}, {35, 5}, {37, 41}, {44, 2}, {48, 52}, {54, 4},
      {57, 6}, {59, 30}, {64, 63}},
     SolveVerdict::Unsolvable,
     UnsolvableReason::PiecesCannotStay},
    {Crown, {{3, 51}, {9, 62}, {12, 14}, {25, 46}, {37, 57}, {60, 43}}, SolveVerdict::Solved, UnsolvableReason::None},
};

}  // namespace

class TestSolver : public QObject {
    Q_OBJECT

private:
    static void ExpectRefutedByCounts(const CellArray<Triangle>& figure, UnsolvableReason reason) {
        QCOMPARE(int(CheckCounts(BuildNeighbourTable(figure))), int(reason));
        const SolveResult result = SolveFigure(figure);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Unsolvable));
        QCOMPARE(int(result.reason), int(reason));
        QCOMPARE(result.nodes, std::uint64_t(0));  // no search needed
    }

    static void ExpectSolved(const CellArray<Triangle>& figure, const SolveResult& result) {
        QCOMPARE(int(result.verdict), int(SolveVerdict::Solved));
        const QString problems = RuleProblems(figure, result.board);
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
        QVERIFY(BoardKeepsRules(BuildNeighbourTable(figure), result.board));
    }

private slots:
    void countingRefutesFiguresWithTheirReason() {
        const std::pair<CellArray<Triangle>, UnsolvableReason> figures[] = {
            {TallStrip(), UnsolvableReason::TooManyP1P2OnBorder},
            {WideStrip(), UnsolvableReason::TooManyP1P3OnBorder},
            {DiagonalBandCells(), UnsolvableReason::TooManyP2P3OnBorder},
            {Comb(), UnsolvableReason::TooManyTwoEdgesOnBorder},
            {TwoLoneCells(), UnsolvableReason::TooManyLoneCells},
            {ThreeBars(), UnsolvableReason::TooFewInnerCells},
            {Frame(), UnsolvableReason::BorderNeedsMissingPieces},
            // 18 cells with P1P2 on the border (and lone cells besides).
            {CellsFrom(MixedFigure()), UnsolvableReason::TooManyP1P2OnBorder},
        };
        for (const auto& [figure, reason] : figures) ExpectRefutedByCounts(figure, reason);
    }

    void solvableFiguresPassTheCountsAndAreSolved() {
        for (const CellArray<Triangle>& figure : {Triangle8(), CellsFrom(RisingBlock()), Diamond()}) {
            QCOMPARE(int(CheckCounts(BuildNeighbourTable(figure))), int(UnsolvableReason::None));
            ExpectSolved(figure, SolveFigure(figure));
        }
    }

    void decidesTheHardestCasesFound() {
        for (const HardCase& hard : kHardCases) {
            const CellArray<Triangle> figure = hard.figure();
            CellArray<std::int16_t> placed = EmptyBoard();
            // Pieces that break no rule where they lie, as a player lays them.
            BoardFixture board(figure);
            RecordingCanvas canvas;
            for (const auto& [cell, piece] : hard.pieces) {
                placed[cell] = std::int16_t(piece);
                board.Place(canvas, piece, cell);
            }
            for (const auto& [cell, piece] : hard.pieces) QVERIFY(!board.state.violation[cell]);
            const SolveResult result = SolveFigure(figure, placed);
            QCOMPARE(int(result.verdict), int(hard.verdict));
            QCOMPARE(int(result.reason), int(hard.reason));
            if (result.verdict != SolveVerdict::Solved) continue;
            ExpectSolved(figure, result);
            for (const auto& [cell, piece] : hard.pieces) QCOMPARE(result.board[cell], std::int16_t(piece));
        }
    }

    void theSameSeedGivesTheSameBoard() {
        SolverOptions options;
        options.seed = 42;
        const SolveResult first = SolveFigure(Triangle8(), options);
        const SolveResult second = SolveFigure(Triangle8(), options);
        QCOMPARE(int(first.verdict), int(SolveVerdict::Solved));
        QVERIFY(first.board == second.board);
        QCOMPARE(first.nodes, second.nodes);
    }

    void knownSolutionGivesABoardThatKeepsTheRules() {
        const std::optional<CellArray<std::int16_t>> board = KnownSolution(Triangle8());
        QVERIFY(board.has_value());
        const QString problems = RuleProblems(Triangle8(), *board);
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
        QVERIFY(!KnownSolution(TallStrip()).has_value());
    }

    // Pieces already on the board.

    void aPieceThatBreaksARuleCannotStay() {
        // The all-white piece on the corner cell of the block: both of its
        // border edges would have to be black.
        const CellArray<Triangle> figure = CellsFrom(RisingBlock());
        CellArray<std::int16_t> placed = EmptyBoard();
        placed[1] = 64;
        BoardFixture board(figure);
        RecordingCanvas canvas;
        board.Place(canvas, 64, 1);
        QVERIFY(board.state.violation[1]);

        const SolveResult result = SolveFigure(figure, placed);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Unsolvable));
        QCOMPARE(int(result.reason), int(UnsolvableReason::PiecesCannotStay));
    }

    void aPieceOnTwoCellsCannotStay() {
        CellArray<std::int16_t> placed = EmptyBoard();
        placed[10] = 63;
        placed[40] = 63;
        const SolveResult result = SolveFigure(Triangle8(), placed);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Unsolvable));
        QCOMPARE(int(result.reason), int(UnsolvableReason::PiecesCannotStay));
    }

    void piecesOnAFigureWithoutSolutionTellTheFigure() {
        CellArray<std::int16_t> placed = EmptyBoard();
        placed[5] = 63;
        const SolveResult result = SolveFigure(ThinFigure(), placed);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Unsolvable));
        QCOMPARE(int(result.reason), int(UnsolvableReason::NoSolution));
    }

    // Budget, time limit and cancelling, on a board whose proof takes some
    // hundred thousand nodes.

    void aSetFlagASpentBudgetOrThePassingTimeGiveUndecided() {
        const HardCase& slow = kHardCases[3];
        CellArray<std::int16_t> placed = EmptyBoard();
        for (const auto& [cell, piece] : slow.pieces) placed[cell] = std::int16_t(piece);
        std::atomic<bool> cancel{true};
        SolverOptions cancelled, poor, late;
        cancelled.cancel = &cancel;
        poor.nodeBudget = 1;
        late.timeLimit = std::chrono::milliseconds(1);
        for (const SolverOptions& options : {cancelled, poor, late}) {
            const SolveResult result = SolveFigure(slow.figure(), placed, options);
            QCOMPARE(int(result.verdict), int(SolveVerdict::Undecided));
            QVERIFY(result.nodes <= options.nodeBudget);
        }
    }

    void aCountingRefutationNeedsNoBudget() {
        SolverOptions options;
        options.nodeBudget = 0;
        QCOMPARE(int(SolveFigure(TallStrip(), options).reason), int(UnsolvableReason::TooManyP1P2OnBorder));
    }

    // The solver's own check agrees with the game's.

    void boardKeepsRulesRefusesABrokenBoard() {
        const CellArray<Triangle> figure = Triangle8();
        const SolveResult result = SolveFigure(figure);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Solved));
        // The all-white piece swapped onto cell 1, whose edges P1P2 and P1P3
        // lie on the border.
        CellArray<std::int16_t> broken = result.board;
        for (int cell = 2; cell <= kCellCount; ++cell) {
            if (broken[cell] == 64) std::swap(broken[1], broken[cell]);
        }
        QCOMPARE(broken[1], std::int16_t(64));
        QVERIFY(!BoardKeepsRules(BuildNeighbourTable(figure), broken));
        QVERIFY(!RuleProblems(figure, broken).isEmpty());
    }
};

MURLEN_TEST(TestSolver)
#include "test_solver.moc"
