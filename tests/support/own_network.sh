# Sourced first by a test that drives copies of the real game: the script
# runs again in a network namespace of its own (loopback only, broadcasts
# routed to it), so that its copies' LAN discovery meets no other test's
# copies and the test holds no lock on the discovery ports while it runs.
if [ "${OWN_NETWORK_SCRIPT:-}" != "$0" ]; then
  exec env OWN_NETWORK_SCRIPT="$0" SKYSCUFFLE_ISOLATED_NET= \
    "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/isolated-net" "$0" "$@"
fi
