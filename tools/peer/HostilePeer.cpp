#include "HostilePeer.h"

#include "ScriptLexer.h"

#include "engine/network/CallBatch.h"
#include "engine/network/NetworkSystem.h"

#include <cmath>
#include <thread>

namespace peer {
namespace {

// As many connections as a hosting copy of the game accepts.
constexpr std::size_t maxConnections = 16;

} // namespace

HostilePeer::HostilePeer(std::FILE* out, std::uint32_t origin) : out_(out), log_(out)
{
    context_.mine = origin;
    start_ = Clock::now();
    nextHeartbeat_ = start_;
}

HostilePeer::~HostilePeer() = default;

double HostilePeer::now() const
{
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

int HostilePeer::run(const Script& script)
{
    std::fprintf(out_, "peer origin %08x\n", context_.mine);
    const bool ok = execute(script.commands);
    // Whatever is still queued leaves with the goodbye.
    service();
    log_.tick(now(), true);
    peer_.shutdown(std::chrono::milliseconds(200));
    std::fprintf(out_, "sent %ld packets, %ld reached no connection\n", sent_, unsent_);
    log_.summary();
    return ok ? 0 : 1;
}

void HostilePeer::service()
{
    kit::NetPeer::Packet packet;
    while (peer_.receive(packet))
        log_.handle(packet, now());
    connected_ = connected_ || (joined_ && peer_.connectionCount() > 0);
    if (log_.firstCopy)
        context_.them = *log_.firstCopy; // "them": the first other copy heard from
    log_.tick(now());
    if (heartbeatRate_ > 0.0 && peer_.isActive() && Clock::now() >= nextHeartbeat_) {
        kit::NetStream packet;
        startState(packet);
        packet.write(false);
        send(packet, packet.bytesUsed(), false);
        nextHeartbeat_ +=
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / heartbeatRate_));
        if (nextHeartbeat_ < Clock::now())
            nextHeartbeat_ = Clock::now(); // no burst after a long step
    }
}

void HostilePeer::idleUntil(Clock::time_point until)
{
    for (;;) {
        service();
        const auto left = until - Clock::now();
        if (left <= Clock::duration::zero())
            return;
        std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(2)));
    }
}

bool HostilePeer::execute(const std::vector<Command>& commands)
{
    for (const Command& command : commands) {
        if (!execute(command))
            return false;
        service();
    }
    return true;
}

bool HostilePeer::waitFor(const Command& command, const std::function<bool()>& done, const char* what)
{
    const auto until =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(command.seconds));
    for (;;) {
        service();
        if (done())
            return true;
        // A joined peer whose host has gone waits for nothing more.
        if (joined_ && connected_ && peer_.connectionCount() == 0 && command.kind != Command::Kind::waitConnected) {
            std::fprintf(stderr, "line %d: the connection closed during the wait\n", command.line);
            return false;
        }
        if (Clock::now() >= until) {
            std::fprintf(stderr, "line %d: no %s within %g s\n", command.line, what, command.seconds);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool HostilePeer::loop(const Command& command)
{
    const std::int64_t outer = context_.index;
    bool ok = true;
    if (command.kind == Command::Kind::repeat) {
        for (std::size_t i = 0; ok && i < command.count; ++i) {
            context_.index = static_cast<std::int64_t>(i);
            ok = execute(command.body);
        }
    } else {
        // R times a second for S seconds: each run at its due time, or at
        // once when the peer has fallen behind.
        const auto runs = static_cast<std::size_t>(std::llround(command.rate * command.seconds));
        const auto begin = Clock::now();
        for (std::size_t i = 0; ok && i < runs; ++i) {
            const auto due = begin + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(static_cast<double>(i) / command.rate));
            if (due > Clock::now())
                idleUntil(due);
            context_.index = static_cast<std::int64_t>(i);
            ok = execute(command.body);
        }
    }
    context_.index = outer;
    return ok;
}

void HostilePeer::startState(kit::NetStream& packet)
{
    packet.write(kit::NetworkSystem::stateUpdateId);
    packet.write(context_.mine);
    packet.write(screen_);
}

void HostilePeer::appendRecord(kit::NetStream& packet, const Command& record)
{
    packet.write(true);
    ValueWriter::write(packet, record.values[0], context_);
    packet.write(record.text);
    kit::NetStream state;
    for (std::size_t i = 1; i < record.values.size(); ++i)
        ValueWriter::write(state, record.values[i], context_);
    packet.write(state);
}

void HostilePeer::appendCall(kit::NetStream& batch, const Command& call)
{
    kit::NetStream arguments;
    for (const Value& value : call.values)
        ValueWriter::write(arguments, value, context_);
    kit::callBatch::append(batch, call.text, arguments);
}

void HostilePeer::sendBatch(const std::vector<Command>& body)
{
    kit::NetStream calls, state;
    startState(state);
    bool anyCall = false, anyRecord = false;
    for (const Command& c : body) {
        if (c.kind == Command::Kind::call) {
            appendCall(calls, c);
            anyCall = true;
        } else if (c.kind == Command::Kind::state) {
            appendRecord(state, c);
            anyRecord = true;
        }
    }
    if (anyCall) {
        kit::callBatch::finish(calls);
        send(calls, calls.bytesUsed(), true);
    }
    if (anyRecord) {
        state.write(false);
        send(state, state.bytesUsed(), false);
    }
}

void HostilePeer::send(const kit::NetStream& packet, std::size_t bytes, bool reliable)
{
    ++sent_;
    const std::size_t reached = peer_.isActive()
                                    ? peer_.broadcast(packet.data(), std::min(bytes, packet.bytesUsed()),
                                                      reliable ? kit::NetPeer::Reliability::reliableOrdered
                                                               : kit::NetPeer::Reliability::unreliableSequenced,
                                                      reliable ? 1 : 0)
                                    : 0;
    unsent_ += reached == 0;
}

bool HostilePeer::execute(const Command& c)
{
    using Kind = Command::Kind;
    switch (c.kind) {
    case Kind::host:
        if (peer_.isActive())
            peer_.shutdown();
        if (!peer_.start(c.port, maxConnections)) {
            std::fprintf(stderr, "line %d: could not open port %u\n", c.line, c.port);
            return false;
        }
        peer_.setMaximumIncomingConnections(maxConnections);
        joined_ = false;
        std::fprintf(out_, "hosting on port %u\n", c.port);
        return true;
    case Kind::join:
    case Kind::reconnect:
        if (c.kind == Kind::join) {
            joinedAddress_ = c.text;
            joinedPort_ = c.port;
        }
        if (joinedPort_ == 0) {
            std::fprintf(stderr, "line %d: nothing to reconnect to\n", c.line);
            return false;
        }
        if (peer_.isActive())
            peer_.shutdown();
        peer_.start(0, 1);
        peer_.setMaximumIncomingConnections(0);
        if (!peer_.connect(joinedAddress_, joinedPort_)) {
            std::fprintf(stderr, "line %d: could not connect to %s|%u\n", c.line, joinedAddress_.c_str(), joinedPort_);
            return false;
        }
        joined_ = true;
        connected_ = false;
        std::fprintf(out_, "joining %s|%u\n", joinedAddress_.c_str(), joinedPort_);
        return true;
    case Kind::disconnect:
        peer_.shutdown(std::chrono::milliseconds(100));
        std::fprintf(out_, "disconnected\n");
        return true;
    case Kind::origin:
        context_.mine = ValueWriter::integer(c.values[0].numbers[0], context_);
        return true;
    case Kind::serial:
        context_.nextSerial = static_cast<std::uint32_t>(c.count);
        return true;
    case Kind::screen:
        screen_ = c.text;
        return true;
    case Kind::heartbeat:
        heartbeatRate_ = c.rate;
        nextHeartbeat_ = Clock::now();
        return true;
    case Kind::wait:
        idleUntil(Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(c.seconds)));
        return true;
    case Kind::waitConnected:
        return waitFor(
            c, [this] { return peer_.connectionCount() > 0; }, "connection");
    case Kind::waitCopy:
        return waitFor(
            c, [this] { return log_.firstCopy.has_value(); }, "copy's state");
    case Kind::waitCall:
        return waitFor(
            c, [this, &c] { return log_.calls.contains(ScriptLexer::shown(c.text)); }, "such call");
    case Kind::waitScreen:
        return waitFor(
            c,
            [this, &c] {
                for (const auto& [origin, screen] : log_.screens) {
                    if (screen == ScriptLexer::shown(c.text))
                        return true;
                }
                return false;
            },
            "copy on that screen");
    case Kind::call:
    case Kind::state:
        sendBatch({c});
        return true;
    case Kind::batch:
        sendBatch(c.body);
        return true;
    case Kind::packet: {
        kit::NetStream packet;
        for (const Value& value : c.values)
            ValueWriter::write(packet, value, context_);
        send(packet, c.cut, c.reliable);
        return true;
    }
    case Kind::repeat:
    case Kind::rate:
        return loop(c);
    case Kind::say:
        std::fprintf(out_, "%s\n", c.text.c_str());
        std::fflush(out_);
        return true;
    }
    return true;
}

} // namespace peer
