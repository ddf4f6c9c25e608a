#!/usr/bin/env bash
# What copies show of each other's planes, and how fair their hits are,
# before and after the glide and the hit claims, on three links: three
# copies of two players each play MATCHES matches of SECONDS seconds per
# link and way (scripts/netfault's match3 with --view; the logs stay in
# OUT). "before" sets tuning.network.glide and tuning.network.projectileLead
# to 0: records taken as they come, projectiles where they were fired.
#
#   view_table.sh BUILD_DIR [SECONDS] [MATCHES] [OUT]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ $# -ge 1 ] || { sed -n 2,9p "$0" >&2; exit 2; }
build=$1 seconds=${2:-60} matches=${3:-3}
out=${4:-$(mktemp -d /tmp/view-table-XXXXXX)}
mkdir -p "$out"
rows=()
for link in quiet lossy internet; do
  for way in before after; do
    sets=()
    [ "$way" = before ] && sets=(--set tuning.network.glide=0 --set tuning.network.projectileLead=0)
    dir=$out/$link-$way
    "$root/scripts/netfault" match3 "$build" --players 2 --seconds "$seconds" --matches "$matches" --view \
      --link "$link" "${sets[@]}" --out "$dir" >"$out/$link-$way.txt" 2>&1
    tables=$(grep -o 'score tables: .*' "$out/$link-$way.txt" | head -1)
    row=$(python3 "$here/view_error.py" --label "$link $way" "$dir"/*.view | grep ' all ')
    rows+=("$row   (${tables:-no tables})")
  done
done
echo "== what copies show: 3 copies x 2 planes, $matches matches of $seconds s per link and way; logs in $out"
python3 "$here/view_error.py" --header --label x /dev/null 2>/dev/null | head -1
printf '%s\n' "${rows[@]}"
