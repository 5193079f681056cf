#!/usr/bin/env bash
# The interpreter beside tclsh and python3 on the same small programs (bench/interp/NAME.*):
#   loop    a counted loop of 3,000,000 rounds with integer arithmetic and a condition
#   append  a text built by 200,000 "&" appends, shown once
#   fib     recursive fib(24) as a user function
#   dict    200,000 dictionary item writes, then 200,000 reads
# Output goes to /dev/null; each program's output is checked against the others first. Each
# time is the best of ROUNDS runs (5 unless set): other work on the machine only ever adds.
#   bench/interp_compare.sh [build-folder]
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
yume="$here/../$build/yume"
rounds=${ROUNDS:-5}
time_of() {
  local s e t best=""
  for ((i = 0; i < rounds; i++)); do
    s=$(date +%s.%N); "$@" > /dev/null; e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}
printf '%-8s %10s %10s %10s %10s %10s\n' "program" "yume (s)" "tclsh (s)" "python3" "vs tclsh" "vs python"
for name in loop append fib dict; do
  ours_out=$("$yume" "$here/interp/$name.ymr" | md5sum)
  tcl_out=$(tclsh "$here/interp/$name.tcl" | md5sum)
  if [ "$ours_out" != "$tcl_out" ]; then echo "$name: outputs differ"; fi
  ours=$(time_of "$yume" "$here/interp/$name.ymr")
  tcl=$(time_of tclsh "$here/interp/$name.tcl")
  py=$(time_of python3 "$here/interp/$name.py")
  printf '%-8s %10.3f %10.3f %10.3f %10.2f %10.2f\n' "$name" "$ours" "$tcl" "$py" \
    "$(echo "$ours / $tcl" | bc -l)" "$(echo "$ours / $py" | bc -l)"
done
