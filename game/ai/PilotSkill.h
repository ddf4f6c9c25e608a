#pragma once

#include <optional>
#include <string>

namespace skyscuffle {

// How well a computer pilot flies: easy, normal or hard. Normal is the
// pilots' tuning as it stands; the other two scale it. Each level's figures
// are tuning values ("tuning.ai.<easy|hard>.<name>").
enum class PilotStrength { easy, normal, hard };

struct PilotSkill {
    float aimScale = 1.0f;          // times the tuning's aim error (the stick's random turn)
    float reactionSeconds = 0.0f;   // a new decision at most this often; the last one held between
    float gunCone = 0.0f;           // how well lined up before the gun fires (cosine; 0: the tuning's)
    float dashReach = 1.0f;         // times the tuning's distance at which it dashes at a target
    bool usesPowers = true;         // fires the shotgun and drops bombs
};

PilotSkill skillOf(PilotStrength strength);
const char* nameOf(PilotStrength strength); // "easy", "normal", "hard"
std::optional<PilotStrength> strengthNamed(const std::string& name);
// The strength new computer pilots get: the setting "tuning.ai.strength"
// (a name; a bad one costs one line and gives normal).
PilotStrength defaultStrength();

} // namespace skyscuffle
