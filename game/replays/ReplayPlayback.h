#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/Signal.h"
#include "engine/network/replay/ReplayFeed.h"

#include <functional>
#include <memory>
#include <string>

namespace skyscuffle {

// Plays a recorded match in the world of a separate copy (see
// screens::watchReplay): the replay's packets go into the world's own
// network system as if a host sent them, at the pace of the world's time,
// which the viewer's keys set:
//   Space  pause or play          Right / Left  10 s ahead / back
//   Up / Down  faster / slower (1/2, 1, 2, 4 times)
//   .  one frame on (paused)      F  follow the next player (then everyone)
//   C  a clip of the last ten seconds (see `clip`)
// Ahead is caught up at once (World::catchUp); back, the world is built
// again from the start and caught up to the moment (`restart`). At the end
// the playback pauses on the last picture.
class ReplayPlayback : public kit::Behavior {
public:
    static constexpr float speeds[] = {0.5f, 1.0f, 2.0f, 4.0f};
    static constexpr float seekSeconds = 10.0f;

    // Where a playback stands: carried over when it is built again.
    struct Pace {
        float at = 0.0f;
        std::size_t speed = 1; // into speeds
        bool paused = false;
        std::string following; // a colour name; empty: everyone
        bool overlay = true;   // the status and the keys shown over the match
    };
    using Restart = std::function<void(const Pace&)>;

    // `ready` tells when what the match draws is loaded: until then the
    // playback waits at its start (none: at once).
    ReplayPlayback(std::shared_ptr<const kit::Replay> replay, Pace start, Restart restart,
                   std::function<bool()> ready = {});

    void initialize() override;
    void update(float dt) override;
    void onRemoved() override;

    // What C does with the part of the replay the clip is to show (none:
    // nothing); the line it returns is shown under the status.
    std::function<std::string(float from, float seconds)> clip;
    static constexpr float clipSeconds = 10.0f;

    // What the keys do, for the keys and for tests.
    void togglePause();
    void seek(float to);
    void faster();
    void slower();
    void stepFrame();
    void followNext();
    void clipLastSeconds();

    [[nodiscard]] float seconds() const { return time_; }
    // Loaded and caught up to where it started: playing (or paused) as asked.
    [[nodiscard]] bool underway() const { return underway_; }
    [[nodiscard]] const Pace& start() const { return start_; }
    [[nodiscard]] kit::ReplayFeed& feed() { return feed_; }
    [[nodiscard]] float length() const;
    [[nodiscard]] bool paused() const { return paused_; }
    [[nodiscard]] float speed() const { return speeds[speed_]; }
    // The colour name of the player followed; empty while following everyone.
    [[nodiscard]] const std::string& following() const { return following_; }
    // The status line shown over the match.
    [[nodiscard]] std::string status() const;

private:
    void applyPace();
    void follow(const std::string& colourName);

    kit::ReplayFeed feed_;
    float time_ = 0.0f;
    Pace start_;
    Restart restart_;
    std::function<bool()> ready_;
    bool started_ = false;  // loaded, the catch-up asked for
    bool underway_ = false; // the catch-up done
    std::size_t speed_ = 1;
    bool paused_ = false;
    bool followPending_ = false; // the planes of a restart come with its first packets
    std::string following_;
    std::string notice_; // what the last clip asked for became
    std::vector<kit::ScopedConnection> keys_;
};

} // namespace skyscuffle
