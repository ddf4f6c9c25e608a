#pragma once

#include "game/widgets/Plate.h"

#include <glm/vec2.hpp>

namespace skyscuffle {

// Where the join screen's parts stand at the player's text size.
//
// At the first size, as always: the controls top left, the arena's picture
// top right over the mascot, the players bottom left, the rules bottom right
// with the lines for friends elsewhere over them.
//
// At a larger size the words need the room the pictures had (`compact`):
// the controls take the window's width at the top, as many lines at a time
// as fit, turning like pages; the players and the rules share the bottom
// half, the lines for friends elsewhere (where a hosting copy has them)
// over the rules, broken to the column's width; the arena is named under the rules without its picture,
// the mascot stays away, and what became of the session takes the place of
// the count of remote players while there is something to say.
struct JoinLayout {
    bool compact = false;

    // The controls: their plate, title, lines and how many show at a time.
    widgets::Box help{glm::vec2(-0.47f, 0.44f), glm::vec2(1.54f, 0.88f)};
    glm::vec2 titleAt{-1.18f, 0.72f};
    float titleSize = 0.12f;
    glm::vec2 firstLine{-1.18f, 0.6f};
    float lineSize = 0.06f;
    float lineStep = 0.085f;
    float groupGap = 0.3f; // more space after each group of lines (the keyboards', the pads'), in steps
    int perPage = 7;

    // The players: their plate, title, lines, the count of remote players
    // under them, and each line's side badge.
    widgets::Box players{glm::vec2(-0.65f, -0.53f), glm::vec2(1.18f, 0.9f)};
    glm::vec2 playersTitleAt{-1.18f, -0.2f};
    float playersTitleSize = 0.08f;
    float rosterTop = -0.2f - 0.085f * 1.2f; // the first player's line
    float rosterStep = 0.085f;
    float rosterSize = 0.06f;
    glm::vec2 counterAt{-1.18f, -0.92f};
    float badgeX = -0.125f;
    float badgeSize = 0.075f;

    // The rules, one slot a line.
    widgets::Box rules{glm::vec2(0.64f, -0.73f), glm::vec2(1.3f, 0.44f)};
    glm::vec2 rulesAt{0.03f, -0.58f};
    float rulesSize = 0.045f;
    float rulesStep = 0.07f;

    // What became of the session (its line), and the lines for friends
    // elsewhere: where they start, their letters' height and, when compact,
    // the width they are broken to and the plate they stand on.
    glm::vec2 sessionAt{-1.18f, 0.64f};
    float sessionSize = 0.05f;
    glm::vec2 internetAt{0.0f, -0.5f};
    float internetSize = 0.04f;
    float internetWidth = 0.0f; // 0: one line, on a plate as long as the longest
    widgets::Box notice;

    // The arena: its picture (when shown) and the caption naming it.
    bool arenaPicture = true;
    glm::vec2 arenaCentre{0.84f, 0.68f};
    glm::vec2 arenaSize{0.7f, 0.4375f}; // the pictures' 320 x 200
    glm::vec2 captionAt{0.84f - 0.35f, 0.68f - 0.21875f - 0.08f};
    float captionSize = 0.045f;
    float captionRight = 0.84f + 0.39f - 0.02f;
};

// The layout for the player's text size; `friendsLines`: with room for the
// lines for friends elsewhere (compact; at the first size they always have it).
JoinLayout joinLayout(bool friendsLines = false);

} // namespace skyscuffle
