#!/usr/bin/env bash
# Runs a browser part script test (tests/scripts/parts_browser) as tests/run_script.sh does,
# or skips it (status 77) where the web engine cannot start: a build without it (the sanitizer
# build), or a machine where its renderer does not run. The reason is printed.
set -u
yume=$1
here=$(cd "$(dirname "$0")" && pwd)
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'B1を、ブラウザとして、作成\n' > "$probe/probe.ymr"
if ! why=$(cd "$probe" && HOME="$probe" "$yume" probe.ymr 2>&1 >/dev/null); then
  echo "SKIP: the browser part cannot start here: $why"
  exit 77
fi
"$here/../run_script.sh" "$@"
