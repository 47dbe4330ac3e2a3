// The file formats: shape files written and read back over random grids, the
// refusal of damaged or unreadable files, game files byte for byte, the figure
// list, best times, and where the shipped files and the user's are found.
#include <sys/resource.h>
#include <sys/stat.h>

#include <QTest>
#include <algorithm>
#include <csignal>
#include <random>
#include <thread>

#include "files/best_times.h"
#include "files/figure_list.h"
#include "files/file_bytes.h"
#include "files/file_places.h"
#include "files/game_file.h"
#include "files/game_in_progress.h"
#include "files/program_folder.h"
#include "files/record.h"
#include "support/program_folder.h"
#include "support/test_registry.h"

using namespace murlen;
using namespace murlen::testing;
using enum FileProblem;

static std::filesystem::path In(const ProgramFolder& folder, const QString& name) { return folder.FilePath(name).toStdString(); }

// The Triangle at columns 3 to 11, rows 5 to 13: record 1 (line 5) is the upper
// half of the rising square (3, 5), corners 3 5, 3 6, 4 5; record 2 its lower half.
static std::string Sample() { return ShapeFileText(Moved(Shipped("Triangle"), 3, 5)); }

// The sample with an edit: "12:4|5" puts 4 and 5 on lines 12 and 13, "-7"
// drops the last seven lines, "+7" adds seven empty ones, "@7" moves the
// first record to the end, "lf" ends the lines with LF alone.
static std::string Edited(const QString& edit) {
    QStringList lines = QString::fromStdString(Sample()).split("\r\n");
    lines.removeLast();
    if (edit.startsWith('-') || edit.startsWith('+')) lines.resize(lines.size() + edit.toInt());
    if (edit.startsWith('@')) std::rotate(lines.begin() + 4, lines.begin() + 4 + edit.mid(1).toInt(), lines.end());
    const QStringList values = edit.section(':', 1).split('|');
    for (int i = 0; edit.contains(':') && i < values.size(); ++i) lines[edit.section(':', 0, 0).toInt() - 1 + i] = values[i];
    return (lines.join(edit == "lf" ? "\n" : "\r\n") + (edit == "lf" ? "\n" : "\r\n")).toStdString();
}

class TestFiles : public QObject {
    Q_OBJECT
    ProgramFolder folder;  // shared: each test uses names of its own

private slots:
    void shapeFilesReadBackAsWritten() {
        std::mt19937 rng(15);
        for (int round = 0; round < 40; ++round) {
            // 64 halves at random over a block of squares, from its top and its left edge on.
            const int side = 6 + int(rng() % 19);
            ShapeGrid grid;
            int width = 0, height = 0;
            while (grid.placedCount < kCellCount) {
                const int x = grid.placedCount == 0 ? 0 : int(rng() % side);
                const int y = grid.placedCount == 1 ? 0 : int(rng() % side), half = 1 + int(rng() % 2);
                if (grid.Placed(x, y, half)) continue;
                if (!grid.Placed(x, y, 3 - half)) grid.Diagonal(x, y) = std::int16_t(-int(rng() % 2));
                grid.Cell(x, y, half) = -1;
                ++grid.placedCount, width = std::max(width, x + 1), height = std::max(height, y + 1);
            }
            const int left = int(rng() % (27 - side)), top = int(rng() % (27 - side));
            const ShapeGrid placed = Moved(grid, left, top);
            const QList<float> box{float(left), float(left + width), float(top), float(top + height)};

            QVERIFY(WriteShapeFile(placed, In(folder, "Figure.dat")) == None);
            const QByteArray bytes = folder.ReadBytes("Figure.dat");
            QCOMPARE(QList<qsizetype>({bytes.count("\r\n"), bytes.count('\n'), bytes.count('\r'), bytes.endsWith("\r\n")}),
                     QList<qsizetype>({452, 452, 452, 1}));
            const auto back = ReadShapeFileIntoGrid(In(folder, "Figure.dat"));
            QVERIFY(back.ok() && back.value->grid == grid);  // moved to the top left corner
            const auto play = ReadShapeFileForPlay(In(folder, "Figure.dat"));
            QVERIFY(play.ok() && play.value->points == tools::FigurePointsOf(placed));  // in the file's order
            QCOMPARE(QList<float>({play.value->minX, play.value->maxX, play.value->minY, play.value->maxY}), box);
        }
    }

    void shapeFilesAreReadOrRefused() {
        const FigureData sample = FigureOf(Moved(Shipped("Triangle"), 3, 5));
        const auto outcome = [](const QString& edit, FileProblem problem, int line, bool anotherFigure) {
            return QString("%1: problem %2 line %3%4").arg(edit).arg(int(problem)).arg(line).arg(anotherFigure ? ", but" : "");
        };
        // Edits of the sample as P reads them for play and G into the grid: the
        // problem and the line to blame, the edited one unless given.
        const auto expect = [&](std::initializer_list<const char*> edits, const char* readers, FileProblem problem,
                                int line = -1) {
            for (const QString edit : edits) {
                const QString want = outcome(edit, problem, line < 0 ? edit.section(':', 0, 0).toInt() : line, false);
                const auto play = ParseShapeFileForPlay(Edited(edit));
                const auto grid = ParseShapeFileIntoGrid(Edited(edit));
                if (QString(readers).contains('P'))
                    QCOMPARE(outcome(edit, play.problem, play.line, play.ok() && play.value->points != sample.points), want);
                if (QString(readers).contains('G'))
                    QCOMPARE(outcome(edit, grid.problem, grid.line, grid.ok() && grid.value->grid != Shipped("Triangle")), want);
            }
        };
        expect({"1: 3 |+11|5.0|\t13.|1.000|03", "@7", "lf", "+3"}, "PG", None, 0);
        expect({"7:abc", "1:", "6:4e0", "6:0x4", "6:4,0", "6:4 4", "6:.", "6:-", "6:10000001"}, "PG", NotANumber);
        expect({"5:0", "5:65", "5:1.5"}, "PG", BadRecordNumber);
        expect({"12:1"}, "PG", DuplicateRecord);
        expect({"-7", "-1", "-452"}, "PG", WrongRecordCount, 0);
        expect({"+1048576"}, "PG", TooLarge, 0);
        // Record 2 as record 1 again, or as a falling half in record 1's rising square.
        expect({"13:3|5|3|6|4|5", "13:3|6|4|6|3|5"}, "PG", DuplicateCell, 12);
        expect({"6:4", "6:3|5|4|5|3|6", "6:3|5|3|7|5|5"}, "P", BadCell, 5);
        expect({"1:4", "2:10", "3:6", "4:12.5"}, "P", BadHeader);
        expect({"13:40|5|40|6|41|5"}, "G", OutOfGrid, 12);
        expect({"6:3|5|3|5|3|5"}, "G", BadCell, 5);  // no unit to read the grid by
    }

    void refusesWhatItCannotRead() {
        QVERIFY(QDir(folder.Path()).mkdir("Folder.dat") && ::mkfifo(In(folder, "Pipe.dat").c_str(), 0600) == 0);
        folder.WriteBytes("Huge.dat", QByteArray(kMaxFileSize + 1, '\n'));
        for (const auto& [name, problem] : {std::pair{"Missing.dat", NotFound}, {"Folder.dat", Unreadable},
                                            {"Pipe.dat", Unreadable}, {"Huge.dat", TooLarge}}) {
            const auto path = In(folder, name);
            QCOMPARE(QList<int>({int(ReadShapeFileForPlay(path).problem), int(ReadShapeFileIntoGrid(path).problem),
                                 int(ReadGameFile(path).problem), int(ReadFigureList(path).problem)}),
                     QList<int>(4, int(problem)));
        }
    }

    void gameFilesAre384LittleEndianBytes() {
        SavedGame game{0x04030201, "Heart", {}};
        game.board[3] = 17, game.board[64] = 42;
        std::string bytes(kGameFileSize, '\0');
        bytes.replace(0, 4, "\x01\x02\x03\x04"), bytes.replace(128, 1, "\x05"), bytes.replace(130, 5, "Heart");
        bytes[256 + 2 * 2] = 17, bytes[256 + 2 * 63] = 42;
        folder.WriteBytes("game.kyp", QByteArray(kGameFileSize, 'x') + "tail");  // bytes beyond the records stay
        QVERIFY(WriteGameFile(game, In(folder, "game.kyp")) == None);
        QCOMPARE(folder.ReadBytes("game.kyp").toStdString(), bytes + "tail");
        QVERIFY(ReadGameFile(In(folder, "game.kyp")).value == game);
        QVERIFY(WriteGameFile(game, folder.Path().toStdString()) == NotWritable);  // a folder
        game.hinted = true;  // marked in the filler, and nowhere else
        QCOMPARE(GameFileBytes(game), std::string(bytes).replace(4, 11, "Murlen hint"));
        QVERIFY(ParseGameFile(GameFileBytes(game)).value == game);
        game.figureName = std::string(127, 'n');  // one byte more than the record holds
        QVERIFY(WriteGameFile(game, In(folder, "game.kyp")) == NameTooLong);
        QCOMPARE(folder.ReadBytes("game.kyp").toStdString(), bytes + "tail");

        QCOMPARE(int(ParseGameFile(bytes.substr(0, 383)).problem), int(TooShort));
        // Name length 127 or 0, a name that leaves the folder, pieces 65 and -1, piece 17 on two cells.
        for (const auto& [at, patch, problem] : std::vector<std::tuple<std::size_t, std::string, FileProblem>>{
                 {128, "\x7F", BadName}, {128, std::string(1, '\0'), BadName}, {130, "../x/", BadName},
                 {256, "A", BadBoard}, {256, "\xFF\xFF", BadBoard}, {382, "\x11", BadBoard}})
            QCOMPARE(int(ParseGameFile(std::string(bytes).replace(at, patch.size(), patch)).problem), int(problem));
    }

    void bestTimesKeepEveryGoodRecord() {
        const std::vector<BestTime> odd{{"Tab\there", 5, "2026-01-02"}, {"Two\nlines\r", 6, "2026-01-03"},
                                        {"back\\slash\\t", 7, "2026-01-04"}, {"Grün ✓ \"x\"", 8, "2026-01-05"}};
        QVERIFY(ParseBestTimes(BestTimesText(odd)).times == odd && ParseBestTimes(BestTimesText(odd)).whole);

        // Damaged lines are passed over; of a figure twice the faster time stays.
        const QByteArray damaged = "A\t5\t2026-01-01\nno tabs\nB\tx\t2026-01-01\nC\t-1\t2026-01-01\nD\\q\t1\t2026-01-01\n"
                                   "A\t3\t2026-02-02\r\nE\t9\t2026-1-1\n\nF\t4\t2026-03-03";
        const std::vector<BestTime> good{{"A", 3, "2026-02-02"}, {"F", 4, "2026-03-03"}};
        QVERIFY(ParseBestTimes(damaged.toStdString()).times == good && !ParseBestTimes(damaged.toStdString()).whole);

        // A file not read whole (too large: its first part) is set aside byte for byte once the new one is
        // written. In a full folder (no byte written, for root too), or with no name to set it aside by, it stays.
        QVERIFY(QDir(folder.Path()).mkdir("times"));
        const QByteArray large = damaged + "\n" + QByteArray(256 * 1024, 'x') + "\nZ\t1\t2026-01-01\n";
        const QString name = "times/best times.txt", tooLong = "times/" + QString(247, 'x') + ".txt";
        rlimit unlimited{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &unlimited) == 0 && std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR);
        for (const auto& [file, bytes, aside, full] : std::vector<std::tuple<QString, QByteArray, QString, bool>>{
                 {name, damaged, "", true}, {name, damaged, "times/best times (damaged).txt", false},
                 {name, large, "times/best times (damaged 2).txt", false}, {tooLong, damaged, "", false}}) {
            folder.WriteBytes(file, bytes);
            const rlimit limit{full ? 0 : unlimited.rlim_cur, unlimited.rlim_max};
            QVERIFY(ReadBestTimes(In(folder, file)).times == good && ::setrlimit(RLIMIT_FSIZE, &limit) == 0);
            const RecordedBestTime recorded = RecordBestTime(In(folder, file), "G", 7, "2026-04-04");
            QVERIFY(::setrlimit(RLIMIT_FSIZE, &unlimited) == 0 && recorded.problem == (aside.isEmpty() ? NotWritable : None));
            QCOMPARE(folder.ReadBytes(aside.isEmpty() ? file : aside), bytes);
            QCOMPARE(ReadBestTimes(In(folder, file)).times.size(), good.size() + !aside.isEmpty());
        }
        QCOMPARE(QDir(folder.FilePath("times")).entryList(QDir::Files | QDir::Hidden).size(), 4);  // no temporary left
        QVERIFY(!RecordBestTime(In(folder, name), "G", 8, "2026-04-05").improved);

        // Two games recording at the same time lose neither's records, while a third writes elsewhere.
        const auto record = [this](const QString& file, char game) {
            for (int i = 0; i < 30; ++i) RecordBestTime(In(folder, file), game + std::to_string(i), 9, "2026-05-05");
        };
        std::thread first(record, name, 'x'), second(record, name, 'y'), third(record, "elsewhere.txt", 'z');
        first.join(), second.join(), third.join();
        QCOMPARE(ReadBestTimes(In(folder, name)).times.size(), std::size_t(63));
    }

    void theRecordKeepsEveryGame() {
        const std::vector<SolvedGame> games{{"Tab\there", "2026-01-02 10:11:12", 5, Help::None},
                                            {"Two\nlines", "2026-01-03 00:00:00", 6, Help::Hint},
                                            {"Grün ✓", "2026-01-04 23:59:59", 7, Help::Solution}};
        std::string text;
        for (const SolvedGame& game : games) text += RecordLine(game);
        QVERIFY(ParseRecord(text).games == games && ParseRecord(text).whole);
        const Record damaged = ParseRecord(text + "A\t2026-01-01\t5\t-\nB\t2026-01-01 1:00:00\t5\t-\nC\t2026-01-01 10:00:00\t5\tmaybe\n");
        QVERIFY(damaged.games == games && !damaged.whole);

        // Added to a damaged file, whose bytes all stay; to a foreign one,
        // which keeps its bytes aside; never to a folder.
        QVERIFY(QDir(folder.Path()).mkpath("record/folder.txt"));
        const SolvedGame added{"New", "2026-02-02 02:02:02", 9, Help::None};
        for (const auto& [file, bytes, kept] : std::vector<std::tuple<QString, QByteArray, QString>>{
                 {"record/damaged.txt", QByteArray::fromStdString(text) + "junk", "record/damaged.txt"},
                 {"record/foreign.txt", "\x7f" "ELF binary", "record/foreign (damaged).txt"}}) {
            folder.WriteBytes(file, bytes);
            QCOMPARE(AddToRecord(In(folder, file), added), None);
            QVERIFY(folder.ReadBytes(kept).startsWith(bytes));
            QCOMPARE(ReadRecord(In(folder, file)).games.back(), added);
        }
        QCOMPARE(AddToRecord(In(folder, "record/folder.txt"), added), NotWritable);
        QCOMPARE(RecordCsv({{{"A, \"B\"", "2026-01-02 10:11:12", 5, Help::Hint}}}),
                 std::string("figure,when,seconds,help\r\n\"A, \"\"B\"\"\",2026-01-02 10:11:12,5,hint\r\n"));

        // The best is the fastest game without help, or an older best time.
        Record record = ParseRecord(text);
        record.games.push_back({"Tab\there", "2026-03-01 00:00:00", 3, Help::None});
        const FigureRecord tab = RecordOf("Tab\there", record, BestTimes{{{"Tab\there", 4, "2025-01-01"}}});
        QVERIFY(tab.solved == 2 && tab.best == 3 && tab.median == 4 && tab.last->seconds == 3);
        QVERIFY(!RecordOf("Two\nlines", record, {}).best && RecordOf("Two\nlines", record, {}).solved == 1);
    }

    void aGameInProgressOutlivesItsProgramOnly() {
        const auto games = In(folder, "in progress"), earlier = In(folder, "earlier"), aside = In(folder, "aside");
        const std::string longName(kMaxGameFigureName + 20, 'x');
        SavedGame game{7, longName, {}, true}, older{3, "Heart", {}}, played{12, "Heart", {}};
        game.board[5] = 12;
        older.board[1] = 2;
        const auto kept = [](const std::filesystem::path& where, const SavedGame& what) {
            GameInProgress(where).Keep(what);  // left as a crash leaves it
        };
        auto running = std::make_unique<GameInProgress>(games);
        GameInProgress next(games, {earlier});
        kept(earlier, older);
        kept(games, SavedGame{0, "Heart", {}});  // nothing played: goes
        QTest::qWait(20);                         // a newer time stamp
        running->Keep(SavedGame{1, "Heart", {}});
        running->Keep(game);
        QVERIFY(running->Flush());
        QCOMPARE(GameInProgress(games).ClaimAbandoned(aside, "Aside").game, std::nullopt);  // its program still runs
        running.reset();                                                    // as a crash ends it
        folder.WriteBytes("in progress/foreign.kyp", "not a game");

        // The newest is offered, whole name and all; what cannot be read is
        // moved aside, never deleted; the older waits for the next start.
        const GameInProgress::Abandoned found = next.ClaimAbandoned(aside, "Aside");
        QCOMPARE(found.game, game);
        QCOMPARE(found.setAside, std::vector<std::filesystem::path>{aside / "Aside.kyp"});
        QCOMPARE(folder.ReadBytes("aside/Aside.kyp"), QByteArray("not a game"));
        QCOMPARE(GameInProgress(games).ClaimAbandoned(aside, "Aside").game, std::nullopt);  // claimed
        next.Keep(played);
        next.TakeOverAbandoned();
        GameInProgress third(games, {earlier});
        QCOMPARE(third.ClaimAbandoned(aside, "Aside").game, older);
        // A game whose figure is missing is moved aside beside the first.
        QCOMPARE(third.SetAsideAbandoned(aside, "Aside"), aside / "Aside 2.kyp");
        QCOMPARE(ReadGameFile(aside / "Aside 2.kyp").value, older);
        next.Discard();
        QCOMPARE(QDir(folder.FilePath("in progress")).entryList(QDir::Files), QStringList());
    }

    void figureListIsOneQuotedNameALine() {
        QCOMPARE(ParseFigureList("\"Heart\"\r\nStar\r\n  Moon , \"Sun, rising\"\r\n\r\n\"Fish\" left, Tree \n\"Open\r\nEnd"),
                 (std::vector<std::string>{"Heart", "Star", "Moon", "Sun, rising", "Fish", "Tree", "Open", "End"}));
        folder.WriteBytes("Figures.dat", "\"Heart\"");  // the last line without its line end
        QVERIFY(AppendToFigureList(In(folder, "Figures.dat"), "Say \"hi\"") == AppendOutcome::Failed &&
                AppendToFigureList(In(folder, "Figures.dat"), "heart") == AppendOutcome::Appended);  // duplicates: below
        QCOMPARE(folder.ReadBytes("Figures.dat"), QByteArray("\"Heart\"\r\n\"heart\"\r\n"));
    }

    // Names are found whatever their case. A build folder that can be written is shipped and the user's at once;
    // else the shipped files are beside the program or installed apart, and the player's own list follows them
    // when it can be read. A player's figure named like a shipped one in other case is the player's; under the
    // same name, the shipped one.
    void filePlacesKeepTheShippedFiguresPlayable() {
        for (const char* name : {"", ".", "..", "a/b", "a\\b", "a\tb", "a\x7F"}) QVERIFY2(!IsSafeFigureName(name), name);
        QVERIFY(IsSafeFigureName("My big.heart") && IsSafeFigureName("..."));
        for (const auto& [layout, ownList, names, problem] : std::vector<std::tuple<QString, QByteArray, std::vector<std::string>, FileProblem>>{
                 {"build", "\"Mine\"", {"Triangle", "Star"}, None}, {"read-only build", "\"Mine\"", {"Triangle", "Star", "Mine"}, None},
                 {"installed", "\"Mine\"\r\ntriangle,\"../Star\"\r\n\"Open", {"Triangle", "Star", "Mine", "triangle", "../Star", "Open"}, None},
                 {"installed", "none", {"Triangle", "Star"}, None}, {"installed", "folder", {"Triangle", "Star"}, Unreadable},
                 {"installed", "huge", {"Triangle", "Star"}, TooLarge}, {"installed", "locked", {"Triangle", "Star"}, Unreadable}}) {
            if ((layout == "read-only build" || ownList == "locked") && ::geteuid() == 0) continue;  // see the end
            const ProgramFolder root;
            const QString shipped = layout == "installed" ? "share/murlen" : "games";
            for (const QString& path : {shipped, QString("games"), QString(ownList == "folder" ? "data/Figures.dat" : "data")}) QVERIFY(QDir(root.Path()).mkpath(path));
            root.WriteBytes(shipped + "/FIGURES.dat", "\"Triangle\"\r\n\"Star\"\r\n");
            root.WriteBytes(shipped + "/Triangle.dat", ""), root.WriteBytes("data/triangle.dat", "");
            if (ownList != "none" && ownList != "folder") root.WriteBytes("data/Figures.dat", ownList == "huge" ? QByteArray(kMaxFileSize + 1, ' ') : ownList);
            if (ownList == "locked") QVERIFY(::chmod(In(root, "data/Figures.dat").c_str(), 0) == 0);
            if (layout == "read-only build") QVERIFY(::chmod(In(root, "games").c_str(), 0555) == 0);

            const FilePlaces places = FilePlaces::Find(In(root, "games"), In(root, "data"), "../share/murlen");
            const auto list = places.ReadFigureList();
            QVERIFY(list.ok() && list.value->ownProblem == problem && places.ShippedFolder() == In(root, shipped));
            QCOMPARE(list.value->names, names);
            QCOMPARE(places.UserFigureList(), In(root, layout == "build" ? "games/FIGURES.dat" : "data/Figures.dat"));
            QCOMPARE(places.ShapeFileOf("Triangle"), std::optional(In(root, shipped + "/Triangle.dat")));
            QCOMPARE(places.ShapeFileOf("triangle"), std::optional(In(root, layout == "build" ? "games/Triangle.dat" : "data/triangle.dat")));
            for (const char* unsafeOrMissing : {"../Star", "Star"}) QCOMPARE(places.ShapeFileOf(unsafeOrMissing), std::nullopt);
            QCOMPARE(QList<int>({int(places.AddFigure("Triangle")), int(places.AddFigure("TRIANGLE"))}),
                     QList<int>({int(AppendOutcome::Duplicate), int(problem == None ? AppendOutcome::Appended : AppendOutcome::Failed)}));
            ::chmod(In(root, "games").c_str(), 0755);  // for the folder's removal
        }
        if (::geteuid() == 0) QSKIP("as root every file can be read and every folder written: the read-only build folder and the locked list were left out");
    }
};

MURLEN_TEST(TestFiles)
#include "test_files.moc"
