// When a copy's packets leave: a tick's calls before its state, state at
// its own pace however long or short the frames, an empty call batch only
// with a state packet, and no burst of link reports after a long frame.
#include "NetworkSystemFixture.h"
#include "engine/network/NetworkSystem.h"

#include "engine/core/World.h"
#include "engine/network/LinkReport.h"
#include "engine/network/stream/CompactState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

using kit::NetworkSystem;
using test::Copy;
using test::Wiretap;

namespace {

// A replicated component that counts the times its state was written.
class Counter : public kit::Component {
public:
    Counter()
    {
        addTag(kit::tagId("counter"));
        addTag(kit::tagId("networked"));
    }
    void serialize(kit::NetStream& stream) override
    {
        if (stream.writing)
            ++writes;
        stream.serialize(writes);
    }
    std::string networkTypeName() const override { return "counter"; }
    std::uint32_t writes = 0;
};

} // namespace

TEST_F(Wiretap, ATicksCallsLeaveBeforeItsState)
{
    copy.network->stateEvery = 1; // every tick a state tick: the call's own tick is one
    auto* counter = new Counter;
    copy.world.addComponent(kit::EntityHandle{kit::EntityID{0x01020304, 20}, &copy.world}, counter);
    constexpr kit::NamedFunction<> spawn{"spawn"};
    received.clear();
    const std::uint32_t before = counter->writes;
    copy.network->callFunction(spawn, kit::EntityID{0x01020304, 21});
    ASSERT_TRUE(pump([&] { return first(NetworkSystem::remoteCallsId) != nullptr; }));
    pump([&] { return received.size() >= 3; });
    // The first state packet after the batch is the one of the batch's own tick.
    std::size_t at = 0;
    while (received[at].id() != NetworkSystem::remoteCallsId)
        ++at;
    auto next = std::find_if(received.begin() + static_cast<std::ptrdiff_t>(at), received.end(),
                             [](const auto& p) { return p.id() == kit::compactState::id; });
    ASSERT_NE(next, received.end());
    const auto full = kit::compactState::unpack(next->data.data(), next->data.size(), 256);
    ASSERT_TRUE(full.has_value());
    kit::NetStream in(full->data(), full->size());
    std::uint8_t id = 0;
    std::uint32_t origin = 0;
    std::string screen;
    bool more = false;
    kit::EntityID entity;
    std::string type;
    kit::NetStream state;
    std::uint32_t written = 0;
    in.read(id);
    in.read(origin);
    in.read(screen);
    in.read(more);
    in.read(entity);
    in.read(type);
    in.read(state);
    state.read(written);
    EXPECT_EQ(type, "counter");
    EXPECT_EQ(written, before + 1);
}

TEST(NetworkSending, SlowFramesDoNotBankStatePacketsForLater)
{
    testing::internal::CaptureStdout();
    Copy copy{0x5555};
    copy.network->host(0, 1); // active, so that every tick builds its state
    auto* counter = new Counter;
    copy.world.addComponent(kit::EntityHandle{kit::EntityID{0x5555, 1}, &copy.world}, counter);
    copy.network->stateEvery = 2;
    for (int frame = 0; frame < 60; ++frame)
        copy.world.update(0.05f); // three seconds at 20 frames a second: a tick every frame
    const std::uint32_t slowSends = counter->writes;
    EXPECT_GE(slowSends, 29u);
    EXPECT_LE(slowSends, 31u); // state at every second tick
    for (int frame = 0; frame < 120; ++frame)
        copy.world.update(1.0f / 120.0f); // then one second at 120
    const std::uint32_t fastSends = counter->writes - slowSends;
    EXPECT_GE(fastSends, 14u);
    EXPECT_LE(fastSends, 16u); // fifteen a second, not a burst to catch up
    copy.network->stateEvery = 1;
    for (int frame = 0; frame < 120; ++frame)
        copy.world.update(1.0f / 120.0f);
    const std::uint32_t everyTick = counter->writes - slowSends - fastSends;
    EXPECT_GE(everyTick, 29u);
    EXPECT_LE(everyTick, 31u);
    copy.network->reset();
    testing::internal::GetCapturedStdout();
}

TEST_F(Wiretap, AnEmptyCallBatchLeavesOnlyWithAStatePacket)
{
    copy.network->stateEvery = 2;
    received.clear();
    const auto count = [&](std::uint8_t id) {
        return std::count_if(received.begin(), received.end(), [id](const auto& p) { return p.id() == id; });
    };
    ASSERT_TRUE(pump([&] { return count(kit::compactState::id) >= 12; }));
    const auto states = count(kit::compactState::id);
    const auto batches = count(0); // a batch without calls is its end byte alone
    EXPECT_GE(batches, states - 1) << "a sign of life with each state packet";
    EXPECT_LE(batches, states + 1) << "not one at every tick between them";
}

TEST_F(Wiretap, ALongFrameBanksNoLinkReports)
{
    introduce(0x0A0B0C0D); // a copy of the session, whose link the host reports
    ASSERT_TRUE(pump([&] { return first(kit::LinkReport::id) != nullptr; }));
    const auto reports = [&] {
        for (int i = 0; i < 20; ++i) { // what was sent arrives, without frames that send more
            kit::NetPeer::Packet p;
            while (tap.receive(p))
                received.push_back(p);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::count_if(received.begin(), received.end(),
                             [](const auto& p) { return p.id() == kit::LinkReport::id; });
    };
    reports();
    received.clear();
    copy.world.update(4.0f); // a match loading (short of the silence that drops a copy)
    for (int i = 0; i < 10; ++i)
        copy.world.update(0.01f);
    EXPECT_LE(reports(), 2)
        << "one for the long frame and one to start the next second, not one for each second missed";
}

TEST(NetworkSending, StateWantedSoonLeavesAtTheNextTickWhateverItsTurn)
{
    testing::internal::CaptureStdout();
    Copy copy{0x5656};
    copy.network->host(0, 1);
    auto* counter = new Counter;
    copy.world.addComponent(kit::EntityHandle{kit::EntityID{0x5656, 1}, &copy.world}, counter);
    copy.network->stateEvery = 2;
    // A tick a frame; find a state tick, so that the next is not one.
    std::uint32_t writes = counter->writes;
    for (int i = 0; i < 4 && counter->writes == writes; ++i)
        copy.world.update(0.04f);
    ASSERT_GT(counter->writes, writes);
    writes = counter->writes;
    copy.world.update(0.04f);
    EXPECT_EQ(counter->writes, writes) << "not its turn";
    copy.world.update(0.04f);
    EXPECT_EQ(counter->writes, writes + 1) << "its turn";
    copy.network->stateSoon = true;
    copy.world.update(0.04f);
    EXPECT_EQ(counter->writes, writes + 2) << "not its turn, but wanted";
    EXPECT_FALSE(copy.network->stateSoon);
    copy.world.update(0.04f);
    EXPECT_EQ(counter->writes, writes + 3) << "its turn as ever";
    copy.world.update(0.04f);
    EXPECT_EQ(counter->writes, writes + 3);
    copy.network->reset();
    testing::internal::GetCapturedStdout();
}
