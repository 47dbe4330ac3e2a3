// Game files: the 384-byte layout, reading back what was written, refusing
// damaged files and replacing a file only when the new one is complete.
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>

#include "files/game_file.h"
#include "files_fixtures.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;

namespace {

// 75 seconds on "Heart" with piece 17 on cell 3 and piece 42 on cell 60.
SavedGame SampleGame() {
    SavedGame game;
    game.seconds = 75;
    game.figureName = "Heart";
    game.board[3] = 17;
    game.board[60] = 42;
    return game;
}

int Byte(const std::string& bytes, std::size_t offset) { return static_cast<unsigned char>(bytes[offset]); }

std::string WithBytes(std::string bytes, std::size_t offset, std::initializer_list<int> values) {
    for (const int v : values) bytes[offset++] = char(v);
    return bytes;
}

void ExpectProblem(const ReadResult<SavedGame>& result, FileProblem problem) {
    QVERIFY(!result.ok());
    QCOMPARE(ProblemName(result.problem), ProblemName(problem));
}

}  // namespace

class TestGameFile : public QObject {
    Q_OBJECT

private slots:
    void writesThreeRecordsOf128Bytes() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "game.kyp");
        QCOMPARE(ProblemName(WriteGameFile(SampleGame(), path)), ProblemName(FileProblem::None));
        const std::string bytes = ReadBytes(path);
        QCOMPARE(bytes.size(), std::size_t(384));
        QCOMPARE(bytes, GameFileBytes(SampleGame()));

        // Seconds, then zero filler.
        QCOMPARE(Byte(bytes, 0), 75);
        for (std::size_t i = 1; i < 128; ++i) QCOMPARE(Byte(bytes, i), 0);
        // The name's length and bytes, then zero filler.
        QCOMPARE(Byte(bytes, 128), 5);
        QCOMPARE(Byte(bytes, 129), 0);
        QCOMPARE(bytes.substr(130, 5), std::string("Heart"));
        for (std::size_t i = 135; i < 256; ++i) QCOMPARE(Byte(bytes, i), 0);
        // The board, cell by cell.
        for (int cell = 1; cell <= 64; ++cell) {
            const std::size_t offset = 256 + 2 * std::size_t(cell - 1);
            const int expected = cell == 3 ? 17 : cell == 60 ? 42 : 0;
            QCOMPARE(Byte(bytes, offset), expected);
            QCOMPARE(Byte(bytes, offset + 1), 0);
        }
    }

    void numbersAreLittleEndian() {
        SavedGame game = SampleGame();
        game.seconds = 0x01020304;
        game.board[1] = 0x0102;  // beyond the pieces, only to see the byte order
        game.board[64] = -2;
        const std::string bytes = GameFileBytes(game);
        QCOMPARE(Byte(bytes, 0), 0x04);
        QCOMPARE(Byte(bytes, 1), 0x03);
        QCOMPARE(Byte(bytes, 2), 0x02);
        QCOMPARE(Byte(bytes, 3), 0x01);
        QCOMPARE(Byte(bytes, 256), 0x02);
        QCOMPARE(Byte(bytes, 257), 0x01);
        QCOMPARE(Byte(bytes, 382), 0xFE);
        QCOMPARE(Byte(bytes, 383), 0xFF);

        game.seconds = -1;
        QCOMPARE(GameFileBytes(game).substr(0, 4), std::string(4, '\xFF'));
    }

    void readsBackWhatWasWritten() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "game.kyp");
        SavedGame game = SampleGame();
        game.seconds = 123456789;
        game.figureName = "Stern \xC3\xA4";  // UTF-8: the length counts bytes
        for (int cell = 1; cell <= 64; ++cell) game.board[cell] = std::int16_t(65 - cell);
        QCOMPARE(ProblemName(WriteGameFile(game, path)), ProblemName(FileProblem::None));
        QCOMPARE(Byte(ReadBytes(path), 128), 8);
        const auto result = ReadGameFile(path);
        QVERIFY(result.ok());
        QVERIFY(*result.value == game);
    }

    void aNameOf126BytesFitsAndOneMoreDoesNot() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "game.kyp");
        SavedGame game = SampleGame();
        game.figureName = std::string(126, 'n');
        QCOMPARE(ProblemName(WriteGameFile(game, path)), ProblemName(FileProblem::None));
        QCOMPARE(ReadGameFile(path).value->figureName, game.figureName);

        const std::string before = ReadBytes(path);
        game.figureName = std::string(127, 'n');
        QCOMPARE(ProblemName(WriteGameFile(game, path)), ProblemName(FileProblem::NameTooLong));
        QCOMPARE(ReadBytes(path), before);
        QCOMPARE(ProblemName(WriteGameFile(game, PathIn(dir, "new.kyp"))), ProblemName(FileProblem::NameTooLong));
        QVERIFY(!std::filesystem::exists(PathIn(dir, "new.kyp")));
    }

    void keepsTheBytesBeyondTheRecords() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "game.kyp");
        const std::string tail = "bytes that are not ours";
        WriteBytes(path, std::string(384, 'x') + tail);
        QCOMPARE(ProblemName(WriteGameFile(SampleGame(), path)), ProblemName(FileProblem::None));
        QCOMPARE(ReadBytes(path), GameFileBytes(SampleGame()) + tail);
        QVERIFY(*ReadGameFile(path).value == SampleGame());
    }

    void replacesAShorterFileWhole() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "game.kyp");
        WriteBytes(path, "short");
        QCOMPARE(ProblemName(WriteGameFile(SampleGame(), path)), ProblemName(FileProblem::None));
        QCOMPARE(ReadBytes(path), GameFileBytes(SampleGame()));
    }

    void refusesDamagedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("problem");
        const std::string good = GameFileBytes(SampleGame());
        const auto row = [](const char* name, const std::string& bytes, FileProblem problem) {
            QTest::newRow(name) << QByteArray::fromStdString(bytes) << int(problem);
        };
        row("empty", "", FileProblem::TooShort);
        row("383 bytes", good.substr(0, 383), FileProblem::TooShort);
        row("name length 127", WithBytes(good, 128, {127, 0}), FileProblem::BadName);
        row("name length 65535", WithBytes(good, 128, {0xFF, 0xFF}), FileProblem::BadName);
        row("empty name", WithBytes(good, 128, {0, 0}), FileProblem::BadName);
        row("name with a folder", WithBytes(good, 130, {'.', '.', '/', 'x', 'y'}), FileProblem::BadName);
        row("name with a line end", WithBytes(good, 134, {'\n'}), FileProblem::BadName);
        row("name with NUL", WithBytes(good, 128, {6, 0}), FileProblem::BadName);
        row("piece 65", WithBytes(good, 256, {65, 0}), FileProblem::BadBoard);
        row("piece -1", WithBytes(good, 256, {0xFF, 0xFF}), FileProblem::BadBoard);
        row("piece 256", WithBytes(good, 256, {0, 1}), FileProblem::BadBoard);
        row("piece on two cells", WithBytes(good, 382, {17, 0}), FileProblem::BadBoard);
        row("huge", good + std::string(1024 * 1024, '\0'), FileProblem::TooLarge);
    }

    void refusesDamagedFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, problem);
        ExpectProblem(ParseGameFile(bytes.toStdString()), FileProblem(problem));
        QTemporaryDir dir;
        WriteBytes(PathIn(dir, "bad.kyp"), bytes.toStdString());
        ExpectProblem(ReadGameFile(PathIn(dir, "bad.kyp")), FileProblem(problem));
    }

    void acceptsEveryPieceOnceAndIgnoresFillerAndTail() {
        SavedGame game = SampleGame();
        for (int cell = 1; cell <= 64; ++cell) game.board[cell] = std::int16_t(cell);
        std::string bytes = GameFileBytes(game);
        bytes[4] = 'f';
        bytes[200] = 'f';
        bytes += "tail";
        const auto result = ParseGameFile(bytes);
        QVERIFY(result.ok());
        QVERIFY(*result.value == game);
    }

    void refusesFilesThatCannotBeRead() {
        QTemporaryDir dir;
        ExpectProblem(ReadGameFile(PathIn(dir, "missing.kyp")), FileProblem::NotFound);
        std::filesystem::create_directory(PathIn(dir, "folder.kyp"));
        ExpectProblem(ReadGameFile(PathIn(dir, "folder.kyp")), FileProblem::Unreadable);
    }

    void aFailedWriteLeavesTheOldFileWhole() {
        QTemporaryDir dir;
        const auto path = PathIn(dir, "game.kyp");
        const std::string old = std::string(384, 'o') + "tail";
        WriteBytes(path, old);
        {
            const FileSizeLimit limit(200);
            QCOMPARE(ProblemName(WriteGameFile(SampleGame(), path)), ProblemName(FileProblem::NotWritable));
        }
        QCOMPARE(ReadBytes(path), old);
        QCOMPARE(NamesIn(PathIn(dir, "")), std::vector<std::string>{"game.kyp"});
    }

    void refusesATargetThatIsAFolderOrInAMissingFolder() {
        QTemporaryDir dir;
        std::filesystem::create_directory(PathIn(dir, "folder.kyp"));
        QCOMPARE(ProblemName(WriteGameFile(SampleGame(), PathIn(dir, "folder.kyp"))),
                 ProblemName(FileProblem::NotWritable));
        QVERIFY(std::filesystem::is_directory(PathIn(dir, "folder.kyp")));
        QCOMPARE(ProblemName(WriteGameFile(SampleGame(), PathIn(dir, "missing/game.kyp"))),
                 ProblemName(FileProblem::NotWritable));
        QCOMPARE(NamesIn(PathIn(dir, "")), std::vector<std::string>{"folder.kyp"});
    }

    void refusesAReadOnlyFolder() {
        if (::geteuid() == 0) QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        const auto path = PathIn(dir, "game.kyp");
        WriteBytes(path, "old");
        std::filesystem::permissions(PathIn(dir, ""), std::filesystem::perms(0555));
        const FileProblem problem = WriteGameFile(SampleGame(), path);
        std::filesystem::permissions(PathIn(dir, ""), std::filesystem::perms(0755));
        QCOMPARE(ProblemName(problem), ProblemName(FileProblem::NotWritable));
        QCOMPARE(ReadBytes(path), std::string("old"));
    }
};

MURLEN_TEST(TestGameFile)
#include "test_game_file.moc"
