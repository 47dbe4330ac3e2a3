// Writes the pictures of the help pages into resources/help/ and the
// application icon in the desktop's sizes into resources/desktop/icons/, all
// drawn by the game's own drawing code. Run it after changing how pieces,
// boards or the heart are drawn, and commit what it writes:
//   build/tools/make_help_pictures .
// (the argument is the source tree; tests/about checks that the committed
// pictures are still what the code draws).
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include "about/help_pictures.h"

int main(int argc, char** argv) {
    // Drawing the heart needs a GUI application, but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        err << "usage: make_help_pictures SOURCE_TREE\n";
        return 2;
    }
    const QDir source(arguments.at(1));
    const QDir help(source.filePath(QStringLiteral("resources/help")));
    const QDir icons(source.filePath(QStringLiteral("resources/desktop/icons")));
    if (!help.exists() || !QDir().mkpath(icons.path())) {
        err << "not a Murlen source tree: " << source.path() << "\n";
        return 1;
    }

    int failed = 0;
    auto save = [&](const QImage& image, const QString& path) {
        if (image.save(path, "PNG")) {
            QTextStream(stdout) << path << "\n";
        } else {
            err << "cannot write " << path << "\n";
            ++failed;
        }
    };
    for (const int pixelRatio : {1, 2})
        for (const murlen::HelpPicture& picture : murlen::HelpPictures(pixelRatio))
            save(picture.image, help.filePath(picture.fileName));
    for (int pixels : murlen::kDesktopIconSizes)
        save(murlen::DesktopIcon(pixels), icons.filePath(murlen::DesktopIconFileName(pixels)));
    return failed == 0 ? 0 : 1;
}
