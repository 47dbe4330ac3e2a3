// The solver off the user interface thread: answers arrive on the owner's
// thread, only the latest request is answered, a cancelled one never is, and
// the reasons read as the user's words in every language.
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <set>

#include "app/background_solver.h"
#include "app/solver_messages.h"
#include "app/strings.h"
#include "support/rule_check.h"
#include "support/solver_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

constexpr int kWait = 30000;  // milliseconds; every answer here takes far less

CellArray<Triangle> Triangle8() {
    return CellsFrom(CellsFromText({"///////F", "//////F", "/////F", "////F", "///F", "//F", "/F", "F"}));
}

CellArray<std::int16_t> EmptyBoard() {
    CellArray<std::int16_t> board;
    board.Fill(0);
    return board;
}

SolveResult ResultOf(const QSignalSpy& spy, int index) { return spy.at(index).at(0).value<SolveResult>(); }

// Waits until the worker has nothing left to do, without running events: an
// answer it has produced is then queued, not yet delivered.
bool WaitForWorker(const BackgroundSolver& solver) {
    const QDeadlineTimer deadline(kWait);
    while (!solver.WorkerIdle()) {
        if (deadline.hasExpired()) return false;
        QThread::yieldCurrentThread();
    }
    return true;
}

// Waits until the worker has nothing left to do, then lets whatever answer it
// has sent reach the owner.
bool DeliverEverything(const BackgroundSolver& solver) {
    const bool idle = QTest::qWaitFor([&solver] { return solver.WorkerIdle(); }, kWait);
    QCoreApplication::processEvents();
    return idle;
}

}  // namespace

class TestBackgroundSolver : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ForceLanguage(std::nullopt); }

    void answersArriveOnTheOwnersThread() {
        BackgroundSolver solver;
        QSignalSpy spy(&solver, &BackgroundSolver::finished);
        QThread* answeredOn = nullptr;
        connect(&solver, &BackgroundSolver::finished, this, [&answeredOn] { answeredOn = QThread::currentThread(); });

        solver.Solve(Triangle8(), EmptyBoard());
        QVERIFY(solver.Busy());
        QVERIFY(spy.isEmpty());  // never inside the request
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kWait);
        QVERIFY(!solver.Busy());
        QCOMPARE(answeredOn, QThread::currentThread());
        const SolveResult result = ResultOf(spy, 0);
        QCOMPARE(int(result.verdict), int(SolveVerdict::Solved));
        const QString problems = RuleProblems(Triangle8(), result.board);
        QVERIFY2(problems.isEmpty(), qPrintable(problems));

        // The pieces on the board are kept: the all-white piece on the corner
        // cell cannot stay.
        CellArray<std::int16_t> placed = EmptyBoard();
        placed[1] = 64;
        solver.Solve(Triangle8(), placed);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, kWait);
        QCOMPARE(int(ResultOf(spy, 1).verdict), int(SolveVerdict::Unsolvable));
        QCOMPARE(int(ResultOf(spy, 1).reason), int(UnsolvableReason::PiecesCannotStay));
    }

    void aNewRequestSupersedesTheOneBefore() {
        BackgroundSolver solver;
        QSignalSpy spy(&solver, &BackgroundSolver::finished);
        // The band's answer is waiting to be delivered when the next request
        // comes; it must never arrive.
        solver.Solve(CellsFrom(DiagonalBand()), EmptyBoard());
        QVERIFY(WaitForWorker(solver));
        solver.Solve(Triangle8(), EmptyBoard());
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kWait);
        QCOMPARE(int(ResultOf(spy, 0).verdict), int(SolveVerdict::Solved));
        QVERIFY(DeliverEverything(solver));
        QCOMPARE(spy.count(), 1);
    }

    void aCancelledRequestIsNeverAnswered() {
        BackgroundSolver solver;
        QSignalSpy spy(&solver, &BackgroundSolver::finished);
        // Cancelled while it runs, or while its answer waits to be delivered.
        solver.Solve(Triangle8(), EmptyBoard());
        solver.Cancel();
        QVERIFY(!solver.Busy());
        QVERIFY(DeliverEverything(solver));
        solver.Solve(Triangle8(), EmptyBoard());
        QVERIFY(WaitForWorker(solver));
        solver.Cancel();
        QVERIFY(DeliverEverything(solver));
        QVERIFY(spy.isEmpty());

        // The next request is answered as usual.
        solver.Solve(CellsFrom(DiagonalBand()), EmptyBoard());
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kWait);
        QCOMPARE(int(ResultOf(spy, 0).reason), int(UnsolvableReason::TooManyP2P3OnBorder));
    }

    void destroyingTheSolverDropsItsRequest() {
        auto* solver = new BackgroundSolver;
        QSignalSpy spy(solver, &BackgroundSolver::finished);
        solver->Solve(Triangle8(), EmptyBoard());
        delete solver;  // waits for the worker; its answer goes nowhere
        QCoreApplication::processEvents();
        QVERIFY(spy.isEmpty());
    }

    void everyReasonHasItsOwnWordsInEveryLanguage() {
        const UnsolvableReason reasons[] = {
            UnsolvableReason::TooManyP1P2OnBorder,     UnsolvableReason::TooManyP1P3OnBorder,
            UnsolvableReason::TooManyP2P3OnBorder,     UnsolvableReason::TooManyTwoEdgesOnBorder,
            UnsolvableReason::TooManyLoneCells,        UnsolvableReason::TooFewInnerCells,
            UnsolvableReason::BorderNeedsMissingPieces, UnsolvableReason::NoSolution,
            UnsolvableReason::PiecesCannotStay};
        for (const Language language : {Language::English, Language::German, Language::Dutch}) {
            ForceLanguage(language);
            QVERIFY(UnsolvableReasonText(UnsolvableReason::None).isEmpty());
            std::set<QString> texts;
            for (const UnsolvableReason reason : reasons) {
                const QString text = UnsolvableReasonText(reason);
                QVERIFY(!text.isEmpty());
                // A phrase that follows a colon.
                QVERIFY2(text.at(0).isLower() || text.at(0).isDigit(), qPrintable(text));
                texts.insert(text);
            }
            QCOMPARE(texts.size(), std::size(reasons));
        }
        ForceLanguage(Language::English);
        QCOMPARE(UnsolvableReasonText(UnsolvableReason::TooManyP2P3OnBorder),
                 QString("more than 16 cells have their long edge on the border"));
        // Seen from its long edge, a cell of a rising square has the square's
        // left or right side on its left, its top or bottom on its right.
        const auto reasonFor = [](std::initializer_list<const char*> rows) {
            return UnsolvableReasonText(CheckCounts(BuildNeighbourTable(CellsFrom(CellsFromText(rows)))));
        };
        QCOMPARE(reasonFor({"//", "//", "//", "//", "//", "//", "//", "//", "//", "//", "//", "//", "//", "//",
                            "//", "//"}),
                 QString("more than 16 cells have their left short edge on the border"));
        QCOMPARE(reasonFor({"////////////////", "////////////////"}),
                 QString("more than 16 cells have their right short edge on the border"));
        ForceLanguage(Language::German);
        QCOMPARE(UnsolvableReasonText(UnsolvableReason::TooManyP2P3OnBorder),
                 QString("mehr als 16 Zellen haben ihre lange Kante am Rand"));
    }
};

MURLEN_TEST(TestBackgroundSolver)
#include "test_background_solver.moc"
