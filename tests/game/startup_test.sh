#!/usr/bin/env bash
# Starts the game the way a player does and checks what the outside world sees:
# the window, the tuning reload key, a clean exit on SIGTERM and the tuning file
# written back, the log file beside the console and what --verbose and --quiet
# show. Needs a display (the suite runs under a virtual one) and must run
# inside the private network namespace, as the whole suite does.
#
#   startup_test.sh PATH/TO/skyscuffle
set -uo pipefail

game=$(realpath "$1")
work=$(mktemp -d)
trap 'kill -9 "${pid:-0}" 2>/dev/null; rm -rf "$work"' EXIT
source=$(cd "$(dirname "$0")/../.." && pwd)
# The game's data as a developer's working directory has it: its own
# assets/ (where the tuning file is written), the repository's folders in it.
mkdir -p "$work/assets"
for folder in "$source"/assets/*/; do
  ln -s "$folder" "$work/assets/$(basename "$folder")"
done
cd "$work"
export XDG_STATE_HOME="$work/state"
logfile="$XDG_STATE_HOME/skyscuffle/skyscuffle.log"

# fail and wait_for_window: the shared driver of the tests that run the real game.
source "$source/tests/support/game_driver.sh"

wait_for_line() { # file, text, seconds
  local deadline=$((SECONDS + $3))
  while [ $SECONDS -lt $deadline ]; do
    grep -qF "$2" "$1" && return 0
    sleep 0.1
  done
  return 1
}

stop_game() {
  kill -TERM "$pid"
  local deadline=$((SECONDS + 10))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the game did not stop within 10 s of SIGTERM"
  wait "$pid"
  status=$?
  [ "$status" -eq 0 ] || fail "exit status after SIGTERM was $status"
}

# First run: no tuning file yet.
"$game" >"$work/log" 2>&1 &
pid=$!
window=$(wait_for_window 20) || fail "no window titled Skyscuffle within 20 s"
wait_for_line "$work/log" "Creating Main Menu" 20 || fail "the main menu was not created"
size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$size" = "800x600" ] || fail "window is $size, expected 800x600"

xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --clearmodifiers l
sleep 0.3
grep -qF "Reloading tuning settings" "$work/log" && fail "L without control reloaded the tuning"
xdotool key --clearmodifiers ctrl+l
wait_for_line "$work/log" "Reloading tuning settings" 3 || fail "Control+L did not reload the tuning"

stop_game
tuning="$work/assets/tuning.csv"
[ -f "$tuning" ] || fail "assets/tuning.csv was not written at exit"
for line in "window.fullscreen,0" "window.size.x,800" "window.size.y,600"; do
  grep -qxF "$line" "$tuning" || fail "tuning.csv lacks '$line'"
done
LC_ALL=C sort -c "$tuning" || fail "tuning.csv is not in byte-wise key order"
# The console's lines are in the log file too, with their time and level.
time='\[[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8}\.[0-9]{3}\]'
grep -qE "^$time \[info\] Creating Main Menu$" "$logfile" || fail "the log file lacks the main menu's line"
grep -qE "^$time \[info\] Reloading tuning settings$" "$logfile" || fail "the log file lacks the reload's line"
grep -q "Creating Main Menu" "$work/log" || fail "the console lost its lines"
grep -q "\[info\]" "$work/log" && fail "the console's lines have the file's prefix"

# Second run, verbose: the edited size is honoured; debug lines show.
sed -i 's/^window.size.x,.*/window.size.x,1024/' "$tuning"
"$game" --verbose >"$work/log" 2>&1 &
pid=$!
window=$(wait_for_window 20) || fail "no window on the second run"
sleep 0.2
size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$size" = "1024x600" ] || fail "window is $size, expected 1024x600 from tuning.csv"
stop_game
grep -qxF "window.size.x,1024" "$tuning" || fail "the edited size was not kept"
grep -qxF "The log is kept in $logfile" "$work/log" || fail "--verbose did not show the debug line of the log file"
grep -qE "^$time \[debug\] The log is kept in" "$logfile" || fail "--verbose did not keep debug lines in the file"

# Without a display: one line on standard error, exit status 1, no crash;
# quiet, nothing on standard output; the error in the file too.
env -u DISPLAY "$game" --quiet >"$work/out" 2>"$work/err"
status=$?
[ "$status" -eq 1 ] || fail "without a display the exit status was $status, expected 1"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "without a display stderr was not one line: $(cat "$work/err")"
[ -s "$work/out" ] && fail "--quiet wrote to standard output: $(cat "$work/out")"
grep -F -- "$(cat "$work/err")" "$logfile" | grep -qE "^$time \[(error|warning)\] " ||
  fail "the error is not in the log file"

# A log file that cannot be written: one line more, and the run goes on to
# the same end.
XDG_STATE_HOME=/dev/null/state env -u DISPLAY "$game" >"$work/out" 2>"$work/err"
status=$?
[ "$status" -eq 1 ] || fail "with an unwritable log the exit status was $status, expected 1"
[ "$(wc -l <"$work/err")" -eq 2 ] || fail "with an unwritable log stderr was not two lines: $(cat "$work/err")"
grep -q "^The log file /dev/null/state/skyscuffle/skyscuffle.log cannot be written (" "$work/err" ||
  fail "the unwritable log was not told: $(cat "$work/err")"

echo "PASS"
