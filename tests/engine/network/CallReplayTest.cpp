// The call replay: which batches a copy holds for the next host, how a
// replayed batch is told from one already run, and packets read safely.
#include "engine/network/CallReplay.h"

#include "engine/network/stream/NetStream.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

kit::CallReplay::Bytes batch(const std::string& text)
{
    return kit::CallReplay::Bytes(text.begin(), text.end());
}

std::vector<kit::CallReplay::Bytes> bytesOf(const std::vector<kit::CallReplay::Held>& held)
{
    std::vector<kit::CallReplay::Bytes> out;
    for (const auto& h : held)
        out.push_back(h.bytes);
    return out;
}

std::vector<kit::CallReplay::Bytes> bytesOf(const std::optional<kit::CallReplay::Decoded>& decoded)
{
    std::vector<kit::CallReplay::Bytes> out;
    if (decoded) {
        for (const auto& r : decoded->batches)
            out.push_back(r.bytes);
    }
    return out;
}

} // namespace

TEST(CallReplayCounting, ABatchRunsOnceHoweverOftenItComes)
{
    kit::CallReplay replay;
    const auto a = batch("a"), b = batch("b"), c = batch("c");
    replay.heard(a.data(), a.size(), 0.0f);
    replay.made(c.data(), c.size(), 0.0f); // this copy's own
    EXPECT_EQ(replay.unseen({a, b, c}, 1.0f), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(replay.unseen({a, b, c}, 1.0f), (std::vector<bool>{false, false, false})) << "replayed twice";
    // The same batch made twice and heard once: the replay holding both runs one.
    EXPECT_EQ(replay.unseen({a, a}, 1.0f), (std::vector<bool>{false, true}));
    // Long forgotten: a batch that old is taken as new.
    const float later = 1.0f + kit::CallReplay::rememberedSeconds + 1.0f;
    replay.age(later, later);
    EXPECT_EQ(replay.unseen({a}, later), (std::vector<bool>{true}));
}

TEST(CallReplayCounting, TheSameBatchMadeAgainLaterIsANewCall)
{
    // A plane that shoots down the same plane twice makes the same batch twice;
    // the second, lost with the host, must run when it is replayed.
    kit::CallReplay here, maker;
    const auto kill = batch("kill 2 by 1");
    maker.made(kill.data(), kill.size(), 10.0f);
    here.heard(kill.data(), kill.size(), 10.1f); // the first went through
    maker.made(kill.data(), kill.size(), 16.0f); // the second never arrived
    maker.hold(7, 15.0f);
    const std::vector<kit::NetStream> packets = maker.packets(18.0f);
    ASSERT_EQ(packets.size(), 1u);
    const auto replayed = kit::CallReplay::decode(packets[0].data(), packets[0].bytesUsed());
    ASSERT_TRUE(replayed.has_value());
    EXPECT_EQ(replayed->maker, 7u);
    ASSERT_EQ(replayed->batches.size(), 1u);
    const float age = replayed->batches[0].age;
    EXPECT_FLOAT_EQ(age, 2.0f);
    EXPECT_EQ(here.unseen({kill}, 18.2f, {age}), (std::vector<bool>{true}));
    EXPECT_EQ(here.unseen({kill}, 18.3f, {age}), (std::vector<bool>{false})) << "replayed twice";
    // One that arrived near the moment it was had is the same call; a moment
    // just too far apart is another.
    kit::CallReplay other, apart;
    other.heard(kill.data(), kill.size(), 16.2f + kit::CallReplay::sameMomentSeconds - 0.01f);
    EXPECT_EQ(other.unseen({kill}, 18.2f, {age}), (std::vector<bool>{false}));
    apart.heard(kill.data(), kill.size(), 16.2f + kit::CallReplay::sameMomentSeconds + 0.01f);
    EXPECT_EQ(apart.unseen({kill}, 18.2f, {age}), (std::vector<bool>{true}));
    // An age that is no number of seconds, or beyond what anyone keeps, reads as now.
    for (const float forgedAge : {std::numeric_limits<float>::quiet_NaN(), -0.01f,
                                  kit::CallReplay::keptSeconds + kit::CallReplay::rememberedSeconds + 0.01f}) {
        kit::NetStream forged;
        forged.write(kit::CallReplay::id);
        forged.write(std::uint32_t{7});
        forged.write(true);
        forged.write(forgedAge);
        kit::NetStream nested;
        nested.writeBits(kill.data(), 8 * kill.size());
        forged.write(nested);
        forged.write(false);
        const auto read = kit::CallReplay::decode(forged.data(), forged.bytesUsed());
        ASSERT_TRUE(read.has_value());
        ASSERT_EQ(read->batches.size(), 1u);
        EXPECT_EQ(read->batches[0].age, 0.0f) << forgedAge;
        EXPECT_EQ(read->batches[0].bytes, kill);
    }
    const float oldest = kit::CallReplay::keptSeconds + kit::CallReplay::rememberedSeconds;
    kit::CallReplay::Held h{7, 0.0f, kill};
    const kit::NetStream longAgo = kit::CallReplay::packet(7, {h}, oldest);
    EXPECT_FLOAT_EQ(kit::CallReplay::decode(longAgo.data(), longAgo.bytesUsed())->batches[0].age, oldest);
}

TEST(CallReplayCounting, HoldsOnlyItsOwnCallsSinceAMomentAndWhatItIsGiven)
{
    kit::CallReplay replay;
    for (int i = 0; i < 5; ++i) {
        const auto b = batch("made " + std::to_string(i));
        replay.made(b.data(), b.size(), static_cast<float>(i));
    }
    const auto relayed = batch("heard from the host");
    replay.heard(relayed.data(), relayed.size(), 4.5f);
    replay.hold(0xAB, 2.5f);
    const auto late = batch("late"), theirs = batch("theirs");
    replay.made(late.data(), late.size(), 6.0f);
    replay.keep(0xCD, theirs);
    replay.made(late.data(), late.size(), 7.0f);
    EXPECT_EQ(bytesOf(replay.held()),
              (std::vector<kit::CallReplay::Bytes>{batch("made 3"), batch("made 4"), late, theirs, late}))
        << "nobody speaks for the host: what was heard is no copy's own";
    // One packet per run of one maker's batches, in order.
    const std::vector<kit::NetStream> packets = replay.packets(8.0f);
    ASSERT_EQ(packets.size(), 3u);
    const std::vector<std::uint32_t> makers{0xAB, 0xCD, 0xAB};
    const std::vector<std::vector<kit::CallReplay::Bytes>> contents{
        {batch("made 3"), batch("made 4"), late}, {theirs}, {late}};
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const auto decoded = kit::CallReplay::decode(packets[i].data(), packets[i].bytesUsed());
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->maker, makers[i]);
        EXPECT_EQ(bytesOf(decoded), contents[i]);
    }
    replay.release();
    EXPECT_FALSE(replay.holding());
    EXPECT_TRUE(replay.held().empty());
    replay.keep(0xCD, theirs);
    EXPECT_TRUE(replay.held().empty()) << "nothing is held between changes of host";
    EXPECT_TRUE(replay.packets().empty());
}

TEST(CallReplayCounting, OwnBatchesAreKeptAWhileAndLongerWhenTheyMayBeNeeded)
{
    kit::CallReplay replay;
    const auto old = batch("old"), older = batch("older");
    replay.made(older.data(), older.size(), 0.0f);
    replay.made(old.data(), old.size(), 1.0f);
    const float late = 1.5f + kit::CallReplay::keptSeconds;
    replay.age(late, 0.5f); // a joined copy whose host was last heard at 2.5 s
    replay.hold(1, 0.0f);
    EXPECT_EQ(bytesOf(replay.held()), (std::vector<kit::CallReplay::Bytes>{old}));
    replay.release();
    replay.age(late, late); // nothing to keep for
    replay.hold(1, 0.0f);
    EXPECT_TRUE(replay.held().empty());
}

TEST(CallReplayCounting, HoldsABoundedAmount)
{
    testing::internal::CaptureStderr();
    kit::CallReplay replay;
    replay.hold(1, 0.0f);
    const kit::CallReplay::Bytes big(100 * 1024, 0x88);
    for (int i = 0; i < 20; ++i)
        replay.keep(2, big);
    std::size_t bytes = 0;
    for (const auto& h : replay.held())
        bytes += h.bytes.size();
    EXPECT_LE(bytes, kit::CallReplay::maxHeldBytes);
    EXPECT_GE(replay.held().size(), 5u);
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
}

TEST(CallReplayCounting, AnythingElseDecodesToNothingOrWhatCameWhole)
{
    EXPECT_FALSE(kit::CallReplay::decode(nullptr, 0).has_value());
    const std::uint8_t other[] = {136, 0, 1, 'x', 0};
    EXPECT_FALSE(kit::CallReplay::decode(other, sizeof other).has_value());
    kit::CallReplay replay;
    replay.hold(1, 0.0f);
    replay.keep(1, batch("first"));
    replay.keep(1, batch("second"));
    const kit::NetStream packet = replay.packets()[0];
    const auto cut = kit::CallReplay::decode(packet.data(), packet.bytesUsed() - 4);
    EXPECT_EQ(bytesOf(cut), (std::vector<kit::CallReplay::Bytes>{batch("first")}));
    // A nested length larger than the packet: nothing copied, nothing read past the end.
    kit::NetStream forged;
    forged.write(kit::CallReplay::id);
    forged.write(std::uint32_t{1});
    forged.write(true);
    forged.write(0.0f);
    forged.write(std::uint32_t{0xFFFFFFF0});
    const auto read = kit::CallReplay::decode(forged.data(), forged.bytesUsed());
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->batches.empty());
    // More batches than a packet may carry: the rest are left.
    kit::CallReplay many;
    many.hold(3, 0.0f);
    for (std::size_t i = 0; i <= kit::CallReplay::maxBatchesPerPacket; ++i)
        many.keep(3, batch("x"));
    const std::vector<kit::NetStream> split = many.packets();
    ASSERT_EQ(split.size(), 2u) << "a maker's batches beyond one packet's bound go in the next";
    EXPECT_EQ(kit::CallReplay::decode(split[1].data(), split[1].bytesUsed())->batches.size(), 1u);
    std::vector<kit::CallReplay::Bytes> all;
    for (const kit::NetStream& p : split) {
        const auto d = kit::CallReplay::decode(p.data(), p.bytesUsed());
        for (const auto& r : d->batches)
            all.push_back(r.bytes);
    }
    EXPECT_EQ(all.size(), kit::CallReplay::maxBatchesPerPacket + 1);
}
