// What the small text files of the user's own (the best times, the record)
// share: lines of fields separated by tabs, names escaped so that any name
// comes back as it was, a lock that writers of one folder wait for, and the
// replacement of a damaged file that keeps its bytes aside.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_problem.h"

namespace murlen {

// A backslash, a tab, a carriage return or a line break in a name is written
// as \\, \t, \r or \n.
std::string EscapeName(const std::string& name);
// Nothing for a text that no name gives.
std::optional<std::string> UnescapeName(const std::string& text);

// The fields of a line, split at every tab.
std::vector<std::string_view> Fields(std::string_view line);
// The lines of a text without their line ends (LF or CR LF), empty ones left out.
std::vector<std::string_view> Lines(std::string_view text);

// Digits only, nothing else; nothing when the text is no such number.
std::optional<std::int32_t> Seconds(std::string_view text);
// yyyy-mm-dd
bool IsDate(std::string_view text);

// Holds an exclusive lock on a folder while it lives: writers of the same file
// in that folder wait for each other. The lock goes with the process, so a
// crashed game never leaves the folder locked.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder);
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

private:
    int fd_;
};

// Adds a line at the end of a regular file, created if missing, after a line
// break where the file's last line lacks one, and flushes it to the disk;
// false when the file cannot take it.
bool AppendLine(const std::filesystem::path& path, const std::string& line);

// Replaces a file that could not be read whole with `text`, its own bytes kept
// as "<name> (damaged).<extension>" (or "(damaged 2)" and so on). The old file
// gets its second name only once the new one is written, and keeps its own
// until the new one is renamed over it: whatever fails, the file's own name
// holds what it held.
FileProblem ReplaceSettingAside(const std::filesystem::path& path, const std::string& text);

}  // namespace murlen
