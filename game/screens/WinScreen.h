#pragma once

#include "game/match/ScoreTable.h"
#include "game/players/PlayerShapes.h"
#include "game/players/Sides.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

class PlayerInfo;

// The setup function of the win screen, shown when a match ends: every
// plane's player by score, highest first, the winner named in its colour.
// Enter (or the joystick's A or Start) returns to the join screen with the
// players kept; Escape (or Back) goes to the main menu.
struct WinScreenInit {
    ScoreTable scores;
    bool watchedHere = false;         // this copy watched the match without a plane
    std::size_t watchedElsewhere = 0; // other copies did
    bool rounds = false;              // the points are rounds won, and the table says so
    bool teams = false;               // a team match: the sides' table

    void operator()(kit::World* world) const;
};

// One line of the result table.
struct WinLine {
    std::string text;   // the label, and " Wins!" for the winner, in the player's language
    std::string logged; // the same in English, for the log
    std::string points; // right-aligned like the loading percentage
    glm::vec3 colour{1.0f};
    std::optional<Shape> shape;  // a player's, before the label (none for a player who left)
    glm::vec3 shapeColour{1.0f}; // the player's colour, which the shape is drawn in
    std::optional<Side> side;    // a team match's: its badge before the line
};

// The table's lines: by points, highest first (equal points keep the match's
// order). A player's label is its colour name, with " (remote)" when another
// copy made it; its shape goes before it.
std::vector<WinLine> winLines(kit::World* world, const ScoreTable& scores);
// A team match's table: first the side that won ("Sun team wins!", or "A
// draw") with both sides' points ("14 : 9"), then every player as in
// winLines, none of them named the winner, each with its side.
std::vector<WinLine> teamWinLines(kit::World* world, const ScoreTable& scores);
// Who watched the match without a plane, under the table: this copy's
// players by their colours (or "this copy" when it has none) and the count
// of other copies, after "Watching: "; empty when nobody watched.
std::string watchersLine(kit::World* world, bool watchedHere, std::size_t watchedElsewhere, bool translated = true);
// The player whose plane turns above the table: the first of the best score
// as the table lists them, the one its first line names (null for an empty
// table or a player who left).
const PlayerInfo* winnerOf(kit::World* world, const ScoreTable& scores);
// The player whose plane turns over the table: the winner, or in a team match
// the best of the side that won (of everyone in a draw).
const PlayerInfo* shownWinnerOf(kit::World* world, const ScoreTable& scores, bool teams);

} // namespace skyscuffle
