#include "PilotSkill.h"

#include "PilotSettings.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"

#include <set>

namespace skyscuffle {

namespace {

// One level's figures as tuning entries (read every frame by every pilot).
struct LevelTuning {
    kit::SettingsEntry<float> aimScale, reactionSeconds, gunCone, dashReach;
    kit::SettingsEntry<bool> usesPowers;

    LevelTuning(const std::string& level, PilotSkill d)
        : aimScale("tuning.ai." + level + ".aimScale", d.aimScale),
          reactionSeconds("tuning.ai." + level + ".reactionSeconds", d.reactionSeconds),
          gunCone("tuning.ai." + level + ".gunCone", d.gunCone),
          dashReach("tuning.ai." + level + ".dashReach", d.dashReach),
          usesPowers("tuning.ai." + level + ".usesPowers", d.usesPowers)
    {
    }
    [[nodiscard]] PilotSkill skill() const
    {
        return PilotSkill{aimScale.value, reactionSeconds.value, gunCone.value, dashReach.value, usesPowers.value};
    }
};

} // namespace

PilotSkill skillOf(PilotStrength strength)
{
    switch (strength) {
    case PilotStrength::normal:
        break;
    case PilotStrength::easy: {
        // Wide of the mark, slow to react, never charging in with a dash, and
        // no use of the pick-ups' weapons.
        static const LevelTuning easy("easy", PilotSkill{1.6f, 0.35f, 0.97f, 0.0f, false});
        return easy.skill();
    }
    case PilotStrength::hard: {
        static const LevelTuning hard("hard", PilotSkill{0.35f, 0.0f, 0.8f, 1.6f, true});
        return hard.skill();
    }
    }
    return PilotSkill{};
}

const char* nameOf(PilotStrength strength)
{
    switch (strength) {
    case PilotStrength::easy:
        return "easy";
    case PilotStrength::hard:
        return "hard";
    case PilotStrength::normal:
        break;
    }
    return "normal";
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
