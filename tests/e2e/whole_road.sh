#!/usr/bin/env bash
# The whole road of a test, as a person takes it, with the real programs under Xvfb: a topic made
# in the manager, two questions typed in its editor, three more converted by qstconv, a random
# test generated, the runner started from "EXECUTAR TESTS", the test taken, corrected and its
# score registered, and the score in the history of both programs.
#
#   whole_road.sh BIN
# BIN is the build's folder of programs. The manager is started there, inside its data folder,
# as ./run starts it: the runner is found beside it, not on the PATH.
# Needs Xvfb and xdotool. There is no window manager: windows sit where the programs put them,
# and clicks go to points of a window.
set -euo pipefail

unset QT_QPA_PLATFORM

work="$(mktemp -d)"
# Our programs are those working in this run's folder: other tests may run the same binaries.
cleanup() {
  pkill -P $$ 2>/dev/null || true
  for pid in $(pgrep -f "/(quizdesk|quizrun|qstconv)( |$)" 2>/dev/null); do
    case "$(readlink "/proc/$pid/cwd" 2>/dev/null)" in "$work"*) kill "$pid" 2>/dev/null || true ;; esac
  done
  rm -rf "$work"
}
trap cleanup EXIT
bin="$(realpath "$1")"
for p in quizdesk quizrun qstconv; do [ -x "$bin/$p" ] || { echo "FALLA: no hi ha $bin/$p" >&2; exit 1; }; done
# No program of ours on the PATH: only the folder of the manager can lead it to the runner.
PATH="$(printf '%s' "$PATH" | tr ':' '\n' | grep -v -x -F "$bin" | paste -sd: -)"
! command -v quizrun >/dev/null || { echo "FALLA: hi ha un quizrun al PATH ($(command -v quizrun))" >&2; exit 1; }
data="$work/dades"
mkdir -p "$data"

# A failure says what the programs printed, which tells a crash from a slow start.
fail() {
  echo "FALLA: $*" >&2
  for log in "$work"/*.log; do [ -s "$log" ] && { echo "== $(basename "$log"):" >&2; tail -n 20 "$log" >&2; }; done
  exit 1
}

source "$(dirname "${BASH_SOURCE[0]}")/own_display.sh"
start_own_display "$work"
# The first visible window whose name matches, waiting up to 30 s (a busy machine starts slowly).
wait_win() {
  for _ in $(seq 300); do
    local w
    w="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)"
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  fail "no s'ha obert la finestra «$1»"
}
wait_gone() {
  for _ in $(seq 300); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "la finestra «$1» no s'ha tancat"
}
# click WINDOW X Y: at the point (x, y) of the window (its menu bar included).
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.4; }
key() { xdotool windowfocus --sync "$1" 2>/dev/null || true; xdotool key "${@:2}"; sleep 0.4; }
typed() { xdotool type --delay 10 "$1"; sleep 0.2; }
size() { stat -c %s "$1" 2>/dev/null || echo 0; }

# 1. The manager in an empty data folder: no Zive.cf (told), no topic index (created).
(cd "$data" && exec "$bin/quizdesk") >"$work/quizdesk.log" 2>&1 &
box="$(wait_win 'No trobat Zive.cf')"; key "$box" Return
box="$(wait_win 'Arxs.rel')"; key "$box" Return
main="$(wait_win 'Tests Velmor Ostrel')"
[ "$(size "$data/Bases/Arxs.rel")" = 0 ] || fail "l'índex de temes no és nou"

# 2. A topic: "Nou", its parameters, "Accepta".
click "$main" 60 218
params="$(wait_win 'Paràmetres tema')"
typed "Quimica basica"; xdotool key Tab
typed "QUIMICA"; xdotool key Tab
typed "120"; xdotool key Tab
typed "120"; xdotool key Tab
typed "100"
click "$params" 405 188
wait_gone 'Paràmetres tema'
[ "$(size "$data/Bases/Arxs.rel")" = 318 ] || fail "el tema no és a l'índex"
[ -f "$data/Bases/QUIMICA.qst" ] || fail "no hi ha el fitxer de qüestions del tema"

# 3. Two questions in the editor: Qüestions > Editar, typed, "Accepta", "+", typed, "Accepta", "Surt".
click "$main" 65 11
click "$main" 100 30
editor="$(wait_win 'Edició qüestions')"
typed "Quin es el simbol quimic de l'or?"; xdotool key Tab
typed "Au"; xdotool key Tab; typed "Ag"; xdotool key Tab; typed "Or"; xdotool key Tab; typed "Fe"
click "$editor" 765 271
click "$editor" 493 262
typed "Quantes molecules hi ha en un mol?"; xdotool key Tab
typed "6,022 x 10^23"; xdotool key Tab; typed "1000"; xdotool key Tab; typed "18"; xdotool key Tab; typed "22,4"
click "$editor" 765 271
click "$editor" 665 271
wait_gone 'Edició qüestions'
[ "$(size "$data/Bases/QUIMICA.qst")" = 1412 ] || fail "l'editor no ha desat les dues qüestions"

# 4. Three more from a text, by qstconv's batch mode, while the manager stays open.
printf 'Quin gas respirem?\n*Oxigen\nHeli\nNeo\nArgo\n\nQuin es el pH de l aigua pura?\n5\n*7\n9\n14\n\nQuin element te el simbol Na?\nNitrogen\nNeo\n*Sodi\nNiquel\n' >"$work/quimica.txt"
"$bin/qstconv" --data "$data" --marked "$work/quimica.txt" Bases/QUIMICA.qst >/dev/null || fail "qstconv"
[ "$(size "$data/Bases/QUIMICA.qst")" = 3530 ] || fail "qstconv no ha afegit les tres qüestions"

# 5. A random test of the whole topic: "Generar test", "Tot", "Veure", "Accepta".
click "$main" 197 112
list="$(wait_win 'Seleccio arxius')"
click "$list" 179 269
click "$list" 258 276
generation="$(wait_win 'Generació test')"
click "$generation" 215 121
wait_gone 'Generació test'
[ "$(grep -c . "$data/Generats/QUIMICA_1.tgn")" = 10 ] || fail "el test generat no té cinc qüestions"

# 6. "EXECUTAR TESTS": the real runner starts and the manager ends.
click "$main" 197 68
box="$(wait_win 'No trobat Zive.cf')"; key "$box" Return
wait_gone 'Tests Velmor Ostrel'
runner="$(wait_win '^test$')"

# 7. The test taken: Tests > Obrir/executar, the test, five answers, "Corregir", registered.
click "$runner" 14 10
click "$runner" 60 30
tests="$(wait_win 'Tests generats')"; click "$tests" 258 276
runner="$(wait_win 'QUIMICA_1')"
for k in 1 2 3 4 5; do
  click "$runner" $((827 + 18 * ((k - 1) % 4) + 6)) $((120 + 21 * k + 25))
done
click "$runner" 971 119
box="$(wait_win 'Resultat QUIMICA_1')"; key "$box" Return
wait_gone 'Resultat'
[ "$(size "$data/Punts.rel")" = 52 ] || fail "la puntuació no s'ha registrat"
grep -q QUIMICA_1 "$data/Punts.rel" || fail "la puntuació no és la del test"

# 8. The score in the runner's history (Info > Veure puntuacions) ...
click "$runner" 52 10
click "$runner" 110 31
history="$(wait_win 'Puntuacions Velmor')"; click "$history" 60 276   # "Surt"
wait_gone 'Puntuacions Velmor'
click "$runner" 90 10   # "Sortir"
wait_gone 'QUIMICA_1'

# ... and in the manager's (Info > Historial puntuacions).
(cd "$data" && exec "$bin/quizdesk") >>"$work/quizdesk.log" 2>&1 &
box="$(wait_win 'No trobat Zive.cf')"; key "$box" Return
main="$(wait_win 'Tests Velmor Ostrel')"
click "$main" 180 11
click "$main" 205 52
history="$(wait_win 'Puntuacions Velmor')"
echo "El camí sencer d'un test: fet"
