#!/usr/bin/env bash
# The table of settings in a document is the one the game prints: the lines
# between "<!-- settings:begin -->" and "<!-- settings:end -->" are
# `skyscuffle --list-settings=markdown`, nothing else.
#
#   settings_table.sh GAME DOC           exit 1, with a diff, when they differ
#   settings_table.sh GAME DOC --write   put the game's table into DOC
set -euo pipefail
[ $# -ge 2 ] || { sed -n 2,8p "$0" >&2; exit 2; }
game=$1 doc=$2 write=${3:-}
begin='<!-- settings:begin -->' end='<!-- settings:end -->'
grep -qxF "$begin" "$doc" && grep -qxF "$end" "$doc" || {
    echo "$doc: no '$begin' ... '$end' lines to hold the table" >&2
    exit 1
}
table=$(mktemp) merged=$(mktemp)
trap 'rm -f "$table" "$merged"' EXIT
"$game" --list-settings=markdown >"$table"
awk -v begin="$begin" -v end="$end" -v table="$table" '
    $0 == begin { print; while ((getline line < table) > 0) print line; skipping = 1; next }
    $0 == end { skipping = 0 }
    !skipping { print }
' "$doc" >"$merged"
if [ "$write" = --write ]; then
    cp "$merged" "$doc"
    exit 0
fi
if ! diff -u "$doc" "$merged"; then
    echo "$doc: the table of settings is not the game's; run tools/settings/settings_table.sh $game $doc --write" >&2
    exit 1
fi
