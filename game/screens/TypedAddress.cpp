#include "TypedAddress.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace skyscuffle {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), isDigit);
}

std::vector<std::string_view> split(std::string_view s, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = s.find(separator, from);
        parts.push_back(s.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos)
            return parts;
        from = at + 1;
    }
}

// Four decimal parts of 0 to 255, without leading zeros (which some readers
// take for octal).
bool isDottedIPv4(std::string_view host)
{
    const auto parts = split(host, '.');
    if (parts.size() != 4)
        return false;
    return std::all_of(parts.begin(), parts.end(), [](std::string_view part) {
        if (!allDigits(part) || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
            return false;
        return std::stoi(std::string(part)) <= 255;
    });
}

// Labels of letters, digits and inner hyphens, 1 to 63 characters each, 253
// at most in all; the last label is not all digits.
bool isHostName(std::string_view host)
{
    if (host.empty() || host.size() > 253)
        return false;
    const auto labels = split(host, '.');
    for (std::string_view label : labels) {
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
            return false;
        const bool allowed = std::all_of(label.begin(), label.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-';
        });
        if (!allowed)
            return false;
    }
    return !allDigits(labels.back());
}

} // namespace

std::string TypedAddress::text() const
{
    return port == 0 ? host : host + ":" + std::to_string(port);
}

std::optional<TypedAddress> TypedAddress::parse(std::string_view typed)
{
    const char* blanks = " \t\r\n";
    const std::size_t first = typed.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return std::nullopt;
    typed = typed.substr(first, typed.find_last_not_of(blanks) - first + 1);

    TypedAddress address;
    std::string_view host = typed;
    if (const std::size_t colon = typed.find(':'); colon != std::string_view::npos) {
        const std::string_view port = typed.substr(colon + 1);
        if (!allDigits(port) || port.size() > 5)
            return std::nullopt; // no port, a second colon, or not a number
        const int value = std::stoi(std::string(port));
        if (value < 1 || value > 65535)
            return std::nullopt;
        address.port = static_cast<std::uint16_t>(value);
        host = typed.substr(0, colon);
    }
    if (isDottedIPv4(host))
        address.dotted = true;
    else if (!isHostName(host))
        return std::nullopt;
    address.host = std::string(host);
    return address;
}

} // namespace skyscuffle
