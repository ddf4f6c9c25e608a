#include "HostMigration.h"

#include "MessageIdentifiers.h"

#include "engine/core/Settings.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
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
    return static_cast<std::size_t>(std::clamp(settings::get<int>("tuning.server.maxConnections", 16), 1, 65535));
}

} // namespace

HostMigration::HostMigration(NetworkSystem& network) : network_(network), started_(WallClock::now()) {}

float HostMigration::wall() const
{
    return std::chrono::duration<float>(WallClock::now() - started_).count();
}

float HostMigration::wall(const Stamp& at) const
{
    return std::chrono::duration<float>(at.wall - started_).count();
}

HostMigration::Stamp HostMigration::now() const
{
    return Stamp{network_.clock_, WallClock::now()};
}

bool HostMigration::over(const Stamp& since, float seconds) const
{
    const std::chrono::duration<float> wall = WallClock::now() - since.wall;
    return network_.clock_ - since.frame > seconds && wall.count() > seconds;
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

double HostMigration::secondsSinceHostHeard() const
{
    return std::chrono::duration<double>(WallClock::now() - lastHostPacket_.wall).count();
}

void HostMigration::restart(Role role)
{
    role_ = role;
    connected_ = false;
    hostAddress_ = NetAddress{};
    lastHostPacket_ = now();
    roster_.reset();
    sentRoster_ = SessionRoster{};
    rosterTimer_ = 0.0f;
    passedOver_.clear();
    pick_ = 0;
    awaited_.clear();
    opened_.clear();
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
        opened_[packet.sender] = now();
        if (role_ == Role::seeking && packet.sender == pickAddress_) {
            arrived(packet.sender);
        } else if (role_ == Role::joining && !connected_) {
            connected_ = true;
            hostAddress_ = packet.sender;
            lastHostPacket_ = now();
        }
        return false; // said as ever
    case message::newIncomingConnection:
        opened_[packet.sender] = now();
        if (role_ == Role::hosting && replay_.holding())
            sendReplay(packet.sender);
        return false;
    case message::connectionAttemptFailed:
    case message::noFreeIncomingConnections:
        return role_ == Role::seeking; // the next attempt follows
    case message::disconnectionNotification:
    case message::connectionLost: {
        opened_.erase(packet.sender);
        if (role_ == Role::seeking)
            return true; // an attempt that ended: the next one follows
        if (!fromHost)
            return false;
        const bool lost = packet.id() == message::connectionLost;
        std::cout << (lost ? "Connection lost.\n" : "We have been disconnected.\n");
        lose(lost ? NetworkSystem::Departure::lost : NetworkSystem::Departure::left);
        return true;
    }
    case SessionRoster::id:
        if (fromHost) {
            if (std::optional<SessionRoster> roster = SessionRoster::decode(packet.data.data(), packet.data.size()))
                roster_ = std::move(roster);
        }
        return true;
    case CallReplay::id:
        replayed(packet);
        return true;
    case NetworkSystem::remoteCallsId:
        replay_.heard(packet.data.data(), packet.data.size(), wall());
        if (role_ == Role::hosting && replay_.holding())
            replay_.keep(packet.data); // for the copies not back yet
        return false;
    default:
        return false;
    }
}

void HostMigration::made(const NetStream& batch)
{
    replay_.made(batch.data(), batch.bytesUsed(), wall());
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
        if (over(pickedAt_, pickSeconds)) {
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
    for (auto& [origin, record] : network_.peers) {
        if (record.address == hostAddress_)
            record.heardAt = network_.clock_;
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
    replay_.hold(wall(lastHostPacket_) - replayMargin);
    role_ = Role::seeking; // until chosen otherwise: keeps the others' records waiting
    keepWaitingRecords();
    choose("The session's host has gone");
}

void HostMigration::choose(const char* because)
{
    const std::optional<std::uint32_t> next = nextHost(*roster_, self(), passedOver_);
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
    busy_ = true;
    network_.host(roster_->gamePort, connectionLimit());
    busy_ = false;
    opened_.clear();
    if (!network_.peer->isActive()) {
        goAlone(because);
        return;
    }
    std::cout << because << ": this copy hosts the session now\n";
    role_ = Role::hosting;
    outcome_ = Outcome::hostsSession;
    awaited_.clear();
    for (const SessionRoster::Member& m : roster_->members) {
        if (m.origin != self() && !passedOver_.contains(m.origin))
            awaited_.insert(m.origin);
    }
    awaitSince_ = now();
    sentRoster_ = SessionRoster{};
    rosterTimer_ = 0.0f;
    resumed(self());
}

void HostMigration::seek(std::uint32_t pick, const char* because)
{
    std::cout << because << ": copy " << hex(pick) << " hosts the session next\n";
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
    opened_.clear();
    attemptAt_ = now();
    ++attempts_;
}

void HostMigration::arrived(const NetAddress& at)
{
    std::cout << "Joined copy " << hex(pick_) << ", the session's new host\n";
    role_ = Role::joining;
    connected_ = true;
    hostAddress_ = at;
    lastHostPacket_ = now();
    outcome_ = Outcome::joinedNextHost;
    // Until the new host's own roster comes: the old one without the two hosts.
    SessionRoster next;
    next.host = pick_;
    next.gamePort = roster_->gamePort;
    for (const SessionRoster::Member& m : roster_->members) {
        if (m.origin != pick_ && !passedOver_.contains(m.origin))
            next.members.push_back(m);
    }
    roster_ = next;
    sendReplay(at);
    replay_.release();
    resumed(pick_);
}

void HostMigration::goAlone(const char* because)
{
    std::cout << because << ": this copy hosts its own games now\n";
    // The copies it hoped to meet again are gone for it.
    network_.forgetPeers([](const NetworkSystem::PeerRecord&) { return true; }, NetworkSystem::Departure::lost);
    busy_ = true;
    network_.reset();
    busy_ = false;
    opened_.clear();
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
    for (auto& [origin, record] : network_.peers) {
        if (role_ == Role::seeking || awaited_.contains(origin))
            record.heardAt = network_.clock_;
    }
}

SessionRoster HostMigration::currentRoster() const
{
    SessionRoster roster;
    roster.host = self();
    roster.gamePort = network_.peer->boundPort();
    for (const auto& [origin, record] : network_.peers) {
        if (network_.peer->connectionState(record.address) == NetPeer::ConnectionState::connected)
            roster.members.push_back(SessionRoster::Member{origin, record.address.ip});
    }
    return roster;
}

void HostMigration::serveAsHost(float dt)
{
    for (auto it = awaited_.begin(); it != awaited_.end();) {
        const auto record = network_.peers.find(*it);
        const bool back = record != network_.peers.end() &&
                          network_.peer->connectionState(record->second.address) == NetPeer::ConnectionState::connected;
        if (back)
            std::cout << "Copy " << hex(*it) << " is back in the session\n";
        it = back ? awaited_.erase(it) : std::next(it);
    }
    keepWaitingRecords();
    if (!awaited_.empty() && over(awaitSince_, awaitSeconds))
        awaited_.clear(); // the rest are gone: their records lapse as any silent copy's
    if (awaited_.empty() && replay_.holding())
        replay_.release();

    rosterTimer_ += dt;
    const SessionRoster roster = currentRoster();
    if (roster.members.empty() || (roster == sentRoster_ && rosterTimer_ < rosterPeriod))
        return;
    const NetStream packet = roster.encode();
    network_.peer->broadcast(packet.data(), packet.bytesUsed(), NetPeer::Reliability::reliableOrdered, 1);
    sentRoster_ = roster;
    rosterTimer_ = 0.0f;
}

void HostMigration::sendReplay(const NetAddress& to)
{
    if (replay_.held().empty())
        return;
    const NetStream packet = replay_.packet(self(), wall());
    if (network_.peer->send(packet.data(), packet.bytesUsed(), NetPeer::Reliability::reliableOrdered, 1, to))
        network_.traffic.callsSent += packet.bytesUsed();
}

void HostMigration::replayed(const NetPeer::Packet& packet)
{
    const auto opened = opened_.find(packet.sender);
    const bool fromHost = role_ == Role::joining && connected_ && packet.sender == hostAddress_;
    if (opened == opened_.end() || over(opened->second, replayWindow) || !(fromHost || role_ == Role::hosting))
        return; // only as a session changes host, and only from its copies
    network_.traffic.callsReceived += packet.data.size();
    const float at = wall();
    std::vector<CallReplay::Bytes> batches;
    std::vector<float> ages;
    for (CallReplay::Replayed& r : CallReplay::decodeTimed(packet.data.data(), packet.data.size())) {
        batches.push_back(std::move(r.bytes));
        ages.push_back(r.age);
    }
    const std::vector<bool> fresh = replay_.unseen(batches, at, ages);
    for (std::size_t i = 0; i < batches.size(); ++i) {
        if (fresh[i])
            network_.runReplayed(NetPeer::Packet{batches[i], packet.sender, packet.guid});
    }
    if (role_ != Role::hosting)
        return;
    // The others have not all seen these either; each sorts out what it has.
    network_.traffic.callsSent +=
        packet.data.size() * network_.peer->broadcast(packet.data.data(), packet.data.size(),
                                                      NetPeer::Reliability::reliableOrdered, 1, packet.sender);
    for (std::size_t i = 0; i < batches.size(); ++i)
        replay_.keep(batches[i], at - ages[i]);
}

} // namespace kit
