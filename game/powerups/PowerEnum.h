#pragma once

namespace skyscuffle {

// The kinds of power-up; the numbers travel in "spawnPowerup" and "grantPower".
enum class PowerEnum : int {
    wild = 0, // one of the others, drawn when the pick-up spawns
    bomb = 1,
    gatling = 2,
    shotgun = 3,
    speed = 4,
    health = 5,
};

} // namespace skyscuffle
