// Game files and figures of the game window: open, save, save as, exit, the
// save question that guards them, switching to another figure, and the game
// a crash interrupted.

#include "app/file_messages.h"
#include "app/paths.h"
#include "app/strings.h"
#include "app/twips.h"
#include "files/game_file.h"
#include "generator/frm_shape.h"
#include "game/frm_figures.h"
#include "game/tri_form.h"

namespace murlen {
FileDialogSetup TriForm::GameFileDialog() const {
    FileDialogSetup setup;
    setup.flags = 4;
    setup.filter = LoadResString(121) + QStringLiteral(" (*.*)|*.*|") + LoadResString(122) +
                   QStringLiteral(" (*.kyp)|*.kyp");
    setup.filterIndex = 2;
    setup.initDir = ToQString(PlacesOf(desktop_).DialogFolder());
    return setup;
}

bool TriForm::ConfirmSaveGame() {
    // A game whose clock has shown nothing since it was drawn is not offered
    // for saving.
    if (game_.Label() == ScoreLabel::Empty) return true;
    const QString title = QString::fromStdString(game_.FileTitle());
    const QString question = title.isEmpty() ? LoadResString(141) : LoadResString(142) + title + LoadResString(143);
    switch (desktop_.MsgBox(question, msgbox::kYesNoCancel, QString())) {
    // A save that fails keeps the game: the player has been told and may try
    // another place.
    case msgbox::kYes: return title.isEmpty() ? SaveGameAs() : SaveGame();
    case msgbox::kNo: return true;
    default: return false;
    }
}

void TriForm::TellWriteProblem(FileProblem problem, const QString& title) {
    if (problem == FileProblem::NameTooLong)
        desktop_.MsgBox(LoadResString(175), msgbox::kCritical, QString());
    else
        desktop_.MsgBox(WriteProblemMessage(title), msgbox::kCritical, QString());
}

bool TriForm::SaveGame() {
    const FileProblem problem = game_.Save();
    if (problem != FileProblem::None) TellWriteProblem(problem, QString::fromStdString(game_.FileTitle()));
    return problem == FileProblem::None;
}

void TriForm::mnuSave_Click() { SaveGame(); }

void TriForm::mnuSaveAs_Click() { SaveGameAs(); }

bool TriForm::SaveGameAs() {
    const std::optional<FileChoice> choice = desktop_.ShowSave(GameFileDialog());
    if (!choice) return true;
    if (!MayOverwrite(desktop_, *choice)) return true;
    // The new name is kept only when the game could be written under it.
    const FileProblem problem = game_.SaveAs(ToFilePath(choice->fileName), choice->fileTitle.toStdString());
    if (problem != FileProblem::None) {
        TellWriteProblem(problem, choice->fileTitle);
        return false;
    }
    SetCaption();
    ShowClockAndMenus();
    return true;
}

void TriForm::mnuopen_Click() {
    CancelHint();
    if (!ConfirmSaveGame()) return;
    const std::optional<FileChoice> choice = desktop_.ShowOpen(GameFileDialog());
    if (!choice) return;
    if (!ChosenFileExists(*choice)) {
        desktop_.MsgBox(LoadResString(123) + choice->fileTitle + LoadResString(124), msgbox::kCritical, QString());
        return;
    }

    // Read and check everything first: a file that fails any check changes
    // nothing in the game.
    const ReadResult<SavedGame> read = ReadGameFile(ToFilePath(choice->fileName));
    if (!read.ok()) {
        desktop_.MsgBox(ReadProblemMessage(FileKind::GameFile, choice->fileTitle, read.problem, read.line),
                        msgbox::kCritical, QString());
        return;
    }
    const SavedGame& game = *read.value;
    const QString figureName = QString::fromStdString(game.figureName);
    const int menuIndex = FigureMenuIndex(figureName);
    if (menuIndex < 0) {
        desktop_.MsgBox(LoadResString(176) + figureName + LoadResString(177), msgbox::kCritical, QString());
        return;
    }
    const std::optional<FigureData> figure = ReadFigure(figureName);
    if (!figure) return;

    game_.Load(game, *figure, ToFilePath(choice->fileName), choice->fileTitle.toStdString());
    CheckFigureMenu(menuIndex);
    ShowGame();
    RememberFigure();
}

int TriForm::FigureMenuIndex(const QString& name) const {
    for (int i = 0; i < mnuShape->Count(); ++i)
        if ((*mnuShape)[i]->text() == name) return i;
    return -1;
}

void TriForm::CheckFigureMenu(int index) {
    for (int i = 0; i < mnuShape->Count(); ++i) (*mnuShape)[i]->setChecked(i == index);
}

void TriForm::OfferGameInProgress() {
    // A layout empties the clock's label and draws the board anew: a game
    // brought back waits until the window is laid out.
    if (client->LayoutPending()) {
        connect(client, &FormSurface::laidOut, this, &TriForm::OfferGameInProgress, Qt::SingleShotConnection);
        return;
    }
    // What cannot be brought back goes where the player's games are, named
    // "Interrupted game" in the player's language, and the player is told.
    const std::filesystem::path aside = PlacesOf(desktop_).DialogFolder();
    const std::string asideStem = LoadResString(230).toStdString();
    const GameInProgress::Abandoned left = game_.ClaimAbandoned(aside, asideStem);
    for (const std::filesystem::path& file : left.setAside)
        desktop_.MsgBox(LoadResString(231) + ToQString(file) + LoadResString(232), msgbox::kCritical, LoadResString(230));
    if (!left.game) return;

    const QString figureName = QString::fromStdString(left.game->figureName);
    const int menuIndex = FigureMenuIndex(figureName);
    const std::optional<FigureData> figure = menuIndex < 0 ? std::nullopt : ReadFigure(figureName, false);
    if (!figure) {
        // Kept for the player to open once the figure is back; should it not
        // move, it is offered again at the next start.
        if (const auto file = game_.SetAsideAbandoned(aside, asideStem))
            desktop_.MsgBox(LoadResString(233) + figureName + LoadResString(234) + ToQString(*file) + LoadResString(232),
                            msgbox::kCritical, LoadResString(230));
        return;
    }
    if (desktop_.MsgBox(LoadResString(228) + figureName + LoadResString(229), msgbox::kYesNo | msgbox::kQuestion,
                        LoadResString(230)) != msgbox::kYes) {
        game_.ForgetAbandoned();
        return;
    }
    game_.Restore(*left.game, *figure);
    CheckFigureMenu(menuIndex);
    ShowGame();
    RememberFigure();
}

void TriForm::EndProgram() {
    RememberPlace();
    game_.End();
    desktop_.End();
}

void TriForm::mnuExit_Click() {
    if (ConfirmSaveGame()) EndProgram();
}

void TriForm::mnuNewShape_Click() {
    mnuPause_Click();
    if (!frmShape) frmShape = new FrmShape(desktop_, this);
    frmShape->ShowModal();
    if (frmShape && frmShape->Unloaded()) frmShape = nullptr;  // the next visit loads it afresh

    // Take up the figures that the generator appended to the figure list.
    const std::optional<std::vector<std::string>> names = ReadFigureNames();
    if (!names) return;
    int i = 0;
    bool added = false;
    for (const std::string& entry : *names) {
        if (i >= mnuShape->Count()) {
            QAction* item = mnuShape->Load(i);
            item->setText(QString::fromStdString(entry));
            item->setChecked(false);
            added = true;
        }
        ++i;
    }
    if (added) mnuShape_Click(i - 1);
}

void TriForm::mnuFigures_Click() {
    const std::map<std::string, FigureRecord> records = RecordsByFigure(game_.ReadPlayerRecord(), game_.ReadBestTimes());
    std::vector<FigureChoice> figures;
    int current = 0;
    for (int i = 0; i < mnuShape->Count(); ++i) {
        const QString name = (*mnuShape)[i]->text();
        if ((*mnuShape)[i]->isChecked()) current = i;
        const auto record = records.find(name.toStdString());
        figures.push_back({name, ReadFigure(name, false), record == records.end() ? FigureRecord{} : record->second});
    }
    frmFigures = new FrmFigures(std::move(figures), current,
                                ToFilePath(desktop_.CacheFolder() + QStringLiteral("/difficulty.txt")), this);
    frmFigures->setAttribute(Qt::WA_DeleteOnClose);
    // The figure chosen is played as the figure menu plays it, save question
    // and all, once the chooser has gone.
    connect(frmFigures, &QDialog::accepted, this, [this, chooser = frmFigures.data()] {
        const int chosen = chooser->Chosen();
        QMetaObject::invokeMethod(this, [this, chosen] { mnuShape_Click(chosen); }, Qt::QueuedConnection);
    });
    frmFigures->open();
}

void TriForm::mnuShape_Click(int index) {
    CancelHint();
    if (!ConfirmSaveGame()) return;
    const QString name = (*mnuShape)[index]->text();
    const std::optional<FigureData> figure = ReadFigure(name);
    if (!figure) return;
    game_.NewFigure(name.toStdString(), *figure);
    pickedCell_ = 0;
    CheckFigureMenu(index);
    ShowGame();
    RememberFigure();
}

}  // namespace murlen
