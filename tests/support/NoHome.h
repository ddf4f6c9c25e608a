#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace test {

// While it lives, neither HOME nor XDG_DATA_HOME is set, as for a game
// started with a bare environment; both come back as they were.
class NoHome {
public:
    NoHome() : home_(take("HOME")), data_(take("XDG_DATA_HOME")) {}
    NoHome(const NoHome&) = delete;
    NoHome& operator=(const NoHome&) = delete;
    ~NoHome()
    {
        give("HOME", home_);
        give("XDG_DATA_HOME", data_);
    }

private:
    static std::optional<std::string> take(const char* name)
    {
        const char* value = std::getenv(name);
        std::optional<std::string> was = value ? std::optional<std::string>(value) : std::nullopt;
        unsetenv(name);
        return was;
    }
    static void give(const char* name, const std::optional<std::string>& value)
    {
        if (value)
            setenv(name, value->c_str(), 1);
    }

    std::optional<std::string> home_, data_;
};

} // namespace test
