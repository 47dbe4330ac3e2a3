// Game files (".kyp"): three records of 128 bytes, little-endian.
//   0..3     Seconds, signed 32-bit        4..127   filler
//                                          (4..14 "Murlen hint" when a hint was used)
//   128..129 length L of the figure name  130..     the name's bytes, then filler
//   256..383 the 64 board values, signed 16-bit, in cell order
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "files/file_problem.h"
#include "model/types.h"

namespace murlen {

constexpr int kGameFileSize = 384;
constexpr int kMaxGameFigureName = 126;

struct SavedGame {
    std::int32_t seconds = 0;
    std::string figureName;
    CellArray<std::int16_t> board;
    // A hint has laid a piece in this game, so its time is no best time. The
    // mark lives in the filler, which every reader ignores.
    bool hinted = false;
    friend bool operator==(const SavedGame&, const SavedGame&) = default;
};

// The 384 bytes of a game (filler bytes are zero but for the hint mark). The
// name must fit.
std::string GameFileBytes(const SavedGame& game);

// Reads and checks a game file: at least 384 bytes, a name that fits and is a
// safe figure name, board values 0..64 and no piece on two cells. Bytes beyond
// 384 are ignored.
ReadResult<SavedGame> ReadGameFile(const std::filesystem::path& path);
ReadResult<SavedGame> ParseGameFile(const std::string& bytes);

// Writes the three records in place of the first 384 bytes, keeping any bytes
// beyond them, through a temporary file renamed over the target. Returns None,
// NameTooLong (nothing written) or NotWritable (the old file untouched).
FileProblem WriteGameFile(const SavedGame& game, const std::filesystem::path& path);

}  // namespace murlen
