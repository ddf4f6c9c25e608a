#!/usr/bin/env bash
# The network screen's address field on the real game, driven by synthetic
# key presses: C opens it while the frames go on (two screenshots of the
# animated mascot a second apart differ), a bad address is refused, a good
# one that nothing answers is told after a few seconds, Escape closes the
# field and the next Escape leaves for the main menu, and Exit ends the game.
# The game's standard input is a pipe that never says anything and never
# ends, as when it is launched from a desktop: the field must not wait for it.
#
# Runs in a private network namespace of its own, on a display of its
# own, from a scratch directory whose assets are the repository's.
#
#   address_field_test.sh PATH/TO/skyscuffle [SCREENSHOT_DIR]
set -uo pipefail
source "$(dirname "$0")/../../support/own_network.sh"

game=$(realpath "$1")
shots=${2:-}
source "$(dirname "$0")/../../support/game_driver.sh"
driver_begin
printf 'window.size.x,800\nwindow.size.y,600\nwindow.maxFrameRate,30\n' >assets/tuning.csv

# A pipe for standard input that stays open and silent for the whole run.
mkfifo "$work/stdin"
exec 4<>"$work/stdin"
start_game "$work/stdin"
sleep 1

key Down Return # Online
wait_for "Creating Network Screen" || fail "Online did not open the network screen"
sleep 1.5

key c
wait_for "Type the address of a copy to look for" || fail "C did not open the address field"
sleep 1
shot address-field-1
sleep 1
shot address-field-2
differing=$(compare -metric AE "$shots/address-field-1.png" "$shots/address-field-2.png" null: 2>&1 >/dev/null)
awk -v d="${differing%% *}" 'BEGIN { exit !(d + 0 > 0) }' ||
  fail "the screen stood still with the field open ($differing pixels differ)"

typed "10.0.0.300"
key Return
wait_for "IP to connect to: 10.0.0.300" || fail "Enter did not take the typed address"
wait_for "Not an address: 10.0.0.300" || fail "a bad address was not refused"
shot address-field-refused

key BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
typed "127.0.0.1:16599"
key Return
wait_for "Looking for 127.0.0.1:16599 ..." || fail "a good address was not looked for"
shot address-field-looking
wait_for "No answer from 127.0.0.1:16599 within 5 seconds" 1 20 || fail "the silence of the address was not told"
[ "$(lines "Creating Network Screen")" -eq 1 ] || fail "the screen was built again"

key Escape
wait_for "Address field closed" || fail "Escape did not close the field"
sleep 0.5
[ "$(lines "Creating Main Menu")" -eq 1 ] || fail "the Escape that closed the field left the screen too"
key Escape
wait_for "Creating Main Menu" 2 || fail "the next Escape did not lead to the main menu"

key Up Return # Exit
expect_exit 10
echo "screenshots in $shots"
echo PASS
