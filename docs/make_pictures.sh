#!/usr/bin/env bash
# Makes the README's pictures (docs/*.png) and demo/Demo.gif, the short animation that "Petita
# Demo" opens: the windows of the three programs as the window tests draw them, on the demo data.
# Run after ./run tests; needs ImageMagick (apt-get install imagemagick).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
shots="$(mktemp -d)"
trap 'rm -rf "$shots"' EXIT

for t in quizdesk_tests quizrun_tests qstconv_tests; do
  QUIZ_SHOTS="$shots" QT_QPA_PLATFORM=offscreen "$root/build/tests/$t" >/dev/null 2>&1
done

# The README's pictures.
cp "$shots/demo_quizdesk.png" "$root/docs/quizdesk.png"
cp "$shots/edtest.png" "$root/docs/edtest.png"
cp "$shots/demo_editor.png" "$root/docs/edqeleccio.png"
cp "$shots/quizrun_demo.png" "$root/docs/quizrun.png"
cp "$shots/quizrun_demo_corrected.png" "$root/docs/quizrun_corregit.png"
cp "$shots/qstconv.png" "$root/docs/qstconv.png"
cp "$shots/quizrun_demo_chart.png" "$root/docs/grafic.png"

n=0
frame() {  # frame SHOT CAPTION
  n=$((n + 1))
  convert -size 900x620 xc:'#36485c' \
    \( "$shots/$1.png" -resize '860x540>' -bordercolor '#1c2632' -border 2 \) \
    -gravity center -geometry +0+24 -composite \
    -gravity north -fill white -font Liberation-Sans -pointsize 22 -annotate +0+14 "$2" \
    "$shots/frame_$(printf %02d "$n").png"
}

frame demo_temes "quizdesk: els temes, amb les seves qüestions"
frame demo_quizdesk "quizdesk: un tema obert"
frame demo_editor "quizdesk: l'editor de qüestions"
frame demo_generacio "quizdesk: un test de 50 qüestions a l'atzar"
frame qstconv "qstconv: de text a fitxer de qüestions"
frame quizrun_demo "quizrun: el test, contra rellotge"
frame quizrun_demo_corrected "quizrun: corregit, amb la penalització"
frame quizrun_demo_chart "quizrun i quizdesk: el progrés, en un gràfic"

convert -delay 250 -loop 0 "$shots"/frame_*.png +dither -colors 128 "$root/demo/Demo.gif"
echo "docs/*.png i demo/Demo.gif ($n imatges) fets de nou"
