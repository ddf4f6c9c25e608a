// Reads arbitrary bytes as a replay file, as the Replays screen and the replay
// tool read a file from anywhere. Checked: no crash or read out of bounds,
// and a replay that reads writes back into one that reads to the same
// records (state packets taken apart and rebuilt bit for bit).
#include "FuzzCheck.h"
#include "engine/network/replay/ReplayFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    (void)kit::decodeReplay({data, size}, error, true);
    const std::optional<kit::Replay> replay = kit::decodeReplay({data, size}, error);
    if (!replay) {
        fuzz::require(!error.empty() && error.find('\n') == std::string::npos);
        return 0;
    }
    const std::optional<kit::Replay> again = kit::decodeReplay(kit::encodeReplay(*replay), error);
    fuzz::require(again.has_value());
    fuzz::require(again->records.size() == replay->records.size());
    for (std::size_t i = 0; i < replay->records.size(); ++i) {
        fuzz::require(again->records[i].kind == replay->records[i].kind);
        fuzz::require(again->records[i].milliseconds == replay->records[i].milliseconds);
        fuzz::require(again->records[i].bytes == replay->records[i].bytes);
    }
    fuzz::require(again->header.players.size() == replay->header.players.size());
    fuzz::require(again->header.settings == replay->header.settings);
    return 0;
}
