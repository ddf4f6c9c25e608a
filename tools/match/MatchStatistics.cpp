#include "MatchStatistics.h"

#include "game/camera/SideviewCameraBehavior.h"
#include "game/combat/Health.h"
#include "game/combat/MatchEvents.h"
#include "game/common/ArenaLayout.h"
#include "game/effects/ParticleBudget.h"
#include "game/effects/ParticleLifeSpan.h"
#include "game/match/MatchFunctions.h"
#include "game/match/RoundKeeper.h"
#include "game/match/Rounds.h"
#include "game/players/PlayerInfo.h"
#include "game/weapons/Bomb.h"
#include "game/weapons/Bullet.h"
#include "game/weapons/ProjectileBudget.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"
#include "engine/render/Camera.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>

using namespace skyscuffle;

void MatchStatistics::watch(kit::World& world)
{
    for (const auto& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector())
        players[player.id].colour = world.getComponent<PlayerInfo>(player.id)->colourName;
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network)
        return;
    // Extra handlers beside the game's own: every call is seen once here.
    // Kills and deaths as they are scored (a call alone may not be).
    connections_.emplace_back(MatchEvents::killScored().connect([this, at = &world](kit::EntityHandle plane) {
        if (plane.world == at)
            ++players[plane.id].kills;
    }));
    connections_.emplace_back(MatchEvents::deathScored().connect([this, at = &world](kit::EntityHandle plane) {
        if (plane.world == at)
            ++players[plane.id].deaths;
    }));
    connections_.emplace_back(roundEnded().connect([this](const RoundEnd& end, std::int32_t) {
        ++rounds.played;
        rounds.beforeTheClock += !end.timeUp;
        rounds.wonByNobody += !end.winner;
        if (end.winner)
            ++players[*end.winner].roundsWon;
        rounds.lengths.push_back(clock_ - roundBegan_);
        roundBegan_ = clock_ + roundPause; // the next begins after the pause
    }));
    network->registerFunction(world, fn::grantPower,
                              [this](kit::EntityHandle plane, glm::vec3, PowerEnum) { ++players[plane.id].pickUps; });
    network->registerFunction(world, fn::spawnBullet,
                              [this](kit::EntityHandle, const std::string&, const std::string&, kit::EntityID owner,
                                     float, float, float, glm::vec3, glm::vec2) { ++players[owner].shots; });
    network->registerFunction(world, fn::spawnBomb,
                              [this](kit::EntityHandle, const std::string&, kit::EntityID owner, float, float, float,
                                     float, float, glm::vec3, glm::vec2) { ++players[owner].shots; });
    network->registerFunction(world, fn::endGame, [this](kit::EntityHandle, const ScoreTable& table) {
        if (ended)
            return; // every copy's clock sends one: the match world takes the first
        ended = true;
        finalTable = table;
        for (const ScoreEntry& entry : table)
            players[entry.plane].score = entry.points;
    });
    // The projectiles made here, a peer's refused ones not among them.
    for (const kit::TagId kind : {kit::typeId<Bullet>(), kit::typeId<Bomb>()})
        connections_.emplace_back(
            world.onComponentAdded(kind, [this](kit::Component* c) { fired(c->entityId.origin); }));
    connections_.emplace_back(
        world.onComponentAdded(kit::typeId<ParticleLifeSpan>(), [this](kit::Component*) { ++particlesThisFrame_; }));
    connections_.emplace_back(
        MatchEvents::damaged().connect([this](kit::EntityHandle victim, kit::EntityHandle attacker, float) {
            if (attacker.id != victim.id && players.contains(attacker.id))
                ++players[attacker.id].hits;
        }));
}

namespace {

// The game camera's view of a point: inside the window's picture or not.
bool inView(kit::World& world, glm::vec3 point)
{
    kit::EntityCollection* cameras = world.getEntities(kit::tagId("gameSpace"), kit::typeId<kit::Camera>());
    if (cameras->empty())
        return true;
    const kit::EntityID id = (*cameras->begin()).id;
    const auto* transform = world.getComponent<kit::Transform>(id);
    const auto* camera = world.getComponent<kit::Camera>(id);
    if (!transform || !camera)
        return true;
    const glm::vec4 clip = camera->projection * glm::inverse(transform->worldMatrix()) * glm::vec4(point, 1.0f);
    if (clip.w <= 0.0f)
        return false;
    const glm::vec3 ndc = glm::vec3(clip) / clip.w;
    // Between the near and far planes too: a camera pulled farther back than
    // its far plane shows nothing. NaN fails every comparison: out of view.
    return std::abs(ndc.x) <= 1.0f && std::abs(ndc.y) <= 1.0f && std::abs(ndc.z) <= 1.0f;
}

bool finite(glm::vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Whether the game camera and the point it heads for are finite (true when
// the world has no game camera).
bool cameraFinite(kit::World& world)
{
    kit::EntityCollection* cameras = world.getEntities(kit::tagId("gameSpace"), kit::typeId<kit::Camera>());
    for (const kit::EntityHandle& camera : *cameras) {
        const auto* transform = world.getComponent<kit::Transform>(camera.id);
        if (transform && !finite(transform->worldPosition()))
            return false;
    }
    for (const kit::EntityHandle& target : *world.getEntities(kit::typeId<SideviewCameraBehavior>())) {
        const auto* transform = world.getComponent<kit::Transform>(target.id);
        if (transform && !finite(transform->worldPosition()))
            return false;
    }
    return true;
}

} // namespace

void MatchStatistics::fired(std::uint32_t origin)
{
    std::deque<float>& recent = lastSecond_[origin];
    recent.push_back(clock_);
    while (clock_ - recent.front() >= 1.0f)
        recent.pop_front();
    load.busiestSecond = std::max(load.busiestSecond, static_cast<int>(recent.size()));
}

void MatchStatistics::frame(kit::World& world, float dt)
{
    clock_ += dt;
    if (!sidesKnown_ && world.single<TeamPlay>()) {
        // The host's sides, told before the start.
        sidesKnown_ = true;
        for (const auto& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector())
            players[player.id].side = sideOf(world, player.id);
    }
    if (const ProjectileBudget* projectiles = ProjectileBudget::of(&world))
        load.projectilesRefused = projectiles->refused();
    if (const ParticleBudget* particles = ParticleBudget::of(&world))
        load.particlesLeftOut = particles->leftOut();
    load.peakParticlesPerFrame = std::max(load.peakParticlesPerFrame, particlesThisFrame_);
    particleFrames_.emplace_back(clock_, particlesThisFrame_);
    while (clock_ - particleFrames_.front().first >= 1.0f)
        particleFrames_.pop_front();
    int lastSecond = 0;
    for (const auto& [at, made] : particleFrames_)
        lastSecond += made;
    load.peakParticlesPerSecond = std::max(load.peakParticlesPerSecond, lastSecond);
    particlesThisFrame_ = 0;
    std::map<std::uint32_t, std::size_t> live;
    for (const kit::EntityHandle& bullet : *world.getEntities(kit::typeId<Bullet>()))
        ++live[bullet.id.origin];
    for (const kit::EntityHandle& bomb : *world.getEntities(kit::typeId<Bomb>()))
        ++live[bomb.id.origin];
    for (const auto& [origin, count] : live)
        load.peakProjectiles = std::max(load.peakProjectiles, count);

    if (!cameraFinite(world)) {
        if (camera.nonFinite++ == 0)
            camera.firstNonFinite = camera.frames;
    }
    ++camera.frames;
    for (auto& [id, stats] : players) {
        const auto* body = world.getComponent<kit::RigidBody>(id);
        const auto* health = world.getComponent<Health>(id);
        if (!body || !health || health->isDead()) {
            stats.stillFor = 0.0f;
            stats.placed = false;
            continue;
        }
        ++stats.framesAlive;
        if (const auto* at = world.getComponent<kit::Transform>(id)) {
            const glm::vec3 position = at->worldPosition();
            const bool seen = inView(world, position);
            if (touchesSolid(layoutOf(&world), glm::vec2(position), 0.0f)) {
                ++stats.framesInsideSolid;
                if (!stats.firstInside)
                    stats.firstInside = glm::vec2(position);
            }
            if (!seen)
                ++stats.framesOffScreen;
            if (world.owns(id)) {
                ++camera.ownPlaneFrames;
                camera.ownPlaneFramesInView += seen;
            }
            const bool moved = !stats.placed || glm::length(position - stats.lastPosition) > 1e-3f;
            stats.stillFor = moved ? 0.0f : stats.stillFor + dt;
            stats.longestStill = std::max(stats.longestStill, stats.stillFor);
            stats.lastPosition = position;
            stats.placed = true;
        }
        for (const kit::Contact& contact : body->contacts) {
            const auto* other = world.getComponent<kit::RigidBody>(contact.other.id);
            if (other && other->isStatic != 0.0f) {
                ++stats.framesNearWall;
                break;
            }
        }
    }
}

void MatchStatistics::printCamera(std::FILE* out) const
{
    if (camera.nonFinite == 0)
        std::fprintf(out, "camera: finite throughout");
    else
        std::fprintf(out, "camera: non-finite in %ld of %ld frames, first at frame %ld", camera.nonFinite,
                     camera.frames, camera.firstNonFinite);
    const double inView = camera.ownPlaneFrames > 0 ? 100.0 * static_cast<double>(camera.ownPlaneFramesInView) /
                                                          static_cast<double>(camera.ownPlaneFrames)
                                                    : 100.0;
    std::fprintf(out, ", own planes in view %.1f%% of their frames\n", inView);
}

void MatchStatistics::printRounds(std::FILE* out) const
{
    if (rounds.played == 0)
        return;
    float total = 0.0f, longest = 0.0f;
    for (const float length : rounds.lengths) {
        total += length;
        longest = std::max(longest, length);
    }
    std::fprintf(out,
                 "rounds: %d played, %d before the clock (%.0f%%), %d won by nobody, mean %.1f s, longest %.1f s; "
                 "won:",
                 rounds.played, rounds.beforeTheClock, 100.0 * rounds.beforeTheClock / rounds.played,
                 rounds.wonByNobody, static_cast<double>(total) / rounds.played, static_cast<double>(longest));
    for (const auto& [id, p] : players)
        std::fprintf(out, " %s %d", p.colour.c_str(), p.roundsWon);
    std::fprintf(out, "; lengths:");
    for (const float length : rounds.lengths)
        std::fprintf(out, " %.1f", static_cast<double>(length));
    std::fprintf(out, "\n");
}

void MatchStatistics::printSides(std::FILE* out) const
{
    bool teams = false;
    for (const auto& [id, p] : players)
        teams = teams || p.side.has_value();
    if (!teams)
        return;
    std::array<int, sideCount> points{};
    std::array<std::string, sideCount> who;
    for (const auto& [id, p] : players) {
        if (!p.side)
            continue;
        const auto s = static_cast<std::size_t>(*p.side);
        points[s] += p.score;
        who[s] += (who[s].empty() ? "" : " ") + p.colour;
    }
    std::fprintf(out, "sides: %s %d (%s) %s %d (%s), %s\n", nameOf(Side::sun), points[0], who[0].c_str(),
                 nameOf(Side::moon), points[1], who[1].c_str(),
                 !ended                   ? "no end"
                 : points[0] == points[1] ? "a draw"
                 : points[0] > points[1]  ? "Sun wins"
                                          : "Moon wins");
}

void MatchStatistics::printLoad(std::FILE* out) const
{
    std::fprintf(out,
                 "load: projectiles of one copy live %zu at most, %d within one second at most; particles made "
                 "in one frame %d at most, within one second %d at most; left out by the budgets %ld projectiles, %ld "
                 "particles\n",
                 load.peakProjectiles, load.busiestSecond, load.peakParticlesPerFrame, load.peakParticlesPerSecond,
                 load.projectilesRefused, load.particlesLeftOut);
}
