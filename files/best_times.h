// The player's best times, one per figure, in a small text file of the
// user's own: one line a figure, its name, the seconds and the date (yyyy-mm-dd),
// separated by tabs. A file that is missing or damaged counts as empty: best
// times are a pleasure, never a reason for a message.
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

// The times in a file's text; nothing at all when any line is damaged.
std::vector<BestTime> ParseBestTimes(const std::string& text);
std::string BestTimesText(const std::vector<BestTime>& times);

std::vector<BestTime> ReadBestTimes(const std::filesystem::path& path);
// Writes the file safely (a temporary file renamed over it), creating its folder.
FileProblem WriteBestTimes(const std::vector<BestTime>& times, const std::filesystem::path& path);

// Keeps `seconds` as the figure's best time when it has none or a slower one;
// true when it did.
bool ImproveBestTime(std::vector<BestTime>& times, const std::string& figure, std::int32_t seconds,
                     const std::string& date);

}  // namespace murlen
