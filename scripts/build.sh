#!/usr/bin/env bash
# Builds the programs in BUILD, guided by a profile of the interpreter at work: the first time
# (or after `make profile`), an instrumented console program is built in BUILD-train and runs the
# scripts of scripts/train/ (calls, loops, text, dictionaries, tables); its profile, kept in
# BUILD/profile, then guides the optimised build. Later builds reuse the profile.
#   scripts/build.sh [build-dir] [jobs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
jobs=${2:-$(nproc)}
case $build in /*) ;; *) build="$root/$build" ;; esac
train="$build-train"
profile="$build/profile"

if [ ! -f "$profile/trained" ]; then
  cmake -S "$root" -B "$train" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DYUME_WINDOW=OFF \
    -DYUME_BENCH=OFF -DYUME_PROFILE=generate -DYUME_PROFILE_DIR="$profile" >/dev/null
  cmake --build "$train" -j "$jobs" --target yume
  rm -rf "$profile"
  mkdir -p "$profile"
  echo "Recording the interpreter's profile (scripts/train) ..."
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  for s in "$root"/scripts/train/*.ymr; do
    (cd "$work" && HOME="$work" "$train/yume" "$s" >/dev/null) ||
      { echo "training script $s failed" >&2; exit 1; }
  done
  touch "$profile/trained"
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DYUME_PROFILE=use \
  -DYUME_PROFILE_DIR="$profile" >/dev/null
cmake --build "$build" -j "$jobs"
