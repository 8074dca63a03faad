# Shared steps of the scripts in scripts/e2e.d: a program started with its trace switched on,
# failure reports that show the trace, waiting for trace lines, and the checks every Qt
# program gets (no display, --screenshot, File > Exit).

# e2e_setup: a scratch folder removed on exit; $out and $trace name it and the trace file.
e2e_setup() {
  out=$(mktemp -d)
  trace="$out/trace.txt"
  : >"$trace"
  pid=""
  trap e2e_cleanup EXIT
}
e2e_cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$out"
}

fail() {
  {
    echo "FAIL: $*"
    echo "--- trace:"; cat "$trace" 2>/dev/null || true
    echo "--- stderr:"; tail -n 20 "$out/stderr.txt" 2>/dev/null || true
  } >&2
  exit 1
}

# e2e_start TRACE_VARIABLE EXE [ARGS...]: runs the program in the background with its trace
# switched on through the named environment variable; the trace goes to $trace.
e2e_start() {
  local var=$1; shift
  env "$var=1" "$@" >"$trace" 2>"$out/stderr.txt" &
  pid=$!
}

# e2e_wait_lines PATTERN N: waits (5 s at most) until the trace has N lines matching PATTERN.
e2e_wait_lines() {
  local pattern=$1 n=$2
  for _ in $(seq 1 100); do
    [ "$(grep -c -E "$pattern" "$trace" || true)" -ge "$n" ] && return 0
    sleep 0.05
  done
  fail "expected $n lines matching '$pattern'"
}

# e2e_no_display EXE: without a display the program says so and exits with 2, not aborting.
e2e_no_display() {
  local rc
  set +e
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" >/dev/null 2>"$out/nodisplay.txt"
  rc=$?
  set -e
  [ $rc -eq 2 ] && grep -q -i 'display' "$out/nodisplay.txt" \
    || fail "without a display: exit $rc, $(cat "$out/nodisplay.txt")"
}

# e2e_screenshot WIDTH MIN_HEIGHT EXE [ARGS...]: --screenshot renders the window off screen into
# a PNG of the client width and at least the given height (the menu bar comes on top).
e2e_screenshot() {
  local w=$1 h=$2; shift 2
  "$@" --screenshot "$out/shot.png" 2>/dev/null || fail "--screenshot"
  if command -v identify >/dev/null; then
    local size
    size=$(identify -format '%w %h' "$out/shot.png")
    [ "${size% *}" -eq "$w" ] && [ "${size#* }" -ge "$h" ] || fail "screenshot size $size"
  fi
}

# e2e_window TITLE: the window id of the program's form, focused (Xvfb has no window manager).
e2e_window() {
  local wid
  wid=$(timeout 20 xdotool search --sync --name "$1" | head -n1) || fail "no window named $1"
  [ -n "$wid" ] || fail "no window named $1"
  echo "$wid"
}
e2e_focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; }

# e2e_file_exit: File > Exit through the menu bar (at client y = -menu / 2, x = 15) ends the
# program with exit code 0. Needs the at/click helpers of the calling script.
e2e_file_exit() {
  click 15 $((-menu / 2))
  sleep 0.4
  xdotool key --clearmodifiers Down Return 2>/dev/null || true
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$pid" 2>/dev/null && fail "File > Exit did not end the program"
  local rc
  set +e
  wait "$pid"; rc=$?
  set -e
  pid=""
  [ $rc -eq 0 ] || fail "exit code $rc"
}
