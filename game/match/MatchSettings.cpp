#include "MatchSettings.h"

namespace skyscuffle::matchSettings {

const kit::Setting<float> matchLength{"tuning.gameWorld.matchLength", 180.0f,
                                      "seconds in a match (in last plane standing, in a round)"};
const kit::Setting<int> pickups{"tuning.gameWorld.pickups",
                                2,
                                "how many pick-ups a match hosted here has: 0 none, 1 few, 2 normal, 3 many",
                                {0, 3}};
const kit::Setting<int> mode{"tuning.gameWorld.mode",
                             0,
                             "how a match hosted here is won: 0 free-for-all, 1 last plane standing, 2 team match",
                             {0, 2}};
const kit::Setting<int> roundsToWin{
    "tuning.gameWorld.roundsToWin", 3, "rounds a plane wins to win a match of last plane standing", {1, 9}};
const kit::Setting<bool> friendlyFire{"tuning.gameWorld.friendlyFire", false,
                                      "whether a side's fire hurts its own planes in a team match hosted here"};
const kit::Setting<int> arena{"tuning.gameWorld.arena",
                              0,
                              "where a match hosted here is flown: 0 the meadow, 1 the canyon, 2 the harbour",
                              {0, 2}};
const kit::Setting<bool> dropIn{"tuning.gameWorld.dropIn", true,
                                "whether a copy that watches a match hosted here may drop its players into it"};
const kit::Setting<int> watchers{
    "tuning.gameWorld.watchers", 8, "copies that may watch a match hosted here at once", {0, 16}};
const kit::Setting<float> gravity{"tuning.gameWorld.gravity", -30.0f,
                                  "the stage's pull, units a second per second (negative: down)"};
const kit::Setting<float> glideSeconds{"tuning.network.glideSeconds",
                                       0.04f,
                                       "the time constant another copy's plane glides to its record with",
                                       {0.001f, {}}};
const kit::Setting<float> snapDistance{"tuning.network.snapDistance",
                                       30.0f,
                                       "a difference from the record beyond which the plane jumps, not glides",
                                       {0.0f, {}}};
const kit::Setting<float> correctionSpeed{
    "tuning.network.correctionSpeed", 500.0f, "the fastest a glide corrects, units a second", {0.0f, {}}};
const kit::Setting<std::string> replayFile{"tuning.replays.file", "",
                                           "write each match's replay to this file instead of the shelf"};
const kit::Setting<int> replaysKept{"tuning.replays.keep", 50,
                                    "how many of its own replays the shelf keeps, the oldest deleted first; 0 "
                                    "records no match"};

} // namespace skyscuffle::matchSettings
