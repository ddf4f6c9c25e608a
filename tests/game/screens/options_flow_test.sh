#!/usr/bin/env bash
# The Options screen on the real game, driven by synthetic key presses as a
# player would: the music off, the effects at half, Fire rebound to Space;
# Exit; the game started again keeps all three; two players on one keyboard
# join, the second with its own key, and in the match Space fires (the shot
# is heard) while X, the old key, does nothing, and the second player's fire
# and dash are heard.
#
# The sound goes to a file (SDL's disk driver) that the test reads back:
# with the music at zero, whatever is loud there is an effect.
#
# Runs inside the suite's private network namespace, on a display of its own,
# from a scratch directory whose assets are the repository's, with a home of
# its own for the player's settings.
#
#   options_flow_test.sh PATH/TO/skyscuffle [SCREENSHOT_DIR]
set -uo pipefail

game=$(realpath "$1")
shots=${2:-}
source=$(cd "$(dirname "$0")/../../.." && pwd)
work=$(mktemp -d)
trap 'kill -9 "${pid:-0}" "${xvfb:-0}" 2>/dev/null; rm -rf "$work"' EXIT
source "$source/tests/support/own_display.sh"
own_display "$work/display" || { echo "FAIL: no virtual display"; exit 1; }
xvfb=$own_display_pid
disown "$xvfb"
export DISPLAY=$own_display_name
mkdir -p "$work/assets"
for folder in "$source"/assets/*/; do
  ln -s "$folder" "$work/assets/$(basename "$folder")"
done
if [ -n "$shots" ]; then
  mkdir -p "$shots"
  shots=$(realpath "$shots")
else
  shots="$work/shots"
  mkdir -p "$shots"
fi
cd "$work"
printf 'window.size.x,800\nwindow.size.y,600\ngameWorld.matchLength,60\n' >assets/tuning.csv
export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/skyscuffle/settings.csv"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" SDL_DISKAUDIODELAY=5

fail() { echo "FAIL: $*"; echo "--- game log ---"; cat "$work/log" 2>/dev/null; exit 1; }
lines() { grep -cxF "$1" "$work/log"; }
wait_for() { # line, times (1), seconds (10)
  local deadline=$((SECONDS + ${3:-10}))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(lines "$1")" -ge "${2:-1}" ] && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
key() {
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key --clearmodifiers "$@"
  sleep 0.25
}
# Holds a key down for a while (a match reads held keys every frame).
hold() {
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool keydown "$1"
  sleep "${2:-0.6}"
  xdotool keyup "$1"
}
shot() { sleep 0.6; import -window "$window" "$shots/$1.png" 2>/dev/null || fail "no screenshot of $1"; }

start_game() {
  rm -f "$work/audio.raw"
  "$game" </dev/null >"$work/log" 2>&1 &
  pid=$!
  window=""
  for _ in $(seq 200); do
    window=$(xdotool search --all --pid "$pid" --name '^Skyscuffle$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "no window"
  wait_for "Creating Main Menu" || fail "no main menu"
  sleep 1
}
quit_game() {
  key Up Return # Exit
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the game did not end after Exit"
  wait "$pid" || fail "exit status $?"
}

# The audio written so far, in bytes; and the loudest sample written after a
# mark (16-bit samples, any channel), once the mixer has caught up.
mark() { stat -c %s "$work/audio.raw" 2>/dev/null || echo 0; }
loudest_since() {
  sleep 0.4
  tail -c +"$(($1 + 1))" "$work/audio.raw" | od -An -v -td2 -w2 |
    awk 'BEGIN { m = 0 } { v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m }'
}

# --- First run: the choices.
start_game
key Down Down Down Return # Options
wait_for "Creating Options Screen" || fail "Options did not open"
key Left Left Left Left Left Left Left Left Left Left # the music: off
key Down Left Left Left Left Left                     # the effects: half
shot options
key Down Down Down Down Down Down Return # Keyboard keys
wait_for "Creating Controls Screen for keyboard 1" || fail "the keys screen did not open"
key Down Down Down Down Down Down Down Down Down Return # Fire
key space
wait_for "Bound controls.keyboard1.fire to SPACE" || fail "Fire was not bound to Space"
shot keys
key Escape
wait_for "Creating Options Screen" 2 || fail "Escape did not go back to Options"
key Escape
wait_for "Creating Main Menu" 2 || fail "Escape did not go back to the main menu"
quit_game
for line in "sound.musicVolume,0" "sound.effectsVolume,0.5" "controls.keyboard1.fire,SPACE"; do
  grep -qxF "$line" "$settings" || { cat "$settings"; fail "the settings file lacks '$line'"; }
done
grep -q "controls" "$work/assets/tuning.csv" && grep -q "keyboard1.fire,SPACE" "$work/assets/tuning.csv" &&
  fail "the player's key went into the tuning file"

# --- Second run: kept. Two players on one keyboard (X joins the first, O
# the second); in the match X, no longer Fire, does nothing; Space, the new
# Fire, is heard, and so are the second player's fire and dash.
start_game
key Return # Quick play
wait_for "Initializing join sreen!" || fail "no join screen"
key x o
wait_for "PlayerInfo added" 2 || fail "the two keyboard players did not join"
shot two-keyboards
key Return
wait_for "Loading at 100%" 1 60 || fail "the match did not load"
key Return
wait_for "Creating Game World" || fail "no match"
sleep 1.5
at=$(mark)
hold x
[ "$(loudest_since "$at")" -eq 0 ] || fail "X, no longer Fire, made a sound"
at=$(mark)
hold space
[ "$(loudest_since "$at")" -gt 500 ] || fail "Space, the new Fire, fired nothing that was heard"
at=$(mark)
hold o # the second player's Fire
[ "$(loudest_since "$at")" -gt 500 ] || fail "the second player's fire was not heard"
at=$(mark)
hold u 0.3 # its Dash
[ "$(loudest_since "$at")" -gt 500 ] || fail "the second player's dash was not heard"
hold i 0.8 # its Steer up
shot match-two-keyboards
key Escape
wait_for "Creating Main Menu" || fail "Escape did not leave the match"
quit_game
echo "PASS"
