#include "PilotSkill.h"

#include "engine/core/Settings.h"

#include <iostream>
#include <set>

PilotSkill skillOf(PilotStrength strength)
{
    namespace settings = kit::settings;
    PilotSkill s;
    switch (strength) {
    case PilotStrength::normal:
        break;
    case PilotStrength::easy:
        // Wide of the mark, slow to react, never charging in with a dash, and
        // no use of the pick-ups' weapons.
        s.aimScale = settings::get<float>("tuning.ai.easy.aimScale", 1.6f);
        s.reactionSeconds = settings::get<float>("tuning.ai.easy.reactionSeconds", 0.35f);
        s.gunCone = settings::get<float>("tuning.ai.easy.gunCone", 0.97f);
        s.dashReach = settings::get<float>("tuning.ai.easy.dashReach", 0.0f);
        s.usesPowers = settings::get<bool>("tuning.ai.easy.usesPowers", false);
        break;
    case PilotStrength::hard:
        s.aimScale = settings::get<float>("tuning.ai.hard.aimScale", 0.35f);
        s.reactionSeconds = settings::get<float>("tuning.ai.hard.reactionSeconds", 0.0f);
        s.gunCone = settings::get<float>("tuning.ai.hard.gunCone", 0.8f);
        s.dashReach = settings::get<float>("tuning.ai.hard.dashReach", 1.6f);
        s.usesPowers = settings::get<bool>("tuning.ai.hard.usesPowers", true);
        break;
    }
    return s;
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
    const std::string name = kit::settings::get<std::string>("tuning.ai.strength", "normal");
    if (const auto strength = strengthNamed(name))
        return *strength;
    static std::set<std::string> reported;
    if (reported.insert(name).second)
        std::cerr << "Tuning value tuning.ai.strength is \"" << name << "\", not easy, normal or hard; using normal\n";
    return PilotStrength::normal;
}
