#include "TeamMarks.h"

#include "game/combat/Score.h"
#include "game/common/Tags.h"
#include "game/effects/Particles.h"
#include "game/looks/OutlinedText.h"
#include "game/match/HudLayout.h"

#include "engine/core/Label.h"
#include "engine/core/Translation.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/AspectTranslation.h"
#include "engine/render/Model.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceManagers.h"

namespace skyscuffle {

namespace {

// How far over the plane's centre its badge floats, and how wide it is.
constexpr float badgeHeight = 4.5f;
constexpr float badgeSize = 2.6f;

// The badge keeps over its plane, upright whatever the plane does, and goes
// with it.
void follow(kit::World& world, kit::EntityID badge, kit::EntityID plane)
{
    world.addComponent(kit::EntityHandle{badge, &world}, new kit::UpdateSignal([plane](kit::Component* self, float) {
                           kit::World& w = *self->world;
                           const auto* flying = w.getComponent<kit::Transform>(plane);
                           if (!flying) {
                               w.destroyEntity(self->getEntity()); // its plane is gone
                               return;
                           }
                           if (auto* own = w.getComponent<kit::Transform>(self->entityId))
                               own->position = flying->worldPosition() + glm::vec3(0.0f, badgeHeight, 1.0f);
                       }));
}

kit::EntityHandle hudEntity(kit::World& world, glm::vec3 at)
{
    const kit::EntityHandle e = world.createEntity();
    world.addComponent(e, new kit::Label(tags::hudSpace));
    world.addComponent(e, new kit::Transform(at));
    world.addComponent(e, new kit::AspectTranslation(at));
    return e;
}

} // namespace

void beginTeamPlay(kit::World& world, bool friendlyFire)
{
    if (world.single<TeamPlay>())
        return;
    world.addComponent(world.createEntity(), new TeamPlay(friendlyFire));
    showSidePoints(world);
}

void markSides(kit::World& world, std::set<kit::EntityID>& badged)
{
    if (!world.single<TeamPlay>())
        return;
    for (const kit::EntityHandle& plane : world.getEntities(kit::tagId(tags::plane))->toVector()) {
        if (badged.contains(plane.id) || !sideOf(world, plane.id))
            continue;
        markPlane(world, kit::EntityHandle{plane.id, &world});
        badged.insert(plane.id);
    }
}

void markPlane(kit::World& world, kit::EntityHandle plane)
{
    const std::optional<Side> side = sideOf(world, plane.id);
    const auto* at = world.getComponent<kit::Transform>(plane.id);
    if (!side || !at)
        return;
    const kit::EntityHandle badge = world.createEntity();
    world.addComponent(badge, new kit::Label(tags::gameSpace));
    world.addComponent(badge,
                       new kit::Transform(at->position + glm::vec3(0.0f, badgeHeight, 1.0f), glm::vec3(badgeSize)));
    auto* quad = new kit::Model(kit::objManager().prefetch("models/quad.obj"), true);
    quad->material = particleMaterial(badgeOf(*side));
    quad->setUniform("color", glm::vec3(1.0f));
    quad->setUniform("alpha", 1.0f);
    world.addComponent(badge, quad);
    follow(world, badge.id, plane.id);
}

std::array<int, sideCount> sidePoints(kit::World& world, const ScoreTable& table)
{
    std::array<int, sideCount> points{};
    for (const ScoreEntry& entry : table) {
        if (const std::optional<Side> side = sideOf(world, entry.plane))
            points[static_cast<std::size_t>(*side)] += entry.points;
    }
    return points;
}

std::string describeSidePoints(const std::array<int, sideCount>& points)
{
    return kit::tr(nameOf(Side::sun)) + " " + std::to_string(points[0]) + " : " + std::to_string(points[1]) + " " +
           kit::tr(nameOf(Side::moon));
}

void showSidePoints(kit::World& world)
{
    // Either side of the clock: the sun's on the left, the moon's on the right.
    const float size = hud::sidePointsSize(), advance = hud::advance(size);
    const float x = hud::sidePointsX(), y = hud::sidePointsBaseline(), badge = hud::sideBadgeSize();
    const glm::vec3 sunAt(-x, y, 0.0f), moonAt(x, y, 0.0f);
    world.addComponent(hudEntity(world, sunAt + glm::vec3(hud::sideBadgeOffset(true), 0.0f)),
                       kit::Sprite::sharing(kit::textureManager().prefetch(badgeOf(Side::sun)), badge, badge, 0.5f));
    world.addComponent(hudEntity(world, moonAt + glm::vec3(hud::sideBadgeOffset(false), 0.0f)),
                       kit::Sprite::sharing(kit::textureManager().prefetch(badgeOf(Side::moon)), badge, badge, 0.5f));
    const kit::EntityHandle sunText = hudEntity(world, sunAt);
    const kit::EntityHandle moonText = hudEntity(world, moonAt);
    addOutlinedText(world, sunText, "0", glm::vec2(0.0f), size, glm::vec3(1.0f, 0.85f, 0.35f), 1.0f);
    addOutlinedText(world, moonText, "0", glm::vec2(-advance, 0.0f), size, glm::vec3(0.7f, 0.8f, 1.0f), 1.0f);
    world.addComponent(world.createEntity(),
                       new kit::UpdateSignal([sunText, moonText, advance](kit::Component* self, float) {
                           kit::World& w = *self->world;
                           const std::array<int, sideCount> points = sidePoints(w, tableOf(w));
                           const auto show = [&w](kit::EntityHandle e, const std::string& words, float x) {
                               auto* text = w.getComponent<kit::Text>(e.id);
                               if (!text || text->text() == words)
                                   return;
                               setOutlinedText(text, words);
                               const float shift = x - text->origin.x; // the outline keeps its offsets
                               for (kit::Component* c : *w.componentsOf(e.id))
                                   if (auto* part = dynamic_cast<kit::Text*>(c))
                                       part->origin.x += shift;
                           };
                           show(sunText, std::to_string(points[0]), 0.0f);
                           // The moon's points end at the badge, however many digits.
                           const std::string moon = std::to_string(points[1]);
                           show(moonText, moon, -advance * static_cast<float>(moon.size()));
                       }));
}

} // namespace skyscuffle
