#include "files/figure_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/file_bytes.h"

namespace murlen {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Skips one line end: CR LF, LF or a lone CR.
void SkipLineEnd(const std::string& text, std::size_t& pos) {
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
    ++pos;
}

}  // namespace

std::vector<std::string> ParseFigureList(const std::string& text) {
    std::vector<std::string> entries;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        if (pos == text.size()) break;

        if (text[pos] == '"') {
            // Quoted: everything up to the closing quote, commas included. A
            // missing closing quote ends the entry at the line end, so that one
            // broken line does not swallow the rest of the list.
            const std::size_t start = ++pos;
            while (pos < text.size() && text[pos] != '"' && !IsLineEnd(text[pos])) ++pos;
            entries.push_back(text.substr(start, pos - start));
            if (pos < text.size() && text[pos] == '"') ++pos;
            // Whatever follows the closing quote on its field is ignored.
            while (pos < text.size() && text[pos] != ',' && !IsLineEnd(text[pos])) ++pos;
        } else {
            const std::size_t start = pos;
            while (pos < text.size() && text[pos] != ',' && !IsLineEnd(text[pos])) ++pos;
            std::size_t stop = pos;
            while (stop > start && IsBlank(text[stop - 1])) --stop;
            // Empty fields (an empty line, two commas in a row) name nothing.
            if (stop > start) entries.push_back(text.substr(start, stop - start));
        }

        if (pos == text.size()) break;
        if (text[pos] == ',') {
            ++pos;
        } else {
            SkipLineEnd(text, pos);
        }
    }
    return entries;
}

ReadResult<std::vector<std::string>> ReadFigureList(const std::filesystem::path& path) {
    using Result = ReadResult<std::vector<std::string>>;
    ReadResult<std::string> bytes = ReadFileBytes(path);
    if (!bytes.ok()) return Result::Fail(bytes.problem);
    return Result::Ok(ParseFigureList(*bytes.value));
}

AppendOutcome AppendToFigureList(const std::filesystem::path& path, const std::string& name) {
    // A quote or a line break in the name would not read back as the same entry.
    if (name.find_first_of("\"\r\n") != std::string::npos) return AppendOutcome::Failed;

    ReadResult<std::string> existing = ReadFileBytes(path);
    const bool missing = existing.problem == FileProblem::NotFound;
    if (!existing.ok() && !missing) return AppendOutcome::Failed;
    const std::string old = missing ? std::string() : *existing.value;

    for (const std::string& entry : ParseFigureList(old)) {
        if (entry == name) return AppendOutcome::Duplicate;
    }

    // The new entry goes on a line of its own, even after a last line that
    // lacks its line end.
    std::string line = "\"" + name + "\"\r\n";
    if (!old.empty() && !IsLineEnd(old.back())) line = "\r\n" + line;

    // A missing list is created here; O_EXCL makes sure it is ours to remove.
    const int flags = O_WRONLY | O_APPEND | O_CLOEXEC | (missing ? O_CREAT | O_EXCL : 0);
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return AppendOutcome::Failed;

    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return AppendOutcome::Failed;
    }
    const off_t oldSize = info.st_size;

    // One write call, so that the line goes in whole or, after a short write,
    // is cut off again below.
    ssize_t written = -1;
    do {
        written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    const bool ok = written == ssize_t(line.size()) && ::fsync(fd) == 0;
    // When cutting the line off fails as well, nothing more can be done.
    [[maybe_unused]] const bool cut = !ok && ::ftruncate(fd, oldSize) == 0;
    // After a successful fsync the line is on the disk; close cannot lose it.
    ::close(fd);

    if (ok) return AppendOutcome::Appended;
    if (missing) ::unlink(path.c_str());
    return AppendOutcome::Failed;
}

}  // namespace murlen
