#include "Announcement.h"

#include "stream/NetStream.h"

namespace kit {

std::vector<std::uint8_t> Announcement::encode() const
{
    NetStream out;
    out.write(id);
    out.write(hosting);
    out.write(match.has_value());
    if (match) {
        out.write(match->secondsLeft);
        out.write(match->players);
    }
    return {out.data(), out.data() + out.bytesUsed()};
}

std::optional<Announcement> Announcement::decode(const std::uint8_t* data, std::size_t bytes)
{
    NetStream in(data, bytes);
    std::uint8_t identifier = 0;
    Announcement read;
    if (!in.read(identifier) || identifier != id || !in.read(read.hosting))
        return std::nullopt;
    bool running = false;
    RunningMatch match;
    if (in.read(running) && running && in.read(match.secondsLeft) && in.read(match.players) &&
        match.secondsLeft <= RunningMatch::longest && match.players <= RunningMatch::mostPlayers)
        read.match = match;
    return read;
}

} // namespace kit
