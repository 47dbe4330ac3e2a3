#include "files/best_times.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <optional>
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

std::string EscapeName(const std::string& name) {
    std::string escaped;
    for (const char c : name) {
        switch (c) {
            case '\\': escaped += "\\\\"; break;
            case '\t': escaped += "\\t"; break;
            case '\r': escaped += "\\r"; break;
            case '\n': escaped += "\\n"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

std::optional<std::string> UnescapeName(const std::string& text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            name += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
            case '\\': name += '\\'; break;
            case 't': name += '\t'; break;
            case 'r': name += '\r'; break;
            case 'n': name += '\n'; break;
            default: return std::nullopt;
        }
    }
    return name;
}

std::optional<BestTime> ParseLine(const std::string& line) {
    const std::size_t first = line.find('\t');
    const std::size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
    if (second == std::string::npos) return std::nullopt;
    const std::optional<std::string> figure = UnescapeName(line.substr(0, first));
    if (!figure || figure->empty()) return std::nullopt;
    BestTime time{*figure, 0, line.substr(second + 1)};
    const char* begin = line.data() + first + 1;
    const char* end = line.data() + second;
    const auto [rest, error] = std::from_chars(begin, end, time.seconds);
    if (error != std::errc() || rest != end || time.seconds < 0 || !IsDate(time.date)) return std::nullopt;
    return time;
}

// Holds an exclusive lock on a folder while it lives: writers of the same file
// in that folder wait for each other. The lock goes with the process, so a
// crashed game never leaves the folder locked.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);
    }

private:
    int fd_;
};

// Renames a file that could not be read whole to a free name that says so.
bool SetAside(const std::filesystem::path& path) {
    const std::string stem = path.stem().string(), extension = path.extension().string();
    for (int number = 1; number < 1000; ++number) {
        const std::string suffix = number == 1 ? " (damaged)" : " (damaged " + std::to_string(number) + ")";
        const std::filesystem::path aside = path.parent_path() / (stem + suffix + extension);
        std::error_code error;
        if (std::filesystem::exists(aside, error) || error) continue;
        std::filesystem::rename(path, aside, error);
        return !error;
    }
    return false;
}

}  // namespace

BestTimes ParseBestTimes(const std::string& text) {
    BestTimes read;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::optional<BestTime> time = ParseLine(line);
        if (time)
            ImproveBestTime(read.times, time->figure, time->seconds, time->date);
        else
            read.whole = false;
    }
    return read;
}

std::string BestTimesText(const std::vector<BestTime>& times) {
    std::string text;
    for (const BestTime& time : times)
        text += EscapeName(time.figure) + '\t' + std::to_string(time.seconds) + '\t' + time.date + '\n';
    return text;
}

BestTimes ReadBestTimes(const std::filesystem::path& path) {
    const ReadResult<std::string> bytes = ReadFileBytes(path, kMaxBestTimesSize);
    if (bytes.ok()) return ParseBestTimes(*bytes.value);
    return BestTimes{{}, bytes.problem == FileProblem::NotFound};
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

RecordedBestTime RecordBestTime(const std::filesystem::path& path, const std::string& figure,
                                std::int32_t seconds, const std::string& date) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const FolderLock lock(path.parent_path());

    BestTimes kept = ReadBestTimes(path);
    RecordedBestTime recorded;
    recorded.improved = ImproveBestTime(kept.times, figure, seconds, date);
    if (!recorded.improved) return recorded;
    if (!kept.whole && !SetAside(path)) {
        recorded.problem = FileProblem::NotWritable;
        return recorded;
    }
    recorded.problem = WriteFileSafely(path, BestTimesText(kept.times));
    return recorded;
}

}  // namespace murlen
