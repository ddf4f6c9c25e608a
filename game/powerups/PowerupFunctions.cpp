#include "PowerupFunctions.h"

#include "game/powerups/BombPower.h"
#include "game/powerups/PowerSettings.h"
#include "game/powerups/GatlingGunPower.h"
#include "game/powerups/HealthPower.h"
#include "game/powerups/InvincibilityPower.h"
#include "game/powerups/PowerKinds.h"
#include "game/powerups/ShotgunPower.h"
#include "game/powerups/SpeedPower.h"

#include "game/common/Arena.h"
#include "game/common/Random.h"
#include "game/sound/SoundManager.h"
#include "game/combat/Health.h"
#include "game/effects/Bursts.h"
#include "game/looks/SharedLooks.h"
#include "game/weapons/BombSpawner.h"
#include "game/common/Tags.h"
#include "game/looks/MatchModel.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/CollisionSignal.h"
#include "engine/physics/LifeSpan.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "engine/resources/ResourceManagers.h"

#include <cmath>

namespace skyscuffle {

namespace {

// What a pick-up holds: the kind it grants (a wild one's drawn kind).
class PowerupItem : public kit::Component {
public:
    explicit PowerupItem(PowerEnum kind) : kind(kind) { addClassTags<PowerupItem>("powerupItem"); }
    PowerEnum kind;
};

// Pick-ups appear in the arena; a position far from it is nonsense.
bool inArena(glm::vec3 p)
{
    return arena::planeBounds().contains(p);
}

// A plane this copy knows: a late call about one that is gone does nothing.
bool isPlane(kit::EntityHandle plane)
{
    return plane.world && plane.world->getComponent<Health>(plane.id) &&
           plane.world->getComponent<kit::Transform>(plane.id);
}

} // namespace

void spawnPowerup(kit::EntityHandle handle, glm::vec3 position, PowerEnum kind)
{
    kit::World* world = handle.world;
    const PowerKind* look = powerKind(kind);
    if (!world || !look || !inArena(position))
        return;
    const std::optional<kit::EntityHandle> claimed = world->claimEntity(handle.id);
    if (!claimed)
        return;
    const kit::EntityHandle item = *claimed;
    const PowerEnum granted =
        kind == PowerEnum::wild ? static_cast<PowerEnum>(std::min(1 + static_cast<int>(5.0f * Random::uniform()), 5))
                                : kind;
    // Shared: the copy of whichever plane takes it destroys it everywhere.
    for (const std::string_view label : {std::string_view(tags::pickUpItem), std::string_view("cameraFocus"),
                                         std::string_view(tags::gameSpace), kit::sharedLabel})
        world->addComponent(item, new kit::Label(std::string(label)));
    for (const std::string& label : look->labels)
        world->addComponent(item, new kit::Label(label));
    // A 12 x 12 picture: the shared unit quad, scaled, with the kind's texture.
    world->addComponent(item, new kit::Transform(position, glm::vec3(12.0f, 12.0f, 1.0f)));
    auto* picture = new kit::Model(kit::objManager().prefetch("models/quad.obj"), true);
    picture->material = sharedFlatMaterial(look->sprite);
    world->addComponent(item, picture);
    world->addComponent(item, new kit::CircleCollider(4.0f));
    world->addComponent(item, new kit::LifeSpan(std::clamp(powerSettings::lifespan.value(), 0.0f, 600.0f)));
    world->addComponent(item, new PowerupItem(granted));
    world->addComponent(item, new kit::CollisionSignal(kit::tagId(tags::plane), [](kit::Component* self,
                                                                               kit::EntityHandle plane, glm::vec2) {
        kit::World& w = *self->world;
        // The plane's own copy takes it, for everyone; a wreck flies through.
        const auto* health = w.getComponent<Health>(plane.id);
        if (!w.owns(plane.id) || !health || health->isDead())
            return false;
        const auto* item = w.getComponent<PowerupItem>(self->entityId);
        const auto* at = w.getComponent<kit::Transform>(self->entityId);
        kit::NetworkSystem* network = kit::NetworkSystem::of(&w);
        if (!item || !at || !network)
            return false;
        const PowerEnum kind = item->kind;
        const glm::vec3 where = at->position;
        const kit::EntityHandle taken = self->getEntity();
        network->callFunction(fn::grantPower, plane, where, kind);
        network->callFunction(kit::destroyEntityFunction, taken); // this signal goes with it
        return true;
    }));
}

void grantPower(kit::EntityHandle plane, glm::vec3 position, PowerEnum kind)
{
    const PowerKind* look = powerKind(kind);
    if (kind == PowerEnum::wild || !look || !isPlane(plane) || !inArena(position))
        return;
    kit::World& world = *plane.world;
    if (SoundManager* sounds = SoundManager::of(&world))
        sounds->play("pickUp");
    kit::Component* power = nullptr;
    switch (kind) {
    case PowerEnum::bomb: power = new BombPower; break;
    case PowerEnum::gatling: power = new GatlingGunPower; break;
    case PowerEnum::shotgun: power = new ShotgunPower; break;
    case PowerEnum::speed: power = new SpeedPower; break;
    case PowerEnum::health: power = new HealthPower; break;
    case PowerEnum::wild: break;
    }
    world.addComponent(plane, power);
    powerPickupBurst(world, position, look->burstColour);
}

void grantInvincibility(kit::EntityHandle plane)
{
    if (isPlane(plane))
        plane.world->addComponent(plane, new InvincibilityPower);
}

void spawnBombSpawner(kit::EntityHandle plane, kit::EntityID rackId)
{
    // The plane's own copy makes its rack, under an id of its own.
    if (!isPlane(plane) || rackId.origin != plane.id.origin)
        return;
    kit::World& world = *plane.world;
    const std::optional<kit::EntityHandle> rack = world.claimEntity(rackId);
    if (!rack)
        return;
    world.addComponent(*rack, new kit::Label(tags::gameSpace));
    world.addComponent(*rack, new kit::Transform(plane, glm::vec3(0.0f)));
    world.addComponent(*rack, matchModel("models/smallBomb/smallBomb.obj"));
    world.addComponent(*rack, new BombSpawner(plane, kit::typeId<BombPower>()));
    // Every copy's BombPower learns where its rack is, so that its end can take it away.
    if (auto* power = world.getComponent<BombPower>(plane.id); power && power->weapon.empty())
        power->weapon = *rack;
}

} // namespace skyscuffle
