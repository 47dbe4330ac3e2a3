// The player's best times, one per figure, in a small text file of the
// user's own: one line a figure, its name, the seconds and the date (yyyy-mm-dd),
// separated by tabs. A backslash, a tab, a carriage return or a line break in
// a name is written as \\, \t, \r or \n, so that any name comes back as it was.
// Best times are a pleasure, never a reason for a message: a damaged line is
// passed over and the good ones are kept.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_problem.h"

namespace murlen {

struct BestTime {
    std::string figure;
    std::int32_t seconds = 0;
    std::string date;  // yyyy-mm-dd
    friend bool operator==(const BestTime&, const BestTime&) = default;
};

struct BestTimes {
    std::vector<BestTime> times;  // one per figure, the fastest where a figure came twice
    bool whole = true;            // false when a line or the file itself could not be read
};

// The good lines of a file's text.
BestTimes ParseBestTimes(const std::string& text);
std::string BestTimesText(const std::vector<BestTime>& times);

// A missing file holds no times and is whole. Of a file too large to read
// whole, the good lines of its first part count.
BestTimes ReadBestTimes(const std::filesystem::path& path);

// Keeps `seconds` as the figure's best time when it has none or a slower one;
// true when it did.
bool ImproveBestTime(std::vector<BestTime>& times, const std::string& figure, std::int32_t seconds,
                     const std::string& date);

struct RecordedBestTime {
    bool improved = false;                   // the time beats the one kept before
    FileProblem problem = FileProblem::None;  // NotWritable: the time could not be kept
};

// Records a best time in the file as it stands at this moment, so that two
// games running at once lose neither's record: the file is read, merged and
// written again while other writers wait. A file that could not be read whole
// is never lost: once the new file with its good lines is written, it keeps its
// bytes as "<name> (damaged).txt" (or "(damaged 2)" and so on). When anything
// fails, the old file stays as it was.
RecordedBestTime RecordBestTime(const std::filesystem::path& path, const std::string& figure,
                                std::int32_t seconds, const std::string& date);

}  // namespace murlen
