#include "ReplayCheck.h"
#include "game/startup/PlaybackHost.h"

#include "game/replays/ReplayPlayback.h"

#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/network/NetworkSystem.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace {

using namespace skyscuffle;
constexpr float frameTime = 1.0f / 60.0f;

} // namespace

bool checkReplay(const std::shared_ptr<const kit::Replay>& replay)
{
    skyscuffle::PlaybackHost host(320, 240, false);
    if (!host.ready())
        return false;
    kit::Application* app = &host.app();

    const float length = replay->header.seconds;
    ReplayPlayback* playback = host.start(replay, ReplayPlayback::Pace{}, frameTime, true);
    if (!playback) {
        std::cerr << "the playback did not start\n";
        return false;
    }
    const auto started = std::chrono::steady_clock::now();
    const long frames = static_cast<long>(length / frameTime) + 120;
    const auto ended = [&] {
        return playback->paused() && playback->seconds() >= length && playback->feed().finished();
    };
    for (long f = 0; f < frames && !ended(); ++f)
        app->frame(frameTime, false);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    const kit::ReplayFeed::Check& check = playback->feed().check();
    const kit::NetworkSystem* network = kit::NetworkSystem::of(app->current.get());
    const std::uint64_t ran = network ? network->traffic.callsRun : 0;
    const std::uint64_t refused = network ? network->traffic.callsDropped : 0;
    std::printf("played %.1f s of %.1f s in %.2f s: %zu of %zu records, %zu call batches\n",
                static_cast<double>(playback->seconds()), static_cast<double>(length), wall,
                playback->feed().played(), replay->records.size(), playback->feed().callBatches());
    std::printf("checked %zu state packets, %zu records: %zu differ, %zu missing; calls run %llu, refused %llu\n",
                check.statePackets, check.records, check.differing, check.missing,
                static_cast<unsigned long long>(ran), static_cast<unsigned long long>(refused));
    // Where things are, how they move, their health and the scores must be
    // exactly the recording's; a plane's flight keeps a dash this copy saw
    // end, as every receiving copy does.
    bool good = playback->feed().finished() && check.records > 0 && check.missing == 0 && refused == 0;
    for (const auto& [type, kind] : check.byType) {
        const bool exact = type != "planePhysics";
        std::printf("  %-13s %7zu records, %5zu differ%s\n", type.c_str(), kind.records, kind.differing,
                    exact ? "" : " (the receiver's own dash rule)");
        if (exact && kind.differing > 0)
            good = false;
    }

    // Seeking: a playback started at a moment (as going back builds it)
    // lands on it within a frame, and how long that takes.
    float worstError = 0.0f;
    double worstMs = 0.0;
    for (const float fraction : {0.1f, 0.5f, 0.9f}) {
        const float at = length * fraction;
        const auto before = std::chrono::steady_clock::now();
        ReplayPlayback::Pace pace;
        pace.at = at;
        ReplayPlayback* seeking = host.start(replay, pace, frameTime, false);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count();
        if (!seeking) {
            good = false;
            break;
        }
        // The first update ran the catch-up and one frame on top.
        const float error = std::fabs(seeking->seconds() - frameTime - at);
        worstError = std::max(worstError, error);
        worstMs = std::max(worstMs, ms);
        std::printf("seek to %.1f s: at %.4f s after its first frame, %.0f ms\n", static_cast<double>(at),
                    static_cast<double>(seeking->seconds()), ms);
    }
    std::printf("seeking: worst error %.5f s (a frame is %.5f s), slowest %.0f ms\n", static_cast<double>(worstError),
                static_cast<double>(frameTime), worstMs);
    return good && worstError <= frameTime;
}
