// Saving and opening games, the save question, leaving, and switching figures.
#include <QDir>
#include <QFile>
#include <QTest>

#include "app/strings.h"
#include "app/twips.h"
#include "model/solver.h"
#include "support/game_fixture.h"
#include "support/recording_printer.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// Everything a refused command must leave as it was.
struct GameSnapshot {
    CellArray<std::int16_t> board;
    CellArray<bool> violation;
    std::int32_t seconds;
    QString figureName, caption, fileTitle, filePath, label;
    int checkedFigure;
    bool saveEnabled;
    std::vector<bool> poolVisible;

    explicit GameSnapshot(const TriForm& form)
        : board(form.Board.pieces), violation(form.Board.violation), seconds(form.Seconds),
          figureName(form.FigureName), caption(form.windowTitle()), fileTitle(form.GameFileTitle),
          filePath(form.GameFilePath), label(form.labelScore->text()), checkedFigure(-1),
          saveEnabled(form.mnuSave->isEnabled()) {
        for (int i = 0; i < form.mnuShape->Count(); ++i)
            if ((*form.mnuShape)[i]->isChecked()) checkedFigure = i;
        for (int i = 1; i <= 64; ++i) poolVisible.push_back(form.TriPool(i)->isVisibleTo(form.client));
    }
    bool operator==(const GameSnapshot&) const = default;
};

FileChoice ChoiceIn(const ProgramFolder& folder, const QString& title) {
    return FileChoice{folder.FilePath(title), title};
}

// Little-endian readers for the bytes of a game file.
int Int32At(const QByteArray& bytes, int offset) {
    return int(quint32(quint8(bytes[offset])) | quint32(quint8(bytes[offset + 1])) << 8 |
               quint32(quint8(bytes[offset + 2])) << 16 | quint32(quint8(bytes[offset + 3])) << 24);
}
int Int16At(const QByteArray& bytes, int offset) {
    return qint16(quint16(quint8(bytes[offset])) | quint16(quint8(bytes[offset + 1])) << 8);
}

}  // namespace

class TestGameFiles : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void savedGameHasItsLayoutAndOpensAgain() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(5, 3);
        game.DropPiece(64, 10);
        form.Seconds = 75;
        game.desktop->fileAnswers.push_back(ChoiceIn(game.folder, "half.kyp"));
        form.mnuSaveAs_Click();

        // The dialog: both filters, games preselected, the program folder.
        QCOMPARE(game.desktop->saveDialogs.size(), std::size_t(1));
        const FileDialogSetup& setup = game.desktop->saveDialogs[0];
        QCOMPARE(setup.filter, QString("All files (*.*)|*.*|Games (*.kyp)|*.kyp"));
        QCOMPARE(setup.filterIndex, 2);
        QCOMPARE(setup.initDir, game.folder.Path());
        QCOMPARE(setup.flags, 4);
        QVERIFY(game.desktop->messages.empty());  // a new file: no overwrite question

        const QByteArray bytes = game.folder.ReadBytes("half.kyp");
        QCOMPARE(bytes.size(), 384);
        QCOMPARE(Int32At(bytes, 0), 75);
        QCOMPARE(Int16At(bytes, 128), 8);
        QCOMPARE(bytes.mid(130, 8), QByteArray("Triangle"));
        for (int cell = 1; cell <= 64; ++cell)
            QCOMPARE(Int16At(bytes, 256 + 2 * (cell - 1)), cell == 3 ? 5 : cell == 10 ? 64 : 0);
        QCOMPARE(form.windowTitle(), QString("Game: Triangle [File: half.kyp]"));
        QVERIFY(form.mnuSave->isEnabled());

        // Opened on a freshly started game showing another figure.
        GameFixture fresh;
        TriForm& other = *fresh.form;
        other.mnuShape_Click(2);
        QCOMPARE(other.FigureName, QString("Falling"));
        fresh.desktop->fileAnswers.push_back(ChoiceIn(game.folder, "half.kyp"));
        other.mnuopen_Click();
        QVERIFY2(fresh.desktop->messages.empty(), qPrintable(fresh.desktop->Prompts().join('\n')));
        QCOMPARE(other.FigureName, QString("Triangle"));
        QVERIFY((*other.mnuShape)[0]->isChecked());
        QVERIFY(!(*other.mnuShape)[2]->isChecked());
        QCOMPARE(other.Board.pieces[3], std::int16_t(5));
        QCOMPARE(other.Board.pieces[10], std::int16_t(64));
        QCOMPARE(fresh.PiecesOnBoard(), 2);
        QVERIFY(!other.TriPool(5)->isVisibleTo(other.client));
        QVERIFY(!other.TriPool(64)->isVisibleTo(other.client));
        QVERIFY(other.TriPool(6)->isVisibleTo(other.client));
        QCOMPARE(other.Seconds, 75);
        QCOMPARE(other.windowTitle(), QString("Game: Triangle [File: half.kyp]"));
        QVERIFY(other.mnuSave->isEnabled());
        QVERIFY(!other.Timer1->Enabled());
        QCOMPARE(other.labelScore->text(), QString());
        // The pieces were checked as they were drawn: piece 64 lies on a border cell.
        QCOMPARE(other.Board.violation[10], other.Neighbours[10][0] == 0 || other.Neighbours[10][1] == 0 ||
                                                other.Neighbours[10][2] == 0);

        // Play goes on from the stored seconds.
        fresh.DropPiece(7, 20);
        other.Timer1_Timer();
        QCOMPARE(other.labelScore->text(), QString(" 76 seconds"));
    }

    void overwriteQuestionGuardsExistingFiles() {
        GameFixture game;
        TriForm& form = *game.form;
        game.folder.WriteBytes("old.kyp", QByteArray(400, 'x'));
        game.DropPiece(1, 1);
        game.desktop->fileAnswers.push_back(ChoiceIn(game.folder, "old.kyp"));
        game.desktop->msgBoxAnswers.push_back(msgbox::kNo);
        form.mnuSaveAs_Click();
        QCOMPARE(game.desktop->messages.size(), std::size_t(1));
        QCOMPARE(game.desktop->messages[0].prompt, QString("Overwrite the file old.kyp ?"));
        QCOMPARE(game.desktop->messages[0].style, 36);
        QCOMPARE(game.desktop->messages[0].title, QString("Warning: File exists"));
        QCOMPARE(game.folder.ReadBytes("old.kyp"), QByteArray(400, 'x'));
        QCOMPARE(form.GameFileTitle, QString());
        QVERIFY(!form.mnuSave->isEnabled());

        // Yes overwrites the three records and keeps the bytes beyond them.
        game.desktop->fileAnswers.push_back(ChoiceIn(game.folder, "old.kyp"));
        game.desktop->msgBoxAnswers.push_back(msgbox::kYes);
        form.mnuSaveAs_Click();
        const QByteArray bytes = game.folder.ReadBytes("old.kyp");
        QCOMPARE(bytes.size(), 400);
        QCOMPARE(Int16At(bytes, 256), 1);
        QCOMPARE(bytes.mid(384), QByteArray(16, 'x'));
        QCOMPARE(form.GameFileTitle, QString("old.kyp"));

        // A name typed without extension is used without one.
        game.desktop->fileAnswers.push_back(ChoiceIn(game.folder, "plain"));
        form.mnuSaveAs_Click();
        QVERIFY(QFile::exists(game.folder.FilePath("plain")));
        QCOMPARE(form.windowTitle(), QString("Game: Triangle [File: plain]"));
    }

    void saveQuestionComesOnlyWhenTheLabelShowsText() {
        GameFixture game;
        TriForm& form = *game.form;

        // No second counted: Exit ends at once.
        form.mnuExit_Click();
        QVERIFY(game.desktop->ended);
        QVERIFY(game.desktop->messages.empty());

        // A running game without a file name: three buttons, no icon, no title.
        game.desktop->ended = false;
        game.DropPiece(1, 1);
        form.Timer1_Timer();
        game.desktop->msgBoxAnswers = {msgbox::kCancel};
        form.mnuExit_Click();
        QVERIFY(!game.desktop->ended);
        QCOMPARE(game.desktop->messages.back().prompt, QString("Do you want to save your work?"));
        QCOMPARE(game.desktop->messages.back().style, 3);
        QCOMPARE(game.desktop->messages.back().title, QString());

        // Yes runs Save As; cancelling its dialog still lets Exit go on.
        game.desktop->msgBoxAnswers = {msgbox::kYes};
        form.mnuExit_Click();
        QCOMPARE(game.desktop->saveDialogs.size(), std::size_t(1));
        QVERIFY(game.desktop->ended);

        // With a file name the question names it, and Yes saves without a dialog.
        game.desktop->ended = false;
        game.desktop->fileAnswers.push_back(ChoiceIn(game.folder, "g.kyp"));
        form.mnuSaveAs_Click();
        form.Seconds = 99;
        game.desktop->msgBoxAnswers = {msgbox::kYes};
        form.mnuExit_Click();
        QCOMPARE(game.desktop->messages.back().prompt, QString("Do You want to save your work as g.kyp?"));
        QCOMPARE(game.desktop->saveDialogs.size(), std::size_t(2));
        QCOMPARE(Int32At(game.folder.ReadBytes("g.kyp"), 0), 99);
        QVERIFY(game.desktop->ended);
    }

    void cancelLeavesEverythingAsItWas() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(3, 4);
        form.Timer1_Timer();
        const GameSnapshot before(form);

        game.desktop->msgBoxAnswers = {msgbox::kCancel};
        form.mnuopen_Click();
        QVERIFY(game.desktop->openDialogs.empty());
        game.desktop->msgBoxAnswers = {msgbox::kCancel};
        form.mnuShape_Click(1);
        QVERIFY(GameSnapshot(form) == before);

        // Cancelled dialogs end the command silently.
        game.desktop->msgBoxAnswers = {msgbox::kNo};
        form.mnuopen_Click();
        form.mnuSaveAs_Click();
        QCOMPARE(game.desktop->openDialogs.size(), std::size_t(1));
        QCOMPARE(game.desktop->saveDialogs.size(), std::size_t(1));
        QCOMPARE(game.desktop->messages.size(), std::size_t(3));
        QVERIFY(GameSnapshot(form) == before);
    }

    void badGameFilesAreRefusedAndChangeNothing() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(8, 2);

        // A good file to spoil in different ways.
        game.desktop->fileAnswers.push_back(ChoiceIn(game.folder, "good.kyp"));
        form.mnuSaveAs_Click();
        const QByteArray good = game.folder.ReadBytes("good.kyp");
        game.DropPiece(9, 5);
        const GameSnapshot before(form);

        const auto withName = [&](const QByteArray& name) {
            QByteArray bytes = good;
            bytes[128] = char(name.size());
            bytes[129] = 0;
            bytes.replace(130, name.size(), name);
            return bytes;
        };
        const auto withBoard = [&](int cell, int value) {
            QByteArray bytes = good;
            bytes[256 + 2 * (cell - 1)] = char(value & 0xFF);
            bytes[257 + 2 * (cell - 1)] = char((value >> 8) & 0xFF);
            return bytes;
        };
        game.folder.WriteBytes("short.kyp", good.left(300));
        game.folder.WriteBytes("unknown.kyp", withName("Octagon!"));
        game.folder.WriteBytes("escape.kyp", withName("../Triangle"));
        game.folder.WriteBytes("control.kyp", withName(QByteArray("Tri\x01gle")));
        game.folder.WriteBytes("range.kyp", withBoard(7, 65));
        game.folder.WriteBytes("negative.kyp", withBoard(7, -1));
        game.folder.WriteBytes("twice.kyp", withBoard(7, 8));  // piece 8 already lies on cell 2
        QDir(game.folder.Path()).mkdir("folder.kyp");

        game.folder.WriteBytes("noshape.kyp", withName("Rising"));
        QFile::remove(game.folder.FilePath("Rising.dat"));

        const std::vector<std::pair<QString, QString>> cases = {
            {"short.kyp", "The file short.kyp is not a valid game file."},
            {"unknown.kyp", "The figure Octagon! of this game is not in the figure menu."},
            {"escape.kyp", "The file escape.kyp is not a valid game file."},
            {"control.kyp", "The file control.kyp is not a valid game file."},
            {"range.kyp", "The file range.kyp is not a valid game file."},
            {"negative.kyp", "The file negative.kyp is not a valid game file."},
            {"twice.kyp", "The file twice.kyp is not a valid game file."},
            {"noshape.kyp", "File Rising.dat not found!"},
            {"folder.kyp", "File folder.kyp not found!"},
            {"vanished.kyp", "File vanished.kyp not found!"},
        };
        for (const auto& [title, message] : cases) {
            game.desktop->messages.clear();
            game.desktop->fileAnswers.push_back(ChoiceIn(game.folder, title));
            form.mnuopen_Click();
            QCOMPARE(game.desktop->Prompts(), QStringList({message}));
            QCOMPARE(game.desktop->messages[0].style, 16);
            QVERIFY2(GameSnapshot(form) == before, qPrintable(title));
        }
    }

    void savesThatCannotBeWrittenSaySoAndKeepTheOldName() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(1, 1);
        game.desktop->fileAnswers.push_back(ChoiceIn(game.folder, "kept.kyp"));
        form.mnuSaveAs_Click();
        const QByteArray saved = game.folder.ReadBytes("kept.kyp");

        game.desktop->fileAnswers.push_back({game.folder.FilePath("missing/x.kyp"), "x.kyp"});
        form.mnuSaveAs_Click();
        QCOMPARE(game.desktop->Prompts(), QStringList({"The file x.kyp cannot be written. Nothing has been changed."}));
        QCOMPARE(form.GameFileTitle, QString("kept.kyp"));
        QCOMPARE(form.windowTitle(), QString("Game: Triangle [File: kept.kyp]"));
        QCOMPARE(game.folder.ReadBytes("kept.kyp"), saved);

        // A figure name too long for a game file is refused, never cut short.
        const QString longName(130, 'L');
        GameFixture other;
        other.folder.WriteFigure(longName, TriangleGrid());
        other.folder.WriteList({"Triangle", longName});
        ScriptedDesktop desktop(other.folder.Path());
        TriForm form2(desktop);
        form2.mnuShape_Click(1);
        QCOMPARE(form2.FigureName, longName);
        desktop.fileAnswers.push_back(ChoiceIn(other.folder, "long.kyp"));
        form2.mnuSaveAs_Click();
        QCOMPARE(desktop.Prompts(), QStringList({ResString(Language::English, 175)}));
        QVERIFY(!QFile::exists(other.folder.FilePath("long.kyp")));
        QCOMPARE(form2.GameFileTitle, QString());
    }

    void aSaveThatFailsKeepsTheGame_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("named");
        for (const char* command : {"exit", "open", "figure", "congratulation"}) {
            QTest::addRow("%s, saved before", command) << QString(command) << true;
            QTest::addRow("%s, never saved", command) << QString(command) << false;
        }
    }
    void aSaveThatFailsKeepsTheGame() {
        QFETCH(QString, command);
        QFETCH(bool, named);
        GameFixture game;
        TriForm& form = *game.form;
        const auto solution = KnownSolution(form.Figure.points);
        for (int cell = 1; cell <= kCellCount; ++cell) game.DropPiece((*solution)[cell], cell);
        if (command != "congratulation") game.DragOffBoard(1);
        form.labelScore->setText(" 12 seconds");  // a clock that has run: there is a game to save
        // Every save goes to a folder that does not exist.
        const FileChoice nowhere{game.folder.FilePath("missing/x.kyp"), "x.kyp"};
        if (named) {
            form.GameFilePath = nowhere.fileName;
            form.GameFileTitle = nowhere.fileTitle;
        } else {
            game.desktop->fileAnswers.push_back(nowhere);
        }
        const GameSnapshot before(form);

        game.desktop->msgBoxAnswers = {msgbox::kYes, msgbox::kYes};
        if (command == "exit") form.mnuExit_Click();
        if (command == "open") form.mnuopen_Click();
        if (command == "figure") form.mnuShape_Click(1);
        if (command == "congratulation") form.Timer1_Timer();

        QVERIFY(!game.desktop->ended);
        QVERIFY(game.desktop->openDialogs.empty());
        QCOMPARE(game.desktop->messages.back().prompt, QString("The file x.kyp cannot be written. Nothing has been changed."));
        QCOMPARE(form.Board.pieces, before.board);
        QCOMPARE(form.FigureName, before.figureName);
        QCOMPARE(form.GameFileTitle, before.fileTitle);
    }

    void switchingFiguresStartsANewGame() {
        GameFixture game;
        TriForm& form = *game.form;
        game.desktop->fileAnswers.push_back(ChoiceIn(game.folder, "s.kyp"));
        form.mnuSaveAs_Click();
        form.Form_DragDrop(form.TriPool(4), 5000, 8000);  // a pool piece moved away
        game.DropPiece(2, 2);
        QCOMPARE(form.labelScore->text(), QString());  // no second counted yet

        // Nothing counted: no question.
        form.mnuShape_Click(1);
        QVERIFY(game.desktop->messages.empty());
        QCOMPARE(form.FigureName, QString("Rising"));
        QVERIFY((*form.mnuShape)[1]->isChecked());
        QVERIFY(!(*form.mnuShape)[0]->isChecked());
        QCOMPARE(game.PiecesOnBoard(), 0);
        QVERIFY(form.TriPool(2)->isVisibleTo(form.client));
        QCOMPARE(TwipsLeft(form.TriPool(4)), form.PoolLeft[4]);
        QCOMPARE(form.windowTitle(), QString("Game: Rising [File: s.kyp]"));
        QCOMPARE(form.NeighbourFigure, QString("Rising"));

        // Choosing the marked figure again asks and restarts it.
        game.DropPiece(3, 3);
        form.Timer1_Timer();
        game.desktop->msgBoxAnswers = {msgbox::kNo};
        form.mnuShape_Click(1);
        QCOMPARE(game.desktop->Prompts(), QStringList({"Do You want to save your work as s.kyp?"}));
        QCOMPARE(form.Seconds, 0);
        QCOMPARE(game.PiecesOnBoard(), 0);
        QVERIFY(!form.Timer1->Enabled());

        // A figure whose shape file is broken is refused; the game stays.
        game.folder.WriteBytes("Falling.dat", "nonsense");
        game.DropPiece(3, 3);
        const GameSnapshot before(form);
        form.mnuShape_Click(2);
        QCOMPARE(game.desktop->Prompts().last(), QString("The file Falling.dat is not a valid shape file. The problem is in line 1."));
        QVERIFY(GameSnapshot(form) == before);
    }

    void printingReadsTheGameAndChangesNothing() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(6, 1);
        game.DropPiece(7, 2);
        game.desktop->fileAnswers.push_back(ChoiceIn(game.folder, "cert.kyp"));
        form.mnuSaveAs_Click();
        const GameSnapshot before(form);

        RecordingPrinter printer;
        game.desktop->printer = &printer;
        form.mnuPrint_Click();  // cancelled: nothing printed
        QCOMPARE(game.desktop->printDialogs, std::vector<int>({0x10000C}));
        QVERIFY(printer.texts.empty());

        game.desktop->printAnswers.push_back(PrintSetup{2, 1});
        form.mnuPrint_Click();
        QCOMPARE(printer.endDocs, 1);
        QCOMPARE(printer.page, 2);
        QCOMPARE(printer.texts.front().text, QString("KYP triangle game  cert.kyp"));
        QVERIFY(printer.texts.front().bold);
        QStringList texts;
        for (const PrintedText& t : printer.texts) texts << t.text;
        QVERIFY(texts.contains("62 triangles missing"));
        QVERIFY(GameSnapshot(form) == before);
    }

    void sameFigureNameDoesNotRebuildTheNeighbourTable() {
        GameFixture game;
        TriForm& form = *game.form;
        const auto neighbours = form.Neighbours;
        // Rewritten in place, the figure keeps the table built for its name.
        game.folder.WriteFigure("Triangle", RectangleGrid(true));
        form.mnuShape_Click(0);
        QVERIFY(form.Neighbours == neighbours);
        QCOMPARE(form.Figure.maxY, 4.0f);
    }
};

MURLEN_TEST(TestGameFiles)
#include "test_game_files.moc"
