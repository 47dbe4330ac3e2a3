// What went wrong with a file, as a value. The windows turn it into a message in
// the user's language; nothing here carries user text.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace murlen {

enum class FileProblem {
    None,
    NotFound,          // the file does not exist (or vanished)
    Unreadable,        // exists but cannot be opened or read (a folder, no permission)
    NotWritable,       // cannot be created, written or renamed into place
    TooLarge,          // far larger than any valid file of its kind
    NotANumber,        // a line of a shape file that is not a plain number
    BadRecordNumber,   // a record number outside 1..64
    DuplicateRecord,   // the same record number twice
    WrongRecordCount,  // not exactly 64 records
    BadCell,           // corners that are not a right isosceles cell of one grid square
    DuplicateCell,     // two records describe the same triangle cell
    OutOfGrid,         // corners outside the 26 x 26 grid once moved to its top left
    BadHeader,         // a bounding box that does not enclose the cells
    TooShort,          // a game file shorter than its 384 bytes
    BadBoard,          // board values outside 0..64, or a piece on two cells
    BadName,           // a name that may not name a file in the program folder
    NameTooLong,       // a figure name longer than a game file can hold
};

// The outcome of a read: the value, or the problem and the line (1-based, 0 when
// no single line is to blame) where it was found.
template <class T>
struct ReadResult {
    std::optional<T> value;
    FileProblem problem = FileProblem::None;
    int line = 0;

    static ReadResult Ok(T v) { return ReadResult{std::move(v), FileProblem::None, 0}; }
    static ReadResult Fail(FileProblem p, int atLine = 0) { return ReadResult{std::nullopt, p, atLine}; }
    bool ok() const { return value.has_value(); }
};

}  // namespace murlen
