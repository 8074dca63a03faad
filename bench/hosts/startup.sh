#!/usr/bin/env bash
# Process start to the first painted frame of the controls example under Xvfb, over 10 runs.
#   bench/hosts/startup.sh [BUILD_DIR]   (a Release build: cmake -DCMAKE_BUILD_TYPE=Release)
# The example prints the wall-clock time of its first presented frame and ends; the time is
# taken from just before the process is started. Target: median at most 150 ms.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
exe="$build/examples/controls_example"
[ -x "$exe" ] || { echo "not built: $exe"; exit 1; }
runs=${RUNS:-10}

source "$root/scripts/lib/xvfb.sh"
xvfb_start
trap xvfb_stop EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

# One run first so that the file cache and the font cache are warm, as on a used desktop.
KVB_EXAMPLE_STARTUP=1 "$exe" >/dev/null 2>&1 || true

times=()
for i in $(seq 1 "$runs"); do
  start=$(date +%s%N)
  line=$(KVB_EXAMPLE_STARTUP=1 "$exe" 2>/dev/null | grep '^first-frame ' || true)
  [ -n "$line" ] || { echo "run $i: no frame reported"; exit 1; }
  frame=${line#first-frame }
  ms=$(awk -v a="$start" -v b="$frame" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')
  times+=("$ms")
  echo "run $i: $ms ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
echo "median start to first frame: $median ms over $runs runs (target <= 150 ms)"
