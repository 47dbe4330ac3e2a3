// Files made to hurt: huge, endless, or naming places outside the program
// folder. The game refuses them with a message and goes on.
#include <QTest>

#include "app/strings.h"
#include "support/game_fixture.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void init() { ForceLanguage(Language::English); }
    void cleanup() { ForceLanguage(std::nullopt); }

    void hugeFigureListsAndShapeFilesAreRefusedOrTamed() {
        ProgramFolder folder;
        folder.WriteStandardFigures();
        // Thousands of entries and one very long line: every entry becomes an
        // item, and the game starts on the first.
        QByteArray list = "\"Triangle\"\r\n";
        for (int i = 0; i < 3000; ++i) list += "\"Figure " + QByteArray::number(i) + "\"\r\n";
        list += "\"" + QByteArray(20000, 'x') + "\"\r\n";
        folder.WriteBytes("Figures.dat", list);
        // A shape file of several megabytes is not read at all.
        folder.WriteBytes("Figure 7.dat", QByteArray(4 * 1024 * 1024, '7'));
        ScriptedDesktop desktop(folder.Path());
        TriForm form(desktop);
        QVERIFY(desktop.messages.empty());
        QCOMPARE(form.mnuShape->Count(), 3002);
        QCOMPARE(form.FigureName, QString("Triangle"));

        form.mnuShape_Click(8);
        QCOMPARE(desktop.Prompts(), QStringList({"The file Figure 7.dat cannot be read."}));
        QCOMPARE(form.FigureName, QString("Triangle"));
        form.mnuShape_Click(3001);
        QCOMPARE(desktop.messages.size(), std::size_t(2));
        QCOMPARE(form.FigureName, QString("Triangle"));
    }

    void namesThatReachOutsideTheFolderAreNeverOpened() {
        ProgramFolder folder;
        folder.WriteStandardFigures();
        folder.WriteBytes("Figures.dat", QByteArray("\"Triangle\"\r\n\"../Outside\"\r\n\"/etc/passwd\"\r\n"
                                                         "\"Tri\x01gle\"\r\n\"..\"\r\n"));
        ScriptedDesktop desktop(folder.Path());
        TriForm other(desktop);
        for (int i = 1; i <= 4; ++i) {
            other.mnuShape_Click(i);
            QCOMPARE(other.FigureName, QString("Triangle"));
        }
        QCOMPARE(desktop.messages.size(), std::size_t(4));
        for (const auto& message : desktop.messages) QCOMPARE(message.style, 16);
    }
};

MURLEN_TEST(TestHostileFiles)
#include "test_hostile_files.moc"
