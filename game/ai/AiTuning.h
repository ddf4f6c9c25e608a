#pragma once

#include "engine/core/SettingsEntry.h"

namespace skyscuffle {

// The computer pilots' tuning, read once (keys as the tuning file has them).
struct AiTuning {
    kit::SettingsEntry<float> minHealthToBeAggressive{"tuning.ai.minHealthToBeAggressivee", 2.0f};
    kit::SettingsEntry<float> threatRange{"tuning.ai.threatRange", 30.0f};
    kit::SettingsEntry<float> distanceWeight{"tuning.ai.findTarget.distanceWeight", 0.01f};
    kit::SettingsEntry<float> healthWeight{"tuning.ai.findTarget.healthWeight", 1.0f};
    kit::SettingsEntry<float> scoreWeight{"tuning.ai.findTarget.scoreWeight", 2.0f};
    kit::SettingsEntry<float> steeringAccuracy{"tuning.ai.steeringAccuracy", 70.0f};
    kit::SettingsEntry<float> basicGunAccuracy{"tuning.ai.basicGunAccuracy", 0.9f};
    kit::SettingsEntry<float> shotgunAccuracy{"tuning.ai.shotgunAccuracy", 0.9f};
    kit::SettingsEntry<float> maxShotgunDistance{"tuning.ai.maxShotgunDistance", 10.0f};
    kit::SettingsEntry<float> bombAccuracy{"tuning.ai.bombAccuracy", 0.9f};
    kit::SettingsEntry<float> maxDashDistance{"tuning.ai.maxDashDistance", 10.0f};

    static const AiTuning& get()
    {
        static const AiTuning values;
        return values;
    }
};

} // namespace skyscuffle
