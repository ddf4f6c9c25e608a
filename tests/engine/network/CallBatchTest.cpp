// The batch of named-function calls: its bytes are what peers and saved
// replays hold, so they are pinned here; a batch from a peer is read without
// trust, however it is cut or forged.
#include "engine/network/CallBatch.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> batchBytes(const kit::NetStream& stream)
{
    return std::vector<std::uint8_t>(stream.data(), stream.data() + stream.bytesUsed());
}

kit::NetStream callArgumentsAbout(kit::EntityID about)
{
    kit::NetStream arguments;
    arguments.write(about);
    return arguments;
}

// Two calls: "ab" about 01020304:5 with a true flag (65 bits of arguments,
// so that the second call starts between bytes), and "c" about 0A0B0C0D:7.
kit::NetStream twoBatchedCalls()
{
    kit::NetStream first = callArgumentsAbout({0x01020304, 5});
    first.write(true);
    kit::NetStream batch;
    kit::callBatch::append(batch, "ab", first);
    kit::callBatch::append(batch, "c", callArgumentsAbout({0x0A0B0C0D, 7}));
    kit::callBatch::finish(batch);
    return batch;
}

std::vector<kit::BatchedCall> readBatch(const std::vector<std::uint8_t>& bytes, bool* broken = nullptr)
{
    kit::CallBatchReader reader(bytes.data(), bytes.size());
    std::vector<kit::BatchedCall> calls;
    while (std::optional<kit::BatchedCall> call = reader.next())
        calls.push_back(std::move(*call));
    EXPECT_FALSE(reader.next()) << "an ended batch stays ended";
    if (broken)
        *broken = reader.broken();
    return calls;
}

} // namespace

TEST(CallBatch, ItsBytesAreTheOnesPeersAndReplaysHold)
{
    const std::vector<std::uint8_t> expected{0x88, 0x00, 0x02, 'a',  'b',  0x00, 0x00, 0x00, 0x41, 0x01, 0x02, 0x03,
                                             0x04, 0x00, 0x00, 0x00, 0x05, 0xC4, 0x00, 0x00, 0x80, 'c',  0x00, 0x00,
                                             0x00, 0x40, 0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x00, 0x00, 0x07, 0x00};
    EXPECT_EQ(batchBytes(twoBatchedCalls()), expected);
    EXPECT_EQ(kit::callBatch::callId, kit::NetworkSystem::remoteCallsId);
}

TEST(CallBatch, ABatchWithoutCallsIsItsEndByteAlone)
{
    kit::NetStream batch;
    kit::callBatch::finish(batch);
    EXPECT_EQ(batchBytes(batch), std::vector<std::uint8_t>{0x00});
    bool broken = true;
    EXPECT_TRUE(readBatch(batchBytes(batch), &broken).empty());
    EXPECT_FALSE(broken);
}

TEST(CallBatch, WhatIsWrittenReadsBackCallByCall)
{
    bool broken = true;
    const std::vector<kit::BatchedCall> calls = readBatch(batchBytes(twoBatchedCalls()), &broken);
    EXPECT_FALSE(broken);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, "ab");
    EXPECT_EQ(calls[1].name, "c");
    EXPECT_EQ(calls[0].arguments.bitsUsed(), 65u);
    EXPECT_EQ(calls[1].arguments.bitsUsed(), 64u);

    kit::NetStream first = calls[0].arguments;
    kit::EntityID about;
    bool flag = false;
    ASSERT_TRUE(first.read(about));
    ASSERT_TRUE(first.read(flag));
    EXPECT_EQ(about, (kit::EntityID{0x01020304, 5}));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(first.writing) << "the arguments are ready for the handlers to read";
    kit::NetStream second = calls[1].arguments;
    ASSERT_TRUE(second.read(about));
    EXPECT_EQ(about, (kit::EntityID{0x0A0B0C0D, 7}));
}

TEST(CallBatch, AnyByteOtherThanACallsMarkerEndsTheBatch)
{
    std::vector<std::uint8_t> bytes = batchBytes(twoBatchedCalls());
    bytes[0] = 0x87;
    bool broken = true;
    EXPECT_TRUE(readBatch(bytes, &broken).empty());
    EXPECT_FALSE(broken);

    // Without its end byte a batch still reads whole.
    bytes = batchBytes(twoBatchedCalls());
    bytes.pop_back();
    EXPECT_EQ(readBatch(bytes, &broken).size(), 2u);
    EXPECT_FALSE(broken);
}

TEST(CallBatch, ABatchCutAnywhereGivesTheWholeCallsBeforeTheCutAndNoMore)
{
    kit::NetStream batch;
    kit::callBatch::append(batch, "first", callArgumentsAbout({1, 1}));
    const std::size_t firstEnds = batch.bytesUsed();
    kit::callBatch::append(batch, "second", callArgumentsAbout({2, 2}));
    const std::size_t secondEnds = batch.bytesUsed();
    kit::callBatch::finish(batch);
    const std::vector<std::uint8_t> whole = batchBytes(batch);

    for (std::size_t size = 0; size < whole.size(); ++size) {
        SCOPED_TRACE("cut to " + std::to_string(size) + " bytes");
        // Its own buffer of exactly the cut's size: nothing beyond is there to read.
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        bool broken = false;
        const std::vector<kit::BatchedCall> calls = readBatch(cut, &broken);
        const std::size_t wholeCalls = size >= secondEnds ? 2 : size >= firstEnds ? 1 : 0;
        ASSERT_EQ(calls.size(), wholeCalls);
        if (!calls.empty()) {
            EXPECT_EQ(calls[0].name, "first");
        }
        // Cut inside a call (past its marker): the batch is broken, not ended.
        const bool insideACall = size != 0 && size != firstEnds && size < secondEnds;
        EXPECT_EQ(broken, insideACall);
    }
}

TEST(CallBatch, ArgumentsLongerThanTheBatchAreRefused)
{
    // A forged length: a call announcing four billion bits of arguments.
    kit::NetStream batch;
    batch.write(kit::callBatch::callId);
    batch.write(std::string("forged"));
    batch.write(std::uint32_t{0xFFFFFFFF});
    batch.write(std::uint32_t{0});
    bool broken = false;
    EXPECT_TRUE(readBatch(batchBytes(batch), &broken).empty());
    EXPECT_TRUE(broken);

    // A name longer than what follows it.
    kit::NetStream name;
    name.write(kit::callBatch::callId);
    name.write(std::uint16_t{500});
    name.write(std::uint32_t{0x61616161});
    broken = false;
    EXPECT_TRUE(readBatch(batchBytes(name), &broken).empty());
    EXPECT_TRUE(broken);
}
