#pragma once

#include <cstdint>
#include <vector>

// The replay file's numbers: least significant byte first, whatever the machine.
namespace kit::littleEndian {

inline void putU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Four bytes the caller has checked are there.
inline std::uint32_t getU32(const std::uint8_t* bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}

} // namespace kit::littleEndian
