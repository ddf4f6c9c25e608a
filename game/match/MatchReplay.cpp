#include "MatchReplay.h"

#include "MatchSettings.h"

#include "game/players/PlayerInfo.h"
#include "game/replays/MatchRecording.h"
#include "game/replays/ReplayShelf.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <ctime>
#include <sstream>

namespace skyscuffle {
namespace {

std::string localTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// What a match plays by besides its rules, so that its replay can say so.
const kit::SettingDeclaration* const playedBy[] = {&matchSettings::gravity};

std::string secondsText(float seconds)
{
    std::ostringstream text;
    text << seconds;
    return text.str();
}

} // namespace

kit::ReplayHeader matchReplayHeader(kit::World& world, const ScoreTable& table, const std::optional<MatchRules>& rules)
{
    kit::ReplayHeader header;
    header.recordedAt = localTimeNow();
    if (const kit::NetworkSystem* network = kit::NetworkSystem::of(&world))
        header.localOrigin = network->origin();
    for (const ScoreEntry& entry : table) {
        const PlayerInfo* info = world.getComponent<PlayerInfo>(entry.plane);
        header.players.push_back(kit::ReplayPlayer{info ? info->colourName : std::string("A player who left"),
                                                   info ? info->colour : glm::vec3(0.6f), entry.points});
    }
    const auto best = std::max_element(table.begin(), table.end(),
                                       [](const ScoreEntry& a, const ScoreEntry& b) { return a.points < b.points; });
    if (best != table.end())
        header.winner = header.players[static_cast<std::size_t>(best - table.begin())].name;
    const MatchRules played = rules.value_or(chosenRules());
    header.settings.emplace_back(matchSettings::matchLength.key(), secondsText(played.seconds));
    header.settings.emplace_back(matchSettings::pickups.key(), std::to_string(static_cast<int>(played.pickups)));
    header.settings.emplace_back(matchSettings::mode.key(), std::to_string(static_cast<int>(played.mode)));
    header.settings.emplace_back(matchSettings::roundsToWin.key(), std::to_string(played.roundsToWin));
    header.settings.emplace_back(matchSettings::friendlyFire.key(), played.friendlyFire ? "1" : "0");
    header.settings.emplace_back(matchSettings::arena.key(), std::to_string(played.arena));
    for (const kit::SettingDeclaration* setting : playedBy) {
        if (kit::settings::has(setting->key()))
            header.settings.emplace_back(setting->key(), kit::settings::get<std::string>(setting->key(), ""));
    }
    return header;
}

bool replaysWanted()
{
    return !matchSettings::replayFile.value().empty() || matchSettings::replaysKept.value() > 0;
}

void keepMatchReplay(kit::World& world, const ScoreTable& table, const std::optional<MatchRules>& rules)
{
    lastShelvedReplay().reset(); // the win screen offers this match's replay or none
    MatchRecording* recording = MatchRecording::of(&world);
    if (!recording || !recording->recorder())
        return;
    kit::ReplayRecorder& recorder = *recording->recorder();
    recorder.stop();
    const kit::Replay replay = recorder.replay(matchReplayHeader(world, table, rules));
    const std::string file = matchSettings::replayFile.value();
    if (!file.empty()) {
        std::string error;
        if (!kit::writeReplayFile(file, replay, error))
            kit::log::warn() << "The match's replay is not kept: " << error;
        return;
    }
    const int keep = matchSettings::replaysKept.value();
    if (keep > 0)
        shelveReplay(replay, replayDirectory(), keep);
}

} // namespace skyscuffle
