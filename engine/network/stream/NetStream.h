#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/core/EntityID.h"

#include <boost/container/small_vector.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace kit {

// The one serialisation stream of the game: component state, remote-call
// arguments and packets are written and read through it. One serialize per
// type works in both directions: while `writing` it appends the value, else it
// reads the next value into it.
//
// Wire form (bits are packed most significant first, with no gaps):
//   bool                 1 bit, 1 = true
//   8/16/32-bit values   big-endian (network byte order); floats as their IEEE-754 bits;
//                        enumerations as 32-bit integers
//   std::string          16-bit length, then padding to the next byte boundary, then the bytes
//   glm vec2/vec3/quat   x, y(, z)(, w) as floats
//   EntityID             origin, serial (two 32-bit unsigned)
//   EntityHandle         its EntityID only; the reader keeps its own world
//   nested NetStream     32-bit length in bits, then exactly those bits
//
// Reading past the end is not an error: a read for which too few bits remain
// leaves the target unchanged and the read position where it was.
class NetStream {
public:
    // An empty stream for writing.
    NetStream() = default;
    // A stream for reading, holding a copy of the bytes.
    NetStream(const std::uint8_t* data, std::size_t bytes);

    bool writing = true;

    void serialize(bool& value);
    void serialize(std::uint8_t& value);
    void serialize(std::uint16_t& value);
    void serialize(std::int32_t& value);
    void serialize(std::uint32_t& value);
    void serialize(float& value);
    void serialize(std::string& value);
    void serialize(glm::vec2& value);
    void serialize(glm::vec3& value);
    void serialize(glm::quat& value);
    void serialize(EntityID& value);
    void serialize(EntityHandle& value);
    void serialize(NetStream& nested);

    template <class E>
        requires std::is_enum_v<E>
    void serialize(E& value)
    {
        auto raw = static_cast<std::int32_t>(value);
        serialize(raw);
        if (!writing)
            value = static_cast<E>(raw);
    }

    // Appends a value whatever the direction; the direction is restored.
    template <class T>
    void write(const T& value)
    {
        T copy = value;
        const bool was = writing;
        writing = true;
        serialize(copy);
        writing = was;
    }

    // Reads a value whatever the direction; returns whether enough bits were left.
    template <class T>
    bool read(T& value)
    {
        const bool was = writing;
        const std::size_t before = readBits_;
        writing = false;
        serialize(value);
        writing = was;
        return readBits_ != before;
    }

    [[nodiscard]] std::size_t bitsUsed() const { return usedBits_; }
    [[nodiscard]] std::size_t bitsRead() const { return readBits_; }
    [[nodiscard]] std::size_t bitsLeft() const { return usedBits_ - readBits_; }
    [[nodiscard]] std::size_t bytesUsed() const { return (usedBits_ + 7) / 8; }
    [[nodiscard]] const std::uint8_t* data() const { return buffer_.data(); }

    void resetReading() { readBits_ = 0; }
    void clear();

    // Raw bit access, most significant bit of each byte first.
    void writeBits(const std::uint8_t* source, std::size_t bits);
    [[nodiscard]] bool readBits(std::uint8_t* target, std::size_t bits);
    // Moves the write or read position to the next byte boundary.
    void alignWrite() { usedBits_ = (usedBits_ + 7) & ~std::size_t(7); ensureBytes(bytesUsed()); }
    void alignRead() { readBits_ = std::min((readBits_ + 7) & ~std::size_t(7), usedBits_); }

    // The largest string the 16-bit length can describe.
    static constexpr std::size_t maxStringLength = 0xFFFF;

private:
    template <std::size_t N>
    void serializeBytes(std::uint8_t (&bigEndian)[N], bool& ok);
    void ensureBytes(std::size_t bytes);

    // Small streams (most packets and every component record) stay inline.
    boost::container::small_vector<std::uint8_t, 256> buffer_;
    std::size_t usedBits_ = 0;
    std::size_t readBits_ = 0;
};

} // namespace kit
