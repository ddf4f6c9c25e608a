#pragma once

#include "game/players/PlayerTextureInfo.h"

#include "engine/network/NamedFunction.h"

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

// A copy that vanished from a running match (it crashed, or lost its link)
// and starts again comes back to it with its players and their points, not
// as a stranger. While it plays as a joined copy it keeps a note of the
// match (Note) in the player's state directory; started again soon after, it
// joins that host to watch, makes its players again and proves it is the
// copy that left ("comeBack") with a secret of its run whose fingerprint it
// told every copy at the start ("copyTicket"). Every copy remembers what a
// departed copy left, by fingerprint, for the rest of the match.
namespace comeBack {

// 64 bits of a SHA-1 of the secret: told to everyone, it tells nobody the secret.
struct Fingerprint {
    std::uint32_t high = 0;
    std::uint32_t low = 0;
    friend auto operator<=>(const Fingerprint&, const Fingerprint&) = default;
};

// This run's secret, drawn once from the system's random source.
[[nodiscard]] std::uint64_t secret();
[[nodiscard]] Fingerprint fingerprintOf(std::uint64_t secret);

// What a joined copy keeps of the match it plays.
struct Note {
    std::string host; // the host's IPv4 address
    std::uint16_t port = 0;
    std::uint64_t secret = 0;
    std::int64_t writtenAt = 0; // seconds since the epoch
    struct Player {
        int device = 0; // as JoinedBy has it
        bool computer = false;
        int strength = 1; // a computer pilot's (PilotStrength)
        std::string colourName;
        int number = 1;
    };
    std::vector<Player> players;
};

// The note as lines of text ("host,ADDRESS,PORT", "secret,HEX", "written,SECONDS",
// then "player,DEVICE,COMPUTER,STRENGTH,COLOUR,NUMBER" per player), and read
// back: nothing for text that is not a whole note (a missing line, a number
// out of range, a colour none of the six, more players than a session seats).
[[nodiscard]] std::string encode(const Note& note);
[[nodiscard]] std::optional<Note> decode(std::string_view text);

// The note of the match this copy plays now (its players as they are), or
// nothing when the world has no host to come back to.
[[nodiscard]] std::optional<Note> noteOf(kit::World& world, std::int64_t now);

// Where the note is kept ($XDG_STATE_HOME/skyscuffle/match-note.txt); empty
// when the player has no state directory.
[[nodiscard]] std::filesystem::path noteFile();
// Writes the note whole (a crash in the middle leaves the last one), or
// deletes it: the match ended, or the player left it.
void keep(const Note& note, const std::filesystem::path& file = noteFile());
void forget(const std::filesystem::path& file = noteFile());
// The note, if there is one written within `seconds` before `now`.
[[nodiscard]] std::optional<Note> recent(std::int64_t now, std::int64_t seconds,
                                         const std::filesystem::path& file = noteFile());

// The note this run came back with, until its players are made again.
std::optional<Note>& pending();

// Makes the note's players again in a world that watches the match (each
// with its device, pilot and strength, its colour and number) and announces
// them; returns how many it made.
std::size_t restorePlayers(kit::World& world, const Note& note);

} // namespace comeBack

namespace fn {
// A copy's fingerprint, about its system entity: the two halves.
inline constexpr kit::NamedFunction<std::uint32_t, std::uint32_t> copyTicket{"copyTicket"};
// A copy that left this match is back: the secret of its last run, in two
// halves, about the new copy's system entity.
inline constexpr kit::NamedFunction<std::uint32_t, std::uint32_t> comeBack{"comeBack"};
} // namespace fn

} // namespace skyscuffle
