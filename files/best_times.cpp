#include "files/best_times.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

// Gives a file that could not be read whole a second, free name that says so,
// and keeps its own: the name set aside, or nothing when no name could be made.
std::optional<std::filesystem::path> LinkAside(const std::filesystem::path& path) {
    const std::string stem = path.stem().string(), extension = path.extension().string();
    for (int number = 1; number < 1000; ++number) {
        const std::string suffix = number == 1 ? " (damaged)" : " (damaged " + std::to_string(number) + ")";
        const std::filesystem::path aside = path.parent_path() / (stem + suffix + extension);
        if (::link(path.c_str(), aside.c_str()) == 0) return aside;
        if (errno != EEXIST) break;
    }
    return std::nullopt;
}

// Replaces a file that could not be read whole with `text`, its own bytes kept
// aside. The old file gets its second name only once the new one is written,
// and keeps its own until the new one is renamed over it: whatever fails, the
// file's own name holds the good records.
FileProblem ReplaceSettingAside(const std::filesystem::path& path, const std::string& text) {
    const std::optional<std::filesystem::path> fresh = WriteTemporaryBeside(path, text);
    if (!fresh) return FileProblem::NotWritable;
    const std::optional<std::filesystem::path> aside = LinkAside(path);
    if (!aside) {
        ::unlink(fresh->c_str());
        return FileProblem::NotWritable;
    }
    if (!PutInPlace(*fresh, path)) {
        ::unlink(aside->c_str());
        return FileProblem::NotWritable;
    }
    return FileProblem::None;
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
    const ReadResult<FileStart> start = ReadFileStart(path, kMaxBestTimesSize);
    if (!start.ok()) return BestTimes{{}, start.problem == FileProblem::NotFound};
    if (start.value->whole) return ParseBestTimes(start.value->bytes);
    // Of a file too large to read, the good lines of its first part; the line
    // cut in two is passed over.
    const std::string& bytes = start.value->bytes;
    BestTimes read = ParseBestTimes(bytes.substr(0, bytes.rfind('\n') + 1));
    read.whole = false;
    return read;
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
    const std::string text = BestTimesText(kept.times);
    recorded.problem = kept.whole ? WriteFileSafely(path, text) : ReplaceSettingAside(path, text);
    return recorded;
}

}  // namespace murlen
