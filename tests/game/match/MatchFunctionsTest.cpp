// The arguments of every named function of a match, as a peer may send
// them: each handler takes only what the game itself would send.
#include "game/match/MatchFunctions.h"
#include "game/common/Arena.h"
#include "game/common/GameMath.h"
#include "game/common/PrintableText.h"
#include "game/flight/PlanePhysics.h"
#include "game/match/PlayerPlane.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"
#include "game/powerups/BombPower.h"
#include "game/weapons/Bomb.h"
#include "game/weapons/Bullet.h"
#include "game/weapons/HitClaim.h"

#include "HandlersFixture.h"
#include "engine/core/Label.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/network/stream/NetStream.h"
#include "engine/physics/Body.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/Glide.h"
#include "engine/physics/LifeSpan.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"
#include "engine/render/Text.h"
#include "support/Edges.h"
#include "support/GameWorld.h"
#include "support/PlaneRig.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

using namespace skyscuffle;

using test::Handlers;
using test::PlaneRig;

namespace {

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();

} // namespace

TEST_F(Handlers, PrintTakesOneLineOfPlainText)
{
    network->callFunction(fn::print, world->systemEntity(), "hello, copies");
    network->callFunction(fn::print, world->systemEntity(), "\x1b[2Jcleared");
    network->callFunction(fn::print, world->systemEntity(), "two\nlines");
    network->callFunction(fn::print, world->systemEntity(), std::string(1001, 'x'));
    network->callFunction(fn::print, world->systemEntity(), std::string(1000, 'y'));
    finish();
    EXPECT_EQ(out, "hello, copies\n" + std::string(1000, 'y') + "\n");
    EXPECT_NE(err.find("Refused \"print\""), std::string::npos);
}

TEST_F(Handlers, ATauntIsShortPrintableText)
{
    const PlaneRig plane = PlaneRig::build(*world, glm::vec3(0));
    network->callFunction(fn::spawnTaunt, plane.entity, std::string(81, 'a'));
    network->callFunction(fn::spawnTaunt, plane.entity, "bell\a");
    network->callFunction(fn::spawnTaunt, plane.entity, std::string("nul\0", 4));
    EXPECT_EQ(texts(), 0u); // (a taunt that passes is drawn: the render tests show one)
    finish();
    int lines = 0;
    for (std::size_t at = err.find("Refused \"spawnTaunt\""); at != std::string::npos;
         at = err.find("Refused \"spawnTaunt\"", at + 1))
        ++lines;
    EXPECT_EQ(lines, 3) << err;
}

TEST_F(Handlers, SoundsComeOnlyFromTheTable)
{
    network->callFunction(fn::playSound, world->systemEntity(), "../../etc/passwd");
    network->callFunction(fn::playSound, world->systemEntity(), "impact");
    finish();
    EXPECT_NE(err.find("Refused \"playSound\": a sound that is not in the game's table\n"), std::string::npos);
    EXPECT_EQ(err.find("passwd"), std::string::npos);
    EXPECT_EQ(err.find("impact"), std::string::npos);
}

TEST_F(Handlers, APlaneSpawnsInsideTheArenaTurnedByARotation)
{
    std::vector<kit::EntityHandle> players;
    for (int i = 0; i < 4; ++i) {
        players.push_back(world->createEntity());
        world->addComponent(players.back(), new PlayerInfo(playerColours()[static_cast<std::size_t>(i)], 1));
    }
    const glm::quat level(1, 0, 0, 0);
    spawnPlayer(players[0], glm::vec3(0, arena::top + arena::margin + 1.0f, 0), level);
    spawnPlayer(players[1], glm::vec3(notANumber, 0, 0), level);
    spawnPlayer(players[2], glm::vec3(0), glm::quat(0, 0, 0, 0));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(world->getComponent<kit::Transform>(players[static_cast<std::size_t>(i)].id), nullptr) << i;
    spawnPlayer(players[3], glm::vec3(arena::right, arena::bottom, 0), glm::quat(0, 0, 0, 2));
    const auto* placed = world->getComponent<kit::Transform>(players[3].id);
    ASSERT_NE(placed, nullptr);
    EXPECT_NEAR(glm::length(placed->rotation), 1.0f, 1e-6f);
}

TEST_F(Handlers, APlanesCopyMayNotSendItFarOutOfTheArenaOrTooFast)
{
    const kit::EntityHandle player{kit::EntityID{0x7777, 1}, world.get()};
    world->addComponent(player, new PlayerInfo(playerColours()[0], 1));
    spawnPlayer(player, glm::vec3(0), glm::quat(1, 0, 0, 0));
    auto* place = world->getComponent<kit::Transform>(player.id);
    auto* flight = world->getComponent<kit::RigidBody>(player.id);
    ASSERT_TRUE(place && flight);
    auto transformRecord = [](glm::vec3 at) {
        kit::NetStream s;
        for (float f : {at.x, at.y, at.z, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f})
            s.write(f);
        s.writing = false;
        return s;
    };
    kit::NetStream far = transformRecord(glm::vec3(arena::right + arena::margin + 1.0f, 0, 0));
    place->serialize(far);
    EXPECT_EQ(place->position, glm::vec3(0));
    kit::NetStream near = transformRecord(glm::vec3(arena::right + 10.0f, arena::bottom - 10.0f, 0));
    place->serialize(near);
    EXPECT_EQ(place->position, glm::vec3(arena::right + 10.0f, arena::bottom - 10.0f, 0));

    kit::NetStream fast;
    for (float f : {0.0f, 9000.0f, 0.0f, 1.0f})
        fast.write(f);
    fast.writing = false;
    flight->serialize(fast);
    EXPECT_NEAR(flight->velocity.y, arena::fastestPlane, 1e-2f);
}

TEST_F(Handlers, ACopyFiresOnlyFromItsOwnPlanes)
{
    const PlaneRig mine = PlaneRig::build(*world, glm::vec3(0));
    const PlaneRig theirs = PlaneRig::build(*world, glm::vec3(0, 30, 0), glm::vec3(1, 0, 0), kit::EntityID{0xBAD, 3});
    auto bullets = [&] { return world->getEntities(kit::typeId<Bullet>())->size(); };
    // Another copy's bullet in the name of this copy's plane, or of a third copy's.
    network->callFunction(fn::spawnBullet, kit::EntityID{0xBAD, 10}, "models/quad.obj", "images/bullet.png",
                          mine.entity.id, 5.0f, 1.0f, 2.0f, glm::vec3(50, 50, 0), glm::vec2(10, 0));
    network->callFunction(fn::spawnBomb, kit::EntityID{0xBAD, 11}, "models/smallBomb/smallBomb.obj",
                          kit::EntityID{0xC0FFEE, 1}, 0.0f, 20.0f, 10.0f, 2.0f, 15.0f, glm::vec3(50, 50, 0),
                          glm::vec2(0));
    EXPECT_EQ(bullets(), 0u);
    EXPECT_FALSE(world->entities.contains(kit::EntityID{0xBAD, 11}));
    network->callFunction(fn::spawnBullet, kit::EntityID{0xBAD, 12}, "models/quad.obj", "images/bullet.png",
                          theirs.entity.id, 5.0f, 1.0f, 2.0f, glm::vec3(50, 50, 0), glm::vec2(10, 0));
    EXPECT_EQ(bullets(), 1u);
}

TEST_F(Handlers, ABombRackIsMadeByItsPlanesCopy)
{
    const PlaneRig theirs = PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xBAD, 3});
    network->callFunction(fn::spawnBombSpawner, theirs.entity, kit::EntityID{0xC0FFEE, 4});
    EXPECT_FALSE(world->entities.contains(kit::EntityID{0xC0FFEE, 4}));
    network->callFunction(fn::spawnBombSpawner, theirs.entity, kit::EntityID{0xBAD, 4});
    EXPECT_NE(world->getComponent<kit::Transform>(kit::EntityID{0xBAD, 4}), nullptr);
}

TEST_F(Handlers, PickUpsAppearInTheArenaAndAnyPlanesCopyMayTakeThem)
{
    const kit::EntityHandle away = world->createEntity();
    network->callFunction(fn::spawnPowerup, away, glm::vec3(0, 5000, 0), PowerEnum::gatling);
    EXPECT_FALSE(world->entityHasTag(away.id, kit::tagId("pickUpItem")));
    const kit::EntityHandle item = world->createEntity();
    network->callFunction(fn::spawnPowerup, item, glm::vec3(10, 10, 0), PowerEnum::gatling);
    EXPECT_TRUE(world->entityHasTag(item.id, kit::tagId("pickUpItem")));
    EXPECT_TRUE(world->entityHasTag(item.id, kit::tagId(std::string(kit::sharedLabel))));
    const PlaneRig plane = PlaneRig::build(*world, glm::vec3(0));
    network->callFunction(fn::grantPower, plane.entity, glm::vec3(notANumber), PowerEnum::bomb);
    EXPECT_EQ(world->getComponent<BombPower>(plane.entity.id), nullptr);
}

namespace {

// One of a projectile's clamped arguments: the value it takes below, at and
// above each end of its range.
struct ClampedArgument {
    const char* name;
    float low, high;
};

// Values a float past each end of a range come out at that end; values a
// float inside it come out as they went in.
template <class Spawn> void expectClamped(const ClampedArgument& range, Spawn spawn)
{
    constexpr float infinity = std::numeric_limits<float>::infinity();
    const float insideLow = std::nextafter(range.low, infinity), insideHigh = std::nextafter(range.high, -infinity);
    EXPECT_EQ(spawn(insideLow), insideLow) << range.name << " just above " << range.low;
    EXPECT_EQ(spawn(std::nextafter(range.low, -infinity)), range.low) << range.name << " just below " << range.low;
    EXPECT_EQ(spawn(insideHigh), insideHigh) << range.name << " just below " << range.high;
    EXPECT_EQ(spawn(std::nextafter(range.high, infinity)), range.high) << range.name << " just above " << range.high;
}

} // namespace

TEST_F(Handlers, ABulletsLifespanRadiusAndDamageAreClampedAtTheEdgesOfTheirRanges)
{
    const PlaneRig theirs = PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xBAD, 3});
    std::uint32_t serial = 100;
    auto bullet = [&](float lifespan, float radius, float damage) {
        const kit::EntityID id{0xBAD, serial++};
        spawnBullet(kit::EntityHandle{id, world.get()}, "models/quad.obj", "images/bullet.png", theirs.entity.id,
                    lifespan, radius, damage, glm::vec3(50, 50, 0), glm::vec2(10, 0));
        return id;
    };
    expectClamped({"lifespan", 0.0f, 30.0f},
                  [&](float v) { return world->getComponent<kit::LifeSpan>(bullet(v, 1.0f, 2.0f))->total; });
    // The streak is four radii long and two wide.
    expectClamped({"radius", 0.01f, 10.0f},
                  [&](float v) { return world->getComponent<kit::Transform>(bullet(5.0f, v, 2.0f))->scale.y / 2.0f; });
    expectClamped({"damage", 0.0f, 100.0f},
                  [&](float v) { return world->getComponent<Bullet>(bullet(5.0f, 1.0f, v))->damage; });
}

TEST_F(Handlers, ABulletWhoseLifespanRadiusOrDamageIsNoNumberIsNotMade)
{
    const PlaneRig theirs = PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xBAD, 3});
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    std::uint32_t serial = 100;
    auto made = [&](float lifespan, float radius, float damage) {
        const kit::EntityID id{0xBAD, serial++};
        spawnBullet(kit::EntityHandle{id, world.get()}, "models/quad.obj", "images/bullet.png", theirs.entity.id,
                    lifespan, radius, damage, glm::vec3(50, 50, 0), glm::vec2(10, 0));
        return world->getComponent<Bullet>(id) != nullptr;
    };
    ASSERT_TRUE(made(5.0f, 1.0f, 2.0f));
    EXPECT_FALSE(made(nan, 1.0f, 2.0f)) << "it would never go away";
    EXPECT_FALSE(made(5.0f, nan, 2.0f));
    EXPECT_FALSE(made(5.0f, 1.0f, nan));
}

TEST_F(Handlers, ABombsRadiiLifespanAndDamageAreClampedAtTheEdgesOfTheirRanges)
{
    const PlaneRig theirs = PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xBAD, 3});
    std::uint32_t serial = 100;
    struct Args {
        float minDamage = 0.0f, maxDamage = 20.0f, blastRadius = 10.0f, bombRadius = 2.0f, lifespan = 15.0f;
    };
    auto bomb = [&](Args a) {
        const kit::EntityID id{0xBAD, serial++};
        spawnBomb(kit::EntityHandle{id, world.get()}, "models/smallBomb/smallBomb.obj", theirs.entity.id, a.minDamage,
                  a.maxDamage, a.blastRadius, a.bombRadius, a.lifespan, glm::vec3(50, 50, 0), glm::vec2(0));
        return id;
    };
    expectClamped({"minimum damage", 0.0f, 100.0f}, [&](float v) {
        Args a;
        a.minDamage = v;
        return world->getComponent<Bomb>(bomb(a))->minDamage;
    });
    expectClamped({"maximum damage", 0.0f, 100.0f}, [&](float v) {
        Args a;
        a.maxDamage = v;
        return world->getComponent<Bomb>(bomb(a))->maxDamage;
    });
    expectClamped({"blast radius", 0.0f, 100.0f}, [&](float v) {
        Args a;
        a.blastRadius = v;
        return world->getComponent<Bomb>(bomb(a))->blastRadius;
    });
    expectClamped({"bomb radius", 0.1f, 10.0f}, [&](float v) {
        Args a;
        a.bombRadius = v;
        return world->getComponent<kit::CircleCollider>(bomb(a))->radius;
    });
    expectClamped({"lifespan", 0.0f, 60.0f}, [&](float v) {
        Args a;
        a.lifespan = v;
        return world->getComponent<kit::LifeSpan>(bomb(a))->total;
    });
}

TEST_F(Handlers, ProjectilesStartShortOfTheWorldsLimitAndNotOnIt)
{
    // Positions and velocities strictly within 10000 units of the origin.
    const PlaneRig theirs = PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xBAD, 3});
    const float limit = 10000.0f, inside = test::justShort(limit);
    struct Row {
        const char* name;
        glm::vec3 position;
        glm::vec2 velocity;
        bool made;
    };
    const Row rows[] = {
        {"x inside", {inside, 0, 0}, {0, 0}, true},    {"x on it", {limit, 0, 0}, {0, 0}, false},
        {"-x inside", {-inside, 0, 0}, {0, 0}, true},  {"-x on it", {-limit, 0, 0}, {0, 0}, false},
        {"y inside", {0, inside, 0}, {0, 0}, true},    {"y on it", {0, limit, 0}, {0, 0}, false},
        {"-y inside", {0, -inside, 0}, {0, 0}, true},  {"-y on it", {0, -limit, 0}, {0, 0}, false},
        {"z inside", {0, 0, inside}, {0, 0}, true},    {"z on it", {0, 0, limit}, {0, 0}, false},
        {"-z inside", {0, 0, -inside}, {0, 0}, true},  {"-z on it", {0, 0, -limit}, {0, 0}, false},
        {"vx inside", {0, 0, 0}, {inside, 0}, true},   {"vx on it", {0, 0, 0}, {limit, 0}, false},
        {"-vx inside", {0, 0, 0}, {-inside, 0}, true}, {"-vx on it", {0, 0, 0}, {-limit, 0}, false},
        {"vy inside", {0, 0, 0}, {0, inside}, true},   {"vy on it", {0, 0, 0}, {0, limit}, false},
        {"-vy inside", {0, 0, 0}, {0, -inside}, true}, {"-vy on it", {0, 0, 0}, {0, -limit}, false},
    };
    std::uint32_t serial = 100;
    for (const Row& row : rows) {
        const kit::EntityID shot{0xBAD, serial++}, dropped{0xBAD, serial++};
        spawnBullet(kit::EntityHandle{shot, world.get()}, "models/quad.obj", "images/bullet.png", theirs.entity.id,
                    5.0f, 1.0f, 2.0f, row.position, row.velocity);
        spawnBomb(kit::EntityHandle{dropped, world.get()}, "models/smallBomb/smallBomb.obj", theirs.entity.id, 0.0f,
                  20.0f, 10.0f, 2.0f, 15.0f, row.position, row.velocity);
        EXPECT_EQ(world->getComponent<Bullet>(shot) != nullptr, row.made) << "bullet, " << row.name;
        EXPECT_EQ(world->getComponent<Bomb>(dropped) != nullptr, row.made) << "bomb, " << row.name;
    }
}

TEST_F(Handlers, EveryPlaneGlidesAndThisCopysOwnKeepItsRecentPlaces)
{
    finish(); // the console is not what this is about
    const kit::EntityHandle theirs{kit::EntityID{0x7777, 1}, world.get()};
    world->addComponent(theirs, new PlayerInfo(playerColours()[0], 1));
    spawnPlayer(theirs, glm::vec3(0), glm::quat(1, 0, 0, 0));
    const kit::EntityHandle mine = world->createEntity();
    world->addComponent(mine, new PlayerInfo(playerColours()[1], 2));
    spawnPlayer(mine, glm::vec3(10, 0, 0), glm::quat(1, 0, 0, 0));
    for (const kit::EntityHandle& plane : {theirs, mine}) {
        const auto* glide = world->getComponent<kit::Glide>(plane.id);
        ASSERT_NE(glide, nullptr);
        EXPECT_TRUE(glide->hasTag(kit::tagId("networked"))) << "its stamp goes with its state";
        EXPECT_TRUE(static_cast<bool>(glide->carry)) << "carried by its own flight";
    }
    EXPECT_EQ(world->getComponent<RecentPlaces>(theirs.id), nullptr) << "its own copy judges hits on it";
    EXPECT_NE(world->getComponent<RecentPlaces>(mine.id), nullptr);
    // The carry flies the plane: pulling up, it climbs.
    auto* flight = world->getComponent<PlanePhysics>(theirs.id);
    flight->enabled = true; // flying, as in a match under way
    flight->steer = glm::vec3(0, 1, 0);
    kit::GlideCorrection::Pose pose{glm::vec3(0.0f), shortestArc(glm::vec3(0, 0, 1), glm::vec3(1, 0, 0))};
    glm::vec3 velocity(40, 0, 0);
    world->getComponent<kit::Glide>(theirs.id)->carry(pose, velocity, 0.1f);
    EXPECT_GT(velocity.y, 1.0f);
}

TEST_F(Handlers, WithoutTheGlideAPlaneTakesItsRecordsAsTheyCome)
{
    kit::settings::set("tuning.network.glide", "0");
    kit::settings::set("tuning.network.projectileLead", "0");
    kit::SettingsEntryBase::refreshAll();
    const kit::EntityHandle mine = world->createEntity();
    world->addComponent(mine, new PlayerInfo(playerColours()[1], 2));
    spawnPlayer(mine, glm::vec3(10, 0, 0), glm::quat(1, 0, 0, 0));
    kit::settings::set("tuning.network.glide", "1");
    kit::settings::set("tuning.network.projectileLead", "1");
    kit::SettingsEntryBase::refreshAll();
    EXPECT_EQ(world->getComponent<kit::Glide>(mine.id), nullptr);
    EXPECT_EQ(world->getComponent<RecentPlaces>(mine.id), nullptr);
}
