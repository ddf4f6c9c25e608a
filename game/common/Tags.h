#pragma once

namespace skyscuffle {

// The tags and labels the game finds its entities and components by. The
// strings are the system's own: peers name components by them on the wire
// (a power that ends everywhere), and renderers draw by them. Class tags
// (each component's own name) stay with their classes.
namespace tags {

// What draws an entity: the lit scene, or the overlay of text and pictures.
inline constexpr char gameSpace[] = "gameSpace";
inline constexpr char hudSpace[] = "hudSpace";
// Drawn added onto what is behind (fire, sparks, light).
inline constexpr char additiveBlending[] = "additiveBlending";
// Falls under the match's gravity.
inline constexpr char hasGravity[] = "hasGravity";
// Moves with the system entity from world to world (services, players).
inline constexpr char persistant[] = "persistant";
// A player of any copy, and a plane in the air.
inline constexpr char player[] = "player";
inline constexpr char plane[] = "plane";
inline constexpr char playerInfo[] = "playerInfo";
// A pick-up in the air.
inline constexpr char pickUpItem[] = "pickUpItem";
// Every power a plane may have, the weapon powers (one at a time), and each
// kind that ends everywhere by name.
inline constexpr char power[] = "power";
inline constexpr char gunPower[] = "gunPower";
inline constexpr char bombPower[] = "bombPower";
inline constexpr char gatlingGunPower[] = "gatlingGunPower";
inline constexpr char shotgunPower[] = "shotgunPower";
inline constexpr char invincibilityPower[] = "invincibilityPower";
// The trail of a dash.
inline constexpr char dashEmitter[] = "dashEmitter";

} // namespace tags

} // namespace skyscuffle
