// One game move made with a real pointer: press on a pool piece, drag it over
// the board and let go. Runs on a real X display (tests/on_x_display.sh), where
// xdotool moves the pointer; elsewhere it is skipped.
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include "app/strings.h"
#include "support/game_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestRealDrag : public QObject {
    Q_OBJECT
private slots:
    void aPoolPieceIsDraggedOntoTheBoard() {
        if (QGuiApplication::platformName() != "xcb") QSKIP("needs a real X display");
        ForceLanguage(Language::English);
        GameFixture game;
        TriForm& form = *game.form;
        form.activateWindow();
        QTest::qWait(300);

        const QPoint from = form.TriPool(17)->mapToGlobal(form.TriPool(17)->rect().center());
        const QPoint to = form.FigurePic->mapToGlobal(form.FigurePic->ToPixels(game.CellCentre(12)).toPoint());
        const auto at = [](QPoint p) { return QStringList{"mousemove", QString::number(p.x()), QString::number(p.y())}; };

        // The whole gesture is handed to xdotool, which plays it while the
        // drag's own event loop runs here.
        QStringList gesture = at(from) + QStringList{"sleep", "0.2", "mousedown", "1", "sleep", "0.2"};
        for (int step = 1; step <= 10; ++step)
            gesture += at(from + (to - from) * step / 10) + QStringList{"sleep", "0.05"};
        gesture += QStringList{"sleep", "0.3", "mouseup", "1"};
        QProcess xdotool;
        xdotool.start("xdotool", gesture);
        QVERIFY2(xdotool.waitForStarted(), "xdotool is missing");

        QTRY_COMPARE_WITH_TIMEOUT(form.Board.pieces[12], std::int16_t(17), 10000);
        QVERIFY(!form.TriPool(17)->isVisibleTo(form.client));
        QVERIFY(form.Timer1->Enabled());
        if (!xdotool.waitForFinished(3000)) xdotool.kill();
        ForceLanguage(std::nullopt);
    }
};

MURLEN_TEST(TestRealDrag)
#include "test_real_drag.moc"
