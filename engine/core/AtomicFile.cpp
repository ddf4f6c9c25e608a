#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kit {
namespace {

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    [[nodiscard]] int get() const { return fd_; }
    // Closes now, reporting whether the last writes made it (close can fail on
    // network file systems).
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string reason() { return std::strerror(errno); }

// Moves the finished temporary file to `path`. Without `replace`, a hard link
// is made instead, which fails where a file is; a file system without hard
// links gets a rename where nothing is yet.
bool place(const std::filesystem::path& temporary, const std::filesystem::path& path, bool replace)
{
    if (replace)
        return ::rename(temporary.c_str(), path.c_str()) == 0;
    if (::link(temporary.c_str(), path.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK)
        return false; // EEXIST among them: the name is taken
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(temporary.c_str(), path.c_str()) == 0;
}

} // namespace

std::string writeFileAtomically(const std::filesystem::path& path, std::string_view contents, bool replace)
{
    // Beside the target, so that the rename stays within one file system; the
    // process id keeps two copies of the game from writing one temporary
    // file, and the count two writes of one copy.
    static std::atomic<unsigned> writes{0};
    const std::filesystem::path temporary =
        path.string() + ".tmp." + std::to_string(::getpid()) + "-" + std::to_string(++writes);
    std::string error;
    {
        Descriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (file.get() < 0)
            return reason();
        for (std::size_t done = 0; done < contents.size() && error.empty();) {
            const ssize_t n = ::write(file.get(), contents.data() + done, contents.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                error = n < 0 ? reason() : "nothing written";
            else
                done += static_cast<std::size_t>(n);
        }
        if (error.empty() && ::fsync(file.get()) != 0)
            error = reason();
        if (!file.close() && error.empty())
            error = reason();
    }
    if (error.empty() && !place(temporary, path, replace))
        error = reason();
    if (!error.empty()) {
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename itself reaches the disk with the directory's entry.
    const std::filesystem::path parent = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    Descriptor directory(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0)
        ::fsync(directory.get());
    return {};
}

} // namespace kit
