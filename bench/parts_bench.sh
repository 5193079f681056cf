#!/usr/bin/env bash
# GUI parts: 1,000 parts made with their texts set, then every text set again
# (bench/parts/thousand.ymr), in the console program (offscreen, loading its Qt module) and in
# the window program (offscreen), whole runs, best of three, milliseconds. Run by hand.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
script="$here/parts/thousand.ymr"
best() {
  local best_ms=999999
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s%N)
    "$@" > /dev/null
    t1=$(date +%s%N)
    local ms=$(( (t1 - t0) / 1000000 ))
    (( ms < best_ms )) && best_ms=$ms
  done
  echo "$best_ms"
}
echo "console program, its own figures: $("$build/yume" "$script")"
echo "console program, whole run: $(best "$build/yume" "$script") ms"
if [ -x "$build/yumemori" ]; then
  echo "window program (offscreen), whole run: $(QT_QPA_PLATFORM=offscreen best "$build/yumemori" "$script") ms"
fi
