// The solution certificate: the current board on paper with a heading, every
// placed piece in black and white, and either the score and the date or the
// count of what is still wrong, then a line to sign on.
#pragma once

#include <QString>
#include <cstdint>

#include "app/desktop.h"
#include "app/printer.h"
#include "model/geometry.h"
#include "model/rules.h"

namespace murlen {

// What the certificate reads of the game. It changes none of it.
struct Certificate {
    const FigureData& figure;
    const BoardState& board;
    int missing = 0;             // pool pieces still visible
    std::int32_t seconds = 0;    // the score
    QString gameFileTitle;       // empty when the game was never saved or opened
    QString date;                // today, in the system's short date form
};

// The print dialog's flags: no print-to-file box, no page numbers, no selection.
constexpr int kCertificateDialogFlags = 0x10000C;
constexpr float kCertificateFontSize = 18;

// One copy on the printer's current page, in this order: the page's scale, the
// heading, the text (score and date, or the counts), the outlines of all 64
// cells, the pieces. The font size is the caller's. A figure or a page without
// extent gives a scale the printer refuses, which fails the document.
void DrawCertificate(Printer& printer, const Certificate& game, bool portrait);

// The print command: asks for printer, copies and orientation, prints every copy
// on a page of its own and sends the document. Cancelling the dialog prints
// nothing; an error on the way drops the document without a message.
void PrintCertificate(Desktop& desktop, const Certificate& game);

}  // namespace murlen
