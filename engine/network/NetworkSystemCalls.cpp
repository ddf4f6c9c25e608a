#include "NetworkSystem.h"

#include "HostMigration.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"

#include <string>
#include <utility>

// A network system's named functions: their registry, the calls this copy
// makes and sends, and the batches of calls that come from its connections.

namespace kit {

NetworkSystem::Channel* NetworkSystem::channelFor(std::string_view name, std::type_index signature, Caller caller)
{
    auto [known, added] = declarations_.try_emplace(std::string(name), Declaration{signature, caller});
    if (!added && !declarationMatches(name, signature, caller))
        return nullptr;
    auto& slot = functions_[std::string(name)];
    if (!slot)
        slot = std::make_unique<Channel>();
    return slot.get();
}

bool NetworkSystem::declarationMatches(std::string_view name, std::type_index signature, Caller caller) const
{
    auto known = declarations_.find(name);
    if (known == declarations_.end())
        return true;
    if (known->second.signature != signature) {
        log::warn() << "Named function \"" << name << "\" was registered with other argument types";
        return false;
    }
    if (known->second.caller != caller) {
        log::warn() << "Named function \"" << name << "\" was registered with another caller rule";
        return false;
    }
    return true;
}

void NetworkSystem::keepScoped(World& scope, Connection connection)
{
    if (connection.connected())
        scope.connections.emplace_back(std::move(connection));
}

void NetworkSystem::queueCall(std::string_view name, NetStream& arguments)
{
    const std::string nameCopy(name);
    ++traffic.callsMade;
    callBatch::append(pendingCalls, nameCopy, arguments);

    arguments.writing = false;
    run(nameCopy, arguments, origin(), 0);
}

NetworkSystem::Channel* NetworkSystem::findChannel(std::string_view name)
{
    auto found = functions_.find(name);
    return found == functions_.end() ? nullptr : found->second.get();
}

const NetworkSystem::Channel* NetworkSystem::function(std::string_view name) const
{
    auto found = functions_.find(name);
    return found == functions_.end() ? nullptr : found->second.get();
}

void NetworkSystem::run(const std::string& name, NetStream& arguments, std::optional<std::uint32_t> caller,
                        std::uint64_t batch)
{
    EntityID about;
    arguments.resetReading();
    arguments.read(about);
    arguments.resetReading();
    // A handler may make calls of its own: when they are done, the call that
    // made them is the running one again, refused or not as it was.
    std::optional<std::pair<CallRun, bool>> outer;
    if (runDepth_ > 0) {
        outer.emplace(running_, runningRefused_);
        // The call run just before this one: the handler's own call, or the
        // last call the handler made since (which it kept as previous).
        if (previous_.serial < running_.serial)
            previous_ = running_;
    } else {
        previous_ = std::move(running_);
    }
    running_ = CallRun{name, about, caller, batch, ++callSerial_};
    runningRefused_ = false;
    // An unknown name runs nothing. It gets no registry entry either, so that
    // names sent by peers cannot grow the registry without bound.
    ++runDepth_;
    if (Channel* handlers = findChannel(name))
        (*handlers)(arguments, world);
    --runDepth_;
    if (outer) {
        previous_ = std::move(running_);
        std::tie(running_, runningRefused_) = std::move(*outer);
    }
}

bool NetworkSystem::previousCameRightBefore() const
{
    return previous_.serial + 1 == running_.serial && previous_.batch == running_.batch &&
           previous_.caller == running_.caller;
}

void NetworkSystem::flushCalls()
{
    callBatch::finish(pendingCalls);
    if (pendingCalls.bytesUsed() > 1) {
        migration_->made(pendingCalls);
        if (tap)
            tap->calls({pendingCalls.data(), pendingCalls.bytesUsed()});
    }
    if (peer->isActive())
        traffic.callsSent += pendingCalls.bytesUsed() * peer->broadcast(pendingCalls.data(), pendingCalls.bytesUsed(),
                                                                        NetPeer::Reliability::reliableOrdered, 1);
    pendingCalls.clear();
}

void NetworkSystem::runCalls(const NetPeer::Packet& packet)
{
    ConnectionGuard& from = guardOf(packet.sender);
    if (isServer() && !from.origin) {
        // Which copy made these calls, its state tells; it left right after them.
        if (!from.hold(packet.data))
            from.refuse(clock_, "a call batch while its copy is not known yet (too many waiting)");
        return;
    }
    const std::vector<std::uint8_t> ran = runCallsOf(from, packet.data, isServer() ? from.origin : std::nullopt, false);
    if (isServer() && !ran.empty())
        migration_->judged(*from.origin, ran);
}

std::vector<std::uint8_t> NetworkSystem::runCallsOf(ConnectionGuard& from, const std::vector<std::uint8_t>& batch,
                                                    std::optional<std::uint32_t> caller, bool replayed)
{
    CallBatchReader in(batch.data(), batch.size());
    NetStream relay; // the calls that pass, for the other connections
    bool dropped = false;
    World* const here = world;
    const std::uint64_t batchNumber = ++batchSerial_;
    while (std::optional<BatchedCall> call = in.next()) {
        const std::string& name = call->name;
        NetStream& arguments = call->arguments;
        if (const std::optional<std::string> why = refusal(from, caller, name, arguments)) {
            dropped = true;
            ++traffic.callsDropped;
            if (why->empty())
                countUnknownCall();
            else
                from.refuse(clock_, *why);
            continue;
        }
        const std::uint64_t made = here ? here->entitiesMade() : 0;
        EntityID about;
        arguments.read(about);
        arguments.resetReading();
        accepted(CallRun{name, about, caller, batchNumber, callSerial_ + 1});
        run(name, arguments, caller, batchNumber);
        ++traffic.callsRun;
        if (here) {
            const std::uint64_t count = here->entitiesMade() - made;
            traffic.entitiesMadeByCalls += count;
            from.entities.charge(clock_, static_cast<float>(count), copiesThrough(from));
        }
        if (runningRefused_) {
            // Its handler would not have it: it goes no further.
            dropped = true;
            ++traffic.callsDropped;
            continue;
        }
        callBatch::append(relay, name, arguments);
        printReceived(name);
    }
    if (in.broken()) {
        // Its last call is cut short: that call goes no further.
        dropped = true;
        ++traffic.callsDropped;
        from.refuse(clock_, "a call batch whose last call is cut short");
    }

    std::vector<std::uint8_t> ran;
    if (relay.bitsUsed() > 0) {
        callBatch::finish(relay);
        ran.assign(relay.data(), relay.data() + relay.bytesUsed());
        if (tap)
            tap->calls(ran);
    }
    if (!replayed) {
        // To every other connection, never back to the one it came from.
        const std::vector<std::uint8_t>& passOn = dropped ? ran : batch;
        if (!passOn.empty())
            traffic.callsSent +=
                passOn.size() *
                peer->broadcast(passOn.data(), passOn.size(), NetPeer::Reliability::reliableOrdered, 1, from.address);
    }
    return ran;
}

} // namespace kit
