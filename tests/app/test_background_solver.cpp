// The solver off the user interface thread: answers arrive on the owner's
// thread, only the latest request is answered and a cancelled one never; and
// every reason reads as the user's own words.
#include <QTest>
#include <QThread>

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
        QList<std::pair<SolveVerdict, QThread*>> answers;
        connect(&solver, &BackgroundSolver::finished, this, [&answers](const SolveResult& r) { answers.push_back({r.verdict, QThread::currentThread()}); });
        // The strip's answer is waiting (no events run meanwhile) when the
        // triangle is asked for: it never arrives. Then a request cancelled.
        solver.Solve(strip, empty);
        while (!solver.WorkerIdle()) QThread::yieldCurrentThread();
        solver.Solve(triangle, empty);
        QVERIFY(solver.Busy());
        QTRY_COMPARE(answers.size(), 1);
        solver.Solve(strip, empty);
        solver.Cancel();
        QVERIFY(!solver.Busy());
        QTest::qWait(200);
        QCOMPARE(answers, QList({std::pair{SolveVerdict::Solved, QThread::currentThread()}}));
    }

    void everyReasonHasItsOwnWordsInEveryLanguage() {
        for (const Language language : {Language::English, Language::German, Language::Dutch}) {
            ForceLanguage(language);
            QSet<QString> texts;
            for (int reason = int(UnsolvableReason::TooManyP1P2OnBorder); reason <= int(UnsolvableReason::PiecesCannotStay); ++reason)
                texts << UnsolvableReasonText(UnsolvableReason(reason));
            QCOMPARE(texts.size(), int(UnsolvableReason::PiecesCannotStay));
            for (const QString& text : texts) QVERIFY2(text.front().isLower() || text.front().isDigit(), qPrintable(text));  // after a colon
        }
        ForceLanguage(std::nullopt);
    }
};

MURLEN_TEST(TestBackgroundSolver)
#include "test_background_solver.moc"
