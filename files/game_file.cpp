#include "files/game_file.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string_view>

#include "files/file_bytes.h"
#include "files/program_folder.h"

namespace murlen {

namespace {

constexpr std::size_t kSecondsOffset = 0;
constexpr std::size_t kNameLengthOffset = 128;
constexpr std::size_t kNameOffset = 130;
constexpr std::size_t kBoardOffset = 256;
constexpr std::size_t kHintMarkOffset = 4;
constexpr std::string_view kHintMark = "Murlen hint";

// Little-endian by hand, so that the layout does not depend on the machine.
void PutUnsigned(std::string& bytes, std::size_t offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[offset + std::size_t(i)] = char((value >> (8 * i)) & 0xFF);
    }
}

std::uint32_t GetUnsigned(const std::string& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
        value |= std::uint32_t(static_cast<unsigned char>(bytes[offset + std::size_t(i)])) << (8 * i);
    }
    return value;
}

}  // namespace

std::string GameFileBytes(const SavedGame& game) {
    std::string bytes(kGameFileSize, '\0');
    PutUnsigned(bytes, kSecondsOffset, std::uint32_t(game.seconds), 4);
    if (game.hinted) bytes.replace(kHintMarkOffset, kHintMark.size(), kHintMark);

    // A name that does not fit is cut rather than overrunning the board;
    // WriteGameFile refuses such names before they get here.
    const std::size_t length = std::min(game.figureName.size(), std::size_t(kMaxGameFigureName));
    PutUnsigned(bytes, kNameLengthOffset, std::uint32_t(length), 2);
    bytes.replace(kNameOffset, length, game.figureName, 0, length);

    for (int cell = 1; cell <= kCellCount; ++cell) {
        const std::size_t offset = kBoardOffset + 2 * std::size_t(cell - 1);
        PutUnsigned(bytes, offset, std::uint16_t(game.board[cell]), 2);
    }
    return bytes;
}

ReadResult<SavedGame> ParseGameFile(const std::string& bytes) {
    using Result = ReadResult<SavedGame>;
    if (bytes.size() > kMaxFileSize) return Result::Fail(FileProblem::TooLarge);
    if (bytes.size() < std::size_t(kGameFileSize)) return Result::Fail(FileProblem::TooShort);

    SavedGame game;
    game.seconds = std::int32_t(GetUnsigned(bytes, kSecondsOffset, 4));
    game.hinted = std::string_view(bytes).substr(kHintMarkOffset, kHintMark.size()) == kHintMark;

    const std::uint32_t length = GetUnsigned(bytes, kNameLengthOffset, 2);
    if (length > std::uint32_t(kMaxGameFigureName)) return Result::Fail(FileProblem::BadName);
    game.figureName = bytes.substr(kNameOffset, length);
    if (!IsSafeFigureName(game.figureName)) return Result::Fail(FileProblem::BadName);

    // Every piece lies on at most one cell.
    bool used[kPieceCount + 1] = {};
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const std::size_t offset = kBoardOffset + 2 * std::size_t(cell - 1);
        const auto piece = std::int16_t(GetUnsigned(bytes, offset, 2));
        if (piece < 0 || piece > kPieceCount) return Result::Fail(FileProblem::BadBoard);
        if (piece > 0) {
            if (used[piece]) return Result::Fail(FileProblem::BadBoard);
            used[piece] = true;
        }
        game.board[cell] = piece;
    }
    return Result::Ok(std::move(game));
}

ReadResult<SavedGame> ReadGameFile(const std::filesystem::path& path) {
    ReadResult<std::string> bytes = ReadFileBytes(path);
    if (!bytes.ok()) return ReadResult<SavedGame>::Fail(bytes.problem);
    return ParseGameFile(*bytes.value);
}

FileProblem WriteGameFile(const SavedGame& game, const std::filesystem::path& path) {
    if (game.figureName.size() > std::size_t(kMaxGameFigureName)) return FileProblem::NameTooLong;

    std::string bytes = GameFileBytes(game);

    // Only the first 384 bytes are ours; whatever an existing file holds beyond
    // them stays. A file we cannot read we must not replace.
    ReadResult<std::string> old = ReadFileBytes(path, std::numeric_limits<std::uintmax_t>::max());
    if (old.ok()) {
        if (old.value->size() > bytes.size()) bytes += old.value->substr(bytes.size());
    } else if (old.problem != FileProblem::NotFound) {
        return FileProblem::NotWritable;
    }
    return WriteFileSafely(path, bytes);
}

}  // namespace murlen
