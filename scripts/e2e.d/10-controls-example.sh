#!/usr/bin/env bash
# The controls example under X: the scroll bar moved by arrow, by paging and by dragging the
# thumb fires OnChange exactly once per new position; a click on the drawn control reaches
# its handlers; File > Exit ends the program with exit code 0.
set -euo pipefail
build=$1
exe="$build/examples/controls_example"
if [ ! -x "$exe" ]; then echo "controls example not built: $exe"; exit 1; fi

source "$(dirname "$0")/../lib/e2e.sh"
e2e_setup
e2e_no_display "$exe"
e2e_screenshot 443 215 "$exe"
e2e_start KVB_EXAMPLE_TRACE "$exe"
wait_lines() { e2e_wait_lines "$@"; }
changes() { grep -E '^change ' "$trace" | awk '{print $2}' | tr '\n' ' ' | sed 's/ $//'; }
settle() { sleep 0.3; }

wid=$(e2e_window '^Controls example$')
wait_lines '^shown$' 1
e2e_focus "$wid"

# The window is the client area (443 x 214) below the menu bar.
eval "$(xdotool getwindowgeometry --shell "$wid")"
menu=$((HEIGHT - 214))
[ "$WIDTH" -eq 443 ] && [ "$menu" -gt 0 ] && [ "$menu" -lt 60 ] || fail "unexpected window geometry ${WIDTH}x${HEIGHT}"
at() { xdotool mousemove --window "$wid" "$1" "$(($2 + menu))"; }
click() { at "$1" "$2"; xdotool click 1; }

# The scroll bar: client (136, 184), 289 x 21, range 0..256 at 128, LargeChange 16.
bar_y=194
click 141 $bar_y                      # left arrow
wait_lines '^change ' 1; settle
[ "$(changes)" = "127" ] || fail "left arrow: changes '$(changes)'"
click 419 $bar_y                      # right arrow
wait_lines '^change ' 2; settle
[ "$(changes)" = "127 128" ] || fail "right arrow: changes '$(changes)'"
click 170 $bar_y                      # track left of the thumb: one page
wait_lines '^change ' 3; settle
[ "$(changes)" = "127 128 112" ] || fail "paging: changes '$(changes)'"
click 400 $bar_y                      # track right of the thumb: one page
wait_lines '^change ' 4; settle
[ "$(changes)" = "127 128 112 128" ] || fail "paging back: changes '$(changes)'"

# Drag the thumb (centred near x = 280 at position 128) to the right in small steps.
before=$(grep -c '^change ' "$trace")
at 280 $bar_y
xdotool mousedown 1
for dx in 3 6 9 12 15 18 21 24 27 30; do at $((280 + dx)) $bar_y; sleep 0.03; done
xdotool mouseup 1
settle
drag=$(grep -E '^change ' "$trace" | tail -n +$((before + 1)) | awk '{print $2}')
[ -n "$drag" ] || fail "dragging the thumb changed nothing"
# Strictly increasing: every new position once, none twice.
echo "$drag" | awk 'NR > 1 && $1 <= prev { bad = 1 } { prev = $1 } END { exit bad }' \
  || fail "drag positions not strictly increasing: $(echo $drag)"
[ "$(echo "$drag" | head -n1)" -gt 128 ] || fail "drag did not start above 128"
[ "$(echo "$drag" | wc -l)" -ge 3 ] || fail "drag fired fewer than 3 changes: $(echo $drag)"

# A click on the wave reaches MouseDown, Click and MouseUp, in the control's coordinates.
click 66 58
wait_lines '^up left ' 1
grep -q '^down left 50 50$' "$trace" || fail "mouse down on the wave"
grep -q '^click$' "$trace" || fail "click on the wave"
grep -q '^up left 50 50$' "$trace" || fail "mouse up on the wave"

# File > Exit through the menu bar: open File, then choose Exit.
e2e_file_exit
grep -q '^exit$' "$trace" || fail "Exit1Click did not run"
echo "controls example: scroll bar changes $(changes | wc -w), click and File > Exit ok"
