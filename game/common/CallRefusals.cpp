#include "CallRefusals.h"

#include "engine/core/Log.h"

#include <map>
#include <string>

namespace skyscuffle {

namespace {

struct Told {
    std::chrono::steady_clock::time_point secondStart;
    bool started = false;
    int lines = 0;
    unsigned untold = 0;
};

} // namespace

void refuseCall(std::string_view function, std::string_view why)
{
    refuseCall(function, why, std::chrono::steady_clock::now());
}

void refuseCall(std::string_view function, std::string_view why, std::chrono::steady_clock::time_point now)
{
    // Keyed by the game's function names and its own reasons: a handful.
    static std::map<std::string, Told, std::less<>> told;
    std::string key(function);
    key.append(1, '\0').append(why);
    auto found = told.find(key);
    if (found == told.end())
        found = told.emplace(std::move(key), Told{}).first;
    Told& t = found->second;
    if (!t.started || now - t.secondStart >= std::chrono::seconds(1)) {
        t.secondStart = now;
        t.started = true;
        t.lines = 0;
    }
    if (t.lines >= refusals::linesPerSecond) {
        ++t.untold;
        return;
    }
    ++t.lines;
    auto line = kit::log::warn();
    line << "Refused \"" << function << "\": " << why;
    if (t.untold > 0)
        line << " (and " << t.untold << " more since)";
    t.untold = 0;
}

} // namespace skyscuffle
