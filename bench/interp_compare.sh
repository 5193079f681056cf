#!/usr/bin/env bash
# The interpreter beside tclsh and python3 on the same programs (bench/interp/NAME.*). The Tcl
# programs do their work inside a proc and the Python ones inside a function, as those languages'
# programmers write them (top-level Tcl code is not byte-compiled, top-level Python names are
# globals). Sizes are chosen so that tclsh takes about a second on each, start-up a small share:
#   loop    a counted loop of 12,000,000 rounds with integer arithmetic and a condition
#   append  a text built by 25,000,000 appends of "ab"; its length is shown
#   fib     recursive fib(32) as a user function
#   dict    2,000,000 dictionary item writes (text keys), then 2,000,000 reads
# Each program's output is first checked against the others (a difference is reported and makes
# the script fail at the end). Then the three interpreters run in turn, yume, tclsh, python3,
# yume, ..., ROUNDS times (3 unless set), so that other work on the machine falls on all of them
# alike; output goes to /dev/null. The Markdown table gives the median of the runs in seconds with
# the best in parentheses, and the ratio of yume's median to tclsh's.
#   bench/interp_compare.sh [build-folder]
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
case $build in
  /*) yume="$build/yume" ;;
  *) yume="$here/../$build/yume" ;;
esac
rounds=${ROUNDS:-3}
if ! [[ $rounds =~ ^[1-9][0-9]*$ ]]; then
  echo "ROUNDS must be a whole number above 0 (got '$rounds')" >&2
  exit 2
fi
if [ ! -x "$yume" ]; then
  echo "no interpreter at $yume (build it first: make)" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

names=(yume tclsh python3)
exts=(ymr tcl py)
# The command of interpreter $1 (0 yume, 1 tclsh, 2 python3), or nothing when it is not installed.
command_of() {
  case $1 in
    0) echo "$yume" ;;
    *) command -v "${names[$1]}" || true ;;
  esac
}

# Seconds taken by one run of the given command, output thrown away.
seconds() {
  local s e
  s=$(date +%s.%N)
  "$@" > /dev/null
  e=$(date +%s.%N)
  awk -v s="$s" -v e="$e" 'BEGIN { printf "%.6f\n", e - s }'
}

# "median (best)" of the times given, one a line.
summary() {
  sort -g | awk '{ t[NR] = $1 }
    END {
      m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
      printf "%.3f %.3f\n", m, t[1]
    }'
}

echo "Seconds: median of $rounds runs (best in parentheses), interpreters interleaved run by run."
echo
echo "| program | yume | tclsh | python3 | yume / tclsh |"
echo "|---|--:|--:|--:|--:|"
failed=0
for name in loop append fib dict; do
  cmds=()
  for k in 0 1 2; do
    cmds[k]=$(command_of $k)
  done

  # Same output everywhere, or the times compare different work.
  note=""
  for k in 0 1 2; do
    [ -n "${cmds[k]}" ] || continue
    status=0
    "${cmds[k]}" "$here/interp/$name.${exts[k]}" > "$work/$k.out" 2> "$work/$k.err" || status=$?
    if [ "$status" != 0 ]; then
      echo "$name: ${names[k]} failed (exit $status): $(head -c 200 "$work/$k.err")" >&2
      note=" (${names[k]} failed)"
      failed=1
    fi
  done
  for k in 1 2; do
    [ -n "${cmds[k]}" ] || continue
    if ! cmp -s "$work/0.out" "$work/$k.out"; then
      echo "$name: OUTPUTS DIFFER between yume and ${names[k]}:" >&2
      echo "  yume:       $(head -c 80 "$work/0.out" | head -n 1) ($(wc -c < "$work/0.out") bytes)" >&2
      printf '  %-11s %s (%s bytes)\n' "${names[k]}:" "$(head -c 80 "$work/$k.out" | head -n 1)" \
        "$(wc -c < "$work/$k.out")" >&2
      note=${note:-" (OUTPUTS DIFFER)"}
      failed=1
    fi
  done
  rm -f "$work"/*.out "$work"/*.err

  for k in 0 1 2; do : > "$work/$k.times"; done
  for ((r = 0; r < rounds; r++)); do
    for k in 0 1 2; do
      [ -n "${cmds[k]}" ] || continue
      seconds "${cmds[k]}" "$here/interp/$name.${exts[k]}" >> "$work/$k.times" || true
    done
  done

  cells=() medians=()
  for k in 0 1 2; do
    if [ -s "$work/$k.times" ]; then
      read -r median best < <(summary < "$work/$k.times")
      cells[k]="$median ($best)"
      medians[k]=$median
    else
      cells[k]="n/a"
      medians[k]=""
    fi
  done
  ratio="n/a"
  if [ -n "${medians[0]}" ] && [ -n "${medians[1]}" ]; then
    ratio=$(awk -v a="${medians[0]}" -v b="${medians[1]}" 'BEGIN { printf "%.2f", a / b }')
  fi
  echo "| $name$note | ${cells[0]} | ${cells[1]} | ${cells[2]} | $ratio |"
done
if [ "$failed" != 0 ]; then
  echo
  echo "Some programs failed or printed different outputs (see above): their times do not compare."
  exit 1
fi
