#!/usr/bin/env bash
# The game as a player gets it: installed from the build into a scratch
# prefix, its desktop entry and metainfo valid, started from / with a home of
# its own under a virtual display, it reaches the main menu without a single
# error line and leaves by its Exit option with status 0, having written
# nothing into its data. The installed program alone, without its data, says
# so in one line and exits with status 1. Its command line: --help lists every
# option and exits 0; an unknown option or a bad value costs one line and
# status 2; --host and --join take two copies straight into one session.
#
# Runs inside the suite's private network namespace.
#
#   install_test.sh BUILD_DIR
set -uo pipefail

build=$(realpath "$1")
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'kill -9 "${pid:-0}" "${full:-0}" "${host:-0}" "${guest:-0}" "${xvfb:-0}" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/log" ] && { echo "--- game log ---"; cat "$work/log"; }; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install"; }
game="$prefix/bin/skyscuffle"
for f in "$game" "$prefix/share/skyscuffle/buckets/gameWorld.txt" "$prefix/share/skyscuffle/shaders/flatShader.txt" \
  "$prefix/share/applications/skyscuffle.desktop" "$prefix/share/metainfo/io.github.skyscuffle.skyscuffle.metainfo.xml" \
  "$prefix/share/man/man6/skyscuffle.6.gz" "$prefix/share/icons/hicolor/256x256/apps/skyscuffle.png" \
  "$prefix/share/icons/hicolor/16x16/apps/skyscuffle.png" "$prefix/share/locale/de/LC_MESSAGES/skyscuffle.mo" \
  "$prefix/share/locale/pt_BR/LC_MESSAGES/skyscuffle.mo" "$prefix/share/man/fr/man6/skyscuffle.6.gz"; do
  [ -f "$f" ] || fail "not installed: ${f#"$prefix"/}"
done
[ -e "$prefix/share/skyscuffle/tuning.csv" ] && fail "the developers' tuning file was installed"
desktop-file-validate "$prefix/share/applications/skyscuffle.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.skyscuffle.skyscuffle.metainfo.xml" >"$work/as.log" 2>&1 ||
  { cat "$work/as.log"; fail "metainfo"; }
grep -q '^Comment\[es\]=' "$prefix/share/applications/skyscuffle.desktop" || fail "the desktop entry has no Spanish"
grep -q 'xml:lang="pt_BR"' "$prefix/share/metainfo/io.github.skyscuffle.skyscuffle.metainfo.xml" ||
  fail "the metainfo has no Brazilian Portuguese"
zcat "$prefix/share/man/de/man6/skyscuffle.6.gz" | grep -q 'Spieler' || fail "the German manual page is not German"

# --- The command line.
"$game" --help >"$work/help" 2>&1 || fail "--help exited with $?"
for option in --help --version --fullscreen --windowed --size --data --host --join --mute; do
  grep -q -- "$option" "$work/help" || fail "--help does not list $option"
done
[ "$("$game" --version)" = "skyscuffle 1.0.0" ] || fail "--version"
for bad in "--bogus" "--size 800" "--size 0x600" "--join host:0" "--fullscreen --windowed" "stray"; do
  # shellcheck disable=SC2086 # the words are the arguments
  out=$("$game" $bad 2>&1 >/dev/null)
  status=$?
  [ "$status" -eq 2 ] || fail "'$bad' exited with $status, not 2"
  [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || fail "'$bad' said more than one line: $out"
done

# --- No data: the program alone.
mkdir -p "$work/alone/bin"
cp "$game" "$work/alone/bin/"
out=$(cd / && "$work/alone/bin/skyscuffle" 2>&1)
status=$?
[ "$status" -eq 1 ] || fail "without data the game exited with $status, not 1"
[ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || fail "without data: more than one line: $out"
case "$out" in *"no game data found"*) ;; *) fail "without data: $out" ;; esac
out=$("$game" --data "$work/nowhere" 2>&1)
[ $? -eq 1 ] || fail "--data at an empty place did not exit with 1"

# --- The installed game, started from /.
source "$source/tests/support/own_display.sh"
own_display "$work/display" || fail "no virtual display"
xvfb=$own_display_pid
disown "$xvfb"
export DISPLAY=$own_display_name
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy
mkdir -p "$HOME"
touch "$work/started"
# In German, as the environment asks: the installed catalogs are found.
(cd / && LANGUAGE=de LANG=C.UTF-8 exec "$game" --size 640x480 --verbose) </dev/null >"$work/log" 2>"$work/errors" &
pid=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --all --pid "$pid" --name '^Skyscuffle$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$window" ] || { cat "$work/errors"; fail "no window titled Skyscuffle"; }
for _ in $(seq 100); do grep -qxF "Creating Main Menu" "$work/log" && break; sleep 0.1; done
grep -qxF "Creating Main Menu" "$work/log" || fail "the main menu was not created"
grep -qxF "Language de, catalogs in $prefix/share/locale" "$work/log" ||
  fail "the installed catalogs were not found: $(grep '^Language' "$work/log")"
size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$size" = "640x480" ] || fail "--size 640x480 gave a window of $size"
sleep 1.5 # the first frames, and the sounds loading after them
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --clearmodifiers Up Return # Exit
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the game did not end after Exit"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
if [ -s "$work/errors" ]; then
  echo "--- error lines ---"
  cat "$work/errors"
  fail "the installed game wrote error lines"
fi
# --- --fullscreen: the desktop's size, for this run only.
(cd / && exec "$game" --fullscreen --mute) </dev/null >"$work/full.log" 2>&1 &
full=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --all --pid "$full" --name '^Skyscuffle$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "--fullscreen opened no window"
desktop=$(xwininfo -root | sed -n 's/.*-geometry \([0-9]*x[0-9]*\).*/\1/p')
size=""
for _ in $(seq 30); do
  size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
  [ "$size" = "$desktop" ] && break
  sleep 0.1
done
[ "$size" = "$desktop" ] || fail "--fullscreen gave $size, not the desktop's $desktop"
kill -TERM "$full"
wait "$full" || fail "exit status $? after --fullscreen"
[ -e "$XDG_CONFIG_HOME/skyscuffle/settings.csv" ] && fail "an option of the command line was kept"

# --- --host and --join: two installed copies straight into one session.
(cd / && exec "$game" --host --mute) </dev/null >"$work/host.log" 2>&1 &
host=$!
for _ in $(seq 100); do grep -qxF "Initializing join sreen!" "$work/host.log" && break; sleep 0.1; done
grep -qxF "Initializing join sreen!" "$work/host.log" || { cat "$work/host.log"; fail "--host did not open the join screen"; }
(cd / && exec "$game" --join 127.0.0.1 --mute) </dev/null >"$work/guest.log" 2>&1 &
guest=$!
for _ in $(seq 100); do grep -qxF "Our connection request has been accepted." "$work/guest.log" && break; sleep 0.1; done
grep -qxF "Our connection request has been accepted." "$work/guest.log" ||
  { cat "$work/guest.log"; fail "--join did not reach the host"; }
grep -qxF "Initializing join sreen!" "$work/guest.log" || fail "--join did not open the join screen"
# The host takes the connection once the guest's hello came back: a moment later.
for _ in $(seq 100); do grep -qxF "A connection is incoming." "$work/host.log" && break; sleep 0.1; done
grep -qxF "A connection is incoming." "$work/host.log" || fail "the host did not see the guest"
grep -q "Creating Main Menu" "$work/guest.log" "$work/host.log" && fail "a copy went through the main menu"
kill -TERM "$guest" "$host"
wait "$guest" || fail "the joined copy's exit status was $?"
wait "$host" || fail "the hosting copy's exit status was $?"

written=$(find "$prefix" -newer "$work/started" -print)
[ -z "$written" ] || fail "the installed game wrote into its installation: $written"
echo "PASS"
