#pragma once

#include <glm/vec2.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

struct JoinLayout;

// What the join screen shows (where: see JoinLayout.h): the mascot over the backdrop, the controls,
// the players who have joined (in their colours) with the link to each other
// copy beside its players, and the count of the other copies' players, all
// kept current every frame.
void showJoinScreen(kit::World* world, const JoinLayout& layout);

// Under the notices: the match's rules, and on the hosting copy whether
// players of copies that come to watch the match may drop into it, with the
// keys that change them; a joined copy shows the rules its host chose. Kept
// current.
void showMatchLines(kit::World* world, const JoinLayout& layout);
// Their words, where this copy chooses: "F5 or (Right): a match of 3 min",
// "F6 or (Up): pick-ups normal" and, hosting a session, "Tab: late players
// may drop in (on)" (or "... (off)"); on a joined copy "The host's match:
// 3 min" and "Pick-ups: normal", or none before the host said.
std::vector<std::string> rulesLines(kit::World* world);
// `lines` for `slots` lines from `left` to `right` at glyph size `size`:
// those much too long for that (they would shrink by more than 15 %) broken
// into as many as each needs (the lines after the first indented), the
// longest first, as far as the slots allow; the others as they were (their
// glyphs then shrink).
std::vector<std::string> brokenToFit(const std::vector<std::string>& lines, std::size_t slots, float left, float right,
                                     float size);
// Top right: a picture of the arena the match is flown in (the entities
// labelled "arenaPreview", one an arena in their order, the one shown enabled), and under it
// "F9 or (L-stick): Canyon" where this copy chooses, "The host's arena:
// Canyon" on a joined copy (nothing before the host said).
void showArenaPreview(kit::World* world, const JoinLayout& layout);
// The number of that arena: this copy's choice, or its host's as heard.
[[nodiscard]] std::optional<std::int32_t> shownArena(kit::World* world);
std::string dropInLine(bool on);

// "N Remote Players Joined": the players whose entity another copy made.
std::string remotePlayersLine(kit::World* world);

// One line per player of every copy, in entity order: its shape (the font's
// glyph, see PlayerShapes.h), its colour name and who flies it ("keyboard",
// "gamepad 2", "computer", "remote").
std::vector<std::string> rosterLines(kit::World* world);

// Beside each of those lines, the link to the player's copy ("42 ms",
// "! 310 ms 7% loss": see linkLabel); empty for this copy's own players and
// for a copy whose figures have not come yet.
std::vector<std::string> linkLines(kit::World* world);

} // namespace skyscuffle
