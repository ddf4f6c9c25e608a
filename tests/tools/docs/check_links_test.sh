#!/usr/bin/env bash
# The link check passes on the repository's documents; on a copy of them with
# broken links planted (a missing page, a missing picture, a heading that is
# not there, a repeated heading's third anchor), it fails with one line for
# each, and leaves alone what is no relative link (a web address, code).
#
#   check_links_test.sh SOURCE_ROOT
set -uo pipefail

source=$(realpath "$1")
check="$source/tools/docs/check_links.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; cat "$work/out" 2>/dev/null; exit 1; }

python3 "$check" "$source" >"$work/out" 2>&1 || fail "the repository has broken links"
grep -Eq '^all [1-9][0-9]+ link\(s\) of [1-9][0-9]* file\(s\) lead somewhere$' "$work/out" ||
  fail "the repository's links were not counted"

cp -r "$source/README.md" "$source/ARCHITECTURE.md" "$source/docs" "$work/"
mkdir -p "$work/assets" && cp "$source/assets/README.md" "$work/assets/"
cat >>"$work/docs/settings.md" <<'PLANTED'

## Twice

## Twice

Repeats: [first](#twice), [second](#twice-1), [third](#twice-2).
PLANTED
cat >>"$work/README.md" <<'PLANTED'

See [the manual](docs/manual.md) and ![a picture](docs/nothing.png), but not
`[code](docs/code.md)` or [the web](https://example.invalid/missing.md#nowhere).

```
[fenced](docs/fenced.md)
```
PLANTED
sed -i 's|(\.\./ARCHITECTURE\.md#who-may-call-what)|(../ARCHITECTURE.md#who-may-call-whom)|' "$work/docs/network.md"
python3 "$check" "$work" >"$work/out" 2>&1 && fail "planted broken links were not found"
expect() { grep -q "$1" "$work/out" || fail "not reported: $2"; }
expect '^README\.md:[0-9]*: docs/manual\.md: no such file: docs/manual\.md$' "a missing page"
expect '^README\.md:[0-9]*: docs/nothing\.png: no such file: docs/nothing\.png$' "a missing picture"
expect '^docs/network\.md:[0-9]*: \.\./ARCHITECTURE\.md#who-may-call-whom: no heading #who-may-call-whom in ARCHITECTURE\.md$' \
  "a heading that is not there"
expect '^docs/settings\.md:[0-9]*: #twice-2: no heading #twice-2 in docs/settings\.md$' "a third anchor of a twice-used heading"
expect '^4 of [0-9]* link(s) in [0-9]* file(s) broken$' "the count of 4"
line=$(grep -n 'the manual' "$work/README.md" | cut -d: -f1)
expect "^README\.md:$line: docs/manual\.md" "the broken link's line"
echo PASS
