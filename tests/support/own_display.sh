# Sourced by the scripts that drive the real game: a virtual display of the
# script's own. Xvfb picks a free number and writes it once it listens, but a
# display number just freed by another test can still be half torn down, so
# the display only counts once a client has spoken to it; otherwise it is
# started again (three tries). -noreset: a server resets when its last client
# leaves, refusing whoever connects in that instant (the probe is a client).
#
#   own_display WORK_FILE   sets own_display_name (":N") and own_display_pid
own_display() {
  local file=$1 try
  for try in 1 2 3; do
    rm -f "$file"
    Xvfb -displayfd 3 -screen 0 "${OWN_DISPLAY_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 3>"$file" >/dev/null 2>&1 &
    own_display_pid=$!
    local deadline=$((SECONDS + 10))
    while [ ! -s "$file" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    if [ -s "$file" ]; then
      own_display_name=":$(head -n 1 "$file")"
      local spoken=0
      for _ in $(seq 30); do
        if xdpyinfo -display "$own_display_name" >/dev/null 2>&1; then spoken=1; break; fi
        sleep 0.1
      done
      [ $spoken = 1 ] && return 0
    fi
    kill -9 "$own_display_pid" 2>/dev/null
    wait "$own_display_pid" 2>/dev/null
  done
  return 1
}
