// Whole-file reads and safe replacement, under the shape, list and game files.
#include <sys/stat.h>

#include <QTemporaryDir>
#include <QTest>

#include "files/file_bytes.h"
#include "files_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

class TestFileBytes : public QObject {
    Q_OBJECT

private slots:
    void readsARegularFileUpToTheLimit() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "file");
        WriteBytes(path, std::string(kMaxFileSize, 'a'));
        const auto result = ReadFileBytes(path);
        QVERIFY(result.ok());
        QCOMPARE(result.value->size(), std::size_t(kMaxFileSize));

        WriteBytes(path, std::string(kMaxFileSize + 1, 'a'));
        QCOMPARE(ProblemName(ReadFileBytes(path).problem), ProblemName(FileProblem::TooLarge));
        QVERIFY(ReadFileBytes(path, kMaxFileSize + 1).ok());
    }

    void refusesWhatIsNoRegularFile() {
        QTemporaryDir dir;
        QCOMPARE(ProblemName(ReadFileBytes(PathIn(dir, "")).problem), ProblemName(FileProblem::Unreadable));
        const auto pipe = PathIn(dir, "pipe");
        QCOMPARE(::mkfifo(pipe.c_str(), 0600), 0);
        QCOMPARE(ProblemName(ReadFileBytes(pipe).problem), ProblemName(FileProblem::Unreadable));
        QCOMPARE(ProblemName(ReadFileBytes(PathIn(dir, "missing")).problem), ProblemName(FileProblem::NotFound));
        WriteBytes(PathIn(dir, "file"), "x");
        QCOMPARE(ProblemName(ReadFileBytes(PathIn(dir, "file/below")).problem), ProblemName(FileProblem::NotFound));
    }

    void replacesAFileKeepingItsPermissions() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "file");
        WriteBytes(path, "old");
        std::filesystem::permissions(path, std::filesystem::perms(0640));
        QCOMPARE(ProblemName(WriteFileSafely(path, "new")), ProblemName(FileProblem::None));
        QCOMPARE(ReadBytes(path), std::string("new"));
        QCOMPARE(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
        QCOMPARE(NamesIn(PathIn(dir, "")), std::vector<std::string>{"file"});
    }

    void writesEmptyAndNewFiles() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "file");
        QCOMPARE(ProblemName(WriteFileSafely(path, "")), ProblemName(FileProblem::None));
        QVERIFY(std::filesystem::is_regular_file(path));
        QCOMPARE(ReadBytes(path), std::string());
    }
};

MURLEN_TEST(TestFileBytes)
#include "test_file_bytes.moc"
