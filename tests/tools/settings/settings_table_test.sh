#!/usr/bin/env bash
# The docs' table of settings is the one the game prints, and the check says
# so when it is not.
set -euo pipefail
game=$1 doc=$2
here=$(cd "$(dirname "$0")/../../.." && pwd)
table=$here/tools/settings/settings_table.sh
"$table" "$game" "$doc"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A default changed by hand in the docs.
sed 's/^| `gameWorld.matchLength` | number | 180 |/| `gameWorld.matchLength` | number | 240 |/' "$doc" >"$scratch/changed.md"
cmp -s "$doc" "$scratch/changed.md" && { echo "FAIL: the planted change did not take"; exit 1; }
if "$table" "$game" "$scratch/changed.md" >"$scratch/said" 2>&1; then
    echo "FAIL: a hand-changed default passed"; exit 1
fi
grep -q 'not the game' "$scratch/said" || { echo "FAIL: no reason given"; cat "$scratch/said"; exit 1; }
# A key the game no longer has.
awk '{ print } /settings:begin/ { print "| `gone.key` | number | 1 |  | nothing |" }' "$doc" >"$scratch/extra.md"
if "$table" "$game" "$scratch/extra.md" >/dev/null 2>&1; then echo "FAIL: an extra key passed"; exit 1; fi
# --write puts the game's table back, the text around it kept.
"$table" "$game" "$scratch/changed.md" --write
cmp "$doc" "$scratch/changed.md" || { echo "FAIL: --write did not give the game's table"; exit 1; }
# Without the markers there is nowhere to check.
grep -v 'settings:' "$doc" >"$scratch/bare.md"
if "$table" "$game" "$scratch/bare.md" 2>"$scratch/said"; then echo "FAIL: a document without markers passed"; exit 1; fi
grep -q 'no .* lines to hold the table' "$scratch/said" || { cat "$scratch/said"; exit 1; }
echo "settings table: checked"
