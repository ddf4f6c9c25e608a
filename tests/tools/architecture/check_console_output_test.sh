#!/usr/bin/env bash
# The console check on the repository passes; on a copy of the sources with
# console writes planted (std::cout in the core, std::printf in the game,
# puts and an fprintf to stderr in a tool), it fails and names each, while
# the same writes in a comment, an snprintf into a buffer and a write in a
# file of the allow-list pass; an allow-list entry for a file that is gone
# fails.
#
#   check_console_output_test.sh SOURCE_ROOT
set -uo pipefail

source=$(realpath "$1")
check="$source/tools/architecture/check_console_output.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; cat "$work/out" 2>/dev/null; exit 1; }

"$check" "$source" >"$work/out" 2>&1 || fail "the repository writes to the console outside the log"
grep -q '^console output goes through the log: [0-9]* files checked' "$work/out" || fail "no count of the files checked"

copy() {
  rm -rf "$work/engine" "$work/game" "$work/tools"
  cp -r "$source/engine" "$source/game" "$source/tools" "$work/"
}
copy
sed -i '1i void planted() { std::cout << "planted"; }' "$work/engine/core/World.cpp"
sed -i '1i void planted() { std::printf("planted\\n"); }' "$work/game/weapons/Bullet.cpp"
sed -i '1i void planted() { puts("planted"); }' "$work/tools/gallery/SpriteSheet.cpp"
sed -i '1i void planted() { std::fprintf(stderr, "planted\\n"); }' "$work/tools/gallery/ModelSheet.cpp"
# Not console writes, or allowed ones.
sed -i '1i // std::cout << "only a comment"; printf("neither")' "$work/engine/core/Tags.cpp"
sed -i '1i void formatted(char* b) { std::snprintf(b, 4, "%d", 1); }' "$work/game/combat/Health.cpp"
sed -i '1i void report() { std::printf("allowed\\n"); }' "$work/tools/match/Session.cpp"
"$check" "$work" >"$work/out" 2>&1 && fail "planted console writes were not found"
grep -q '^engine/core/World.cpp:1: .*std::cout' "$work/out" || fail "std::cout in the core was not named"
grep -q '^game/weapons/Bullet.cpp:1: .*std::printf' "$work/out" || fail "std::printf in the game was not named"
grep -q '^tools/gallery/SpriteSheet.cpp:1: .*puts' "$work/out" || fail "puts in a tool was not named"
grep -q '^tools/gallery/ModelSheet.cpp:1: .*fprintf(stderr' "$work/out" || fail "fprintf to stderr was not named"
grep -q '^4 console write(s) outside the log' "$work/out" || fail "the count is not 4"

copy
rm "$work/tools/match/SoakRecord.cpp"
"$check" "$work" >"$work/out" 2>&1 && fail "an allow-list entry for a file that is gone passed"
grep -q 'names tools/match/SoakRecord.cpp, which does not exist' "$work/out" || fail "the stale entry was not named"
echo PASS
