// The print command: the dialog, copies, the end of the document, cancel and
// errors on the way, and a game left as it was.
#include <QTest>

#include "app/strings.h"
#include "print/certificate_fixtures.h"
#include "support/recording_printer.h"
#include "support/scripted_desktop.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestPrintCommand : public QObject {
    Q_OBJECT

    FigureData triangle_;
    BoardState solved_;

    // A desktop whose print dialog gives `setup` and whose printer is `printer`.
    static std::unique_ptr<ScriptedDesktop> DesktopPrintingTo(RecordingPrinter& printer,
                                                              std::optional<PrintSetup> setup) {
        auto desktop = std::make_unique<ScriptedDesktop>(QString());
        desktop->printer = &printer;
        desktop->printAnswers.push_back(setup);
        return desktop;
    }

private slots:
    void initTestCase() {
        ForceLanguage(Language::English);
        triangle_ = FigureOf(TriangleGrid());
        solved_ = SolvedBoard(triangle_);
    }
    void cleanupTestCase() { ForceLanguage(std::nullopt); }

    void cancelPrintsNothing() {
        RecordingPrinter printer;
        auto desktop = DesktopPrintingTo(printer, std::nullopt);
        PrintCertificate(*desktop, GameOf(triangle_, solved_, 0, 10));

        QCOMPARE(desktop->printDialogs, std::vector<int>{0x10000C});
        QVERIFY(printer.events.isEmpty());
        QVERIFY(desktop->messages.empty());
    }

    void everyCopyGetsAPageOfItsOwn_data() {
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("orientation");
        QTest::newRow("one, portrait") << 1 << 1;
        QTest::newRow("three, portrait") << 3 << 1;
        QTest::newRow("three, landscape") << 3 << 2;
    }
    void everyCopyGetsAPageOfItsOwn() {
        QFETCH(int, copies);
        QFETCH(int, orientation);
        RecordingPrinter printer;
        if (orientation == 2) std::swap(printer.width, printer.height);
        auto desktop = DesktopPrintingTo(printer, PrintSetup{copies, orientation});
        PrintCertificate(*desktop, GameOf(triangle_, solved_, 0, 321, "solved.kyp"));

        QStringList steps;
        for (int copy = 1; copy <= copies; ++copy) {
            if (copy > 1) steps << "NewPage";
            steps << "SetScale" << "Print" << "Line";
        }
        steps << "EndDoc";
        QCOMPARE(printer.EventSteps(), steps);
        QCOMPARE(printer.page, copies);
        QCOMPARE(printer.endDocs, 1);
        QCOMPARE(printer.killDocs, 0);

        // Every page is the same certificate, all of it in 18 points.
        const std::size_t perPage = printer.texts.size() / std::size_t(copies);
        QCOMPARE(perPage, std::size_t(orientation == 1 ? 6 : 8));
        for (std::size_t i = 0; i < printer.texts.size(); ++i) {
            const PrintedText& text = printer.texts[i];
            QCOMPARE(text.page, int(i / perPage) + 1);
            QCOMPARE(text.text, printer.texts[i % perPage].text);
            QCOMPARE(text.fontSize, 18.0f);
        }
        QCOMPARE(printer.texts[1].text,
                 orientation == 1 ? QString("This is a solution! Score: 321 seconds.") : QString("This is a solution!"));
        QCOMPARE(printer.lines.back().page, copies);
    }

    void anErrorOnTheWayDropsTheDocument_data() {
        QTest::addColumn<int>("failAfterLines");
        QTest::addColumn<bool>("flatFigure");
        QTest::addColumn<int>("sheetWidth");
        // The printer fails in the middle of the first copy's pieces.
        QTest::newRow("printer fails") << 1000 << false << 11906;
        // E = 0 or a sheet of no size gives a scale the printer refuses.
        QTest::newRow("figure without extent") << -1 << true << 11906;
        QTest::newRow("sheet without size") << -1 << false << 0;
    }
    void anErrorOnTheWayDropsTheDocument() {
        QFETCH(int, failAfterLines);
        QFETCH(bool, flatFigure);
        QFETCH(int, sheetWidth);
        FigureData figure = triangle_;
        if (flatFigure) {
            figure.maxX = figure.minX;
            figure.maxY = figure.minY;
        }
        RecordingPrinter printer;
        printer.failAfterLines = failAfterLines;
        printer.width = sheetWidth;
        auto desktop = DesktopPrintingTo(printer, PrintSetup{3, 1});
        PrintCertificate(*desktop, GameOf(figure, solved_, 0, 10));

        QCOMPARE(printer.killDocs, 1);
        QCOMPARE(printer.endDocs, 0);
        QCOMPARE(printer.events.last(), QString("KillDoc"));
        QVERIFY(!printer.events.contains("NewPage"));  // no second copy begun
        QVERIFY(desktop->messages.empty());
    }

    void printingLeavesTheGameAsItWas() {
        const FigureData figureBefore = triangle_;
        BoardState board = solved_;
        board.violation[3] = true;
        const BoardState boardBefore = board;
        RecordingPrinter printer;
        auto desktop = DesktopPrintingTo(printer, PrintSetup{2, 2});
        PrintCertificate(*desktop, GameOf(triangle_, board, 0, 10));

        QCOMPARE(printer.endDocs, 1);
        QVERIFY(board.pieces == boardBefore.pieces);
        QVERIFY(board.violation == boardBefore.violation);
        QVERIFY(triangle_.points == figureBefore.points);
    }
};

MURLEN_TEST(TestPrintCommand)
#include "test_print_command.moc"
