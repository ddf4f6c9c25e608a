#include "InviteCode.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kit::inviteCode {

namespace {

constexpr std::size_t dataCharacters = 10; // 50 bits: the 48 of the address and port, two zero
constexpr std::size_t dashAt = 5;
constexpr int base = 32;

std::optional<int> valueOf(char c)
{
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    const std::size_t at = alphabet.find(c);
    return at == std::string_view::npos ? std::nullopt : std::optional<int>(static_cast<int>(at));
}

// Luhn mod 32 over the values, from the last one back, every other one doubled.
int luhnSum(const std::array<int, dataCharacters + 1>& values, std::size_t count, bool doubleLast)
{
    int sum = 0;
    bool doubled = doubleLast;
    for (std::size_t i = count; i-- > 0;) {
        int addend = doubled ? 2 * values[i] : values[i];
        addend = addend / base + addend % base;
        sum += addend;
        doubled = !doubled;
    }
    return sum % base;
}

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool letterOrDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::string encode(const NetAddress& address)
{
    std::uint64_t bits = (static_cast<std::uint64_t>(address.ip) << 16) | address.port;
    std::array<int, dataCharacters + 1> values{};
    for (std::size_t i = dataCharacters; i-- > 0;) {
        values[i] = static_cast<int>(bits % base);
        bits /= base;
    }
    values[dataCharacters] = (base - luhnSum(values, dataCharacters, true)) % base;
    std::string code;
    for (std::size_t i = 0; i <= dataCharacters; ++i) {
        if (i == dashAt)
            code += '-';
        code += alphabet[static_cast<std::size_t>(values[i])];
    }
    return code;
}

Reading read(std::string_view text)
{
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    // The shape of a code: five letters or digits, a dash or a blank, six more.
    // (A host name may have that shape too; it is read as a code.)
    if (text.size() != length || !(text[dashAt] == '-' || text[dashAt] == ' '))
        return {};
    for (std::size_t i = 0; i < length; ++i) {
        if (i != dashAt && !letterOrDigit(text[i]))
            return {};
    }
    Reading reading;
    reading.kind = Reading::Kind::mistyped;
    std::array<int, dataCharacters + 1> values{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (i == dashAt)
            continue;
        const std::optional<int> value = valueOf(text[i]);
        if (!value)
            return reading; // 0, O, 1 or I: never in a code
        values[n++] = *value;
    }
    if (luhnSum(values, dataCharacters + 1, false) != 0)
        return reading;
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < dataCharacters; ++i)
        bits = bits * base + static_cast<std::uint64_t>(values[i]);
    const auto ip = static_cast<std::uint32_t>(bits >> 16);
    const auto port = static_cast<std::uint16_t>(bits & 0xFFFF);
    if ((bits >> 48) != 0 || ip == 0 || port == 0)
        return reading; // no code of this game spells these
    reading.kind = Reading::Kind::code;
    reading.address = NetAddress{ip, port};
    return reading;
}

} // namespace kit::inviteCode
