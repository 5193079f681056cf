#!/usr/bin/env bash
# Runs every benchmark of the project (by hand: `make bench`).
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
echo "== preparation of a 10 MB script"
"$build/bench/bench_prepare_bench" 10
for extra in "$here"/*_compare.sh "$here"/*_bench.sh; do
  [ -e "$extra" ] || continue
  echo "== $(basename "$extra" .sh)"
  bash "$extra" "$build"
done
