#include "print/certificate.h"

#include <QStringList>
#include <algorithm>

#include "app/strings.h"
#include "model/piece.h"

namespace murlen {

namespace {

constexpr int kPortrait = 1;  // the print dialog's orientation

// The page in figure units: the figure's larger extent E fills the printable
// width (portrait) or height (landscape) less a margin of 0.1 E on either side;
// the other axis follows the sheet's proportions so that the figure keeps its
// shape. The margin before the figure is a twelfth of either axis.
void SetPageScale(Printer& printer, const FigureData& figure, bool portrait) {
    const double extent = std::max(figure.maxX - figure.minX, figure.maxY - figure.minY);
    const double pageWidth = printer.Width();
    const double pageHeight = printer.Height();
    if (pageWidth <= 0 || pageHeight <= 0) {
        printer.SetScale(0, 0, 0, 0);  // refused: fails the document
        return;
    }
    const float width = float(portrait ? 1.2 * extent : 1.2 * extent * pageWidth / pageHeight);
    const float height = float(portrait ? 1.2 * extent * pageHeight / pageWidth : 1.2 * extent);
    printer.SetScale(float(-(width / 1.2) * 0.1), float(-(height / 1.2) * 0.1), width, height);
}

// The heading, just inside the top margin, in bold.
void PrintHeading(Printer& printer, const QString& gameFileTitle) {
    QString heading = LoadResString(126);
    if (!gameFileTitle.isEmpty()) heading += QStringLiteral("  ") + gameFileTitle;
    printer.SetCurrentX(0);
    printer.SetCurrentY(float(0.9 * printer.ScaleTop()));
    printer.SetFontBold(true);
    printer.Print(heading);
    printer.SetFontBold(false);
}

int CountViolations(const BoardState& board) {
    int count = 0;
    for (int cell = 1; cell <= kCellCount; ++cell) count += board.violation[cell] ? 1 : 0;
    return count;
}

// The lines below the figure (portrait) or beside it (landscape): the proof of
// a solution, or what is still wrong; then the line to sign on.
QStringList TextLines(const Certificate& game, int broken, bool portrait) {
    const QString seconds = QString::number(game.seconds);
    QStringList lines;
    if (game.missing == 0 && broken == 0) {
        if (portrait) {
            lines << LoadResString(127) + seconds + LoadResString(128);
        } else {
            lines << LoadResString(133) << QString() << LoadResString(134) + seconds + LoadResString(128);
        }
        lines << QString() << LoadResString(129) + game.date;
    } else {
        lines << QString::number(game.missing) + LoadResString(131) << QString()
              << QString::number(broken) + LoadResString(132);
    }
    lines << QString() << LoadResString(130);
    return lines;
}

void PrintText(Printer& printer, const QStringList& lines, bool portrait) {
    if (portrait) {
        // Below the figure; Print itself takes every later line to the left edge.
        printer.SetCurrentX(0);
        printer.SetCurrentY(printer.ScaleWidth());
        for (const QString& line : lines) printer.Print(line);
    } else {
        // To the right of the figure, every line at the same indent.
        printer.SetCurrentY(0);
        for (const QString& line : lines) {
            printer.SetCurrentX(float(0.9 * printer.ScaleHeight()));
            printer.Print(line);
        }
    }
}

// A cell moved so that the figure's bounding box starts at (0, 0).
Triangle OnPage(const Triangle& cell, const FigureData& figure) {
    auto move = [&](Point p) { return Point{p.x - figure.minX, p.y - figure.minY}; };
    return {move(cell.p1), move(cell.p2), move(cell.p3)};
}

void DrawOutlines(Printer& printer, const FigureData& figure) {
    const Rgb fore = printer.ForeColor();
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const Triangle t = OnPage(figure.points[cell], figure);
        printer.Line(t.p1, t.p2, fore);
        printer.Line(t.p2, t.p3, fore);
        printer.Line(t.p3, t.p1, fore);
    }
}

// A half on paper: the fan's 21 lines to the centroid, as broad as the
// printer's pen, close into a solid wedge and reach over the cell's outline,
// so that a white half hides the outline under it.
void DrawPaperFan(Printer& printer, const Triangle& cell, int bit, Rgb color) {
    const HalfEdge half = HalfEdgeOf(cell, bit);
    for (float t : FanSteps()) printer.Line(FanStart(half, t), Centroid(cell), color);
}

// Every half-edge of a placed piece as a fan to the centroid: black halves in
// black, white halves painted white over the outline. Unlike the board, the
// all-white piece gets no dot.
void DrawPieces(Printer& printer, const FigureData& figure, const BoardState& board) {
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const int piece = board.pieces[cell];
        if (piece == 0) continue;
        const Triangle t = OnPage(figure.points[cell], figure);
        for (int bit = 0; bit < 6; ++bit) {
            const bool black = ((PieceCode(piece) >> bit) & 1) != 0;
            DrawPaperFan(printer, t, bit, black ? kBlack : kWhite);
        }
    }
}

}  // namespace

void DrawCertificate(Printer& printer, const Certificate& game, bool portrait) {
    SetPageScale(printer, game.figure, portrait);
    PrintHeading(printer, game.gameFileTitle);
    PrintText(printer, TextLines(game, CountViolations(game.board), portrait), portrait);
    DrawOutlines(printer, game.figure);
    DrawPieces(printer, game.figure, game.board);
}

void PrintCertificate(Desktop& desktop, const Certificate& game) {
    const std::optional<PrintSetup> setup = desktop.ShowPrinter(kCertificateDialogFlags);
    if (!setup) return;  // cancelled: nothing printed, nothing said

    Printer& printer = desktop.ThePrinter();
    printer.SetFontSize(kCertificateFontSize);
    const bool portrait = setup->orientation == kPortrait;
    for (int copy = 1; copy <= setup->copies; ++copy) {
        if (copy > 1) printer.NewPage();
        DrawCertificate(printer, game, portrait);
        // A document that went wrong is dropped, never sent half-drawn.
        if (printer.Failed()) {
            printer.KillDoc();
            return;
        }
    }
    printer.EndDoc();
}

}  // namespace murlen
