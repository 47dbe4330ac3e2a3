// The game in progress, kept in a folder of the user's after every move, so
// that a game survives a crash, a kill, a logout or a power failure. Each
// running game writes a file of its own (a game file) and holds a lock beside
// it while it runs; a file whose lock nobody holds was left by a game that
// ended without the player's say, and is offered at the next start. The lock
// goes with the process, so two games running at once never take each
// other's file.
#pragma once

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "files/game_file.h"

namespace murlen {

class GameInProgress {
public:
    // The games kept in `folder`; nothing is written there before the first Keep.
    explicit GameInProgress(std::filesystem::path folder);
    // Waits for the last write and leaves the file, as a crash would.
    ~GameInProgress();
    GameInProgress(const GameInProgress&) = delete;
    GameInProgress& operator=(const GameInProgress&) = delete;

    // Writes the game safely (a new file renamed over the old one, flushed to
    // the disk) on a thread of its own: the caller only hands over 384 bytes.
    // A game kept while an earlier one is still being written replaces it.
    // A folder that cannot be written keeps nothing, silently.
    void Keep(const SavedGame& game);
    // Waits until every game kept so far is on the disk (or failed to be).
    void Flush();
    // The player has ended the game: its file goes.
    void Discard();

    // The newest game left by a program that ended without the player's say,
    // with at least one piece on the board. It stays claimed, out of reach of
    // other starting programs, until ForgetAbandoned removes it. Damaged or
    // foreign files are passed over.
    std::optional<SavedGame> ClaimAbandoned();
    void ForgetAbandoned();

private:
    void WriteLoop();
    void StopWriter();

    std::filesystem::path folder_;
    std::string name_;  // of this program's files: name_ + ".kyp" and name_ + ".lock"
    int lock_ = -1;     // held while this program keeps a game
    int claimed_ = -1;  // the lock of a claimed abandoned game
    std::filesystem::path claimedFile_;

    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::optional<std::string> pending_;  // bytes not yet taken by the writer
    bool writing_ = false;
    bool stop_ = false;
};

}  // namespace murlen
