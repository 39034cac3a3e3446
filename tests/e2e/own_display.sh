# Sourced by the scripts that drive the programs on an X server: start_own_display WORK starts
# one and exports DISPLAY. The caller defines fail MESSAGE.
#
# An X server of the test's own: Xvfb picks a free display itself and tells its number once it
# takes clients, so no other server (another test, a desktop) can be mistaken for it. It does not
# reset when its last client leaves (the runner closing before the manager starts again): a
# client that connects during a reset is turned away.
start_own_display() {
  local work="$1"
  Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp -noreset 9>"$work/display" >"$work/xvfb.log" 2>&1 &
  for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb no s'ha engegat"
  export DISPLAY=":$(head -n 1 "$work/display")"
  unset XAUTHORITY WAYLAND_DISPLAY
  # The programs start only once the server has answered a client's request, not only its socket.
  for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
  xdotool getdisplaygeometry >"$work/xdotool.log" 2>&1 || fail "Xvfb no respon a cap client a $DISPLAY"
}
