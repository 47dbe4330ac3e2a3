// POSIX calls rather than iostreams: they tell a folder from a file, report
// every failed write, and let us flush to the disk before the rename.
#include "files/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

namespace murlen {

namespace {

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Returns false when closing reports an error (a late write failure).
    bool Close() {
        if (fd_ < 0) return true;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_;
};

// Writes all bytes, going on after short writes; false on any error.
bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += std::size_t(written);
    }
    return true;
}

// A new, empty file beside the target that nobody else uses; invalid on failure.
FileDescriptor CreateTemporaryBeside(const std::filesystem::path& target,
                                     std::filesystem::path& temporary) {
    // Writers in several threads draw numbers here.
    static std::atomic<unsigned> counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = ".murlen-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(counter.fetch_add(1) + 1) + ".tmp";
        temporary = target.parent_path() / name;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return FileDescriptor(fd);
        if (errno != EEXIST) break;
    }
    return FileDescriptor(-1);
}

// Makes a finished rename durable. A failure here cannot be undone any more and
// the new file is in place, so it is not reported.
void FlushFolder(const std::filesystem::path& target) {
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) (void)::fsync(fd.get());
}

}  // namespace

ReadResult<FileStart> ReadFileStart(const std::filesystem::path& path, std::uintmax_t maxSize) {
    using Result = ReadResult<FileStart>;
    // O_NONBLOCK keeps a named pipe from blocking the open; it is refused below.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        return Result::Fail(missing ? FileProblem::NotFound : FileProblem::Unreadable);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return Result::Fail(FileProblem::Unreadable);
    }

    // Read to the end or just beyond the limit rather than trusting the size:
    // the file may have changed.
    FileStart start;
    char buffer[64 * 1024];
    while (start.bytes.size() <= maxSize) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return Result::Fail(FileProblem::Unreadable);
        if (count == 0) return Result::Ok(std::move(start));
        start.bytes.append(buffer, std::size_t(count));
    }
    start.bytes.resize(std::size_t(maxSize));
    start.whole = false;
    return Result::Ok(std::move(start));
}

ReadResult<std::string> ReadFileBytes(const std::filesystem::path& path, std::uintmax_t maxSize) {
    using Result = ReadResult<std::string>;
    ReadResult<FileStart> start = ReadFileStart(path, maxSize);
    if (!start.ok()) return Result::Fail(start.problem);
    if (!start.value->whole) return Result::Fail(FileProblem::TooLarge);
    return Result::Ok(std::move(start.value->bytes));
}

std::optional<std::filesystem::path> WriteTemporaryBeside(const std::filesystem::path& target,
                                                          const std::string& bytes) {
    struct stat old {};
    const bool hadOld = ::stat(target.c_str(), &old) == 0;
    if (hadOld && S_ISDIR(old.st_mode)) return std::nullopt;

    std::filesystem::path temporary;
    FileDescriptor fd = CreateTemporaryBeside(target, temporary);
    if (!fd.valid()) return std::nullopt;

    // A replaced file keeps who may read it; a new one gets 0666 less the umask.
    if (hadOld) (void)::fchmod(fd.get(), old.st_mode & 07777);

    const bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (!fd.Close() || !written) {
        ::unlink(temporary.c_str());
        return std::nullopt;
    }
    return temporary;
}

bool PutInPlace(const std::filesystem::path& temporary, const std::filesystem::path& target) {
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    FlushFolder(target);
    return true;
}

FileProblem WriteFileSafely(const std::filesystem::path& path, const std::string& bytes) {
    const std::optional<std::filesystem::path> temporary = WriteTemporaryBeside(path, bytes);
    return temporary && PutInPlace(*temporary, path) ? FileProblem::None : FileProblem::NotWritable;
}

}  // namespace murlen
