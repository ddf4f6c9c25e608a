#include "HostMigration.h"

#include <string>
#include <utility>
#include <vector>

// The calls a change of host could lose, replayed: what this copy made and,
// on the host, what it ran of the others', kept for a while and sent to the
// next host or to a copy that comes back; a replay that comes is judged and
// what is new of it runs.

namespace kit {

void HostMigration::made(const NetStream& batch)
{
    replay_.made(batch.data(), batch.bytesUsed(), wall());
}

void HostMigration::judged(std::uint32_t maker, const std::vector<std::uint8_t>& ran)
{
    // For the copies not back yet: what passed, under its maker's name.
    if (role_ == Role::hosting && replay_.holding())
        replay_.keep(maker, ran, wall());
}

void HostMigration::sendReplay(const NetAddress& to)
{
    for (const NetStream& packet : replay_.packets(wall())) {
        if (network_.peer->send(packet.data(), packet.bytesUsed(), NetPeer::Reliability::reliableOrdered, 1, to))
            network_.traffic.callsSent += packet.bytesUsed();
    }
}

std::optional<std::string> HostMigration::replayRefusal(const NetPeer::Packet& packet,
                                                        const CallReplay::Decoded& replay,
                                                        const ConnectionGuard& from) const
{
    if (role_ == Role::hosting && outcome_ == Outcome::hostsSession) {
        // The next host takes each copy of the last roster's own calls, for
        // a while after it took over.
        if (over(changedAt_, replayWindow))
            return "a call replay long after the session changed host";
        if (!roster_ || !roster_->contains(*from.origin) || passedOver_.contains(*from.origin))
            return "a call replay from a copy that was not in the session";
        if (replay.maker != *from.origin)
            return "a call replay of calls copy " + originText(replay.maker) + " made";
        return std::nullopt;
    }
    if (role_ == Role::joining && outcome_ == Outcome::joinedNextHost) {
        // A copy that came back takes, from its new host, the calls it may
        // have missed, each under its maker's name: the new host's own and
        // those of the session's copies (one that comes back after this one
        // replays to the new host, which passes it on before its roster
        // lists that copy again).
        if (!(connected_ && packet.sender == hostAddress_))
            return "a call replay from a copy that is not the host";
        if (over(changedAt_, replayWindow))
            return "a call replay long after the session changed host";
        if (replay.maker == self() || !sessionAtChange_.contains(replay.maker))
            return "a call replay of calls copy " + originText(replay.maker) + " made";
        return std::nullopt;
    }
    return "a call replay while the session is not changing host";
}

void HostMigration::replayed(const NetPeer::Packet& packet)
{
    std::optional<CallReplay::Decoded> replay = CallReplay::decode(packet.data.data(), packet.data.size());
    if (!replay)
        return;
    ConnectionGuard& from = network_.guardOf(packet.sender);
    const bool hosting = role_ == Role::hosting;
    if (hosting && !from.origin) {
        // Whose replay it is, the connection's first state tells; it follows at once.
        if (!from.hold(packet.data))
            from.refuse(network_.clock(), "a call replay while its copy is not known yet (too much waiting)");
        return;
    }
    if (const std::optional<std::string> why = replayRefusal(packet, *replay, from)) {
        from.refuse(network_.clock(), *why);
        return;
    }
    network_.traffic.callsReceived += packet.data.size();
    const float at = wall();
    std::vector<CallReplay::Bytes> batches;
    std::vector<float> ages;
    for (CallReplay::Replayed& r : replay->batches) {
        batches.push_back(std::move(r.bytes));
        ages.push_back(r.age);
    }
    const std::vector<bool> fresh = replay_.unseen(batches, at, ages);
    std::vector<CallReplay::Held> passed;
    for (std::size_t i = 0; i < batches.size(); ++i) {
        if (!fresh[i])
            continue;
        std::vector<std::uint8_t> ran = network_.runReplayed(from, batches[i], replay->maker);
        if (!ran.empty())
            passed.push_back(CallReplay::Held{replay->maker, at - ages[i], std::move(ran)});
    }
    if (!hosting || passed.empty())
        return;
    // The others have not all seen these either; each sorts out what it has.
    const NetStream onward = CallReplay::packet(replay->maker, passed, at);
    network_.traffic.callsSent +=
        onward.bytesUsed() * network_.peer->broadcast(onward.data(), onward.bytesUsed(),
                                                      NetPeer::Reliability::reliableOrdered, 1, packet.sender);
    for (const CallReplay::Held& h : passed)
        replay_.keep(h.maker, h.bytes, h.at);
}

} // namespace kit
