#include "NetStream.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace kit {
namespace {

template <class U>
void toBigEndian(U value, std::uint8_t* bytes)
{
    for (std::size_t i = 0; i < sizeof(U); ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * (sizeof(U) - 1 - i)));
}

template <class U>
U fromBigEndian(const std::uint8_t* bytes)
{
    U value = 0;
    for (std::size_t i = 0; i < sizeof(U); ++i)
        value = static_cast<U>((value << 8) | bytes[i]);
    return value;
}

// Writes or reads an unsigned integer of any width in network byte order.
template <class U>
void serializeUnsigned(NetStream& stream, U& value)
{
    std::uint8_t bytes[sizeof(U)];
    if (stream.writing) {
        toBigEndian(value, bytes);
        stream.writeBits(bytes, sizeof(U) * 8);
    } else if (stream.readBits(bytes, sizeof(U) * 8)) {
        value = fromBigEndian<U>(bytes);
    }
}

} // namespace

NetStream::NetStream(const std::uint8_t* data, std::size_t bytes) : writing(false)
{
    if (bytes > 0 && data != nullptr) {
        buffer_.assign(data, data + bytes);
        usedBits_ = bytes * 8;
    }
}

void NetStream::clear()
{
    buffer_.clear();
    usedBits_ = 0;
    readBits_ = 0;
}

void NetStream::ensureBytes(std::size_t bytes)
{
    // New bytes start at zero: writeBits ORs partial bytes into place.
    if (buffer_.size() < bytes)
        buffer_.resize(std::max(bytes, buffer_.size() * 2), 0);
}

void NetStream::writeBits(const std::uint8_t* source, std::size_t bits)
{
    if (bits == 0)
        return;
    ensureBytes((usedBits_ + bits + 7) / 8);
    std::uint8_t* out = buffer_.data();
    const std::size_t shift = usedBits_ % 8;
    std::size_t at = usedBits_ / 8;

    if (shift == 0 && bits % 8 == 0) {
        std::memcpy(out + at, source, bits / 8);
        usedBits_ += bits;
        return;
    }
    for (std::size_t done = 0; done < bits; done += 8, ++at) {
        const std::size_t take = std::min<std::size_t>(8, bits - done);
        // The source byte's top `take` bits, with the bits below them cleared.
        const auto byte = static_cast<std::uint8_t>(source[done / 8] & (0xFF << (8 - take)));
        out[at] = static_cast<std::uint8_t>(out[at] | (byte >> shift));
        if (shift + take > 8)
            out[at + 1] = static_cast<std::uint8_t>(byte << (8 - shift));
    }
    usedBits_ += bits;
}

bool NetStream::readBits(std::uint8_t* target, std::size_t bits)
{
    if (bits > bitsLeft())
        return false;
    if (bits == 0)
        return true;
    const std::uint8_t* in = buffer_.data();
    const std::size_t shift = readBits_ % 8;
    std::size_t at = readBits_ / 8;

    if (shift == 0 && bits % 8 == 0) {
        std::memcpy(target, in + at, bits / 8);
        readBits_ += bits;
        return true;
    }
    for (std::size_t done = 0; done < bits; done += 8, ++at) {
        const std::size_t take = std::min<std::size_t>(8, bits - done);
        unsigned value = static_cast<unsigned>(in[at]) << shift;
        if (shift + take > 8)
            value |= static_cast<unsigned>(in[at + 1]) >> (8 - shift);
        target[done / 8] = static_cast<std::uint8_t>(value & (0xFF << (8 - take)));
    }
    readBits_ += bits;
    return true;
}

void NetStream::serialize(bool& value)
{
    std::uint8_t bit = value ? 0x80 : 0;
    if (writing)
        writeBits(&bit, 1);
    else if (readBits(&bit, 1))
        value = bit != 0;
}

void NetStream::serialize(std::uint8_t& value)
{
    serializeUnsigned(*this, value);
}

void NetStream::serialize(std::uint16_t& value)
{
    serializeUnsigned(*this, value);
}

void NetStream::serialize(std::uint32_t& value)
{
    serializeUnsigned(*this, value);
}

void NetStream::serialize(std::int32_t& value)
{
    auto raw = static_cast<std::uint32_t>(value);
    serializeUnsigned(*this, raw);
    if (!writing)
        value = static_cast<std::int32_t>(raw);
}

void NetStream::serialize(float& value)
{
    auto raw = std::bit_cast<std::uint32_t>(value);
    serializeUnsigned(*this, raw);
    if (!writing)
        value = std::bit_cast<float>(raw);
}

void NetStream::serialize(std::string& value)
{
    if (writing) {
        // The 16-bit length cannot describe longer strings: they are cut to
        // their first 65535 bytes rather than written with a wrong length.
        const std::size_t length = std::min(value.size(), maxStringLength);
        std::uint16_t length16 = static_cast<std::uint16_t>(length);
        serialize(length16);
        alignWrite();
        writeBits(reinterpret_cast<const std::uint8_t*>(value.data()), length * 8);
        return;
    }
    const std::size_t start = readBits_;
    std::uint16_t length = 0;
    if (!read(length))
        return; // no length: the string keeps its value
    alignRead();
    if (std::size_t(length) * 8 > bitsLeft()) {
        // A short stream: the string reads as empty and nothing is consumed.
        readBits_ = start;
        value.clear();
        return;
    }
    value.assign(reinterpret_cast<const char*>(buffer_.data() + readBits_ / 8), length);
    readBits_ += std::size_t(length) * 8;
}

void NetStream::serialize(glm::vec2& value)
{
    serialize(value.x);
    serialize(value.y);
}

void NetStream::serialize(glm::vec3& value)
{
    serialize(value.x);
    serialize(value.y);
    serialize(value.z);
}

void NetStream::serialize(glm::quat& value)
{
    serialize(value.x);
    serialize(value.y);
    serialize(value.z);
    serialize(value.w);
}

void NetStream::serialize(EntityID& value)
{
    serialize(value.origin);
    serialize(value.serial);
}

void NetStream::serialize(EntityHandle& value)
{
    serialize(value.id);
}

void NetStream::serialize(NetStream& nested)
{
    if (writing) {
        // A nested stream longer than a 32-bit count can say is written empty.
        const std::size_t bits = nested.usedBits_ <= std::numeric_limits<std::uint32_t>::max() ? nested.usedBits_ : 0;
        std::uint32_t count = static_cast<std::uint32_t>(bits);
        serialize(count);
        writeBits(nested.buffer_.data(), bits);
        nested.readBits_ = 0;
        return;
    }
    std::uint32_t count = 0;
    if (!read(count))
        return;
    // Not enough bits for the announced length: nothing is copied (the count
    // stays consumed). So a forged count can never make the copy larger than
    // the packet it came in.
    if (count > bitsLeft())
        return;
    nested.clear();
    nested.ensureBytes((std::size_t(count) + 7) / 8);
    // readBits realigns the bits so that the nested stream starts at a byte.
    if (!readBits(nested.buffer_.data(), count))
        return;
    nested.usedBits_ = count;
    nested.readBits_ = 0;
    nested.writing = false;
}

} // namespace kit
