// The game window from its start: texts, the pool, the figure menu and the
// layout, in a temporary program folder.
#include <QMenuBar>
#include <QTest>
#include <cmath>

#include "app/icons.h"
#include "app/strings.h"
#include "app/twips.h"
#include "game/tri_form.h"
#include "support/program_folder.h"
#include "support/scripted_desktop.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

QStringList FigureMenu(const TriForm& form) {
    QStringList names;
    for (int i = 0; i < form.mnuShape->Count(); ++i) names << (*form.mnuShape)[i]->text();
    return names;
}

int CheckedFigure(const TriForm& form) {
    int checked = -1;
    for (int i = 0; i < form.mnuShape->Count(); ++i)
        if ((*form.mnuShape)[i]->isChecked()) {
            if (checked != -1) return -2;  // more than one mark
            checked = i;
        }
    return checked;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void loadStepPreparesWindowAndPool() {
        ProgramFolder folder;
        folder.WriteStandardFigures();
        ScriptedDesktop desktop(folder.Path());
        TriForm form(desktop);

        QVERIFY(desktop.messages.empty());
        QCOMPARE(form.windowTitle(), QString("Game: Triangle"));
        QCOMPARE(form.mnuFile->title(), QString("&File"));
        QCOMPARE(form.mnuXShape->title(), QString("&Game"));
        QCOMPARE(form.mnuHelp->title(), QString("&Help"));
        QCOMPARE(form.mnuSaveAs->text(), QString("save&As"));
        QCOMPARE(form.mnuNewShape->text(), QString("Shape generator..."));
        QCOMPARE(form.mnuExit->shortcut(), QKeySequence("Ctrl+X"));
        QVERIFY(!form.mnuSave->isEnabled());
        QCOMPARE(form.GameLabel, QString("Game: "));
        QCOMPARE(form.FileLabel, QString("File: "));
        QCOMPARE(form.labelScore->toolTip(), QString("I'm the second counter"));
        QCOMPARE(form.labelScore->text(), QString());

        for (int i = 1; i <= 64; ++i) {
            PictureBox* piece = form.TriPool(i);
            QCOMPARE(piece->Index(), i);
            QCOMPARE(piece->toolTip(), QString("Move me or drag me to the game"));
            QCOMPARE(piece->DataField(), QString("KYP_Triangle"));
            QCOMPARE(piece->DragIcon().cacheKey(), LoadResPicture(200 + i % 64).cacheKey());
            QCOMPARE(piece->ScaleWidth(), 42.0f);
            QCOMPARE(piece->ScaleHeight(), 42.0f);
            QCOMPARE(form.Board.pieces[i], std::int16_t(0));
            QVERIFY(!form.Board.violation[i]);
        }
        QCOMPARE(form.TriPool(64)->DragIcon().cacheKey(), LoadResPicture(200).cacheKey());
        QCOMPARE(form.FigurePic->DataField(), QString("KYP_Figure"));
        QCOMPARE(form.FigurePic->DragIcon().cacheKey(), LoadResPicture(101).cacheKey());

        // The clock is armed; the first layout stops it before any second counts.
        QCOMPARE(form.Seconds, 0);
        QCOMPARE(form.Timer1->Interval(), 1000);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.Timer1->Enabled());
        QCOMPARE(form.labelScore->text(), QString());
        QCOMPARE(form.Seconds, 0);
    }

    void menusFollowTheUserLanguage() {
        ProgramFolder folder;
        folder.WriteStandardFigures();
        ScriptedDesktop desktop(folder.Path());
        ForceLanguage(Language::German);
        TriForm form(desktop);
        QCOMPARE(form.mnuFile->title(), QString("&Datei"));
        QCOMPARE(form.mnuXShape->title(), QString("&Spiel"));
        QCOMPARE(form.mnuHelp->title(), QString("&Hilfe"));
        QCOMPARE(form.mnuPrint->text(), ResString(Language::German, 108));
        QCOMPARE(form.windowTitle(), ResString(Language::German, 116) + "Triangle");
    }

    void helpFollowsTheUserLanguage() {
        ProgramFolder folder;
        folder.WriteStandardFigures();
        ScriptedDesktop desktop(folder.Path());
        TriForm form(desktop);
        form.mnuUsage_Click();
        ForceLanguage(Language::Dutch);
        form.mnuUsage_Click();
        ForceLanguage(Language::German);
        form.mnuUsage_Click();
        QCOMPARE(desktop.helpFiles, QStringList({folder.Path() + "\\TRIANGLEHELP.hlp", folder.Path() + "\\TRIANGLEHELPNL.hlp",
                                                 folder.Path() + "\\TRIANGLEHELPDE.hlp"}));
        QCOMPARE(desktop.helpCommands, std::vector<int>({3, 3, 3}));
    }

    void figureMenuListsTheFigureListInOrder() {
        ProgramFolder folder;
        folder.WriteStandardFigures();
        // Duplicates stay, in file order; unquoted entries count as well.
        folder.WriteBytes("Figures.dat", "\"Rising\"\r\n\"Triangle\"\r\n\"Rising\"\r\nFalling\r\n");
        ScriptedDesktop desktop(folder.Path());
        TriForm form(desktop);
        QCOMPARE(FigureMenu(form), QStringList({"Rising", "Triangle", "Rising", "Falling"}));
        QCOMPARE(CheckedFigure(form), 0);
        QCOMPARE(form.FigureName, QString("Rising"));
        QVERIFY(form.FigureLoaded);
        QCOMPARE(form.Figure.maxX, 8.0f);
        QCOMPARE(form.Figure.maxY, 4.0f);
        QCOMPARE(form.NeighbourFigure, QString("Rising"));
        // A cell in the middle of the rectangle has three neighbours.
        int inner = 0;
        for (int cell = 1; cell <= 64; ++cell)
            if (form.Neighbours[cell][0] && form.Neighbours[cell][1] && form.Neighbours[cell][2]) ++inner;
        QVERIFY(inner > 20);
    }

    void figureListNameIgnoresLetterCase() {
        ProgramFolder folder;
        folder.WriteFigure("Star", TriangleGrid());
        QFile::rename(folder.FilePath("Star.dat"), folder.FilePath("Star.DAT"));
        folder.WriteBytes("FIGURES.DAT", "\"Star\"\r\n");
        ScriptedDesktop desktop(folder.Path());
        TriForm form(desktop);
        QVERIFY2(desktop.messages.empty(), qPrintable(desktop.Prompts().join('\n')));
        QCOMPARE(form.windowTitle(), QString("Game: Star"));
        QVERIFY(form.FigureLoaded);
    }

    void missingOrBrokenFiguresAreReportedAndTheGameGoesOn() {
        {
            ProgramFolder folder;  // no figure list at all
            ScriptedDesktop desktop(folder.Path());
            TriForm form(desktop);
            QCOMPARE(desktop.Prompts(), QStringList({"File Figures.dat not found!"}));
            QCOMPARE(desktop.messages[0].style, 16);
            QCOMPARE(FigureMenu(form), QStringList({"&Triangle"}));
            QVERIFY(!form.FigureLoaded);
            QCOMPARE(form.windowTitle(), QString("Figure: none"));
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
        }
        {
            ProgramFolder folder;  // an empty list
            folder.WriteBytes("Figures.dat", "");
            ScriptedDesktop desktop(folder.Path());
            TriForm form(desktop);
            QCOMPARE(desktop.Prompts(), QStringList({ResString(Language::English, 173)}));
            QVERIFY(!form.FigureLoaded);
        }
        {
            ProgramFolder folder;  // the first figure's shape file is damaged
            folder.WriteStandardFigures();
            folder.WriteBytes("Triangle.dat", "0\r\n8\r\n0\r\nlots\r\n");
            ScriptedDesktop desktop(folder.Path());
            TriForm form(desktop);
            QCOMPARE(desktop.Prompts(),
                     QStringList({"The file Triangle.dat is not a valid shape file. The problem is in line 4."}));
            QCOMPARE(FigureMenu(form), QStringList({"Triangle", "Rising", "Falling"}));
            QVERIFY(!form.FigureLoaded);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.Form_Resize();
        }
        {
            ProgramFolder folder;  // a name that would reach outside the folder
            folder.WriteStandardFigures();
            folder.WriteBytes("Figures.dat", "\"../Triangle\"\r\n\"Rising\"\r\n");
            ScriptedDesktop desktop(folder.Path());
            TriForm form(desktop);
            QCOMPARE(desktop.messages.size(), std::size_t(1));
            QVERIFY(desktop.messages[0].prompt.contains("../Triangle.dat"));
            QVERIFY(!form.FigureLoaded);
        }
    }

    void layoutScalesPoolAndBoardToTheClientWidth() {
        ProgramFolder folder;
        folder.WriteStandardFigures();
        ScriptedDesktop desktop(folder.Path());
        TriForm form(desktop);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.resize(800, 700);
        QTRY_COMPARE(form.client->width(), 800);

        const float W = float(TwipsWidth(form.client));
        const float q = W / 19.4f, g = 0.2f * q, p = 1.2f * q;
        const auto grain = [](float twips) { return TwipsToPixels(twips) * kTwipsPerPixel; };
        // Piece 64 takes the first column of the first row, piece 1 the second.
        QCOMPARE(form.PoolLeft[64], grain(g));
        QCOMPARE(form.PoolTop[64], grain(g));
        QCOMPARE(form.PoolLeft[1], grain(p + g));
        QCOMPARE(form.PoolLeft[16], grain(g));
        QCOMPARE(form.PoolTop[16], grain(p + g));
        QCOMPARE(form.PoolLeft[63], grain(15 * p + g));
        QCOMPARE(form.PoolTop[63], grain(3 * p + g));
        for (int i = 1; i <= 64; ++i) {
            QCOMPARE(TwipsLeft(form.TriPool(i)), form.PoolLeft[i]);
            QCOMPARE(TwipsTop(form.TriPool(i)), form.PoolTop[i]);
            QCOMPARE(form.TriPool(i)->width(), TwipsToPixels(q));
        }
        QCOMPARE(TwipsTop(form.FigurePic), grain(4 * p + g));
        QCOMPARE(form.BoardMaxWidth, float(grain(16 * q + 15 * g)));
        // The triangle is as wide as high: the board takes the lesser of the two.
        QVERIFY(std::abs(form.FigurePic->width() - form.FigurePic->height()) <= 1);
        QVERIFY(desktop.doEventsCount >= 65);

        // The empty figure is drawn: the top edge of the triangle is a black line.
        const QPointF corner = form.FigurePic->ToPixels({0.5f, 0.0f});
        QCOMPARE(QColor(form.FigurePic->Image().pixel(corner.toPoint())), QColor(Qt::black));
    }

    void tinyAndMinimisedWindowsAreLaidOutWithoutHarm() {
        ProgramFolder folder;
        folder.WriteStandardFigures();
        ScriptedDesktop desktop(folder.Path());
        TriForm form(desktop);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        // A very low window: label and board keep their minimum of 10 twips.
        form.client->setFixedSize(600, 20);
        form.Form_Resize();
        QVERIFY(TwipsTop(form.labelScore) <= 15);
        QVERIFY(TwipsTop(form.labelScore) >= 0);
        QVERIFY(form.BoardMaxHeight > 0);

        // A minimised window: everything collapses, nothing breaks.
        form.client->setFixedSize(0, 0);
        form.Form_Resize();
        QCOMPARE(form.TriPool(1)->width(), 0);
        QCOMPARE(form.BoardMaxWidth, 0.0f);

        form.client->setMinimumSize(0, 0);
        form.client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        form.client->resize(700, 700);
        form.Form_Resize();
        QVERIFY(form.TriPool(1)->width() > 20);
    }
};

MURLEN_TEST(TestStartup)
#include "test_startup.moc"
