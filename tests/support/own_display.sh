# Sourced by the scripts that drive the real game: a virtual display of the
# script's own. Xvfb picks a free number and writes it once it listens, but a
# display number just freed by another test can still be half torn down, so
# the display only counts once a client has spoken to it; otherwise it is
# started again (three tries). -noreset: a server resets when its last client
# leaves, refusing whoever connects in that instant (the probe is a client).
# With OWN_DISPLAY_NETNS set, the server runs in that named network namespace
# (ip netns) and listens on its abstract socket only, which is the
# namespace's own: a socket file in /tmp/.X11-unix would be taken over by a
# server of the same number in another namespace. Its clients run in that
# namespace too (ip netns exec NAMESPACE CLIENT).
#
#   own_display WORK_FILE   sets own_display_name (":N") and own_display_pid
own_display() {
  local file=$1 try run=() only=()
  if [ -n "${OWN_DISPLAY_NETNS:-}" ]; then
    run=(ip netns exec "$OWN_DISPLAY_NETNS")
    only=(-nolisten unix)
  fi
  for try in 1 2 3; do
    rm -f "$file"
    "${run[@]}" Xvfb -displayfd 3 -screen 0 "${OWN_DISPLAY_SCREEN:-1280x1024x24}" -nolisten tcp "${only[@]}" -noreset \
      3>"$file" >/dev/null 2>&1 &
    own_display_pid=$!
    local deadline=$((SECONDS + 10))
    while [ ! -s "$file" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    if [ -s "$file" ]; then
      own_display_name=":$(head -n 1 "$file")"
      local spoken=0
      for _ in $(seq 30); do
        if "${run[@]}" xdpyinfo -display "$own_display_name" >/dev/null 2>&1; then spoken=1; break; fi
        sleep 0.1
      done
      [ $spoken = 1 ] && return 0
    fi
    kill -9 "$own_display_pid" 2>/dev/null
    wait "$own_display_pid" 2>/dev/null
  done
  return 1
}
