#!/usr/bin/env bash
# The table and array commands on the shared workloads, beside python3 in the same run:
#   f_csv   a 200,000-row table read from a file, sorted by its number column (表数値ソート),
#           written back to a file; first and last rows shown
#   g_sort  500,000 lines read from a file, sorted (ソート), joined; lines counted and shown
# Each program runs once to check that both print the same (and, for f_csv, write the same
# file), then three times each, interleaved; the best wall time of each is reported, whole
# process included (start-up, reading and writing the files).
#   bench/tables_bench.sh [build-dir]       (default: build)
# PYTHON= picks the interpreter (default /usr/bin/python3).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
yume="$(cd "$build" && pwd)/yume"
python=${PYTHON:-/usr/bin/python3}
shared=${BENCH_SHARED:-/work/shared/bench}
runs=3

[ -x "$yume" ] || { echo "no $yume: build the yume target first" >&2; exit 1; }
for f in f_csv.ymr f_csv.py g_sort.ymr g_sort.py; do
  [ -f "$shared/w/$f" ] || { echo "missing $shared/w/$f" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$shared"/w/{f_csv,g_sort}.{ymr,py} "$work/"
# The data is generated once (deterministic); the shared folder may hold it already.
for d in data_table.csv data_lines.txt; do
  if [ -f "$shared/w/$d" ]; then
    ln -s "$shared/w/$d" "$work/$d"
  else
    [ -f "$build/bench-data/$d" ] || { mkdir -p "$build/bench-data"
                                       "$python" "$shared/gen-data.py" "$build/bench-data"; }
    ln -s "$(cd "$build/bench-data" && pwd)/$d" "$work/$d"
  fi
done
cd "$work"

now_ms() { date +%s%N | awk '{printf "%.0f", $1 / 1e6}'; }
time_ms() {  # wall time of one run, output discarded
  local s e
  s=$(now_ms)
  "$@" >/dev/null 2>&1
  e=$(now_ms)
  echo $((e - s))
}

echo "# tables_bench $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "# $("$python" -V 2>&1); yume: $yume"
echo
echo "| workload | yume (ms) | python3 (ms) | yume / python3 |"
echo "|---|---:|---:|---:|"
status=0
for w in f_csv g_sort; do
  if ! "$yume" "$w.ymr" >"$w.yume.out" 2>"$w.yume.err"; then
    echo "| $w | failed | | |"; cat "$w.yume.err" >&2; status=1; continue
  fi
  "$python" "$w.py" >"$w.py.out"
  if ! cmp -s "$w.yume.out" "$w.py.out"; then
    echo "| $w | output differs | | |"; diff "$w.yume.out" "$w.py.out" | head >&2; status=1; continue
  fi
  if [ "$w" = f_csv ] && ! cmp -s out_f_ymr.csv out_f_py.csv; then
    echo "| $w | written file differs | | |"; status=1; continue
  fi
  best_y=""; best_p=""
  for ((k = 0; k < runs; k++)); do
    t=$(time_ms "$yume" "$w.ymr"); { [ -z "$best_y" ] || [ "$t" -lt "$best_y" ]; } && best_y=$t
    t=$(time_ms "$python" "$w.py"); { [ -z "$best_p" ] || [ "$t" -lt "$best_p" ]; } && best_p=$t
  done
  echo "| $w | $best_y | $best_p | $(awk -v a="$best_y" -v b="$best_p" 'BEGIN{printf "%.2f", a / b}') |"
done
exit $status
