#pragma once

#include "game/ScoreTable.h"

namespace kit {
class World;
}

// The screen after a match: the players by their points, the winner named.
struct WinScreenInit {
    ScoreTable scores;
    void operator()(kit::World* world) const;
};
