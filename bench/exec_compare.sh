#!/usr/bin/env bash
# 200,000 expression and "&" lines written out one per line, run by build/yume and by tclsh.
#   bench/exec_compare.sh [build-folder]
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../$build/bench-data"
mkdir -p "$out"
lines=100000
python3 - "$out" "$lines" <<'PY'
import sys
out, n = sys.argv[1], int(sys.argv[2])
with open(f"{out}/exec.ymr", "w", encoding="utf-8") as y, open(f"{out}/exec.tcl", "w") as t:
    y.write("Cは、7\n")
    t.write("set c 7\n")
    for i in range(n):
        y.write(f"Aは、(C+{i % 97})*3-{i % 13}/2\n")
        y.write(f"Bは「値=」&A&「です」&{i}\n")
        t.write(f"set a [expr {{($c+{i % 97})*3-{i % 13}/2.0}}]\n")
        t.write(f"set b \"値=${{a}}です{i}\"\n")
    y.write("Bを、表示。\n")
    t.write("puts $b\n")
PY
time_of() { local s e; s=$(date +%s.%N); "$@" > /dev/null; e=$(date +%s.%N); echo "$e - $s" | bc -l; }
ours=$(time_of "$here/../$build/yume" "$out/exec.ymr")
tcl=$(time_of tclsh "$out/exec.tcl")
printf '%-40s %10s %10s %8s\n' "200,000 lines" "yume (s)" "tclsh (s)" "ratio"
printf '%-40s %10.3f %10.3f %8.2f\n' "expressions and & chains" "$ours" "$tcl" "$(echo "$ours / $tcl" | bc -l)"
