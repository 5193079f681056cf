#!/usr/bin/env bash
# Drawing and pictures beside Python's Pillow, in the same run (run by hand):
#   bench/draw_bench.sh [build-dir]
# 1. The engine's own work (build/bench/bench_draw) and the same calls in Pillow, in process:
#    100,000 lines of width 2 and 10,000 filled, outlined rectangles on 640 x 400, and a
#    4000 x 3000 picture loaded and saved as PNG (zlib level 6) and JPEG (quality 90).
# 2. Whole programs: bench/draw/lines.ymr and rects.ymr through build/yume (start-up, the
#    interpreter and loading Qt included) beside lines_py.py and rects_py.py.
# Every figure is the best of three, wall clock, in milliseconds.
set -euo pipefail
# Debian's python3, where python3-pil installs Pillow.
py=${PYTHON:-/usr/bin/python3}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
data=$build/bench-draw
mkdir -p "$data"
"$py" -c 'import PIL' 2>/dev/null || { echo "Pillow is missing (python3-pil)"; exit 1; }
[ -f "$data/big.png" ] || "$py" "$root/bench/draw/make_pictures.py" "$data"

best_ms() {
  local best=
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s%N)
    "$@" > /dev/null
    t1=$(date +%s%N)
    local ms=$(( (t1 - t0) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

declare -A ours pillow
while read -r name ms; do ours[$name]=$ms; done < <("$build/bench/bench_draw" "$data/big.png" "$data/big.jpg" "$data")
while read -r name ms; do pillow[$name]=$ms; done < <("$py" "$root/bench/draw/pillow_bench.py" "$data/big.png" "$data/big.jpg" "$data")

printf '| %-40s | %8s | %8s | %8s |\n' operation ours Pillow "Pillow/ours"
printf '|%s|---------:|---------:|---------:|\n' "------------------------------------------"
row() {
  printf '| %-40s | %8s | %8s | %8s |\n' "$1" "$2" "$3" "$(python3 -c "print('%.1fx' % ($3 / max($2, 1)))")"
}
row "100,000 lines (engine)" "${ours[lines]}" "${pillow[lines]}"
row "10,000 rectangles (engine)" "${ours[rects]}" "${pillow[rects]}"
row "load 4000x3000 PNG" "${ours[png_load]}" "${pillow[png_load]}"
row "save 4000x3000 PNG" "${ours[png_save]}" "${pillow[png_save]}"
row "load 4000x3000 JPEG" "${ours[jpeg_load]}" "${pillow[jpeg_load]}"
row "save 4000x3000 JPEG" "${ours[jpeg_save]}" "${pillow[jpeg_save]}"
cd "$root/bench/draw"
row "100,000 lines, whole program" "$(best_ms "$build/yume" lines.ymr)" "$(best_ms "$py" lines_py.py)"
row "10,000 rectangles, whole program" "$(best_ms "$build/yume" rects.ymr)" "$(best_ms "$py" rects_py.py)"
