// What a copy reads of a running match from outside: the note of the match
// it left (a file in the player's state directory, which anything may have
// written), and the host's word of the match (a named call's arguments, from
// any peer). The first byte picks which. A note that reads reads back the
// same once written; a word of the match keeps no more planes than a session
// flies and reads back the same once written; nothing else crashes.
#include "FuzzCheck.h"
#include "game/lobby/ComeBack.h"
#include "game/match/MatchSoFar.h"

#include "engine/network/stream/NetStream.h"

#include <cstdlib>
#include <string_view>

namespace {

void readNote(std::string_view text)
{
    const std::optional<skyscuffle::comeBack::Note> note = skyscuffle::comeBack::decode(text);
    if (!note)
        return;
    const std::optional<skyscuffle::comeBack::Note> again =
        skyscuffle::comeBack::decode(skyscuffle::comeBack::encode(*note));
    fuzz::require(again && again->host == note->host && again->port == note->port && again->secret == note->secret &&
                  again->writtenAt == note->writtenAt && again->players.size() == note->players.size());
}

void readWord(const std::uint8_t* data, std::size_t size)
{
    kit::NetStream in(data, size);
    skyscuffle::MatchSoFar soFar;
    serialize(in, soFar);
    fuzz::require(soFar.planes.size() <= skyscuffle::MatchSoFar::mostPlanes);
    const float left = skyscuffle::secondsLeftOf(soFar);
    fuzz::require(left >= 0.0f && left <= skyscuffle::MatchSoFar::longestMatch);
    kit::NetStream out;
    serialize(out, soFar);
    kit::NetStream back(out.data(), out.bytesUsed());
    skyscuffle::MatchSoFar read;
    serialize(back, read);
    fuzz::require(read.planes.size() == soFar.planes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] % 2 == 0)
        readNote(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    else
        readWord(data + 1, size - 1);
    return 0;
}
