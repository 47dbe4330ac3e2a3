// The game window through its handlers, for what a real pointer cannot reach
// or would make slow: start-up in each language, the layout, the clock and its
// congratulation, game files good and bad, the save question, switching
// figures, the shape generator opened from the game, printing, and events that
// arrive in the middle of a layout.
#include <QDate>
#include <QDir>
#include <QLocale>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QTableWidget>
#include <QTimer>
#include <QtEndian>
#include <random>

#include "app/icons.h"
#include "app/paths.h"
#include "app/qt_printer.h"
#include "app/strings.h"
#include "app/twips.h"
#include "files/game_file.h"
#include "game/frm_record.h"
#include "files/game_in_progress.h"
#include "generator/frm_shape.h"
#include "model/solver.h"
#include "support/game_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

QStringList FigureMenu(const TriForm& form) {
    QStringList names;
    for (int i = 0; i < form.mnuShape->Count(); ++i)
        names << (*form.mnuShape)[i]->text() + ((*form.mnuShape)[i]->isChecked() ? "*" : "");
    return names;
}

FileChoice In(const ProgramFolder& folder, const QString& title) { return {folder.FilePath(title), title}; }

// Lays a solution of the current figure on the board.
void Solve(const GameFixture& game) {
    const auto solution = KnownSolution(game.form->CurrentGame().Figure().points);
    QVERIFY(solution.has_value());
    for (int cell = 1; cell <= kCellCount; ++cell) game.DropPiece((*solution)[cell], cell);
}

// Every piece in the pool or on exactly one cell, never both or neither.
QString Misplaced(const TriForm& form) {
    for (int piece = 1; piece <= kPieceCount; ++piece) {
        int cells = 0;
        for (int cell = 1; cell <= kCellCount; ++cell) cells += form.CurrentGame().Board(cell) == piece;
        if (cells != (form.TriPool(piece)->isVisibleTo(form.client) ? 0 : 1)) return QString("piece %1").arg(piece);
    }
    return QString();
}

// Shows the shape generator from the game and does `visit` in it.
void InGenerator(TriForm& form, const std::function<void(FrmShape&)>& visit) {
    QTimer::singleShot(0, &form, [&form, visit] { visit(*form.frmShape); });
    form.mnuNewShape_Click();
}

}  // namespace

class TestGame : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void startsUpInTheUsersLanguage() {
        ForceLanguage(Language::German);
        GameFixture game;
        TriForm& form = *game.form;
        QCOMPARE(form.windowTitle(), QString("Spiel: Triangle"));
        QCOMPARE(form.mnuFile->title(), QString("&Datei"));
        QCOMPARE(FigureMenu(form), QStringList({"Triangle*", "Rising", "Falling"}));
        QCOMPARE(form.labelScore->toolTip(), LoadResString(119));
        for (int i = 1; i <= kPieceCount; ++i) {
            QCOMPARE(form.TriPool(i)->toolTip(), LoadResString(120));
            QCOMPARE(form.TriPool(i)->DragIcon().cacheKey(), LoadResPicture(200 + i % 64).cacheKey());
        }
        QCOMPARE(form.FigurePic->DragIcon().cacheKey(), LoadResPicture(kIconFigure).cacheKey());
        // Nothing counts before the first move.
        QVERIFY(!form.Timer1->Enabled());
        QCOMPARE(form.labelScore->text(), QString());
        form.mnuUsage_Click();
        QCOMPARE(game.desktop->helpFiles, QStringList(game.folder.Path() + LoadResString(144)));
    }

    void figuresThatCannotBeReadAreToldAndTheGameGoesOn_data() {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QByteArray>("triangle");
        QTest::addColumn<QString>("message");
        const QByteArray standard = "\"Triangle\"\r\n";
        QTest::newRow("no list") << QByteArray("none") << QByteArray() << "File Figures.dat not found!";
        QTest::newRow("empty list") << QByteArray() << QByteArray() << ResString(Language::English, 173);
        QTest::newRow("no shape file") << QByteArray("\"Lost\"\r\n") << QByteArray() << "File Lost.dat not found!";
        QTest::newRow("damaged") << standard << QByteArray("0\r\n8\r\n0\r\nlots\r\n")
                                 << "The file Triangle.dat is not a valid shape file. The problem is in line 4.";
        QTest::newRow("outside the folder") << QByteArray("\"../Triangle\"\r\n") << QByteArray()
                                            << "The file ../Triangle.dat is not a valid shape file.";
    }
    void figuresThatCannotBeReadAreToldAndTheGameGoesOn() {
        QFETCH(QByteArray, list);
        QFETCH(QByteArray, triangle);
        QFETCH(QString, message);
        ProgramFolder folder;
        folder.WriteStandardFigures();
        if (list == "none")
            QVERIFY(QFile::remove(folder.FilePath("Figures.dat")));
        else
            folder.WriteBytes("Figures.dat", list);
        if (!triangle.isEmpty()) folder.WriteBytes("Triangle.dat", triangle);
        ScriptedDesktop desktop(folder.Path());
        TriForm form(desktop);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(desktop.Prompts(), QStringList(message));
        QCOMPARE(desktop.messages[0].style, msgbox::kCritical);
        QVERIFY(!form.CurrentGame().HasFigure());
        QCOMPARE(form.windowTitle(), QString("Figure: none"));
    }

    void layoutFollowsTheClientWidth() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(9, 3);
        Resize(form, {800, 600 + form.menuBar()->height()});
        QTRY_COMPARE(form.client->width(), 800);
        const float q = float(TwipsWidth(form.client)) / 19.4f, g = 0.2f * q, p = 1.2f * q;
        const auto grain = [](float twips) { return PixelsToTwips(TwipsToPixels(twips)); };
        // Piece 64 first, then 1 to 15 in the first row, 48 to 63 in the last.
        const std::vector<std::tuple<int, float, float>> homes{
            {64, g, g}, {1, p + g, g}, {15, 15 * p + g, g}, {16, g, p + g}, {63, 15 * p + g, 3 * p + g}};
        for (const auto& [piece, left, top] : homes) {
            QCOMPARE(form.PoolLeft(piece), grain(left));
            QCOMPARE(form.PoolTop(piece), grain(top));
            QCOMPARE(TwipsLeft(form.TriPool(piece)), form.PoolLeft(piece));
        }
        QCOMPARE(TwipsTop(form.FigurePic), grain(4 * p + g));
        QCOMPARE(TwipsTop(form.labelScore), grain(TwipsHeight(form.client) - TwipsHeight(form.labelScore) - g));
        QCOMPARE(form.CurrentGame().Board(3), 9);

        // Minimised: laid out as a window of no size, the clock stopped and the
        // label empty; restored: laid out again.
        game.DropPiece(10, 4);
        form.setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents();
        QVERIFY(!form.Timer1->Enabled());
        QCOMPARE(form.labelScore->text(), QString());
        QCOMPARE(form.TriPool(5)->width(), 0);
        form.setWindowState(Qt::WindowNoState);
        QTRY_VERIFY(form.TriPool(5)->width() > 10);
    }

    void theClockCountsPausesAndCongratulates() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(1, 1);
        QVERIFY(form.Timer1->Enabled());
        form.Timer1_Timer();
        form.Timer1_Timer();
        QCOMPARE(form.labelScore->text(), QString(" 2 seconds"));
        form.mnuPause_Click();
        QVERIFY(form.mnuPause->isChecked());
        QVERIFY(!form.Timer1->Enabled());
        QCOMPARE(form.labelScore->text(), QString("Status: Pause"));
        game.DropPiece(2, 2);  // the next move ends the pause, the next tick its mark
        QVERIFY(form.Timer1->Enabled() && form.mnuPause->isChecked());
        form.Timer1_Timer();
        QVERIFY(!form.mnuPause->isChecked());

        // A solved board is congratulated at the next tick; after No the
        // clock stands one second further; Yes asks to save, and a Cancel
        // there keeps playing.
        game.form->mnuShape_Click(0);
        game.DropPiece(1, 1);
        for (int second = 1; second <= 41; ++second) form.Timer1_Timer();
        game.DragOffBoard(1);
        Solve(game);
        game.desktop->messages.clear();
        game.desktop->msgBoxAnswers = {msgbox::kNo, msgbox::kOk, msgbox::kYes, msgbox::kCancel, msgbox::kYes, msgbox::kNo};
        form.Timer1_Timer();
        const AskedMessage& congratulation = game.desktop->messages.at(0);  // then the first best time
        QCOMPARE(congratulation.prompt, QString("KYP Congratulation! Your score is 41seconds"));
        QCOMPARE(congratulation.title, QString("Exit Murlen?"));
        QCOMPARE(congratulation.style, msgbox::kYesNo);
        QCOMPARE(form.labelScore->text(), QString(" 42 seconds"));
        QVERIFY(!form.Timer1->Enabled());
        form.Timer1_Timer();
        QCOMPARE(game.desktop->messages.back().prompt, QString("Do you want to save your work?"));
        QVERIFY(!game.desktop->ended);
        form.Timer1_Timer();
        QVERIFY(game.desktop->ended);
    }

    void gamesAreSavedAndOpenedAgain() {
        GameFixture game;
        TriForm& form = *game.form;
        SavedGame saved{0x12345, "Triangle", {}, false};
        saved.board[5] = 63, saved.board[6] = 64;
        game.folder.WriteBytes("g.kyp", QByteArray::fromStdString(GameFileBytes(saved)));

        // On another figure, the game opened: figure, board, pool, clock and
        // name are the game's; the pieces there were go back. Saved under
        // another name, it is the same bytes.
        form.mnuShape_Click(2);
        game.DropPiece(7, 1);
        game.desktop->msgBoxAnswers = {msgbox::kNo};
        game.desktop->fileAnswers = {In(game.folder, "g.kyp"), In(game.folder, "h.kyp")};
        form.mnuopen_Click();
        QCOMPARE(form.CurrentGame().State().pieces, saved.board);
        QCOMPARE(Misplaced(form), QString());
        QCOMPARE(FigureMenu(form), QStringList({"Triangle*", "Rising", "Falling"}));
        QCOMPARE(form.CurrentGame().Seconds(), 0x12345);
        QVERIFY(!form.Timer1->Enabled());
        QCOMPARE(form.windowTitle(), QString("Game: Triangle [File: g.kyp]"));
        QVERIFY(form.mnuSave->isEnabled());
        form.mnuSaveAs_Click();
        QCOMPARE(game.folder.ReadBytes("h.kyp"), game.folder.ReadBytes("g.kyp"));
        QCOMPARE(form.windowTitle(), QString("Game: Triangle [File: h.kyp]"));
    }

    void gameFilesThatCannotBeUsedChangeNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        CellArray<std::int16_t> board{};
        const auto file = [&board](const char* figure) {
            return QByteArray::fromStdString(GameFileBytes(SavedGame{5, figure, board}));
        };
        QTest::newRow("short") << "short.kyp" << file("Triangle").left(383) << "The file short.kyp is not a valid game file.";
        QTest::newRow("not in the menu") << "odd.kyp" << file("Odd") << "The figure Odd of this game is not in the figure menu.";
        board[1] = 65;
        QTest::newRow("no such piece") << "bad.kyp" << file("Triangle") << "The file bad.kyp is not a valid game file.";
    }
    void gameFilesThatCannotBeUsedChangeNothing() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(3, 4);
        const CellArray<std::int16_t> before = form.CurrentGame().State().pieces;
        game.folder.WriteBytes(name, bytes);
        game.desktop->fileAnswers.push_back(In(game.folder, name));
        form.mnuopen_Click();
        QCOMPARE(game.desktop->Prompts(), QStringList(message));
        QCOMPARE(form.CurrentGame().State().pieces, before);
        QCOMPARE(form.windowTitle(), QString("Game: Triangle"));
        QVERIFY(!form.mnuSave->isEnabled());
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
        Solve(game);
        const int first = form.CurrentGame().Board(1);
        game.DragOffBoard(1);
        form.Timer1_Timer();  // a clock that has run: there is a game to save
        if (command == "congratulation") game.DropPiece(first, 1);
        // Every save goes to a folder that is not there (any more).
        QDir(game.folder.Path()).mkdir("gone");
        const FileChoice nowhere{game.folder.FilePath("gone/x.kyp"), "x.kyp"};
        game.desktop->fileAnswers.push_back(nowhere);
        if (named) form.mnuSaveAs_Click();
        QVERIFY(QDir(game.folder.FilePath("gone")).removeRecursively());
        const CellArray<std::int16_t> before = form.CurrentGame().State().pieces;
        game.desktop->msgBoxAnswers = {msgbox::kYes, msgbox::kYes};
        if (command == "exit") form.mnuExit_Click();
        if (command == "open") form.mnuopen_Click();
        if (command == "figure") form.mnuShape_Click(1);
        if (command == "congratulation") form.Timer1_Timer();

        // After the congratulation and its question comes the first best time.
        const bool congratulated = command == "congratulation";
        QCOMPARE(game.desktop->messages.size(), std::size_t(congratulated ? 4 : 2));
        QCOMPARE(game.desktop->messages[congratulated].style, msgbox::kYesNoCancel);  // the save question
        QCOMPARE(game.desktop->messages[congratulated + 1].prompt,
                 QString("The file x.kyp cannot be written. Nothing has been changed."));
        QCOMPARE(game.desktop->openDialogs, 0);
        QVERIFY(!game.desktop->ended);
        QCOMPARE(form.CurrentGame().State().pieces, before);
        QCOMPARE(form.CurrentGame().FileTitle(), std::string(named ? "x.kyp" : ""));
        QCOMPARE(form.CurrentGame().FigureName(), std::string("Triangle"));
    }

    void aFigureChosenStartsANewGame() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(5, 5);
        form.Form_DragDrop(form.TriPool(6), 3000, 7500);  // a pool piece put aside
        form.Timer1_Timer();
        form.mnuShape_Click(1);
        QCOMPARE(FigureMenu(form), QStringList({"Triangle", "Rising*", "Falling"}));
        QCOMPARE(form.windowTitle(), QString("Game: Rising"));
        QCOMPARE(form.CurrentGame().Seconds(), 0);
        QCOMPARE(form.CurrentGame().State().pieces, CellArray<std::int16_t>{});
        QCOMPARE(Misplaced(form), QString());
        QCOMPARE(TwipsLeft(form.TriPool(6)), form.PoolLeft(6));
        QVERIFY(!form.mnuUndo->isEnabled());  // nothing of the game before
    }

    void figuresDrawnInTheGeneratorJoinTheMenu() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(1, 1);
        form.Timer1_Timer();
        InGenerator(form, [&game](FrmShape& shape) {
            shape.Grid = Moved(RectangleGrid(true), 3, 6);
            game.desktop->fileAnswers.push_back(In(game.folder, "Box.dat"));
            game.desktop->msgBoxAnswers = {msgbox::kYes, msgbox::kNo, msgbox::kNo};
            shape.mnuSaveAs_Click();
            game.folder.WriteFigure("Last", RectangleGrid(false));  // a second one, added meanwhile
            game.folder.WriteList({"Triangle", "Rising", "Falling", "Box", "Last"});
            shape.mnuExit_Click();
        });
        QVERIFY(form.mnuPause->isChecked());  // the game was paused for the visit
        QCOMPARE(FigureMenu(form), QStringList({"Triangle", "Rising", "Falling", "Box", "Last*"}));
        QCOMPARE(form.CurrentGame().FigureName(), std::string("Last"));
        QVERIFY(form.frmShape);  // only hidden: its drawing waits for the next visit
        QCOMPARE(form.frmShape->Grid, Moved(RectangleGrid(true), 3, 6));
    }

    // The player's own figure list that cannot be read is told once; the shipped figures play on.
    void aPlayersUnreadableFigureListIsToldOnce() {
        ProgramFolder install, shipped;
        shipped.WriteStandardFigures();
        QVERIFY(QDir(install.Path()).mkpath("games/user data/Figures.dat") && QDir(install.Path()).mkpath("share/games"));
        QVERIFY(QFile::link(shipped.Path(), install.FilePath("share/games/murlen")));
        ScriptedDesktop desktop(install.FilePath("games"));
        TriForm form(desktop);
        InGenerator(form, [](FrmShape& shape) { shape.mnuExit_Click(); });  // the list read again
        QVERIFY(form.CurrentGame().HasFigure() && form.mnuShape->Count() == 3);
        QCOMPARE(desktop.Prompts(), QStringList("The file Figures.dat cannot be read."));
    }

    void aNewBestTimeIsToldAndTheGameRecorded() {
        GameFixture game;
        TriForm& form = *game.form;
        // A damaged file counts as empty, without a word.
        QDir().mkpath(game.desktop->DataFolder());
        game.folder.WriteBytes("user data/best times.txt", "Triangle\tfast\n");
        Solve(game);
        game.desktop->msgBoxAnswers = {msgbox::kNo};
        form.Timer1_Timer();
        QCOMPARE(game.desktop->Prompts(), QStringList({"KYP Congratulation! Your score is 0seconds",
                                                       "A new best time for Triangle: 0 seconds."}));
        // In the record after a restart.
        TriForm again(*game.desktop);
        again.mnuBestTimes_Click();
        QStringList row;
        for (int column = 0; column < 5; ++column) row << again.frmRecord->gridFigures->item(0, column)->text();
        QCOMPARE(row, QStringList({"Triangle", "1", "0", "0",
                                   "0 seconds, " + QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)}));
        QCOMPARE(again.frmRecord->windowTitle(), QString("Your record"));
    }

    void keptGamesThatCannotComeBackAreMovedAsideAndTold() {
        GameFixture game;
        TriForm& form = *game.form;
        const QString state = game.desktop->StateFolder(), aside = game.folder.FilePath("Interrupted game");
        QDir().mkpath(state);
        SavedGame gone{30, "Gone", {}};
        gone.board[1] = 5;
        GameInProgress(ToFilePath(state)).Keep(gone);  // left as a crash leaves it
        game.folder.WriteBytes("user state/damaged.kyp", "not a game");
        form.OfferGameInProgress();
        QCOMPARE(game.desktop->Prompts(),
                 QStringList({"A game interrupted earlier could not be read back. It has been moved to " + aside + ".kyp.",
                              "The game interrupted on Gone cannot go on: the figure is not in the figure menu. "
                              "Open it once the figure is back: " + aside + " 2.kyp."}));
        QCOMPARE(ReadGameFile(ToFilePath(aside + " 2.kyp")).value, gone);
        QTRY_COMPARE(QDir(state).entryList({"*.kyp"}).size(), 1);  // the window's own game, written on its own thread
    }

    void theCertificateCountsWhatIsMissing() {
        GameFixture game;
        TriForm& form = *game.form;
        game.DropPiece(63, 1);
        game.DropPiece(64, 2);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(game.folder.FilePath("c.pdf"));
        QtPrinter paper(printer);
        game.desktop->printer = &paper;
        game.desktop->printAnswers.push_back(PrintSetup{1, 1});
        form.mnuPrint_Click();
        QProcess text;
        text.start("pdftotext", {game.folder.FilePath("c.pdf"), "-"});
        QVERIFY(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        int broken = 0;
        for (int cell = 1; cell <= kCellCount; ++cell) broken += form.CurrentGame().Violation(cell);
        QVERIFY2(printed.contains("62 triangles missing"), qPrintable(printed));
        QVERIFY2(printed.contains(QString("%1 violate the rules").arg(broken)), qPrintable(printed));
    }

    void eventsInsideALayoutKeepEveryPieceInOnePlace() {
        // Pending events run in the middle of a layout; whatever they do, every
        // piece stays in the pool or on exactly one cell.
        GameFixture game;
        TriForm& form = *game.form;
        std::mt19937 random(20261206);
        const auto any = [&random](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
        const auto anywhere = [&] { return Point{float(any(0, 1198)) / 100, float(any(0, 1060)) / 100}; };
        int depth = 0;
        QString broken;
        game.desktop->onDoEvents = [&] {
            if (!broken.isEmpty() || any(0, 3) != 0) return;
            game.desktop->msgBoxAnswers = {any(0, 1) ? msgbox::kNo : msgbox::kCancel};
            const Point at = anywhere();
            form.FigurePic_MouseMove(at.x, at.y);
            switch (any(0, 7)) {
            case 0: if (depth < 2) ++depth, form.Form_Resize(), --depth; break;
            case 1: form.FigurePic_DragDrop(form.TriPool(any(1, 64)), at.x, at.y); break;
            case 2: form.FigurePic_DragDrop(form.FigurePic, anywhere().x, anywhere().y); break;
            case 3: form.Form_DragDrop(form.FigurePic, 100, 100); break;
            case 4: form.FigurePic_Click(); break;
            case 5: form.Form_DragDrop(form.TriPool(any(1, 64)), any(0, 9000), any(0, 9000)); break;
            case 6: form.Timer1_Timer(); break;
            case 7: form.mnuShape_Click(any(0, 2)); break;
            }
            if (broken.isEmpty()) broken = Misplaced(form);
        };
        for (int round = 0; round < 60 && broken.isEmpty(); ++round) {
            for (int i = any(0, 20); i > 0; --i) {
                const Point at = anywhere();
                form.FigurePic_DragDrop(form.TriPool(any(1, 64)), at.x, at.y);
            }
            form.Form_Resize();
            if (broken.isEmpty()) broken = Misplaced(form);
        }
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
        QVERIFY(!game.desktop->ended);
    }
};

MURLEN_TEST(TestGame)
#include "test_game.moc"
