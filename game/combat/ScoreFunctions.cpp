#include "ScoreFunctions.h"

#include "game/combat/Score.h"

#include "engine/core/World.h"

#include <iostream>

namespace skyscuffle {

void addKillPoints(kit::EntityHandle plane)
{
    Score* score = plane.world ? plane.world->getComponent<Score>(plane.id) : nullptr;
    if (!score)
        return;
    score->points += 2;
    std::cout << "KILL  \tscore increased by 2 to a value of " << score->points << "\n";
}

void addDeathPoints(kit::EntityHandle plane)
{
    Score* score = plane.world ? plane.world->getComponent<Score>(plane.id) : nullptr;
    if (!score)
        return;
    score->points -= 1;
    std::cout << "DEADED\tscore decreased by 1 to a value of " << score->points << "\n";
}

std::string rightAligned(long value, std::size_t width)
{
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), ' ');
    return digits;
}

} // namespace skyscuffle
