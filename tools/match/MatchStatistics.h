#pragma once

#include "game/match/ScoreTable.h"
#include "game/players/Sides.h"

#include "engine/core/EntityID.h"
#include "engine/core/Signal.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace skyscuffle;

namespace kit {
class World;
}

// What the match simulator counts per player, from the match's own events.
struct PlayerStatistics {
    std::string colour;
    int roundsWon = 0;        // last plane standing
    std::optional<Side> side; // a team match
    int kills = 0;
    int deaths = 0;
    int score = 0;
    int pickUps = 0;
    int shots = 0;                        // bullets and bombs fired
    int hits = 0;                         // damage dealt to another plane
    long framesNearWall = 0;              // touching the walls, the floor, the ceiling or an obstacle
    long framesInsideSolid = 0;           // its centre inside a solid part of the arena
    std::optional<glm::vec2> firstInside; // where it was the first time
    long framesAlive = 0;
    long framesOffScreen = 0; // alive and outside the game camera's view
    // Alive and not moving: a plane whose state stopped arriving hangs still.
    float stillFor = 0.0f;     // seconds, the current stretch
    float longestStill = 0.0f; // seconds
    glm::vec3 lastPosition{0.0f};
    bool placed = false;
};

// What the game camera showed, frame by frame.
struct CameraStatistics {
    long frames = 0;
    long nonFinite = 0;       // frames whose camera position or target was NaN or infinite
    long firstNonFinite = -1; // the first such frame, counted from 0
    long ownPlaneFrames = 0;  // this copy's planes alive, summed over the frames
    long ownPlaneFramesInView = 0;
};

// What one copy's weapons and the match's effects asked of this copy: the
// figures the limits on a peer's projectiles and on particles stand against.
struct LoadStatistics {
    std::size_t peakProjectiles = 0; // live bullets and bombs of one copy, at most
    int busiestSecond = 0;           // projectiles one copy fired within one second, at most
    int peakParticlesPerFrame = 0;   // particles made in one frame, at most
    int peakParticlesPerSecond = 0;  // particles made within one second, at most
    // Left out by the match world's budgets (none in an honest match).
    long projectilesRefused = 0;
    long particlesLeftOut = 0;
};

// The rounds of last plane standing as they ended here.
struct RoundStatistics {
    int played = 0;
    int beforeTheClock = 0; // ended by the last plane flying (or none), not by time
    int wonByNobody = 0;
    std::vector<float> lengths; // seconds from a round's start to its end
};

class MatchStatistics {
public:
    // Starts listening to the match world's named functions and damage.
    void watch(kit::World& world);
    // Counts one frame of dt seconds: who is pressed against the arena, who
    // is out of view, who hangs still, and where the camera is.
    void frame(kit::World& world, float dt);
    // One line: "camera: finite throughout" or how often it was not, and the
    // share of its own planes' time this copy showed them.
    void printCamera(std::FILE* out) const;
    // One line: "load: ..." with the figures of LoadStatistics.
    void printLoad(std::FILE* out) const;
    // One line: "rounds: ..." with the figures of RoundStatistics, when any
    // round was played.
    void printRounds(std::FILE* out) const;
    // One line: "sides: Sun 23 (Blue Orange) Moon 19 (Green Red), Sun wins",
    // the final table's points by side, when the match was a team match.
    void printSides(std::FILE* out) const;

    std::map<kit::EntityID, PlayerStatistics> players;
    // The table of the first "endGame" this copy ran: the one its win screen shows.
    ScoreTable finalTable;
    bool ended = false;
    CameraStatistics camera;
    LoadStatistics load;
    RoundStatistics rounds;

private:
    // A projectile of the copy `origin` left now.
    void fired(std::uint32_t origin);

    std::vector<kit::ScopedConnection> connections_;
    float clock_ = 0.0f;                                    // simulated seconds
    bool sidesKnown_ = false;                               // a team match's sides, taken at its start
    float roundBegan_ = 0.0f;                               // simulated seconds, when the round now flown began here
    std::map<std::uint32_t, std::deque<float>> lastSecond_; // per copy, when its recent projectiles left
    int particlesThisFrame_ = 0;
    std::deque<std::pair<float, int>> particleFrames_; // the last second's frames: when, and particles made
};
