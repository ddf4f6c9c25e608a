#!/usr/bin/env bash
# The include check on the repository passes; on a copy of the sources with
# wrong-way includes planted (the core seeing the renderer, a relative
# include from the audio library up into the players, a gun seeing the power
# that gives it), it fails and names each; with a link that closes a cycle
# it fails and says so.
#
#   check_includes_test.sh SOURCE_ROOT
set -uo pipefail

source=$(realpath "$1")
check="$source/tools/architecture/check_includes.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; cat "$work/out" 2>/dev/null; exit 1; }

"$check" "$source" >"$work/out" 2>&1 || fail "the repository's includes cross the library graph"

cp -r "$source/engine" "$source/game" "$work/"
sed -i '1i #include "engine/render/Text.h"' "$work/engine/core/World.cpp"
sed -i '1i #include "../../players/PlayerInfo.h"' "$work/game/sound/audio/AudioSystem.cpp"
sed -i '1i #include "game/powerups/GatlingGunPower.h"' "$work/game/weapons/GatlingGun.cpp"
"$check" "$work" >"$work/out" 2>&1 && fail "planted wrong-way includes were not found"
grep -q '^engine/core/World.cpp:1: .*(kit_core) includes engine/render/Text.h (kit_render)' "$work/out" ||
  fail "the core's include of the renderer was not named"
grep -q '^game/sound/audio/AudioSystem.cpp:1: .*(skyscuffle_audio) includes game/players/PlayerInfo.h (skyscuffle_players)' "$work/out" ||
  fail "the audio library's relative include of the players was not named"
grep -q '^game/weapons/GatlingGun.cpp:1: .*(skyscuffle_weapons) includes game/powerups/GatlingGunPower.h (skyscuffle_powerups)' "$work/out" ||
  fail "the gun's include of its power was not named"
grep -q '^3 include(s) cross' "$work/out" || fail "the count is not 3"

rm -rf "$work/engine" "$work/game"
cp -r "$source/engine" "$source/game" "$work/"
echo 'target_link_libraries(skyscuffle_effects PUBLIC skyscuffle_combat)' >>"$work/game/effects/CMakeLists.txt"
"$check" "$work" >"$work/out" 2>&1 && fail "a cycle in the library graph was not found"
grep -q '^the library graph has a cycle' "$work/out" || fail "the cycle was not reported"
grep -q 'skyscuffle_effects' "$work/out" && grep -q 'skyscuffle_combat' "$work/out" ||
  fail "the cycle's libraries were not named"
echo PASS
