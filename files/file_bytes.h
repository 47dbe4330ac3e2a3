// Whole-file reads and writes shared by the file formats. Reads refuse anything
// that is not a regular file or is far too large; writes go through a temporary
// file so that a failed write never destroys the old file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "files/file_problem.h"

namespace murlen {

// No valid shape file, figure list or game file comes anywhere near this size.
constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

// The bytes of a regular file of at most `maxSize` bytes. Problems: NotFound,
// Unreadable (a folder, a device, no permission, a read error) or TooLarge.
ReadResult<std::string> ReadFileBytes(const std::filesystem::path& path,
                                      std::uintmax_t maxSize = kMaxFileSize);

// Makes `bytes` the whole content of `path`: writes them to a new temporary file
// in the same folder, flushes it to the disk and renames it over the target. An
// existing target keeps its permission bits. Returns None, or NotWritable with
// the old file untouched and the temporary file removed.
FileProblem WriteFileSafely(const std::filesystem::path& path, const std::string& bytes);

}  // namespace murlen
