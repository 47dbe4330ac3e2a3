// The solver: figures refuted by counting, each with its reason; figures solved
// with and without pieces already on the board; boards that cannot be
// completed; a figure only the search can refute; budget and cancelling. Every
// solution is checked by laying it with the game's own rule check.
#include <QTest>
#include <atomic>

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

// Passes every count, yet has no solution: the search proves it in a few dozen
// nodes (found among random grown figures).
CellArray<Triangle> SearchRefutedFigure() {
    return Figure({
        "....L....",
        "...J//L..",
        "..\\/JJ/..",
        "..//\\/F..",
        ".\\\\L7\\/\\F",
        "J\\/\\/7/\\.",
        ".7\\\\\\F...",
        "..F//....",
    });
}

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
    // Counting arguments, one figure each.

    void moreThan16P1P2EdgesOnTheBorderRefuteAFigure() {
        ExpectRefutedByCounts(TallStrip(), UnsolvableReason::TooManyP1P2OnBorder);
    }
    void moreThan16P1P3EdgesOnTheBorderRefuteAFigure() {
        ExpectRefutedByCounts(WideStrip(), UnsolvableReason::TooManyP1P3OnBorder);
    }
    void moreThan16LongEdgesOnTheBorderRefuteAFigure() {
        ExpectRefutedByCounts(DiagonalBandCells(), UnsolvableReason::TooManyP2P3OnBorder);
    }
    void moreThan4CellsWithTheSameTwoBorderEdgesRefuteAFigure() {
        ExpectRefutedByCounts(Comb(), UnsolvableReason::TooManyTwoEdgesOnBorder);
    }
    void moreThanOneLoneCellRefutesAFigure() {
        ExpectRefutedByCounts(TwoLoneCells(), UnsolvableReason::TooManyLoneCells);
    }
    void fewerThan27InnerCellsRefuteAFigure() {
        ExpectRefutedByCounts(ThreeBars(), UnsolvableReason::TooFewInnerCells);
    }
    void aBorderThatNeedsMorePiecesThanExistRefutesAFigure() {
        ExpectRefutedByCounts(Frame(), UnsolvableReason::BorderNeedsMissingPieces);
    }

    void solvableFiguresPassTheCounts() {
        QCOMPARE(int(CheckCounts(BuildNeighbourTable(Triangle8()))), int(UnsolvableReason::None));
        QCOMPARE(int(CheckCounts(BuildNeighbourTable(CellsFrom(RisingBlock())))), int(UnsolvableReason::None));
        QCOMPARE(int(CheckCounts(BuildNeighbourTable(Diamond()))), int(UnsolvableReason::None));
    }

    // Solving an empty board.

    void solvesTheTriangle() { ExpectSolved(Triangle8(), SolveFigure(Triangle8())); }
    void solvesTheRisingBlock() {
        const CellArray<Triangle> figure = CellsFrom(RisingBlock());
        ExpectSolved(figure, SolveFigure(figure));
    }
    void solvesTheDiamond() { ExpectSolved(Diamond(), SolveFigure(Diamond())); }

    void refutesTheMixedFigureByCounting() {
        // 18 cells with P1P2 on the border (and lone cells besides).
        ExpectRefutedByCounts(CellsFrom(MixedFigure()), UnsolvableReason::TooManyP1P2OnBorder);
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

    void keepsThePiecesAlreadyOnTheBoard() {
        const CellArray<Triangle> figure = Diamond();
        SolverOptions first;
        first.seed = 1;
        const SolveResult full = SolveFigure(figure, first);
        QCOMPARE(int(full.verdict), int(SolveVerdict::Solved));
        // Every third piece of one solution stays; another seed completes it.
        CellArray<std::int16_t> placed = EmptyBoard();
        for (int cell = 1; cell <= kCellCount; cell += 3) placed[cell] = full.board[cell];

        SolverOptions second;
        second.seed = 7;
        const SolveResult result = SolveFigure(figure, placed, second);
        ExpectSolved(figure, result);
        for (int cell = 1; cell <= kCellCount; ++cell) {
            if (placed[cell] != 0) QCOMPARE(result.board[cell], placed[cell]);
        }
    }

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

    void piecesThatBreakNoRuleYetLeaveNoSolutionCannotStay() {
        // The block has 16 cells with P1P3 (top or bottom) on the border, and
        // the set exactly 16 pieces with P1P3 all black. One of them inside
        // the block breaks no rule, but leaves a border cell without a piece.
        const std::vector<SquareHalf> cells = RisingBlock();
        const CellArray<Triangle> figure = CellsFrom(cells);
        const int inner = CellNumber(cells, {3, 1, false, 1});
        constexpr int kP1P3Black = 12;
        CellArray<std::int16_t> placed = EmptyBoard();
        placed[inner] = kP1P3Black;

        BoardFixture board(figure);
        RecordingCanvas canvas;
        board.Place(canvas, kP1P3Black, inner);
        QVERIFY(!board.state.violation[inner]);

        const SolveResult result = SolveFigure(figure, placed);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Unsolvable));
        QCOMPARE(int(result.reason), int(UnsolvableReason::PiecesCannotStay));
        ExpectSolved(figure, SolveFigure(figure));
    }

    void piecesOnAFigureWithoutSolutionTellTheFigure() {
        CellArray<std::int16_t> placed = EmptyBoard();
        placed[5] = 63;
        const SolveResult result = SolveFigure(SearchRefutedFigure(), placed);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Unsolvable));
        QCOMPARE(int(result.reason), int(UnsolvableReason::NoSolution));
    }

    // A refutation only the search finds.

    void theSearchProvesAFigureUnsolvable() {
        const CellArray<Triangle> figure = SearchRefutedFigure();
        QCOMPARE(int(CheckCounts(BuildNeighbourTable(figure))), int(UnsolvableReason::None));
        const SolveResult result = SolveFigure(figure);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Unsolvable));
        QCOMPARE(int(result.reason), int(UnsolvableReason::NoSolution));
        QVERIFY(result.nodes > 0);
        // Another seed searches in another order and comes to the same end.
        SolverOptions options;
        options.seed = 99;
        QCOMPARE(int(SolveFigure(figure, options).reason), int(UnsolvableReason::NoSolution));
    }

    // Budget and cancelling.

    void aFlagSetBeforehandGivesUndecided() {
        std::atomic<bool> cancel{true};
        SolverOptions options;
        options.cancel = &cancel;
        const SolveResult result = SolveFigure(Triangle8(), options);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Undecided));
    }

    void aSpentBudgetGivesUndecided() {
        SolverOptions options;
        options.nodeBudget = 1;
        const SolveResult result = SolveFigure(Triangle8(), options);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Undecided));
        QVERIFY(result.nodes <= 1);
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
