#pragma once

#include "engine/network/NetAddress.h"

#include <string>
#include <string_view>

namespace kit {

// A host's public address and game port as a code a friend can read aloud
// or type: "K7M2Q-XB4RTE", five characters, a dash and six. The first ten
// spell the 48 bits of the address and port in a base-32 alphabet of digits
// and capital letters without 0, O, 1 and I (none can be mistaken for
// another); the last is a check character (Luhn mod 32), which catches every
// single mistyped character and nearly every swap of two neighbours.
namespace inviteCode {

inline constexpr std::string_view alphabet = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
inline constexpr std::size_t length = 12; // with the dash

// The code of an address with a port (neither zero).
[[nodiscard]] std::string encode(const NetAddress& address);

// What a text is: something else (an address, a host name), a code with a
// mistake in it, or a code and the address it spells. Case, blanks around it
// and a blank instead of the dash do not matter.
struct Reading {
    enum class Kind { notACode, mistyped, code };
    Kind kind = Kind::notACode;
    NetAddress address; // of a code
};
[[nodiscard]] Reading read(std::string_view text);

} // namespace inviteCode
} // namespace kit
