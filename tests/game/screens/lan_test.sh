#!/usr/bin/env bash
# Two copies of the game in one private network namespace, each on its own
# virtual display, driven by synthetic key presses: copy A opens Online and
# hosts, and adds a keyboard player and a computer pilot; copy B opens Online,
# finds A in its list, joins it and adds its own two; both copies then know
# all four players. While their match runs, copy C's network screen tells it
# with its time left and players; C watches it to the end and has the same
# table. Copy D comes to watch too and drops its player into the match: its
# plane flies on every copy and ends in every table. B and D go back to the
# main menu and A drops their players; C plays the next round, a team match,
# with A, and both end it with the same table. The host's choice of pick-ups
# on its join screen is B's match's too.
#
# Runs in a private network namespace of its own (it starts a display for
# each copy), from scratch directories whose assets are the repository's.
#
#   lan_test.sh PATH/TO/skyscuffle [SCREENSHOT_DIR]
set -uo pipefail
source "$(dirname "$0")/../../support/own_network.sh"

source "$(cd "$(dirname "$0")/../../.." && pwd)/tests/support/copies_driver.sh"
copies_begin "$1" "${2:-}"

export MATCH_SECONDS=25 # long enough for two copies to come to the match
start_copy a
start_copy b
# One machine has two discovery ports: the third and fourth copies listen on
# one of their own and look on A's.
start_copy c "lanDiscovery.port1,16522" "lanDiscovery.port2,16520"
start_copy d "lanDiscovery.port1,16523" "lanDiscovery.port2,16520"
for c in a b c d; do
  find_window $c
  wait_for $c "Creating Main Menu" 1 20 || fail "copy $c has no main menu"
done
deadline=$((SECONDS + 5))
until grep -q "Connected to: " "$work/a/log" && grep -q "Connected to: " "$work/b/log"; do
  [ $SECONDS -lt $deadline ] || fail "the copies did not find each other"
  sleep 0.1
done

# A hosts and adds its players before B is there.
open_network_screen a
host_session a
key a x v
wait_for a "PlayerInfo added" 2 || fail "copy A's players did not join"

# B finds A and joins it.
open_network_screen b
refresh_until b "Session found: " || fail "copy B did not list copy A's session"
shot b lan-network-screen
join_first_session b
key b x v
wait_for b "PlayerInfo added" 4 10 || fail "copy B does not know all four players"
wait_for a "PlayerInfo added" 4 10 || fail "copy A does not know all four players"
# The host chooses many pick-ups; B's join screen shows the host's choice.
key a F6
wait_for a "Pick-ups many" || fail "copy A's F6 did not choose many pick-ups"
shot a lan-join-screen-host
shot b lan-join-screen-client

# A begins the round; B follows it into the match (each copy starts its own
# round); the host starts the match once both show their game world.
enter_match a b
wait_for b "The match: free-for-all, 0:25, pick-ups many" || fail "copy B does not play its host's rules"
shot b lan-match-client
# C, late, finds the match running, told with its time left and all four
# players, and watches it: every plane, the host's clock, the follow key.
open_network_screen c
refresh_until c "Match running: "
grep -qE "^Match running: [0-9.]+  in a match, 0:([01][0-9]|2[0-5]) left, 4 players$" "$work/c/log" ||
  fail "copy C was not told of the running match: $(grep '^Match running' "$work/c/log")"
grep -q "^Session found: " "$work/c/log" && fail "copy C was offered a session whose match runs"
shot c lan-network-screen-running-match
key c Down Down Return # the running match, under Host a Session
wait_for c "Loading at 100%" 1 60 || fail "copy C did not load the match it watches"
key c space
wait_for c "Creating Game World" || fail "copy C did not enter the match it watches"
wait_for_pattern c "^Watching the match: 4 planes,  0:[0-2][0-9] left$" 10 "copy C was not told how the match stands"
key c f
grep -qE "^Watching (Blue|Green|Orange|Red|Pink|Yellow)$" "$work/c/log" ||
  fail "the follow key followed no plane: $(grep '^Watching' "$work/c/log")"
shot c lan-watching
# D comes to watch too, and its keyboard player drops in.
open_network_screen d
refresh_until d "Match running: " || fail "copy D was not told of the running match"
key d Down Down Return
wait_for d "Loading at 100%" 1 60 || fail "copy D did not load the match it watches"
key d space
wait_for_pattern d "^Watching the match: 4 planes" 10 "copy D was not told how the match stands"
key d x
wait_for d "Dropped into the match" 1 10 || fail "copy D's player did not drop in"
wait_for a "A player drops into the match" || fail "copy A gave copy D's player no place"
shot d lan-dropped-in
grep -q "^Recieved RPC call: spawnPlayer" "$work/b/log" || fail "copy B heard no spawnPlayer from copy A"
grep -q "^Recieved RPC call: startGameplay" "$work/b/log" || fail "copy B heard no startGameplay from copy A"
wait_for a "Creating Win Screen" 1 200 || fail "copy A's match did not end"
wait_for b "Creating Win Screen" 1 200 || fail "copy B's match did not end"
wait_for c "Creating Win Screen" 1 20 || fail "copy C's match did not end"
wait_for d "Creating Win Screen" 1 20 || fail "copy D's match did not end"
shot a lan-win-screen-host
shot c lan-win-screen-watcher
# All four name the same five players with the same points.
table() { win_table "$1" 5; }
[ "$(table a | grep -c ' -\?[0-9]*$')" -eq 5 ] || fail "copy A's win screen does not list five players: $(table a)"
[ "$(table a)" = "$(table b)" ] || fail "the copies disagree on the result: $(table a) / $(table b)"
[ "$(table a)" = "$(table c)" ] || fail "the watcher's result is not the players': $(table a) / $(table c)"
[ "$(table a)" = "$(table d)" ] || fail "the dropped-in copy's result is not the others': $(table a) / $(table d)"
grep -qx "Watching: this copy" "$work/c/log" || fail "copy C's win screen does not name it as watching"
grep -qx "Watching: 1 copy" "$work/a/log" || fail "copy A's win screen does not name its watcher"

# Back to A's join screen; B leaves for its main menu; A drops B's players.
# C, which watched, comes to the join screen with the others and plays the
# next round with a player of its own.
key a Return
wait_for a "Initializing join sreen!" 2 || fail "copy A did not return to its join screen"
key b Escape
wait_for b "Creating Main Menu" 2 || fail "copy B did not return to its main menu"
wait_for a "A copy has left the session with 2 players" 1 15 || fail "copy A kept copy B's players"
key d Escape
wait_for a "A copy has left the session with 1 player" 1 15 || fail "copy A kept copy D's player"
shot a lan-join-screen-after
key c Return
wait_for c "Initializing join sreen!" || fail "copy C did not come to the join screen for the next round"
# C hears of B through A: B's leaving reaches it once B falls silent there.
wait_for c "A copy has left the session with 2 players" 1 15 || fail "copy C kept copy B's players"
wait_for c "A copy has left the session with 1 player" 1 15 || fail "copy C kept copy D's player"
known=$(lines a "PlayerInfo added")
key c x
wait_for a "PlayerInfo added" $((known + 1)) 10 || fail "copy A does not know copy C's player"
# The next round is a team match (F7 goes round free-for-all, last plane
# standing, team match) in the canyon (F9): the host's sides and rules reach C.
key a F7 F7 F9
wait_for a "Mode team match" || fail "copy A's F7 did not choose a team match"
wait_for a "Arena canyon" || fail "copy A's F9 did not choose the canyon"
shot c lan-join-screen-teams
key a Return
wait_for a "Loading at 100%" 2 60 || fail "copy A did not load the second match"
key c Return
wait_for c "Loading at 100%" 2 60 || fail "copy C did not load the second match"
key a space
key c space
wait_for a "Creating Win Screen" 2 200 || fail "copy A's second match did not end"
wait_for c "Creating Win Screen" 2 30 || fail "copy C's second match did not end"
grep -qx "The match: team match, 0:25, pick-ups many, friendly fire off, in the canyon" "$work/c/log" ||
  fail "copy C did not play its host's team match"
[ "$(grep -c "^Arena: canyon$" "$work/c/log")" -eq 1 ] || fail "copy C did not fly its host's canyon"
# The sides' line, then the three players.
table a | sed -n 1p | grep "^\(Sun team wins!\|Moon team wins!\|A draw\) [-0-9]* : [-0-9]*$" >/dev/null ||
  fail "copy A's second table names no side: $(table a)"
[ "$(table a | sed -n '1,4p' | grep -c .)" -eq 4 ] || fail "copy A's second table does not list three players: $(table a)"
[ "$(table a | sed -n '1,4p')" = "$(table c | sed -n '1,4p')" ] ||
  fail "the team match's tables differ: $(table a) / $(table c)"
for c in a b c d; do
  kill -TERM "${pid[$c]}"
  wait "${pid[$c]}" || fail "copy $c did not exit cleanly"
done
echo "screenshots in $shots"
echo PASS
