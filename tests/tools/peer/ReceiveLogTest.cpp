// The peer tool's log of what it hears: a whole call batch is counted as
// calls, one cut short in its last call as malformed too.
#include "tools/peer/ReceiveLog.h"

#include "engine/network/CallBatch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The summary line the log prints after hearing one batch of `bytes` bytes of `whole`.
std::string summaryAfter(const kit::NetStream& whole, std::size_t bytes)
{
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    {
        peer::ReceiveLog log(out);
        kit::NetPeer::Packet packet;
        packet.data.assign(whole.data(), whole.data() + bytes);
        log.handle(packet, 0.0);
        log.summary();
    }
    std::fclose(out);
    const std::string said(text, size);
    std::free(text);
    return said.substr(said.find("received "));
}

} // namespace

TEST(ReceiveLog, AWholeBatchIsCountedAsCallsAndOneCutShortAsMalformed)
{
    kit::NetStream arguments;
    arguments.write(kit::EntityID{7, 3});
    arguments.write(2.5f);
    kit::NetStream batch;
    kit::callBatch::append(batch, "first", arguments);
    const std::size_t firstEnds = batch.bytesUsed();
    kit::callBatch::append(batch, "second", arguments);
    kit::callBatch::finish(batch);

    EXPECT_EQ(summaryAfter(batch, batch.bytesUsed()).substr(0, 57),
              "received 1 packets, 2 calls, 0 state records, 0 malformed");
    EXPECT_EQ(summaryAfter(batch, firstEnds + 4).substr(0, 57),
              "received 1 packets, 1 calls, 0 state records, 1 malformed");
}
