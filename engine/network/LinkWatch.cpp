#include "LinkWatch.h"

#include "engine/core/Log.h"

#include "HostMigration.h"
#include "LinkReport.h"
#include "NetworkSystem.h"

#include <algorithm>

namespace kit {

LinkWatch::LinkWatch(NetworkSystem& network) : network_(network) {}

void LinkWatch::update(float dt)
{
    clock_ += dt;
    timer_ -= dt;
    if (timer_ > 0.0f)
        return;
    // Once a period, however long the frames: a slow frame banks no reports.
    timer_ = std::max(timer_ + reportPeriod, 0.0f);
    report();
    judge();
}

void LinkWatch::forget()
{
    reported_.clear();
    reportedBy_ = 0;
    alarm_.clear();
}

void LinkWatch::received(const NetPeer::Packet& packet)
{
    ConnectionGuard& from = network_.guardOf(packet.sender);
    if (network_.isServer()) {
        from.refuse(network_.clock(), "a link report, which only a host sends");
        return;
    }
    const std::optional<NetAddress> host = network_.migration().hostAddress();
    if (!host || packet.sender != *host) {
        from.refuse(network_.clock(), "a link report from a copy that is not the host");
        return;
    }
    const std::optional<LinkReport> report = LinkReport::decode(packet.data.data(), packet.data.size());
    if (!report) {
        from.refuse(network_.clock(), "a link report that is not whole");
        return;
    }
    // Each report tells the whole session: what it leaves out is not current.
    reported_.clear();
    for (const LinkReport::Entry& entry : report->entries) {
        // A copy this copy has not heard of may have left already, or not
        // arrived yet: the next report tells.
        if (entry.origin != network_.origin() && network_.peers().contains(entry.origin))
            reported_[entry.origin] = entry.link;
    }
    reportedBy_ = network_.migration().host();
    reportedAt_ = clock_;
}

std::optional<LinkQuality> LinkWatch::reported(std::uint32_t origin) const
{
    const std::uint32_t host = network_.migration().host();
    if (host == 0 || reportedBy_ != host || clock_ - reportedAt_ > reportLife)
        return std::nullopt;
    const auto found = reported_.find(origin);
    if (found == reported_.end())
        return std::nullopt;
    return found->second;
}

std::optional<LinkQuality> LinkWatch::toHost() const
{
    const std::optional<NetAddress> host = network_.migration().hostAddress();
    if (!host)
        return std::nullopt;
    return network_.peer->linkQuality(*host);
}

std::optional<LinkQuality> LinkWatch::of(std::uint32_t origin) const
{
    if (origin == network_.origin())
        return std::nullopt;
    const auto record = network_.peers().find(origin);
    if (record == network_.peers().end())
        return std::nullopt;
    if (network_.isServer())
        return network_.peer->linkQuality(record->second.address);
    const std::optional<LinkQuality> leg = toHost();
    if (!leg)
        return std::nullopt;
    if (origin == network_.migration().host())
        return leg;
    const std::optional<LinkQuality> theirs = reported(origin);
    if (!theirs)
        return std::nullopt;
    return throughHost(*leg, *theirs);
}

void LinkWatch::report()
{
    if (!network_.isServer() || !network_.peer->isActive())
        return;
    LinkReport report;
    for (const auto& [origin, record] : network_.peers()) {
        if (const std::optional<LinkQuality> link = network_.peer->linkQuality(record.address))
            report.entries.push_back(LinkReport::Entry{origin, *link});
    }
    if (report.entries.empty())
        return;
    const NetStream packet = report.encode();
    network_.peer->broadcast(packet.data(), packet.bytesUsed(), NetPeer::Reliability::unreliableSequenced, 0);
}

void LinkWatch::judge()
{
    alarm_.forgetIf([this](std::uint32_t origin) { return !network_.peers().contains(origin); });
    for (const auto& [origin, record] : network_.peers()) {
        if (const std::optional<LinkQuality> link = of(origin)) {
            if (const std::optional<std::string> line = alarm_.judge(origin, *link, clock_))
                log::info() << *line;
        }
    }
}

} // namespace kit

namespace kit {

float NetworkSystem::oneWayDelay(std::uint32_t origin) const
{
    if (origin == this->origin())
        return 0.0f;
    if (assumedDelay)
        return *assumedDelay;
    const std::optional<LinkQuality> link = links_->of(origin);
    if (!link)
        return 0.0f;
    return static_cast<float>(link->roundTripMs) / 2000.0f;
}

} // namespace kit
