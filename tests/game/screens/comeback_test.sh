#!/usr/bin/env bash
# A joined copy that crashes mid-match comes back to it: two copies of the
# game in one private network namespace, each on its own virtual display,
# driven by synthetic key presses. A hosts and B joins, each with a computer
# pilot; in the match B is killed (SIGKILL) and started again at once; its
# network screen offers the running match as its own, and choosing it brings
# B's pilot back in its colour with the points it had, on both copies. Both
# end the match with the same table.
#
#   comeback_test.sh PATH/TO/skyscuffle [SCREENSHOT_DIR]
set -uo pipefail
source "$(dirname "$0")/../../support/own_network.sh"

source "$(cd "$(dirname "$0")/../../.." && pwd)/tests/support/copies_driver.sh"
copies_begin "$1" "${2:-}"

MATCH_SECONDS=40 start_copy a
MATCH_SECONDS=40 start_copy b
find_window a
find_window b
wait_for a "Creating Main Menu" || fail "copy A has no main menu"
wait_for b "Creating Main Menu" || fail "copy B has no main menu"

open_network_screen a
host_session a
key a v
open_network_screen b
refresh_until b "Session found: " || fail "copy B did not list copy A's session"
join_first_session b
key b v
wait_for a "PlayerInfo added" 2 10 || fail "copy A does not know both pilots"
wait_for b "PlayerInfo added" 2 10 || fail "copy B does not know both pilots"
enter_match a b
sleep 6 # some of the match, and B's note of it

kill -9 "${pid[b]}"
wait "${pid[b]}" 2>/dev/null
# A player starts the game again within seconds; a note written in the last
# three is taken for a copy that still plays.
sleep 3
echo "--- started again ---" >>"$work/b/log"
restart_copy b
find_window b
wait_for b "Creating Main Menu" 2 || fail "copy B did not start again"
open_network_screen b
refresh_until b "Match running: " || fail "copy B was not told of its running match"
shot b comeback-network-screen
key b Down Down Return # the running match, under Host a Session
wait_for b "Coming back to the match at 127.0.0.1" 1 5 || fail "copy B did not take the match for its own"
wait_for b "Loading at 100%" 2 60 || fail "copy B did not load the match again"
key b space
wait_for a "A copy came back to the match with 1 player" 1 15 || fail "copy A did not take copy B back"
kept=$(grep -m1 "^Kept for its return: " "$work/a/log" | sed 's/^Kept for its return: //')
[ -n "$kept" ] || fail "copy A kept nothing of copy B"
colour=${kept%% *}
points=$(echo "$kept" | awk '{print $2}')
wait_for b "Back in the match: $colour" 1 10 || fail "copy B did not make its $colour pilot again"
wait_for a "$colour is back with $points points" 1 10 || fail "copy A did not give $colour its $points points back"
wait_for b "$colour is back with $points points" 1 10 || fail "copy B did not get $colour's $points points back"
shot b comeback-match
sleep 3
shot b comeback-match-later
shot a comeback-match-host

wait_for a "Creating Win Screen" 1 60 || fail "copy A's match did not end"
wait_for b "Creating Win Screen" 1 20 || fail "copy B's match did not end"
table() { win_table "$1" 2; }
[ "$(table a | grep -c .)" -eq 2 ] || fail "copy A's table does not list two pilots: $(table a)"
[ "$(table a)" = "$(table b)" ] || fail "the copies disagree on the result: $(table a) / $(table b)"
for c in a b; do
  kill -TERM "${pid[$c]}"
  wait "${pid[$c]}" || fail "copy $c did not exit cleanly"
done
echo "screenshots in $shots"
echo PASS
