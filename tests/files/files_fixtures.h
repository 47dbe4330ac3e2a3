// Small helpers shared by the tests of the file formats: files in temporary
// folders, shape grids drawn as text, and line-by-line edits of a file's text.
#pragma once

#include <sys/resource.h>

#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "files/file_problem.h"
#include "model/shape_grid.h"

namespace murlen::testing {

inline std::filesystem::path PathIn(const QTemporaryDir& dir, const std::string& name) {
    return std::filesystem::path(dir.path().toStdString()) / name;
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a folder, sorted, to see that no temporary file was left behind.
inline std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A readable name for test failure messages.
inline QString ProblemName(FileProblem problem) {
    switch (problem) {
        case FileProblem::None: return "None";
        case FileProblem::NotFound: return "NotFound";
        case FileProblem::Unreadable: return "Unreadable";
        case FileProblem::NotWritable: return "NotWritable";
        case FileProblem::TooLarge: return "TooLarge";
        case FileProblem::NotANumber: return "NotANumber";
        case FileProblem::BadRecordNumber: return "BadRecordNumber";
        case FileProblem::DuplicateRecord: return "DuplicateRecord";
        case FileProblem::WrongRecordCount: return "WrongRecordCount";
        case FileProblem::BadCell: return "BadCell";
        case FileProblem::DuplicateCell: return "DuplicateCell";
        case FileProblem::OutOfGrid: return "OutOfGrid";
        case FileProblem::BadHeader: return "BadHeader";
        case FileProblem::TooShort: return "TooShort";
        case FileProblem::BadBoard: return "BadBoard";
        case FileProblem::BadName: return "BadName";
        case FileProblem::NameTooLong: return "NameTooLong";
    }
    return "?";
}

// A shape grid drawn as rows of squares, the first row at `top` and the first
// column at `left`. Per square: '.' empty; falling diagonal 'U' upper half,
// 'L' lower half, 'B' both; rising diagonal 'u', 'l', 'b' likewise.
inline ShapeGrid GridFromRows(const std::vector<std::string>& rows, int left, int top) {
    ShapeGrid grid;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            const char c = rows[row][column];
            if (c == '.') continue;
            const int x = left + int(column);
            const int y = top + int(row);
            const bool falling = c == 'U' || c == 'L' || c == 'B';
            const bool upper = c == 'U' || c == 'B' || c == 'u' || c == 'b';
            const bool lower = c == 'L' || c == 'B' || c == 'l' || c == 'b';
            grid.Diagonal(x, y) = falling ? -1 : 0;
            if (upper) grid.Cell(x, y, 1) = -1;
            if (lower) grid.Cell(x, y, 2) = -1;
            grid.placedCount += int(upper) + int(lower);
        }
    }
    return grid;
}

// A figure of 64 cells in columns 3..10 and rows 5..12 (in grid terms: eight
// squares a side). Record numbers in row order: row 5 gives 1..8, row 6 9..16,
// and so on; square (3, 9) holds both halves as records 33 and 34.
inline const std::vector<std::string>& SampleRows() {
    static const std::vector<std::string> rows = {
        "U.bUUUUU",  // row 5: (3,5) falling upper only, (5,5) rising both
        "uuuuuuuu",  // row 6
        "LLLLLLLL",  // row 7
        "llllllll",  // row 8
        "BB..uLul",  // row 9
        "UUUUUUUU",  // row 10
        "bb.b..lu",  // row 11
        "uLUlUlUL",  // row 12
    };
    return rows;
}

inline ShapeGrid SampleGrid() { return GridFromRows(SampleRows(), 3, 5); }

// A text's lines without their line ends (CR LF or LF).
inline std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline std::string JoinLines(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

// The text with its 1-based line `number` replaced.
inline std::string WithLine(const std::string& text, int number, const std::string& value) {
    std::vector<std::string> lines = LinesOf(text);
    lines[std::size_t(number - 1)] = value;
    return JoinLines(lines);
}

// The text with six corner values of the record whose N stands on `line`.
inline std::string WithCorners(const std::string& text, int line, const std::vector<int>& corners) {
    std::vector<std::string> lines = LinesOf(text);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        lines[std::size_t(line) + i] = std::to_string(corners[i]);
    }
    return JoinLines(lines);
}

// The line of record N in a file written in record order.
constexpr int RecordLine(int n) { return 5 + 7 * (n - 1); }

// Lowers the largest size a file of this process may grow to, so that writes
// fail part way even for root. Undone when it goes out of scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // EFBIG instead of the signal
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

}  // namespace murlen::testing
