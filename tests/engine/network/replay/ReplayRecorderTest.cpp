// The recorder taps a copy's network system: its own calls and state are
// recorded even with nobody connected, every call is kept, and each copy's
// state at half the network's rate, all the packets of a send together;
// what no replay may hold is left out and counted, and what it keeps reads back.
#include "engine/network/replay/ReplayRecorder.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "support/ReplayPackets.h"

#include <gtest/gtest.h>

namespace {

using kit::ReplayRecord;

class Beacon : public kit::Component {
public:
    Beacon()
    {
        addTag(kit::tagId("beacon"));
        addTag(kit::tagId("networked"));
    }
    void serialize(kit::NetStream& stream) override { stream.serialize(value); }
    std::string networkTypeName() const override { return "beacon"; }
    std::uint32_t value = 7;
};

std::vector<std::uint8_t> stateFrom(std::uint32_t sender)
{
    return {135, static_cast<std::uint8_t>(sender >> 24), static_cast<std::uint8_t>(sender >> 16),
            static_cast<std::uint8_t>(sender >> 8), static_cast<std::uint8_t>(sender), 0};
}

std::size_t count(const std::vector<ReplayRecord>& records, ReplayRecord::Kind kind)
{
    return static_cast<std::size_t>(
        std::count_if(records.begin(), records.end(), [kind](const ReplayRecord& r) { return r.kind == kind; }));
}

} // namespace

TEST(ReplayRecorder, TapsTheNetworkForItsLifeAndRecordsOwnCallsAndStateAlone)
{
    constexpr kit::NamedFunction<> ping{"ping"};
    kit::World world;
    world.origin = 0x00C0FFEE;
    auto* network = new kit::NetworkSystem(30.0f);
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    int pinged = 0;
    network->registerFunction(ping, [&pinged](kit::EntityHandle) { ++pinged; });
    world.addComponent(kit::EntityHandle{kit::EntityID{world.origin, 4}, &world}, new Beacon);
    {
        kit::ReplayRecorder recorder(network);
        EXPECT_EQ(network->tap, &recorder);
        for (int frame = 0; frame < 60; ++frame) {
            if (frame == 10)
                network->callFunction(ping, kit::EntityID{world.origin, 4});
            world.update(1.0f / 60.0f);
            recorder.advance(1.0f / 60.0f);
        }
        EXPECT_EQ(pinged, 1);
        const auto& records = recorder.records();
        ASSERT_EQ(count(records, ReplayRecord::Kind::calls), 1u) << "one batch, with the call";
        // Thirty sends in a second, every other one kept.
        EXPECT_GE(count(records, ReplayRecord::Kind::state), 14u);
        EXPECT_LE(count(records, ReplayRecord::Kind::state), 16u);
        for (std::size_t i = 1; i < records.size(); ++i)
            EXPECT_GE(records[i].milliseconds, records[i - 1].milliseconds);
        const auto call = std::find_if(records.begin(), records.end(),
                                       [](const ReplayRecord& r) { return r.kind == ReplayRecord::Kind::calls; });
        EXPECT_EQ(call->bytes.front(), 136);
        EXPECT_GE(call->milliseconds, 150u); // made at the tenth frame, sent with the next state
        EXPECT_LE(call->milliseconds, 220u);
        const kit::Replay replay = recorder.replay({});
        EXPECT_NEAR(replay.header.seconds, 1.0f, 1e-4f);
    }
    EXPECT_EQ(network->tap, nullptr) << "a recorder gone taps nothing";
    world.update(1.0f / 60.0f); // and nothing is told to it
}

TEST(ReplayRecorder, KeepsEachCopysStateAtItsOwnPaceWithAllPacketsOfASend)
{
    kit::ReplayRecorder recorder(nullptr);
    for (int tick = 0; tick < 12; ++tick) {
        recorder.state(stateFrom(1));
        recorder.state(stateFrom(1)); // a send split in two packets
        if (tick % 2 == 1)
            recorder.state(stateFrom(2)); // a copy heard every other send only
        recorder.calls(std::vector<std::uint8_t>{136, 0});
        recorder.advance(1.0f / 30.0f);
    }
    std::map<std::uint8_t, std::vector<std::uint32_t>> times;
    for (const ReplayRecord& r : recorder.records()) {
        if (r.kind == ReplayRecord::Kind::state)
            times[r.bytes[4]].push_back(r.milliseconds);
    }
    EXPECT_EQ(times[1], (std::vector<std::uint32_t>{0, 0, 67, 67, 133, 133, 200, 200, 267, 267, 333, 333}));
    EXPECT_EQ(times[2], (std::vector<std::uint32_t>{33, 100, 167, 233, 300, 367}));
    EXPECT_EQ(count(recorder.records(), ReplayRecord::Kind::calls), 12u);
    recorder.state(std::vector<std::uint8_t>{135, 0, 0}); // no sender: nothing to keep
    EXPECT_EQ(count(recorder.records(), ReplayRecord::Kind::state), 18u);
}

TEST(ReplayRecorder, ANetworkSystemThatGoesFirstIsForgotten)
{
    auto recorder = std::make_unique<kit::ReplayRecorder>(nullptr);
    {
        kit::NetworkSystem network(30.0f);
        kit::ReplayRecorder tapping(&network);
        EXPECT_EQ(network.tap, &tapping);
        network.tap = recorder.get(); // the last recorder to tap it is told
    }
    recorder.reset(); // would touch the gone system if it had not been told
    auto late = std::make_unique<kit::World>();
    auto* network = new kit::NetworkSystem(30.0f);
    late->addComponent(kit::EntityHandle{late->systemEntity(), late.get()}, network);
    auto* recording = new kit::ReplayRecorder(network);
    late.reset(); // the world deletes its network system; the recorder, told, outlives it harmlessly
    delete recording;
}

namespace {

std::vector<std::uint8_t> batchOf(std::size_t bytes)
{
    std::vector<std::uint8_t> batch(bytes, 0);
    batch[0] = 136;
    return batch;
}

std::optional<kit::Replay> readBack(const kit::ReplayRecorder& recorder, std::string& error)
{
    return kit::decodeReplay(kit::encodeReplay(recorder.replay({})), error);
}

} // namespace

TEST(ReplayRecorder, APacketNoReplayMayHoldIsLeftOutCountedAndToldOnce)
{
    using kit::replayFile::maxRecordBytes;
    kit::ReplayRecorder recorder(nullptr);
    testing::internal::CaptureStderr();
    recorder.calls(batchOf(maxRecordBytes));
    recorder.calls(batchOf(maxRecordBytes + 1));
    std::vector<std::uint8_t> state = stateFrom(1);
    state.resize(maxRecordBytes + 1);
    recorder.state(state);
    state.resize(maxRecordBytes);
    recorder.state(state);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(recorder.leftOut(), 2u);
    ASSERT_EQ(recorder.records().size(), 2u);
    EXPECT_EQ(recorder.records()[0].bytes.size(), maxRecordBytes);
    EXPECT_EQ(recorder.records()[1].bytes.size(), maxRecordBytes);
    EXPECT_EQ(said, "The replay leaves out a call batch it cannot keep (1048577 bytes, more than a packet holds); "
                    "any more are counted, not told\n");
    std::string error;
    const std::optional<kit::Replay> read = readBack(recorder, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->records.size(), 2u);
}

TEST(ReplayRecorder, ASecondKeepsWhatAReplayMayHoldInOne)
{
    using kit::replayFile::maxRecordsPerSecond;
    kit::ReplayRecorder recorder(nullptr);
    testing::internal::CaptureStderr();
    for (std::size_t i = 0; i <= maxRecordsPerSecond; ++i)
        recorder.calls(batchOf(2));
    recorder.advance(1.0f);
    recorder.calls(batchOf(2));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(recorder.records().size(), maxRecordsPerSecond + 1) << "a second's worth, then the next second's first";
    EXPECT_EQ(recorder.leftOut(), 1u);
    EXPECT_NE(said.find("more than 4096 packets in one second"), std::string::npos) << said;
    std::string error;
    EXPECT_TRUE(readBack(recorder, error)) << error;
}

TEST(ReplayRecorder, StopsAtTheRecordsAFileMayHoldAndWhatItHasReadsBack)
{
    using kit::replayFile::maxRecords;
    using kit::replayFile::maxRecordsPerSecond;
    kit::ReplayRecorder recorder(nullptr);
    testing::internal::CaptureStderr();
    for (std::size_t i = 0; i < maxRecords; ++i) {
        if (i > 0 && i % maxRecordsPerSecond == 0)
            recorder.advance(1.0f);
        recorder.calls(batchOf(1));
    }
    recorder.advance(1.0f);
    recorder.calls(batchOf(1));
    recorder.calls(batchOf(1));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(recorder.records().size(), maxRecords);
    EXPECT_EQ(recorder.leftOut(), 2u);
    EXPECT_EQ(said, "The replay is full: the rest of this match is not recorded\n");
    std::string error;
    const std::optional<kit::Replay> read = readBack(recorder, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->records.size(), maxRecords);
}

TEST(ReplayRecorder, APacketOfTooManyNewNamesNeverMakesTheReplayUnreadable)
{
    // A peer's packets name 3,900 components, then one packet 250 more: the
    // file's numbering of names would pass what its reader takes.
    kit::ReplayRecorder recorder(nullptr);
    const auto names = [](std::size_t first, std::size_t count) {
        std::vector<test::StateRecord> records;
        for (std::size_t i = first; i < first + count; ++i)
            records.push_back({kit::EntityID{0x42, 1}, "c" + std::to_string(i), 8, 1});
        return test::statePacketOf(0x42, records);
    };
    for (std::size_t p = 0; p < 39; ++p)
        recorder.state(names(p * 100, 100));
    recorder.state(names(3900, 250));
    recorder.state(names(0, 100)); // names it knows, after
    ASSERT_EQ(recorder.records().size(), 41u);
    std::string error;
    const std::optional<kit::Replay> read = readBack(recorder, error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->records.size(), 41u);
    for (std::size_t i = 0; i < 41; ++i)
        EXPECT_EQ(read->records[i].bytes, recorder.records()[i].bytes) << "record " << i;
}

TEST(ReplayRecorder, ItsTimeNeverGoesBack)
{
    kit::ReplayRecorder recorder(nullptr);
    recorder.advance(2.0f);
    recorder.advance(-1.0f);
    recorder.advance(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(recorder.seconds(), 2.0f);
}
