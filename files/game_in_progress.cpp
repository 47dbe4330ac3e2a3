#include "files/game_in_progress.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <system_error>
#include <vector>

#include "files/file_bytes.h"
#include "files/program_folder.h"
#include "model/rules.h"

namespace murlen {

namespace {

constexpr const char* kGameExtension = ".kyp";
constexpr const char* kLockExtension = ".lock";

std::filesystem::path WithExtension(std::filesystem::path path, const char* extension) {
    return path.replace_extension(extension);
}

// An exclusive lock on `path`, created if need be; -1 when another process
// holds it (or it cannot be made).
int TryLock(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
    ::close(fd);
    return -1;
}

void Remove(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
}

// A game file whose name record holds the figure's name cut to fit, followed
// by the whole name when it is longer: readers of game files stop at 384 bytes.
std::string KeptGameBytes(const SavedGame& game) {
    const bool cut = game.figureName.size() > std::size_t(kMaxGameFigureName);
    return GameFileBytes(game) + (cut ? game.figureName : std::string());
}

ReadResult<SavedGame> ReadKeptGame(const std::filesystem::path& file) {
    const ReadResult<std::string> bytes = ReadFileBytes(file);
    if (!bytes.ok()) return ReadResult<SavedGame>::Fail(bytes.problem);
    ReadResult<SavedGame> game = ParseGameFile(*bytes.value);
    const std::string wholeName = bytes.value->substr(std::min(bytes.value->size(), std::size_t(kGameFileSize)));
    if (game.ok() && !wholeName.empty()) {
        if (!wholeName.starts_with(game.value->figureName) || !IsSafeFigureName(wholeName))
            return ReadResult<SavedGame>::Fail(FileProblem::BadName);
        game.value->figureName = wholeName;
    }
    return game;
}

// Worth offering again: something has been played.
bool Played(const SavedGame& game) { return game.seconds > 0 || HasPieces(game.board); }

}  // namespace

std::optional<std::filesystem::path> SetAside(const std::filesystem::path& file, const std::filesystem::path& folder,
                                              const std::string& stem) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (int number = 1; number < 1000; ++number) {
        const std::filesystem::path target =
            folder / (stem + (number == 1 ? std::string() : " " + std::to_string(number)) + kGameExtension);
        // A hard link never replaces a file of the player's; across file
        // systems a copy does the same.
        if (::link(file.c_str(), target.c_str()) != 0) {
            if (errno == EEXIST) continue;
            if (!std::filesystem::copy_file(file, target, std::filesystem::copy_options::none, error)) {
                if (std::filesystem::exists(target)) continue;
                return std::nullopt;
            }
        }
        Remove(file);
        return target;
    }
    return std::nullopt;
}

GameInProgress::GameInProgress(std::filesystem::path folder, std::vector<std::filesystem::path> earlierFolders)
    : folder_(std::move(folder)), earlierFolders_(std::move(earlierFolders)) {
    std::random_device random;
    name_ = std::to_string(::getpid()) + "-" + std::to_string(random());
}

GameInProgress::~GameInProgress() {
    StopWriter();
    if (lock_ >= 0) ::close(lock_);
    if (claimed_ >= 0) ::close(claimed_);
}

bool GameInProgress::StartWriter() {
    if (lock_ >= 0) return true;
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    // Locked before the first write: the file never lies there unclaimed.
    lock_ = TryLock(folder_ / (name_ + kLockExtension));
    if (lock_ < 0) return false;
    stop_ = false;
    writer_ = std::thread(&GameInProgress::WriteLoop, this);
    return true;
}

void GameInProgress::Keep(const SavedGame& game) {
    // A folder that cannot be written keeps nothing; Flush tells.
    if (!StartWriter()) return;
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        pending_ = KeptGameBytes(game);
    }
    wake_.notify_one();
}

bool GameInProgress::Flush() {
    if (lock_ < 0) return false;
    std::unique_lock<std::mutex> guard(mutex_);
    written_.wait(guard, [this] { return !pending_ && !writing_; });
    return lastWritten_;
}

void GameInProgress::Discard() {
    StopWriter();
    if (lock_ < 0) return;
    Remove(folder_ / (name_ + kGameExtension));
    Remove(folder_ / (name_ + kLockExtension));
    ::close(lock_);
    lock_ = -1;
}

void GameInProgress::WriteLoop() {
    const std::filesystem::path file = folder_ / (name_ + kGameExtension);
    std::unique_lock<std::mutex> guard(mutex_);
    for (;;) {
        wake_.wait(guard, [this] { return pending_ || stop_; });
        if (!pending_) return;  // stopped with nothing left to write
        const std::string bytes = std::move(*pending_);
        pending_.reset();
        writing_ = true;
        guard.unlock();
        const bool written = WriteFileSafely(file, bytes) == FileProblem::None;
        guard.lock();
        writing_ = false;
        lastWritten_ = written;
        written_.notify_all();
    }
}

void GameInProgress::StopWriter() {
    if (!writer_.joinable()) return;
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

GameInProgress::Abandoned GameInProgress::ClaimAbandoned(const std::filesystem::path& asideFolder,
                                                         const std::string& asideStem) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    std::vector<std::filesystem::path> folders{folder_};
    folders.insert(folders.end(), earlierFolders_.begin(), earlierFolders_.end());
    for (const std::filesystem::path& folder : folders)
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
            if (it->path().extension() == kGameExtension && it->path().stem() != name_) files.push_back(it->path());

    Abandoned found;
    std::filesystem::file_time_type newestTime;
    for (const std::filesystem::path& file : files) {
        const std::filesystem::path lockFile = WithExtension(file, kLockExtension);
        const int lock = TryLock(lockFile);
        if (lock < 0) continue;  // its program is still running
        const ReadResult<SavedGame> read = ReadKeptGame(file);
        const auto time = std::filesystem::last_write_time(file, error);
        if (!read.ok()) {
            if (const auto aside = SetAside(file, asideFolder, asideStem)) found.setAside.push_back(*aside);
        } else if (!Played(*read.value)) {
            Remove(file);  // nothing to bring back
        } else if (!found.game || time > newestTime) {
            if (claimed_ >= 0) ReleaseClaim();
            claimed_ = lock, claimedFile_ = file, found.game = read.value, newestTime = time;
            continue;
        } else {
            ::close(lock);  // an older game waits for a later start
            continue;
        }
        Remove(lockFile);
        ::close(lock);
    }
    return found;
}

void GameInProgress::ReleaseClaim() {
    ::close(claimed_);
    claimed_ = -1;
}

void GameInProgress::TakeOverAbandoned() {
    if (claimed_ < 0) return;
    if (Flush())
        ForgetAbandoned();
    else
        ReleaseClaim();
}

void GameInProgress::ForgetAbandoned() {
    if (claimed_ < 0) return;
    Remove(claimedFile_);
    Remove(WithExtension(claimedFile_, kLockExtension));
    ReleaseClaim();
}

std::optional<std::filesystem::path> GameInProgress::SetAsideAbandoned(const std::filesystem::path& folder,
                                                                       const std::string& stem) {
    if (claimed_ < 0) return std::nullopt;
    const std::optional<std::filesystem::path> aside = SetAside(claimedFile_, folder, stem);
    if (aside) Remove(WithExtension(claimedFile_, kLockExtension));
    ReleaseClaim();
    return aside;
}

}  // namespace murlen
