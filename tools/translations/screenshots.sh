#!/usr/bin/env bash
# Screenshots of the main menu, the Options screen and the join screen in a
# language, the game driven by synthetic keys on a display of its own (run it
# inside the private network namespace, as every run of the game):
#   scripts/isolated-net tools/translations/screenshots.sh GAME LANGUAGE OUT_DIR
# The pictures: OUT_DIR/main-menu-LANGUAGE.png, options-LANGUAGE.png and
# join-screen-LANGUAGE.png, at 800 x 600. TEXT_SIZE=PERCENT (100 to 200)
# takes them at that text size, named ...-LANGUAGE-PERCENT.png, with the
# Options screen scrolled to its last line as well.
set -euo pipefail
game=$(realpath "$1") language=$2 shots=$3
source "$(dirname "$0")/../../tests/support/game_driver.sh"
driver_begin 1.5
export LANGUAGE=$language LANG=C.UTF-8
name=$language
if [ -n "${TEXT_SIZE:-}" ]; then
  export XDG_CONFIG_HOME="$work/config"
  mkdir -p "$XDG_CONFIG_HOME/skyscuffle"
  echo "interface.textSize,$TEXT_SIZE" >"$XDG_CONFIG_HOME/skyscuffle/settings.csv"
  name=$language-$TEXT_SIZE
fi
start_game /dev/null --windowed --size 800x600
shot "main-menu-$name"
key Down Down Down Return
wait_for "Creating Options Screen" || fail "no Options screen"
shot "options-$name"
if [ -n "${TEXT_SIZE:-}" ]; then
  key Up
  shot "options-$name-end"
fi
key Escape
wait_for "Creating Main Menu" 2 || fail "not back on the main menu"
key Return # Quick play: the menu starts on it again
wait_for "Initializing join sreen!" || fail "no join screen"
key x
wait_for "PlayerInfo added" || fail "the keyboard player did not join"
key v v
shot "join-screen-$name"
echo "screenshots in $shots"
