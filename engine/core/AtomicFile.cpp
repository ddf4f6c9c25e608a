#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

} // namespace

std::string writeFileAtomically(const std::filesystem::path& path, std::string_view contents)
{
    // Beside the target, so that the rename stays within one file system; the
    // process id keeps two copies of the game from writing one temporary file.
    const std::filesystem::path temporary = path.string() + ".tmp." + std::to_string(::getpid());
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
    if (error.empty() && ::rename(temporary.c_str(), path.c_str()) != 0)
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
