#include "NetworkSystem.h"

#include "HostMigration.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"

#include <algorithm>
#include <string>

// How a network system judges what its connections send: which copy a
// connection is, what a caller rule lets it call, its budgets, and the
// console lines about received calls.

namespace kit {

bool NetworkSystem::identify(ConnectionGuard& from, std::uint32_t sender)
{
    // A copy forgotten since (it left, was lost or fell silent) no longer
    // holds its connection: the connection may name itself anew.
    if (from.origin && !peers_.contains(*from.origin))
        from.origin.reset();
    if (from.origin)
        return *from.origin == sender;
    if (sender == origin())
        return false;
    // A copy another connection speaks for is that connection's. One heard
    // only through a host that is gone (the session changed host) may come
    // over a connection of its own.
    const bool claimed = peers_.contains(sender) && std::any_of(guards_.begin(), guards_.end(), [&](const auto& entry) {
                             return &entry.second != &from && entry.second.origin == sender;
                         });
    if (claimed)
        return false;
    from.origin = sender;
    return true;
}

ConnectionGuard& NetworkSystem::guardOf(const NetAddress& address)
{
    auto found = guards_.find(address);
    if (found == guards_.end()) {
        // Connections long gone: no copy of theirs is known any more and
        // nothing came from them for a while.
        constexpr std::size_t kept = 64;
        constexpr float quietFor = 10.0f;
        if (guards_.size() >= kept) {
            std::erase_if(guards_, [this](const auto& entry) {
                const ConnectionGuard& g = entry.second;
                return !(g.origin && peers_.contains(*g.origin)) && clock_ - g.lastUsed > quietFor;
            });
        }
        found = guards_.try_emplace(address, address, limits).first;
    }
    found->second.lastUsed = clock_;
    return found->second;
}

float NetworkSystem::copiesThrough(const ConnectionGuard& from) const
{
    if (isServer())
        return 1.0f;
    const auto copies = std::count_if(peers_.begin(), peers_.end(),
                                      [&](const auto& entry) { return entry.second.address == from.address; });
    return static_cast<float>(std::max<std::ptrdiff_t>(copies, 1));
}

bool NetworkSystem::callerMay(Caller rule, EntityID about, std::optional<std::uint32_t> caller) const
{
    // Without a caller (a joined copy hears its peers through the host, which
    // judged them), only what nobody but this copy may make is refused.
    const bool owner = caller ? about.origin == *caller : about.origin != origin();
    switch (rule) {
    case Caller::anyone:
        return true;
    case Caller::owner:
        return owner;
    case Caller::ownerOrShared:
        return owner || (world && world->entityHasTag(about, tagId(sharedLabel)));
    case Caller::host:
        // The host's calls reach a joined copy through the host; a named
        // caller must be the copy that hosts now, which is never one of a
        // hosting copy's connections.
        if (!caller)
            return !isServer() && about.origin != origin();
        return *caller != origin() && *caller == migration_->host();
    }
    return false;
}

std::optional<std::string> NetworkSystem::refusal(ConnectionGuard& from, std::optional<std::uint32_t> caller,
                                                  const std::string& name, NetStream& arguments)
{
    const auto declared = declarations_.find(name);
    if (declared == declarations_.end() || !findChannel(name))
        return std::string(); // counted, not reported per connection
    const float copies = copiesThrough(from);
    if (!from.calls.take(clock_, 1.0f, copies))
        return "calls beyond their budget";
    EntityID about;
    arguments.resetReading();
    arguments.read(about);
    arguments.resetReading();
    if (!callerMay(declared->second.caller, about, caller))
        return "\"" + name + "\" about entity " + originText(about.origin) + ":" + std::to_string(about.serial) +
               ", which is not theirs to call";
    if (from.entities.empty(clock_, copies))
        return "\"" + name + "\": entities made beyond their budget";
    return std::nullopt;
}

void NetworkSystem::printReceived(const std::string& name)
{
    const bool printable = std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    if (!printable)
        return;
    if (const unsigned unlisted = callLines_.takeRefused(clock_))
        log::info() << "(" << unlisted << " more received calls not listed)";
    if (callLines_.allow(clock_, limits.callLinesPerSecond))
        log::info() << "Recieved RPC call: " << name;
}

void NetworkSystem::countUnknownCall()
{
    ++unknownCalls_;
    if (unknownTold_ && clock_ - unknownToldAt_ < 1.0f && clock_ >= unknownToldAt_)
        return;
    log::warn() << "Ignored " << unknownCalls_ << " calls of functions not registered here";
    unknownCalls_ = 0;
    unknownTold_ = true;
    unknownToldAt_ = clock_;
}

} // namespace kit
