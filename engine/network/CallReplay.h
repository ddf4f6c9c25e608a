#pragma once

#include "stream/NetStream.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kit {

// The call batches a session must not lose when its host goes. A batch sent
// to a host that has just died reaches nobody, and one the host took in may
// have been passed on to some copies and not to others; calls made while a
// copy looks for the next host go nowhere at all. So every copy keeps the
// batches it made lately, and from the moment it loses its host it holds
// those of the last moments (and every batch it makes until it is connected
// again), to hand them to the next host. A copy replays only its own calls:
// nobody can speak for another. The next host judges each replayed call as
// a call of the copy that replays it, holds what passed, what it makes and
// what its connections' calls passed until the others are back, and hands
// each copy that comes back all of it, every batch under its maker's name.
//
// A batch may thus arrive twice (once as it was sent, once replayed): every
// copy remembers, for a while, when it ran or made which batch, by content,
// and a replayed batch runs only when no identical batch ran here near the
// moment the replaying copy had it (sameMomentSeconds). A batch's bytes name
// the entities it is about, which carry their maker's origin, so two copies
// practically never make the same batch; one copy may make the same batch
// again later (the same plane shooting down the same plane twice), which is
// why the moment counts and not the content alone.
//
// CallReplay packet (identifier 138, NetStream encoding), reliable-ordered on
// channel 1: identifier 8 bits (138), the origin of the copy that made every
// batch of the packet u32, then per batch a 1 bit, how many seconds before
// the packet the sender had it (float), and the batch as a nested stream (a
// RemoteCalls batch, its end byte included); a 0 bit ends. Batches of
// several makers go as several packets, in the order they were had.
class CallReplay {
public:
    using Bytes = std::vector<std::uint8_t>;

    static constexpr std::uint8_t id = 138;
    // Seconds of batches made here kept in case the host goes: it may have
    // died a while before its silence gave it away.
    static constexpr float keptSeconds = 10.0f;
    // Seconds a run batch is remembered: longer than any replay takes to come.
    static constexpr float rememberedSeconds = 30.0f;
    // Bounds on what is kept, whatever arrives: a replay stays well inside the
    // transport's largest packet.
    static constexpr std::size_t maxHeldBytes = 768 * 1024;
    static constexpr std::size_t maxRemembered = 1 << 16;
    static constexpr std::size_t maxKept = 4096;
    static constexpr std::size_t maxKeptBytes = 4 << 20;
    static constexpr std::size_t maxBatchesPerPacket = 4096;
    // Two copies had the same batch within this many seconds of each other
    // (the network's delay, resends on a lossy link): longer than that apart,
    // identical batches are two calls.
    static constexpr float sameMomentSeconds = 1.5f;

    // A batch of a replay and how long before the replay its sender had it.
    struct Replayed {
        Bytes bytes;
        float age = 0.0f;
    };
    // What a CallReplay packet holds: whose batches, and the batches.
    struct Decoded {
        std::uint32_t maker = 0;
        std::vector<Replayed> batches;
    };
    // A batch held for replay, with its maker and when it was had.
    struct Held {
        std::uint32_t maker = 0;
        float at = 0.0f;
        Bytes bytes;
    };

    // A batch this copy made (sent, or sent to nobody): kept a while, and
    // counted as run here.
    void made(const std::uint8_t* data, std::size_t size, float now);
    // A batch from the network about to run here: counted as run.
    void heard(const std::uint8_t* data, std::size_t size, float now);
    // Which of a replay's batches have not run here yet; those are counted as
    // run. `ages` (one per batch, or none: all of now) say when the sender had
    // each, in seconds before `now`.
    std::vector<bool> unseen(const std::vector<Bytes>& batches, float now, const std::vector<float>& ages = {});

    // From now on hold the batches this copy (`self`) made since `from`, every
    // batch it makes and every batch given to `keep`, until release. Times
    // are seconds on one clock of the caller's (the wall clock: delays on the
    // network are real time).
    void hold(std::uint32_t self, float from);
    // `at`: when the batch was had, on this replay's clock.
    void keep(std::uint32_t maker, const Bytes& batch, float at = 0.0f);
    void release();
    [[nodiscard]] bool holding() const { return holding_; }
    [[nodiscard]] const std::vector<Held>& held() const { return held_; }

    // Forgets what is too old to matter: kept batches older than keptSeconds,
    // but none since `keepSince`; the count of those run, after rememberedSeconds.
    void age(float now, float keepSince);

    // The held batches as CallReplay packets sent at `now`: one packet per
    // run of batches of one maker, in the order they were held.
    [[nodiscard]] std::vector<NetStream> packets(float now = 0.0f) const;
    // One packet of batches of one maker.
    [[nodiscard]] static NetStream packet(std::uint32_t maker, const std::vector<Held>& batches, float now = 0.0f);
    // What a CallReplay packet holds (at most maxBatchesPerPacket batches);
    // nothing for anything else. An age that is not a number of seconds
    // reads as 0.
    static std::optional<Decoded> decode(const std::uint8_t* data, std::size_t size);

private:
    struct Kept {
        float at = 0.0f;
        Bytes bytes;
    };
    struct Ran {
        float at = 0.0f;
        std::uint64_t digest = 0;
    };
    void remember(std::uint64_t digest, float now);
    void keepRecent(float now, Bytes bytes);
    void dropOldest();

    std::deque<Kept> recent_; // made here lately
    std::size_t recentBytes_ = 0;
    std::deque<Ran> ran_;
    std::unordered_map<std::uint64_t, std::size_t> runs_; // per digest, how often it ran here
    std::vector<Held> held_;
    std::size_t heldBytes_ = 0;
    std::uint32_t self_ = 0;
    bool holding_ = false;
    bool overflowTold_ = false;
};

} // namespace kit
