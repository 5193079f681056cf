#!/usr/bin/env bash
# Two text workloads beside python3 and perl, in the same run on the same files:
#   c_replace  six replacements, ten times over a 5 MB text, then two counts (置換, 出現回数)
#   h_regex    a regular expression with four groups over 500,000 log lines (正規表現マッチ,
#              マッチ数, the fourth group summed)
# The programs are in bench/regex/; the data comes from the shared generator (gen-data.py, its
# own fixed random sequence, so the files are the same everywhere). Every program's output is
# checked against the others; each figure is the best of three whole runs (start-up included),
# wall clock, in milliseconds, the three interpreters taking turns.
#   bench/regex_bench.sh [build-dir]
# PEERS names the folder holding gen-data.py (and, in w/, data already generated);
# PYTHON and PERL the interpreters.
set -euo pipefail

build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
case $build in /*) ;; *) build="$root/$build" ;; esac
yume="$build/yume"
PEERS=${PEERS:-/work/shared/bench}
PYTHON=${PYTHON:-/usr/bin/python3}
PERL=${PERL:-perl}
[ -x "$yume" ] || { echo "no $yume: build it first" >&2; exit 1; }

# Programs and data side by side: a script reads its files from its own folder.
work="$build/bench-regex"
mkdir -p "$work"
cp "$here"/regex/*.ymr "$here"/regex/*.py "$here"/regex/*.pl "$work"/
for f in data_text.txt data_log.txt; do
  [ -s "$work/$f" ] && continue
  if [ -s "$PEERS/w/$f" ]; then
    ln -sf "$PEERS/w/$f" "$work/$f"
  else
    [ -f "$PEERS/gen-data.py" ] || { echo "no $PEERS/gen-data.py to make $f" >&2; exit 1; }
    echo "generating the data in $work ..." >&2
    "$PYTHON" "$PEERS/gen-data.py" "$work"
  fi
done
cd "$work"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

printf '| workload | yume | python3 | perl | yume / fastest peer |\n|---|---:|---:|---:|---:|\n'
for w in c_replace h_regex; do
  cmds=("$yume $w.ymr" "$PYTHON $w.py" "$PERL $w.pl")
  # Every version must print the same lines (the console program writes CR LF as LF).
  "$yume" "$w.ymr" > out.yume
  for i in 1 2; do
    ${cmds[$i]} > "out.$i"
    cmp -s out.yume "out.$i" || { echo "$w: '${cmds[$i]}' prints something else" >&2; diff out.yume "out.$i" | head >&2; exit 1; }
  done
  best=("" "" "")
  for _ in 1 2 3; do
    for i in 0 1 2; do
      s=$(now_ms); ${cmds[$i]} > /dev/null; e=$(now_ms)
      t=$((e - s))
      if [ -z "${best[$i]}" ] || [ "$t" -lt "${best[$i]}" ]; then best[$i]=$t; fi
    done
  done
  peer=$(( best[1] < best[2] ? best[1] : best[2] ))
  ratio=$(awk -v a="${best[0]}" -v b="$peer" 'BEGIN { printf "%.2f", a / b }')
  printf '| %s | %d | %d | %d | %s× |\n' "$w" "${best[0]}" "${best[1]}" "${best[2]}" "$ratio"
done
