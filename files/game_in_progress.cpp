#include "files/game_in_progress.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <random>
#include <system_error>
#include <vector>

#include "files/file_bytes.h"
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

}  // namespace

GameInProgress::GameInProgress(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::random_device random;
    name_ = std::to_string(::getpid()) + "-" + std::to_string(random());
}

GameInProgress::~GameInProgress() {
    StopWriter();
    if (lock_ >= 0) ::close(lock_);
    if (claimed_ >= 0) ::close(claimed_);
}

void GameInProgress::Keep(const SavedGame& game) {
    if (lock_ < 0) {
        std::error_code error;
        std::filesystem::create_directories(folder_, error);
        // Locked before the first write: the file never lies there unclaimed.
        lock_ = TryLock(folder_ / (name_ + kLockExtension));
        if (lock_ < 0) return;
        stop_ = false;
        writer_ = std::thread(&GameInProgress::WriteLoop, this);
    }
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        pending_ = GameFileBytes(game);
    }
    wake_.notify_one();
}

void GameInProgress::Flush() {
    std::unique_lock<std::mutex> guard(mutex_);
    written_.wait(guard, [this] { return !pending_ && !writing_; });
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
        WriteFileSafely(file, bytes);
        guard.lock();
        writing_ = false;
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

std::optional<SavedGame> GameInProgress::ClaimAbandoned() {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error))
        if (it->path().extension() == kGameExtension && it->path().stem() != name_) files.push_back(it->path());

    std::optional<SavedGame> newest;
    std::filesystem::file_time_type newestTime;
    for (const std::filesystem::path& file : files) {
        const std::filesystem::path lockFile = WithExtension(file, kLockExtension);
        const int lock = TryLock(lockFile);
        if (lock < 0) continue;  // its program is still running
        const ReadResult<SavedGame> read = ReadGameFile(file);
        const auto time = std::filesystem::last_write_time(file, error);
        const bool offered = read.ok() && !error && HasPieces(read.value->board);
        if (read.ok() && !HasPieces(read.value->board)) Remove(file);  // nothing to bring back
        if (!offered) Remove(lockFile);
        if (!offered || (newest && time <= newestTime)) {
            ::close(lock);
            continue;
        }
        if (claimed_ >= 0) ::close(claimed_);
        claimed_ = lock, claimedFile_ = file, newest = read.value, newestTime = time;
    }
    return newest;
}

void GameInProgress::ForgetAbandoned() {
    if (claimed_ < 0) return;
    Remove(claimedFile_);
    Remove(WithExtension(claimedFile_, kLockExtension));
    ::close(claimed_);
    claimed_ = -1;
}

}  // namespace murlen
