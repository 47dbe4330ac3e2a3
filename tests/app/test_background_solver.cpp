// The solver off the user interface thread: answers arrive on the owner's
// thread, only the latest request is answered and a cancelled one never; and
// every reason reads as the user's own words.
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <set>

#include "app/background_solver.h"
#include "app/solver_messages.h"
#include "app/strings.h"
#include "support/figures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestBackgroundSolver : public QObject {
    Q_OBJECT
private slots:
    void onlyTheLatestRequestIsAnsweredOnTheOwnersThread() {
        const CellArray<Triangle> triangle = FigureOf(Shipped("Triangle")).points, strip = FigureOf(Drawn(TallStrip())).points;
        const CellArray<std::int16_t> empty{};
        BackgroundSolver solver;
        QSignalSpy spy(&solver, &BackgroundSolver::finished);
        QThread* answeredOn = nullptr;
        connect(&solver, &BackgroundSolver::finished, this, [&answeredOn] { answeredOn = QThread::currentThread(); });
        // The strip's answer is waiting (no events run meanwhile) when the
        // triangle is asked for: it never arrives. Then a request cancelled.
        solver.Solve(strip, empty);
        while (!solver.WorkerIdle()) QThread::yieldCurrentThread();
        solver.Solve(triangle, empty);
        QVERIFY(solver.Busy());
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(answeredOn, QThread::currentThread());
        QCOMPARE(int(spy.at(0).at(0).value<SolveResult>().verdict), int(SolveVerdict::Solved));
        solver.Solve(strip, empty);
        solver.Cancel();
        QVERIFY(!solver.Busy());
        QTest::qWait(200);
        QCOMPARE(spy.count(), 1);
    }

    void everyReasonHasItsOwnWordsInEveryLanguage() {
        for (const Language language : {Language::English, Language::German, Language::Dutch}) {
            ForceLanguage(language);
            std::set<QString> texts;
            for (int reason = int(UnsolvableReason::TooManyP1P2OnBorder); reason <= int(UnsolvableReason::PiecesCannotStay); ++reason) {
                const QString text = UnsolvableReasonText(UnsolvableReason(reason));
                QVERIFY2(!text.isEmpty() && (text.at(0).isLower() || text.at(0).isDigit()), qPrintable(text));  // after a colon
                texts.insert(text);
            }
            QCOMPARE(texts.size(), std::size_t(int(UnsolvableReason::PiecesCannotStay)));
        }
        ForceLanguage(std::nullopt);
    }
};

MURLEN_TEST(TestBackgroundSolver)
#include "test_background_solver.moc"
