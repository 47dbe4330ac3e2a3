// Writing shape files: the exact text the generator produces and the safe
// replacement of the file on the disk.
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>

#include "files/shape_file.h"
#include "files_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// The seven lines of record N, as numbers.
std::vector<std::string> Record(const std::vector<std::string>& lines, int n) {
    const auto first = lines.begin() + (RecordLine(n) - 1);
    return std::vector<std::string>(first, first + 7);
}

std::vector<std::string> Numbers(std::initializer_list<int> values) {
    std::vector<std::string> lines;
    for (const int v : values) lines.push_back(std::to_string(v));
    return lines;
}

}  // namespace

class TestShapeFileWriting : public QObject {
    Q_OBJECT

private slots:
    void headerIsTheBoundingBoxInGridPoints() {
        const std::vector<std::string> lines = LinesOf(ShapeFileText(SampleGrid()));
        QCOMPARE(std::vector<std::string>(lines.begin(), lines.begin() + 4), Numbers({3, 11, 5, 13}));
    }

    void firstFallingUpperHalfGivesTheFirstRecord() {
        // Square (3, 5) is the first in record order, falling, upper half only.
        const std::vector<std::string> lines = LinesOf(ShapeFileText(SampleGrid()));
        QCOMPARE(std::vector<std::string>(lines.begin() + 4, lines.begin() + 11),
                 Numbers({1, 4, 5, 3, 5, 4, 6}));
    }

    void eachHalfGetsItsCornersInOrderP1P2P3() {
        const std::vector<std::string> lines = LinesOf(ShapeFileText(SampleGrid()));
        // Falling square (3, 9), both halves: N, x+1, y, x, y, x+1, y+1, then
        // N, x, y+1, x+1, y+1, x, y.
        QCOMPARE(Record(lines, 33), Numbers({33, 4, 9, 3, 9, 4, 10}));
        QCOMPARE(Record(lines, 34), Numbers({34, 3, 10, 4, 10, 3, 9}));
        // Rising square (5, 5), both halves, upper first.
        QCOMPARE(Record(lines, 2), Numbers({2, 5, 5, 5, 6, 6, 5}));
        QCOMPARE(Record(lines, 3), Numbers({3, 6, 6, 6, 5, 5, 6}));
        // The first of row 6 (rising upper) and of row 8 (rising lower).
        QCOMPARE(Record(lines, 9), Numbers({9, 3, 6, 3, 7, 4, 6}));
        QCOMPARE(Record(lines, 25), Numbers({25, 4, 9, 4, 8, 3, 9}));
        // The last: falling lower (10, 12).
        QCOMPARE(Record(lines, 64), Numbers({64, 10, 13, 11, 13, 10, 12}));
    }

    void recordsCountOneToSixtyFourInRowOrder() {
        const std::vector<std::string> lines = LinesOf(ShapeFileText(SampleGrid()));
        for (int n = 1; n <= 64; ++n) QCOMPARE(lines[std::size_t(RecordLine(n) - 1)], std::to_string(n));
    }

    void hasFourHundredFiftyTwoLinesAllEndedByCrLf() {
        const std::string text = ShapeFileText(SampleGrid());
        int lineEnds = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                QVERIFY(i > 0 && text[i - 1] == '\r');
                ++lineEnds;
            } else if (text[i] == '\r') {
                QVERIFY(i + 1 < text.size() && text[i + 1] == '\n');
            } else {
                QVERIFY(text[i] >= '0' && text[i] <= '9');  // plain digits only
            }
        }
        QCOMPARE(lineEnds, 452);
        QVERIFY(text.ends_with("10\r\n12\r\n"));  // the last line has its CR LF too
    }

    void writesTheTextToTheFile() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Sample.dat");
        QCOMPARE(ProblemName(WriteShapeFile(SampleGrid(), path)), ProblemName(FileProblem::None));
        QCOMPARE(ReadBytes(path), ShapeFileText(SampleGrid()));
        QCOMPARE(NamesIn(PathIn(dir, "")), std::vector<std::string>{"Sample.dat"});
    }

    void replacesAnExistingFile() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Sample.dat");
        WriteBytes(path, std::string(5000, 'x'));
        QCOMPARE(ProblemName(WriteShapeFile(SampleGrid(), path)), ProblemName(FileProblem::None));
        QCOMPARE(ReadBytes(path), ShapeFileText(SampleGrid()));
    }

    void failedWriteLeavesTheOldFileWhole() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Sample.dat");
        const std::string old = "old figure\r\n";
        WriteBytes(path, old);
        {
            const FileSizeLimit limit(100);  // the new text is larger
            QCOMPARE(ProblemName(WriteShapeFile(SampleGrid(), path)), ProblemName(FileProblem::NotWritable));
        }
        QCOMPARE(ReadBytes(path), old);
        QCOMPARE(NamesIn(PathIn(dir, "")), std::vector<std::string>{"Sample.dat"});
    }

    void refusesATargetThatIsAFolderOrInAMissingFolder() {
        QTemporaryDir dir;
        std::filesystem::create_directory(PathIn(dir, "Folder.dat"));
        QCOMPARE(ProblemName(WriteShapeFile(SampleGrid(), PathIn(dir, "Folder.dat"))),
                 ProblemName(FileProblem::NotWritable));
        QVERIFY(std::filesystem::is_directory(PathIn(dir, "Folder.dat")));
        QCOMPARE(ProblemName(WriteShapeFile(SampleGrid(), PathIn(dir, "missing/Sample.dat"))),
                 ProblemName(FileProblem::NotWritable));
        QCOMPARE(NamesIn(PathIn(dir, "")), std::vector<std::string>{"Folder.dat"});
    }

    void refusesAReadOnlyFolder() {
        if (::geteuid() == 0) QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        const auto path = PathIn(dir, "Sample.dat");
        WriteBytes(path, "old");
        std::filesystem::permissions(PathIn(dir, ""), std::filesystem::perms(0555));
        const FileProblem problem = WriteShapeFile(SampleGrid(), path);
        std::filesystem::permissions(PathIn(dir, ""), std::filesystem::perms(0755));
        QCOMPARE(ProblemName(problem), ProblemName(FileProblem::NotWritable));
        QCOMPARE(ReadBytes(path), std::string("old"));
    }
};

MURLEN_TEST(TestShapeFileWriting)
#include "test_shape_file_writing.moc"
