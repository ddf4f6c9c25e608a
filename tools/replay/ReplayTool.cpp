// replay FILE: prints a replay's header and what it holds, or the one line
// that says why it is not a replay this game can play.
// replay --check FILE: plays it back too, checking it (see checkReplay).
// replay --clip OUT.webp [--from S] [--seconds N] [--size WxH] [--fps F] FILE:
// draws that part of it into an animated WebP.
#include "ReplayCheck.h"
#include "game/startup/ClipExport.h"

#include "engine/network/replay/ReplayFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <iostream>

namespace replayFile = kit::replayFile;

int main(int argc, char** argv)
{
    bool check = false;
    std::optional<skyscuffle::ClipOptions> clip;
    std::string file;
    const auto usage = [] {
        std::cerr << "usage: replay [--check] FILE\n"
                     "       replay --clip OUT.webp [--from S] [--seconds N] [--size WxH] [--fps F] FILE\n";
        return 2;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        const auto number = [&](float low, float high, float& out) {
            char* end = nullptr;
            out = value ? std::strtof(value, &end) : 0.0f;
            ++i;
            return value && end && *end == '\0' && out >= low && out <= high;
        };
        float n = 0.0f;
        if (arg == "--check") {
            check = true;
        } else if (arg == "--clip" && value) {
            clip.emplace();
            clip->out = value;
            ++i;
        } else if (arg == "--from" && clip) {
            if (!number(0.0f, replayFile::maxSeconds, clip->from))
                return usage();
        } else if (arg == "--seconds" && clip) {
            if (!number(0.1f, 600.0f, clip->seconds))
                return usage();
        } else if (arg == "--fps" && clip) {
            if (!number(1.0f, 60.0f, n))
                return usage();
            clip->fps = static_cast<int>(n);
        } else if (arg == "--size" && clip && value) {
            char end = 0;
            ++i;
            if (std::sscanf(value, "%dx%d%c", &clip->width, &clip->height, &end) != 2 || clip->width < 16 ||
                clip->height < 16 || clip->width > 3840 || clip->height > 2160)
                return usage();
        } else if (file.empty() && !arg.empty() && arg[0] != '-') {
            file = arg;
        } else {
            return usage();
        }
    }
    if (file.empty() || (check && clip))
        return usage();
    std::string error;
    std::optional<kit::Replay> replay = kit::readReplayFile(file, error);
    if (!replay) {
        std::cerr << error << "\n";
        return 1;
    }
    const kit::ReplayHeader& h = replay->header;
    std::printf("recorded %s, %.1f s, winner %s\n", h.recordedAt.c_str(), static_cast<double>(h.seconds),
                h.winner.empty() ? "none (a draw)" : h.winner.c_str());
    for (const kit::ReplayPlayer& p : h.players)
        std::printf("player %-10s colour %.2f %.2f %.2f score %d\n", p.name.c_str(), static_cast<double>(p.colour.r),
                    static_cast<double>(p.colour.g), static_cast<double>(p.colour.b), p.score);
    for (const auto& [key, value] : h.settings)
        std::printf("setting %s = %s\n", key.c_str(), value.c_str());
    std::size_t calls = 0, callBytes = 0, states = 0, stateBytes = 0;
    for (const kit::ReplayRecord& r : replay->records) {
        const bool isCalls = r.kind == kit::ReplayRecord::Kind::calls;
        (isCalls ? calls : states) += 1;
        (isCalls ? callBytes : stateBytes) += r.bytes.size();
    }
    std::printf("records: %zu call batches (%zu bytes), %zu state packets (%zu bytes)\n", calls, callBytes, states,
                stateBytes);
    if (check)
        return checkReplay(std::make_shared<const kit::Replay>(std::move(*replay))) ? 0 : 1;
    if (clip)
        return skyscuffle::writeClip(std::make_shared<const kit::Replay>(std::move(*replay)), *clip) ? 0 : 1;
    return 0;
}
