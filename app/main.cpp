// Murlen, "The incredible puzzle with the triangles": starts the game window in
// the program folder, the folder of this executable.
#include <QApplication>

#include "app/icons.h"
#include "app/qt_desktop.h"
#include "game/tri_form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Murlen"));
    QApplication::setApplicationDisplayName(QStringLiteral("Murlen"));
    QApplication::setWindowIcon(murlen::LoadResPicture(murlen::kIconApplication));

    murlen::QtDesktop desktop(QCoreApplication::applicationDirPath());
    murlen::TriForm form(desktop);
    form.show();
    return QApplication::exec();
}
