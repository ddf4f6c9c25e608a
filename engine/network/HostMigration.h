#pragma once

#include "CallReplay.h"
#include "NetAddress.h"
#include "NetPeer.h"
#include "NetworkSystem.h"
#include "SessionRoster.h"

#include "engine/core/Signal.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kit {

// Keeps a session going when its host goes. The host tells its clients, on
// every change and once a second, who is in the session and where (the
// SessionRoster). A client that loses its host (a goodbye, a lost connection,
// or two seconds without a packet from it) picks the next host from that
// roster as every other client does, the copy that has been in the session
// longest: that copy hosts on the session's game port and the others join it,
// each trying a few seconds before it gives the pick up and picks again. Only
// the host's own record goes; the other copies' records stay, waiting for
// them to come back through the next host. Calls that the change could lose
// are replayed (see CallReplay), each copy its own, and only while the
// session changes host. A copy with no roster, or none left to play with,
// becomes a copy on its own that hosts its own games.
//
// Owned by the network system, which hands it every packet first and tells
// it of the session control the screens ask for.
class HostMigration {
public:
    // What the last loss of a host made of this copy.
    enum class Outcome { none, joinedNextHost, hostsSession, alone };

    // Seconds without a packet from the host, on the frame clock and on the
    // wall clock both, after which it counts as gone. It sends 30 state
    // packets a second; the wall clock keeps one long frame from looking like
    // silence, the frame clock a stalled copy from blaming its host.
    static constexpr float hostSilence = 2.0f;
    // Seconds of the host's silence (wall clock) from which the copies heard
    // through it are not let go for their own silence: theirs is the host's.
    static constexpr float quietHost = 0.25f;
    // When to try the pick: the first attempt waits a moment (the pick
    // notices its host gone at about the same time and opens the game port);
    // an attempt not connected after a while starts afresh, the first soon
    // (the pick may have been a little late), then every second (the
    // transport resends a connection request itself after half a second, so
    // that is a try about every half second, and a slow link's handshake
    // gets its time).
    static constexpr float firstAttemptDelay = 0.1f;
    static constexpr float quickRetrySeconds = 0.4f;
    static constexpr float attemptSeconds = 1.0f;
    // A pick that never answers within this long is given up.
    static constexpr float pickSeconds = 4.0f;
    // The pick tries again this often to open the session's game port while
    // the host that went still holds it.
    static constexpr float portRetrySeconds = 0.25f;
    // How long the next host waits for the others to come back.
    static constexpr float awaitSeconds = 6.0f;
    static constexpr float rosterPeriod = 1.0f;
    // Own calls made this long before the host's last packet may not have
    // reached it (in flight, or resent after a loss): they are replayed too.
    static constexpr float replayMargin = 2.0f;
    // A replay is taken this long after the change of host (the next host's
    // start, a returning copy's arrival), no later.
    static constexpr float replayWindow = 15.0f;

    explicit HostMigration(NetworkSystem& network);

    // The session control the screens ask for: this copy hosts, joins, or
    // leaves. Each starts afresh (the outcome of an earlier loss is forgotten).
    void hosted();
    void joined();
    void left();

    // Sees every packet before the network system handles it; true when it
    // was handled here.
    bool intercept(const NetPeer::Packet& packet);
    // Each frame, after the packets.
    void update(float dt);
    // A call batch this copy sends (its end byte included).
    void made(const NetStream& batch);
    // On the hosting copy: the calls of a connection's batch that passed and
    // ran here, made by `maker` (its end byte included).
    void judged(std::uint32_t maker, const std::vector<std::uint8_t>& ran);

    // True while this copy looks for the next host.
    [[nodiscard]] bool seeking() const { return role_ == Role::seeking; }
    [[nodiscard]] Outcome outcome() const { return outcome_; }
    // The origin of the host this copy lost last (0: none).
    [[nodiscard]] std::uint32_t lostHost() const { return lostHost_; }
    // The copy this copy takes for the host now (its own origin when it hosts; 0 when unknown).
    [[nodiscard]] std::uint32_t host() const;
    // The connection to the host, while this copy is joined to one.
    [[nodiscard]] std::optional<NetAddress> hostAddress() const;
    // The copies the next host still waits for.
    [[nodiscard]] const std::set<std::uint32_t>& awaited() const { return awaited_; }
    [[nodiscard]] const std::optional<SessionRoster>& roster() const { return roster_; }
    // Wall-clock seconds since the last packet from the host (a client's).
    [[nodiscard]] double secondsSinceHostHeard() const;
    // Wall-clock seconds since this copy took over as host or joined the
    // next host (the last change of host it went through).
    [[nodiscard]] double secondsSinceChange() const;

    // Reach the next host on this port instead of the roster's game port (0):
    // for a relay between the copies that forwards to the game port.
    std::uint16_t reachPort = 0;
    // Added to the wall clock: a test moves this copy's time on without waiting.
    std::chrono::steady_clock::duration wallShift{};

    // This copy noticed its host gone (its origin, 0 when unknown).
    Signal<void(std::uint32_t host)> hostLost;
    // Play goes on: connected to the next host, hosting in its place, or alone.
    Signal<void(std::uint32_t host)> resumed;

private:
    enum class Role { none, hosting, joining, seeking };
    using WallClock = std::chrono::steady_clock;
    // A moment on both clocks.
    struct Stamp {
        float frame = 0.0f;
        WallClock::time_point wall{};
    };

    [[nodiscard]] Stamp now() const;
    [[nodiscard]] WallClock::time_point wallNow() const;
    // Wall-clock seconds since this object was made (now, or at a stamp): the
    // replay's clock, as the transport's delays are real time.
    [[nodiscard]] float wall() const;
    [[nodiscard]] float wall(const Stamp& at) const;
    [[nodiscard]] bool over(const Stamp& since, float seconds) const;
    [[nodiscard]] std::uint32_t self() const;

    void restart(Role role);
    void lose(NetworkSystem::Departure why);
    void choose(const char* because);
    void becomeHost(const char* because);
    void seek(std::uint32_t pick, const char* because);
    void attempt();
    void arrived(const NetAddress& at);
    void goAlone(const char* because);
    void keepWaitingRecords();
    void holdRelayedRecords();
    void serveAsHost(float dt);
    [[nodiscard]] SessionRoster currentRoster();
    void replayed(const NetPeer::Packet& packet);
    // Why a replay from a connection is not taken (nothing when it is).
    [[nodiscard]] std::optional<std::string>
    replayRefusal(const NetPeer::Packet& packet, const CallReplay::Decoded& replay, const ConnectionGuard& from) const;
    void sendReplay(const NetAddress& to);

    NetworkSystem& network_;
    WallClock::time_point started_;
    Role role_ = Role::none;
    bool connected_ = false; // a joining copy has its connection to the host
    bool busy_ = false;      // this class is the one calling the session control
    NetAddress hostAddress_;
    Stamp lastHostPacket_;
    std::optional<SessionRoster> roster_;
    bool rosterFromHost_ = false; // roster_ came from the host this copy is joined to
    SessionRoster sentRoster_;
    float rosterTimer_ = 0.0f;
    std::uint32_t rosterSequence_ = 0;    // of the last roster this copy sent as host
    std::vector<std::uint32_t> arrivals_; // as host: the other copies, oldest first

    std::set<std::uint32_t> passedOver_; // the host that went and picks that never answered
    // Joined to the next host: the copies of the session as it was when the
    // host went, and the new host. Their calls may come replayed through the
    // new host even before its roster lists them again.
    std::set<std::uint32_t> sessionAtChange_;
    std::uint32_t pick_ = 0;
    std::string because_; // why the pick was made, for the line when it is settled
    NetAddress pickAddress_;
    Stamp pickedAt_;
    Stamp attemptAt_; // the last attempt's start, or the pick's before the first
    int attempts_ = 0;
    std::set<std::uint32_t> awaited_;
    Stamp awaitSince_;
    Stamp changedAt_;                    // this copy took over as host, or joined the next host

    Outcome outcome_ = Outcome::none;
    std::uint32_t lostHost_ = 0;
    CallReplay replay_;
};

} // namespace kit
