#include "PilotSkill.h"

#include "PilotSettings.h"

#include "engine/core/Log.h"
#include "engine/core/Translation.h"

#include <set>

namespace skyscuffle {

namespace {

PilotSkill skillOf(const pilotSettings::Level& level)
{
    return PilotSkill{level.aimScale.value(), level.reactionSeconds.value(), level.gunCone.value(),
                      level.dashReach.value(), level.usesPowers.value()};
}

} // namespace

PilotSkill skillOf(PilotStrength strength)
{
    switch (strength) {
    case PilotStrength::normal:
        break;
    case PilotStrength::easy: {
        // Wide of the mark, slow to react, never charging in with a dash, and
        // no use of the pick-ups' weapons.
        return skillOf(pilotSettings::easy);
    }
    case PilotStrength::hard: {
        return skillOf(pilotSettings::hard);
    }
    }
    return PilotSkill{};
}

const char* nameOf(PilotStrength strength)
{
    switch (strength) {
    case PilotStrength::easy:
        return kit::trLater("easy");
    case PilotStrength::hard:
        return kit::trLater("hard");
    case PilotStrength::normal:
        break;
    }
    return kit::trLater("normal");
}

std::optional<PilotStrength> strengthNamed(const std::string& name)
{
    for (PilotStrength s : {PilotStrength::easy, PilotStrength::normal, PilotStrength::hard}) {
        if (name == nameOf(s))
            return s;
    }
    return std::nullopt;
}

PilotStrength defaultStrength()
{
    const std::string& name = pilotSettings::strength.value();
    if (const auto strength = strengthNamed(name))
        return *strength;
    static std::set<std::string> reported;
    if (reported.insert(name).second)
        kit::log::warn() << "Tuning value tuning.ai.strength is \"" << name
                         << "\", not easy, normal or hard; using normal";
    return PilotStrength::normal;
}

} // namespace skyscuffle
