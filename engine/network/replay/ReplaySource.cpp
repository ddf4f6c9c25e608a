#include "ReplaySource.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace kit {

std::size_t ReplayBytes::read(std::uint8_t* to, std::size_t count)
{
    count = std::min(count, left());
    if (count > 0)
        std::memcpy(to, bytes_.data() + at_, count);
    at_ += count;
    return count;
}

ReplayFileSource::ReplayFileSource(const std::string& path) : file_(path, std::ios::binary)
{
    std::error_code failed;
    const std::uintmax_t size = std::filesystem::file_size(path, failed);
    if (failed || !file_)
        file_.close(); // a directory opens, but has no size to read
    else
        left_ = static_cast<std::size_t>(size);
}

std::size_t ReplayFileSource::read(std::uint8_t* to, std::size_t count)
{
    count = std::min(count, left_);
    if (count == 0)
        return 0;
    file_.read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(count));
    const auto got = static_cast<std::size_t>(file_.gcount());
    // A file that shrank or failed under us ends here.
    left_ = got < count ? 0 : left_ - got;
    return got;
}

} // namespace kit
