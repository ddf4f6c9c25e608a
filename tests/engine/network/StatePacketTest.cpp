// A copy's state split into datagrams that stay below the path MTU.
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Glide.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"

#include <gtest/gtest.h>

namespace {

// A replicated component the size of a plane's health, score or flight state.
class Block : public kit::Component {
public:
    Block(std::string type, int floats) : type(std::move(type)), values(floats, 0.0f)
    {
        addTag(kit::tagId(this->type));
        addTag(kit::tagId("networked"));
    }
    void serialize(kit::NetStream& stream) override
    {
        for (float& v : values)
            stream.serialize(v);
    }
    std::string networkTypeName() const override { return type; }
    std::string type;
    std::vector<float> values;
};

struct StateCopy {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);
    explicit StateCopy(std::uint32_t origin)
    {
        world.origin = origin;
        network->screenName = "game";
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    }
    // A plane owned by `owner`: transform, rigid body and three blocks of state.
    std::vector<kit::Component*> plane(std::uint32_t owner, std::uint32_t serial, float value)
    {
        const kit::EntityHandle entity{kit::EntityID{owner, serial}, &world};
        auto* transform = new kit::Transform(glm::vec3(value, 2.0f, 0.0f));
        auto* body = new kit::RigidBody(false, glm::vec3(value), {}, 1.0f, 0.5f);
        std::vector<kit::Component*> parts{transform, body, new Block("health", 2), new Block("score", 1),
                                           new Block("planePhysics", 6)};
        for (std::size_t i = 2; i < parts.size(); ++i)
            for (float& v : static_cast<Block*>(parts[i])->values)
                v = value;
        for (kit::Component* part : parts) {
            part->addTag(kit::tagId("networked"));
            world.addComponent(entity, part);
        }
        return parts;
    }
};

kit::NetPeer::Packet asReceived(const kit::NetStream& packet)
{
    return kit::NetPeer::Packet{std::vector<std::uint8_t>(packet.data(), packet.data() + packet.bytesUsed()),
                                kit::NetAddress{0x7F000001, 16519}, 1};
}

} // namespace

TEST(StatePackets, SixteenPlanesGoOutInDatagramsBelowTheMtuAndAllArrive)
{
    StateCopy sender(0x1111);
    StateCopy receiver(0x2222);
    std::vector<std::vector<kit::Component*>> theirs;
    for (std::uint32_t i = 1; i <= 16; ++i) {
        sender.plane(0x1111, i, static_cast<float>(i));
        theirs.push_back(receiver.plane(0x1111, i, 0.0f));
    }
    const std::vector<kit::NetStream> packets = sender.network->buildStatePackets();
    ASSERT_GT(packets.size(), 1u);
    std::size_t total = 0;
    for (const kit::NetStream& packet : packets) {
        EXPECT_LE(packet.bytesUsed(), kit::NetworkSystem::maxStatePacketBytes);
        total += packet.bytesUsed();
        receiver.network->handlePacket(asReceived(packet));
    }
    // Not split more than needed: every packet but the last is well filled.
    EXPECT_LE(packets.size(), total / (kit::NetworkSystem::maxStatePacketBytes * 3 / 4) + 1);
    for (std::uint32_t i = 1; i <= 16; ++i) {
        const auto& parts = theirs[i - 1];
        EXPECT_EQ(static_cast<kit::Transform*>(parts[0])->position.x, float(i)) << "plane " << i;
        EXPECT_EQ(static_cast<kit::RigidBody*>(parts[1])->velocity, glm::vec3(float(i)));
        for (std::size_t p = 2; p < parts.size(); ++p)
            for (float v : static_cast<Block*>(parts[p])->values)
                EXPECT_EQ(v, float(i)) << "plane " << i << " part " << p;
    }
    ASSERT_TRUE(receiver.network->peers().contains(0x1111));
    EXPECT_EQ(receiver.network->peers().at(0x1111).screenName, "game");
}

TEST(StatePackets, EachPacketStandsOnItsOwn)
{
    StateCopy sender(0x1111);
    for (std::uint32_t i = 1; i <= 16; ++i)
        sender.plane(0x1111, i, 1.0f);
    for (const kit::NetStream& built : sender.network->buildStatePackets()) {
        kit::NetStream packet = built;
        packet.resetReading();
        std::uint8_t id = 0;
        std::uint32_t origin = 0;
        std::string screen;
        packet.read(id);
        packet.read(origin);
        packet.read(screen);
        EXPECT_EQ(id, kit::NetworkSystem::stateUpdateId);
        EXPECT_EQ(origin, 0x1111u);
        EXPECT_EQ(screen, "game");
        int records = 0;
        bool more = false;
        while (packet.read(more) && more) {
            kit::EntityID entity;
            std::string type;
            kit::NetStream state;
            packet.read(entity);
            packet.read(type);
            packet.read(state);
            ++records;
        }
        EXPECT_FALSE(more); // ends with its own 0 bit
        EXPECT_GT(records, 0);
        EXPECT_LT(packet.bitsLeft(), 8u);
    }
}

TEST(StatePackets, AnOversizedRecordTravelsAloneAndNothingIsLost)
{
    StateCopy sender(0x1111);
    const kit::EntityHandle big{kit::EntityID{0x1111, 1}, &sender.world};
    sender.world.addComponent(big, new Block("huge", 400)); // 1600 bytes of state
    sender.plane(0x1111, 2, 1.0f);
    StateCopy receiver(0x2222);
    auto* theirs = new Block("huge", 400);
    receiver.world.addComponent(kit::EntityHandle{big.id, &receiver.world}, theirs);
    static_cast<Block*>(sender.world.getComponent(big.id, kit::tagId("huge")))->values.assign(400, 2.0f);
    int oversized = 0;
    for (const kit::NetStream& packet : sender.network->buildStatePackets()) {
        if (packet.bytesUsed() > kit::NetworkSystem::maxStatePacketBytes) {
            ++oversized;
            // The big record and nothing else: header, one record, the end bit.
            EXPECT_LE(packet.bytesUsed(), 1600u + 64u);
        }
        receiver.network->handlePacket(asReceived(packet));
    }
    EXPECT_EQ(oversized, 1);
    EXPECT_EQ(theirs->values, std::vector<float>(400, 2.0f));
}

TEST(StatePackets, WithNothingToSendOnePacketStillCarriesTheScreen)
{
    StateCopy sender(0x1111);
    const std::vector<kit::NetStream> packets = sender.network->buildStatePackets();
    ASSERT_EQ(packets.size(), 1u);
    // 135, origin, "game" (length, bytes), the end bit.
    EXPECT_EQ(packets[0].bitsUsed(), 8u + 32u + 16u + 32u + 1u);
}

TEST(StatePackets, AFollowedEntityIsToldOfItsRecordsOnceThePacketIsIn)
{
    StateCopy sender(0x1111);
    StateCopy receiver(0x2222);
    const std::vector<kit::Component*> ours = sender.plane(0x1111, 1, 0.0f);
    const std::vector<kit::Component*> theirs = receiver.plane(0x1111, 1, 0.0f);
    auto glideOf = [](StateCopy& copy) {
        auto* glide = new kit::Glide;
        glide->addTag(kit::tagId("networked"));
        copy.world.addComponent(kit::EntityHandle{kit::EntityID{0x1111, 1}, &copy.world}, glide);
        return glide;
    };
    glideOf(sender);
    kit::Glide* glide = glideOf(receiver);
    auto* ourPlace = static_cast<kit::Transform*>(ours[0]);
    auto* ourFlight = static_cast<kit::RigidBody*>(ours[1]);
    auto* shown = static_cast<kit::Transform*>(theirs[0]);
    const auto send = [&] {
        for (const kit::NetStream& packet : sender.network->buildStatePackets())
            receiver.network->handlePacket(asReceived(packet));
    };
    ourPlace->position = glm::vec3(1, 2, 0);
    ourFlight->velocity = glm::vec3(0.0f);
    send(); // the first record: taken as it is (no link known: no age)
    EXPECT_EQ(shown->position, glm::vec3(1, 2, 0));
    receiver.world.update(1.0f / 60.0f); // a frame shows it there
    sender.world.update(0.1f);           // the owner's clock moves on: the next stamp is later
    ourPlace->position = glm::vec3(4, 2, 0);
    ourFlight->velocity = glm::vec3(0.0f);
    send();
    // Shown where it was, the rest to come in a glide.
    EXPECT_EQ(shown->position, glm::vec3(1, 2, 0));
    EXPECT_NEAR(glide->correction().pendingOffset().x, 3.0f, 1e-4f);
    EXPECT_EQ(glide->correction().snaps(), 1u);
    for (int i = 0; i < 60; ++i)
        receiver.world.update(1.0f / 60.0f);
    EXPECT_NEAR(shown->position.x, 4.0f, 1e-3f);
}

TEST(StatePackets, EveryFollowedEntityOfAPacketIsTold)
{
    StateCopy sender(0x1111);
    StateCopy receiver(0x2222);
    std::vector<kit::Transform*> ours, shown;
    std::vector<kit::Glide*> glides;
    for (std::uint32_t serial = 1; serial <= 3; ++serial) {
        ours.push_back(static_cast<kit::Transform*>(sender.plane(0x1111, serial, 0.0f)[0]));
        shown.push_back(static_cast<kit::Transform*>(receiver.plane(0x1111, serial, 0.0f)[0]));
        for (StateCopy* copy : {&sender, &receiver}) {
            auto* glide = new kit::Glide;
            glide->addTag(kit::tagId("networked"));
            copy->world.addComponent(kit::EntityHandle{kit::EntityID{0x1111, serial}, &copy->world}, glide);
            if (copy == &receiver)
                glides.push_back(glide);
        }
    }
    const auto send = [&] {
        for (const kit::NetStream& packet : sender.network->buildStatePackets())
            receiver.network->handlePacket(asReceived(packet));
    };
    send();
    receiver.world.update(1.0f / 60.0f);
    sender.world.update(0.1f);
    for (kit::Transform* place : ours)
        place->position = glm::vec3(5, 2, 0);
    send();
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(shown[i]->position.x, 0.0f, 1e-4f) << "plane " << i + 1;
        EXPECT_NEAR(glides[i]->correction().pendingOffset().x, 5.0f, 1e-4f) << "plane " << i + 1;
    }
}
