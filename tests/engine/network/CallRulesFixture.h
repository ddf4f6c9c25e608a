// What the tests of a copy's rules for its peers' calls send it: the
// functions they call, under each rule, the copies' origins, and call batches
// and state packets written as a peer writes them.
#pragma once

#include "engine/core/Label.h"
#include "engine/network/NetworkSystem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace test {

inline constexpr kit::NamedFunction<std::string> mine{"mine"};
inline constexpr kit::NamedFunction<std::string> anyones{"anyones", kit::Caller::anyone};
inline constexpr kit::NamedFunction<std::string> hostOnly{"hostOnly", kit::Caller::host};
inline constexpr kit::NamedFunction<std::string> takeIt{"takeIt", kit::Caller::ownerOrShared};
inline constexpr kit::NamedFunction<int> spawnMany{"spawnMany", kit::Caller::anyone};

inline constexpr std::uint32_t hostOrigin = 0x1000;
inline constexpr std::uint32_t tapOrigin = 0x2000;
inline constexpr std::uint32_t thirdOrigin = 0x3000;

// A replicated component whose received state is logged.
class CallBeacon : public kit::Component {
public:
    explicit CallBeacon(std::vector<std::string>* log = nullptr) : log(log)
    {
        addTag(kit::tagId("beacon"));
        addTag(kit::tagId("networked"));
    }
    void serialize(kit::NetStream& stream) override
    {
        stream.serialize(value);
        if (!stream.writing && log)
            log->push_back("state");
    }
    std::string networkTypeName() const override { return "beacon"; }
    std::vector<std::string>* log;
    std::uint8_t value = 0;
};

// One call as a peer would write it.
struct Call {
    std::string name;
    kit::EntityID about;
    std::string text;
};

inline kit::NetStream batchOf(const std::vector<Call>& calls)
{
    kit::NetStream batch;
    for (const Call& call : calls) {
        kit::NetStream arguments;
        arguments.write(call.about);
        arguments.write(call.text);
        batch.write(kit::NetworkSystem::remoteCallsId);
        batch.write(call.name);
        batch.write(arguments);
    }
    batch.write(std::uint8_t{0});
    return batch;
}

// A state packet in the name of `origin`, with one beacon record per entity.
inline kit::NetStream stateOf(std::uint32_t origin, const std::vector<kit::EntityID>& beacons = {},
                              std::uint8_t value = 7)
{
    kit::NetStream packet;
    packet.write(kit::NetworkSystem::stateUpdateId);
    packet.write(origin);
    packet.write(std::string("lobby"));
    for (const kit::EntityID& id : beacons) {
        kit::NetStream state;
        state.write(value);
        packet.write(true);
        packet.write(id);
        packet.write(std::string("beacon"));
        packet.write(state);
    }
    packet.write(false);
    return packet;
}

inline std::vector<std::uint8_t> packetBytes(const kit::NetStream& stream)
{
    return std::vector<std::uint8_t>(stream.data(), stream.data() + stream.bytesUsed());
}

} // namespace test
