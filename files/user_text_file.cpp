#include "files/user_text_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>

#include "files/file_bytes.h"

namespace murlen {

namespace {

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

}  // namespace

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

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::optional<std::int32_t> Seconds(std::string_view text) {
    std::int32_t seconds = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, seconds);
    if (text.empty() || text.front() == '-' || error != std::errc() || rest != end) return std::nullopt;
    return seconds;
}

bool IsDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

FolderLock::FolderLock(const std::filesystem::path& folder)
    : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0) {
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool AppendLine(const std::filesystem::path& path, const std::string& line) {
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd < 0) return false;
    struct stat info {};
    char last = '\n';
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    // A file that cannot even be read at its end is not written to either.
    if (regular && info.st_size > 0 && ::pread(fd, &last, 1, info.st_size - 1) != 1) {
        ::close(fd);
        return false;
    }
    const std::string bytes = (last == '\n' ? "" : "\n") + line;
    const bool written = regular && ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size()) && ::fsync(fd) == 0;
    return ::close(fd) == 0 && written;
}

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

}  // namespace murlen
