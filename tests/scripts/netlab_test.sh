#!/usr/bin/env bash
# The network lab: home A's router maps a port through UPnP and NAT-PMP and
# the mapping carries a datagram from home B and its answer back; home B's
# router maps nothing; the home behind two NATs finds a router whose
# external address is private; taken down, nothing of the lab is left.
#
# The game's own port mapping (network_tests' lab cases) is tried in each
# home, and the join screen's line with the invite code in home A
# (screens_logic_tests' lab case).
#
#   netlab_test.sh SOURCE_DIR NETWORK_TESTS SCREENS_LOGIC_TESTS
set -euo pipefail
root=$1
network_tests=$2
screens_logic_tests=$3
netlab="$root/scripts/netlab"
lab="t$$"
lab=${lab:0:12}

if ! [ -x /usr/sbin/miniupnpd ] || ! command -v upnpc >/dev/null || ! command -v natpmpc >/dev/null; then
  echo "netlab: miniupnpd, upnpc or natpmpc missing (scripts/install-deps installs them)" >&2
  exit 1
fi

cleanup() { "$netlab" down "$lab" || true; }
trap cleanup EXIT
"$netlab" up "$lab"
run() { timeout 20 "$netlab" run "$lab" "$@"; }
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# UPnP: the router says its external address and takes a mapping of the game's port.
status=$(run homeA upnpc -s 2>&1)
grep -q "ExternalIPAddress = 11.0.1.2" <<<"$status" || fail "home A's router gave no external address: $status"
run homeA upnpc -e skyscuffle -a 192.168.1.2 16520 16520 UDP 600 >/dev/null 2>&1
listed=$(run homeA upnpc -l 2>&1)
grep -q "UDP 16520->192.168.1.2:16520 'skyscuffle'" <<<"$listed" || fail "the mapping is not listed: $listed"

# A datagram from home B through the mapping, and the answer back through home B's NAT.
run homeA python3 -c "
import socket
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(('0.0.0.0', 16520))
s.settimeout(10)
data, sender = s.recvfrom(100)
print(data.decode(), sender[0], flush=True)
s.sendto(b'pong', sender)
" >"/tmp/netlab-$lab.heard" &
listener=$!
sleep 0.5
answer=$(run homeB python3 -c "
import socket
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.settimeout(5)
s.sendto(b'ping', ('11.0.1.2', 16520))
data, sender = s.recvfrom(100)
print(data.decode(), sender[0], sender[1])
")
wait "$listener"
heard=$(cat "/tmp/netlab-$lab.heard")
rm -f "/tmp/netlab-$lab.heard"
[ "$heard" = "ping 11.0.2.2" ] || fail "home A heard '$heard', not home B's router's address"
[ "$answer" = "pong 11.0.1.2 16520" ] || fail "home B heard '$answer'"

# Removed, the mapping is gone.
run homeA upnpc -d 16520 UDP >/dev/null 2>&1
listed=$(run homeA upnpc -l 2>&1)
! grep -q "16520->" <<<"$listed" || fail "the mapping outlived its removal: $listed"

# NAT-PMP answers on the same router.
pmp=$(run homeA natpmpc -a 16521 16521 udp 600 2>&1)
grep -q "Public IP address : 11.0.1.2" <<<"$pmp" || fail "no NAT-PMP answer: $pmp"
grep -q "Mapped public port 16521 protocol UDP to local port 16521" <<<"$pmp" || fail "NAT-PMP mapped nothing: $pmp"

# Home B's router has no mapping service; the home behind two NATs finds a
# router that is not connected (its external address is private).
nothing=$(run homeB upnpc -s 2>&1 || true)
grep -q "No IGD UPnP Device found" <<<"$nothing" || fail "home B found a mapping service: $nothing"
double=$(run homeC upnpc -s 2>&1 || true)
grep -q "not connected" <<<"$double" || fail "home C's router says it is connected: $double"

# The game's mapping: taken and removed in home A, none in home B, a private
# external address behind two NATs.
mapping() {
  local home=$1 as=$2 program=${3:-$network_tests} cases=${4:-PortMappingLab.*}
  local said
  if ! said=$(SKYSCUFFLE_NETLAB_HOME=$as SKYSCUFFLE_NETLAB_LEASES="/run/netlab/$lab/routerA.leases" \
    timeout 60 "$netlab" run "$lab" "$home" "$program" --gtest_filter="$cases" 2>&1); then
    fail "the port mapping in $as: $said"
  fi
  grep -q "\[  PASSED  \] 1 test" <<<"$said" || fail "no lab case ran in $as: $said"
}
mapping homeA homeA
mapping homeA homeA "$screens_logic_tests" 'HostingCopy.*'
mapping homeB homeB
mapping homeC homeC

# With the service stopped, home A finds none either.
"$netlab" upnp "$lab" off
stopped=$(run homeA upnpc -s 2>&1 || true)
grep -q "No IGD UPnP Device found" <<<"$stopped" || fail "a stopped service still answers: $stopped"
mapping homeA homeA-stopped

"$netlab" down "$lab"
trap - EXIT
left=$(ip netns list | grep -c "^$lab-" || true)
[ "$left" -eq 0 ] || fail "$left namespaces of the lab are left"
[ ! -e "/run/netlab/$lab" ] || fail "the lab's state is left"
echo "netlab: mappings (upnpc, natpmpc and the game's), traffic through them, no service and double NAT as expected"
