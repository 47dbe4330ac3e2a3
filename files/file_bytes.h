// Whole-file reads and writes shared by the file formats. Reads refuse anything
// that is not a regular file and never read far beyond a limit; writes go
// through a temporary file so that a failed write never destroys the old file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "files/file_problem.h"

namespace murlen {

// No valid shape file, figure list or game file comes anywhere near this size.
constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

// The bytes of a regular file of at most `maxSize` bytes. Problems: NotFound,
// Unreadable (a folder, a device, no permission, a read error) or TooLarge.
ReadResult<std::string> ReadFileBytes(const std::filesystem::path& path,
                                      std::uintmax_t maxSize = kMaxFileSize);

struct FileStart {
    std::string bytes;
    bool whole = true;  // false when the file goes on beyond the bytes read
};

// The first `maxSize` bytes of a regular file, for a reader that can use part
// of a file. Problems: NotFound or Unreadable, as above.
ReadResult<FileStart> ReadFileStart(const std::filesystem::path& path, std::uintmax_t maxSize);

// Makes `bytes` the whole content of `path`: writes them to a new temporary file
// in the same folder, flushes it to the disk and renames it over the target. An
// existing target keeps its permission bits. Returns None, or NotWritable with
// the old file untouched and the temporary file removed.
FileProblem WriteFileSafely(const std::filesystem::path& path, const std::string& bytes);

// The two steps of WriteFileSafely, for a writer with something to do between
// them. The first writes `bytes` to a new temporary file beside the target and
// flushes it to the disk: its path, or nothing (and no file) when that fails or
// the target is a folder. The second renames it over the target: false when
// that fails, the target untouched and the temporary file removed.
std::optional<std::filesystem::path> WriteTemporaryBeside(const std::filesystem::path& target,
                                                          const std::string& bytes);
bool PutInPlace(const std::filesystem::path& temporary, const std::filesystem::path& target);

}  // namespace murlen
