#!/usr/bin/env bash
# Two copies of the game in one private network namespace, each on its own
# virtual display, driven by synthetic key presses: copy A opens Online and
# hosts, and adds a keyboard player and a computer pilot; copy B opens Online,
# finds A in its list, joins it and adds its own two; both copies then know
# all four players. While their match runs, copy C's network screen tells it
# with its time left and players. B goes back to the main menu and A drops
# B's players.
#
# Runs inside the suite's private network namespace (it starts its own two
# displays), from scratch directories whose assets are the repository's.
#
#   lan_test.sh PATH/TO/skyscuffle [SCREENSHOT_DIR]
set -uo pipefail

game=$(realpath "$1")
shots=${2:-}
source=$(cd "$(dirname "$0")/../../.." && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
if [ -n "$shots" ]; then mkdir -p "$shots" && shots=$(realpath "$shots"); else shots="$work/shots" && mkdir -p "$shots"; fi

fail() {
  echo "FAIL: $*"
  for c in a b c; do echo "--- copy $c ---"; cat "$work/$c/log" 2>/dev/null; done
  exit 1
}

# A display of its own for each copy: Xvfb picks a free number and tells it.
declare -A display pid window
source "$source/tests/support/own_display.sh"
start_display() { # name
  OWN_DISPLAY_SCREEN=1024x768x24 own_display "$work/$1.display" || fail "no virtual display for copy $1"
  pids+=("$own_display_pid")
  display[$1]=$own_display_name
}

start_copy() { # name, tuning lines...
  local c=$1
  shift
  mkdir -p "$work/$c/assets"
  for folder in "$source"/assets/*/; do ln -s "$folder" "$work/$c/assets/$(basename "$folder")"; done
  echo "gameWorld.matchLength,12" >"$work/$c/assets/tuning.csv" # a short match
  for line in "$@"; do echo "$line" >>"$work/$c/assets/tuning.csv"; done
  start_display "$c"
  (cd "$work/$c" && DISPLAY=${display[$c]} exec "$game" </dev/null >log 2>&1) &
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

start_copy a
start_copy b
# One machine has two discovery ports: the third copy listens on one of its
# own and looks on A's.
start_copy c "lanDiscovery.port1,16522" "lanDiscovery.port2,16520"
find_window a
find_window b
find_window c
wait_for a "Creating Main Menu" || fail "copy A has no main menu"
wait_for b "Creating Main Menu" || fail "copy B has no main menu"
wait_for c "Creating Main Menu" || fail "copy C has no main menu"
deadline=$((SECONDS + 5))
until grep -q "Connected to: " "$work/a/log" && grep -q "Connected to: " "$work/b/log"; do
  [ $SECONDS -lt $deadline ] || fail "the copies did not find each other"
  sleep 0.1
done

# A hosts and adds its players before B is there.
key a Down Return
wait_for a "Creating Network Screen" || fail "copy A did not open the network screen"
key a Down Return
wait_for a "Being a server" || fail "copy A did not host"
wait_for a "Initializing join sreen!" || fail "copy A did not reach its join screen"
key a x v
wait_for a "PlayerInfo added" 2 || fail "copy A's players did not join"

# B finds A and joins it.
key b Down Return
wait_for b "Creating Network Screen" || fail "copy B did not open the network screen"
refresh_until b "Session found: " || fail "copy B did not list copy A's session"
shot b lan-network-screen
key b Down Down Return # the first session, under Host a Session
wait_for b "Initializing join sreen!" || fail "copy B did not reach its join screen"
wait_for b "Our connection request has been accepted." 1 10 || fail "copy B's connection was not accepted"
key b x v
wait_for b "PlayerInfo added" 4 10 || fail "copy B does not know all four players"
wait_for a "PlayerInfo added" 4 10 || fail "copy A does not know all four players"
shot a lan-join-screen-host
shot b lan-join-screen-client

# A begins the round; B follows it into the match (each copy starts its own
# round); the host starts the match once both show their game world.
key a Return
wait_for a "Loading at 100%" 1 60 || fail "copy A did not load the match"
key b Return
wait_for b "Loading at 100%" 1 60 || fail "copy B did not load the match"
key a space
key b space
wait_for a "Creating Game World" || fail "copy A did not enter the match"
wait_for b "Creating Game World" || fail "copy B did not enter the match"
shot b lan-match-client
# C, late, finds the match running: told with its time left and all four
# players, not offered for joining.
key c Down Return
wait_for c "Creating Network Screen" || fail "copy C did not open the network screen"
refresh_until c "Match running: "
grep -qE "^Match running: [0-9.]+  in a match, 0:(0[0-9]|1[0-2]) left, 4 players$" "$work/c/log" ||
  fail "copy C was not told of the running match: $(grep '^Match running' "$work/c/log")"
grep -q "^Session found: " "$work/c/log" && fail "copy C was offered a session whose match runs"
shot c lan-network-screen-running-match
key c Escape
grep -q "^Recieved RPC call: spawnPlayer" "$work/b/log" || fail "copy B heard no spawnPlayer from copy A"
grep -q "^Recieved RPC call: startGameplay" "$work/b/log" || fail "copy B heard no startGameplay from copy A"
wait_for a "Creating Win Screen" 1 200 || fail "copy A's match did not end"
wait_for b "Creating Win Screen" 1 200 || fail "copy B's match did not end"
shot a lan-win-screen-host
# Both name the same four players with the same points ("(remote)" marks
# differ by copy): the lines after "Creating Win Screen".
table() { sed -n '/^Creating Win Screen$/,$p' "$work/$1/log" | sed -n '2,5p' | sed 's/ (remote)//'; }
[ "$(table a | wc -l)" -eq 4 ] || fail "copy A's win screen does not list four players: $(table a)"
[ "$(table a)" = "$(table b)" ] || fail "the copies disagree on the result: $(table a) / $(table b)"

# Back to A's join screen; B leaves for its main menu; A drops B's players.
key a Return
wait_for a "Initializing join sreen!" 2 || fail "copy A did not return to its join screen"
key b Escape
wait_for b "Creating Main Menu" 2 || fail "copy B did not return to its main menu"
wait_for a "A copy has left the session with 2 players" 1 15 || fail "copy A kept copy B's players"
shot a lan-join-screen-after
for c in a b c; do
  kill -TERM "${pid[$c]}"
  wait "${pid[$c]}" || fail "copy $c did not exit cleanly"
done
echo "screenshots in $shots"
echo PASS
