#!/usr/bin/env bash
# Checks that the engine, the game and the tools write to the console only
# through the log (engine/core/Log.h): no std::cout, std::cerr, std::clog,
# printf(, puts( or an fprintf/fputs to stdout or stderr outside the files
# of tools/architecture/console_allowed.txt (the log itself, the command
# line's help, the programs whose product is their standard output).
#
#   tools/architecture/check_console_output.sh [SOURCE_ROOT]
#
# Prints every such use with its file and line and exits 1 if there is one;
# prints how many files it checked and exits 0 if not.
set -euo pipefail

root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
cd "$root"

allowed=$(sed -e 's/#.*//' tools/architecture/console_allowed.txt | awk 'NF { print $1 }')
# An entry for a file that is gone would let a new file of that name write
# to the console unseen.
stale=0
for file in $allowed; do
  if [ ! -f "$file" ]; then
    echo "tools/architecture/console_allowed.txt names $file, which does not exist"
    stale=1
  fi
done
[ "$stale" -eq 0 ] || exit 1

# A comment's text is not code: what follows // on a line is left out (a
# string holding // may hide a use after it, which the review catches).
pattern='std::c(out|err|log)([^[:alnum:]_]|$)|(^|[^[:alnum:]_])(printf|puts|putchar)[[:space:]]*\(|f(printf|puts)[[:space:]]*\(.*(stdout|stderr)'

found=$(mktemp)
counted=$(mktemp)
trap 'rm -f "$found" "$counted"' EXIT
# One awk for every file: a process per file took most of the check's time.
find engine game tools -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.inl' \) -print0 | sort -z |
  xargs -0 awk -v allowed="$allowed" -v pattern="$pattern" -v counted="$counted" '
    BEGIN { n = split(allowed, list, "\n"); for (i = 1; i <= n; ++i) skip[list[i]] = 1 }
    FNR == 1 { if (!(FILENAME in skip)) ++checked }
    FILENAME in skip { nextfile }
    { code = $0; sub(/\/\/.*/, "", code) }
    code ~ pattern { printf "%s:%d: %s\n", FILENAME, FNR, $0 }
    END { print checked + 0 > counted }' >"$found"
checked=$(cat "$counted")

if [ -s "$found" ]; then
  cat "$found"
  echo "$(wc -l <"$found") console write(s) outside the log: use kit::log (engine/core/Log.h)"
  exit 1
fi
echo "console output goes through the log: $checked files checked"
