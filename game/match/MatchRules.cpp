#include "MatchRules.h"

#include "MatchSettings.h"

#include "game/common/ArenaLayout.h"
#include "game/common/CallRefusals.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/Translation.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/stream/NetStream.h"

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
constexpr PickupKind pickupKinds[] = {{0.0f, kit::trLater("off")},
                                      {0.5f, kit::trLater("few")},
                                      {1.0f, kit::trLater("normal")},
                                      {2.0f, kit::trLater("many")}};

const PickupKind& kindOf(Pickups pickups)
{
    const auto i = static_cast<std::size_t>(pickups);
    return i < std::size(pickupKinds) ? pickupKinds[i] : pickupKinds[static_cast<std::size_t>(Pickups::normal)];
}

// The modes' words, in the order of Mode.
constexpr const char* modeNames[] = {kit::trLater("free-for-all"), kit::trLater("last plane standing"),
                                     kit::trLater("team match")};

// The rounds to win the join screen goes round.
constexpr std::int32_t mostRoundsOffered = 5;

} // namespace

void serialize(kit::NetStream& stream, MatchRules& rules)
{
    auto pickups = static_cast<std::int32_t>(rules.pickups);
    auto mode = static_cast<std::int32_t>(rules.mode);
    stream.serialize(rules.seconds);
    stream.serialize(pickups);
    stream.serialize(mode);
    stream.serialize(rules.roundsToWin);
    stream.serialize(rules.friendlyFire);
    stream.serialize(rules.arena);
    rules.pickups = static_cast<Pickups>(pickups);
    rules.mode = static_cast<Mode>(mode);
}

MatchRules chosenRules()
{
    MatchRules rules;
    rules.seconds = std::clamp(matchSettings::matchLength.value(), 1.0f, longestMatch);
    rules.pickups = static_cast<Pickups>(matchSettings::pickups.value());
    rules.mode = static_cast<Mode>(matchSettings::mode.value());
    rules.roundsToWin = matchSettings::roundsToWin.value();
    rules.friendlyFire = matchSettings::friendlyFire.value();
    rules.arena = matchSettings::arena.value();
    return rules;
}

std::optional<MatchRules> receivedRules(const MatchRules& said)
{
    if (!std::isfinite(said.seconds) || said.seconds < 1.0f || said.seconds > longestMatch)
        return std::nullopt;
    const auto pickups = static_cast<std::int32_t>(said.pickups);
    if (pickups < static_cast<std::int32_t>(Pickups::off) || pickups > static_cast<std::int32_t>(Pickups::many))
        return std::nullopt;
    const auto mode = static_cast<std::int32_t>(said.mode);
    if (mode < 0 || mode >= static_cast<std::int32_t>(std::size(modeNames)))
        return std::nullopt;
    if (said.roundsToWin < 1 || said.roundsToWin > mostRoundsToWin)
        return std::nullopt;
    if (said.arena < 0 || said.arena >= arenaCount)
        return std::nullopt;
    return said;
}

std::optional<MatchRules> rulesOfCall(kit::World* world, const MatchRules& said)
{
    std::optional<MatchRules> rules = receivedRules(said);
    if (!rules) {
        refuseCall(fn::matchRules.name,
                   "a match shorter than a second or longer than an hour, of unknown pick-ups, mode or arena, or of "
                   "rounds to win out of bounds");
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

const char* nameOf(Mode mode)
{
    const auto i = static_cast<std::size_t>(mode);
    return i < std::size(modeNames) ? modeNames[i] : modeNames[0];
}

namespace {

std::string describeRules(const MatchRules& rules)
{
    const std::string pickups = std::string(", pick-ups ") + nameOf(rules.pickups);
    if (rules.mode == Mode::lastPlaneStanding)
        return std::string(nameOf(rules.mode)) + ", first to " + std::to_string(rules.roundsToWin) + ", rounds of " +
               describeLength(rules.seconds) + pickups;
    if (rules.mode == Mode::teams)
        return std::string(nameOf(rules.mode)) + ", " + describeLength(rules.seconds) + pickups +
               (rules.friendlyFire ? ", friendly fire on" : ", friendly fire off");
    return std::string(nameOf(rules.mode)) + ", " + describeLength(rules.seconds) + pickups;
}

} // namespace

std::string describe(const MatchRules& rules)
{
    const std::string where = rules.arena == 0 ? "" : ", in the " + arenaLayout(rules.arena).name;
    return describeRules(rules) + where;
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

void chooseNextMode()
{
    const auto next = static_cast<Mode>((static_cast<std::size_t>(chosenRules().mode) + 1) % std::size(modeNames));
    keep(matchSettings::mode.key(), std::to_string(static_cast<int>(next)));
    kit::log::info() << "Mode " << nameOf(next);
}

void chooseNextRoundsToWin()
{
    const std::int32_t now = chosenRules().roundsToWin;
    const std::int32_t next = now >= mostRoundsOffered ? 1 : now + 1;
    keep(matchSettings::roundsToWin.key(), std::to_string(next));
    kit::log::info() << "Rounds to win " << next;
}

void chooseFriendlyFire()
{
    const bool on = !chosenRules().friendlyFire;
    keep(matchSettings::friendlyFire.key(), on ? "1" : "0");
    kit::log::info() << "Friendly fire " << (on ? "on" : "off");
}

void chooseModesOwn()
{
    const Mode mode = chosenRules().mode;
    if (mode == Mode::lastPlaneStanding)
        chooseNextRoundsToWin();
    else if (mode == Mode::teams)
        chooseFriendlyFire();
}

void chooseNextArena()
{
    const std::int32_t now = chosenRules().arena;
    const std::int32_t next = now + 1 >= arenaCount || now < 0 ? 0 : now + 1;
    keep(matchSettings::arena.key(), std::to_string(next));
    kit::log::info() << "Arena " << arenaLayout(next).name;
}

std::optional<MatchRules>& hostsRules()
{
    static std::optional<MatchRules> rules;
    return rules;
}

} // namespace skyscuffle
