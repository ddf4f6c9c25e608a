#!/usr/bin/env bash
# The Options screen on the real game, driven by synthetic key presses as a
# player would: the music off, the effects at half, Fire rebound to Space
# (after Enter, the game's own key, was refused); Exit; the game started
# again keeps all three; two players on one keyboard join, the second with
# its own key, and in the match Space fires (the shot is heard) while X, the
# old key, does nothing, and the second player's fire and dash are heard.
# A third run, started with --fullscreen --size 1024x768: the Options
# screen's full screen and window size go both ways from there, and the
# choices are kept while the command line's values are not.
#
# The sound goes to a file (SDL's disk driver) that the test reads back:
# with the music at zero, whatever is loud there is an effect.
#
# Runs in a private network namespace of its own, on a display of its own,
# from a scratch directory whose assets are the repository's, with a home of
# its own for the player's settings.
#
#   options_flow_test.sh PATH/TO/skyscuffle [SCREENSHOT_DIR]
set -uo pipefail
source "$(dirname "$0")/../../support/own_network.sh"

game=$(realpath "$1")
shots=${2:-}
source "$(dirname "$0")/../../support/game_driver.sh"
driver_begin 0.6
printf 'window.size.x,800\nwindow.size.y,600\nwindow.maxFrameRate,30\ngameWorld.matchLength,60\n' >assets/tuning.csv
export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/skyscuffle/settings.csv"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" SDL_DISKAUDIODELAY=5

# Each run starts with no sound written yet; the menu gets a second to settle.
# Arguments: the game's command line.
start_fresh() {
  rm -f "$work/audio.raw"
  start_game /dev/null "$@"
  sleep 1
}
quit_game() {
  key Up Return # Exit
  expect_exit 10
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
start_fresh
key Down Down Down Return # Options
wait_for "Creating Options Screen" || fail "Options did not open"
key Left Left Left Left Left Left Left Left Left Left # the music: off
key Down Left Left Left Left Left                     # the effects: half
shot options
key Down Down Down Down Down Down Down Return # Keyboard keys
wait_for "Creating Controls Screen for keyboard 1" || fail "the keys screen did not open"
key Down Down Down Down Down Down Down Down Down Return # Fire
key Return # the game's own: refused, and the key is still awaited
grep -q "^Bound " "$work/log" && fail "Enter was bound"
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
start_fresh
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

# --- Third run: full screen and a size from the command line. Each change
# on the Options screen starts from the window as it is, in both directions.
desktop=$(xwininfo -root | sed -n 's/.*-geometry \([0-9]*x[0-9]*\).*/\1/p')
# The window comes to this size within five seconds.
is_window() {
  local deadline=$((SECONDS + 5))
  while [ "$(geometry)" != "$1" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  [ "$(geometry)" = "$1" ] || { shot "failed-$1"; fail "$2: the window is $(geometry), not $1"; }
}
kept() { grep -qxF "$1" "$settings" || { cat "$settings"; fail "the settings file lacks '$1'"; }; }
start_fresh --fullscreen --size 1024x768
is_window "$desktop" "--fullscreen"
key Down Down Down Return # Options
wait_for "Creating Options Screen" || fail "Options did not open"
key Down Down Return # Full screen: off
is_window 1024x768 "Full screen off"
kept "window.fullscreen,0"
shot command-line-windowed
key Return
is_window "$desktop" "Full screen on again"
kept "window.fullscreen,1"
shot command-line-fullscreen-again
key Left
is_window 1024x768 "Full screen off again"
key Down Right # Window size
is_window 1280x720 "a size up"
key Right
is_window 1366x768 "another size up"
kept "window.size.x,1366"
key Left
is_window 1280x720 "a size down"
shot command-line-size
key Escape
wait_for "Creating Main Menu" 2 || fail "Escape did not leave Options"
quit_game
kept "window.fullscreen,0"
kept "window.size.x,1280"
kept "window.size.y,720"
grep -q "1024" "$settings" && fail "the command line's size was kept"
echo "PASS"
