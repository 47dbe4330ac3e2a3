#include "files/best_times.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "files/file_bytes.h"
#include "files/user_text_file.h"

namespace murlen {

namespace {

constexpr std::uintmax_t kMaxBestTimesSize = 256 * 1024;

std::optional<BestTime> ParseLine(std::string_view line) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 3 || !IsDate(fields[2])) return std::nullopt;
    const std::optional<std::string> figure = UnescapeName(std::string(fields[0]));
    const std::optional<std::int32_t> seconds = Seconds(fields[1]);
    if (!figure || figure->empty() || !seconds) return std::nullopt;
    return BestTime{*figure, *seconds, std::string(fields[2])};
}

}  // namespace

BestTimes ParseBestTimes(const std::string& text) {
    BestTimes read;
    for (const std::string_view line : Lines(text)) {
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
