#include "HostMigration.h"

#include "NetworkSettings.h"

#include "MessageIdentifiers.h"

#include "engine/core/Log.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace kit {
namespace {

std::string hex(std::uint32_t origin)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", origin);
    return text;
}

// As the network screen hosts: the game's connection limit.
std::size_t connectionLimit()
{
    return static_cast<std::size_t>(std::clamp(networkSettings::maxConnections.value(), 1, 65535));
}

} // namespace

HostMigration::HostMigration(NetworkSystem& network) : network_(network), started_(WallClock::now()) {}

HostMigration::WallClock::time_point HostMigration::wallNow() const
{
    return WallClock::now() + wallShift;
}

float HostMigration::wall() const
{
    return std::chrono::duration<float>(wallNow() - started_).count();
}

float HostMigration::wall(const Stamp& at) const
{
    return std::chrono::duration<float>(at.wall - started_).count();
}

HostMigration::Stamp HostMigration::now() const
{
    return Stamp{network_.clock(), wallNow()};
}

bool HostMigration::over(const Stamp& since, float seconds) const
{
    const std::chrono::duration<float> wall = wallNow() - since.wall;
    return network_.clock() - since.frame > seconds && wall.count() > seconds;
}

std::uint32_t HostMigration::self() const
{
    return network_.origin();
}

std::uint32_t HostMigration::host() const
{
    switch (role_) {
    case Role::hosting:
        return self();
    case Role::joining:
        return roster_ ? roster_->host : 0;
    case Role::seeking:
    case Role::none:
        break;
    }
    return 0;
}

std::optional<NetAddress> HostMigration::hostAddress() const
{
    if (role_ == Role::joining && connected_)
        return hostAddress_;
    return std::nullopt;
}

double HostMigration::secondsSinceChange() const
{
    return std::chrono::duration<double>(wallNow() - changedAt_.wall).count();
}

double HostMigration::secondsSinceHostHeard() const
{
    return std::chrono::duration<double>(wallNow() - lastHostPacket_.wall).count();
}

void HostMigration::restart(Role role)
{
    role_ = role;
    connected_ = false;
    hostAddress_ = NetAddress{};
    lastHostPacket_ = now();
    roster_.reset();
    rosterFromHost_ = false;
    rosterSequence_ = 0;
    arrivals_.clear();
    sentRoster_ = SessionRoster{};
    rosterTimer_ = 0.0f;
    passedOver_.clear();
    sessionAtChange_.clear();
    pick_ = 0;
    awaited_.clear();
    outcome_ = Outcome::none;
    lostHost_ = 0;
    replay_.release();
}

void HostMigration::hosted()
{
    if (!busy_)
        restart(Role::hosting);
}

void HostMigration::joined()
{
    if (!busy_)
        restart(Role::joining);
}

void HostMigration::left()
{
    if (!busy_)
        restart(Role::none);
}

bool HostMigration::intercept(const NetPeer::Packet& packet)
{
    const bool fromHost = role_ == Role::joining && connected_ && packet.sender == hostAddress_;
    if (fromHost)
        lastHostPacket_ = now();
    switch (packet.id()) {
    case message::connectionRequestAccepted:
        if (role_ == Role::seeking && packet.sender == pickAddress_) {
            arrived(packet.sender);
        } else if (role_ == Role::joining && !connected_) {
            connected_ = true;
            hostAddress_ = packet.sender;
            lastHostPacket_ = now();
        }
        return false; // said as ever
    case message::newIncomingConnection:
        return false;
    case message::connectionAttemptFailed:
    case message::noFreeIncomingConnections:
    case message::incompatibleProtocol:
        return role_ == Role::seeking; // the next attempt follows
    case message::disconnectionNotification:
    case message::connectionLost: {
        if (role_ == Role::seeking)
            return true; // an attempt that ended: the next one follows
        if (!fromHost)
            return false;
        const bool lost = packet.id() == message::connectionLost;
        log::info() << (lost ? "Connection lost." : "We have been disconnected.");
        lose(lost ? NetworkSystem::Departure::lost : NetworkSystem::Departure::left);
        return true;
    }
    case SessionRoster::id:
        if (fromHost) {
            // The host's rosters come in order; one that is not newer than
            // what this copy holds from it already changes nothing.
            std::optional<SessionRoster> roster = SessionRoster::decode(packet.data.data(), packet.data.size());
            const bool newer = roster && (!rosterFromHost_ || !roster_ || roster->host != roster_->host ||
                                          roster->sequence > roster_->sequence);
            if (newer) {
                roster_ = std::move(roster);
                rosterFromHost_ = true;
            }
        }
        return true;
    case CallReplay::id:
        replayed(packet);
        return true;
    case NetworkSystem::remoteCallsId:
        replay_.heard(packet.data.data(), packet.data.size(), wall());
        return false;
    default:
        return false;
    }
}

void HostMigration::update(float dt)
{
    switch (role_) {
    case Role::joining:
        if (connected_ && over(lastHostPacket_, hostSilence))
            lose(NetworkSystem::Departure::silent);
        else if (connected_ && secondsSinceHostHeard() > quietHost)
            holdRelayedRecords();
        break;
    case Role::seeking:
        keepWaitingRecords();
        if (pick_ == self()) {
            // This copy is the pick and could not open the session's port yet.
            if (over(pickedAt_, pickSeconds))
                goAlone(because_.c_str());
            else if (over(attemptAt_, portRetrySeconds))
                becomeHost(because_.c_str());
        } else if (over(pickedAt_, pickSeconds)) {
            passedOver_.insert(pick_);
            choose(("Copy " + hex(pick_) + " did not answer").c_str());
        } else if (over(attemptAt_, attempts_ == 0   ? firstAttemptDelay
                                    : attempts_ == 1 ? quickRetrySeconds
                                                     : attemptSeconds)) {
            attempt();
        }
        break;
    case Role::hosting:
        serveAsHost(dt);
        break;
    case Role::none:
        break;
    }
    // A joined copy keeps what it made since a little before its host's last
    // word, however long that is: it may yet have to replay it.
    const bool mayReplay = role_ == Role::joining && connected_;
    replay_.age(wall(), mayReplay ? wall(lastHostPacket_) - replayMargin : wall());
}

void HostMigration::holdRelayedRecords()
{
    // While the host says nothing, the copies heard through it cannot be
    // told apart from it: their silence is the host's, which decides.
    for (const auto& [origin, record] : network_.peers()) {
        if (record.address == hostAddress_)
            network_.markHeard(origin);
    }
}

void HostMigration::lose(NetworkSystem::Departure why)
{
    const NetAddress gone = hostAddress_;
    const std::uint32_t lost = roster_ ? roster_->host : 0;
    lostHost_ = lost;
    connected_ = false;
    hostLost(lost);
    if (!roster_) {
        // Nobody to turn to: every copy heard through the host goes with it.
        network_.forgetPeersAt(gone, why);
        goAlone("The session's host has gone");
        return;
    }
    network_.forgetPeers([lost](const NetworkSystem::PeerRecord& r) { return r.origin == lost; }, why);
    passedOver_ = {lost};
    // What this copy sent since a little before the host's last word may
    // never have got through, and what it received then may not have reached
    // every copy: it all goes to the next host, which passes it on.
    replay_.hold(self(), wall(lastHostPacket_) - replayMargin);
    role_ = Role::seeking; // until chosen otherwise: keeps the others' records waiting
    keepWaitingRecords();
    choose("The session's host has gone");
}

void HostMigration::choose(const char* because)
{
    const std::optional<std::uint32_t> next = nextHost(*roster_, passedOver_);
    bool others = false;
    for (const SessionRoster::Member& m : roster_->members)
        others = others || (m.origin != self() && !passedOver_.contains(m.origin));
    if (!next || !others)
        goAlone(because);
    else if (*next == self())
        becomeHost(because);
    else
        seek(*next, because);
}

void HostMigration::becomeHost(const char* because)
{
    if (pick_ != self()) {
        pick_ = self();
        pickedAt_ = now();
        because_ = because;
    }
    attemptAt_ = now();
    busy_ = true;
    network_.host(roster_->gamePort, connectionLimit());
    busy_ = false;
    if (!network_.peer->isActive()) {
        // The host that went may hold the port a moment longer (its process
        // still ending): tried again shortly, for as long as the others try
        // to reach this copy.
        role_ = Role::seeking;
        return;
    }
    log::info() << because << ": this copy hosts the session now";
    role_ = Role::hosting;
    outcome_ = Outcome::hostsSession;
    awaited_.clear();
    arrivals_.clear();
    for (const SessionRoster::Member& m : roster_->members) {
        if (m.origin != self() && !passedOver_.contains(m.origin)) {
            awaited_.insert(m.origin);
            arrivals_.push_back(m.origin); // they keep their places in the session
        }
    }
    rosterSequence_ = roster_->sequence;
    awaitSince_ = now();
    changedAt_ = awaitSince_;
    sentRoster_ = SessionRoster{};
    rosterTimer_ = 0.0f;
    resumed(self());
}

void HostMigration::seek(std::uint32_t pick, const char* because)
{
    log::info() << because << ": copy " << hex(pick) << " hosts the session next";
    pick_ = pick;
    const std::uint16_t port = reachPort != 0 ? reachPort : roster_->gamePort;
    pickAddress_ = reachOf(*roster_->member(pick), hostAddress_, port);
    pickedAt_ = now();
    attemptAt_ = pickedAt_;
    attempts_ = 0;
    role_ = Role::seeking;
}

void HostMigration::attempt()
{
    busy_ = true;
    network_.join(pickAddress_.ipString(), pickAddress_.port);
    busy_ = false;
    attemptAt_ = now();
    ++attempts_;
}

void HostMigration::arrived(const NetAddress& at)
{
    log::info() << "Joined copy " << hex(pick_) << ", the session's new host";
    role_ = Role::joining;
    connected_ = true;
    hostAddress_ = at;
    lastHostPacket_ = now();
    changedAt_ = lastHostPacket_;
    outcome_ = Outcome::joinedNextHost;
    sessionAtChange_ = {pick_};
    for (const SessionRoster::Member& m : roster_->members)
        sessionAtChange_.insert(m.origin);
    // Until the new host's own roster comes: the old one without the two hosts.
    SessionRoster next;
    next.host = pick_;
    next.gamePort = roster_->gamePort;
    next.sequence = roster_->sequence;
    for (const SessionRoster::Member& m : roster_->members) {
        if (m.origin != pick_ && !passedOver_.contains(m.origin))
            next.members.push_back(m);
    }
    roster_ = next;
    rosterFromHost_ = false; // the new host's first roster is taken whatever its number
    sendReplay(at);
    replay_.release();
    resumed(pick_);
}

void HostMigration::goAlone(const char* because)
{
    log::info() << because << ": this copy hosts its own games now";
    // The copies it hoped to meet again are gone for it.
    network_.forgetPeers([](const NetworkSystem::PeerRecord&) { return true; }, NetworkSystem::Departure::lost);
    busy_ = true;
    network_.reset();
    busy_ = false;
    role_ = Role::none;
    connected_ = false;
    awaited_.clear();
    replay_.release();
    outcome_ = Outcome::alone;
    resumed(self());
}

void HostMigration::keepWaitingRecords()
{
    // The copies expected back are not let go for silence meanwhile.
    for (const auto& [origin, record] : network_.peers()) {
        if (role_ == Role::seeking || awaited_.contains(origin))
            network_.markHeard(origin);
    }
}

SessionRoster HostMigration::currentRoster()
{
    // A copy heard from for the first time takes the last place; one that
    // is gone loses its place (coming back, it arrives anew).
    std::erase_if(arrivals_, [this](std::uint32_t origin) { return !network_.peers().contains(origin); });
    for (const auto& [origin, record] : network_.peers()) {
        if (std::find(arrivals_.begin(), arrivals_.end(), origin) == arrivals_.end())
            arrivals_.push_back(origin);
    }
    SessionRoster roster;
    roster.host = self();
    roster.gamePort = network_.peer->boundPort();
    roster.sequence = rosterSequence_;
    for (const std::uint32_t origin : arrivals_) {
        const NetworkSystem::PeerRecord& record = network_.peers().at(origin);
        if (network_.peer->connectionState(record.address) == NetPeer::ConnectionState::connected)
            roster.members.push_back(SessionRoster::Member{origin, record.address.ip});
    }
    return roster;
}

void HostMigration::serveAsHost(float dt)
{
    for (auto it = awaited_.begin(); it != awaited_.end();) {
        const auto record = network_.peers().find(*it);
        const bool back = record != network_.peers().end() &&
                          network_.peer->connectionState(record->second.address) == NetPeer::ConnectionState::connected;
        if (back) {
            log::info() << "Copy " << hex(*it) << " is back in the session";
            // What it may have missed meanwhile: the others' calls, and this copy's.
            if (replay_.holding())
                sendReplay(record->second.address);
        }
        it = back ? awaited_.erase(it) : std::next(it);
    }
    keepWaitingRecords();
    if (!awaited_.empty() && over(awaitSince_, awaitSeconds))
        awaited_.clear(); // the rest are gone: their records lapse as any silent copy's
    if (awaited_.empty() && replay_.holding())
        replay_.release();

    rosterTimer_ += dt;
    SessionRoster roster = currentRoster();
    if (roster.members.empty() || (roster == sentRoster_ && rosterTimer_ < rosterPeriod))
        return;
    sentRoster_ = roster;
    roster.sequence = ++rosterSequence_;
    const NetStream packet = roster.encode();
    network_.peer->broadcast(packet.data(), packet.bytesUsed(), NetPeer::Reliability::reliableOrdered, 1);
    sentRoster_.sequence = rosterSequence_;
    rosterTimer_ = 0.0f;
}

} // namespace kit
