// The figure list: reading its entries in order and appending a new name.
#include <QTemporaryDir>
#include <QTest>

#include "files/figure_list.h"
#include "files_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

using Names = std::vector<std::string>;

class TestFigureList : public QObject {
    Q_OBJECT

private slots:
    void readsQuotedAndUnquotedEntriesInFileOrder() {
        const std::string text =
            "\"Heart\"\r\n"
            "Star\r\n"
            "  Moon , \"Sun, rising\"\r\n"
            "\r\n"
            "\"Fish\" left over, Tree \r\n";
        QCOMPARE(ParseFigureList(text), (Names{"Heart", "Star", "Moon", "Sun, rising", "Fish", "Tree"}));
    }

    void keepsBlanksInsideQuotesAndDropsThemAround() {
        QCOMPARE(ParseFigureList("  \" Big Ship \"  \r\n\t Small Boat\t\r\n"), (Names{" Big Ship ", "Small Boat"}));
    }

    void acceptsLfLineEndsAndAMissingLastLineEnd() {
        QCOMPARE(ParseFigureList("\"A\"\n\"B\"\nC"), (Names{"A", "B", "C"}));
    }

    void emptyLinesAndEmptyFieldsNameNothing() {
        QCOMPARE(ParseFigureList(""), Names{});
        QCOMPARE(ParseFigureList("\r\n\r\n  \r\n"), Names{});
        QCOMPARE(ParseFigureList("A,,B,\r\n"), (Names{"A", "B"}));
        QCOMPARE(ParseFigureList("\"\"\r\n"), Names{""});  // quoted: an entry, if an empty one
    }

    void aMissingClosingQuoteEndsAtTheLineEnd() {
        QCOMPARE(ParseFigureList("\"Open\r\n\"Next\"\r\n"), (Names{"Open", "Next"}));
    }

    void doesNotFilterNames() {
        QCOMPARE(ParseFigureList("\"../up\"\r\n\"a/b\"\r\n"), (Names{"../up", "a/b"}));
    }

    void readsTheFile() {
        QTemporaryDir dir;
        WriteBytes(PathIn(dir, "Figures.dat"), "\"Heart\"\r\n\"Star\"\r\n");
        const auto result = ReadFigureList(PathIn(dir, "Figures.dat"));
        QVERIFY(result.ok());
        QCOMPARE(*result.value, (Names{"Heart", "Star"}));
    }

    void refusesFilesThatCannotBeRead() {
        QTemporaryDir dir;
        QCOMPARE(ProblemName(ReadFigureList(PathIn(dir, "Figures.dat")).problem),
                 ProblemName(FileProblem::NotFound));
        std::filesystem::create_directory(PathIn(dir, "Folder"));
        QCOMPARE(ProblemName(ReadFigureList(PathIn(dir, "Folder")).problem), ProblemName(FileProblem::Unreadable));
        WriteBytes(PathIn(dir, "Huge.dat"), std::string(1024 * 1024 + 1, '\n'));
        QCOMPARE(ProblemName(ReadFigureList(PathIn(dir, "Huge.dat")).problem), ProblemName(FileProblem::TooLarge));
    }

    void appendsANewNameAsOneQuotedLine() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Figures.dat");
        const std::string old = "\"Heart\"\r\n\"Star\"\r\n";
        WriteBytes(path, old);
        QCOMPARE(int(AppendToFigureList(path, "Moon")), int(AppendOutcome::Appended));
        QCOMPARE(ReadBytes(path), old + "\"Moon\"\r\n");
    }

    void comparesNamesWithRegardToLetterCase() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Figures.dat");
        const std::string old = "\"Heart\"\r\nStar\r\n";
        WriteBytes(path, old);

        QCOMPARE(int(AppendToFigureList(path, "Heart")), int(AppendOutcome::Duplicate));
        QCOMPARE(int(AppendToFigureList(path, "Star")), int(AppendOutcome::Duplicate));
        QCOMPARE(ReadBytes(path), old);

        QCOMPARE(int(AppendToFigureList(path, "heart")), int(AppendOutcome::Appended));
        QCOMPARE(ReadBytes(path), old + "\"heart\"\r\n");
        QCOMPARE(*ReadFigureList(path).value, (Names{"Heart", "Star", "heart"}));
    }

    void createsAMissingList() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Figures.dat");
        QCOMPARE(int(AppendToFigureList(path, "Heart")), int(AppendOutcome::Appended));
        QCOMPARE(ReadBytes(path), std::string("\"Heart\"\r\n"));
    }

    void putsTheNewEntryOnALineOfItsOwn() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Figures.dat");
        WriteBytes(path, "\"Heart\"");
        QCOMPARE(int(AppendToFigureList(path, "Star")), int(AppendOutcome::Appended));
        QCOMPARE(ReadBytes(path), std::string("\"Heart\"\r\n\"Star\"\r\n"));

        WriteBytes(path, "\"Heart\"\n");  // an LF line end is a line end
        QCOMPARE(int(AppendToFigureList(path, "Star")), int(AppendOutcome::Appended));
        QCOMPARE(ReadBytes(path), std::string("\"Heart\"\n\"Star\"\r\n"));
    }

    void failsWithoutChangingTheList() {
        QTemporaryDir dir;
        std::filesystem::create_directory(PathIn(dir, "Folder"));
        QCOMPARE(int(AppendToFigureList(PathIn(dir, "Folder"), "Heart")), int(AppendOutcome::Failed));
        QCOMPARE(int(AppendToFigureList(PathIn(dir, "missing/Figures.dat"), "Heart")), int(AppendOutcome::Failed));

        // A name that would not read back as itself.
        const auto path = PathIn(dir, "Figures.dat");
        const std::string old = "\"Heart\"\r\n";
        WriteBytes(path, old);
        QCOMPARE(int(AppendToFigureList(path, "Say \"hi\"")), int(AppendOutcome::Failed));
        QCOMPARE(int(AppendToFigureList(path, "Two\r\nLines")), int(AppendOutcome::Failed));
        QCOMPARE(ReadBytes(path), old);
        QCOMPARE(NamesIn(PathIn(dir, "")), (Names{"Figures.dat", "Folder"}));
    }

    void aWriteCutShortIsTakenBack() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Figures.dat");
        const std::string old = "\"Heart\"\r\n";
        WriteBytes(path, old);
        {
            // Room for three more bytes: the write stops inside the new line.
            const FileSizeLimit limit(old.size() + 3);
            QCOMPARE(int(AppendToFigureList(path, "Star")), int(AppendOutcome::Failed));
        }
        QCOMPARE(ReadBytes(path), old);
    }

    void aFailedNewListIsNotLeftBehind() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Figures.dat");
        {
            const FileSizeLimit limit(3);
            QCOMPARE(int(AppendToFigureList(path, "Heart")), int(AppendOutcome::Failed));
        }
        QVERIFY(!std::filesystem::exists(path));
    }
};

MURLEN_TEST(TestFigureList)
#include "test_figure_list.moc"
