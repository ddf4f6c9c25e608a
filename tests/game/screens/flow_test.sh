#!/usr/bin/env bash
# The game from start to finish as a player drives it, through synthetic key
# presses on the real binary: main menu -> Quick play -> a keyboard player
# and two computer pilots -> Enter -> loading -> any key -> the game world;
# its win screen, then a match of last plane standing and a team match; the
# replays; then, in a second run, full screen and back, the network screen, the
# credits through every page, and Exit. Checks the console lines of every
# step and the exit status, and keeps a screenshot of every screen.
#
# Runs in a private network namespace of its own, on a virtual display of
# its own, from a scratch directory whose assets are the repository's.
#
#   flow_test.sh PATH/TO/skyscuffle [SCREENSHOT_DIR]
# FLOW_WINDOW=WIDTHxHEIGHT sets the window size (default 800x600).
set -uo pipefail
source "$(dirname "$0")/../../support/own_network.sh"

game=$(realpath "$1")
shots=${2:-}
window_size=${FLOW_WINDOW:-800x600}
source "$(dirname "$0")/../../support/game_driver.sh"
driver_begin 0.8
export XDG_DATA_HOME="$work/data" # the replays of this run only
export XDG_CONFIG_HOME="$work/config" # and the choices made in it
# Keys without the "tuning." prefix, as the game writes them back. The match
# is drawn at 30 frames a second: the software renderer's frames cost the most.
{
  echo "window.size.x,${window_size%x*}"
  echo "window.size.y,${window_size#*x}"
  echo "window.maxFrameRate,30"
  echo "gameWorld.matchLength,10"
} >assets/tuning.csv

# Waits up to 5 s for a console line matching the pattern.
wait_until() {
  for _ in $(seq 50); do grep -q "$1" log && return 0; sleep 0.1; done
  return 1
}

# From the main menu into a round: a keyboard player, two computer pilots,
# the loading screen, the game world.
into_a_round() {
  key Return # Quick play
  wait_for "Initializing join sreen!" || fail "Quick play did not open the join screen"
  grep -qxF "World Changed" log || fail "no 'World Changed' line"
  key x
  wait_for "PlayerInfo added" || fail "the keyboard player did not join"
  key v
  wait_for "Keyboard has joined an AI player 2" || fail "the first computer pilot did not join"
  key v
  wait_for "Keyboard has joined an AI player 3" || fail "the second computer pilot did not join"
  [ "$(lines "PlayerInfo added")" -eq 3 ] || fail "expected three players"
  key x # the keyboard has its player already
  [ "$(lines "PlayerInfo added")" -eq 3 ] || fail "the keyboard joined twice"
  # The match's pick-ups, chosen on the join screen (F6 goes round them).
  key F6
  wait_for "Pick-ups many" || fail "F6 did not choose many pick-ups"
  key F6
  wait_for "Pick-ups off" || fail "F6 did not go round to no pick-ups"
  shot join-screen 1.5

  key Return # begin the round
  wait_for "Loading at 100%" 1 60 || fail "the match's resources did not load"
  shot loading 1.0
  key space
  wait_for "Creating Game World" || fail "a key on the loading screen did not start the match"
  wait_for "The match: free-for-all, 0:10, pick-ups off" || fail "the match did not play the join screen's rules"
  shot game-world 2.0
}

# From the main menu ($1 "Creating Main Menu" lines so far): full screen and
# back, the network screen, the credits through every page, and Exit.
menus_credits_and_exit() {
  local menus=$1
  desktop=$(xwininfo -root | sed -n 's/.*-geometry \([0-9]*x[0-9]*\).*/\1/p')
  key F11
  sleep 0.5
  [ "$(geometry)" = "$desktop" ] || fail "F11 gave a window of $(geometry), expected the desktop's $desktop"
  shot main-menu-fullscreen 1.0
  key F11
  sleep 0.5
  [ "$(geometry)" = "$window_size" ] || fail "F11 again gave $(geometry), expected $window_size"

  key Down Return # Online
  wait_for "Creating Network Screen" || fail "Online did not open the network screen"
  grep -qxF "Press C to enter an IP to discover manually" log || fail "no hint for the C key"
  shot network-screen 1.5
  key Escape
  menus=$((menus + 1))
  wait_for "Creating Main Menu" "$menus" || fail "Escape did not leave the network screen"

  key Down Down Down Return # Options
  wait_for "Creating Options Screen" || fail "Options did not open the options screen"
  shot options-screen 1.0
  key Escape
  menus=$((menus + 1))
  wait_for "Creating Main Menu" "$menus" || fail "Escape did not leave the options screen"

  key Down Down Down Down Down Return # Credits
  for page in 1 2 3 4 5 6; do
    wait_for "Creating Credits Screen" "$page" 20 || fail "credits page $page did not open"
    shot "credits-$page" 1.5
    key Return
  done
  menus=$((menus + 1))
  wait_for "Creating Main Menu" "$menus" || fail "the last credits page did not lead to the main menu"

  key Up Return # Exit
  expect_exit 10
  [ -f assets/tuning.csv ] || fail "the tuning file was not written at exit"
  grep -qxF "window.size.x,${window_size%x*}" assets/tuning.csv || fail "the tuning file lost the window size"
}

# The match (10 s by the tuning file), the win screen, back to the join
# screen with the same players, and out to the main menu.
match_and_back() {
  shot match 6.0
  wait_for "Creating Win Screen" 1 200 || fail "the match did not end in a win screen"
  grep -q " Wins! " log || fail "the win screen names no winner"
  grep -q "^KILL  	score increased by 2\|^DEADED	score decreased by 1\|Ram!!!" log ||
    echo "note: nobody scored in this short match"
  shot win-screen 1.5
  key k # keep the match's replay for good
  wait_until "^Replay kept as .*\.replay$" || fail "K on the win screen did not keep the replay"
  [ "$(ls "$XDG_DATA_HOME"/skyscuffle/replays/kept/*.replay 2>/dev/null | wc -l)" -eq 1 ] ||
    fail "the kept replay is not in the kept folder"
  key Return
  wait_for "Initializing join sreen!" 2 || fail "Enter on the win screen did not lead back to the join screen"
  [ "$(lines "PlayerInfo added")" -ge 3 ] || fail "the players did not come back with the join screen"
  shot join-screen-again 1.0
  last_plane_standing
  key Escape
  wait_for "Creating Main Menu" 2 || fail "Escape on the join screen did not lead to the main menu"
}

# From the join screen with its players: a match of last plane standing,
# first to one round of 10 s, in the harbour, to its win screen and back.
last_plane_standing() {
  key F7
  wait_for "Mode last plane standing" || fail "F7 did not choose last plane standing"
  key F8 F8 F8 # 3, 4, 5, then round to 1
  wait_for "Rounds to win 1" || fail "F8 did not go round to one round"
  key F9 F9 # the canyon, then the harbour
  wait_for "Arena harbour" || fail "F9 did not go round to the harbour"
  shot join-screen-rounds 1.0
  key Return
  wait_for "Loading at 100%" 2 60 || fail "the match of rounds did not load"
  key space
  wait_for "Creating Game World" 2 || fail "the match of rounds did not start"
  wait_for "The match: last plane standing, first to 1, rounds of 0:10, pick-ups off, in the harbour" ||
    fail "the match did not play last plane standing in the harbour"
  wait_for "Arena: harbour" 1 || fail "the match was not flown in the harbour"
  for _ in $(seq 300); do grep -q "^Round 1: .* wins" log && break; sleep 0.1; done
  grep -q "^Round 1: .* wins" log || fail "the first round did not end"
  shot round-over 0.5
  wait_for "Creating Win Screen" 2 200 || fail "the match of rounds did not end in a win screen"
  grep -q "^Round [0-9]*: [A-Za-z]* wins" log || fail "no round was won"
  shot win-screen-rounds 1.5
  key Return
  wait_for "Initializing join sreen!" 3 || fail "Enter on the win screen did not lead back to the join screen"
  team_match
  key F7 # back to a free-for-all in the meadow for the next run's matches
  wait_for "Mode free-for-all" || fail "F7 did not go round to free-for-all"
  key F9 F9 # the harbour, then the meadow
  wait_for "Arena meadow" 2 || fail "F9 did not go round to the meadow"
}

# From the join screen after last plane standing: a team match of 10 s in the
# canyon, the keyboard player moved to the other side, to its win screen and back.
team_match() {
  key F7
  wait_for "Mode team match" || fail "F7 did not choose a team match"
  key F9 F9 # the meadow, then the canyon
  wait_for "Arena canyon" 2 || fail "F9 did not go round to the canyon"
  key t
  for _ in $(seq 50); do grep -q "^[A-Za-z]* plays for the \(Sun\|Moon\)$" log && break; sleep 0.1; done
  grep -q "^[A-Za-z]* plays for the \(Sun\|Moon\)$" log || fail "T did not move the keyboard player to the other side"
  shot join-screen-teams 1.0
  key Return
  wait_for "Loading at 100%" 3 60 || fail "the team match did not load"
  key space
  wait_for "Creating Game World" 3 || fail "the team match did not start"
  wait_for "The match: team match, 0:10, pick-ups off, friendly fire off, in the canyon" ||
    fail "the match did not play a team match in the canyon"
  shot team-match 5.0
  wait_for "Creating Win Screen" 3 60 || fail "the team match did not end in a win screen"
  for _ in $(seq 30); do grep -q "^\(Sun team wins!\|Moon team wins!\|A draw\) [-0-9]* : [-0-9]*$" log && break; sleep 0.1; done
  grep -q "^\(Sun team wins!\|Moon team wins!\|A draw\) [-0-9]* : [-0-9]*$" log || fail "the win screen names no side"
  shot win-screen-teams 1.5
  key Return
  wait_for "Initializing join sreen!" 4 || fail "Enter on the team match's win screen did not lead back"
}

# The match just played, kept as a replay: Replays from the main menu, the
# newest played, paused, ahead 10 s and back, faster, a clip of it, back to
# the list and the menu.
replays_and_back() {
  [ "$(ls "$XDG_DATA_HOME"/skyscuffle/replays/*.replay 2>/dev/null | wc -l)" -eq 3 ] ||
    fail "the three matches were not kept as replays: $(ls -R "$XDG_DATA_HOME"/skyscuffle/replays | tr '\n' ' ')"
  key Down Down Down Down Return # Replays
  wait_for "Creating Replays Screen" || fail "Replays did not open the replays screen"
  shot replays-screen 1.0
  key Down Down Return # the free-for-all (the team match and the match of rounds are newer)
  wait_for "Creating Game World" 4 || fail "Enter did not play the free-for-all's replay"
  grep -q "^Watching a replay from " log || fail "no replay is being watched"
  shot replay-playing 2.0
  # (The match is 10 s long: ahead from its first seconds is its end.)
  key space
  wait_until "^Replay paused at 0:0[0-9]$" || fail "Space did not pause the replay"
  key Right
  wait_until "^Replay at 0:1[0-9]$" || fail "Right did not move the replay 10 s on"
  key Left
  wait_until "^Replay at 0:0[0-9]$" || fail "Left did not move the replay 10 s back"
  wait_for "Creating Game World" 5 || fail "going back did not build the match again"
  key Up
  wait_for "Replay playing at 2x" 1 5 || fail "Up did not play the replay faster"
  key space # on again (going back kept it paused), at 2x
  wait_for "Replay playing at 2x" 2 5 || fail "Space did not play the replay again"
  sleep 1.5
  key c # a clip of the seconds up to here, drawn by a second run of the game
  wait_until "^Drawing a clip into .*/skyscuffle/clips/.*\.webp$" || fail "C did not ask for a clip"
  shot replay-paused-ahead 1.0
  key Escape
  wait_for "Creating Replays Screen" 2 || fail "Escape did not lead back to the replays"
  key Escape
  wait_for "Creating Main Menu" 3 || fail "Escape did not leave the replays screen"
  for _ in $(seq 600); do grep -q "^Clip saved: " log && break; sleep 0.1; done
  grep -q "^Clip saved: " log || fail "the clip was not saved"
  clip=$(sed -n 's/^Clip saved: //p' log)
  [ "$(head -c 4 "$clip")" = "RIFF" ] && [ "$(grep -o -a ANMF "$clip" | wc -l)" -ge 30 ] ||
    fail "the clip is not an animated WebP of a second or more"
}

start_game
shot main-menu 1.5
into_a_round
match_and_back
replays_and_back
menus_credits_and_exit 3
echo "screenshots in $shots"
echo PASS
