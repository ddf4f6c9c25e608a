#include "PlayerPlane.h"

#include "MatchSettings.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/PlaneDecisionTree.h"
#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/common/Arena.h"
#include "game/common/ArenaLayout.h"
#include "game/common/CallRefusals.h"
#include "game/common/Tags.h"
#include "game/effects/Particles.h"
#include "game/effects/PlayerPingSpawner.h"
#include "game/effects/ShadowOfObject.h"
#include "game/effects/Taunter.h"
#include "game/flight/PlanePhysics.h"
#include "game/flight/RollByPitch.h"
#include "game/input/AutoFire.h"
#include "game/input/VirtualGamepad.h"
#include "game/looks/MatchModel.h"
#include "game/looks/ModelLook.h"
#include "game/match/PlayerSpawnComp.h"
#include "game/players/PlayerInfo.h"
#include "game/powerups/InvincibilityPower.h"
#include "game/weapons/BasicGun.h"
#include "game/weapons/HitClaim.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/ConstantRotation.h"
#include "engine/physics/Glide.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "engine/resources/ResourceManagers.h"

#include <cmath>

namespace skyscuffle {

namespace {

kit::Component* networked(kit::Component* c)
{
    c->addTag(kit::tagId("networked"));
    return c;
}

kit::EntityHandle part(kit::World& world, kit::EntityHandle plane, const std::string& model, LookSpec look)
{
    const kit::EntityHandle e = world.createEntity();
    world.addComponent(e, new kit::Label(tags::gameSpace));
    world.addComponent(e, new kit::Transform(plane, glm::vec3(0.0f)));
    world.addComponent(e, matchModel(model));
    world.addComponent(e, new ModelLook(std::move(look)));
    return e;
}

// Another copy's plane glides between its records, carried forward by the
// link's delay along its own flight rules (PlanePhysics::glides).
kit::Glide* planeGlide()
{
    if (!PlanePhysics::glides())
        return nullptr;
    kit::GlideCorrection::Settings settings;
    settings.seconds = matchSettings::glideSeconds.value();
    settings.snapDistance = matchSettings::snapDistance.value();
    settings.maxCorrectionSpeed = matchSettings::correctionSpeed.value();
    return new kit::Glide(settings);
}

} // namespace

void spawnPlayer(kit::EntityHandle player, glm::vec3 position, glm::quat rotation)
{
    kit::World* world = player.world;
    if (!world)
        return;
    const std::optional<glm::quat> turn = kit::received::rotation(rotation);
    if (!arena::planeBounds().contains(position) || !turn) {
        refuseCall("spawnPlayer", "a plane placed outside the arena or turned by no rotation");
        return;
    }
    const auto* info = world->getComponent<PlayerInfo>(player.id);
    if (!info || world->getComponent<kit::Transform>(player.id))
        return;

    // The propeller spins about the nose (the plane's own Z) with the throttle.
    const kit::EntityHandle propeller = part(*world, player, "models/playerPlane/propellor.obj",
                                             LookSpec{"shaders/tanSpaceNormalMapping.txt", "", "", {}});
    world->addComponent(propeller, new kit::ConstantRotation(glm::vec3(0.0f, 0.0f, 1.0f), 16.0f));

    // What the plane's copy may say of it: near the arena, no faster than a
    // plane, and of its own size (a peer's plane is never hidden by a scale
    // of nothing, turned inside out or blown up over the screen).
    auto* place = new kit::Transform(position, glm::vec3(1.0f), glm::normalize(*turn));
    place->receivedBounds = arena::planeBounds();
    place->receivedScale = kit::received::Box{glm::vec3(1.0f), glm::vec3(1.0f)};
    world->addComponent(player, networked(place));
    auto* flight = new kit::RigidBody(false, glm::vec3(0.0f), {}, 1.0f, 0.5f);
    flight->receivedSpeedLimit = arena::fastestPlane;
    world->addComponent(player, networked(flight));
    world->addComponent(player, networked(new PlanePhysics(propeller)));
    world->addComponent(player, networked(new Health(10.0f)));
    if (kit::Glide* glide = planeGlide()) {
        glide->carry = [player](kit::GlideCorrection::Pose& pose, glm::vec3& velocity, float seconds) {
            if (auto* flight = player.world->getComponent<PlanePhysics>(player.id))
                flight->carryForward(pose.position, pose.rotation, velocity, seconds);
            else
                kit::GlideCorrection::straight(pose, velocity, seconds);
        };
        // A replay's records play as they were taken: no link lies between.
        glide->glides = !world->separateCopy;
        world->addComponent(player, networked(glide));
    }
    // Where it has been lately: what a peer's claim of a hit on it is judged against.
    if (leadsProjectiles() && world->owns(player.id))
        world->addComponent(player, new RecentPlaces);
    world->addComponent(player, new Score); // counted by every copy, never taken from another
    world->addComponent(player, new RollByPitch);
    world->addComponent(player, new kit::CircleCollider(2.0f));
    world->addComponent(player, matchModel("models/playerPlane/playerPlane.obj"));
    world->addComponent(player, new ModelLook(LookSpec{"shaders/planeShader.txt",
                                                       "models/playerPlane/playerNormal.png",
                                                       info->modelTexture,
                                                       {{"saturation", 0.25f}}}));
    world->addComponent(player, new Taunter);
    world->addComponent(player, new InvincibilityPower);
    for (const char* label : {tags::hasGravity, tags::plane, tags::gameSpace, "cameraFocus"})
        world->addComponent(player, new kit::Label(label));
    if (auto* ai = world->getComponent<ArtificialIntelligence>(player.id))
        world->addComponent(player, new PlaneDecisionTree(ai));
    // A plane comes back in the open sky of the arena's spawn circle.
    world->addComponent(player, new PlayerSpawnComp(layoutOf(world).spawnCentre, 0.0f, Health::respawnSeconds));
    world->addComponent(player, new PlayerPingSpawner);

    // The shadow: a dark quad lying on the ground under the plane.
    const kit::EntityHandle shadow = world->createEntity();
    world->addComponent(shadow, new kit::Label(tags::gameSpace));
    world->addComponent(shadow,
                        new kit::Transform(glm::vec3(position.x, ShadowOfObject::groundHeight, position.z),
                                           glm::vec3(10.0f), glm::angleAxis(-1.5707964f, glm::vec3(1.0f, 0.0f, 0.0f))));
    auto* quad = new kit::Model(kit::objManager().prefetch("models/quad.obj"), true);
    quad->material = particleMaterial("images/shadow.png");
    quad->setUniform("color", glm::vec3(0.0f));
    quad->setUniform("alpha", 1.0f);
    world->addComponent(shadow, quad);
    world->addComponent(shadow, new ShadowOfObject(player));

    const kit::EntityHandle gun =
        part(*world, player, "models/playerPlane/basicGuns.obj",
             LookSpec{"shaders/tanSpaceNormalMapping.txt", "models/playerPlane/Basic_Normal.png", "", {}});
    world->addComponent(gun, new BasicGun(player, "basicShot"));
    // The gun of a player flown from this copy may fire by itself (the
    // player's choice), from the start of each match.
    if (world->getComponent<VirtualGamepad>(player.id))
        world->addComponent(player, new AutoFire);
}

} // namespace skyscuffle
