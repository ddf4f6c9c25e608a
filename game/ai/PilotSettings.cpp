#include "PilotSettings.h"

namespace skyscuffle::pilotSettings {

const kit::Setting<std::string> strength{"tuning.ai.strength", "normal",
                                         "the strength of a new computer pilot: easy, normal or hard"};

const Judgement judgement{
    // The key's spelling is the one tuning files have always had.
    {"tuning.ai.minHealthToBeAggressivee", 2.0f, "health below which a pilot fetches health rather than attack"},
    {"tuning.ai.cautiousHealth", 5.0f,
     "health below which a cautious pilot (one of the last few of a round of last plane standing) evades and "
     "fetches health rather than attack"},
    {"tuning.ai.threatRange", 30.0f, "how near another plane is a threat a pilot evades"},
    {"tuning.ai.findTarget.distanceWeight", 0.01f, "how much a target's distance counts against it"},
    {"tuning.ai.findTarget.healthWeight", 1.0f, "how much a target's low health counts for it"},
    {"tuning.ai.findTarget.scoreWeight", 2.0f, "how much a target's high score counts for it"},
    {"tuning.ai.steeringAccuracy", 70.0f, "how widely a pilot's aim wanders (times its strength's aimScale)"},
    {"tuning.ai.basicGunAccuracy", 0.9f, "how well lined up (cosine) a pilot fires its gun"},
    {"tuning.ai.shotgunAccuracy", 0.9f, "how well lined up (cosine) a pilot fires the shotgun"},
    {"tuning.ai.maxShotgunDistance", 10.0f, "the farthest a pilot fires the shotgun from"},
    {"tuning.ai.bombAccuracy", 0.9f, "how nearly straight below (cosine) a target must be for a pilot to drop a bomb"},
    {"tuning.ai.maxDashDistance", 10.0f, "the farthest a pilot dashes at its target from"},
};

const Level easy{
    {"tuning.ai.easy.aimScale", 1.6f, "how widely an easy pilot's aim wanders (1: as a normal one)"},
    {"tuning.ai.easy.reactionSeconds", 0.35f, "seconds an easy pilot takes to react"},
    {"tuning.ai.easy.gunCone", 0.97f, "how well lined up (cosine) an easy pilot fires"},
    {"tuning.ai.easy.dashReach", 0.0f, "an easy pilot's dash distance, times ai.maxDashDistance (0: never dashes in)"},
    {"tuning.ai.easy.usesPowers", false, "an easy pilot fires the pick-ups' weapons"},
};

const Level hard{
    {"tuning.ai.hard.aimScale", 0.35f, "how widely a hard pilot's aim wanders (1: as a normal one)"},
    {"tuning.ai.hard.reactionSeconds", 0.0f, "seconds a hard pilot takes to react"},
    {"tuning.ai.hard.gunCone", 0.8f, "how well lined up (cosine) a hard pilot fires"},
    {"tuning.ai.hard.dashReach", 1.6f, "a hard pilot's dash distance, times ai.maxDashDistance"},
    {"tuning.ai.hard.usesPowers", true, "a hard pilot fires the pick-ups' weapons"},
};

} // namespace skyscuffle::pilotSettings
