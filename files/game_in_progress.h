// The game in progress, kept in a folder of the program's own state as it is
// played, so that a game survives a crash, a kill, a logout or a power
// failure. Each running game writes a file of its own (a game file, followed
// by the figure's whole name where the game file's record cannot hold it) and
// holds a lock beside it while it runs; a file whose lock nobody holds was
// left by a game that ended without the player's say, and is offered at the
// next start. The lock goes with the process, so two games running at once
// never take each other's file.
#pragma once

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "files/game_file.h"

namespace murlen {

class GameInProgress {
public:
    // The games kept in `folder`; nothing is written there before the first
    // Keep. Games left behind are looked for in `earlierFolders` too, where
    // earlier versions of the program kept them.
    explicit GameInProgress(std::filesystem::path folder, std::vector<std::filesystem::path> earlierFolders = {});
    // Waits for the last write and leaves the file, as a crash would.
    ~GameInProgress();
    GameInProgress(const GameInProgress&) = delete;
    GameInProgress& operator=(const GameInProgress&) = delete;

    // Writes the game safely (a new file renamed over the old one, flushed to
    // the disk) on a thread of its own: the caller only hands over 384 bytes.
    // A game kept while an earlier one is still being written replaces it.
    void Keep(const SavedGame& game);
    // Waits until every game kept so far is on the disk or failed to be; true
    // when the last one is there.
    bool Flush();
    // The player has ended the game: its file goes.
    void Discard();

    // What a start finds of programs that ended without the player's say.
    struct Abandoned {
        // The newest game with a piece on the board or a second counted. It
        // stays claimed, out of reach of other starting programs, until it is
        // taken over, forgotten or set aside.
        std::optional<SavedGame> game;
        // The kept files that cannot be read, moved to where the player finds
        // them (see SetAside); nothing is deleted that could not be read.
        std::vector<std::filesystem::path> setAside;
    };
    // Files that cannot be read go to `asideFolder`, named after `asideStem`.
    Abandoned ClaimAbandoned(const std::filesystem::path& asideFolder, const std::string& asideStem);
    // The claimed game goes on as this program's own, which the caller has
    // kept: once that is on the disk, the old file goes. Should it fail to be
    // written, the old file stays for the next start.
    void TakeOverAbandoned();
    // The player did not want the claimed game back: its file goes.
    void ForgetAbandoned();
    // The claimed game cannot go on here (its figure is missing): its file
    // moves to `folder` as a game file the player can open later.
    std::optional<std::filesystem::path> SetAsideAbandoned(const std::filesystem::path& folder, const std::string& stem);

private:
    bool StartWriter();
    void WriteLoop();
    void StopWriter();
    void ReleaseClaim();

    std::filesystem::path folder_;
    std::vector<std::filesystem::path> earlierFolders_;
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
    bool lastWritten_ = false;  // the last write reached the disk
    bool stop_ = false;
};

// Moves `file` into `folder` under the first free name of "stem.kyp",
// "stem 2.kyp", "stem 3.kyp" ...; its new path, or nothing when it could not
// be moved (and then it stays where it was).
std::optional<std::filesystem::path> SetAside(const std::filesystem::path& file, const std::filesystem::path& folder,
                                              const std::string& stem);

}  // namespace murlen
