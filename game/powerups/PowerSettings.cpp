#include "PowerSettings.h"

namespace skyscuffle::powerSettings {

const kit::Setting<float> lifespan{"tuning.powerup.lifespan", 10.0f, "seconds a power-up waits to be picked up"};
const kit::Setting<float> minSpawnInterval{"tuning.powerupSpawn.minSpawnInterval", 1.0f,
                                           "the shortest wait for the next power-up, for one player"};
const kit::Setting<float> maxSpawnInterval{"tuning.powerupSpawn.maxSpawnInterval", 20.0f,
                                           "the longest wait for the next power-up, for one player"};
const kit::Setting<float> invincibilityDuration{"tuning.invincibilityPower.duration", 2.0f, "seconds a shield lasts"};
const kit::Setting<float> invincibilityFlashRate{"tuning.invincibilityPower.flashRate", 0.25f,
                                                 "seconds between a shielded plane's flashes (0 or less: 0.25)"};
const kit::Setting<float> speedDuration{"tuning.speedPower.duration", 5.0f, "seconds a speed power-up lasts"};
const kit::Setting<float> speedMultiplier{"tuning.speedPower.multiplier", 3.0f,
                                          "how many times its engine's push a speed power-up gives"};
const kit::Setting<int> gatlingGunShots{"tuning.gatlingGunPower.numOfBullets", 50,
                                        "bullets in a gatling gun power-up (below 0: none)"};
const kit::Setting<int> shotgunShots{"tuning.shotgunPower.numOfBullets", 5,
                                     "shots in a shotgun power-up (below 0: none)"};
const kit::Setting<int> bombs{"tuning.bombPower.numOfBombs", 3, "bombs in a bomb power-up (below 0: none)"};

} // namespace skyscuffle::powerSettings
