#pragma once

#include "engine/core/Component.h"

#include <cstdint>
#include <string>

namespace skyscuffle {

// A plane's points: two for every kill, minus one for every death. May go
// below zero. Not replicated: every copy counts the kills and deaths it
// judged and ran, and no copy's word about its own points is taken.
class Score : public kit::Component {
public:
    Score();

    void serialize(kit::NetStream& stream) override;
    std::string networkTypeName() const override { return "score"; }

    std::int32_t points = 0;
    // Kills and deaths move the points; a match of rounds counts the rounds
    // won instead, and turns this off.
    bool byKills = true;
};

} // namespace skyscuffle
