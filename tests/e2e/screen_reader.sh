#!/usr/bin/env bash
# The programs as a screen reader finds them: under Xvfb, on a D-Bus session of the test's own,
# with the desktop's accessibility registry, a Python client (pyatspi, the library Orca reads
# with) reads the runner's sheet and the manager's topic area and answers with the keyboard.
#
#   screen_reader.sh BIN DEMO
# BIN is the build's folder of programs, DEMO the demo data. Needs Xvfb, xdotool, dbus,
# at-spi2-core and python3-pyatspi.
set -euo pipefail

unset QT_QPA_PLATFORM
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
bin="$(realpath "$1")"
demo="$(realpath "$2")"
work="$(mktemp -d)"
cleanup() {
  pkill -P $$ 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FALLA: $*" >&2; for log in "$work"/*.log; do [ -s "$log" ] && { echo "== $(basename "$log"):" >&2; tail -n 20 "$log" >&2; }; done; exit 1; }

source "$here/own_display.sh"
start_own_display "$work"

launcher=""
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
  [ -x "$candidate" ] && launcher="$candidate" && break
done
[ -n "$launcher" ] || fail "no hi ha at-spi-bus-launcher (at-spi2-core)"

# The session bus, the accessibility bus and the client live as long as this run.
export QUIZ_AT_SPI_LAUNCHER="$launcher" QUIZ_WORK="$work"
dbus-run-session -- /usr/bin/python3 "$here/screen_reader.py" "$bin" "$demo" 2>"$work/client.log" ||
  fail "el lector de pantalla no ha llegit el que calia"
