#!/usr/bin/env bash
# The tuning-key check passes on the tree as it is and fails on a key spelt
# outside its declaration, planted in a copy.
set -euo pipefail
root=$1
check=$root/tools/settings/check_keys.py
python3 "$check" "$root"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/game/x" "$scratch/engine" "$scratch/tools"
fails() { # expected text, then what the check said
    if python3 "$check" "$scratch" >"$scratch/said"; then
        echo "FAIL: the check passed with $1"; cat "$scratch/said"; exit 1
    fi
    grep -qF "$2" "$scratch/said" || { echo "FAIL: expected '$2' in:"; cat "$scratch/said"; exit 1; }
}
passes() {
    python3 "$check" "$scratch" >"$scratch/said" || { echo "FAIL: $1:"; cat "$scratch/said"; exit 1; }
}

# Declarations, comments and other strings are fine.
cat >"$scratch/game/x/FlightSettings.cpp" <<'CPP'
const kit::Setting<float> turn{"tuning.plane.turn", 1.0f, "how fast"};
CPP
cat >"$scratch/game/x/Plane.cpp" <<'CPP'
// reads "tuning.plane.turn" through its declaration
/* and "tuning.plane.other" in a block
   comment */
const char* url = "http://example.org/tuning.html"; // "tuning.not.code"
float f() { return flight::turn.value(); }
CPP
passes "declarations and comments only"

# A key read by its string in any source file of engine, game or tools.
echo 'float g() { return kit::settings::get<float>("tuning.plane.turn", 1.0f); }' >>"$scratch/game/x/Plane.cpp"
fails "a key read by its string" 'game/x/Plane.cpp:6: the key "tuning.plane.turn" is spelt outside its declaration'
rm "$scratch/game/x/Plane.cpp"
echo 'static kit::SettingsEntry<int> on("tuning.net.on", 1);' >"$scratch/engine/Net.h"
fails "a key in a header" 'engine/Net.h:1: the key "tuning.net.on"'
rm "$scratch/engine/Net.h"
echo 'set("x", "//"); set("tuning.sim.seconds", "3");' >"$scratch/tools/Sim.cpp"
fails "a key after a string holding //" 'tools/Sim.cpp:1: the key "tuning.sim.seconds"'
rm "$scratch/tools/Sim.cpp"
passes "the planted files gone"

echo "tuning keys: checked"
