#!/usr/bin/env bash
# The scale demo under X: dragging along the stand-alone axis pans it (its labels change on
# screen), a double click switches it to zooming, where a drag stretches it about the fixed
# far end, and a second double click switches back to panning.
set -euo pipefail
build=$1
exe="$build/examples/scale_demo/scale_demo"
if [ ! -x "$exe" ]; then echo "scale demo not built: $exe"; exit 1; fi

source "$(dirname "$0")/../lib/e2e.sh"
e2e_setup
e2e_start KVB_SCALE_TRACE "$exe"
wait_for() { e2e_wait_lines "$1" 1; }
last_range() { grep -E '^range ' "$trace" | tail -n1 | cut -d' ' -f2-; }
shot() { sleep 0.4; import -window root "$out/$1.png"; }
differs() {
  local n
  n=$(compare -metric AE "$out/$1.png" "$out/$2.png" null: 2>&1 || true)
  [ "${n%% *}" != "0" ]
}

wid=$(e2e_window '^Scale demo$')
wait_for '^shown$'
e2e_focus "$wid"
eval "$(xdotool getwindowgeometry --shell "$wid")"
top=$((HEIGHT - 120))  # anything above the client area
# The scale sits at client (20, 20), 400 x 80; its axis runs from x = 20 to 379 inside it.
at() { xdotool mousemove --window "$wid" $((20 + $1)) $((20 + top + $2)); }
# A drag starts at the first move with the button held, not at the press: press one pixel
# before the start so that the first move lands on it.
drag() {
  local from=$1 to=$2 step x
  step=$(( to > from ? 6 : -6 ))
  at $((from - step / 6)) 50
  xdotool mousedown 1
  at "$from" 50
  for ((x = from + step; (step > 0 && x <= to) || (step < 0 && x >= to); x += step)); do at "$x" 50; sleep 0.02; done
  at "$to" 50
  sleep 0.05
  xdotool mouseup 1
}

shot before
# Pan: 36 pixels to the right move the range 10 units down (360 pixels hold 100 units).
drag 100 136
wait_for '^range '
[ "$(last_range)" = "-10 90" ] || fail "pan: range $(last_range), expected -10 90"
shot panned
differs before panned || fail "panning did not change the picture"

# Double click: maPan becomes maZoom.
at 200 50
xdotool click --repeat 2 --delay 60 1
wait_for '^action maZoom$'
# Zoom: the right half grabbed at x = 290 (value 65) and drawn to x = 200 keeps the low end
# and stretches the range so that 65 lies under the pointer: -10 .. 140.
drag 290 200
wait_for '^range -10 140$'
shot zoomed
differs panned zoomed || fail "zooming did not change the picture"

at 200 50
xdotool click --repeat 2 --delay 60 1
for _ in $(seq 1 100); do [ "$(grep -c '^action ' "$trace")" -ge 2 ] && break; sleep 0.05; done
[ "$(grep '^action ' "$trace" | tail -n1)" = "action maPan" ] || fail "second double click did not switch back to maPan"
kill -0 "$pid" 2>/dev/null || fail "the demo ended on its own"
echo "scale demo: pan, zoom and double clicks ok ($(grep -c '^range ' "$trace") range changes)"
