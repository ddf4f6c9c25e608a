#!/usr/bin/env bash
# The spelling check passes on the repository (the words the game must keep
# are on its ignore list); on a copy with misspellings planted in a comment, a
# document and a test script, it fails and names each, and it leaves the
# fuzzing seeds, which are data, alone.
#
#   spelling_test.sh SOURCE_ROOT
set -uo pipefail

source=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; cat "$work/out" 2>/dev/null; exit 1; }

"$source/tools/docs/check_spelling.sh" "$source" >"$work/out" 2>&1 || fail "the repository has misspellings"
grep -q '^no misspelling found$' "$work/out" || fail "the check did not say it passed"

copy="$work/tree"
mkdir "$copy"
for path in engine game tools scripts tests docs packaging cmake README.md ARCHITECTURE.md CMakeLists.txt \
            Makefile .codespellrc .codespell-ignore; do
  cp -r "$source/$path" "$copy/" 2>/dev/null || fail "could not copy $path"
done
mkdir -p "$copy/assets/fonts"
cp "$source/assets/README.md" "$copy/assets/" && cp "$source/assets/fonts/README.md" "$copy/assets/fonts/" ||
  fail "could not copy the assets' notes"
# Spelt in pieces here, so that this file passes the check itself.
receive_wrong="reci""eve" separate_wrong="sepe""rate" until_wrong="Unt""ill"
echo "// The hosts $receive_wrong the order." >>"$copy/engine/core/World.cpp"
echo "A $separate_wrong line." >>"$copy/docs/formats.md"
echo "# $until_wrong the end." >>"$copy/tests/tools/docs/spelling_test.sh"
echo "$receive_wrong $separate_wrong $until_wrong" >"$copy/tests/fuzz/seeds/planted"
"$copy/tools/docs/check_spelling.sh" "$copy" >"$work/out" 2>&1 && fail "planted misspellings were not found"
expect() { grep -q "$1" "$work/out" || fail "not reported: $2"; }
expect "^engine/core/World\.cpp:$(wc -l <"$copy/engine/core/World.cpp"): $receive_wrong ==> receive" "a comment's"
expect "^docs/formats\.md:$(wc -l <"$copy/docs/formats.md"): $separate_wrong ==> separate" "a document's"
expect "^tests/tools/docs/spelling_test\.sh:[0-9]*: $until_wrong ==> Until" "a test script's"
grep -q 'fuzz/seeds' "$work/out" && fail "the fuzzing seeds were checked"
[ "$(grep -c ' ==> ' "$work/out")" -eq 3 ] || fail "not exactly the 3 planted misspellings"
echo PASS
