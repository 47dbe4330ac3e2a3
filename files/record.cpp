#include "files/record.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "files/file_bytes.h"
#include "files/user_text_file.h"

namespace murlen {

namespace {

// Some hundred thousand games; a longer record is read as far as this.
constexpr std::uintmax_t kMaxRecordSize = 8 * 1024 * 1024;

constexpr std::array<const char*, 3> kHelpWords{"-", "hint", "solution"};

// yyyy-mm-dd hh:mm:ss
bool IsWhen(std::string_view text) {
    if (text.size() != 19 || !IsDate(text.substr(0, 10)) || text[10] != ' ' || text[13] != ':' || text[16] != ':')
        return false;
    for (std::size_t i : {11, 12, 14, 15, 17, 18})
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

std::optional<SolvedGame> ParseGame(std::string_view line) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 4 || !IsWhen(fields[1])) return std::nullopt;
    const std::optional<std::string> figure = UnescapeName(std::string(fields[0]));
    const std::optional<std::int32_t> seconds = Seconds(fields[2]);
    const auto help = std::find(kHelpWords.begin(), kHelpWords.end(), fields[3]);
    if (!figure || figure->empty() || !seconds || help == kHelpWords.end()) return std::nullopt;
    return SolvedGame{*figure, std::string(fields[1]), *seconds, Help(help - kHelpWords.begin())};
}

// True when any line of `text` is a game: the file is a record.
bool HoldsAGame(const std::string& text) {
    const std::vector<std::string_view> lines = Lines(text);
    return std::any_of(lines.begin(), lines.end(), [](std::string_view line) { return ParseGame(line).has_value(); });
}

}  // namespace

std::string RecordLine(const SolvedGame& game) {
    return EscapeName(game.figure) + '\t' + game.when + '\t' + std::to_string(game.seconds) + '\t' +
           kHelpWords[std::size_t(game.help)] + '\n';
}

Record ParseRecord(const std::string& text) {
    Record record;
    for (const std::string_view line : Lines(text)) {
        if (const std::optional<SolvedGame> game = ParseGame(line))
            record.games.push_back(*game);
        else
            record.whole = false;
    }
    return record;
}

Record ReadRecord(const std::filesystem::path& path) {
    const ReadResult<FileStart> start = ReadFileStart(path, kMaxRecordSize);
    if (!start.ok()) return Record{{}, start.problem == FileProblem::NotFound};
    const std::string& bytes = start.value->bytes;
    if (start.value->whole) return ParseRecord(bytes);
    // The line cut in two at the end of what was read is passed over.
    Record record = ParseRecord(bytes.substr(0, bytes.rfind('\n') + 1));
    record.whole = false;
    return record;
}

FileProblem AddToRecord(const std::filesystem::path& path, const SolvedGame& game) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const FolderLock lock(path.parent_path());
    const std::string line = RecordLine(game);
    const ReadResult<FileStart> start = ReadFileStart(path, kMaxRecordSize);
    if (!start.ok() && start.problem != FileProblem::NotFound) return FileProblem::NotWritable;
    if (start.ok() && !start.value->bytes.empty() && !HoldsAGame(start.value->bytes))
        return ReplaceSettingAside(path, line);
    return AppendLine(path, line) ? FileProblem::None : FileProblem::NotWritable;
}

std::string RecordCsv(const Record& record) {
    const auto field = [](const std::string& text) {
        if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
        std::string quoted = "\"";
        for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return quoted + '"';
    };
    std::string csv = "figure,when,seconds,help\r\n";
    for (const SolvedGame& game : record.games)
        csv += field(game.figure) + ',' + game.when + ',' + std::to_string(game.seconds) + ',' +
               kHelpWords[std::size_t(game.help)] + "\r\n";
    return csv;
}

std::map<std::string, FigureRecord> RecordsByFigure(const Record& record, const BestTimes& earlierBestTimes) {
    std::map<std::string, FigureRecord> of;
    std::map<std::string, std::vector<std::int32_t>> unaided;
    for (const SolvedGame& game : record.games) {
        FigureRecord& figure = of[game.figure];
        ++figure.solved;
        if (!figure.last || game.when >= figure.last->when) figure.last = game;
        if (game.help == Help::None) unaided[game.figure].push_back(game.seconds);
    }
    for (const BestTime& time : earlierBestTimes.times) of[time.figure].best = time.seconds;
    for (auto& [name, times] : unaided) {
        FigureRecord& figure = of[name];
        std::sort(times.begin(), times.end());
        figure.best = std::min(figure.best.value_or(times.front()), times.front());
        const std::size_t middle = times.size() / 2;
        figure.median = times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    }
    return of;
}

FigureRecord RecordOf(const std::string& figure, const Record& record, const BestTimes& earlierBestTimes) {
    const std::map<std::string, FigureRecord> of = RecordsByFigure(record, earlierBestTimes);
    const auto found = of.find(figure);
    return found == of.end() ? FigureRecord{} : found->second;
}

}  // namespace murlen
