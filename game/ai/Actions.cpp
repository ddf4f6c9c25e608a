#include "Actions.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/PilotSettings.h"
#include "game/ai/PilotView.h"
#include "game/common/ArenaLayout.h"
#include "game/common/GameMath.h"
#include "game/common/Random.h"
#include "game/common/Tags.h"
#include "game/input/VirtualGamepad.h"

#include "engine/core/World.h"

#include <glm/geometric.hpp>

#include <limits>

namespace skyscuffle {

namespace {

// How far from the middle of the sky an idle pilot circles, units.
constexpr float holdRadius = 30.0f;
// How wide a berth a pilot gives what stands in its way, units.
constexpr float clearance = 6.0f;

} // namespace

void Attack::pressWeapons(ArtificialIntelligence& ai, kit::EntityHandle at, bool dash)
{
    const pilotSettings::Judgement& t = pilotSettings::judgement;
    const kit::EntityHandle plane = ai.getEntity();
    const glm::vec2 toTarget = glm::vec2(pilot::position(at) - pilot::position(plane));
    const float distance = glm::length(toTarget);
    const float onTarget = pilot::cosine(glm::vec2(pilot::nose(plane)), toTarget);
    ai.buttons[VirtualGamepad::gun] = onTarget > t.basicGunAccuracy;
    const PilotSkill skill = skillOf(ai.strength);
    if (skill.gunCone > 0.0f)
        ai.buttons[VirtualGamepad::gun] = onTarget > skill.gunCone; // the level's own: wider fires more, narrower less
    if (dash)
        ai.buttons[VirtualGamepad::dash] = distance < t.maxDashDistance * skill.dashReach;
    kit::World& world = *ai.world;
    const bool shotgun = onTarget > t.shotgunAccuracy && distance < t.maxShotgunDistance &&
                         world.entityHasTag(plane.id, kit::tagId(tags::shotgunPower));
    const bool bomb = (pilot::cosine(toTarget, glm::vec2(0.0f, -1.0f)) > t.bombAccuracy || distance < 4.0f) &&
                      world.entityHasTag(plane.id, kit::tagId(tags::bombPower));
    ai.buttons[VirtualGamepad::special] = skill.usesPowers && (shotgun || bomb);
}

void Attack::perform()
{
    const pilotSettings::Judgement& t = pilotSettings::judgement;
    const kit::EntityHandle plane = ai->getEntity();
    const kit::EntityHandle target{ai->target.id, ai->world};
    if (!pilot::exists(target))
        return;
    const glm::vec2 from(pilot::position(plane));
    const glm::vec2 at(pilot::position(target));
    const glm::vec2 v(pilot::velocity(plane));
    const glm::vec2 w(pilot::velocity(target));
    const glm::vec2 d = at - from;
    // Head-on with a target ahead: aim at it; otherwise lead it.
    const bool headOn = pilot::cosine(d, v) > 0.0f && pilot::cosine(v, w) < -0.95f;
    const glm::vec2 aim = headOn ? at : at + w * pilot::leadTime(glm::length(d), glm::length(w));
    // The aim error: the line to the aim point turned by a random angle.
    const float spread = t.steeringAccuracy * skillOf(ai->strength).aimScale;
    const float error = glm::radians(Random::between(-spread, spread));
    // A target beyond a rock or a crane: round it first, not into it.
    const glm::vec2 way = wayTo(layoutOf(ai->world), from, aim, clearance);
    ai->stick = unitOrZero(turned(way - from, error));
    pressWeapons(*ai, target, true);
}

void Evade::perform()
{
    const pilotSettings::Judgement& t = pilotSettings::judgement;
    const kit::EntityHandle plane = ai->getEntity();
    const kit::EntityHandle threat{ai->threat.id, ai->world};
    if (!pilot::exists(threat))
        return;
    const glm::vec2 from(pilot::position(plane));
    const glm::vec2 there(pilot::position(threat));
    const float range = t.threatRange;
    const glm::vec2 between = there - from;
    if (glm::dot(between, between) <= range * range) {
        const glm::vec2 w(pilot::velocity(threat));
        const glm::vec2 predicted = there + w * pilot::leadTime(glm::length(between), glm::length(w));
        ai->stick = unitOrZero(from - predicted);
    }
    Attack::pressWeapons(*ai, threat, false);
    ai->buttons[VirtualGamepad::dash] = true; // dash away whenever the cooldown allows
}

void FindPowerup::perform()
{
    kit::World* world = ai->world;
    const glm::vec2 from(pilot::position(ai->getEntity()));
    float nearest = std::numeric_limits<float>::max();
    glm::vec2 best(0.0f);
    bool found = false;
    kit::EntityCollection* items = world->getEntities(kit::tagId(label));
    for (auto it = items->begin(); it != items->end(); ++it) {
        const kit::EntityHandle item{(*it).id, world};
        if (!pilot::exists(item))
            continue;
        const glm::vec2 at(pilot::position(item));
        const float distance = glm::length(at - from);
        if (distance < nearest) {
            nearest = distance;
            best = at;
            found = true;
        }
    }
    if (found) {
        ai->stick = unitOrZero(wayTo(layoutOf(world), from, best, clearance) - from);
        return;
    }
    // Nothing to fetch and nobody to fight (the last plane of a round, alone
    // between rounds): hold the middle of the sky rather than glide down onto
    // the floor. Far out, head for it; near it, circle it.
    const ArenaLayout& layout = layoutOf(ai->world);
    const glm::vec2 middle = layout.middle();
    const glm::vec2 out = from - middle;
    ai->stick = glm::length(out) > holdRadius ? unitOrZero(wayTo(layout, from, middle, clearance) - from)
                                              : unitOrZero(glm::vec2(-out.y, out.x));
}

} // namespace skyscuffle
