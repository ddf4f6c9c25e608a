#include "MatchRules.h"

#include "MatchSettings.h"

#include "game/common/CallRefusals.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <cmath>
#include <iterator>

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

// Each choice of pick-ups, in the order of Pickups: how often they come
// compared with the usual rate, and its word.
struct PickupKind {
    float share;
    const char* name;
};
constexpr PickupKind pickupKinds[] = {{0.0f, "off"}, {0.5f, "few"}, {1.0f, "normal"}, {2.0f, "many"}};

const PickupKind& kindOf(Pickups pickups)
{
    const auto i = static_cast<std::size_t>(pickups);
    return i < std::size(pickupKinds) ? pickupKinds[i] : pickupKinds[static_cast<std::size_t>(Pickups::normal)];
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
    return kindOf(pickups).share;
}

const char* nameOf(Pickups pickups)
{
    return kindOf(pickups).name;
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
