// The figure list "Figures.dat": one figure name per line, between double
// quotes, each line ended by CR LF. Its order is the order of the figure menu.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "files/file_problem.h"

namespace murlen {

// Entries in file order. A quoted entry is the text between the quotes; an
// unquoted one is the text up to the next comma or line end, blanks dropped.
// Fields are separated by line ends or commas.
ReadResult<std::vector<std::string>> ReadFigureList(const std::filesystem::path& path);
std::vector<std::string> ParseFigureList(const std::string& text);

enum class AppendOutcome { Appended, Duplicate, Failed };

// Appends `"name"` CR LF unless an entry equal to `name` (case-sensitive)
// exists. The line is written whole or not at all.
AppendOutcome AppendToFigureList(const std::filesystem::path& path, const std::string& name);

}  // namespace murlen
