# Sourced by the tests that drive several copies of the real game in one
# private network namespace, each on a virtual display of its own, with
# synthetic key presses. The test sets `game` and `shots` (a folder, or
# empty), then calls copies_begin; each copy then lives in "$work/NAME", its
# console in "$work/NAME/log".
#
#   source tests/support/copies_driver.sh
#   copies_begin "$game" "$shots"

copies_source=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$copies_source/tests/support/own_display.sh"
declare -A display pid window
pids=()

copies_begin() { # game, screenshot folder (empty: a scratch one)
  game=$(realpath "$1")
  shots=${2:-}
  work=$(mktemp -d)
  trap copies_end EXIT
  if [ -n "$shots" ]; then mkdir -p "$shots" && shots=$(realpath "$shots"); else shots="$work/shots" && mkdir -p "$shots"; fi
}

copies_end() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$work"
}

fail() {
  echo "FAIL: $*"
  for c in "${!display[@]}"; do echo "--- copy $c ---"; cat "$work/$c/log" 2>/dev/null; done
  exit 1
}

# A display of its own for each copy: Xvfb picks a free number and tells it.
start_display() { # name
  OWN_DISPLAY_SCREEN=1024x768x24 own_display "$work/$1.display" || fail "no virtual display for copy $1"
  pids+=("$own_display_pid")
  display[$1]=$own_display_name
}

# The copy's game on its display, with homes of its own for the player's
# choices, replays, log and note of the last match: no other copy, of this
# test or another running beside it, writes there.
run_copy() { # name
  DISPLAY=${display[$1]} XDG_CONFIG_HOME="$work/$1/config" XDG_DATA_HOME="$work/$1/data" \
    XDG_STATE_HOME="$work/$1/state" exec "$game"
}

# A copy in a directory of its own whose assets are the repository's, with
# a short match (MATCH_SECONDS, 12 by default) and the tuning lines given;
# what it keeps is kept in that directory too. Its window is 640 x 480 and
# its matches are drawn at 30 frames a second: the software renderer's pixels
# are most of what the suite spends, and the copies share two cores.
start_copy() { # name, tuning lines...
  local c=$1
  shift
  mkdir -p "$work/$c/assets"
  for folder in "$copies_source"/assets/*/; do ln -s "$folder" "$work/$c/assets/$(basename "$folder")"; done
  printf 'gameWorld.matchLength,%s\nwindow.maxFrameRate,30\nwindow.size.x,640\nwindow.size.y,480\n' "${MATCH_SECONDS:-12}" >"$work/$c/assets/tuning.csv"
  for line in "$@"; do echo "$line" >>"$work/$c/assets/tuning.csv"; done
  start_display "$c"
  (cd "$work/$c" && run_copy "$c" </dev/null >log 2>&1) &
  pid[$c]=$!
  pids+=($!)
}

# The copy's game started again on its display; its console goes on in the same log.
restart_copy() { # name
  local c=$1
  (cd "$work/$c" && run_copy "$c" </dev/null >>log 2>&1) &
  pid[$c]=$!
  pids+=($!)
}

find_window() { # name
  local c=$1 deadline=$((SECONDS + 10)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(DISPLAY=${display[$c]} xdotool search --all --pid "${pid[$c]}" --name '^Skyscuffle$' 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then window[$c]=$id; return 0; fi
    sleep 0.1
  done
  fail "no window for copy $c"
}

lines() { grep -cxF "$2" "$work/$1/log"; }
wait_for() { # copy, line, times, seconds
  local deadline=$((SECONDS + ${4:-10}))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(lines "$1" "$2")" -ge "${3:-1}" ] && return 0
    sleep 0.1
  done
  return 1
}
key() { # copy, keys...
  local c=$1
  shift
  DISPLAY=${display[$c]} xdotool windowfocus --sync "${window[$c]}" 2>/dev/null
  DISPLAY=${display[$c]} xdotool key --clearmodifiers "$@"
  sleep 0.3
}
# Refresh the copy's network screen until its log has a line starting with
# the text (at most five times, a second apart).
refresh_until() { # copy, start of the line
  for attempt in 1 2 3 4 5; do
    grep -q "^$2" "$work/$1/log" && return 0
    sleep 1
    key "$1" Return # Refresh
  done
  grep -q "^$2" "$work/$1/log"
}
shot() { # copy, name
  sleep 1
  DISPLAY=${display[$1]} import -window "${window[$1]}" "$shots/$2.png" 2>/dev/null || fail "no screenshot $2"
}

# The main menu's Online: the copy's network screen, built once more.
open_network_screen() { # copy
  local seen
  seen=$(lines "$1" "Creating Network Screen")
  key "$1" Down Return
  wait_for "$1" "Creating Network Screen" $((seen + 1)) || fail "copy $1 did not open the network screen"
}
# The network screen's Host a Session: the copy hosts, on its join screen.
host_session() { # copy
  key "$1" Down Return
  wait_for "$1" "Being a server" || fail "copy $1 did not host"
  wait_for "$1" "Initializing join sreen!" || fail "copy $1 did not reach its join screen"
}
# The first session listed, under Host a Session: the copy joins it.
join_first_session() { # copy
  key "$1" Down Down Return
  wait_for "$1" "Initializing join sreen!" || fail "copy $1 did not reach its join screen"
  wait_for "$1" "Our connection request has been accepted." 1 10 || fail "copy $1's connection was not accepted"
}
# The copy's last win screen as its log tells it: the LINES lines after the
# last "Creating Win Screen", without the "(remote)" marks that differ by copy.
# Every stage reads its input to the end: under pipefail a reader that quits
# early would fail the writer before it (SIGPIPE), and so the check.
win_table() { # copy, lines
  local from
  from=$(grep -n '^Creating Win Screen$' "$work/$1/log" | tail -n 1 | cut -d: -f1)
  sed -n "$((${from:-0} + 1)),$((${from:-0} + $2))p" "$work/$1/log" | sed 's/ (remote)//'
}
# Waits up to SECONDS for a line of the copy's log that matches the pattern
# (grep -E), or fails saying so.
wait_for_pattern() { # copy, pattern, seconds, failure
  local deadline=$((SECONDS + $3))
  until grep -qE "$2" "$work/$1/log"; do
    [ $SECONDS -lt $deadline ] || fail "$4"
    sleep 0.1
  done
}

# Both copies begin the round (each starts its own), load the match and
# start it at a key; the host starts the match once both show their game.
enter_match() { # host copy, joined copy
  local h=$1 j=$2
  key "$h" Return
  wait_for "$h" "Loading at 100%" 1 60 || fail "copy $h did not load the match"
  key "$j" Return
  wait_for "$j" "Loading at 100%" 1 60 || fail "copy $j did not load the match"
  key "$h" space
  key "$j" space
  wait_for "$h" "Creating Game World" || fail "copy $h did not enter the match"
  wait_for "$j" "Creating Game World" || fail "copy $j did not enter the match"
}
