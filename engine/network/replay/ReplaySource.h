#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <span>
#include <string>

namespace kit {

// Where a replay file's bytes come from, read forward: bytes in memory, or a
// file read a piece at a time (never held whole).
class ReplaySource {
public:
    virtual ~ReplaySource() = default;
    // Up to `count` bytes into `to`; how many were read (fewer only at the end).
    virtual std::size_t read(std::uint8_t* to, std::size_t count) = 0;
    [[nodiscard]] virtual std::size_t left() const = 0;

    // Exactly `count` bytes, or false with nothing read.
    bool readExactly(std::uint8_t* to, std::size_t count) { return count <= left() && read(to, count) == count; }
};

class ReplayBytes : public ReplaySource {
public:
    explicit ReplayBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t read(std::uint8_t* to, std::size_t count) override;
    [[nodiscard]] std::size_t left() const override { return bytes_.size() - at_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

class ReplayFileSource : public ReplaySource {
public:
    explicit ReplayFileSource(const std::string& path);
    [[nodiscard]] bool isOpen() const { return file_.is_open(); }
    std::size_t read(std::uint8_t* to, std::size_t count) override;
    [[nodiscard]] std::size_t left() const override { return left_; }

private:
    std::ifstream file_;
    std::size_t left_ = 0;
};

} // namespace kit
