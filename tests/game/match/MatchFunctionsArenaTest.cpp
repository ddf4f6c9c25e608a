// The named functions of a match on every edge of the arena: a plane, a
// pick-up and a power may be put right on it, and not a float past it.
#include "game/common/Arena.h"
#include "game/common/GameMath.h"
#include "game/common/PrintableText.h"
#include "game/flight/PlanePhysics.h"
#include "game/match/MatchFunctions.h"
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

// A point on each face of where a plane or a pick-up may be, and the next
// float past it, with the other coordinates well inside.
struct ArenaFace {
    const char* name;
    glm::vec3 inside, outside;
};

std::vector<ArenaFace> arenaFaces()
{
    const kit::received::Box box = arena::planeBounds();
    return {
        {"left", {box.low.x, 0, 0}, {test::justPast(box.low.x), 0, 0}},
        {"right", {box.high.x, 0, 0}, {test::justPast(box.high.x), 0, 0}},
        {"bottom", {0, box.low.y, 0}, {0, test::justPast(box.low.y), 0}},
        {"top", {0, box.high.y, 0}, {0, test::justPast(box.high.y), 0}},
        {"behind", {0, 0, box.low.z}, {0, 0, test::justPast(box.low.z)}},
        {"before", {0, 0, box.high.z}, {0, 0, test::justPast(box.high.z)}},
    };
}

kit::EntityHandle playerOf(kit::World& world, std::uint32_t serial)
{
    const kit::EntityHandle player{kit::EntityID{0x7777, serial}, &world};
    world.addComponent(player, new PlayerInfo(playerColours()[serial % 6], 1));
    return player;
}

} // namespace

TEST(ArenaBounds, APlaneMayBeAMarginBeyondEachWallAndNoFurther)
{
    // The walls' open area, (-91.5, -51) to (91.5, 81), a hundred units more every way.
    const kit::received::Box box = arena::planeBounds();
    EXPECT_EQ(box.low, glm::vec3(-191.5f, -151.0f, -100.0f));
    EXPECT_EQ(box.high, glm::vec3(191.5f, 181.0f, 100.0f));
    for (const ArenaFace& face : arenaFaces()) {
        EXPECT_TRUE(box.contains(face.inside)) << face.name;
        EXPECT_FALSE(box.contains(face.outside)) << face.name;
    }
}

TEST_F(Handlers, APlaneSpawnsOnEveryEdgeOfTheArenaAndNotAFloatPastIt)
{
    std::uint32_t serial = 1;
    for (const ArenaFace& face : arenaFaces()) {
        const kit::EntityHandle taken = playerOf(*world, serial++), refused = playerOf(*world, serial++);
        spawnPlayer(taken, face.inside, glm::quat(1, 0, 0, 0));
        spawnPlayer(refused, face.outside, glm::quat(1, 0, 0, 0));
        const auto* placed = world->getComponent<kit::Transform>(taken.id);
        ASSERT_NE(placed, nullptr) << face.name;
        EXPECT_EQ(placed->position, face.inside) << face.name;
        EXPECT_EQ(world->getComponent<kit::Transform>(refused.id), nullptr) << face.name;
    }
    // A rotation long enough to turn by (squared length a millionth), and one just short of it.
    const kit::EntityHandle turned = playerOf(*world, serial++), unturned = playerOf(*world, serial++);
    spawnPlayer(turned, glm::vec3(0), glm::quat(0.00101f, 0, 0, 0));
    spawnPlayer(unturned, glm::vec3(0), glm::quat(0.00099f, 0, 0, 0));
    EXPECT_NE(world->getComponent<kit::Transform>(turned.id), nullptr);
    EXPECT_EQ(world->getComponent<kit::Transform>(unturned.id), nullptr);
}

TEST_F(Handlers, APlanesRecordsMayPutItOnEveryEdgeOfTheArenaOfItsOwnSizeAtTheFastestAPlaneFlies)
{
    const kit::EntityHandle player = playerOf(*world, 1);
    spawnPlayer(player, glm::vec3(0), glm::quat(1, 0, 0, 0));
    auto* place = world->getComponent<kit::Transform>(player.id);
    auto* flight = world->getComponent<kit::RigidBody>(player.id);
    ASSERT_TRUE(place && flight);
    auto receive = [&](glm::vec3 at) {
        kit::NetStream s;
        for (float f : {at.x, at.y, at.z, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f})
            s.write(f);
        s.writing = false;
        place->serialize(s);
    };
    for (const ArenaFace& face : arenaFaces()) {
        receive(glm::vec3(1, 2, 3));
        receive(face.inside);
        EXPECT_EQ(place->position, face.inside) << face.name;
        receive(face.outside);
        EXPECT_EQ(place->position, face.inside) << face.name << ": just past it";
    }
    // A plane keeps its own size: a record of any other, however near, changes nothing.
    auto resize = [&](glm::vec3 scale) {
        kit::NetStream s;
        for (float f : {5.0f, 6.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, scale.x, scale.y, scale.z})
            s.write(f);
        s.writing = false;
        place->serialize(s);
    };
    const float over = test::justPast(1.0f), under = test::justShort(1.0f);
    for (const glm::vec3 scale : {glm::vec3(over, 1, 1), glm::vec3(1, under, 1), glm::vec3(1, 1, over), glm::vec3(0.0f),
                                  glm::vec3(-1.0f), glm::vec3(1000.0f)}) {
        resize(scale);
        EXPECT_EQ(place->scale, glm::vec3(1.0f)) << scale.x << " " << scale.y << " " << scale.z;
        EXPECT_NE(place->position, glm::vec3(5, 6, 0)) << "the whole record is refused";
    }
    resize(glm::vec3(1.0f));
    EXPECT_EQ(place->position, glm::vec3(5, 6, 0));

    auto speed = [&](glm::vec3 velocity) {
        kit::NetStream s;
        s.write(velocity);
        s.write(1.0f);
        s.writing = false;
        flight->serialize(s);
        return flight->velocity;
    };
    // At most arena::fastestPlane, 2000 units a second.
    EXPECT_EQ(speed(glm::vec3(0, -2000.0f, 0)), glm::vec3(0, -2000.0f, 0));
    EXPECT_EQ(speed(glm::vec3(test::justPast(2000.0f), 0, 0)), glm::vec3(2000.0f, 0, 0));
}

TEST_F(Handlers, PrintableTextRunsFromSpaceToTildeAndNoFurther)
{
    // (a taunt that passes is drawn, which takes a display: the render tests take the edges)
    EXPECT_TRUE(isPrintable(" ~"));
    for (const char c : {'\x1f', '\x7f', '\x80', '\0'})
        EXPECT_FALSE(isPrintable(std::string("a") + c)) << int(static_cast<unsigned char>(c));
    network->callFunction(fn::print, world->systemEntity(), " edges~");
    network->callFunction(fn::print, world->systemEntity(), "unit\x1fseparator");
    network->callFunction(fn::print, world->systemEntity(), "delete\x7f");
    finish();
    EXPECT_EQ(out, " edges~\n");
}

TEST_F(Handlers, PickUpsAreOfKindsZeroToFiveOnEveryEdgeOfTheArena)
{
    auto pickUp = [&](glm::vec3 at, int kind) {
        const kit::EntityHandle item = world->createEntity();
        spawnPowerup(item, at, static_cast<PowerEnum>(kind));
        return world->entityHasTag(item.id, kit::tagId("pickUpItem"));
    };
    EXPECT_FALSE(pickUp(glm::vec3(0), -1));
    EXPECT_TRUE(pickUp(glm::vec3(0), 0));
    EXPECT_TRUE(pickUp(glm::vec3(0), 5));
    EXPECT_FALSE(pickUp(glm::vec3(0), 6));
    for (const ArenaFace& face : arenaFaces()) {
        EXPECT_TRUE(pickUp(face.inside, 1)) << face.name;
        EXPECT_FALSE(pickUp(face.outside, 1)) << face.name;
    }
}

TEST_F(Handlers, PowersAreOfKindsOneToFiveTakenOnEveryEdgeOfTheArena)
{
    std::uint32_t serial = 1;
    // Whether the plane got a power, and whether anything at all came of the call (a burst, a sound).
    auto grant = [&](glm::vec3 at, int kind) {
        const PlaneRig plane =
            PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xBAD, serial++});
        const std::size_t parts = world->componentsOf(plane.entity.id)->size();
        const std::uint64_t made = world->entitiesMade();
        grantPower(plane.entity, at, static_cast<PowerEnum>(kind));
        return std::pair(world->componentsOf(plane.entity.id)->size() > parts, world->entitiesMade() > made);
    };
    const auto granted = std::pair(true, true), nothing = std::pair(false, false);
    EXPECT_EQ(grant(glm::vec3(0), 0), nothing); // a wild pick-up grants one of the others, never itself
    EXPECT_EQ(grant(glm::vec3(0), 1), granted);
    EXPECT_EQ(grant(glm::vec3(0), 5), granted);
    EXPECT_EQ(grant(glm::vec3(0), 6), nothing);
    EXPECT_EQ(grant(glm::vec3(0), -1), nothing);
    for (const ArenaFace& face : arenaFaces()) {
        EXPECT_EQ(grant(face.inside, 2), granted) << face.name;
        EXPECT_EQ(grant(face.outside, 2), nothing) << face.name;
    }
}
