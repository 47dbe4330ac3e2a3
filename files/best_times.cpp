#include "files/best_times.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <system_error>

#include "files/file_bytes.h"

namespace murlen {

namespace {

constexpr std::uintmax_t kMaxBestTimesSize = 256 * 1024;

bool IsDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

}  // namespace

std::vector<BestTime> ParseBestTimes(const std::string& text) {
    std::vector<BestTime> times;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::size_t first = line.find('\t');
        const std::size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos || first == 0) return {};
        BestTime time{line.substr(0, first), 0, line.substr(second + 1)};
        const char* begin = line.data() + first + 1;
        const char* end = line.data() + second;
        const auto [rest, error] = std::from_chars(begin, end, time.seconds);
        if (error != std::errc() || rest != end || time.seconds < 0 || !IsDate(time.date)) return {};
        const bool twice = std::any_of(times.begin(), times.end(), [&](const BestTime& t) { return t.figure == time.figure; });
        if (twice) return {};
        times.push_back(time);
    }
    return times;
}

std::string BestTimesText(const std::vector<BestTime>& times) {
    std::string text;
    for (const BestTime& time : times)
        text += time.figure + '\t' + std::to_string(time.seconds) + '\t' + time.date + '\n';
    return text;
}

std::vector<BestTime> ReadBestTimes(const std::filesystem::path& path) {
    const ReadResult<std::string> bytes = ReadFileBytes(path, kMaxBestTimesSize);
    return bytes.ok() ? ParseBestTimes(*bytes.value) : std::vector<BestTime>{};
}

FileProblem WriteBestTimes(const std::vector<BestTime>& times, const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    return WriteFileSafely(path, BestTimesText(times));
}

bool ImproveBestTime(std::vector<BestTime>& times, const std::string& figure, std::int32_t seconds,
                     const std::string& date) {
    for (BestTime& time : times) {
        if (time.figure != figure) continue;
        if (seconds >= time.seconds) return false;
        time = {figure, seconds, date};
        return true;
    }
    times.push_back({figure, seconds, date});
    return true;
}

}  // namespace murlen
