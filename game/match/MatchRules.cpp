#include "MatchRules.h"

#include "MatchSettings.h"

#include "game/common/CallRefusals.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <cmath>

namespace skyscuffle {

namespace {

// Kept as the Options screen keeps its choices: the player's own file, for
// every run from now on.
void keep(const std::string& key, const std::string& value)
{
    kit::settings::clearForRun(key);
    kit::settings::setPlayer(key, value);
    kit::settings::keepPlayerChoices();
}

} // namespace

MatchRules chosenRules()
{
    MatchRules rules;
    rules.seconds = std::clamp(matchSettings::matchLength.value(), 1.0f, longestMatch);
    rules.pickups = static_cast<Pickups>(matchSettings::pickups.value());
    return rules;
}

std::optional<MatchRules> receivedRules(float seconds, std::int32_t pickups)
{
    if (!std::isfinite(seconds) || seconds < 1.0f || seconds > longestMatch)
        return std::nullopt;
    if (pickups < static_cast<std::int32_t>(Pickups::off) || pickups > static_cast<std::int32_t>(Pickups::many))
        return std::nullopt;
    return MatchRules{seconds, static_cast<Pickups>(pickups)};
}

std::optional<MatchRules> rulesOfCall(kit::World* world, float seconds, std::int32_t pickups)
{
    std::optional<MatchRules> rules = receivedRules(seconds, pickups);
    if (!rules) {
        refuseCall(fn::matchRules.name, "a match shorter than a second, longer than an hour or of unknown pick-ups");
        if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
            network->refuseRunningCall();
    }
    return rules;
}

float pickupShare(Pickups pickups)
{
    switch (pickups) {
    case Pickups::off:
        return 0.0f;
    case Pickups::few:
        return 0.5f;
    case Pickups::many:
        return 2.0f;
    case Pickups::normal:
        break;
    }
    return 1.0f;
}

const char* nameOf(Pickups pickups)
{
    switch (pickups) {
    case Pickups::off:
        return "off";
    case Pickups::few:
        return "few";
    case Pickups::many:
        return "many";
    case Pickups::normal:
        break;
    }
    return "normal";
}

std::string describeLength(float seconds)
{
    const int whole = static_cast<int>(std::lround(seconds));
    if (whole % 60 == 0)
        return std::to_string(whole / 60) + " min";
    const int s = whole % 60;
    return std::to_string(whole / 60) + (s < 10 ? ":0" : ":") + std::to_string(s);
}

std::string describe(const MatchRules& rules)
{
    return describeLength(rules.seconds) + ", pick-ups " + nameOf(rules.pickups);
}

void chooseNextLength()
{
    // The next whole minute up from now, round to one after ten.
    const int minutes = static_cast<int>(std::floor(chosenRules().seconds / 60.0f)) + 1;
    const int next = minutes > longestChoice ? 1 : minutes;
    keep(matchSettings::matchLength.key(), std::to_string(next * 60));
    kit::log::info() << "Match length " << next << " min";
}

void chooseNextPickups()
{
    const int next = (static_cast<int>(chosenRules().pickups) + 1) % 4;
    keep(matchSettings::pickups.key(), std::to_string(next));
    kit::log::info() << "Pick-ups " << nameOf(static_cast<Pickups>(next));
}

std::optional<MatchRules>& hostsRules()
{
    static std::optional<MatchRules> rules;
    return rules;
}

} // namespace skyscuffle
