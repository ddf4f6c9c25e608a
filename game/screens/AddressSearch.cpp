#include "AddressSearch.h"

#include "engine/network/LANDiscoverySystem.h"

#include <algorithm>
#include <thread>

namespace skyscuffle {

AddressSearch::AddressSearch(TypedAddress address, float patience) : address_(std::move(address)), patience_(patience)
{
    if (address_.dotted) {
        resolved_ = kit::NetAddress::resolve(address_.host, 0); // parsing only
        return;
    }
    // Detached: a search given up (the field closed, the screen left) must not
    // wait for a slow name server. The thread keeps the shared record alive
    // and touches nothing else.
    lookup_ = std::make_shared<Lookup>();
    std::thread([lookup = lookup_, host = address_.host] {
        lookup->found = kit::NetAddress::resolve(host, 0);
        lookup->done.store(true, std::memory_order_release);
    }).detach();
}

std::vector<kit::NetAddress> AddressSearch::candidates(const kit::LANDiscoverySystem& discovery) const
{
    std::vector<kit::NetAddress> at;
    if (address_.port != 0)
        at.push_back(kit::NetAddress{resolved_->ip, address_.port});
    else
        for (std::uint16_t port : discovery.ports)
            at.push_back(kit::NetAddress{resolved_->ip, port});
    return at;
}

AddressSearch::Outcome AddressSearch::poll(kit::LANDiscoverySystem* discovery, float dt)
{
    if (!discovery || discovery->boundPort == 0)
        return Outcome::noDiscovery;
    waited_ += dt;
    const bool outOfTime = waited_ >= patience_;
    if (!resolved_) {
        if (!lookup_ || !lookup_->done.load(std::memory_order_acquire))
            return outOfTime ? Outcome::noAnswer : Outcome::looking;
        if (!lookup_->found)
            return Outcome::unknownHost;
        resolved_ = lookup_->found;
    }
    if (!connecting_) {
        discovery->connectTo(resolved_->ipString(), address_.port);
        connecting_ = true;
    }

    bool answered = false, trying = false;
    for (const kit::NetAddress& at : candidates(*discovery)) {
        if (const auto server = discovery->servers.find(at); server != discovery->servers.end()) {
            if (server->second.hosting)
                return Outcome::hosting;
            answered = true;
            continue;
        }
        // Connected but not announced yet: its word is on the way.
        const auto state = discovery->peer->connectionState(at);
        answered = answered || state == kit::NetPeer::ConnectionState::connected;
        trying = trying || state != kit::NetPeer::ConnectionState::notConnected;
    }
    if (trying && !outOfTime)
        return Outcome::looking;
    return answered ? Outcome::answersWithoutSession : Outcome::noAnswer;
}

} // namespace skyscuffle
