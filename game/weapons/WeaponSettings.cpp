#include "WeaponSettings.h"

#include "ProjectileBudget.h"

namespace skyscuffle::weaponSettings {
namespace {

constexpr kit::SettingRange<float> positive{0.0f, {}};

} // namespace

const Gun basicGun{
    {"tuning.basicGun.period", 0.3f, "seconds between the basic gun's shots", positive},
    {"tuning.basicGun.bulletVelocity", 100.0f, "the basic gun's bullet speed, units a second", positive},
    {"tuning.basicGun.bulletLifespan", 5.0f, "seconds a basic gun's bullet flies", positive},
    {"tuning.basicGun.bulletRadius", 1.0f, "a basic gun's bullet's radius", positive},
    {"tuning.basicGun.damage", 2.0f, "a basic gun's bullet's damage", positive},
};

const Gun gatlingGun{
    {"tuning.gatlingGun.period", 0.1f, "seconds between the gatling gun's shots (at least 0.01 is used)", positive},
    {"tuning.gatlingGun.bulletVelocity", 100.0f, "the gatling gun's bullet speed, units a second", positive},
    {"tuning.gatlingGun.bulletLifespan", 5.0f, "seconds a gatling gun's bullet flies", positive},
    {"tuning.gatlingGun.bulletRadius", 0.25f, "a gatling gun's bullet's radius", positive},
    {"tuning.gatlingGun.damage", 2.0f, "a gatling gun's bullet's damage", positive},
};

const Shotgun shotgun{
    {
        {"tuning.shotgun.period", 1.0f, "seconds between the shotgun's shots", positive},
        {"tuning.shotgun.bulletVelocity", 100.0f, "the shotgun's pellet speed, units a second", positive},
        {"tuning.shotgun.bulletLifespan", 5.0f, "seconds a shotgun pellet flies", positive},
        {"tuning.shotgun.bulletRadius", 0.25f, "a shotgun pellet's radius", positive},
        {"tuning.shotgun.damage", 10.0f, "a shotgun shot's damage, shared by its pellets", positive},
    },
    {"tuning.shotgun.bulletsPerShot", 10, "pellets in a shotgun shot (1 to 100 are used)"},
    {"tuning.shotgun.spread", 30.0f, "the angle a shotgun shot spreads over, degrees"},
};

const Bombs bombs{
    {"tuning.bombSpawner.period", 1.0f, "seconds between bombs", positive},
    {"tuning.bombSpawner.bombVelocity", 0.0f, "the speed a bomb leaves its plane with, downwards", {}},
    {"tuning.bombSpawner.bombLifespan", 15.0f, "seconds before a bomb that hit nothing bursts", positive},
    {"tuning.bombSpawner.bombRadius", 2.0f, "a bomb's radius", positive},
    {"tuning.bombSpawner.minDamage", 0.0f, "a bomb's damage at the edge of its blast", positive},
    {"tuning.bombSpawner.maxDamage", 20.0f, "a bomb's damage at its centre", positive},
    {"tuning.bombSpawner.blastRadius", 10.0f, "how far a bomb's blast reaches", positive},
    {"tuning.bombSpawner.velocity", 4.0f, "not read by the game; kept for the tuning files that name it", {}},
};

const kit::Setting<float> maxAlivePerCopy{"tuning.projectiles.maxAlivePerCopy",
                                          ProjectileBudget::Limits{}.alive,
                                          "projectiles one copy may have in flight at once",
                                          {1.0f, {}}};
const kit::Setting<float> perCopyPerSecond{"tuning.projectiles.perCopyPerSecond",
                                           ProjectileBudget::Limits{}.perSecond,
                                           "projectiles one copy may fire a second, on average",
                                           {1.0f, {}}};
const kit::Setting<float> perCopyBurst{"tuning.projectiles.perCopyBurst",
                                       ProjectileBudget::Limits{}.burst,
                                       "projectiles one copy may fire at once above its average",
                                       {1.0f, {}}};
const kit::Setting<int> projectileLead{"tuning.network.projectileLead", 1,
                                       "another copy's shots appear where they are by now (up to 150 ms on), and "
                                       "hits a shooter saw are judged; 0: where they were fired, no claims"};

} // namespace skyscuffle::weaponSettings
