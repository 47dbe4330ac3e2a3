#include "app/file_messages.h"

#include "app/paths.h"
#include "app/strings.h"

namespace murlen {

QString ReadProblemMessage(FileKind kind, const QString& fileTitle, FileProblem problem, int line) {
    switch (problem) {
    case FileProblem::NotFound: return LoadResString(123) + fileTitle + LoadResString(124);
    case FileProblem::Unreadable:
    case FileProblem::TooLarge: return LoadResString(167) + fileTitle + LoadResString(168);
    default: break;
    }
    QString message = LoadResString(167) + fileTitle + LoadResString(kind == FileKind::GameFile ? 170 : 169);
    if (line > 0) message += LoadResString(171) + QString::number(line) + LoadResString(172);
    return message;
}

bool MayOverwrite(Desktop& desktop, const FileChoice& choice) {
    if (!ChosenFileExists(choice)) return true;
    return desktop.MsgBox(LoadResString(135) + choice.fileTitle + LoadResString(136),
                          msgbox::kYesNo | msgbox::kQuestion, LoadResString(137)) == msgbox::kYes;
}

QString HelpFileOf(const Desktop& desktop) {
    return ToQString(PlacesOf(desktop).ShippedFolder()) + LoadResString(144);
}

QString WriteProblemMessage(const QString& fileTitle) {
    return LoadResString(167) + fileTitle + LoadResString(174);
}

}  // namespace murlen
