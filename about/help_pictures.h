// The pictures of the help pages and the desktop icon, drawn by the game's own
// drawing code: the pieces as the pool draws them, boards as DrawBoardCell draws
// and checks them. tools/make_help_pictures writes them into resources/, and a
// test checks that the committed files are still what the code draws, so that
// the help and the game cannot disagree.
#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <vector>

namespace murlen {

struct HelpPicture {
    QString fileName;  // as the help pages refer to it, e.g. "help_red.png", or "help_red@2x.png"
    QImage image;
};

// Every picture the help pages show, in a fixed order, drawn at a device pixel
// ratio: the same pictures in logical pixels, `pixelRatio` times as sharp. The
// help viewer shows those of ratio 2 on screens of a higher density.
std::vector<HelpPicture> HelpPictures(int pixelRatio = 1);

// The sizes of the application icon in the desktop's icon theme, and the file
// name of each under resources/desktop/icons/.
constexpr std::array<int, 6> kDesktopIconSizes{16, 32, 48, 64, 128, 256};
QString DesktopIconFileName(int pixels);

// The heart of the application icon at `pixels` x `pixels`. Needs a
// QGuiApplication.
QImage DesktopIcon(int pixels);

}  // namespace murlen
