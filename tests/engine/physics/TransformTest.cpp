#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/network/stream/NetStream.h"
#include "engine/physics/Transform.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <limits>
#include <numbers>

using kit::Transform;

namespace {

struct Transforms : ::testing::Test {
    kit::Window window;
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();

    void SetUp() override { app.setWorld(world); }

    Transform* make(kit::EntityHandle parent, glm::vec3 position)
    {
        return world->emplaceComponent<Transform>(world->createEntity(), parent, position);
    }
};

void expectVec(glm::vec3 a, glm::vec3 b)
{
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
    EXPECT_NEAR(a.z, b.z, 1e-5f);
}

} // namespace

TEST_F(Transforms, WithoutAParentTheLocalValuesStandExactly)
{
    Transform* t = make({}, {0.1f, 0.2f, 0.3f});
    t->rotation = glm::angleAxis(0.3f, glm::vec3(0, 0, 1));
    EXPECT_EQ(t->worldPosition(), glm::vec3(0.1f, 0.2f, 0.3f));
    EXPECT_EQ(t->worldRotation(), t->rotation);
    EXPECT_TRUE(t->hasTag(kit::tagId("transform")));
    EXPECT_EQ(t->networkTypeName(), "transform");
}

TEST_F(Transforms, ChildrenFollowTheirParentsWorldMatrix)
{
    Transform* plane = make({}, {10, 0, 0});
    plane->rotation = glm::angleAxis(std::numbers::pi_v<float> / 2, glm::vec3(0, 0, 1));
    plane->scale = glm::vec3(2.0f);
    Transform* gun = make(plane->getEntity(), {1, 0, 0});
    Transform* muzzle = make(gun->getEntity(), {1, 0, 0});

    expectVec(gun->worldPosition(), {10, 2, 0}); // scaled by 2, turned a quarter
    expectVec(muzzle->worldPosition(), {10, 4, 0});
    expectVec(glm::vec3(muzzle->worldMatrix()[3]), {10, 4, 0});
    const glm::quat expected = plane->rotation * gun->rotation * muzzle->rotation;
    EXPECT_NEAR(glm::dot(muzzle->worldRotation(), expected), 1.0f, 1e-6f);

    ASSERT_EQ(plane->children.size(), 1u);
    EXPECT_EQ(plane->children[0], gun->getEntity());
    EXPECT_EQ(gun->children.size(), 1u);
}

TEST_F(Transforms, ADestroyedParentStopsResolving)
{
    Transform* parent = make({}, {5, 5, 5});
    Transform* child = make(parent->getEntity(), {1, 2, 3});
    world->destroyEntityNow(parent->getEntity());
    EXPECT_EQ(child->parentTransform(), nullptr);
    EXPECT_EQ(child->worldPosition(), glm::vec3(1, 2, 3));
    EXPECT_EQ(child->worldMatrix(), glm::translate(glm::mat4(1.0f), glm::vec3(1, 2, 3)));
}

TEST_F(Transforms, RemovingAChildEditsOnlyItsOwnEntry)
{
    Transform* parent = make({}, {});
    Transform* a = make(parent->getEntity(), {});
    Transform* b = make(parent->getEntity(), {});
    Transform* c = make(parent->getEntity(), {});
    delete world->removeComponent(b);
    EXPECT_EQ(parent->children, (std::vector<kit::EntityHandle>{a->getEntity(), c->getEntity()}));
    // A child whose handle is not in the list changes nothing.
    auto* stranger = new Transform(parent->getEntity(), glm::vec3(0.0f));
    world->addComponent(world->createEntity(), stranger); // adds itself
    parent->children.pop_back();
    delete world->removeComponent(stranger);
    EXPECT_EQ(parent->children, (std::vector<kit::EntityHandle>{a->getEntity(), c->getEntity()}));
}

TEST_F(Transforms, AParentLoopDoesNotRecurseForever)
{
    Transform* a = make({}, {1, 0, 0});
    Transform* b = make(a->getEntity(), {1, 0, 0});
    a->parent = b->getEntity();
    const glm::vec3 p = a->worldPosition();
    EXPECT_TRUE(std::isfinite(p.x));
    EXPECT_TRUE(std::isfinite(glm::dot(b->worldRotation(), b->worldRotation())));
}

TEST(TransformFromMatrix, TakesTranslationRotationAndScale)
{
    const glm::mat4 m = glm::translate(glm::mat4(1.0f), glm::vec3(1, 2, 3)) * glm::scale(glm::mat4(1.0f), glm::vec3(2));
    Transform t(m);
    EXPECT_EQ(t.position, glm::vec3(1, 2, 3));
    expectVec(t.scale, {2, 2, 2});
    EXPECT_EQ(t.parent.world, nullptr);

    // Turned and stretched unevenly: rebuilt, it is the same matrix.
    const glm::mat4 turned = glm::translate(glm::mat4(1.0f), glm::vec3(-4, 0, 1)) *
                             glm::mat4_cast(glm::angleAxis(std::numbers::pi_v<float> / 2, glm::vec3(0, 0, 1))) *
                             glm::scale(glm::mat4(1.0f), glm::vec3(2, 1, 0.5f));
    Transform u(turned);
    expectVec(u.scale, {2, 1, 0.5f});
    EXPECT_NEAR(glm::length(u.rotation), 1.0f, 1e-6f);
    const glm::mat4 rebuilt = u.worldMatrix();
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(rebuilt[c][r], turned[c][r], 1e-5f);
}

TEST(TransformReplication, TenFloatsRoundTripBitForBit)
{
    // A rotation as transforms hold them: of unit length (a receiver makes
    // any other so).
    const glm::quat turn = glm::normalize(glm::quat(0.1f, 0.2f, 0.3f, 0.9f));
    Transform source(glm::vec3(1.1f, -2.2f, 3.3f), glm::vec3(0.5f, 0.25f, 4.0f), turn);
    kit::NetStream out;
    source.serialize(out);
    EXPECT_EQ(out.bitsUsed(), 10u * 32u);
    kit::NetStream in(out.data(), out.bytesUsed());
    Transform copy;
    copy.serialize(in);
    EXPECT_EQ(copy.position, source.position);
    EXPECT_EQ(copy.rotation, source.rotation);
    EXPECT_EQ(copy.scale, source.scale);
    // Wire order: position, rotation x y z w, scale.
    kit::NetStream order(out.data(), out.bytesUsed());
    float first[7];
    for (float& f : first)
        order.serialize(f);
    EXPECT_EQ(first[3], turn.x); // glm::quat's constructor takes w first
    EXPECT_EQ(first[6], turn.w);
    EXPECT_NE(turn.x, turn.w);
}

namespace {

// A transform record of ten floats as a peer may send it.
kit::NetStream record(glm::vec3 position, glm::quat rotation, glm::vec3 scale, int floats = 10)
{
    const float all[10] = {position.x, position.y, position.z, rotation.x, rotation.y,
                           rotation.z, rotation.w, scale.x,    scale.y,    scale.z};
    kit::NetStream out;
    for (int i = 0; i < floats; ++i)
        out.write(all[i]);
    return out;
}

void receive(Transform& t, kit::NetStream packet)
{
    packet.writing = false;
    t.serialize(packet);
}

} // namespace

TEST(TransformReplication, ARecordThatIsNotAllSaneChangesNothing)
{
    const float notANumber = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const glm::quat unit(1, 0, 0, 0);
    const glm::vec3 one(1.0f);
    Transform t(glm::vec3(1, 2, 3), glm::vec3(2.0f), glm::quat(0, 1, 0, 0));
    const Transform before = t;
    for (const kit::NetStream& broken : {
             record(glm::vec3(notANumber, 0, 0), unit, one), record(glm::vec3(0, infinity, 0), unit, one),
             record(glm::vec3(0, 0, 20000), unit, one),                 // beyond the engine's bound
             record(glm::vec3(0), glm::quat(0, 0, 0, 0), one),          // no rotation at all
             record(glm::vec3(0), glm::quat(notANumber, 0, 0, 1), one), //
             record(glm::vec3(0), unit, glm::vec3(1, notANumber, 1)),
             record(glm::vec3(0), unit, glm::vec3(1, 1, 5000)), // out of all proportion
             record(glm::vec3(0), unit, one, 9),                // short
         }) {
        receive(t, broken);
        EXPECT_EQ(t.position, before.position);
        EXPECT_EQ(t.rotation, before.rotation);
        EXPECT_EQ(t.scale, before.scale);
    }
    // A rotation that is merely off length arrives normalised.
    receive(t, record(glm::vec3(4, 5, 6), glm::quat(0, 0, 0, 3), glm::vec3(1.5f)));
    EXPECT_EQ(t.position, glm::vec3(4, 5, 6));
    EXPECT_EQ(t.rotation, glm::quat(0, 0, 0, 1));
    EXPECT_EQ(t.scale, glm::vec3(1.5f));
}

TEST(TransformReplication, AnEntityMayNarrowWhereRecordsPutIt)
{
    Transform t(glm::vec3(0.0f));
    t.receivedBounds = kit::received::Box{{-10, -10, -1}, {10, 10, 1}};
    receive(t, record(glm::vec3(10, -10, 1), glm::quat(1, 0, 0, 0), glm::vec3(1.0f)));
    EXPECT_EQ(t.position, glm::vec3(10, -10, 1)); // the bounds themselves are inside
    receive(t, record(glm::vec3(10.5f, 0, 0), glm::quat(1, 0, 0, 0), glm::vec3(1.0f)));
    EXPECT_EQ(t.position, glm::vec3(10, -10, 1));
}

TEST(TransformReplication, EachBoundTakesItsEdgeAndRefusesJustPastIt)
{
    constexpr float infinity = std::numeric_limits<float>::infinity();
    const float limit = 10000.0f; // the engine's bound (kit::received::limit)
    const float most = 1000.0f;   // Transform::maxReceivedScale
    const glm::quat unit(1, 0, 0, 0);
    const glm::vec3 one(1.0f);
    struct Edge {
        const char* bound;
        glm::vec3 position, scale;
    };
    // Each pair: a record on the bound (taken), then one a float past it (refused).
    const Edge edges[][2] = {
        {{"position x high", {limit, 0, 0}, one}, {"", {std::nextafter(limit, infinity), 0, 0}, one}},
        {{"position x low", {-limit, 0, 0}, one}, {"", {std::nextafter(-limit, -infinity), 0, 0}, one}},
        {{"position y high", {0, limit, 0}, one}, {"", {0, std::nextafter(limit, infinity), 0}, one}},
        {{"position y low", {0, -limit, 0}, one}, {"", {0, std::nextafter(-limit, -infinity), 0}, one}},
        {{"position z high", {0, 0, limit}, one}, {"", {0, 0, std::nextafter(limit, infinity)}, one}},
        {{"position z low", {0, 0, -limit}, one}, {"", {0, 0, std::nextafter(-limit, -infinity)}, one}},
        {{"scale x", {0, 0, 0}, {most, 1, 1}}, {"", {0, 0, 0}, {std::nextafter(most, infinity), 1, 1}}},
        {{"scale y", {0, 0, 0}, {1, -most, 1}}, {"", {0, 0, 0}, {1, std::nextafter(-most, -infinity), 1}}},
        {{"scale z", {0, 0, 0}, {1, 1, most}}, {"", {0, 0, 0}, {1, 1, std::nextafter(most, infinity)}}},
    };
    for (const auto& [inside, outside] : edges) {
        Transform t(glm::vec3(7, 8, 9), glm::vec3(2.0f));
        receive(t, record(inside.position, unit, inside.scale));
        EXPECT_EQ(t.position, inside.position) << inside.bound;
        EXPECT_EQ(t.scale, inside.scale) << inside.bound;
        receive(t, record(outside.position, unit, outside.scale));
        EXPECT_EQ(t.position, inside.position) << inside.bound << ": just past it";
        EXPECT_EQ(t.scale, inside.scale) << inside.bound << ": just past it";
    }
    // Ten floats or nothing: a bit short of them is not a record.
    Transform t(glm::vec3(7, 8, 9));
    kit::NetStream almost = record(glm::vec3(1, 2, 3), unit, one, 9);
    const std::uint8_t firstBitsOfOne[4] = {0x3F, 0x80, 0x00, 0x00};
    almost.writeBits(firstBitsOfOne, 31);
    receive(t, almost);
    EXPECT_EQ(t.position, glm::vec3(7, 8, 9));
}

TEST(TransformReplication, AnEntityMayNarrowWhatSizeRecordsGiveIt)
{
    Transform t(glm::vec3(0.0f));
    t.receivedScale = kit::received::Box{glm::vec3(0.5f), glm::vec3(2.0f)};
    const glm::quat unit(1, 0, 0, 0);
    struct Edge {
        glm::vec3 inside, outside;
    };
    const float below = std::nextafter(0.5f, 0.0f), above = std::nextafter(2.0f, 3.0f);
    for (const Edge& e : {Edge{{0.5f, 1, 1}, {below, 1, 1}}, Edge{{1, 2.0f, 1}, {1, above, 1}},
                          Edge{{1, 1, 0.5f}, {1, 1, below}}, Edge{{2.0f, 2.0f, 2.0f}, {2.0f, 2.0f, above}}}) {
        receive(t, record(glm::vec3(0), unit, e.inside));
        EXPECT_EQ(t.scale, e.inside);
        receive(t, record(glm::vec3(0), unit, e.outside));
        EXPECT_EQ(t.scale, e.inside) << "just past it";
    }
}
