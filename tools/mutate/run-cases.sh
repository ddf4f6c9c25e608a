#!/usr/bin/env bash
# Runs every case of a GoogleTest program in a process of its own, as CTest
# does (the render tests share caches that outlive one case's OpenGL context),
# and stops at the first case that fails.
#
#   tools/mutate/run-cases.sh PROGRAM
set -uo pipefail
program=$(realpath "$1")
cd "$(dirname "$program")" || exit 2
cases=$("$program" --gtest_list_tests | awk '/^[^ ]/ { suite = $1 } /^  [^ ]/ { print suite $1 }') || exit 2
for c in $cases; do
  "$program" --gtest_filter="$c" --gtest_brief=1 || exit 1
done
