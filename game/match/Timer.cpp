#include "Timer.h"

#include "game/looks/OutlinedText.h"

#include "engine/core/World.h"
#include "engine/render/Text.h"

#include <cmath>
#include <cstdio>

namespace skyscuffle {

Timer::Timer(float remaining) : remaining(remaining)
{
    addClassTags<Timer>("timer");
}

std::string Timer::format(float seconds)
{
    const long whole = std::isfinite(seconds) && seconds > 0.0f ? static_cast<long>(seconds) : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%2ld:%02ld", whole / 60, whole % 60);
    return text;
}

void Timer::update(float dt)
{
    remaining -= dt;
    if (auto* text = world->getComponent<kit::Text>(entityId)) {
        const std::string shown = format(remaining);
        if (text->text() != shown)
            setOutlinedText(text, shown); // and its outline, if it has one
    }
}

} // namespace skyscuffle
