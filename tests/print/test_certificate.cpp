// The certificate printed by the print command through QtPrinter into a PDF
// file, read back with poppler: its lines of text, a page a copy, the pieces
// in solid black and white, and nothing written when printing goes wrong.
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/qt_printer.h"
#include "app/strings.h"
#include "print/certificate.h"
#include "support/figures.h"
#include "support/scripted_desktop.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// The standard output of a tool of poppler-utils.
QString Poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000)) qWarning("%s did not run", qPrintable(tool));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A PDF printer for `file` without margins, so that the page scale spans the
// whole sheet. A3: on A4 in landscape the signature line, at 18 points, is
// wider than the room right of the figure and runs off the sheet.
std::unique_ptr<QPrinter> PdfPrinter(const QString& file, int orientation = 1) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFileName(file);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A3), orientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape, QMarginsF()));
    return printer;
}

// The print command, its dialog answered with `setup` (nothing: cancelled).
void Print(QPrinter& qprinter, const Certificate& game, std::optional<PrintSetup> setup) {
    QtPrinter printer(qprinter);
    ScriptedDesktop desktop(QString{});
    desktop.printer = &printer;
    desktop.printAnswers.push_back(setup);
    PrintCertificate(desktop, game);
    QCOMPARE(desktop.printDialogs, std::vector<int>{0x10000C});
    QVERIFY(desktop.messages.empty());
}

}  // namespace

class TestCertificate : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    const FigureData triangle_ = FigureOf(Shipped("Triangle"));
    BoardState board_;

private slots:
    void initTestCase() { ForceLanguage(Language::English); }
    void cleanupTestCase() { ForceLanguage(std::nullopt); }
    void init() { board_.Clear(); }

    void everyCopyHasTheLinesOfTheGame_data() {
        // Copies, orientation (1 portrait), pieces missing, cells breaking a rule, the game file's title.
        QTest::addColumn<QStringList>("game");
        QTest::addColumn<QString>("lines");
        QTest::newRow("solved, portrait") << QStringList{"2", "1", "0", "", "a.kyp"} << "KYP triangle game a.kyp|This is a solution! Score: 1234 seconds.|Date: 24/03/2025";
        QTest::newRow("solved, landscape") << QStringList{"1", "2", "0", "", ""} << "KYP triangle game|This is a solution!|Score: 1234 seconds.|Date: 24/03/2025";
        QTest::newRow("empty board") << QStringList{"1", "1", "64", "", ""} << "KYP triangle game|64 triangles missing|0 violate the rules";
        QTest::newRow("full, rule broken in cell 64") << QStringList{"1", "2", "0", "64", ""} << "KYP triangle game|0 triangles missing|1 violate the rules";
        QTest::newRow("some of each") << QStringList{"3", "1", "5", "1 9", "b.kyp"} << "KYP triangle game b.kyp|5 triangles missing|2 violate the rules";
    }
    void everyCopyHasTheLinesOfTheGame() {
        QFETCH(QStringList, game);
        QFETCH(QString, lines);
        const int copies = game[0].toInt(), orientation = game[1].toInt(), missing = game[2].toInt();
        for (int cell = missing + 1; cell <= kCellCount; ++cell) board_.pieces[cell] = std::int16_t(cell);
        for (const QString& cell : game[3].split(' ', Qt::SkipEmptyParts)) board_.violation[cell.toInt()] = true;
        const QString file = dir_.filePath(QTest::currentDataTag() + QString(".pdf"));
        Print(*PdfPrinter(file, orientation), Certificate{triangle_, board_, missing, 1234, game[4], "24/03/2025"}, PrintSetup{copies, orientation});

        QVERIFY(Poppler("pdfinfo", {file}).contains(QRegularExpression(QString("Pages: +%1\n").arg(copies))));
        QStringList printed;
        for (const QString& line : Poppler("pdftotext", {"-layout", file, "-"}).split(QRegularExpression("[\n\f]")))
            if (!line.simplified().isEmpty()) printed << line.simplified();
        QCOMPARE(printed.join('|'), QStringList(copies, lines + '|' + LoadResString(130)).join('|'));
        QVERIFY(Poppler("pdffonts", {file}).contains("Bold"));  // the heading

        // The text after the heading starts beside the figure, at 72 % of the
        // sheet's width (landscape), or below it at 79 % of its height, in line
        // with the figure's left edge at a twelfth of the width (portrait).
        const QString boxes = Poppler("pdftotext", {"-bbox", "-l", "1", file, "-"});
        const auto size = QRegularExpression("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\"").match(boxes);
        auto words = QRegularExpression("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"").globalMatch(boxes);
        for (qsizetype heading = lines.section('|', 0, 0).count(' ') + 1; heading > 0; --heading) words.next();
        const auto first = words.next();
        const double x = first.captured(1).toDouble() / size.captured(1).toDouble(), y = first.captured(2).toDouble() / size.captured(2).toDouble();
        QVERIFY2(orientation == 1 ? std::abs(x - 0.083) < 0.01 && std::abs(y - 0.79) < 0.01 : std::abs(x - 0.72) < 0.01, qPrintable(QString("%1 %2").arg(x).arg(y)));
    }

    void piecesAreSolidAndTheNextPrintsTextStaysBlack() {
        // One QPrinter for two prints, as the print dialog keeps it; each ends
        // with a white half, the all-white piece 64 in cell 2.
        board_.pieces[1] = 63;
        board_.pieces[2] = 64;
        const auto qprinter = PdfPrinter(dir_.filePath("first.pdf"));
        for (const QString name : {"first", "second"}) {
            qprinter->setOutputFileName(dir_.filePath(name + ".pdf"));
            Print(*qprinter, Certificate{triangle_, board_, 62, 5, {}, {}}, PrintSetup{});
        }
        Poppler("pdftoppm", {"-r", "72", "-gray", "-png", "-singlefile", dir_.filePath("second.pdf"), dir_.filePath("second")});
        const QImage page(dir_.filePath("second.png"));
        // Cells 1 and 2 are the halves of square (0, 0) of the figure, which is
        // 8 wide: across the sheet less a twelfth on either side, a twelfth down.
        const double unit = page.width() / 9.6;
        for (float u = 0.1f; u < 0.95f; u += 0.1f)
            for (float v = 0.1f; v < 0.95f; v += 0.1f) {
                const int gray = qGray(page.pixel(int(page.width() / 12 + u * unit), int(page.height() / 12 + v * unit)));
                if (std::abs(u + v - 1) > 0.15f) QVERIFY2(u + v < 1 ? gray < 64 : gray > 192, qPrintable(QString("%1, %2: %3").arg(u).arg(v).arg(gray)));
            }
        // The counts and the signature line, below the figure.
        int dark = 0;
        for (int y = page.height() * 3 / 4; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 96;
        QVERIFY2(dark > 200, qPrintable(QString::number(dark)));
    }

    void nothingIsWrittenWhenCancelledOrFailed() {
        Print(*PdfPrinter(dir_.filePath("none.pdf")), Certificate{triangle_, board_, 64, 0, {}, {}}, std::nullopt);
        // A figure without extent: a page scale the printer refuses.
        Print(*PdfPrinter(dir_.filePath("none.pdf")), Certificate{FigureData{}, board_, 64, 0, {}, {}}, PrintSetup{2, 1});
        QVERIFY(!QFile::exists(dir_.filePath("none.pdf")));
    }
};

MURLEN_TEST(TestCertificate)
#include "test_certificate.moc"
