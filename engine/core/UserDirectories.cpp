#include "UserDirectories.h"

#include <cstdlib>

namespace kit::userDirectories {
namespace {

std::filesystem::path fromVariable(const char* variable, const char* underHome)
{
    // A relative value is invalid by the rules and is ignored.
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        return value;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return std::filesystem::path(home) / underHome;
    return {};
}

} // namespace

std::filesystem::path configHome() { return fromVariable("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path dataHome() { return fromVariable("XDG_DATA_HOME", ".local/share"); }

std::filesystem::path stateHome()
{
    return fromVariable("XDG_STATE_HOME", ".local/state");
}

} // namespace kit::userDirectories
