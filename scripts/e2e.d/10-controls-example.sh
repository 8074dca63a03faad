#!/usr/bin/env bash
# The controls example under X: the scroll bar moved by arrow, by paging and by dragging the
# thumb fires OnChange exactly once per new position; a click on the drawn control reaches
# its handlers; File > Exit ends the program with exit code 0.
set -euo pipefail
build=$1
exe="$build/examples/controls_example"
if [ ! -x "$exe" ]; then echo "controls example not built: $exe"; exit 1; fi

out=$(mktemp -d)
trace="$out/trace.txt"
trap 'rm -rf "$out"' EXIT

# Without a display the program says so and exits with 2 instead of aborting.
set +e
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$exe" >/dev/null 2>"$out/nodisplay.txt"
rc=$?
set -e
[ $rc -eq 2 ] && grep -q 'no display' "$out/nodisplay.txt" \
  || { echo "FAIL: without a display: exit $rc, $(cat "$out/nodisplay.txt")"; exit 1; }
# --screenshot renders the window off screen into a PNG, menu bar included.
"$exe" --screenshot "$out/shot.png" 2>/dev/null || { echo "FAIL: --screenshot"; exit 1; }
if command -v identify >/dev/null; then
  size=$(identify -format '%w %h' "$out/shot.png")
  [ "${size% *}" -eq 443 ] && [ "${size#* }" -gt 214 ] || { echo "FAIL: screenshot size $size"; exit 1; }
fi
KVB_EXAMPLE_TRACE=1 "$exe" >"$trace" 2>"$out/stderr.txt" &
pid=$!
cleanup() {
  if kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$out"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- trace:"; cat "$trace"
  echo "--- stderr:"; tail -n 20 "$out/stderr.txt"
  exit 1
}

# Waits until the trace has at least N lines matching a pattern.
wait_lines() {
  local pattern=$1 n=$2
  for _ in $(seq 1 100); do
    [ "$(grep -c -E "$pattern" "$trace" || true)" -ge "$n" ] && return 0
    sleep 0.05
  done
  fail "expected $n lines matching '$pattern'"
}
changes() { grep -E '^change ' "$trace" | awk '{print $2}' | tr '\n' ' ' | sed 's/ $//'; }
settle() { sleep 0.3; }

wid=$(timeout 20 xdotool search --sync --name '^Controls example$' | head -n1) || fail "no window"
wait_lines '^shown$' 1
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"

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
click 15 $((-menu / 2))
sleep 0.4
xdotool key --clearmodifiers Down Return 2>/dev/null || true
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$pid" 2>/dev/null; then fail "File > Exit did not end the program"; fi
set +e
wait "$pid"; rc=$?
set -e
grep -q '^exit$' "$trace" || fail "Exit1Click did not run"
[ $rc -eq 0 ] || fail "exit code $rc"
echo "controls example: scroll bar changes $(changes | wc -w), click and File > Exit ok"
