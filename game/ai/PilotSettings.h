#pragma once

#include "engine/core/Setting.h"

#include <string>

// How computer pilots choose and fly: their judgement, and how strong each
// strength is.
namespace skyscuffle::pilotSettings {

extern const kit::Setting<std::string> strength;

struct Judgement {
    kit::Setting<float> minHealthToBeAggressive;
    kit::Setting<float> cautiousHealth;
    kit::Setting<float> threatRange;
    kit::Setting<float> distanceWeight;
    kit::Setting<float> healthWeight;
    kit::Setting<float> scoreWeight;
    kit::Setting<float> steeringAccuracy;
    kit::Setting<float> basicGunAccuracy;
    kit::Setting<float> shotgunAccuracy;
    kit::Setting<float> maxShotgunDistance;
    kit::Setting<float> bombAccuracy;
    kit::Setting<float> maxDashDistance;
};
extern const Judgement judgement;

// What sets an easy or a hard pilot apart (a normal one has PilotSkill's defaults).
struct Level {
    kit::Setting<float> aimScale;
    kit::Setting<float> reactionSeconds;
    kit::Setting<float> gunCone;
    kit::Setting<float> dashReach;
    kit::Setting<bool> usesPowers;
};
extern const Level easy;
extern const Level hard;

} // namespace skyscuffle::pilotSettings
