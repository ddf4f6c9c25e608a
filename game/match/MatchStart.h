#pragma once

#include "MatchRules.h"

#include "game/lobby/ComeBack.h"

#include "engine/core/EntityHandle.h"

namespace kit {
class World;
}

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace skyscuffle {

// How a match world shows its match: as this copy's own, as a replay of the
// match that the copy `replayOf` recorded, `length` seconds long, or watched
// live. A replay has its gauges for that copy's players, and a clock that
// ends nothing: the recording does. A copy that watches flies no plane: it
// shows the match its host says is running (see MatchSoFar.h), with a gauge
// for every plane.
struct MatchView {
    std::optional<std::uint32_t> replayOf;
    float length = 0.0f; // 0: the tuning value
    bool watching = false;
};

// What a copy that watches says it shows: "arriving" until its host's word
// of the match came, "watching" after.
inline constexpr char arrivingScreen[] = "arriving";
inline constexpr char watchingScreen[] = "watching";

// Whether a copy that says it shows `screenName` watches the match, or is
// about to.
[[nodiscard]] bool watchesMatch(const std::string& screenName);

// What one match world remembers across its named functions.
struct MatchState {
    bool started = false; // "startGameplay" has run here
    // The host's rules for this match ("matchRules", before the start).
    std::optional<MatchRules> rules;
    bool ended = false; // "endGame" has run here: later ones (every copy's clock sends one) are ignored
    MatchView view;
    // On the hosting copy: when it last told a copy that came to watch how
    // the match stands (its network system's clock).
    std::optional<float> soFarToldAt;
    float runningFor = 0.0f; // seconds since "startGameplay" ran here
    // On the hosting copy: the players of watching copies given a place.
    std::set<kit::EntityID> seated;
    // On a copy that watches: whether its host lets players drop in, and
    // whether one of this copy's did (the copy plays from then on).
    bool dropInOpen = false;
    bool droppedIn = false;
    bool turnedAway = false; // the host has all the watchers it takes
    // A copy that comes back (see MatchReturn.h): every copy's fingerprint by
    // origin, what each copy that left had by fingerprint, and on the hosting
    // copy the points owed to planes that came back.
    struct LeftPlayer {
        std::string colourName;
        int number = 0;
        std::int32_t points = 0;
    };
    std::map<std::uint32_t, comeBack::Fingerprint> tickets;
    std::map<comeBack::Fingerprint, std::vector<LeftPlayer>> departed;
    std::map<kit::EntityID, std::int32_t> pointsBack;
    std::map<std::uint32_t, std::vector<LeftPlayer>> returning; // on the hosting copy, by the new copy's origin
    std::optional<comeBack::Note> comingBack; // on the copy that comes back, until its players are made
    float sinceNote = 0.0f;
    // A match of rounds (last plane standing) as this copy plays it (see RoundKeeper.h).
    struct Rounds {
        std::int32_t over = 0;          // rounds over so far
        std::optional<float> pauseLeft; // after a round: seconds until the next begins
        float running = 0.0f;           // seconds since this round began here
        // On the hosting copy: the planes flying when it began to judge the round.
        std::optional<std::size_t> startedWith;
        bool endSent = false;                   // the hosting copy has ended the match
        std::vector<kit::EntityID> banner;      // the HUD's word of the round just over
        std::optional<kit::EntityID> label;     // "Round 2, first to 3" under the clock
        std::map<kit::EntityID, float> downFor; // the wrecks, and how long each has been down (seconds)
    } rounds;
    std::set<kit::EntityID> badged; // a team match's planes with their side's badge over them
};

// The rules this match plays: its host's, or this copy's own when none came.
[[nodiscard]] MatchRules playedRules(const MatchState& state);

// Seconds a joined copy's match clock runs past the host's before it ends the
// match itself: the host's "endGame" arrives well within it, even resent
// after a loss or two.
inline constexpr float joinedCopyGrace = 2.0f;

// The HUD's gauges of these planes (this copy's own, or every plane for a
// copy that watches) across the foot of the screen, in place of any shown.
void showGauges(kit::World& world, const std::vector<kit::EntityHandle>& planes);

// Where the gauge of this copy's j-th of `count` players sits across the foot
// of the screen, as a fraction of the half-width (-1 to 1): four fit at
// -0.75, -0.25, 0.25, 0.75; five or six share the width evenly so that none
// falls off a 4:3 window, nor the score beside the last one.
float gaugePlace(int j, int count);

// Where the gauges' scores stand at the player's text size: beside each
// gauge, right-aligned in four characters, while that fits (no further over
// the next gauge's ring than at the designed size with six, and inside a 4:3
// window); else over each gauge, centred, in the room between its
// neighbours' (see ScoreCounter).
struct ScoreLayout {
    bool beside = true;
    float size = 0.1f; // line height
    float room = 0.0f; // the width of a score over its gauge
};
[[nodiscard]] ScoreLayout scoreLayout(int count);

// "startGameplay": every copy's players are placed on the spawn circle, in
// the same order on every copy; each copy spawns its own players' planes
// ("spawnPlayer", so that every copy builds them), lays out its own players'
// HUD and the other copies' links (LinkStrip.h), and starts the clock whose
// end calls "endGame".
void startGameplay(kit::EntityHandle entity, const std::shared_ptr<MatchState>& state);

struct MatchSoFar;
// "matchSoFar" in a world that watches and has not started (or a replay of
// one): the snapshot's players and planes are made (takeMatchSoFar), a gauge
// for each, the clock with the time the host has left, and, live, the links
// and the end on this copy's clock should the host's "endGame" not come. The
// copy then says it is "watching". Anywhere else it does nothing.
void startWatching(kit::World& world, const std::shared_ptr<MatchState>& state, const MatchSoFar& soFar);

} // namespace skyscuffle
