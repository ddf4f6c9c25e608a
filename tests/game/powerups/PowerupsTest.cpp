#include "game/common/ArenaLayout.h"
#include "game/effects/EffectSettings.h"
#include "game/effects/SmokeParticleEmitter.h"
#include "game/match/MatchFunctions.h"
#include "game/match/PlayerSpawnComp.h"
#include "game/powerups/BombPower.h"
#include "game/powerups/GatlingGunPower.h"
#include "game/powerups/HealthPower.h"
#include "game/powerups/InvincibilityPower.h"
#include "game/powerups/PowerKinds.h"
#include "game/powerups/PowerupSpawnSystem.h"
#include "game/powerups/ShotgunPower.h"
#include "game/powerups/SpeedPower.h"
#include "game/screens/PowerupCursor.h"
#include "game/weapons/Bomb.h"
#include "game/weapons/BombSpawner.h"
#include "game/weapons/GatlingGun.h"
#include "game/weapons/Shotgun.h"

#include "engine/core/Settings.h"
#include "engine/render/Model.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "game/sound/SoundManager.h"
#include "support/GameWorld.h"
#include "support/PlaneRig.h"

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace skyscuffle;

using test::PlaneRig;

namespace {

struct Powerups : test::GameWorld {
    void SetUp() override
    {
        test::GameWorld::SetUp();
        registerGameplayFunctions(*world);
    }

    kit::EntityHandle pickUp(glm::vec3 at, PowerEnum kind)
    {
        const kit::EntityHandle item = world->createEntity();
        network->callFunction(fn::spawnPowerup, item, at, kind);
        return item;
    }
    template <class T> T* power(const PlaneRig& plane) { return world->getComponent<T>(plane.entity.id); }

    // A plane with a model of its own and a gun's under it, shielded.
    struct Shielded {
        PlaneRig plane;
        kit::Model* body;
        kit::Model* gun;
    };
    Shielded shieldedPlaneWithGun()
    {
        auto plane = PlaneRig::build(*world, glm::vec3(0));
        auto* body = new kit::Model(kit::ResourceHandle<kit::Mesh>{});
        world->addComponent(plane.entity, body);
        const kit::EntityHandle gun = world->createEntity();
        world->addComponent(gun, new kit::Transform(plane.entity, glm::vec3(0)));
        auto* gunModel = new kit::Model(kit::ResourceHandle<kit::Mesh>{});
        world->addComponent(gun, gunModel);
        network->callFunction(fn::grantInvincibility, plane.entity);
        return {plane, body, gunModel};
    }
};

} // namespace

TEST_F(Powerups, WithFourPlayersAPickUpComesEveryQuarterSecondToFiveSeconds)
{
    const kit::EntityHandle host = world->createEntity();
    auto* spawner = new PowerupSpawnSystem(glm::vec2(0.0f), glm::vec2(168.0f, 96.0f), 4.0f);
    world->addComponent(host, spawner);
    float low = 1e9f, high = 0.0f, sum = 0.0f;
    for (int i = 0; i < 4000; ++i) {
        const float next = spawner->nextInterval();
        low = std::min(low, next);
        high = std::max(high, next);
        sum += next;
    }
    EXPECT_GE(low, 0.25f);
    EXPECT_LT(high, 5.0f);
    EXPECT_LT(low, 0.3f);
    EXPECT_GT(high, 4.9f);
    EXPECT_NEAR(sum / 4000.0f, 2.625f, 0.1f);
}

TEST_F(Powerups, PickUpsAppearInsideTheAreaWithEveryKind)
{
    std::set<PowerEnum> kinds;
    std::vector<glm::vec3> places; // of every pick-up, not only those still there at the end
    network->registerFunction(*world, fn::spawnPowerup, [&](kit::EntityHandle, glm::vec3 at, PowerEnum kind) {
        kinds.insert(kind);
        places.push_back(at);
    });
    world->addComponent(world->createEntity(), new PowerupSpawnSystem(glm::vec2(0.0f), glm::vec2(168.0f, 96.0f), 4.0f));
    for (int i = 0; i < 600; ++i)
        world->update(0.5f); // 300 s, each pick-up living 10 s
    ASSERT_GT(places.size(), 50u);
    for (const glm::vec3& p : places) {
        EXPECT_GE(p.x, -84.0f);
        EXPECT_LT(p.x, 84.0f);
        EXPECT_GE(p.y, -48.0f);
        EXPECT_LT(p.y, 48.0f);
    }
    EXPECT_EQ(kinds, (std::set<PowerEnum>{PowerEnum::wild, PowerEnum::bomb, PowerEnum::gatling, PowerEnum::shotgun,
                                          PowerEnum::speed, PowerEnum::health}));
    auto items = world->getEntities(kit::tagId("pickUpItem"))->toVector();
    ASSERT_GT(items.size(), 0u);
    for (const auto& item : items) {
        const glm::vec3 p = world->getComponent<kit::Transform>(item.id)->position;
        EXPECT_GE(p.x, -84.0f);
        EXPECT_LT(p.x, 84.0f);
        EXPECT_GE(p.y, -48.0f);
        EXPECT_LT(p.y, 48.0f);
        EXPECT_TRUE(world->entityHasTag(item.id, kit::tagId("cameraFocus")));
    }
}

TEST_F(Powerups, InAnArenaPickUpsComeClearOfWhatStandsInIt)
{
    std::vector<glm::vec3> places;
    network->registerFunction(*world, fn::spawnPowerup,
                              [&](kit::EntityHandle, glm::vec3 at, PowerEnum) { places.push_back(at); });
    // The harbour's area of pick-ups has a crane, a container, a boat and a lighthouse in it.
    world->addComponent(world->createEntity(), new ArenaPlan(harbour()));
    const ArenaLayout& layout = harbour();
    world->addComponent(world->createEntity(), new PowerupSpawnSystem((layout.pickupLow + layout.pickupHigh) * 0.5f,
                                                                      layout.pickupHigh - layout.pickupLow, 8.0f));
    for (int i = 0; i < 1200; ++i)
        world->update(0.25f);
    ASSERT_GT(places.size(), 200u);
    int nearCrane = 0;
    for (const glm::vec3& p : places) {
        EXPECT_FALSE(touchesSolid(layout, glm::vec2(p), 5.0f)) << p.x << ", " << p.y;
        EXPECT_GE(p.x, layout.pickupLow.x);
        EXPECT_LE(p.x, layout.pickupHigh.x);
        EXPECT_GE(p.y, layout.pickupLow.y);
        EXPECT_LE(p.y, layout.pickupHigh.y);
        nearCrane += p.x < -60.0f && p.y > 0.0f;
    }
    EXPECT_GT(nearCrane, 0) << "the sky around the crane has pick-ups too";
}

TEST(PowerKinds, EachKindLooksAndIsLabelledAsItselfAlone)
{
    const std::pair<PowerEnum, const char*> kinds[] = {{PowerEnum::wild, "wild"},       {PowerEnum::bomb, "bomb"},
                                                       {PowerEnum::gatling, "gatling"}, {PowerEnum::shotgun, "shotgun"},
                                                       {PowerEnum::speed, "speed"},     {PowerEnum::health, "health"}};
    std::set<std::string> sprites;
    std::set<std::tuple<float, float, float>> colours;
    for (const auto& [kind, name] : kinds) {
        const PowerKind* k = powerKind(kind);
        ASSERT_NE(k, nullptr) << name;
        EXPECT_TRUE(sprites.insert(k->sprite).second) << name << " looks like another kind: " << k->sprite;
        EXPECT_TRUE(colours.insert({k->burstColour.x, k->burstColour.y, k->burstColour.z}).second) << name;
        EXPECT_NE(k->sprite.find(name == std::string("bomb")    ? "bombs"
                                 : name == std::string("speed") ? "ram"
                                                                : name),
                  std::string::npos)
            << name << " shows " << k->sprite;
        EXPECT_NE(std::find(k->labels.begin(), k->labels.end(), std::string(name) + "PickUpItem"), k->labels.end())
            << name;
        const bool weapon = kind == PowerEnum::bomb || kind == PowerEnum::gatling || kind == PowerEnum::shotgun;
        EXPECT_EQ(std::find(k->labels.begin(), k->labels.end(), "gunPickUpItem") != k->labels.end(), weapon) << name;
    }
    EXPECT_EQ(powerKind(static_cast<PowerEnum>(6)), nullptr);
    EXPECT_EQ(powerKind(static_cast<PowerEnum>(-1)), nullptr);
}

TEST_F(Powerups, ATouchGrantsThePowerEverywhereAndTheItemGoes)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    const auto item = pickUp(glm::vec3(3, 0, 0), PowerEnum::shotgun);
    EXPECT_TRUE(world->entityHasTag(item.id, kit::tagId("shotgunPickUpItem")));
    EXPECT_TRUE(world->entityHasTag(item.id, kit::tagId("gunPickUpItem")));
    world->update(0.01f);
    EXPECT_FALSE(world->entities.contains(item.id));
    ASSERT_NE(power<ShotgunPower>(plane), nullptr);
    EXPECT_EQ(power<ShotgunPower>(plane)->shotsLeft, 5);
    EXPECT_EQ(world->getEntities(kit::typeId<Shotgun>())->size(), 1u); // its gun hangs under the plane
}

// What a player hears on taking each kind: the pick-up's sound, and the
// health pick-up's own besides.
TEST_F(Powerups, EveryPickUpIsHeardAndHealthAlsoAsHealth)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    audio::AudioSystem audio;
    auto* sounds = new SoundManager(audio);
    world->addComponent(kit::EntityHandle{world->systemEntity(), world.get()}, sounds);
    std::vector<std::string> heard;
    kit::ScopedConnection listening = sounds->played.connect([&](const std::string& name) { heard.push_back(name); });
    for (PowerEnum kind :
         {PowerEnum::bomb, PowerEnum::gatling, PowerEnum::shotgun, PowerEnum::speed, PowerEnum::health}) {
        auto plane = PlaneRig::build(*world, glm::vec3(0));
        heard.clear();
        pickUp(glm::vec3(3, 0, 0), kind);
        world->update(0.01f);
        const auto count = [&](const char* name) { return std::count(heard.begin(), heard.end(), name); };
        EXPECT_EQ(count("pickUp"), 1) << static_cast<int>(kind);
        EXPECT_EQ(count("healthPU"), kind == PowerEnum::health ? 1 : 0) << static_cast<int>(kind);
        world->destroyEntity(plane.entity);
        world->update(0.0f);
    }
    world->destroyComponents(world->systemEntity(), kit::typeId<SoundManager>()); // before the audio goes
}

TEST_F(Powerups, AWreckAndAnotherCopysPlanePassThroughPickUps)
{
    auto wreck = PlaneRig::build(*world, glm::vec3(0));
    wreck.health->damage(wreck.entity, 20.0f);
    auto theirs = PlaneRig::build(*world, glm::vec3(0, 40, 0), glm::vec3(1, 0, 0), kit::EntityID{0xFEED, 4});
    const auto first = pickUp(glm::vec3(1, 0, 0), PowerEnum::speed);
    const auto second = pickUp(glm::vec3(1, 40, 0), PowerEnum::speed);
    world->update(0.01f);
    EXPECT_TRUE(world->entities.contains(first.id));
    EXPECT_TRUE(world->entities.contains(second.id)); // its own copy takes it for it
    EXPECT_EQ(power<SpeedPower>(wreck), nullptr);
    EXPECT_EQ(power<SpeedPower>(theirs), nullptr);
}

TEST_F(Powerups, AWildPickUpGrantsOneOfTheRealKinds)
{
    for (int i = 0; i < 20; ++i) {
        auto plane = PlaneRig::build(*world, glm::vec3(0));
        pickUp(glm::vec3(1, 0, 0), PowerEnum::wild); // concentric circles never touch
        world->update(0.01f);
        EXPECT_NE(world->getComponent(plane.entity.id, kit::tagId("power")), nullptr)
            << "health powers last a frame: look before the next";
        world->destroyEntityNow(plane.entity);
    }
}

TEST_F(Powerups, ANewWeaponReplacesTheOldOneAtOnce)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    network->callFunction(fn::grantPower, plane.entity, glm::vec3(0), PowerEnum::gatling);
    ASSERT_NE(power<GatlingGunPower>(plane), nullptr);
    EXPECT_EQ(world->getEntities(kit::typeId<GatlingGun>())->size(), 1u);
    network->callFunction(fn::grantPower, plane.entity, glm::vec3(0), PowerEnum::shotgun);
    EXPECT_EQ(power<GatlingGunPower>(plane), nullptr);
    EXPECT_EQ(world->getEntities(kit::typeId<GatlingGun>())->size(), 0u);
    EXPECT_NE(power<ShotgunPower>(plane), nullptr);
    EXPECT_EQ(world->getComponentCollection(kit::tagId("gunPower"))->size(), 1u);
    // The gun hangs under the plane in the stage, not on the screen's overlay.
    const kit::EntityID gun = power<ShotgunPower>(plane)->weapon.id;
    EXPECT_TRUE(world->entityHasTag(gun, kit::tagId("gameSpace")));
    EXPECT_FALSE(world->entityHasTag(gun, kit::tagId("hudSpace")));
    // Speed and the shield sit beside a weapon; a second one replaces the first.
    network->callFunction(fn::grantPower, plane.entity, glm::vec3(0), PowerEnum::speed);
    power<SpeedPower>(plane)->timeLeft = 1.0f;
    network->callFunction(fn::grantPower, plane.entity, glm::vec3(0), PowerEnum::speed);
    EXPECT_EQ(power<SpeedPower>(plane)->timeLeft, 5.0f);
    EXPECT_EQ(world->getComponentCollection(kit::typeId<SpeedPower>())->size(), 1u);
    EXPECT_EQ(world->getComponentCollection(kit::tagId("speedPowerEmitter"))->size(), 1u);
    EXPECT_NE(power<ShotgunPower>(plane), nullptr);
}

TEST_F(Powerups, HealthHealsAndClearsTheSmokeInOneFrame)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    plane.health->damage(plane.entity, 6.0f);
    ASSERT_NE(world->getComponent<SmokeParticleEmitter>(plane.entity.id), nullptr);
    network->callFunction(fn::grantPower, plane.entity, glm::vec3(0), PowerEnum::health);
    EXPECT_EQ(plane.health->currentHealth, 10.0f);
    EXPECT_EQ(plane.health->state, Health::healthy);
    EXPECT_EQ(world->getComponent<SmokeParticleEmitter>(plane.entity.id), nullptr);
    world->update(0.01f);
    EXPECT_EQ(power<HealthPower>(plane), nullptr);
}

TEST_F(Powerups, ASpeedPowerRunsOutAndTakesItsTrailWithIt)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    network->callFunction(fn::grantPower, plane.entity, glm::vec3(0), PowerEnum::speed);
    for (int i = 0; i < 40; ++i)
        world->update(0.125f); // 5 s exactly
    EXPECT_NE(power<SpeedPower>(plane), nullptr);
    world->update(0.125f);
    EXPECT_EQ(power<SpeedPower>(plane), nullptr);
    EXPECT_EQ(world->getComponent(plane.entity.id, kit::tagId("speedPowerEmitter")), nullptr);
}

TEST_F(Powerups, TheShieldBlinksThePlaneAndWhatHangsUnderItForTwoSeconds)
{
    auto [plane, body, gunModel] = shieldedPlaneWithGun();
    plane.health->damage(plane.entity, 5.0f);
    EXPECT_EQ(plane.health->currentHealth, 10.0f);
    std::string pattern;
    for (int i = 1; i <= 32; ++i) { // 2 s in frames of a sixteenth
        world->update(0.0625f);
        pattern += body->enabled ? 'S' : 'h';
        EXPECT_EQ(gunModel->enabled, body->enabled);
    }
    // (2, 1.75] shown, (1.75, 1.5] hidden, and so on; at 0 the shield is gone.
    EXPECT_EQ(pattern, "SSShhhhSSSShhhhSSSShhhhSSSShhhhS");
    EXPECT_EQ(power<InvincibilityPower>(plane), nullptr);
    plane.health->damage(plane.entity, 5.0f);
    EXPECT_EQ(plane.health->currentHealth, 5.0f);
}

TEST_F(Powerups, UnderCalmerFlashesTheShieldNeverHidesThePlaneAndItsGlowComesAndGoesSmoothly)
{
    kit::settings::setForRun(effectSettings::calmerFlashes.key(), "1");
    auto [plane, body, gunModel] = shieldedPlaneWithGun();
    float previous = 0.0f, brightest = 0.0f;
    for (int i = 1; i <= 126; ++i) { // the shield's 2 s at 60 frames a second, and a little after
        world->update(1.0f / 60.0f);
        EXPECT_TRUE(body->enabled && gunModel->enabled) << "shown at " << i;
        const auto* light = body->uniform<glm::vec3>("mat_emissive");
        const float glow = light ? light->b : 0.0f;
        const auto* gunLight = gunModel->uniform<glm::vec3>("mat_emissive");
        EXPECT_EQ(gunLight ? gunLight->b : 0.0f, glow) << "its parts glow with it";
        EXPECT_LT(std::abs(glow - previous), 0.05f) << "no jump at " << i;
        previous = glow;
        brightest = std::max(brightest, glow);
    }
    EXPECT_GT(brightest, 0.3f) << "the shield shows";
    EXPECT_EQ(power<InvincibilityPower>(plane), nullptr);
    EXPECT_EQ(body->uniform<glm::vec3>("mat_emissive"), nullptr) << "the plane's own light is back";
    EXPECT_EQ(gunModel->uniform<glm::vec3>("mat_emissive"), nullptr);
    kit::settings::clearForRun(effectSettings::calmerFlashes.key());
}

TEST_F(Powerups, DeathStripsThePowerAndItsWeapon)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    world->addComponent(plane.entity, new PlayerSpawnComp(glm::vec2(0.0f), 0.0f, 2.0f));
    network->callFunction(fn::grantPower, plane.entity, glm::vec3(0), PowerEnum::gatling);
    plane.health->damage(plane.entity, 20.0f);
    world->update(0.05f);
    world->update(0.05f);
    EXPECT_EQ(power<GatlingGunPower>(plane), nullptr);
    EXPECT_EQ(world->getEntities(kit::typeId<GatlingGun>())->size(), 0u);
    for (int i = 0; i < 45; ++i)
        world->update(0.05f);
    EXPECT_NE(power<InvincibilityPower>(plane), nullptr); // respawned, shielded
}

TEST_F(Powerups, BombsDropOnButtonTwoUntilTheRackIsEmpty)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0, 40, 0));
    network->callFunction(fn::grantPower, plane.entity, glm::vec3(0), PowerEnum::bomb);
    auto* bombs = power<BombPower>(plane);
    ASSERT_NE(bombs, nullptr);
    EXPECT_EQ(bombs->shotsLeft, 3);
    ASSERT_FALSE(bombs->weapon.empty());
    EXPECT_NE(world->getComponent<BombSpawner>(bombs->weapon.id), nullptr); // built through "spawnBombSpawner"
    const kit::EntityHandle rack = bombs->weapon;
    plane.gamepad->held[2] = true;
    int dropped = 0;
    for (int i = 0; i < 40; ++i) { // 4 s
        plane.transform->position = glm::vec3(0, 40, 0);
        plane.body->velocity = glm::vec3(0.0f);
        world->update(0.1f);
        dropped = std::max(dropped, 3 - (power<BombPower>(plane) ? power<BombPower>(plane)->shotsLeft : 0));
    }
    EXPECT_EQ(dropped, 3);
    EXPECT_EQ(power<BombPower>(plane), nullptr);
    EXPECT_FALSE(world->entities.contains(rack.id));
}

TEST_F(Powerups, ABombLeavesItsOwnPlaneAndBlowsUpOnAnother)
{
    auto owner = PlaneRig::build(*world, glm::vec3(0, 0, 0));
    auto victim = PlaneRig::build(*world, glm::vec3(0, -6, 0));
    const kit::EntityHandle bomb = world->createEntity();
    network->callFunction(fn::spawnBomb, bomb, "models/smallBomb/smallBomb.obj", owner.entity.id, 0.0f, 20.0f, 10.0f,
                          2.0f, 15.0f, glm::vec3(0, 0, 0), glm::vec2(0, -20));
    world->update(0.01f);
    EXPECT_TRUE(world->entities.contains(bomb.id)); // touching its owner: no bang
    for (int i = 0; i < 20 && world->entities.contains(bomb.id); ++i)
        world->update(0.02f);
    EXPECT_FALSE(world->entities.contains(bomb.id));
    world->update(0.01f); // the blast's turn
    EXPECT_LT(victim.health->currentHealth, 10.0f);
    EXPECT_LT(owner.health->currentHealth, 10.0f); // close to its own bomb too
}

TEST_F(Powerups, LateCallsAboutAPlaneThatIsGoneDoNothing)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    const kit::EntityHandle gone = plane.entity;
    world->destroyEntityNow(gone);
    network->callFunction(fn::grantPower, gone, glm::vec3(0), PowerEnum::gatling);
    network->callFunction(fn::grantInvincibility, gone);
    network->callFunction(fn::spawnBombSpawner, gone, world->createEntity().id);
    EXPECT_EQ(world->componentsOf(gone.id), nullptr);
    EXPECT_TRUE(world->getEntities(kit::typeId<GatlingGun>())->empty());
    network->callFunction(fn::spawnPowerup, world->createEntity(), glm::vec3(0), static_cast<PowerEnum>(9));
    EXPECT_TRUE(world->getEntities(kit::tagId("pickUpItem"))->empty());
}

TEST_F(Powerups, APowerupCursorSwitchesAndShowsItsState)
{
    const kit::EntityHandle e = world->createEntity();
    world->addComponent(e, new kit::Transform());
    auto* picture = new kit::Model(kit::ResourceHandle<kit::Mesh>{}, true);
    world->addComponent(e, picture);
    auto* cursor = new PowerupCursor({}, {});
    world->addComponent(e, cursor);
    cursor->activate();
    EXPECT_FALSE(cursor->on);
    EXPECT_FALSE(cursor->cursorFlag);
    ASSERT_NE(picture->material, nullptr);
    const auto* off = picture->material->texture("diffuseTex");
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->resource, kit::textureManager().prefetch("sprites/menu/gameplay/powerupCursorOff.png").resource);
    cursor->enabled = false;
    cursor->activate();
    EXPECT_FALSE(cursor->on); // a disabled switch stays put
    cursor->enabled = true;
    cursor->activate();
    EXPECT_TRUE(cursor->on);
    EXPECT_EQ(picture->material->texture("diffuseTex")->resource,
              kit::textureManager().prefetch("sprites/menu/gameplay/powerupCursorOn.png").resource);
}
