// The certificate on real paper, as far as a test can get: printed through
// QtPrinter into a PDF file and read back with poppler's pdfinfo, pdftotext and
// pdffonts. Also the printer's own promises: page size in whole twips, Print
// moving to the next line, and a dropped or failed document never written.
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/qt_printer.h"
#include "app/strings.h"
#include "print/certificate_fixtures.h"
#include "support/scripted_desktop.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// The standard output of a poppler tool; fails the test when it cannot run.
QString Poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("%s did not run (poppler-utils, see scripts/setup.sh): %s", qPrintable(tool),
                 process.readAllStandardError().constData());
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The value of one "Name: value" line of pdfinfo.
QString PdfInfo(const QString& file, const QString& name) {
    for (const QString& line : Poppler("pdfinfo", {file}).split('\n'))
        if (line.startsWith(name + ':')) return line.mid(name.size() + 1).trimmed();
    return QString();
}

std::unique_ptr<QPrinter> PdfPrinter(const QString& file, QPageSize::PageSizeId size = QPageSize::A4,
                                     QPageLayout::Orientation orientation = QPageLayout::Portrait) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setPageSize(QPageSize(size));
    printer->setPageOrientation(orientation);
    return printer;
}

}  // namespace

class TestPdfCertificate : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    FigureData triangle_;
    BoardState solved_;

    // Prints the certificate of `game` through the whole command into `file`.
    void PrintToPdf(const QString& file, const Certificate& game, PrintSetup setup) {
        auto qprinter = PdfPrinter(file, QPageSize::A4,
                                   setup.orientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape);
        QtPrinter printer(*qprinter);
        ScriptedDesktop desktop(dir_.path());
        desktop.printer = &printer;
        desktop.printAnswers.push_back(setup);
        PrintCertificate(desktop, game);
        QVERIFY(desktop.messages.empty());
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        ForceLanguage(Language::English);
        triangle_ = FigureOf(TriangleGrid());
        solved_ = SolvedBoard(triangle_);
    }
    void cleanupTestCase() { ForceLanguage(std::nullopt); }

    void aSolvedGameInPortrait() {
        const QString file = dir_.filePath("portrait.pdf");
        PrintToPdf(file, GameOf(triangle_, solved_, 0, 1234, "solved.kyp"), PrintSetup{2, 1});

        QCOMPARE(PdfInfo(file, "Pages"), QString("2"));
        QCOMPARE(PdfInfo(file, "Page size"), QString("595 x 842 pts (A4)"));
        const QString text = Poppler("pdftotext", {file, "-"});
        // pdftotext gives the two blanks after the heading as one.
        QCOMPARE(text.count("KYP triangle game solved.kyp\n"), 2);
        QCOMPARE(text.count("This is a solution! Score: 1234 seconds."), 2);
        QCOMPARE(text.count("Date: 24/03/2025"), 2);
        QCOMPARE(text.count("Sign: ....."), 2);
        // The heading's emphasis is a bold face beside the regular one.
        const QString fonts = Poppler("pdffonts", {file});
        QVERIFY2(fonts.contains("Bold"), qPrintable(fonts));
    }

    void aSolvedGameInLandscape() {
        const QString file = dir_.filePath("landscape.pdf");
        PrintToPdf(file, GameOf(triangle_, solved_, 0, 77), PrintSetup{1, 2});

        QCOMPARE(PdfInfo(file, "Pages"), QString("1"));
        QCOMPARE(PdfInfo(file, "Page size"), QString("842 x 595 pts (A4)"));
        const QStringList lines = Poppler("pdftotext", {"-layout", file, "-"}).split('\n');
        QVERIFY(lines.indexOf(QRegularExpression("^\\s*KYP triangle game\\s*$")) >= 0);
        const qsizetype solution = lines.indexOf(QRegularExpression("^\\s*This is a solution!\\s*$"));
        const qsizetype score = lines.indexOf(QRegularExpression("^\\s*Score: 77 seconds.\\s*$"));
        QVERIFY2(solution > 0 && score > solution, qPrintable(lines.join('\n')));
    }

    void piecesPrintAsSolidBlackAndWhite() {
        // Piece 63 (all black) and piece 64 (all white) on an otherwise empty board.
        CellArray<std::int16_t> pieces;
        pieces.Fill(0);
        pieces[1] = 63;
        pieces[2] = 64;
        const BoardState board = LaidBoard(triangle_, pieces);
        const QString file = dir_.filePath("pieces.pdf");
        auto qprinter = PdfPrinter(file);
        QtPrinter printer(*qprinter);
        printer.SetFontSize(18);
        DrawCertificate(printer, GameOf(triangle_, board, 62), true);
        QVERIFY(printer.EndDoc());

        const int dpi = 150;
        Poppler("pdftoppm", {"-r", QString::number(dpi), "-gray", "-png", "-singlefile", file, dir_.filePath("pieces")});
        const QImage page(dir_.filePath("pieces.png"));
        QVERIFY(!page.isNull());
        // Where a point of the page scale lands in the picture.
        const QRectF area = qprinter->pageLayout().paintRect(QPageLayout::Point);
        auto pixelAt = [&](Point p) {
            const double x = area.left() + (p.x - printer.ScaleLeft()) * area.width() / printer.ScaleWidth();
            const double y = area.top() + (p.y - printer.ScaleTop()) * area.height() / printer.ScaleHeight();
            return qGray(page.pixel(int(x * dpi / 72), int(y * dpi / 72)));
        };
        // Points all over the inside of either cell, but off its outline: the
        // fans close into one solid area, with no rays showing through.
        for (int cell : {1, 2}) {
            const Triangle& t = triangle_.points[cell];
            for (float a = 0.05f; a < 0.9f; a += 0.05f)
                for (float b = 0.05f; a + b < 0.95f; b += 0.05f) {
                    const float c = 1 - a - b;
                    const Point p{a * t.p1.x + b * t.p2.x + c * t.p3.x, a * t.p1.y + b * t.p2.y + c * t.p3.y};
                    const int gray = pixelAt(p);
                    QVERIFY2(cell == 1 ? gray < 64 : gray > 192,
                             qPrintable(QString("cell %1 at (%2, %3): gray %4").arg(cell).arg(p.x).arg(p.y).arg(gray)));
                }
        }
    }

    void everyPrintHasBlackText() {
        // One printer for the whole session, as the print dialog keeps it. The
        // first certificate ends with a white half: the all-white piece alone.
        CellArray<std::int16_t> whiteOnly;
        whiteOnly.Fill(0);
        whiteOnly[64] = 64;
        auto qprinter = PdfPrinter(dir_.filePath("first.pdf"));
        for (const QString name : {"first", "second"}) {
            qprinter->setOutputFileName(dir_.filePath(name + ".pdf"));
            QtPrinter printer(*qprinter);
            printer.SetFontSize(18);
            DrawCertificate(printer, GameOf(triangle_, LaidBoard(triangle_, whiteOnly), 63, 5), true);
            QVERIFY(printer.EndDoc());
        }
        // pdftotext reads white text too: only pixels show the ink.
        Poppler("pdftoppm", {"-r", "50", "-gray", "-png", "-singlefile", dir_.filePath("second.pdf"),
                             dir_.filePath("second")});
        const QImage page(dir_.filePath("second.png"));
        QVERIFY(!page.isNull());
        // The counts and the signature line stand below the figure, which ends
        // two thirds down the page.
        int dark = 0;
        for (int y = page.height() * 7 / 10; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 96;
        QVERIFY2(dark > 50, qPrintable(QString::number(dark)));
    }

    void aDroppedDocumentIsNeverWritten() {
        const QString file = dir_.filePath("dropped.pdf");
        auto qprinter = PdfPrinter(file);
        QtPrinter printer(*qprinter);
        printer.SetScale(0, 0, 10, 10);
        printer.Line({0, 0}, {5, 5}, kBlack);
        printer.Print("first page");
        printer.NewPage();
        printer.Print("second page");
        printer.KillDoc();
        QVERIFY(!QFile::exists(file));

        // The next drawing starts a document of its own.
        QVERIFY(!printer.Failed());
        printer.Print("only page");
        QVERIFY(printer.EndDoc());
        QCOMPARE(PdfInfo(file, "Pages"), QString("1"));
        const QString text = Poppler("pdftotext", {file, "-"});
        QVERIFY(text.contains("only page"));
        QVERIFY(!text.contains("first page"));
    }

    void aFailedDocumentIsNeverWritten() {
        const QString file = dir_.filePath("failed.pdf");
        auto qprinter = PdfPrinter(file);
        QtPrinter printer(*qprinter);
        printer.Print("before");
        printer.SetScale(0, 0, 0, 10);
        QVERIFY(printer.Failed());
        QVERIFY(!printer.EndDoc());
        QVERIFY(!QFile::exists(file));

        // Through the command: a figure of no extent.
        FigureData flat = triangle_;
        flat.maxX = flat.minX;
        flat.maxY = flat.minY;
        PrintToPdf(file, GameOf(flat, EmptyBoard(), 64), PrintSetup{1, 1});
        QVERIFY(!QFile::exists(file));
    }

    void aFileThatCannotBeWrittenFailsTheEnd() {
        const QString file = dir_.filePath("no such folder/x.pdf");
        auto qprinter = PdfPrinter(file);
        QtPrinter printer(*qprinter);
        printer.Print("text");
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        QVERIFY(!printer.EndDoc());
        QVERIFY(!QFile::exists(file));
    }

    void thePageSizeIsInWholeTwips_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        // 1440 twips an inch: 210 mm = 11905.5 twips, 297 mm = 16837.8.
        QTest::newRow("A4") << int(QPageSize::A4) << false << 11906 << 16838;
        QTest::newRow("A4 landscape") << int(QPageSize::A4) << true << 16838 << 11906;
        QTest::newRow("Letter") << int(QPageSize::Letter) << false << 12240 << 15840;
        QTest::newRow("A5") << int(QPageSize::A5) << false << 8391 << 11906;
    }
    void thePageSizeIsInWholeTwips() {
        QFETCH(int, size);
        QFETCH(bool, landscape);
        QFETCH(int, width);
        QFETCH(int, height);
        auto qprinter = PdfPrinter(dir_.filePath("size.pdf"), QPageSize::PageSizeId(size),
                                   landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        QtPrinter printer(*qprinter);
        QCOMPARE(printer.Width(), width);
        QCOMPARE(printer.Height(), height);
    }

    void printGoesToTheStartOfTheNextLine() {
        auto qprinter = PdfPrinter(dir_.filePath("lines.pdf"));
        QtPrinter printer(*qprinter);
        // One unit a point, the printable area starting at x = 5.
        const QRectF area = qprinter->pageLayout().paintRect(QPageLayout::Point);
        printer.SetScale(5, 0, float(area.width()), float(area.height()));
        printer.SetFontSize(18);
        printer.SetCurrentX(100);
        printer.SetCurrentY(40);
        printer.Print("a line");
        QCOMPARE(printer.CurrentX(), 5.0f);
        const float advance = printer.CurrentY() - 40;
        QVERIFY2(advance > 18 && advance < 30, qPrintable(QString::number(advance)));
        // An empty line is a line too, and bold text keeps the line height.
        printer.SetFontBold(true);
        printer.Print(QString());
        printer.SetFontBold(false);
        QCOMPARE(printer.CurrentY() - 40, 2 * advance);
        printer.KillDoc();
    }
};

MURLEN_TEST(TestPdfCertificate)
#include "test_pdf_certificate.moc"
