// The shape generator's files: opening shape files, saving them, adding them to
// the figure list, the refusals on the way, and the save question on Return.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "app/strings.h"
#include "files/figure_list.h"
#include "generator_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// Everything a refused command must leave as it was.
struct GeneratorSnapshot {
    ShapeGrid grid;
    QString caption, filePath, fileTitle, placed;
    bool saveEnabled;
    QImage picture;

    explicit GeneratorSnapshot(const FrmShape& form)
        : grid(form.Grid), caption(form.windowTitle()), filePath(form.ShapeFilePath),
          fileTitle(form.ShapeFileTitle), placed(form.labelPcs->text()), saveEnabled(form.mnuSave->isEnabled()),
          picture(form.UniPic->Image()) {}
    bool operator==(const GeneratorSnapshot&) const = default;
};

QStringList ListIn(const ProgramFolder& folder) {
    QStringList names;
    for (const std::string& name : ParseFigureList(folder.ReadBytes("Figures.dat").toStdString()))
        names << QString::fromStdString(name);
    return names;
}

// A complete figure that is not one of the folder's own.
ShapeGrid Star() { return RectangleGrid(true, 3, 5); }

}  // namespace

class TestGeneratorFiles : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void incompleteFigureIsRefusedBeforeAnyDialog() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        ShapeGrid figure = Star();
        figure.Cell(3, 5, 1) = 0;
        figure.placedCount = 63;
        generator.Load(figure);

        form.mnuSaveAs->trigger();
        QCOMPARE(generator.desktop->Prompts(), QStringList{"Can't save uncomplete shapes (put 64 pieces)"});
        QCOMPARE(generator.desktop->messages[0].style, 16);
        QVERIFY(generator.desktop->saveDialogs.empty());

        // Nor is it offered for saving when the window is left.
        form.mnuExit_Click();
        QCOMPARE(generator.desktop->messages.size(), std::size_t(1));
        QVERIFY(form.isHidden());
    }

    void saveAsWritesTheShapeFileAndAddsTheFigure() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.Load(Star());
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("Star.dat"));
        generator.desktop->msgBoxAnswers = {msgbox::kYes};
        form.mnuSaveAs->trigger();

        QCOMPARE(generator.desktop->saveDialogs.size(), std::size_t(1));
        const FileDialogSetup& setup = generator.desktop->saveDialogs[0];
        QCOMPARE(setup.filter, QString("Shape (*.dat)|*.dat"));
        QCOMPARE(setup.flags, 4);
        QCOMPARE(setup.initDir, generator.folder.Path());
        QCOMPARE(generator.desktop->Prompts(), QStringList{"Add the file to the data base?"});
        QCOMPARE(generator.desktop->messages[0].style, 4);
        QCOMPARE(generator.desktop->messages[0].title, QString());

        const QByteArray written = generator.folder.ReadBytes("Star.dat");
        QCOMPARE(written.count("\r\n"), 452);
        QVERIFY(written.endsWith("\r\n"));
        QCOMPARE(written.toStdString(), ShapeFileText(Star()));
        QCOMPARE(ListIn(generator.folder), QStringList({"Triangle", "Rising", "Falling", "Star"}));
        QCOMPARE(form.windowTitle(), QString("Shape generator [Star.dat]"));
        QCOMPARE(form.ShapeFilePath, generator.folder.FilePath("Star.dat"));
        QVERIFY(form.mnuSave->isEnabled());

        // Saved again under the same name: the file is rewritten, the list is
        // left as it was.
        generator.desktop->messages.clear();
        const QByteArray list = generator.folder.ReadBytes("Figures.dat");
        QVERIFY(QFile::remove(generator.folder.FilePath("Star.dat")));
        generator.desktop->msgBoxAnswers = {msgbox::kYes};
        form.mnuSave->trigger();
        QCOMPARE(generator.desktop->Prompts(), QStringList({"Add the file to the data base?",
                                                            "Dublication! SaveAs another name", "Operation cancelled"}));
        QCOMPARE(generator.desktop->messages[1].style, 16);
        QCOMPARE(generator.desktop->messages[2].style, 16);
        QCOMPARE(generator.folder.ReadBytes("Star.dat"), written);
        QCOMPARE(generator.folder.ReadBytes("Figures.dat"), list);
    }

    void noToTheDataBaseQuestionOnlyWritesTheFile() {
        GeneratorFixture generator;
        generator.Load(Star());
        const QByteArray list = generator.folder.ReadBytes("Figures.dat");
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("Big.DAT"));
        generator.desktop->msgBoxAnswers = {msgbox::kNo};
        generator.form->mnuSaveAs_Click();
        QCOMPARE(generator.folder.ReadBytes("Big.DAT").toStdString(), ShapeFileText(Star()));
        QCOMPARE(generator.folder.ReadBytes("Figures.dat"), list);

        // Yes adds the name without its extension, whatever its case.
        generator.desktop->msgBoxAnswers = {msgbox::kYes};
        generator.form->mnuSave_Click();
        QCOMPARE(ListIn(generator.folder).last(), QString("Big"));
    }

    void missingFigureListIsCreated() {
        GeneratorFixture generator;
        QVERIFY(QFile::remove(generator.folder.FilePath("Figures.dat")));
        generator.Load(Star());
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("Star.dat"));
        generator.form->mnuSaveAs_Click();
        QCOMPARE(generator.folder.ReadBytes("Figures.dat"), QByteArray("\"Star\"\r\n"));
    }

    void openedFigureLandsAtTheTopLeftCorner() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.folder.WriteFigure("Wide", TriangleGrid(5, 2));
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("Wide.dat"));
        form.mnuOpen->trigger();

        QVERIFY(generator.desktop->messages.empty());
        QCOMPARE(generator.desktop->openDialogs.size(), std::size_t(1));
        QCOMPARE(generator.desktop->openDialogs[0].filter, QString("Shape (*.dat)|*.dat"));
        QCOMPARE(generator.desktop->openDialogs[0].initDir, generator.folder.Path());
        QCOMPARE(form.Grid, TriangleGrid());
        QCOMPARE(form.ShapeMinX, 5.0f);
        QCOMPARE(form.ShapeMaxX, 13.0f);
        QCOMPARE(form.labelPcs->text(), QString("Placed: 64"));
        QCOMPARE(form.windowTitle(), QString("Shape generator [Wide.dat]"));
        QVERIFY(form.mnuSave->isEnabled());
        QCOMPARE(generator.HalfColor(0, 0, false, 1), generator.Fore());
        QCOMPARE(generator.HalfColor(7, 0, false, 1), generator.Fore());
        QCOMPARE(generator.HalfColor(7, 0, false, 2), generator.Back());
        QCOMPARE(int(form.GridSize), 12);

        // Opening another asks about the complete figure first; Cancel keeps it.
        generator.desktop->msgBoxAnswers = {msgbox::kCancel};
        form.mnuOpen_Click();
        QCOMPARE(generator.desktop->Prompts(), QStringList{"Do You want to save your work as Wide.dat?"});
        QCOMPARE(generator.desktop->messages[0].style, 3);
        QCOMPARE(generator.desktop->openDialogs.size(), std::size_t(1));
    }

    void unusableFilesChangeNothing() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.LeftClick(2.2f, 2.2f);
        const QByteArray good = QByteArray::fromStdString(ShapeFileText(TriangleGrid()));
        generator.folder.WriteBytes("Broken.dat", good.left(good.indexOf("\r\n20\r\n")));
        generator.folder.WriteBytes("Notes.txt", good);
        const GeneratorSnapshot before(form);

        const QStringList titles = {"Broken.dat", "Gone.dat", "Notes.txt", "Figures.dat", "FIGURES.DAT"};
        for (const QString& title : titles) generator.desktop->fileAnswers.push_back(generator.ChoiceIn(title));
        for (int i = 0; i < titles.size(); ++i) form.mnuOpen_Click();
        QCOMPARE(generator.desktop->Prompts(),
                 QStringList({"The file Broken.dat is not a valid shape file.", "File Gone.dat not found!",
                              "Only '.dat' extensions are supported!", "This file is tabu!",
                              "File FIGURES.DAT not found!"}));
        for (const AskedMessage& message : generator.desktop->messages) QCOMPARE(message.style, 16);
        QCOMPARE(GeneratorSnapshot(form), before);
    }

    void figureListNamesAreTabuInAnyCase() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.Load(Star());
        const QByteArray list = generator.folder.ReadBytes("Figures.dat");
        const GeneratorSnapshot before(form);

        // The list exists: first the overwrite question, then the refusal.
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("Figures.dat"));
        generator.desktop->msgBoxAnswers = {msgbox::kYes};
        form.mnuSaveAs_Click();
        QCOMPARE(generator.desktop->Prompts(),
                 QStringList({"Overwrite the file Figures.dat ?", "This file is tabu!"}));
        QCOMPARE(generator.desktop->messages[0].style, 36);
        QCOMPARE(generator.desktop->messages[0].title, QString("Warning: File exists"));
        QCOMPARE(generator.desktop->messages[1].style, 16);

        generator.desktop->messages.clear();
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("FIGURES.DAT"));
        form.mnuSaveAs_Click();
        QCOMPARE(generator.desktop->Prompts(), QStringList{"This file is tabu!"});
        QVERIFY(!QFile::exists(generator.folder.FilePath("FIGURES.DAT")));

        generator.desktop->messages.clear();
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("Star.txt"));
        form.mnuSaveAs_Click();
        QCOMPARE(generator.desktop->Prompts(), QStringList{"Only '.dat' extensions are supported!"});
        QVERIFY(!QFile::exists(generator.folder.FilePath("Star.txt")));

        QCOMPARE(generator.folder.ReadBytes("Figures.dat"), list);
        QCOMPARE(GeneratorSnapshot(form), before);
    }

    void overwriteQuestionAnsweredNoKeepsTheFile() {
        GeneratorFixture generator;
        generator.Load(Star());
        const QByteArray old = generator.folder.ReadBytes("Rising.dat");
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("Rising.dat"));
        generator.desktop->msgBoxAnswers = {msgbox::kNo};
        generator.form->mnuSaveAs_Click();
        QCOMPARE(generator.desktop->Prompts(), QStringList{"Overwrite the file Rising.dat ?"});
        QCOMPARE(generator.folder.ReadBytes("Rising.dat"), old);
        QCOMPARE(generator.form->ShapeFileTitle, QString());
    }

    void shapeFileThatCannotBeWritten() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.Load(Star());
        const QByteArray list = generator.folder.ReadBytes("Figures.dat");
        const GeneratorSnapshot before(form);
        generator.desktop->fileAnswers.push_back(
            FileChoice{generator.folder.FilePath("missing/New.dat"), "New.dat"});
        form.mnuSaveAs_Click();
        QCOMPARE(generator.desktop->Prompts(),
                 QStringList{"The file New.dat cannot be written. Nothing has been changed."});
        QCOMPARE(generator.desktop->messages[0].style, 16);
        QCOMPARE(generator.folder.ReadBytes("Figures.dat"), list);
        // The name is not taken up: Save stays off, the caption unchanged.
        QCOMPARE(GeneratorSnapshot(form), before);

        // Return with Yes to the save question: the save fails, the drawing stays.
        for (bool named : {false, true}) {
            generator.desktop->messages.clear();
            generator.desktop->msgBoxAnswers = {msgbox::kYes};
            if (named) form.ShapeFilePath = generator.folder.FilePath("missing/New.dat");
            if (named) form.ShapeFileTitle = "New.dat";
            generator.desktop->fileAnswers.push_back(FileChoice{generator.folder.FilePath("missing/New.dat"), "New.dat"});
            form.mnuExit_Click();
            QVERIFY(form.isVisible());
            QCOMPARE(generator.desktop->Prompts().last(), QString("The file New.dat cannot be written. Nothing has been changed."));
            QCOMPARE(form.Grid, Star());
        }
    }

    void figureListThatCannotBeWritten() {
        GeneratorFixture generator;
        QVERIFY(QFile::remove(generator.folder.FilePath("Figures.dat")));
        QVERIFY(QDir(generator.folder.Path()).mkdir("Figures.dat"));
        generator.Load(Star());
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("Star.dat"));
        generator.desktop->msgBoxAnswers = {msgbox::kYes};
        generator.form->mnuSaveAs_Click();
        QCOMPARE(generator.desktop->Prompts(),
                 QStringList({"Add the file to the data base?",
                              "The file Figures.dat cannot be written. The shape file has been saved, but the figure "
                              "has not been added to the figure list."}));
        QCOMPARE(generator.desktop->messages[1].style, 16);
        QCOMPARE(generator.folder.ReadBytes("Star.dat").toStdString(), ShapeFileText(Star()));
    }

    void namesTheListCannotHoldAreNotAdded() {
        GeneratorFixture generator;
        generator.Load(Star());
        const QByteArray list = generator.folder.ReadBytes("Figures.dat");
        for (const QString& title : {QString(".dat"), QString("Say \"hi\".dat")}) {
            generator.desktop->messages.clear();
            generator.desktop->fileAnswers.push_back(generator.ChoiceIn(title));
            generator.form->mnuSaveAs_Click();
            QCOMPARE(generator.desktop->Prompts().size(), 2);
            QVERIFY2(generator.desktop->Prompts()[1].startsWith("The file " + title + " cannot be added to the figure list"),
                     qPrintable(generator.desktop->Prompts()[1]));
            QVERIFY(QFile::exists(generator.folder.FilePath(title)));
        }
        QCOMPARE(generator.folder.ReadBytes("Figures.dat"), list);
    }

    void figureSavedOutsideTheProgramFolderIsAddedWithAWarning() {
        GeneratorFixture generator;
        QTemporaryDir elsewhere;
        QVERIFY(elsewhere.isValid());
        generator.Load(Star());
        generator.desktop->fileAnswers.push_back(FileChoice{elsewhere.filePath("Away.dat"), "Away.dat"});
        generator.form->mnuSaveAs_Click();
        QCOMPARE(generator.desktop->Prompts(),
                 QStringList({"Add the file to the data base?",
                              "The figure Away has been added to the figure list, but its shape file is not in the "
                              "program folder: the game looks for shape files only there and will not find this "
                              "one. Save the figure in the program folder to play it."}));
        QCOMPARE(ListIn(generator.folder).last(), QString("Away"));

        // Saved into the program folder under that name, it is found.
        generator.desktop->messages.clear();
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("Inside.dat"));
        generator.form->mnuSaveAs_Click();
        QCOMPARE(generator.desktop->Prompts(), QStringList{"Add the file to the data base?"});
    }

    void returnOffersToSaveACompleteFigure() {
        GeneratorFixture generator;
        FrmShape& form = *generator.form;
        generator.Load(Star());

        generator.desktop->msgBoxAnswers = {msgbox::kCancel};
        form.mnuExit->trigger();
        QCOMPARE(generator.desktop->Prompts(), QStringList{"Do you want to save your work?"});
        QCOMPARE(generator.desktop->messages[0].style, 3);
        QCOMPARE(generator.desktop->messages[0].title, QString());
        QVERIFY(form.isVisible());

        // Yes saves under a new name and leaves.
        generator.desktop->messages.clear();
        generator.desktop->msgBoxAnswers = {msgbox::kYes, msgbox::kYes};
        generator.desktop->fileAnswers.push_back(generator.ChoiceIn("Star.dat"));
        form.mnuExit_Click();
        QCOMPARE(generator.desktop->Prompts(),
                 QStringList({"Do you want to save your work?", "Add the file to the data base?"}));
        QVERIFY(form.isHidden());
        QCOMPARE(ListIn(generator.folder).last(), QString("Star"));

        // Shown again: everything is still there, and now it has a name.
        form.show();
        QCOMPARE(form.Grid, Star());
        QCOMPARE(form.windowTitle(), QString("Shape generator [Star.dat]"));
        generator.desktop->messages.clear();
        generator.desktop->msgBoxAnswers = {msgbox::kNo};
        form.mnuExit_Click();
        QCOMPARE(generator.desktop->Prompts(), QStringList{"Do You want to save your work as Star.dat?"});
        QVERIFY(form.isHidden());
    }
};

MURLEN_TEST(TestGeneratorFiles)
#include "test_generator_files.moc"
