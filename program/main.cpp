// Murlen, "The incredible puzzle with the triangles": answers the command line,
// then starts the game window for the program folder, the folder of this
// executable.
#include <QApplication>

#include "app/command_line.h"
#include "app/icons.h"
#include "app/qt_desktop.h"
#include "app/strings.h"
#include "game/tri_form.h"

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<int> status = murlen::AnswerCommandLine(arguments, QStringLiteral(MURLEN_VERSION)))
        return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Murlen"));
    // The desktop finds the menu entry and icon by this name. No display name:
    // Qt would append it to every window title.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.murlen.Murlen"));
    QApplication::setWindowIcon(murlen::LoadResPicture(murlen::kIconApplication));
    murlen::InstallQtTranslations();

    murlen::QtDesktop desktop(QCoreApplication::applicationDirPath());
    murlen::TriForm form(desktop);
    form.show();
    // Once the window is there, a game a crash interrupted is offered back.
    QMetaObject::invokeMethod(&form, &murlen::TriForm::OfferGameInProgress, Qt::QueuedConnection);
    return QApplication::exec();
}
