// The shape generator played as a user plays it, one script a row: clicks,
// moves, the grid size, files and the return to the game; read back from the
// grid, the pixels of UniPic, the messages, the window and the files' bytes.
#include <QDir>
#include <QMenuBar>
#include <QTest>
#include <map>

#include "app/strings.h"
#include "game/tri_form.h"
#include "generator_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// "Name@x,y": a figure of the program folder (or a drawing) moved to (x, y).
ShapeGrid Figure(const QString& text) {
    const std::string name = text.section('@', 0, 0).toStdString();
    const QString at = text.section('@', 1);
    const ShapeGrid grid = name == "Triangle" ? Shipped(name) : Drawn(name == "Rising" ? kRising : name == "Falling" ? kFalling : name);
    return Moved(grid, at.section(',', 0, 0).toInt(), at.section(',', 1).toInt());
}

// One word a step: l, r or m and a point (a left, right or middle click);
// < > ^ v (moves); g and answers to the grid size question (_ for a blank);
// o s a x n (Open, Save, Save As, Return, Random figure); =Title (the next file dialog's
// choice); Y N C (the next question's answer, else Yes); +Figure (put into the
// grid as opening does); ! (a figure list that cannot be written).
void Play(GeneratorFixture& g, const QString& script) {
    FrmShape& f = *g.form;
    const std::map<QChar, QAction*> menu{{'<', f.mnuLeft}, {'>', f.mnuRight}, {'^', f.mnuUp}, {'v', f.mnuDown}, {'g', f.mnuGrid},
                                         {'o', f.mnuOpen}, {'s', f.mnuSave}, {'a', f.mnuSaveAs}, {'x', f.mnuExit}, {'n', f.mnuRandom}};
    const std::map<QChar, int> answers{{'Y', msgbox::kYes}, {'N', msgbox::kNo}, {'C', msgbox::kCancel}};
    for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
        const QChar c = step[0];
        const QStringList rest = step.mid(1).replace('_', ' ').split(',');
        if (c == 'g') g.desktop->inputAnswers.insert(g.desktop->inputAnswers.end(), rest.begin(), rest.end());
        if (QString("lrm").contains(c)) g.Click(c == 'l' ? 1 : c == 'r' ? 2 : 4, rest[0].toFloat(), rest.value(1).toFloat());
        else if (c == '=') g.desktop->fileAnswers.push_back(g.ChoiceIn(rest[0]));
        else if (answers.count(c)) g.desktop->msgBoxAnswers.push_back(answers.at(c));
        else if (c == '+') g.Load(Figure(rest.join(',')));
        else if (c == '!') QVERIFY(QFile::remove(g.folder.FilePath("Figures.dat")) && QDir(g.folder.Path()).mkdir("Figures.dat"));
        else menu.at(c)->trigger();
    }
}

// The first visible square whose picture differs from the grid, probed in the
// four quarters that the two diagonals cut: top, right, bottom, left.
QString PictureFault(const GeneratorFixture& g) {
    const ShapeGrid& grid = g.form->Grid;
    for (int x = 0; x < g.form->GridSize; ++x)
        for (int y = 0; y < g.form->GridSize; ++y)
            for (const auto& [dx, dy, rising, falling] : {std::tuple{0.5f, 0.2f, 1, 1}, {0.8f, 0.5f, 2, 1}, {0.5f, 0.8f, 2, 2}, {0.2f, 0.5f, 1, 2}}) {
                const int half = grid.Falling(x, y) ? falling : rising;
                if (g.PixelAt({x + dx, y + dy}) != (grid.Placed(x, y, half) ? g.Fore() : g.Back()))
                    return QString("square %1, %2 at %3, %4").arg(x).arg(y).arg(dx).arg(dy);
            }
    return {};
}

}  // namespace

class TestGenerator : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void plays_data() {
        for (const char* column : {"script", "grid", "messages", "window", "files", "list"}) QTest::addColumn<QString>(column);
        const QString list = "Triangle Rising Falling", one = "Placed: 1|Shape generator|12", open = "Placed: 64|Shape generator [";
        const QString add = "4:Add the file to the data base?", twice = "|16:Dublication! SaveAs another name|16:Operation cancelled";
        const QString edge = "16:Can't move over non-empty elements", nat = "16:Please enter only natural numbers|", range = "16:Only numbers between 7 and 24 are supported|";
        QTest::newRow("on a rising diagonal") << "l3.5,2.5" << "/_@3,2" << "" << one << "" << list;
        QTest::newRow("on a falling diagonal") << "r5.5,6.5 l5.25,6.25" << "\\^@5,6" << "" << one << "" << list;
        QTest::newRow("twice is empty again") << "l2.8,2.8 l2.7,2.9" << "" << "" << "Placed: 0|Shape generator|12" << "" << list;
        QTest::newRow("turned, the half stays") << "l4.2,4.2 r4.2,4.2" << "\\^@4,4" << "" << one << "" << list;
        QTest::newRow("other button, off the grid") << "m3.5,3.5 l-0.5,3 r3,26.5" << "" << "" << "|Shape generator|12" << "" << list;
        QTest::newRow("grid size") << "g9 g07,+9,-0,1.,8a,_5,5_,-5,0,6,25,99,123 g" << "" << nat.repeated(7) + range.repeated(5).chopped(1) << "|Shape generator|12" << "" << list;
        QTest::newRow("hidden cells kept, counted") << "l10.2,10.2 l10.8,10.8 l2.2,2.2 g8 l2.2,2.2 g12" << "//@10,10" << "" << "Placed: 2|Shape generator|12" << "" << list;
        QTest::newRow("edge diagonal lost") << "=Falling.dat o > r0.5,5.5 < >" << "Falling@1,0" << "" << open + "Falling.dat]|12" << "" << list;
        QTest::newRow("down and up") << "=Triangle.dat o v v ^" << "Triangle@0,1" << "" << open + "Triangle.dat]|12" << "" << list;
        QTest::newRow("left edge, last square") << "g24 l0.2,23.2 v v <" << "/^@0,25" << edge << "Placed: 1|Shape generator|24" << "" << list;
        QTest::newRow("top edge, last square") << "g24 l23.2,0.2 > > ^" << "/^@25,0" << edge << "Placed: 1|Shape generator|24" << "" << list;
        QTest::newRow("right, bottom edges") << "g24 l23.2,23.2 > > v v > v < < ^ ^" << "/^@23,23" << edge + '|' + edge << "Placed: 1|Shape generator|24" << "" << list;
        QTest::newRow("added, then a duplicate") << "=Falling.dat o =Star.dat a > s" << "Falling@1,0" << add + '|' + add + twice << open + "Star.dat]|12" << "Star.dat=Falling@1,0" << list + " Star";
        QTest::newRow("not added") << "=Falling.dat o N =Big.DAT a" << "Falling" << add << open + "Big.DAT]|12" << "Big.DAT=Falling" << list;
        QTest::newRow("Save As incomplete") << "l1.2,1.2 =X.dat a" << "/^@1,1" << "16:Can't save uncomplete shapes (put 64 pieces)" << one << "X.dat=" << list;
        QTest::newRow("Save incomplete") << "=Triangle.dat o l0.2,0.2 s l0.2,0.2" << "Triangle" << "16:Can't save uncomplete shapes (put 64 pieces)" << open + "Triangle.dat]|12" << "Triangle.dat=Triangle" << list;
        QTest::newRow("list's name, not .dat") << "=Falling.dat o =Figures.dat a =FIGURES.DAT a =Star.txt a" << "Falling" << "36:Overwrite the file Figures.dat ?/Warning: File exists|16:This file is tabu!|16:This file is tabu!|16:Only '.dat' extensions are supported!" << open + "Falling.dat]|12" << "FIGURES.DAT= Star.txt=" << list;
        QTest::newRow("not overwritten") << "=Falling.dat o N =Rising.dat a" << "Falling" << "36:Overwrite the file Rising.dat ?/Warning: File exists" << open + "Falling.dat]|12" << "Rising.dat=Rising" << list;
        QTest::newRow("opened at the top left") << "=Wide.dat o" << "Triangle" << "" << open + "Wide.dat]|12" << "" << list;
        QTest::newRow("not opened") << "l2.2,2.2 =Gone.dat o =Figures.dat o" << "/^@2,2" << "16:File Gone.dat not found!|16:This file is tabu!" << one << "" << list;
        QTest::newRow("open cancelled") << "=Wide.dat o C =Rising.dat o" << "Triangle" << "3:Do You want to save your work as Wide.dat?" << open + "Wide.dat]|12" << "" << list;
        QTest::newRow("return saves") << "=Falling.dat o > x" << "Falling@1,0" << "3:Do You want to save your work as Falling.dat?|" + add + twice << open + "Falling.dat]|12|hidden" << "Falling.dat=Falling@1,0" << list;
        QTest::newRow("return cancelled") << "+Rising@3,5 C x" << "Rising@3,5" << "3:Do you want to save your work?" << "|Shape generator|12" << "" << list;
        QTest::newRow("return saves as") << "+Rising@3,5 =Star.dat x" << "Rising@3,5" << "3:Do you want to save your work?|" + add << "|Shape generator [Star.dat]|12|hidden" << "Star.dat=Rising@3,5" << list + " Star";
        QTest::newRow("return incomplete") << "l1.2,1.2 x" << "/^@1,1" << "" << one + "|hidden" << "" << list;
        QTest::newRow("list not writable") << "! +Rising =Star.dat a" << "Rising" << add + "|16:The file Figures.dat cannot be written. The shape file has been saved, but the figure has not been added to the figure list." << "|Shape generator [Star.dat]|12" << "Star.dat=Rising" << "";
        QTest::newRow("file not writable") << "+Rising =missing/New.dat a" << "Rising" << "16:The file missing/New.dat cannot be written. Nothing has been changed." << "|Shape generator|12" << "" << list;
        QTest::newRow("return, save failed") << "+Rising =missing/New.dat x" << "Rising" << "3:Do you want to save your work?|16:The file missing/New.dat cannot be written. Nothing has been changed." << "|Shape generator|12" << "" << list;
        QTest::newRow("random kept a drawing") << "l1.2,1.2 N n +Rising C n" << "Rising" << "36:Replace your drawing with a random figure?|3:Do you want to save your work?" << "Placed: 1|Shape generator|12" << "" << list;
        QTest::newRow("name not for the list") << "+Rising =.dat a" << "Rising" << add + "|16:The file .dat cannot be added to the figure list: a figure name must not be empty and must not contain quotes, slashes, backslashes or control characters. The shape file has been saved." << "|Shape generator [.dat]|12" << ".dat=Rising" << list;
    }
    void plays() {
        const auto column = [](const char* name) { return *static_cast<QString*>(QTest::qData(name, QMetaType::QString)); };
        GeneratorFixture g;
        g.folder.WriteFigure("Wide", Figure("Triangle@5,2"));
        Play(g, column("script"));

        QCOMPARE(g.form->Grid, Figure(column("grid")));
        QCOMPARE(PictureFault(g), QString());
        QStringList shown;
        for (const AskedMessage& m : g.desktop->messages) shown << QString::number(m.style) + ':' + m.prompt + (m.title.isEmpty() ? "" : '/' + m.title);
        QCOMPARE(shown.join('|'), column("messages"));
        const FrmShape& f = *g.form;
        QCOMPARE(f.labelPcs->text() + '|' + f.windowTitle() + '|' + QString::number(f.UniPic->ScaleWidth()) + (f.isVisible() ? "" : "|hidden"), column("window"));
        for (const QString& file : column("files").split(' ', Qt::SkipEmptyParts)) {
            const QByteArray bytes = g.folder.ReadBytes(file.section('=', 0, 0));
            const QString figure = file.section('=', 1);
            QCOMPARE(bytes.toStdString(), figure.isEmpty() ? "" : ShapeFileText(Figure(figure)));
            QCOMPARE(bytes.count("\r\n"), figure.isEmpty() ? 0 : 452);  // four header lines, 64 records of seven
        }
        QByteArray names;
        for (const QString& name : column("list").split(' ', Qt::SkipEmptyParts)) names += '"' + name.toUtf8() + "\"\r\n";
        QCOMPARE(g.folder.ReadBytes("Figures.dat"), names);
    }

    // In every language each access key of a menu bar, and of each of its
    // menus, chooses one item: of the generator and of the game window.
    void everyAccessKeyChoosesOneItem() {
        for (const Language language : {Language::English, Language::German, Language::Dutch}) {
            ForceLanguage(language);
            GeneratorFixture g;
            const TriForm game(*g.desktop);
            for (QMenuBar* bar : {game.menuBar(), g.form->menuBar()})
                for (const QWidget* menu : bar->findChildren<QWidget*>() + QWidgetList{bar}) {
                    QStringList keys;
                    for (const QAction* item : menu->actions()) keys << QKeySequence::mnemonic(item->text()).toString();
                    keys.removeAll(QString());
                    QVERIFY2(QSet<QString>(keys.begin(), keys.end()).size() == keys.size(), qPrintable(keys.join(' ')));
                }
        }
    }
};

MURLEN_TEST(TestGenerator)
#include "test_generator.moc"
