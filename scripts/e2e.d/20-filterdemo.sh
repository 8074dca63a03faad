#!/usr/bin/env bash
# filterdemo under X: the window's caption, size, menu, label and scroll bar are there; moving
# the scroll bar by arrow, by paging and by dragging the thumb runs Recompute each time (seen
# through the trace that KVB_FILTERDEMO_TRACE=1 turns on, and through the picture of the
# magnitude chart region); File > Exit ends the program with exit code 0.
set -euo pipefail
build=$1
exe="$build/app/filterdemo"
if [ ! -x "$exe" ]; then echo "filterdemo not built: $exe"; exit 1; fi

source "$(dirname "$0")/../lib/e2e.sh"
e2e_setup
e2e_no_display "$exe"
e2e_screenshot 443 550 "$exe" --cutoff 30
e2e_start KVB_FILTERDEMO_TRACE "$exe"
count() { grep -c '^recompute ' "$trace" || true; }
wait_count() {
  for _ in $(seq 1 100); do
    [ "$(count)" -ge "$1" ] && return 0
    sleep 0.05
  done
  fail "expected $1 recomputes, saw $(count)"
}
last() { grep '^recompute ' "$trace" | tail -n1 | awk '{print $2}'; }
settle() { sleep 0.3; }

wid=$(e2e_window '^Filtering by adjusting the Fourier coefficients$')
wait_count 1
[ "$(last)" = "256" ] || fail "first recompute at $(last), not 256"
e2e_focus "$wid"

# The window is the fixed 443 x 549 client area below the menu bar.
eval "$(xdotool getwindowgeometry --shell "$wid")"
menu=$((HEIGHT - 549))
[ "$WIDTH" -eq 443 ] && [ "$menu" -gt 0 ] && [ "$menu" -lt 60 ] || fail "unexpected window geometry ${WIDTH}x${HEIGHT}"
at() { xdotool mousemove --window "$wid" "$1" "$(($2 + menu))"; }
click() { at "$1" "$2"; xdotool click 1; }
# The magnitude chart's region of the screen (client 16, 208, 417 x 169).
shoot() {
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  import -window root -crop "417x169+$((X + 16))+$((Y + menu + 208))" "$1" 2>/dev/null
}
# The menu bar shows "File"; the label's text is drawn left of the scroll bar (checked as
# non-background pixels in the label's region).
full="$out/full.png"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$full" 2>/dev/null || fail "screen capture"
label_colours=$(convert "$full" +repage -crop "129x16+0+$((menu + 186))" +repage -unique-colors -format '%w' info: 2>/dev/null || echo 0)
[ "$label_colours" -gt 2 ] || fail "the label shows nothing"
menu_colours=$(convert "$full" +repage -crop "60x${menu}+0+0" +repage -unique-colors -format '%w' info: 2>/dev/null || echo 0)
[ "$menu_colours" -gt 2 ] || fail "the menu bar shows nothing"

# The scroll bar: client (136, 184), 289 x 21, range 0 … 256 at 256, steps of 1.
bar_y=194
n=$(count)
click 141 $bar_y                      # left arrow
wait_count $((n + 1)); settle
[ "$(last)" = "255" ] || fail "left arrow: recompute at $(last)"
n=$(count)
click 200 $bar_y                      # track left of the thumb: one page (LargeChange 1)
wait_count $((n + 1)); settle
[ "$(last)" = "254" ] || fail "paging: recompute at $(last)"

# Drag the thumb (at the right end) to the left; each new position recomputes.
shoot "$out/before.png"
n=$(count)
thumb_x=$((136 + 289 - 17 - 6))
at $thumb_x $bar_y
xdotool mousedown 1
for dx in 5 10 15 20 30 40 60 80; do at $((thumb_x - dx)) $bar_y; sleep 0.03; done
xdotool mouseup 1
settle
[ "$(count)" -ge $((n + 3)) ] || fail "dragging the thumb recomputed $(( $(count) - n )) times"
[ "$(last)" -lt 254 ] || fail "drag did not lower the cut-off: $(last)"
sleep 0.3
shoot "$out/after.png"
if [ -s "$out/before.png" ] && [ -s "$out/after.png" ]; then
  diff=$(compare -metric AE "$out/before.png" "$out/after.png" null: 2>&1 || true)
  echo "magnitude chart region: $diff pixels changed by the drag"
fi

# File > Exit: open File, then choose Exit.
e2e_file_exit
echo "filterdemo: window, menu, label and scroll bar ok; $(count) recomputes; File > Exit ok"
