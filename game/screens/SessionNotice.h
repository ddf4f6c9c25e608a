#pragma once

#include "engine/network/PortMapping.h"

#include <glm/vec2.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

namespace kit {
class World;
class NetworkSystem;
} // namespace kit

namespace skyscuffle {

struct JoinLayout;

// What became of the session when its host went, in a line for the screen:
// who hosts now, or that this copy is on its own. Empty when nothing happened.
std::string sessionNoticeLine(const kit::NetworkSystem& network);

// How friends elsewhere reach a hosting copy, in a line for the screen: the
// invite code of the port its router forwards, or the UDP port to forward by
// hand where the router would not. Empty when this copy does not host or
// does not ask its router.
// In the player's language, or in English for the log (`translated` false).
std::string internetNoticeLine(const kit::NetworkSystem& network, bool translated = true);

// The same line for a router's answer about `port`.
std::string internetLine(const kit::PortMapping::Status& status, std::uint16_t port, bool translated = true);

// The internet lines' letters (overlay units high), and the longest line
// internetLine says: a code with an address and a port of the most digits.
inline constexpr float internetLineSize = 0.04f;
inline constexpr std::size_t longestInternetLine = 60;

// How far the plate behind the internet lines reaches (overlay units) when
// they start at `internetAt`, at its largest: with the hint under a code.
struct NoticeBounds {
    float left, bottom, right, top;
};
NoticeBounds internetPlateBounds(glm::vec2 internetAt);

// The height of the plate behind the lines for friends elsewhere, in the
// height it was made with: none without lines; grown downwards by the hint's
// line once there is a code, unless the lines are `broken` to a width (the
// plate was made for the most lines and the hint).
float noticePlateScale(bool friends, bool code, bool broken);

// The invite code of a hosting copy's forwarded port; empty until its router
// has mapped one.
std::string inviteCodeOf(const kit::NetworkSystem& network);

// Puts the hosting copy's invite code on the clipboard, and says so on the
// console and for a few seconds under the code on the screen. False (and a
// line on the console) when there is no code to copy.
bool copyInviteCode(kit::World* world);

// For a screen's life: a line (at the layout's `sessionAt`) that tells what
// became of the session (sessionNoticeLine), the lines for friends elsewhere
// (at `internetAt`: internetNoticeLine; the console has each new one too)
// with a hint under them, once there is a code, of the keys that copy it,
// and the LAN discovery's hosting bit kept in step with the session, so
// that a copy that hosts in its host's place offers the session on the
// network as its host did. With a width for them (a larger text size) the
// lines for friends are broken to it and stand on the layout's `notice`
// plate; otherwise on a plate as wide as the longest of them, the hint
// growing it downwards.
void showSessionNotice(kit::World* world, const JoinLayout& layout);

} // namespace skyscuffle
