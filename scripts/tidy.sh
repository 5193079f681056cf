#!/usr/bin/env bash
# clang-tidy over the project's sources. clang knows no execution character set but UTF-8, so
# the CP932 flag is taken out of the compile commands it reads.
set -euo pipefail
build=${1:-build}
mkdir -p "$build/tidy"
sed 's/-fexec-charset=CP932//g' "$build/compile_commands.json" > "$build/tidy/compile_commands.json"
files=$(git ls-files 'core/*.cpp' 'commands/*.cpp' 'platform/*.cpp' 'gfx/*.cpp' 'console/*.cpp' 'ui/*.cpp')
clang-tidy -p "$build/tidy" --quiet $files
