#!/usr/bin/env bash
# Runs one script test: tests/scripts/<family>/NAME.ymr through the console program.
#   NAME.out  the expected standard output (exactly)
#   NAME.in   standard input (optional)
#   NAME.answers  answers for the dialogs, given with --answers (optional)
#   NAME.events   actions on the script's parts, given with --events (optional)
#   NAME.err  text that standard error must contain (optional); the exit status must then be 1,
#             otherwise 0
# The script runs from a copy of its family folder; with "sjis" every .ymr of the copy is
# converted to Shift_JIS first, so both ways of loading a script stay tested.
set -u
yume=$1
script=$2
encoding=${3:-utf8}

family_dir=$(dirname "$script")
name=$(basename "$script" .ymr)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp -r "$family_dir" "$work/family"
if [ "$encoding" = sjis ]; then
  for f in "$work"/family/*.ymr; do
    iconv -f UTF-8 -t CP932 "$f" > "$f.sjis" || { echo "cannot convert $f to Shift_JIS"; exit 1; }
    mv "$f.sjis" "$f"
  done
fi

input=/dev/null
[ -f "$family_dir/$name.in" ] && input="$family_dir/$name.in"

answers=()
[ -f "$family_dir/$name.answers" ] && answers=(--answers "$family_dir/$name.answers")
[ -f "$family_dir/$name.events" ] && answers+=(--events "$family_dir/$name.events")

# The script never touches the user's files: home, XDG folders and temporary files are the
# test's own.
mkdir -p "$work/home" "$work/tmp"
export HOME="$work/home" TMPDIR="$work/tmp"
export XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
export XDG_CACHE_HOME="$work/home/.cache"

cd "$work/family"
"$yume" "${answers[@]}" "$name.ymr" < "$input" > "$work/stdout" 2> "$work/stderr"
status=$?

fail=0
expected_out="$family_dir/$name.out"
if [ -f "$expected_out" ]; then
  if ! cmp -s "$expected_out" "$work/stdout"; then
    echo "--- standard output differs from $name.out:"
    diff -u "$expected_out" "$work/stdout" | head -50
    fail=1
  fi
elif [ -s "$work/stdout" ]; then
  echo "--- unexpected standard output (no $name.out):"
  head -50 "$work/stdout"
  fail=1
fi

if [ -f "$family_dir/$name.err" ]; then
  while IFS= read -r line || [ -n "$line" ]; do
    [ -z "$line" ] && continue
    if ! grep -qF -- "$line" "$work/stderr"; then
      echo "--- standard error lacks: $line"
      fail=1
    fi
  done < "$family_dir/$name.err"
  if [ "$status" -ne 1 ]; then
    echo "--- exit status $status, expected 1"
    fail=1
  fi
elif [ "$status" -ne 0 ]; then
  echo "--- exit status $status, expected 0"
  fail=1
fi

if [ "$fail" -ne 0 ]; then
  echo "--- standard error was:"
  head -50 "$work/stderr"
  exit 1
fi
exit 0
