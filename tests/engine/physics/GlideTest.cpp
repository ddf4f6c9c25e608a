// Another copy's entity follows its owner's records in a glide, and only its
// owner's records move it.
#include "PhysicsWorld.h"

#include "engine/network/stream/NetStream.h"
#include "engine/physics/Glide.h"

#include <glm/geometric.hpp>

namespace {

constexpr std::uint32_t peer = 0xBEEF;

struct Glides : test::PhysicsWorld {
    // A body another copy owns, following its records.
    kit::RigidBody* remoteCircle(std::uint32_t serial, glm::vec2 at, float radius, glm::vec2 velocity = {},
                                 bool follows = true)
    {
        const kit::EntityHandle e{kit::EntityID{peer, serial}, world.get()};
        world->emplaceComponent<kit::Transform>(e, glm::vec3(at, 0.0f));
        world->emplaceComponent<kit::CircleCollider>(e, radius);
        if (follows)
            world->emplaceComponent<kit::Glide>(e);
        return world->emplaceComponent<kit::RigidBody>(e, false, glm::vec3(velocity, 0.0f), std::vector<kit::TagId>{},
                                                       1.0f, 1.0f);
    }
    // A record as the network system takes it: the transform written, then told.
    static void record(kit::Glide& glide, kit::Transform& transform, glm::vec3 at, float delay)
    {
        transform.position = at;
        ++transform.recordsTaken;
        glide.stateArrived(delay);
    }
};

TEST_F(Glides, AFollowingBodyIsNotPushedHereAndThisCopysOwnTakesOnlyItsShare)
{
    kit::RigidBody* own = circleBody({0, 0}, 1.0f, {2, 0}, 1.0f, 1.0f);
    kit::RigidBody* remote = remoteCircle(1, {1.5f, 0}, 1.0f, {-2, 0});
    world->update(0.0f);
    // The own body moves out by its half of the overlap and takes its half of
    // the impulse; the other is left where and as its owner has it.
    EXPECT_NEAR(transformOf(own)->position.x, -0.25f, 1e-5f);
    EXPECT_NEAR(transformOf(remote)->position.x, 1.5f, 1e-6f);
    EXPECT_EQ(remote->velocity, glm::vec3(-2, 0, 0));
    EXPECT_LT(own->velocity.x, 0.0f);
    // Both know of the contact (a ram needs it).
    ASSERT_EQ(own->contacts.size(), 1u);
    ASSERT_EQ(remote->contacts.size(), 1u);
    EXPECT_EQ(remote->contacts[0].other.id, own->entityId);
}

TEST_F(Glides, AFollowingBodyStillMeetsTheWalls)
{
    wall({-10, -1}, 20, 1); // the ground, its top at y = 0
    kit::RigidBody* remote = remoteCircle(1, {0, 0.5f}, 1.0f, {0, -5});
    world->update(0.0f);
    EXPECT_NEAR(transformOf(remote)->position.y, 1.0f, 1e-4f);
    EXPECT_GE(remote->velocity.y, 0.0f);
}

TEST_F(Glides, AnotherCopysBodyThatFollowsNoRecordsIsPushedAsEver)
{
    kit::RigidBody* own = circleBody({0, 0}, 1.0f, {}, 1.0f, 0.0f);
    kit::RigidBody* remote = remoteCircle(1, {1.5f, 0}, 1.0f, {}, false);
    world->update(0.0f);
    EXPECT_NEAR(transformOf(own)->position.x, -0.25f, 1e-5f);
    EXPECT_NEAR(transformOf(remote)->position.x, 1.75f, 1e-5f);
}

TEST_F(Glides, ARecordIsBlendedInFromWhereTheEntityWasShown)
{
    kit::RigidBody* remote = remoteCircle(1, {0, 0}, 1.0f, {10, 0});
    auto* glide = world->getComponent<kit::Glide>(remote->entityId);
    kit::Transform* shown = transformOf(remote);
    record(*glide, *shown, {0, 0, 0}, 0.0f); // the first: taken
    world->update(0.1f);                     // flies on: x = 1
    EXPECT_NEAR(shown->position.x, 1.0f, 1e-4f);
    // The owner says it is at x = 2 (0.1 s ago, at 10 a second): 3 by now.
    record(*glide, *shown, {2, 0, 0}, 0.1f);
    EXPECT_NEAR(shown->position.x, 1.0f, 1e-4f); // shown where it was
    EXPECT_NEAR(glide->correction().pendingOffset().x, 2.0f, 1e-4f);
    for (int i = 0; i < 60; ++i)
        world->update(1.0f / 60.0f);
    // A second later: 3 + 10 and nothing pending.
    EXPECT_NEAR(shown->position.x, 13.0f, 1e-3f);
    EXPECT_NEAR(glm::length(glide->correction().pendingOffset()), 0.0f, 1e-3f);
}

TEST_F(Glides, StateWithoutANewTransformRecordChangesNothing)
{
    kit::RigidBody* remote = remoteCircle(1, {0, 0}, 1.0f);
    auto* glide = world->getComponent<kit::Glide>(remote->entityId);
    kit::Transform* shown = transformOf(remote);
    record(*glide, *shown, {0, 0, 0}, 0.0f);
    world->update(1.0f / 60.0f);
    shown->position = glm::vec3(5, 0, 0); // moved without a record (not one of the owner's)
    glide->stateArrived(0.1f);
    EXPECT_EQ(shown->position, glm::vec3(5, 0, 0));
    EXPECT_EQ(glide->correction().snaps(), 1u);
}

TEST_F(Glides, TheOwnersGlideOnlyKeepsTheClockItStampsWith)
{
    auto e = world->createEntity();
    auto* transform = world->emplaceComponent<kit::Transform>(e, glm::vec3(1, 2, 0));
    auto* glide = world->emplaceComponent<kit::Glide>(e);
    world->update(0.25f);
    world->update(0.5f);
    transform->position = glm::vec3(4, 0, 0);
    ++transform->recordsTaken;
    glide->stateArrived(0.1f);
    EXPECT_EQ(transform->position, glm::vec3(4, 0, 0)); // never corrected: it is the owner's
    kit::NetStream out;
    glide->serialize(out);
    kit::NetStream in(out.data(), out.bytesUsed());
    std::uint32_t ms = 0;
    ASSERT_TRUE(in.read(ms));
    EXPECT_EQ(ms, 750u);
    EXPECT_EQ(glide->networkTypeName(), "glide");
    EXPECT_TRUE(glide->hasTag(kit::tagId("followsState")));
}

TEST_F(Glides, TheOwnersStampsPutRecordsInOrder)
{
    kit::RigidBody* remote = remoteCircle(1, {0, 0}, 1.0f);
    auto* glide = world->getComponent<kit::Glide>(remote->entityId);
    kit::Transform* shown = transformOf(remote);
    auto stamped = [&](std::uint32_t ms, glm::vec3 at) {
        kit::NetStream stamp;
        stamp.write(ms);
        kit::NetStream reading(stamp.data(), stamp.bytesUsed());
        glide->serialize(reading);
        record(*glide, *shown, at, 0.0f);
    };
    stamped(1000, {0, 0, 0});
    world->update(1.0f / 60.0f);
    stamped(1100, {1, 0, 0});
    EXPECT_NEAR(glide->correction().pendingOffset().x, 1.0f, 1e-5f);
    // An older one after it: the entity stays where it is shown.
    stamped(1050, {9, 0, 0});
    EXPECT_NEAR(shown->position.x, 0.0f, 1e-5f);
    EXPECT_NEAR(glide->correction().pendingOffset().x, 1.0f, 1e-5f);
    // A stamp cut short changes nothing.
    kit::NetStream shortStamp;
    shortStamp.write(std::uint16_t{7});
    kit::NetStream reading(shortStamp.data(), shortStamp.bytesUsed());
    glide->serialize(reading);
    record(*glide, *shown, {2, 0, 0}, 0.0f); // unstamped: taken
    EXPECT_NEAR(glide->correction().pendingOffset().x, 2.0f, 1e-5f);
}

TEST_F(Glides, AGlideThatDoesNotGlideTakesRecordsAsTheyCameAndKeepsTheirStamp)
{
    kit::RigidBody* remote = remoteCircle(1, {0, 0}, 1.0f, {10, 0});
    auto* glide = world->getComponent<kit::Glide>(remote->entityId);
    glide->glides = false;
    kit::Transform* shown = transformOf(remote);
    record(*glide, *shown, {0, 0, 0}, 0.1f);
    world->update(1.0f / 60.0f);
    record(*glide, *shown, {3, 0, 0}, 0.1f);
    EXPECT_EQ(shown->position, glm::vec3(3, 0, 0)); // not carried, not blended
    EXPECT_EQ(glide->correction().snaps(), 0u);
    world->update(1.0f / 60.0f);
    EXPECT_NEAR(shown->position.x, 3.0f + 10.0f / 60.0f, 1e-4f); // flown on by its body alone
    // Written back, another copy's glide is the stamp its owner sent.
    kit::NetStream stamp;
    stamp.write(std::uint32_t{123456});
    kit::NetStream reading(stamp.data(), stamp.bytesUsed());
    glide->serialize(reading);
    kit::NetStream out;
    glide->serialize(out);
    kit::NetStream back(out.data(), out.bytesUsed());
    std::uint32_t ms = 0;
    ASSERT_TRUE(back.read(ms));
    EXPECT_EQ(ms, 123456u);
}

} // namespace
