# Sourced by the tests that drive the real game as a player does, with
# synthetic key presses on a display of their own. The test sets `game` (the
# program) and `shots` (where screenshots go, or empty) first, then calls
# driver_begin; afterwards it works in "$work", a scratch directory whose
# assets are the repository's, with the game's console in "$work/log", its
# process in $pid and its window in $window.
#
#   source tests/support/game_driver.sh
#   driver_begin [SETTLE]   SETTLE: seconds a screenshot waits by default (0)

driver_source=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$driver_source/tests/support/own_display.sh"

# The scratch directory, the display and the screenshot folder; the game and
# the display go, and the directory with them, when the test ends.
driver_begin() {
  shot_settle=${1:-0}
  work=$(mktemp -d)
  trap driver_end EXIT
  own_display "$work/display" || { echo "FAIL: no virtual display"; exit 1; }
  xvfb=$own_display_pid
  disown "$xvfb" # killed at the end without a word from the shell
  export DISPLAY=$own_display_name
  mkdir -p "$work/assets"
  for folder in "$driver_source"/assets/*/; do
    ln -s "$folder" "$work/assets/$(basename "$folder")"
  done
  if [ -n "${shots:-}" ]; then
    mkdir -p "$shots"
    shots=$(realpath "$shots")
  else
    shots="$work/shots"
    mkdir -p "$shots"
  fi
  # The log and the note of the last match: this run's, never another test's.
  export XDG_STATE_HOME="$work/state"
  cd "$work" || exit 1
}

driver_end() {
  kill -9 "${pid:-0}" "${xvfb:-0}" 2>/dev/null
  exec 4>&-
  cd / && rm -rf "$work"
}

fail() { echo "FAIL: $*"; echo "--- game log ---"; cat "$work/log" 2>/dev/null; exit 1; }

# How many times the console has said exactly this line.
lines() { grep -cxF "$1" "$work/log"; }

# Waits until the line has appeared $2 times (default 1), up to $3 seconds
# (default 10); fails at once if the game has ended.
wait_for() {
  local deadline=$((SECONDS + ${3:-10}))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(lines "$1")" -ge "${2:-1}" ] && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# The id of the game's window, once it has one (up to $1 seconds).
wait_for_window() {
  local deadline=$((SECONDS + $1)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --all --pid "$pid" --name '^Skyscuffle$' 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# Starts the game (standard input: $1, default /dev/null; its command line:
# the arguments after it) and waits for its window and main menu.
start_game() {
  "$game" "${@:2}" <"${1:-/dev/null}" >"$work/log" 2>&1 &
  pid=$!
  window=$(wait_for_window 10) || fail "no window titled Skyscuffle within 10 s"
  wait_for "Creating Main Menu" 1 10 || fail "the main menu was not created"
}

key() {
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key --clearmodifiers "$@"
  sleep 0.3
}

# Holds a key down for $2 seconds (default 0.6): a match reads held keys every frame.
hold() {
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool keydown "$1"
  sleep "${2:-0.6}"
  xdotool keyup "$1"
}

typed() {
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool type --delay 60 "$1"
  sleep 0.3
}

# A screenshot of the game's window as $1.png, after $2 seconds for the frame
# to settle (default: driver_begin's).
shot() {
  sleep "${2:-$shot_settle}"
  import -window "$window" "$shots/$1.png" 2>/dev/null || fail "no screenshot of $1"
}

geometry() { xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p'; }

# The game ends by itself (Exit) or on SIGTERM within $1 seconds; either way
# with status 0.
expect_exit() {
  local deadline=$((SECONDS + $1))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the game did not end within $1 s"
  wait "$pid"
  local status=$?
  [ "$status" -eq 0 ] || fail "exit status $status"
}
