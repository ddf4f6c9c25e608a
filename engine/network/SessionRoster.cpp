#include "SessionRoster.h"

#include <algorithm>

namespace kit {

NetStream SessionRoster::encode() const
{
    NetStream out;
    out.write(id);
    out.write(host);
    out.write(gamePort);
    out.write(sequence);
    for (const Member& m : members) {
        out.write(true);
        out.write(m.origin);
        out.write(m.ip);
    }
    out.write(false);
    return out;
}

std::optional<SessionRoster> SessionRoster::decode(const std::uint8_t* data, std::size_t size)
{
    NetStream in(data, size);
    std::uint8_t identifier = 0;
    SessionRoster roster;
    if (!in.read(identifier) || identifier != id || !in.read(roster.host) || !in.read(roster.gamePort) ||
        !in.read(roster.sequence))
        return std::nullopt;
    bool more = false;
    while (roster.members.size() < maxMembers && in.read(more) && more) {
        Member m;
        if (!in.read(m.origin) || !in.read(m.ip))
            break; // cut short: what came whole stands
        if (m.origin != roster.host && !roster.contains(m.origin))
            roster.members.push_back(m);
    }
    return roster;
}

bool SessionRoster::contains(std::uint32_t origin) const
{
    return member(origin).has_value();
}

std::optional<SessionRoster::Member> SessionRoster::member(std::uint32_t origin) const
{
    for (const Member& m : members) {
        if (m.origin == origin)
            return m;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> nextHost(const SessionRoster& roster, const std::set<std::uint32_t>& excluded)
{
    for (const SessionRoster::Member& m : roster.members) {
        if (!excluded.contains(m.origin))
            return m.origin;
    }
    return std::nullopt;
}

NetAddress reachOf(const SessionRoster::Member& member, const NetAddress& host, std::uint16_t port)
{
    const bool loopback = (member.ip >> 24) == 127;
    return NetAddress{loopback ? host.ip : member.ip, port};
}

} // namespace kit
