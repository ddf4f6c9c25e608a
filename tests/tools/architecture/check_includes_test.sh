#!/usr/bin/env bash
# The include check on the repository passes; on a copy of the sources with
# one wrong-way include planted (the core seeing the renderer, a relative
# include from the audio library up into the game), it fails and names both.
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
"$check" "$work" >"$work/out" 2>&1 && fail "planted wrong-way includes were not found"
grep -q '^engine/core/World.cpp:1: .*(kit_core) includes engine/render/Text.h (kit_render)' "$work/out" ||
  fail "the core's include of the renderer was not named"
grep -q '^game/sound/audio/AudioSystem.cpp:1: .*(skyscuffle_audio) includes game/players/PlayerInfo.h (skyscuffle_game)' "$work/out" ||
  fail "the audio library's relative include of the game was not named"
grep -q '^2 include(s) cross' "$work/out" || fail "the count is not 2"
echo PASS
