// The shape generator's File menu: opening a shape file into the grid, saving
// the grid as a shape file and adding it to the figure list, the save question
// that guards them, and the return to the game.
#include <system_error>

#include "app/file_messages.h"
#include "app/paths.h"
#include "app/strings.h"
#include "files/figure_list.h"
#include "files/program_folder.h"
#include "files/shape_file.h"
#include "generator/frm_shape.h"

namespace murlen {
FileDialogSetup FrmShape::ShapeFileDialog() const {
    FileDialogSetup setup;
    setup.filter = LoadResString(152) + QStringLiteral(" (*.dat)|*.dat");
    setup.flags = 4;
    setup.initDir = ToQString(PlacesOf(desktop_).DialogFolder());
    return setup;
}

bool FrmShape::PassesNameTests(const QString& title) {
    // Any spelling of the list's name counts: where names ignore case, it is
    // the list itself.
    if (title.compare(QLatin1String(kFigureListName), Qt::CaseInsensitive) == 0) {
        desktop_.MsgBox(LoadResString(153), msgbox::kCritical, QString());
        return false;
    }
    if (title.right(4).toUpper() != QLatin1String(".DAT")) {
        desktop_.MsgBox(LoadResString(154), msgbox::kCritical, QString());
        return false;
    }
    return true;
}

void FrmShape::mnuOpen_Click() {
    if (!ConfirmSaveShape()) return;
    const std::optional<FileChoice> choice = desktop_.ShowOpen(ShapeFileDialog());
    if (!choice) return;
    if (!ChosenFileExists(*choice)) {
        desktop_.MsgBox(LoadResString(123) + choice->fileTitle + LoadResString(124), msgbox::kCritical, QString());
        return;
    }
    if (!PassesNameTests(choice->fileTitle)) return;

    // The file is read and checked whole before anything changes: a file that
    // cannot be used leaves grid, names and caption as they were.
    const ReadResult<ShapeFileContents> read = ReadShapeFileIntoGrid(ToFilePath(choice->fileName));
    if (!read.ok()) {
        desktop_.MsgBox(ReadProblemMessage(FileKind::ShapeFile, choice->fileTitle, read.problem, read.line),
                        msgbox::kCritical, QString());
        return;
    }

    ShapeFilePath = choice->fileName;
    ShapeFileTitle = choice->fileTitle;
    mnuSave->setEnabled(true);
    SetCaption();
    Grid = read.value->grid;
    ShapeMinX = read.value->minX;
    ShapeMaxX = read.value->maxX;
    ShapeMinY = read.value->minY;
    ShapeMaxY = read.value->maxY;
    ShowPlacedCount();
    RedrawGrid();
}

void FrmShape::mnuSave_Click() { SaveShape(); }

bool FrmShape::SaveShape() {
    if (Grid.placedCount != kCellCount) {
        desktop_.MsgBox(LoadResString(157), msgbox::kCritical, QString());
        return false;
    }
    if (WriteShapeFile(Grid, ToFilePath(ShapeFilePath)) != FileProblem::None) {
        desktop_.MsgBox(WriteProblemMessage(ShapeFileTitle), msgbox::kCritical, QString());
        return false;
    }
    // The name tests made sure the title ends in ".dat".
    const QString figureName = ShapeFileTitle.left(ShapeFileTitle.size() - 4);
    if (desktop_.MsgBox(LoadResString(158), msgbox::kYesNo, QString()) == msgbox::kYes) AddToFigureList(figureName);
    return true;
}

void FrmShape::AddToFigureList(const QString& figureName) {
    const std::string name = figureName.toStdString();
    // The list holds names between quotes, and the game opens only names that
    // stay inside the program folder.
    if (!IsSafeFigureName(name) || figureName.contains(QLatin1Char('"'))) {
        desktop_.MsgBox(LoadResString(167) + ShapeFileTitle + LoadResString(179), msgbox::kCritical, QString());
        return;
    }

    const FilePlaces places = PlacesOf(desktop_);
    switch (places.AddFigure(name)) {
    case AppendOutcome::Duplicate:
        desktop_.MsgBox(LoadResString(159), msgbox::kCritical, QString());
        desktop_.MsgBox(LoadResString(160), msgbox::kCritical, QString());
        return;
    case AppendOutcome::Failed:
        desktop_.MsgBox(LoadResString(167) + ToQString(places.UserFigureList().filename()) + LoadResString(178),
                        msgbox::kCritical, QString());
        return;
    case AppendOutcome::Appended: break;
    }

    // The game looks for a figure's shape file in the user's folder only. A
    // figure saved elsewhere stays in the list (the user may move the file
    // there), but the user should know.
    const std::optional<std::filesystem::path> found = places.ShapeFileOf(name);
    std::error_code error;
    if (!found || !std::filesystem::equivalent(*found, ToFilePath(ShapeFilePath), error))
        desktop_.MsgBox(LoadResString(176) + figureName + LoadResString(180), msgbox::kCritical, QString());
}

void FrmShape::mnuSaveAs_Click() { SaveShapeAs(); }

bool FrmShape::SaveShapeAs() {
    if (Grid.placedCount != kCellCount) {
        desktop_.MsgBox(LoadResString(157), msgbox::kCritical, QString());
        return true;
    }
    const std::optional<FileChoice> choice = desktop_.ShowSave(ShapeFileDialog());
    if (!choice) return true;
    if (!MayOverwrite(desktop_, *choice)) return true;
    if (!PassesNameTests(choice->fileTitle)) return true;

    // The new name is kept only when the shape file could be written under it.
    const QString oldTitle = ShapeFileTitle;
    const QString oldPath = ShapeFilePath;
    const bool oldSaveEnabled = mnuSave->isEnabled();
    ShapeFileTitle = choice->fileTitle;
    ShapeFilePath = choice->fileName;
    SetCaption();
    mnuSave->setEnabled(true);
    if (SaveShape()) return true;
    ShapeFileTitle = oldTitle;
    ShapeFilePath = oldPath;
    mnuSave->setEnabled(oldSaveEnabled);
    SetCaption();
    return false;
}

bool FrmShape::ConfirmSaveShape() {
    // Only a complete figure can be saved, so only then is the user asked.
    if (Grid.placedCount != kCellCount) return true;
    const bool named = !ShapeFileTitle.isEmpty();
    const QString question = named ? LoadResString(142) + ShapeFileTitle + LoadResString(143) : LoadResString(141);
    switch (desktop_.MsgBox(question, msgbox::kYesNoCancel, QString())) {
    // A save that fails keeps the drawing: the user has been told and may try
    // another place.
    case msgbox::kYes: return named ? SaveShape() : SaveShapeAs();
    case msgbox::kNo: return true;
    default: return false;
    }
}

void FrmShape::mnuExit_Click() {
    // Only hidden: grid, names and caption wait for the next visit.
    if (ConfirmSaveShape()) hide();
}

}  // namespace murlen
