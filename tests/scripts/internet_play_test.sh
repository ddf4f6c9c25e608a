#!/usr/bin/env bash
# Friends in other homes play through the internet of the network lab
# (scripts/netlab), with the real game driven by synthetic key presses, each
# copy in its home's namespace on a virtual display of its own:
#
#  1. a copy in home A hosts through the menus; home A's router maps the game
#     port and the join screen shows the invite code, which the console says
#     too; Control+C copies it;
#  2. the router lists the mapping while the copy hosts, and drops it once
#     the copy goes back to the main menu;
#  3. a copy in home B types the code into the network screen's field and
#     joins; three computer pilots a copy, a whole short match, and both
#     copies end with the same table;
#  4. the same with home B's copy started with --join CODE, its link to the
#     internet through a relay that holds datagrams 100 +/- 30 ms each way and
#     loses 2 % (scripts/netlab lossy);
#  5. with home A's mapping service stopped, the join screen asks for the
#     port to be forwarded by hand, and a second machine on home A's LAN
#     finds the host in the network screen's list and joins it.
#
# The lab is its own set of namespaces, none with an interface of the
# machine's (checked below): no other namespace is needed, and nothing of
# the game reaches the machine's network. The lab, the displays and the
# copies go when the test ends, however it ends: it fails after three
# minutes at the latest. Screenshots, and the copies' consoles at the end,
# go to SCREENSHOT_DIR.
#
#   internet_play_test.sh SOURCE_DIR PATH/TO/skyscuffle [SCREENSHOT_DIR]
set -uo pipefail
budget=180 # seconds the whole test may take: then it fails, and cleans up
if [ -z "${INTERNET_PLAY_TIMED:-}" ]; then
  INTERNET_PLAY_TIMED=1 exec timeout -k 30 "$budget" "$0" "$@"
fi

root=$(realpath "$1")
game=$(realpath "$2")
shots=${3:-}
netlab="$root/scripts/netlab"
lab="p$$"
lab=${lab:0:12}
leases=/run/netlab/$lab/routerA.leases
matchSeconds=12   # a short match: gameWorld.matchLength of every copy
gamePort=16519
work=$(mktemp -d)
pids=()
declare -A home display pid window

for tool in /usr/sbin/miniupnpd upnpc xdotool import Xvfb xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool missing (scripts/install-deps installs it)"; exit 1; }
done
[ "$(id -u)" -eq 0 ] || { echo "FAIL: the network lab needs root"; exit 1; }

cleanup() {
  trap - EXIT TERM
  {
    for p in "${pids[@]}"; do kill -9 "$p"; done
    "$netlab" down "$lab" >/dev/null
    for p in "${pids[@]}"; do wait "$p"; done
  } 2>/dev/null
  mkdir -p "$shots/consoles"
  for c in "${!home[@]}"; do cp "$work/$c/log" "$shots/consoles/copy-$c.log" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'fail "over $budget seconds, or stopped"' TERM

# Screenshots, and the copies' consoles when the test ends, go to SCREENSHOT_DIR.
if [ -n "$shots" ]; then mkdir -p "$shots" && shots=$(realpath "$shots"); else shots="$work/shots" && mkdir -p "$shots"; fi

fail() {
  echo "FAIL: $*"
  for c in "${!home[@]}"; do echo "--- copy $c (${home[$c]}) ---" && tail -n 60 "$work/$c/log" 2>/dev/null; done
  exit 1
}
lab_run() { timeout 20 "$netlab" run "$lab" "$@"; }
step() { echo "[$SECONDS s] $*"; }

# --- The lab, and nothing in it that reaches the machine's own network.
"$netlab" up "$lab" || fail "the lab did not come up"
for n in internet routerA homeA homeA2 routerB homeB routerC routerC2 homeC; do
  kinds=$(ip -n "$lab-$n" -d -j link | python3 -c '
import json, sys
print(" ".join(sorted({l.get("linkinfo", {}).get("info_kind", "loopback" if l["ifname"] == "lo" else "other")
                       for l in json.load(sys.stdin)})))')
  [[ " $kinds " =~ " other " ]] && fail "namespace $n has an interface that is no veth, bridge or loopback: $kinds"
done

# --- The copies: each in its home, on its display, in a scratch directory.
source "$root/tests/support/own_display.sh"
start_copy() { # name, home, command-line arguments...
  local c=$1 where=$2
  shift 2
  home[$c]=$where
  mkdir -p "$work/$c/assets"
  for folder in "$root"/assets/*/; do ln -s "$folder" "$work/$c/assets/$(basename "$folder")"; done
  printf 'gameWorld.matchLength,%s\nwindow.maxFrameRate,30\nwindow.size.x,640\nwindow.size.y,480\n' "$matchSeconds" \
    >"$work/$c/assets/tuning.csv"
  OWN_DISPLAY_NETNS="$lab-$where" OWN_DISPLAY_SCREEN=1024x768x24 own_display "$work/$c.display" ||
    fail "no virtual display for copy $c"
  pids+=("$own_display_pid")
  display[$c]=$own_display_name
  (cd "$work/$c" && exec ip netns exec "$lab-$where" env DISPLAY="${display[$c]}" \
    XDG_CONFIG_HOME="$work/$c/config" XDG_DATA_HOME="$work/$c/data" \
    XDG_STATE_HOME="$work/$c/state" "$game" "$@" </dev/null >log 2>&1) &
  pid[$c]=$!
  pids+=($!)
  local deadline=$((SECONDS + 15)) id=""
  while [ -z "$id" ] && [ $SECONDS -lt $deadline ]; do
    sleep 0.2
    id=$(on "$c" xdotool search --all --pid "${pid[$c]}" --name '^Skyscuffle$' 2>/dev/null | head -n 1)
  done
  [ -n "$id" ] || fail "no window for copy $c"
  window[$c]=$id
}
# A client of copy $1's display, in its home (where the display listens).
on() {
  local c=$1
  shift
  ip netns exec "$lab-${home[$c]}" env DISPLAY="${display[$c]}" "$@"
}
stop_copy() { # name
  kill -TERM "${pid[$1]}" 2>/dev/null
  wait "${pid[$1]}" 2>/dev/null
}

# How often copy $1's console said line $2 exactly (or, with a line that
# ends in "*", a line that starts with what comes before it), after its line
# $3 (0: ever).
lines() {
  tail -n +$((${3:-0} + 1)) "$work/$1/log" |
    awk -v l="$2" '{ n += (l ~ /\*$/) ? index($0, substr(l, 1, length(l) - 1)) == 1 : $0 == l } END { print n + 0 }'
}
mark() { wc -l <"$work/$1/log"; }
wait_for() { # copy, line, times, seconds, after line
  local deadline=$((SECONDS + ${4:-10}))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(lines "$1" "$2" "${5:-0}")" -ge "${3:-1}" ] && return 0
    kill -0 "${pid[$1]}" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
# The first line of copy $1's console after its line $3 that starts with $2.
said() { tail -n +$((${3:-0} + 1)) "$work/$1/log" | grep -m 1 "^$2"; }
wait_said() { # copy, start, seconds, after line
  local deadline=$((SECONDS + $3))
  while [ $SECONDS -lt $deadline ]; do
    said "$1" "$2" "${4:-0}" >/dev/null && return 0
    sleep 0.2
  done
  return 1
}
key() { # copy, keys...
  local c=$1
  shift
  on "$c" xdotool windowfocus --sync "${window[$c]}" 2>/dev/null
  on "$c" xdotool key --clearmodifiers "$@"
  sleep 0.3
}
typed() { # copy, text
  on "$1" xdotool windowfocus --sync "${window[$1]}" 2>/dev/null
  on "$1" xdotool type --delay 80 "$2"
  sleep 0.3
}
shot() { # copy, name, seconds for the frame to settle (1)
  sleep "${3:-1}"
  on "$1" import -window "${window[$1]}" "$shots/$2.png" 2>/dev/null || fail "no screenshot $2"
}

# Home A's router's mappings of the game port: its lease file has one line a mapping.
mapped() { grep -q "^UDP:$gamePort:192.168.1.2:$gamePort:" "$leases" 2>/dev/null; }
listed() { lab_run homeA upnpc -l 2>&1 | grep -q "UDP $gamePort->192.168.1.2:$gamePort 'Skyscuffle'"; }

# Copy $1 goes from the main menu to hosting: Online, then Host a Session.
host_through_menus() {
  key "$1" Down Return
  wait_for "$1" "Creating Network Screen" 1 10 "$2" || fail "copy $1 did not open the network screen"
  key "$1" Down Return
  wait_for "$1" "Being a server" 1 10 "$2" || fail "copy $1 did not host"
  wait_for "$1" "Initializing join sreen!" 1 10 "$2" || fail "copy $1 did not reach its join screen"
}

# Copy $1 adds $2 computer pilots (V) after its line $3.
add_pilots() {
  local i keys=()
  for ((i = 0; i < $2; ++i)); do keys+=(v); done
  key "$1" "${keys[@]}"
  wait_for "$1" "Keyboard has joined an AI player *" "$2" 10 "$3" || fail "copy $1 did not add $2 computer pilots"
}
# Copy $1 has heard of $2 players of another copy after its line $3.
hears_players() {
  wait_for "$1" "Recieved RPC call: spawnPersistantPlayer" "$2" 20 "$3" || fail "copy $1 did not hear of $2 players"
}

# A whole match of copies $1 (hosting) and $2 from their join screens; both
# tables (the lines after "Creating Win Screen", whose "(remote)" marks
# differ by copy) must be the same.
match() { # host, joined, host's mark, joined's mark, screenshot name
  local a=$1 b=$2 ma=$3 mb=$4
  key "$a" Return
  key "$b" Return
  wait_for "$a" "Loading at 100%" 1 60 "$ma" || fail "copy $a did not load the match"
  wait_for "$b" "Loading at 100%" 1 60 "$mb" || fail "copy $b did not load the match"
  key "$a" space
  key "$b" space
  wait_for "$a" "Creating Game World" 1 20 "$ma" || fail "copy $a did not enter the match"
  wait_for "$b" "Creating Game World" 1 20 "$mb" || fail "copy $b did not enter the match"
  said "$b" "Recieved RPC call: startGameplay" "$mb" >/dev/null || wait_said "$b" "Recieved RPC call: startGameplay" 20 "$mb" ||
    fail "copy $b heard no startGameplay from the host"
  wait_for "$a" "Creating Win Screen" 1 $((matchSeconds + 60)) "$ma" || fail "copy $a's match did not end"
  wait_for "$b" "Creating Win Screen" 1 30 "$mb" || fail "copy $b's match did not end"
  shot "$b" "$5"
  # The table as copy $1 printed it after its line $2; three of its six
  # players are the other copy's.
  table() { tail -n +$(($2 + 1)) "$work/$1/log" | sed -n '/^Creating Win Screen$/,$p' | sed -n '2,7p'; }
  for c in "$a:$ma" "$b:$mb"; do
    [ "$(table "${c%:*}" "${c#*:}" | grep -c .)" -eq 6 ] ||
      fail "copy ${c%:*}'s win screen does not list six players: $(table "${c%:*}" "${c#*:}")"
    [ "$(table "${c%:*}" "${c#*:}" | grep -c ' (remote)')" -eq 3 ] ||
      fail "copy ${c%:*}'s win screen does not have three players of the other copy: $(table "${c%:*}" "${c#*:}")"
  done
  [ "$(table "$a" "$ma" | sed 's/ (remote)//')" = "$(table "$b" "$mb" | sed 's/ (remote)//')" ] ||
    fail "the copies disagree on the result: $(table "$a" "$ma") / $(table "$b" "$mb")"
  echo "table of $a and $b (as $a has it):"
  table "$a" "$ma" | sed 's/^/  /'
}

# --- 1. Home A hosts through its menus; the join screen shows the code.
step "home A hosts"
start_copy a homeA
start_copy b homeB
wait_for a "Creating Main Menu" || fail "copy A has no main menu"
wait_for b "Creating Main Menu" || fail "copy B has no main menu"
host_through_menus a 0
wait_said a "Friends elsewhere: code " 20 || fail "copy A's join screen shows no invite code"
line=$(said a "Friends elsewhere: code ")
[[ $line =~ ^Friends\ elsewhere:\ code\ ([2-9A-Z]{5}-[2-9A-Z]{6})\ \(11\.0\.1\.2:$gamePort\)$ ]] ||
  fail "not an invite code with home A's public address: $line"
code=${BASH_REMATCH[1]}
echo "copy A: $line"
key a ctrl+c
wait_for a "Invite code $code copied to the clipboard" || fail "Control+C did not copy the code"
shot a internet-join-screen-host
add_pilots a 3 0

# --- 2. The router lists the mapping while A hosts.
mapped || fail "home A's router has no lease of port $gamePort: $(cat "$leases")"
listed || fail "upnpc does not list the mapping: $(lab_run homeA upnpc -l 2>&1)"

# --- 3. Home B types the code in the network screen's field and joins.
step "home B types the code"
key b Down Return
wait_for b "Creating Network Screen" || fail "copy B did not open the network screen"
key b c
wait_for b "Type the address of a copy to look for" || fail "copy B's address field did not open"
typed b "$code"
shot b internet-code-typed
mb=$(mark b)
key b Return
wait_for b "Joining the host of invite code $code at 11.0.1.2:$gamePort" 1 5 "$mb" ||
  fail "copy B did not read the code it was typed"
wait_for b "Initializing join sreen!" 1 10 "$mb" || fail "copy B did not reach its join screen"
wait_for b "Our connection request has been accepted." 1 15 "$mb" || fail "copy B's connection was not accepted"
add_pilots b 3 "$mb"
hears_players a 3 0
hears_players b 3 "$mb"
shot a internet-join-screen-host-six
step "the first match"
match a b 0 "$mb" internet-win-screen-typed-code

# --- 2. Back to the main menu: the mapping is gone.
step "the session ends"
ma=$(mark a)
key a Escape
wait_for a "Creating Main Menu" 1 10 "$ma" || fail "copy A did not go back to its main menu"
stop_copy b
deadline=$((SECONDS + 8))
while mapped && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
mapped && fail "home A's router still maps port $gamePort after the session ended: $(cat "$leases")"
listed && fail "upnpc still lists the mapping after the session ended"

# --- 4. Home B's copy joins with --join CODE, across a slow and lossy internet.
# A's pilots stay with it, through the main menu, for its next session.
"$netlab" lossy "$lab" "11.0.1.2:$gamePort" --loss 0.02 --delay 100 --jitter 30 --seed 7 ||
  fail "no relay in the lab's internet"
step "home B joins with --join across the relay"
ma=$(mark a)
host_through_menus a "$ma"
wait_said a "Friends elsewhere: code $code " 20 "$ma" || fail "copy A shows no code, or another, when it hosts again"
mapped || fail "home A's router has no lease of port $gamePort when A hosts again"
start_copy c homeB --join "$code"
wait_for c "Initializing join sreen!" 1 15 || fail "copy C (--join) did not open its join screen"
wait_for c "Our connection request has been accepted." 1 15 || fail "copy C's connection was not accepted"
add_pilots c 3 0
hears_players a 3 "$ma"
hears_players c 3 0
shot c internet-join-screen-joined-lossy
step "the second match"
match a c "$ma" 0 internet-win-screen-lossy
relay=$("$netlab" lossy "$lab" off)
echo "$relay"
passed=$(sed -n 's/^relay: \([0-9]*\) datagrams passed.*/\1/p' <<<"$relay")
[ "${passed:-0}" -ge 1000 ] || fail "the match did not cross the relay: $relay"

# --- 5. No mapping service: the port to forward by hand, and LAN play in home A.
step "no mapping service"
ma=$(mark a)
key a Escape
wait_for a "Creating Main Menu" 1 10 "$ma" || fail "copy A did not go back to its main menu"
stop_copy c
"$netlab" upnp "$lab" off
start_copy d homeA2
ma=$(mark a)
host_through_menus a "$ma"
wait_for a "For friends elsewhere, forward UDP port $gamePort here" 1 20 "$ma" ||
  fail "copy A does not say which port to forward: $(said a "Friends elsewhere" "$ma")"
shot a internet-join-screen-no-mapping
wait_for d "Creating Main Menu" || fail "copy D has no main menu"
key d Down Return
wait_for d "Creating Network Screen" || fail "copy D did not open the network screen"
for _ in 1 2 3 4 5; do
  grep -qx "Session found: 192.168.1.2" "$work/d/log" && break
  sleep 1
  key d Return # Refresh
done
grep -qx "Session found: 192.168.1.2" "$work/d/log" || fail "copy D did not list copy A's session"
step "home A's second machine joins"
shot d internet-lan-network-screen 4 # a first network screen loads its art
md=$(mark d)
key d Down Down Return # the first session, under Host a Session
wait_for d "Initializing join sreen!" 1 10 "$md" || fail "copy D did not reach its join screen"
wait_for d "Our connection request has been accepted." 1 10 "$md" || fail "copy D's connection was not accepted"
add_pilots d 1 "$md"
hears_players a 1 "$ma"
hears_players d 3 "$md"
shot d internet-lan-join-screen

for c in a d; do
  kill -TERM "${pid[$c]}"
  wait "${pid[$c]}" || fail "copy $c did not exit cleanly"
done
echo "internet play: code $code typed and given on the command line, mapping taken and dropped," \
  "two matches with equal tables (one across the relay), the port to forward, LAN play in home A;" \
  "screenshots in $shots, $SECONDS s"
echo PASS
