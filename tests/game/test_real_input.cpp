// The game played with a real pointer and keyboard on a real X display
// (tests/on_x_display.sh): xdotool moves the pointer, presses buttons and
// types, and the results are read back from the board, the clock, the dialogs
// and the titles the window manager sees. Skipped where there is no display.
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QLocale>
#include <QTableWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTimer>
#include <QtEndian>

#include "app/help_viewer.h"
#include "app/icons.h"
#include "app/qt_desktop.h"
#include "app/strings.h"
#include "app/twips.h"
#include "files/game_file.h"
#include "files/shape_file.h"
#include "game/frm_figures.h"
#include "game/frm_record.h"
#include "generator/frm_shape.h"
#include "generator/generator_fixture.h"
#include "model/random_figure.h"
#include "model/solver.h"
#include "support/game_fixture.h"
#include "support/real_input.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// Where the centre of a cell is on the screen.
QPoint OnScreen(const TriForm& form, int cell) {
    return form.FigurePic->mapToGlobal(form.FigurePic->ToPixels(Centroid(form.CurrentGame().CellPoints()[cell])).toPoint());
}
QPoint OnScreen(const GameFixture& game, int cell) { return OnScreen(*game.form, cell); }

// Watches for message boxes while a gesture plays, and notes what each shows:
// its text, its title on the screen, its icon and its buttons in order.
class BoxWatcher {
public:
    BoxWatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            // A box that follows another may open at the same address.
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) last_ = nullptr;
            if (!box || !box->isVisible() || (box == last_ && box->text() == lastText_)) return;
            last_ = box;
            lastText_ = box->text();
            QStringList buttons;
            for (QAbstractButton* button : box->buttons()) buttons << button->text().remove('&');
            buttons.sort();
            seen.push_back({box->text(), TitleOnScreen(box), QString::number(box->icon()), buttons.join(' ')});
            const auto off = [box](const QWidget* window) { return (window->geometry().center() - box->geometry().center()).manhattanLength(); };
            const QWidget* over = nullptr;
            for (const QWidget* window : QApplication::topLevelWidgets())
                if (window != box && window->isVisible() && (!over || off(window) < off(over))) over = window;
            centredOver << (over ? over->metaObject()->className() : "");
        });
        timer_.start(50);
    }
    std::vector<QStringList> seen;
    QStringList centredOver;  // the class of the window nearest to whose middle each box opened

private:
    QTimer timer_;
    QMessageBox* last_ = nullptr;
    QString lastText_;
};

}  // namespace

class TestRealInput : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (!OnRealDisplay()) QSKIP("needs a real X display");
        ForceLanguage(Language::English);
    }
    void cleanup() {
        ForceLanguage(std::nullopt);
        InstallQtTranslations();
        // Each test starts as a first run: no figure or window place remembered.
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).removeRecursively();
    }

    void thePiecePressedIsThePieceThatMoves() {
        GameFixture game;
        TriForm& form = *game.form;
        const int a = 12, b = 30;
        RealInput hand;
        // Piece 63 onto A, a rest over A; piece 1 onto B, then B pressed
        // without a move before and dragged to the window's background.
        hand.Drag(CentreOf(form.TriPool(63)), OnScreen(game, a))
            .MoveTo(OnScreen(game, a) + QPoint(2, 2))
            .Drag(CentreOf(form.TriPool(1)), OnScreen(game, b))
            .Drag(OnScreen(game, b), Background(form.client))
            .Play();
        QCOMPARE(form.CurrentGame().Board(a), 63);
        QCOMPARE(form.CurrentGame().Board(b), 0);
        QVERIFY(form.TriPool(1)->isVisibleTo(form.client));

        // A click right after a drop takes the piece clicked on, and the
        // board's drag icon shows it.
        hand.Drag(CentreOf(form.TriPool(1)), OnScreen(game, b)).Click().Play();
        QCOMPARE(game.PiecesOnBoard(), 1);
        QVERIFY(form.TriPool(1)->isVisibleTo(form.client));
        QCOMPARE(form.FigurePic->DragIcon().cacheKey(), LoadResPicture(PieceIconId(1)).cacheKey());
    }

    void piecesGoOnMoveAndComeBack() {
        GameFixture game;
        TriForm& form = *game.form;
        const QPoint aside = Background(form.client);
        RealInput hand;
        // Onto a cell; onto the same cell again (refused); from cell to cell;
        // a pool piece laid aside on the window, and sent home with a click.
        hand.Drag(CentreOf(form.TriPool(7)), OnScreen(game, 10))
            .Drag(CentreOf(form.TriPool(8)), OnScreen(game, 10))
            .Drag(OnScreen(game, 10), OnScreen(game, 40))
            .Drag(CentreOf(form.TriPool(9)), aside)
            .Play();
        QCOMPARE(form.CurrentGame().Board(10), 0);
        QCOMPARE(form.CurrentGame().Board(40), 7);
        QVERIFY(!form.TriPool(7)->isVisibleTo(form.client));
        QVERIFY(form.TriPool(8)->isVisibleTo(form.client));
        QCOMPARE(form.TriPool(9)->mapToGlobal(QPoint(0, 0)), aside);
        QVERIFY(form.Timer1->Enabled());
        hand.MoveTo(form.TriPool(9)->mapToGlobal(QPoint(3, 3))).Click().Play();
        QCOMPARE(TwipsLeft(form.TriPool(9)), form.PoolLeft(9));
        QCOMPARE(TwipsTop(form.TriPool(9)), form.PoolTop(9));

        // The right and the middle button play nothing, neither clicks nor drags.
        hand.MoveTo(OnScreen(game, 40)).Click(3).Click(2)
            .Drag(CentreOf(form.TriPool(10)), OnScreen(game, 6), 3)
            .Drag(OnScreen(game, 40), Background(form.client), 2)
            .Play();
        QCOMPARE(form.CurrentGame().Board(40), 7);
        QCOMPARE(game.PiecesOnBoard(), 1);

        // Every second counts while a piece is held: pool piece 6, for four
        // seconds over the board. Around the piece the board shows through
        // its drag icon, also without a compositor.
        const int before = form.CurrentGame().Seconds();
        const QPoint from = CentreOf(form.TriPool(6));
        QList<QRgb> besidePiece;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            const QPoint corner = QCursor::pos() - QPoint(16, 16) + QPoint(3, 3);
            if (PictureBox::Dragging()) besidePiece << form.screen()->grabWindow(0, corner.x(), corner.y(), 1, 1).toImage().pixel(0, 0);
        });
        look.start(200);
        hand.MoveTo(from).Press().GlideTo(from, OnScreen(game, 20), 80).Release().Play();
        QVERIFY2(form.CurrentGame().Seconds() - before >= 4, qPrintable(QString::number(form.CurrentGame().Seconds() - before)));
        QVERIFY(besidePiece.size() > 5 && !besidePiece.contains(qRgb(255, 255, 255)));
        QCOMPARE(form.labelScore->text(), QString(" %1 seconds").arg(form.CurrentGame().Seconds()));
    }

    void aGamePlayedByKeysAlone() {
        GameFixture game;
        TriForm& form = *game.form;
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const auto saved = [&](const QString& name) {
            game.desktop->fileAnswers.push_back({game.folder.FilePath(name), name});
            RealInput().Key("ctrl+a").Play();
            return game.folder.ReadBytes(name);
        };
        const auto onCell = [](const QByteArray& bytes, int cell) {
            return qFromLittleEndian<qint16>(bytes.constData() + 256 + 2 * (cell - 1));
        };
        // The first key shows the cursors: the pool's on piece 64, the board's on
        // cell 1. To the pool's last column (piece 15) and back to piece 2, onto
        // cell 1; on the board a step right, piece 3 there.
        RealInput hand;
        hand.Key("Right").Key("Right", 17).Key("Left", 13).Key("space")
            .Key("Tab").Key("Right").Key("Tab").Key("Right").Key("space")
            .Key("u").Key("BackSpace").Key("r")
            .Play();
        const int second = CellTowards(form.CurrentGame().CellPoints(), form.CurrentGame().Neighbours(), 1, 1, 0);
        QByteArray bytes = saved("undone.kyp");
        QCOMPARE(onCell(bytes, 1), qint16(2));
        QCOMPARE(onCell(bytes, second), qint16(0));
        QVERIFY(form.TriPool(3)->isVisibleTo(form.client));

        // Redo again, then on the board: cell 1's piece picked and moved two
        // steps down; the piece one step up from there sent back with Delete.
        hand.Key("ctrl+y").Key("Tab").Key("Left").Key("Return").Key("Down").Key("Down").Key("Return")
            .Key("Up").Key("Delete")
            .Play();
        const int below = CellTowards(form.CurrentGame().CellPoints(), form.CurrentGame().Neighbours(),
                                      CellTowards(form.CurrentGame().CellPoints(), form.CurrentGame().Neighbours(), 1, 0, 1), 0, 1);
        bytes = saved("keys.kyp");
        QCOMPARE(onCell(bytes, 1), qint16(0));
        QCOMPARE(onCell(bytes, below), qint16(2));
        QCOMPARE(game.PiecesOnBoard(), 1);
        QVERIFY(form.Timer1->Enabled());

        // The Delete undone, then piece 4 put on cell 1: a new move, after
        // which there is nothing to redo.
        hand.Key("u").Key("Left").Key("Tab").Key("Right").Key("space").Key("r").Play();
        QCOMPARE(game.PiecesOnBoard(), 3);
    }

    void aBoardSolvedDuringADragIsCongratulatedWhenTheDragEnds() {
        GameFixture game;
        TriForm& form = *game.form;
        const auto solution = KnownSolution(form.CurrentGame().Figure().points);
        QVERIFY(solution.has_value());
        for (int cell = 2; cell <= kCellCount; ++cell) game.DropPiece((*solution)[cell], cell);
        for (int second = 1; second <= 41; ++second) form.Timer1_Timer();
        form.mnuPause_Click();
        game.desktop->msgBoxAnswers = {msgbox::kNo};

        // The last piece goes on, which starts the clock; before its first
        // tick another piece is picked up, held, and put back on its cell.
        const QPoint held = OnScreen(game, 40);
        RealInput hand;
        hand.Drag(CentreOf(form.TriPool((*solution)[1])), OnScreen(game, 1))
            .MoveTo(held).Press().GlideTo(held, held + QPoint(30, 0), 30).GlideTo(held + QPoint(30, 0), held, 10)
            .Sleep(0.2).Release()
            .Play();
        QCOMPARE(game.desktop->Prompts(), QStringList({"KYP Congratulation! Your score is 41seconds",
                                                       "A new best time for Triangle: 41 seconds."}));
        QVERIFY(!game.desktop->messages[0].duringDrag);
        QCOMPARE(form.CurrentGame().Seconds(), 42);
        QVERIFY(!form.Timer1->Enabled());
        QCOMPARE(game.PiecesOnBoard(), kCellCount);
    }

    // The game window and the shape generator resized in many steps, laid
    // out for their new size every time, keeping what they show. Under a
    // window manager (tests/CMakeLists.txt starts openbox for this) they are
    // resized by dragging and maximised from their title bar; without one, as
    // a program would, with xdotool's windowsize.
    void windowsResizedAndMaximisedAreLaidOutAgain() {
        const bool windowManager = !qEnvironmentVariableIsEmpty("MURLEN_WINDOW_MANAGER");
        const auto resizeAndMaximise = [windowManager](QWidget* window) {
            if (!windowManager) {
                RealInput hand;
                for (const QSize size : {QSize(900, 700), QSize(500, 400), QSize(1000, 740), QSize(700, 600)})
                    hand.WindowSize(window, size);
                hand.Play();
                QTRY_COMPARE(window->size(), QSize(700, 600));
                return;
            }
            const QPoint inside = window->mapToGlobal(QPoint(window->width() - 40, window->height() - 40));
            RealInput().MoveTo(inside).KeyDown("Alt_L").Press(3)
                .GlideTo(inside, inside + QPoint(200, 150), 12).GlideTo(inside + QPoint(200, 150), inside - QPoint(100, 80), 12)
                .Release(3).KeyUp("Alt_L").Sleep(0.5)
                .Play();
            const QPoint title(window->frameGeometry().center().x(), (window->frameGeometry().top() + window->geometry().top()) / 2);
            RealInput().MoveTo(title).Click().Click().Sleep(1).Play();
            QTRY_VERIFY(window->isMaximized());
        };
        // The real desktop, whose layouts let pending events run.
        ProgramFolder folder;
        folder.WriteStandardFigures();
        QtDesktop desktop(folder.Path());
        TriForm form(desktop);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Drop(form, 63, 10);
        // The pool's last column at the client width's pitch, and the
        // all-black piece drawn on its cell at the board's new size.
        const auto laidOut = [&form] {
            const float q = float(TwipsWidth(form.client)) / 19.4f;
            const QImage& board = form.FigurePic->Image();
            const QPointF centre = form.FigurePic->ToPixels(Centroid(form.CurrentGame().CellPoints()[10])) * board.devicePixelRatio();
            return std::abs(form.PoolLeft(15) - 18.2f * q) < 16 && TwipsLeft(form.TriPool(15)) == form.PoolLeft(15) &&
                   board.size() == form.FigurePic->size() * board.devicePixelRatio() && board.pixel(centre.toPoint()) == qRgb(0, 0, 0);
        };
        const QSize before = form.size();
        resizeAndMaximise(&form);
        QTRY_VERIFY(laidOut());
        if (windowManager) {
            RealInput().MoveTo({form.frameGeometry().center().x(), form.frameGeometry().top() + 5}).Click().Click().Sleep(1).Play();
            QTRY_VERIFY(!form.isMaximized() && form.size() != before);
            QTRY_VERIFY(laidOut());
        }
        QCOMPARE(form.CurrentGame().Board(10), 63);

        auto* generator = new FrmShape(desktop);  // deletes itself when closed
        generator->show();
        QVERIFY(QTest::qWaitForWindowExposed(generator));
        resizeAndMaximise(generator);
        // The grid fills nine tenths of the client's shorter side.
        const auto side = [generator] { return std::min(generator->client->width(), generator->client->height() - generator->labelPcs->height()); };
        QTRY_VERIFY(std::abs(generator->UniPic->width() - 0.9 * side()) <= 1);
        generator->close();
    }

    void helpAndEveryWindowStayInReach() {
        ProgramFolder folder;
        folder.WriteStandardFigures();
        QVERIFY(QFile::copy(MURLEN_SOURCE_DIR "/resources/help/TRIANGLEHELP.html", folder.FilePath("TRIANGLEHELP.html")));
        QtDesktop desktop(folder.Path());
        TriForm form(desktop);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        // Every window that shows lies in the screen's free area, and the print
        // dialog offers no page range.
        QStringList outside;
        int pageRanges = 0, helpScrolled = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (!window->isVisible() || window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip) continue;
                if (!window->screen()->availableGeometry().contains(window->frameGeometry()) && !outside.contains(window->windowTitle()))
                    outside << window->windowTitle();
                if (auto* range = window->findChild<QWidget*>("gbPrintRange")) pageRanges += range->isVisible();
                if (auto* help = qobject_cast<HelpViewer*>(window))
                    helpScrolled = std::max(helpScrolled, help->Browser()->verticalScrollBar()->value());
            }
        });
        watch.start(50);

        // The print dialog, opened out; the file dialog; the shape generator
        // and its help, scrolled with the wheel while the generator stays
        // open; back in the game, its help closed with Escape.
        RealInput hand;
        hand.Key("ctrl+p").WaitFor("^Print$").Key("alt+o").Sleep(0.5).Key("Escape")
            .Key("ctrl+o").WaitFor("^Open$").Key("Escape")
            .Key("alt+g").Key("Down").Key("Down").Key("Down").Key("Return").WaitFor("^Shape generator$")
            .Key("alt+h").MoveOver("scores and usage", {200, 200}).Click(5).Click(5).Click(5).Sleep(0.5)
            .Key("alt+f").Key("Up").Key("Return").Sleep(0.5)
            .Key("alt+h").Key("Return").Sleep(1).Key("Escape")
            .Play();
        QVERIFY2(outside.isEmpty(), qPrintable(outside.join(", ")));
        QCOMPARE(pageRanges, 0);
        QVERIFY(helpScrolled > 0);
        QVERIFY(form.frmShape && !form.frmShape->isVisible());
        for (QWidget* window : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<HelpViewer*>(window) || !window->isVisible());
    }

    void threeRandomFiguresFromTheFileMenu() {
        GeneratorFixture g;
        FrmShape& form = *g.form;
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QPoint fileMenu = form.menuBar()->mapToGlobal(form.menuBar()->actionGeometry(form.mnuFile->menuAction()).center());
        std::vector<ShapeGrid> figures;
        for (const QString name : {"First.dat", "Second.dat", "Third.dat"}) {
            // File > Random figure with the pointer, then saved as a new file.
            RealInput().MoveTo(fileMenu).Click().Play();
            QVERIFY(form.mnuFile->isVisible());
            RealInput().MoveTo(form.mnuFile->mapToGlobal(form.mnuFile->actionGeometry(form.mnuRandom).center())).Click().Play();
            QCOMPARE(form.labelPcs->text() + '|' + form.labelSolvable->text(), QString("Placed: 64|Solvable"));
            g.desktop->fileAnswers.push_back(g.ChoiceIn(name));
            RealInput().Key("ctrl+a").Play();

            const QByteArray bytes = g.folder.ReadBytes(name);
            QCOMPARE(bytes.toStdString(), ShapeFileText(form.Grid));
            const CellArray<Triangle> cells = FigureOf(form.Grid).points;
            const CellArray<NeighbourSlots> neighbours = BuildNeighbourTable(cells);
            QCOMPARE(JoinedCells(neighbours), kCellCount);
            const auto solution = KnownSolution(cells);
            QVERIFY(solution && BoardKeepsRules(neighbours, *solution));
            for (const ShapeGrid& before : figures) QVERIFY(!SameShape(before, form.Grid));
            figures.push_back(form.Grid);
        }
        // A random figure replaced the one before it without the save question.
        QCOMPARE(g.desktop->Prompts(), QStringList(3, "Add the file to the data base?"));
    }

    // A nearly finished game opened and solved by hand goes into the record,
    // with its date and its point in the chart; the chooser shows every
    // figure in a picture and plays the one clicked; Solve fills the board,
    // and such a game sets no best time.
    void aGameSolvedInTheRecordAndTheNextChosenInPictures() {
        ProgramFolder folder;
        folder.WriteStandardFigures();
        QtDesktop desktop(folder.Path());
        TriForm form(desktop);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        SavedGame near{30, "Triangle", *KnownSolution(form.CurrentGame().Figure().points), false};
        const int last = near.board[kCellCount];
        near.board[kCellCount] = 0;
        folder.WriteBytes("near.kyp", QByteArray::fromStdString(GameFileBytes(near)));

        BoxWatcher boxes;
        RealInput hand;
        hand.Key("ctrl+o").WaitFor("^Open$").Type("near.kyp").Key("Return").Sleep(0.5).Play();
        hand.Drag(CentreOf(form.TriPool(last)), OnScreen(form, kCellCount))
            .WaitFor("^Exit Murlen\\?$").Key("alt+n").WaitFor("^Best times$").Key("Return")
            .Key("alt+g").Key("y").WaitFor("^Your record$")
            .Play();
        QVERIFY(form.frmRecord && form.frmRecord->isVisible());
        const QTableWidget& table = *form.frmRecord->gridFigures;
        QCOMPARE(table.item(0, 0)->text() + ' ' + table.item(0, 1)->text(), QString("Triangle 1"));
        QVERIFY(table.item(0, 4)->text().endsWith(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)));
        const RecordChart& chart = *form.frmRecord->chartTimes;
        const QPoint point = chart.mapToGlobal(chart.Points().at(0).toPoint());
        QCOMPARE(form.screen()->grabWindow(0, point.x(), point.y(), 1, 1).toImage().pixel(0, 0), RecordChart::kUnaided);

        // The chooser: every figure of the menu in a picture; a click on the
        // third plays it, after the save question.
        hand.Key("Escape").Sleep(0.3).Key("alt+g").Key("f").WaitFor("^Figures$").Play();
        QVERIFY(form.frmFigures);
        QListWidget& list = *form.frmFigures->listFigures;
        QCOMPARE(list.count(), form.mnuShape->Count());
        const auto withoutCells = [&] {  // of the pictures on the screen, the chosen one tinted
            const QPoint origin = list.viewport()->mapToGlobal(QPoint());
            const QImage shown = form.screen()->grabWindow(0, origin.x(), origin.y(), list.viewport()->width(),
                                                           list.viewport()->height()).toImage();
            for (int i = 0; i < list.count(); ++i) {
                const QRect item = list.visualItemRect(list.item(i));
                bool cells = i == list.currentRow();
                for (int y = item.top(); y <= item.bottom() && !cells; ++y)
                    for (int x = item.left(); x <= item.right() && !cells; ++x)
                        cells = shown.valid(x, y) && shown.pixel(x, y) == (0xFF000000 | FrmFigures::kCellFill);
                if (!cells) return list.item(i)->text();
            }
            return QString();
        };
        QTRY_COMPARE(withoutCells(), QString());
        hand.MoveTo(list.viewport()->mapToGlobal(list.visualItemRect(list.item(2)).center())).Click()
            .WaitFor("^ $").Key("alt+n").Sleep(0.5).Play();
        QCOMPARE(TitleOnScreen(&form), QString("Game: Falling"));
        form.activateWindow();  // as a window manager would, once the chooser has gone
        QVERIFY(QTest::qWaitForWindowActive(&form));
        hand.Key("alt+g").Key("s").Play();
        QVERIFY(QTest::qWaitFor([&form] { return !form.HintRunning(); }, 30000));
        QCOMPARE(form.CurrentGame().PiecesInPool(), 0);
        hand.WaitFor("^Exit Murlen\\?$").Key("alt+n").Sleep(0.5).Play();

        QStringList texts;
        for (const QStringList& seen : boxes.seen) texts << seen[0];
        QCOMPARE(texts, QStringList({"KYP Congratulation! Your score is 30seconds", "A new best time for Triangle: 30 seconds.",
                                     "Do You want to save your work as near.kyp?", "KYP Congratulation! Your score is 0seconds"}));
        QCOMPARE(form.CurrentGame().ReadPlayerRecord().games.back().help, Help::Solution);
    }

    void dialogsSpeakThePlayersLanguageAndTitlesAreExact() {
        ForceLanguage(Language::German);
        InstallQtTranslations();
        ProgramFolder folder;
        folder.WriteStandardFigures();
        QtDesktop desktop(folder.Path());
        TriForm form(desktop);
        form.show();
        form.activateWindow();  // keys go to the window with the focus
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(TitleOnScreen(&form), QString("Spiel: Triangle"));

        // A name typed into Open that names no file; then Exit with a game
        // on the board: the save question, answered with Cancel.
        BoxWatcher boxes;
        RealInput hand;
        // A message box's title is a blank.
        hand.Key("ctrl+o").WaitFor("^Öffnen$").Type("missing.kyp").Key("Return").WaitFor("^ $").Key("Return")
            .Drag(CentreOf(form.TriPool(7)), OnScreen(form, 3)).Sleep(1.3)
            .Key("ctrl+x").WaitFor("^ $").Key("Escape")
            .Key("ctrl+a").WaitFor("^Speichern unter$").Type("name.kyp").Key("Return")
            .Play();

        const QString critical = QString::number(QMessageBox::Critical), none = QString::number(QMessageBox::NoIcon);
        QCOMPARE(boxes.seen, std::vector<QStringList>({{"Datei missing.kyp nicht gefunden!", " ", critical, "OK"},
                                                      {"Möchten Sie Ihre Arbeit speichern?", " ", none, "Abbrechen Ja Nein"}}));
        QVERIFY(form.isVisible());
        // Saved as typed into the dialog, and named in the title, nothing more.
        QCOMPARE(folder.ReadBytes("name.kyp").size(), 384);
        QCOMPARE(TitleOnScreen(&form), QString("Spiel: Triangle [Datei: name.kyp]"));
    }

    // Installed where nobody writes: the program in games/, the shipped figures
    // in share/games/murlen, the player's own in the data folder. A figure drawn
    // in the generator and saved under a bare name lands in the player's
    // folder, joins the menu after the shipped ones, plays from the player's
    // file although a shipped figure has the same name in other letter case
    // (the shipped Triangle, the player's Rising rectangle), and is there again
    // after a restart.
    void aPlayersOwnFigureInAnInstalledGame() {
        ProgramFolder install, shipped;
        shipped.WriteStandardFigures();
        QVERIFY(QDir(install.Path()).mkpath("games") && QDir(install.Path()).mkpath("share/games"));
        QVERIFY(QFile::link(shipped.Path(), install.FilePath("share/games/murlen")));
        const QByteArray xdgDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", install.FilePath("data").toUtf8());
        QtDesktop desktop(install.FilePath("games"));
        const QString user = QDir(install.Path()).relativeFilePath(desktop.DataFolder());
        auto form = std::make_unique<TriForm>(desktop);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->frmShape = new FrmShape(desktop, form.get());
        form->frmShape->Grid = RectangleGrid(false);

        // Through the Game menu into the generator: saved as triangle.dat and
        // added; saved as Triangle.dat, a duplicate of the shipped figure; the
        // player's Figures.dat, tabu; back to the game without saving again.
        BoxWatcher boxes;
        RealInput hand;
        QMenuBar* bar = form->menuBar();
        hand.MoveTo(bar->mapToGlobal(bar->actionGeometry(form->mnuXShape->menuAction()).center())).Click().Play();
        // Each key waits for its window; a message box's title is a blank, but
        // for the overwrite question's.
        const auto box = [&hand](const QString& key) -> RealInput& {
            return hand.Sleep(0.3).WaitFor("^( |Warning: File exists)$").Key(key);
        };
        const auto saveAs = [&hand](const QString& name) -> RealInput& {
            return hand.Sleep(0.3).Key("ctrl+a").WaitFor("^Save As$").Type(name).Key("Return");
        };
        hand.MoveTo(form->mnuXShape->mapToGlobal(form->mnuXShape->actionGeometry(form->mnuNewShape).center())).Click()
            .WaitFor("^Shape generator$");
        saveAs("triangle.dat"), box("y");
        saveAs("Triangle.dat"), box("y"), box("Return"), box("Return");
        saveAs("Figures.dat"), box("y"), box("Return");
        hand.Sleep(0.3).Key("ctrl+x"), box("n"), box("n");
        hand.Play();
        QStringList texts;
        for (const QStringList& seen : boxes.seen) texts << seen[0];
        QCOMPARE(texts, QStringList({"Add the file to the data base?", "Add the file to the data base?", "Dublication! SaveAs another name",
                                     "Operation cancelled", "Overwrite the file Figures.dat ?", "This file is tabu!",
                                     "Do You want to save your work as Triangle.dat?", "Do you want to save your work?"}));
        QCOMPARE(boxes.centredOver, QStringList(7, "murlen::FrmShape") << "murlen::TriForm");  // the last, the game's
        QCOMPARE(install.ReadBytes(user + "/Figures.dat"), QByteArray("\"triangle\"\r\n"));
        QVERIFY(QDir(shipped.Path()).entryList(QDir::Files).size() == 4 && shipped.ReadBytes("Figures.dat").count('\n') == 3);

        // The player's figure plays, from the player's file.
        const auto extent = [](const FigureData& f) { return QList<float>{f.minX, f.maxX, f.minY, f.maxY}; };
        const FigureData own = *ReadShapeFileForPlay(install.FilePath(user + "/triangle.dat").toStdString()).value;
        QCOMPARE(TitleOnScreen(form.get()), QString("Game: triangle"));
        QCOMPARE(extent(form->CurrentGame().Figure()), extent(own));
        hand.Drag(CentreOf(form->TriPool(5)), OnScreen(*form, 10)).Play();
        QCOMPARE(form->CurrentGame().Board(10), 5);

        // After a restart the menu offers it again, last.
        form.reset();
        TriForm again(desktop);
        QCOMPARE((*again.mnuShape)[again.mnuShape->Count() - 1]->text(), QString("triangle"));
        qputenv("XDG_DATA_HOME", xdgDataHome);
    }
};

MURLEN_TEST(TestRealInput)
#include "test_real_input.moc"
