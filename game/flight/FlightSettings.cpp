#include "FlightSettings.h"

namespace skyscuffle::flightSettings {

// turnPower and alignmentForce are sixty times the values that turned a plane
// at about 2 degrees a second (the angular drag takes 99.5% a second): as if
// applied once per frame at 60 frames a second. With these a full stick turns
// about 130 degrees a second and the nose settles into the flight.
const kit::Setting<float> turnPower{
    "tuning.planePhysics.turnPower", 12.0f, "how hard a full stick turns the plane", {0.0f, {}}};
const kit::Setting<float> acceleration{
    "tuning.planePhysics.acceleration", 45.0f, "the engine's push, units a second per second", {0.0f, {}}};
const kit::Setting<float> liftPower{
    "tuning.planePhysics.liftPower", 10.0f, "how strongly the wings turn speed into lift", {0.0f, {}}};
const kit::Setting<float> alignmentForce{
    "tuning.planePhysics.alignmentForce", 2.4f, "how fast the nose settles into the direction of flight", {0.0f, {}}};
const kit::Setting<float> drift{
    "tuning.planePhysics.drift", 0.15f, "how much of its sideways motion a plane keeps", {0.0f, {}}};
const kit::Setting<float> angularDrag{
    "tuning.planePhysics.angularDrag", 0.995f, "the share of its turn a plane loses in a second", {0.0f, 1.0f}};
const kit::Setting<float> drag{
    "tuning.planePhysics.drag", 0.25f, "the share of its speed a plane loses to the air in a second", {0.0f, 1.0f}};
const kit::Setting<float> dashDuration{"tuning.planePhysics.dashDuration", 0.25f, "seconds a dash lasts", {0.0f, {}}};
const kit::Setting<float> dashCooldownDuration{
    "tuning.planePhysics.dashCooldownDuration", 2.0f, "seconds from one dash to the next", {0.0f, {}}};
// 2 added to a plane cruising at about 100 could be neither seen nor felt
// (and drag undid it before the dash's end): 60 is a lunge of some 15 units
// over the dash's quarter second, which the end of the dash cuts back.
const kit::Setting<float> dashSpeed{
    "tuning.planePhysics.dashSpeed", 60.0f, "the speed a dash adds, units a second", {0.0f, {}}};
const kit::Setting<float> mass{"tuning.planePhysics.mass", 1.0f, "a plane's mass in a collision", {0.0f, {}}};
const kit::Setting<float> dashMass{
    "tuning.planePhysics.dashMass", 10.0f, "a dashing plane's mass in a collision", {0.0f, {}}};
const kit::Setting<float> ramRepeatDelay{
    "tuning.planePhysics.ramRepeatDelay", 1.0f, "seconds before the same two planes can ram again", {0.0f, {}}};
const kit::Setting<float> ramDamage{
    "tuning.planePhysics.ramDamage", 2.0f, "damage of a ram, for each of dashing and speeding", {0.0f, {}}};
const kit::Setting<float> antiRollBias{
    "tuning.plane.antiRollBias", 5.0f, "how strongly a plane rolls back to keep its top up", {}};
const kit::Setting<int> glide{"tuning.network.glide", 1,
                              "another copy's plane flies on from each record by the link's delay and glides to "
                              "it; 0 takes each record as it comes"};

} // namespace skyscuffle::flightSettings
