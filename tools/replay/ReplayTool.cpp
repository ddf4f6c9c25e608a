// replay FILE: prints a replay's header and what it holds, or the one line
// that says why it is not a replay this game can play.
// replay --check FILE: plays it back too, checking it (see checkReplay).
#include "ReplayCheck.h"

#include "engine/network/replay/ReplayFile.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv)
{
    const bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::cerr << "usage: replay [--check] FILE\n";
        return 2;
    }
    std::string error;
    std::optional<kit::Replay> replay = kit::readReplayFile(argv[argc - 1], error);
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
    return 0;
}
