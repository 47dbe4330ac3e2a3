// Arbitrary bytes as a game file. An accepted game must write back to bytes
// that read as the same game.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/game_file.h"

using namespace murlen;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const ReadResult<SavedGame> game = ParseGameFile(bytes);
    if (!game.ok()) return 0;
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (game.value->board[cell] < 0 || game.value->board[cell] > kPieceCount) std::abort();
    const ReadResult<SavedGame> again = ParseGameFile(GameFileBytes(*game.value));
    if (!again.ok() || !(*again.value == *game.value)) std::abort();
    return 0;
}
