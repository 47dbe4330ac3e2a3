// The shape generator's verdict on a complete drawing: worked out in the
// background beside the count, none below 64 cells, started again on every
// change of the drawing and only then, "too hard" when not decided in time;
// a solvable drawing's difficulty beside it, also from the background.
#include <QSignalSpy>
#include <QTest>

#include "app/strings.h"
#include "generator/generator_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestSolvableCheck : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void aCompleteDrawingGetsAVerdict() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        QSignalSpy spy(&form, &FrmShape::solvableChecked);
        const auto verdict = [&](int checks) {
            return QTest::qWaitFor([&] { return spy.count() == checks; }, 30000) ? form.labelSolvable->text() : "no verdict";
        };
        // A random figure's verdict is known at once, its difficulty is worked
        // out in the background; a change of the drawing meanwhile drops it.
        form.mnuRandom->trigger();
        QCOMPARE(form.labelSolvable->text() + '|' + form.labelDifficulty->text(), QString("Solvable|"));
        generator.Load(Drawn(TallStrip()));
        QCOMPARE(form.labelSolvable->text(), QString("Checking..."));
        QCOMPARE(verdict(1), QString("Cannot be solved: more than 16 cells have their left short edge on the border"));
        // A change while checking: only the new drawing's verdict shows.
        generator.Load(TriangleGrid());
        generator.LeftClick(0.2f, 0.2f);
        QVERIFY(form.labelSolvable->text().isEmpty());  // 63 cells: no verdict
        generator.LeftClick(0.2f, 0.2f);
        QCOMPARE(verdict(2), QString("Solvable"));
        QCOMPARE(form.labelDifficulty->text(), QString("Difficulty: Easy"));
        QTest::qWait(100);
        QCOMPARE(spy.count(), 2);
        // A redraw of the same drawing keeps it; a turned diagonal asks again.
        form.RedrawGrid();
        QCOMPARE(form.labelSolvable->text(), QString("Solvable"));
        form.SolvableCheck->SetTimeLimit(std::chrono::nanoseconds(1));
        generator.RightClick(1.5f, 0.5f);
        QCOMPARE(verdict(3), QString("Too hard to decide"));
        QVERIFY(form.labelDifficulty->text().isEmpty());
    }
};

MURLEN_TEST(TestSolvableCheck)
#include "test_solvable_check.moc"
