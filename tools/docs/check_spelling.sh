#!/usr/bin/env bash
# Runs codespell over the code, scripts, tests and documents, with the
# repository's settings (.codespellrc: what is skipped; .codespell-ignore: the
# words the game spells as it must). Prints each misspelling as
# FILE:LINE: WORD ==> FIX and fails when there is any.
#
#   check_spelling.sh [SOURCE_ROOT]
set -uo pipefail

root=$(realpath "${1:-$(dirname "$0")/../..}")
cd "$root" || exit 2
if ! command -v codespell >/dev/null; then
  echo "codespell is not installed: scripts/install-deps installs it" >&2
  exit 2
fi

# Relative paths: .codespellrc's skip patterns are written against them.
paths=(engine game tools scripts tests docs packaging cmake assets/README.md assets/fonts/README.md
       README.md ARCHITECTURE.md CMakeLists.txt Makefile)
if codespell --config .codespellrc "${paths[@]}"; then
  echo "no misspelling found"
else
  echo "misspellings found: fix them, or add a word the game must keep to .codespell-ignore"
  exit 1
fi
