// The shape generator's verdict on a complete drawing: worked out in the
// background and shown beside the count, empty below 64 cells, dropped and
// started again whenever the drawing changes, "too hard" when not decided in
// time.
#include <QSignalSpy>
#include <QTest>
#include <chrono>

#include "app/strings.h"
#include "generator_fixture.h"
#include "support/solver_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

constexpr int kWait = 30000;  // milliseconds; every verdict here takes far less
const QString kChecking = QStringLiteral("Checking...");
const QString kSolvable = QStringLiteral("Solvable");
const QString kBandVerdict = QStringLiteral("Cannot be solved: more than 16 cells have their long edge on the border");

// Lets an answer that the worker has already produced reach the window.
bool DeliverEverything(const FrmShape& form) {
    const bool idle = QTest::qWaitFor([&form] { return form.SolvableCheck->WorkerIdle(); }, kWait);
    QCoreApplication::processEvents();
    return idle;
}

}  // namespace

class TestSolvableCheck : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void aCompleteDrawingGetsAVerdictBesideTheCount() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        QSignalSpy spy(&form, &FrmShape::solvableChecked);
        QVERIFY(form.labelSolvable->text().isEmpty());
        generator.LeftClick(0.2f, 0.2f);
        QCOMPARE(form.labelPcs->text(), QString("Placed: 1"));
        QVERIFY(form.labelSolvable->text().isEmpty());

        generator.Load(TriangleGrid());
        QCOMPARE(form.labelSolvable->text(), kChecking);
        QVERIFY(form.CheckingSolvable());
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kWait);
        QCOMPARE(form.labelSolvable->text(), kSolvable);
        QVERIFY(!form.CheckingSolvable());

        generator.Load(GridFrom(DiagonalBand()));
        QCOMPARE(form.labelSolvable->text(), kChecking);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, kWait);
        QCOMPARE(form.labelSolvable->text(), kBandVerdict);
        QCOMPARE(form.labelSolvable->toolTip(), kBandVerdict);

        // On the bottom edge, right of the count, which keeps its text and
        // place; below the grid, so that it takes no clicks meant for it.
        QCOMPARE(form.labelPcs->text(), QString("Placed: 1"));
        QCOMPARE(form.labelPcs->x(), form.UniPic->x());
        QCOMPARE(form.labelPcs->geometry().bottom(), form.client->height() - 1);
        QCOMPARE(form.labelSolvable->x(), form.labelPcs->geometry().right() + 1);
        QCOMPARE(form.labelSolvable->geometry().bottom(), form.client->height() - 1);
        QCOMPARE(form.labelSolvable->geometry().right(), form.client->width() - 1);
        QVERIFY(form.labelSolvable->y() > form.UniPic->geometry().bottom());
        QVERIFY(form.labelSolvable->y() <= form.labelPcs->y());
    }

    void theVerdictSpeaksTheUsersLanguage() {
        ForceLanguage(Language::German);
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        QSignalSpy spy(&form, &FrmShape::solvableChecked);
        generator.Load(GridFrom(DiagonalBand()));
        QCOMPARE(form.labelSolvable->text(), QString("Wird geprüft..."));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kWait);
        QCOMPARE(form.labelSolvable->text(),
                 QString("Nicht lösbar: mehr als 16 Zellen haben ihre lange Kante am Rand"));
    }

    void aFigureNotDecidedInTimeIsTooHardToDecide() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        QSignalSpy spy(&form, &FrmShape::solvableChecked);
        form.SolvableCheck->SetTimeLimit(std::chrono::nanoseconds(1));
        generator.Load(TriangleGrid());
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kWait);
        QCOMPARE(form.labelSolvable->text(), QString("Too hard to decide"));
    }

    void belowSixtyFourCellsThereIsNoVerdict() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        QSignalSpy spy(&form, &FrmShape::solvableChecked);
        generator.Load(TriangleGrid());
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kWait);

        // One cell off: the verdict goes at once; one back: it is checked again.
        generator.LeftClick(0.2f, 0.2f);
        QCOMPARE(form.Grid.placedCount, 63);
        QVERIFY(form.labelSolvable->text().isEmpty());
        QVERIFY(!form.CheckingSolvable());
        generator.LeftClick(0.2f, 0.2f);
        QCOMPARE(form.labelSolvable->text(), kChecking);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, kWait);
        QCOMPARE(form.labelSolvable->text(), kSolvable);

        // A cell taken off while the check runs: the old verdict never shows.
        generator.Load(GridFrom(DiagonalBand()));
        generator.LeftClick(2.2f, 0.8f);  // the lower left half of square (2, 0)
        QCOMPARE(form.Grid.placedCount, 63);
        QVERIFY(form.labelSolvable->text().isEmpty());
        QVERIFY(DeliverEverything(form));
        QVERIFY(form.labelSolvable->text().isEmpty());
        QCOMPARE(spy.count(), 2);
    }

    void aChangeWhileCheckingStartsTheCheckAgain() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        QSignalSpy spy(&form, &FrmShape::solvableChecked);

        // Opening a file.
        generator.desktop->fileAnswers = {generator.ChoiceIn("Triangle.dat")};
        form.mnuOpen_Click();
        QCOMPARE(form.Grid.placedCount, 64);
        QCOMPARE(form.labelSolvable->text(), kChecking);

        // Another complete drawing before the verdict: only the new one counts.
        generator.Load(GridFrom(DiagonalBand()));
        QCOMPARE(form.labelSolvable->text(), kChecking);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kWait);
        QCOMPARE(form.labelSolvable->text(), kBandVerdict);
        QVERIFY(DeliverEverything(form));
        QCOMPARE(spy.count(), 1);

        // Shifting the drawing.
        generator.Load(TriangleGrid());
        form.mnuRight_Click();
        QCOMPARE(form.Grid.Placed(1, 0, 1), true);
        QCOMPARE(form.labelSolvable->text(), kChecking);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, kWait);
        QCOMPARE(form.labelSolvable->text(), kSolvable);

        // Turning the diagonal of a placed square changes the figure.
        generator.RightClick(1.5f, 0.5f);
        QVERIFY(form.Grid.Falling(1, 0));
        QCOMPARE(form.labelSolvable->text(), kChecking);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 3, kWait);
        QVERIFY(form.labelSolvable->text() != kChecking);

        // A redraw of the same drawing keeps the verdict.
        const QString verdict = form.labelSolvable->text();
        form.RedrawGrid();
        form.resize(form.width() + 40, form.height() + 40);
        QCoreApplication::processEvents();
        QCOMPARE(form.labelSolvable->text(), verdict);
        QVERIFY(!form.CheckingSolvable());
        QCOMPARE(spy.count(), 3);
    }
};

MURLEN_TEST(TestSolvableCheck)
#include "test_solvable_check.moc"
