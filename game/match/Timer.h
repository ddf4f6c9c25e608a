#pragma once

#include "engine/core/Behavior.h"

#include <string>

namespace skyscuffle {

// The match clock: counts the time left down and shows it on its entity's
// text as minutes and seconds (" 2:05").
class Timer : public kit::Behavior {
public:
    explicit Timer(float remaining);

    void update(float dt) override;

    // Minutes right-aligned in two characters, a colon, two digits of seconds.
    static std::string format(float seconds);

    float remaining;
};

} // namespace skyscuffle
