// The player's record: every game solved, in a small text file of the user's
// own, one line a game: the figure's name, when it was solved (yyyy-mm-dd
// hh:mm:ss, the player's time), the seconds, and the help taken ("-", "hint"
// or "solution"), separated by tabs. Names are written as in the best times,
// so that any name comes back as it was.
//
// Lines are only ever added, under a lock that other games writing at the
// same time wait for, so no game is lost to another. A line that cannot be
// read is passed over and stays in the file as it was. A file that holds no
// line of a record at all is some other file: it keeps its bytes under a
// second name, once a new record is in its place.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "files/best_times.h"
#include "files/file_problem.h"

namespace murlen {

enum class Help { None, Hint, Solution };

struct SolvedGame {
    std::string figure;
    std::string when;  // yyyy-mm-dd hh:mm:ss
    std::int32_t seconds = 0;
    Help help = Help::None;
    friend bool operator==(const SolvedGame&, const SolvedGame&) = default;
};

struct Record {
    std::vector<SolvedGame> games;  // in the order they were added
    bool whole = true;              // false when a line or the file could not be read
};

std::string RecordLine(const SolvedGame& game);
Record ParseRecord(const std::string& text);
// A missing file holds no games and is whole.
Record ReadRecord(const std::filesystem::path& path);
// Adds a game to the file as it stands (see above). NotWritable when the game
// could not be added; nothing in the file is lost then either.
FileProblem AddToRecord(const std::filesystem::path& path, const SolvedGame& game);

// The record as comma-separated values for other programs: a header line,
// then one line a game (figure, when, seconds, help), a field with a comma, a
// quote or a line break quoted.
std::string RecordCsv(const Record& record);

// What the record says of one figure.
struct FigureRecord {
    int solved = 0;                     // games solved, with help or without
    std::optional<std::int32_t> best;   // the fastest game without help, or an older best time
    std::optional<std::int32_t> median; // of the games without help (of two in the middle, their mean)
    std::optional<SolvedGame> last;     // the game solved last
};

// Every figure's part of the record and of the best times kept before there
// was a record, by name; and one figure's.
std::map<std::string, FigureRecord> RecordsByFigure(const Record& record, const BestTimes& earlierBestTimes);
FigureRecord RecordOf(const std::string& figure, const Record& record, const BestTimes& earlierBestTimes);

}  // namespace murlen
