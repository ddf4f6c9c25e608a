#include "ProjectileFunctions.h"

#include "game/weapons/Bomb.h"
#include "game/weapons/Bullet.h"
#include "game/weapons/ProjectileBudget.h"
#include "game/weapons/ProjectileLead.h"

#include "game/common/Tags.h"
#include "game/looks/MatchModel.h"
#include "game/looks/SharedLooks.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/Body.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/CollisionSignal.h"
#include "engine/physics/LifeSpan.h"
#include "engine/physics/PolygonCollider.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/core/Finite.h"

#include <glm/geometric.hpp>
#include <glm/gtc/quaternion.hpp>

#include <algorithm>
#include <cmath>

namespace skyscuffle {

namespace {

using kit::finite;

// Farther than anything in a match: a position beyond it is nonsense.
constexpr float worldLimit = 10000.0f;

bool sane(glm::vec3 p)
{
    return finite(p.x) && finite(p.y) && finite(p.z) && std::abs(p.x) < worldLimit && std::abs(p.y) < worldLimit &&
           std::abs(p.z) < worldLimit;
}

bool sane(glm::vec2 v)
{
    return finite(v.x) && finite(v.y) && std::abs(v.x) < worldLimit && std::abs(v.y) < worldLimit;
}

} // namespace

void spawnBullet(kit::EntityHandle handle, const std::string& model, const std::string& texture, kit::EntityID owner,
                 float lifespan, float radius, float damage, glm::vec3 position, glm::vec2 velocity)
{
    kit::World* world = handle.world;
    if (!world || model != "models/quad.obj" || texture != "images/bullet.png" || !finite(lifespan) ||
        !finite(radius) || !finite(damage) || !sane(position) || !sane(velocity) || owner.origin != handle.id.origin)
        return;
    if (ProjectileBudget* budget = ProjectileBudget::of(world);
        budget && !budget->admit(handle.id.origin, fn::spawnBullet.name))
        return;
    const std::optional<kit::EntityHandle> claimed = world->claimEntity(handle.id);
    if (!claimed)
        return;
    const kit::EntityHandle bullet = *claimed;
    lifespan = std::clamp(lifespan, 0.0f, 30.0f);
    radius = std::clamp(radius, 0.01f, 10.0f);
    damage = std::clamp(damage, 0.0f, 100.0f);
    ProjectileLead::arrive(*world, handle.id, owner, position, velocity, radius, lifespan); // a peer's, led

    // The streak reaches r ahead of the bullet and 3r behind it along its flight.
    const float angle = std::atan2(velocity.y, velocity.x);
    const glm::quat along = glm::angleAxis(angle, glm::vec3(0.0f, 0.0f, 1.0f));
    world->addComponent(bullet, new kit::Label(tags::gameSpace));
    world->addComponent(bullet, new kit::Transform(position, glm::vec3(4.0f * radius, 2.0f * radius, 1.0f), along));
    auto* look = new kit::Model(kit::objManager().prefetch(model), true);
    look->material = sharedFlatMaterial(texture);
    world->addComponent(bullet, look);
    world->addComponent(bullet, new kit::Body(glm::vec3(velocity, 0.0f)));
    world->addComponent(
        bullet, new kit::PolygonCollider(-3.0f * radius, -radius, 4.0f * radius, 2.0f * radius, 1.0f, 1.0f, angle));
    world->addComponent(bullet, new kit::LifeSpan(lifespan));
    world->addComponent(bullet, new Bullet(damage, kit::EntityHandle{owner, world}));
    world->addComponent(bullet, new kit::CollisionSignal(kit::tagId(tags::plane),
                                                         [](kit::Component* self, kit::EntityHandle other, glm::vec2) {
                                                             Bullet* shot =
                                                                 self->world->getComponent<Bullet>(self->entityId);
                                                             return shot && shot->onHit(other);
                                                         }));
}

void spawnBomb(kit::EntityHandle handle, const std::string& model, kit::EntityID owner, float minDamage,
               float maxDamage, float blastRadius, float bombRadius, float lifespan, glm::vec3 position,
               glm::vec2 velocity)
{
    kit::World* world = handle.world;
    if (!world || model != "models/smallBomb/smallBomb.obj" || !finite(minDamage) || !finite(maxDamage) ||
        !finite(blastRadius) || !finite(bombRadius) || !finite(lifespan) || !sane(position) || !sane(velocity) ||
        owner.origin != handle.id.origin)
        return;
    if (ProjectileBudget* budget = ProjectileBudget::of(world);
        budget && !budget->admit(handle.id.origin, fn::spawnBomb.name))
        return;
    const std::optional<kit::EntityHandle> claimed = world->claimEntity(handle.id);
    if (!claimed)
        return;
    const kit::EntityHandle bomb = *claimed;
    const float radius = std::clamp(bombRadius, 0.1f, 10.0f);
    lifespan = std::clamp(lifespan, 0.0f, 60.0f);
    ProjectileLead::arrive(*world, handle.id, owner, position, velocity, radius, lifespan);

    world->addComponent(bomb, new kit::Label(tags::gameSpace));
    world->addComponent(bomb, new kit::Label(tags::hasGravity));
    world->addComponent(bomb, new kit::Transform(position));
    auto* look = matchModel(model);
    world->addComponent(bomb, look);
    world->addComponent(bomb, new kit::Body(glm::vec3(velocity, 0.0f)));
    world->addComponent(bomb, new kit::CircleCollider(radius));
    world->addComponent(bomb, new kit::LifeSpan(lifespan));
    world->addComponent(bomb, new Bomb(std::clamp(blastRadius, 0.0f, 100.0f), std::clamp(minDamage, 0.0f, 100.0f),
                                       std::clamp(maxDamage, 0.0f, 100.0f), kit::EntityHandle{owner, world}));
    world->addComponent(bomb, new kit::CollisionSignal(kit::tagId("rigidBody"), [](kit::Component* self,
                                                                                   kit::EntityHandle other, glm::vec2) {
                            Bomb* explosive = self->world->getComponent<Bomb>(self->entityId);
                            return explosive && explosive->onHit(other);
                        }));
}

} // namespace skyscuffle
