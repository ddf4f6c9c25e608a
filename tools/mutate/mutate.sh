#!/usr/bin/env bash
# Mutation check: applies each mutant of a list to the source tree alone,
# rebuilds incrementally, runs the tests against it inside the private network
# namespace and puts the file back. A mutant that some test notices is caught;
# one that every test lets through is a fault the suite would miss.
#
#   tools/mutate/mutate.sh BUILD_DIR [PATTERN]
#
# BUILD_DIR is a configured CMake build of the tests (make mutate uses
# build/mutate, so that a developer's build/test is left alone). PATTERN, a
# grep -E expression, keeps only the list lines that match it.
#
# Environment: MUTANTS (the list, default tools/mutate/mutants.txt), JOBS
# (build jobs, default 2), FROM=N (start at line N of the list: a long run
# taken up again where an earlier one stopped), MUTATE_CHECK=1 (only check
# that every mutant applies to exactly one place), MUTATE_QUICK=1 (run only the programs a mutant
# names, never the whole suite: for writing tests, not for the figure).
#
# Per mutant: build the test programs it names, run them; if none fails, build
# everything and run the whole suite (ctest, stopping at the first failure)
# before calling it a survivor. Every run has a time limit derived from the
# clean code's own run, so a mutant that hangs counts as caught ("timeout").
# The mutated file is restored on exit, on Ctrl-C and on TERM; a run killed
# outright leaves a note in BUILD_DIR that the next run acts on first.
set -uo pipefail
shopt -u patsub_replacement 2>/dev/null || true

root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root" || exit 2

if [ $# -lt 1 ]; then
  echo "usage: tools/mutate/mutate.sh BUILD_DIR [PATTERN]" >&2
  exit 2
fi
build=$(realpath "$1")
pattern=${2:-}
list=${MUTANTS:-tools/mutate/mutants.txt}
jobs=${JOBS:-2}
quick=${MUTATE_QUICK:-0}
logs="$build/mutate-logs"
journal="$build/mutate-journal"   # the path of the file being mutated
original="$build/mutate-original" # its clean content

if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "mutate: $build is not a configured build directory" >&2
  exit 2
fi
mkdir -p "$logs"

child=""
restore() {
  if [ -f "$journal" ]; then
    local file
    file=$(<"$journal")
    cat "$original" >"$root/$file" && rm -f "$journal" "$original"
  fi
}
stop_child() {
  if [ -n "$child" ] && kill -0 "$child" 2>/dev/null; then
    kill -TERM "$child" 2>/dev/null
    wait "$child" 2>/dev/null
  fi
  child=""
}
on_signal() {
  trap - INT TERM HUP
  echo
  echo "mutate: interrupted, restoring the tree" >&2
  stop_child
  restore
  exit "$1"
}
trap 'stop_child; restore' EXIT
trap 'on_signal 130' INT
trap 'on_signal 143' TERM
trap 'on_signal 129' HUP

# Runs a command under a time limit (seconds) in its own process group, in the
# background so that a signal to this script is handled at once. Output goes
# to the log file. Returns the command's status, 124 on timeout.
bounded() {
  local limit=$1 log=$2
  shift 2
  timeout --kill-after=10 "$limit" "$@" >>"$log" 2>&1 &
  child=$!
  wait "$child"
  local status=$?
  child=""
  return $status
}

build_targets() { # log target...
  local log=$1
  shift
  local targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  bounded 3600 "$log" nice cmake --build "$build" -j "$jobs" "${targets[@]}"
}

run_program() { # limit log program
  # The program's cases as the suite runs them (labelled with its name), in
  # parallel, stopping at the first failure; a label that matches nothing fails.
  bounded "$1" "$2" "$root/scripts/run-tests" "$build" -L "^$3\$" --no-tests=error --stop-on-failure
}

run_suite() { # limit log
  bounded "$1" "$2" "$root/scripts/run-tests" "$build" --stop-on-failure
}

seconds() { date +%s; }

if [ -f "$journal" ]; then
  echo "mutate: $(<"$journal") was left mutated by an interrupted run; restoring it"
  # Touched once more after a pause: a build the killed run left behind may
  # still write the mutant's objects, which must not look newer than the source.
  file=$(<"$journal")
  restore
  sleep 2
  touch "$file"
fi

# --- The list ---------------------------------------------------------------
# One mutant a line:  FILE | TEST PROGRAMS | WHY | TEXT => REPLACEMENT
files=() programs=() whys=() texts=() repls=() lines=()
stale=()
number=0
while IFS= read -r line || [ -n "$line" ]; do
  number=$((number + 1))
  [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
  [ "$number" -lt "${FROM:-0}" ] && continue
  if [ -n "$pattern" ] && ! grep -qE -- "$pattern" <<<"$line"; then
    continue
  fi
  if [[ $line != *" | "*" | "*" | "*" => "* ]]; then
    stale+=("$list:$number: not FILE | TEST PROGRAMS | WHY | TEXT => REPLACEMENT")
    continue
  fi
  rest=$line
  file=${rest%% | *}
  rest=${rest#* | }
  progs=${rest%% | *}
  rest=${rest#* | }
  why=${rest%% | *}
  change=${rest#* | }
  text=${change%% => *}
  repl=${change#* => }
  if [ ! -f "$file" ]; then
    stale+=("$list:$number: no file $file")
    continue
  fi
  content=$(<"$file")
  after=${content#*"$text"}
  if [ "$after" = "$content" ]; then
    stale+=("$list:$number: the text is not in $file: $text")
    continue
  fi
  if [ "${after#*"$text"}" != "$after" ]; then
    stale+=("$list:$number: the text is in $file more than once: $text")
    continue
  fi
  [ "$progs" = "-" ] && progs=""
  files+=("$file") programs+=("$progs") whys+=("$why") texts+=("$text") repls+=("$repl") lines+=("$number")
done <"$list"

for s in "${stale[@]}"; do echo "mutate: refused $s" >&2; done
total=${#files[@]}
if [ "$total" -eq 0 ]; then
  echo "mutate: no mutant to run" >&2
  exit 2
fi
if [ "${MUTATE_CHECK:-0}" = 1 ]; then
  echo "mutate: $total mutants apply, ${#stale[@]} refused"
  [ ${#stale[@]} -eq 0 ]
  exit
fi

# --- The clean code first: it must build and pass, and its times set the limits
started=$(seconds)
echo "mutate: $total mutants from $list; building and testing the clean tree first"
baseline_log="$logs/clean.log"
: >"$baseline_log"
if ! build_targets "$baseline_log"; then
  echo "mutate: the clean tree does not build (see $baseline_log)" >&2
  exit 2
fi
declare -A program_limit=()
for progs in "${programs[@]}"; do
  for p in $progs; do
    [ -n "${program_limit[$p]:-}" ] && continue
    if [ ! -x "$build/tests/$p" ]; then
      echo "mutate: no test program $p in $build/tests" >&2
      exit 2
    fi
    t0=$(seconds)
    if ! run_program 600 "$baseline_log" "$p"; then
      echo "mutate: $p fails on the clean tree (see $baseline_log)" >&2
      exit 2
    fi
    program_limit[$p]=$((3 * ($(seconds) - t0) + 30))
  done
done
suite_limit=0
if [ "$quick" != 1 ]; then
  t0=$(seconds)
  if ! run_suite 3600 "$baseline_log"; then
    echo "mutate: the suite fails on the clean tree (see $baseline_log)" >&2
    exit 2
  fi
  suite_limit=$((2 * ($(seconds) - t0) + 60))
  echo "mutate: the clean suite passes in $(($(seconds) - t0)) s"
fi

# --- Each mutant alone ----------------------------------------------------
caught=0 survived=0 broken=0
survivors=()
for i in "${!files[@]}"; do
  file=${files[$i]} text=${texts[$i]} repl=${repls[$i]}
  log="$logs/$(printf '%03d' "${lines[$i]}").log"
  {
    echo "$file line ${lines[$i]}: ${whys[$i]}"
    echo "- $text"
    echo "+ $repl"
  } >"$log"
  t0=$(seconds)

  cp "$file" "$original"
  echo "$file" >"$journal"
  content=$(<"$original")
  printf '%s\n' "${content/"$text"/"$repl"}" >"$file"

  verdict=""
  if [ -n "${programs[$i]}" ]; then
    # shellcheck disable=SC2086
    if ! build_targets "$log" ${programs[$i]}; then
      verdict="no build"
    else
      for p in ${programs[$i]}; do
        run_program "${program_limit[$p]}" "$log" "$p"
        status=$?
        if [ $status -eq 124 ] || [ $status -eq 137 ]; then
          verdict="timeout"
          break
        elif [ $status -ne 0 ]; then
          verdict="caught"
          break
        fi
      done
    fi
  fi
  if [ -z "$verdict" ] && [ "$quick" != 1 ]; then
    if ! build_targets "$log"; then
      verdict="no build"
    else
      run_suite "$suite_limit" "$log"
      status=$?
      if [ $status -eq 124 ] || [ $status -eq 137 ] || grep -q '\*\*\*Timeout' "$log"; then
        verdict="timeout"
      elif [ $status -ne 0 ]; then
        verdict="caught"
      fi
    fi
  fi
  [ -z "$verdict" ] && verdict="survived"
  restore

  case $verdict in
  caught | timeout) caught=$((caught + 1)) ;;
  survived)
    survived=$((survived + 1))
    survivors+=("$file:${lines[$i]}: ${whys[$i]}")
    ;;
  *) broken=$((broken + 1)) ;;
  esac
  printf '[%2d/%d] %-8s %4ss  %s: %s\n' $((i + 1)) "$total" "$verdict" $(($(seconds) - t0)) "$file" "${whys[$i]}"
done

# The build left as the clean tree has it, for whoever uses it next.
build_targets "$logs/clean.log" >/dev/null 2>&1

elapsed=$(($(seconds) - started))
judged=$((caught + survived))
echo
echo "mutate: $caught caught, $survived survived, $broken did not build, ${#stale[@]} refused"
if [ "$judged" -gt 0 ]; then
  echo "mutate: kill ratio $((100 * caught / judged))% ($caught of $judged) in $((elapsed / 60)) min $((elapsed % 60)) s"
fi
[ "$quick" = 1 ] && echo "mutate: quick run, programs only: survivors may still be caught by the whole suite"
for s in "${survivors[@]}"; do echo "  survived: $s"; done
echo "mutate: logs in $logs"
[ ${#stale[@]} -eq 0 ] && [ "$broken" -eq 0 ]
