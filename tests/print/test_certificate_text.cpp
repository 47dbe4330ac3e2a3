// The words on the certificate: heading, score and date or the counts of what
// is still wrong, the signature line, and where each line goes on the page.
#include <QTest>

#include "app/strings.h"
#include "print/certificate_fixtures.h"
#include "support/recording_printer.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestCertificateText : public QObject {
    Q_OBJECT

    FigureData triangle_;
    BoardState solved_;

private slots:
    void initTestCase() {
        ForceLanguage(Language::English);
        triangle_ = FigureOf(TriangleGrid());
        solved_ = SolvedBoard(triangle_);
    }
    void cleanupTestCase() { ForceLanguage(std::nullopt); }

    void unsolvedBoardsPrintTheCounts_data() {
        QTest::addColumn<int>("missing");
        QTest::addColumn<QList<int>>("violations");
        QTest::addColumn<QString>("missingLine");
        QTest::addColumn<QString>("brokenLine");
        QTest::newRow("empty board") << 64 << QList<int>{} << "64 triangles missing" << "0 violate the rules";
        QTest::newRow("full, one violation") << 0 << QList<int>{17} << "0 triangles missing" << "1 violate the rules";
        QTest::newRow("some of each") << 5 << QList<int>{1, 2, 64} << "5 triangles missing" << "3 violate the rules";
    }
    void unsolvedBoardsPrintTheCounts() {
        QFETCH(int, missing);
        QFETCH(QList<int>, violations);
        QFETCH(QString, missingLine);
        QFETCH(QString, brokenLine);
        // The certificate counts the violation flags the board carries; the
        // rule check that sets them is the model's.
        BoardState board = missing == 64 ? EmptyBoard() : solved_;
        for (int cell : violations) board.violation[cell] = true;

        for (bool portrait : {true, false}) {
            RecordingPrinter printer;
            DrawCertificate(printer, GameOf(triangle_, board, missing, 99), portrait);
            QCOMPARE(printer.Texts(), QStringList({"KYP triangle game", missingLine, "", brokenLine, "",
                                                  "Sign: ........................................."}));
        }
    }

    void aSolvedBoardPrintsScoreAndDateInPortrait() {
        RecordingPrinter printer;
        DrawCertificate(printer, GameOf(triangle_, solved_, 0, 1234), true);

        QCOMPARE(printer.Texts(), QStringList({"KYP triangle game", "This is a solution! Score: 1234 seconds.", "",
                                               "Date: 24/03/2025", "", "Sign: ........................................."}));
        // Below the figure: the first line at x = 0, the later ones at the left
        // edge, one line height apart.
        const float e = 8;
        const float line = printer.LineHeight();
        for (std::size_t i = 1; i < printer.texts.size(); ++i) {
            const PrintedText& text = printer.texts[i];
            QCOMPARE(text.x, i == 1 ? 0.0f : -0.1f * e);
            QCOMPARE(text.y, 1.2f * e + float(i - 1) * line);
            QVERIFY(!text.bold);
        }
    }

    void aSolvedBoardPrintsTwoLinesBesideTheFigureInLandscape() {
        RecordingPrinter printer;
        std::swap(printer.width, printer.height);
        DrawCertificate(printer, GameOf(triangle_, solved_, 0, 1234), false);

        QCOMPARE(printer.Texts(), QStringList({"KYP triangle game", "This is a solution!", "",
                                               "Score: 1234 seconds.", "", "Date: 24/03/2025", "",
                                               "Sign: ........................................."}));
        // Right of the figure, every line at 0.9 * ScaleHeight = 1.08 E.
        const float line = printer.LineHeight();
        for (std::size_t i = 1; i < printer.texts.size(); ++i) {
            QCOMPARE(printer.texts[i].x, float(0.9 * printer.ScaleHeight()));
            QCOMPARE(printer.texts[i].y, float(i - 1) * line);
        }
    }

    void aPieceLeftInThePoolIsNotASolution() {
        // No rule broken, but one piece still in the pool.
        RecordingPrinter printer;
        DrawCertificate(printer, GameOf(triangle_, solved_, 1, 50), true);
        QCOMPARE(printer.Texts().at(1), QString("1 triangles missing"));
    }

    void theHeadingNamesTheGameFile_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("heading");
        QTest::newRow("never saved") << QString() << "KYP triangle game";
        QTest::newRow("saved") << "My game.kyp" << "KYP triangle game  My game.kyp";
    }
    void theHeadingNamesTheGameFile() {
        QFETCH(QString, title);
        QFETCH(QString, heading);
        for (bool portrait : {true, false}) {
            RecordingPrinter printer;
            DrawCertificate(printer, GameOf(triangle_, solved_, 0, 7, title), portrait);
            const PrintedText& first = printer.texts.front();
            QCOMPARE(first.text, heading);
            QVERIFY(first.bold);
            // Just inside the top margin, above the figure.
            QCOMPARE(first.x, 0.0f);
            QCOMPARE(first.y, float(0.9 * printer.ScaleTop()));
            QVERIFY(first.y < 0);
            for (std::size_t i = 1; i < printer.texts.size(); ++i) QVERIFY(!printer.texts[i].bold);
        }
    }

};

MURLEN_TEST(TestCertificateText)
#include "test_certificate_text.moc"
