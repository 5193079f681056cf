#!/usr/bin/env bash
# Standalone programs: scripts in programs/ build them (ゆめもりミニ実行ファイル作成 and, when the
# window program is built too, ゆめもり実行ファイル作成), then the programs run from another
# folder: packed names before disk files, 取り込む and ファイルコピー from the pack, entries with
# the same last part or with "..", ":" in their names, "-run", "-runtime", "-resource", the event
# loop module found through the recorded runtime folder, and nothing left in the temporary
# folder after any run.
#   programs.sh path/to/yume
set -u
yume=$1
here=$(cd "$(dirname "$0")" && pwd)
runtime_dir=$(cd "$(dirname "$yume")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
umask 022

mkdir -p "$work/tmp" "$work/home" "$work/run" "$work/xdg"
chmod 700 "$work/xdg"
# The temporary folder is checked to be empty after each run: Qt's runtime folder goes elsewhere.
export HOME="$work/home" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/xdg"
export XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
export XDG_CACHE_HOME="$work/home/.cache"
cp -r "$here/programs" "$work/src"
fail=0

# run NAME COMMAND...: runs in the current folder; sets out, err and status.
run() {
  local name=$1
  shift
  "$@" < /dev/null > "$work/stdout" 2> "$work/stderr"
  status=$?
  out=$(cat "$work/stdout")
  err=$(cat "$work/stderr")
  if [ -n "$(ls -A "$work/tmp")" ]; then
    echo "--- $name left files in the temporary folder:"
    ls -laR "$work/tmp"
    rm -rf "${work:?}/tmp/"*
    fail=1
  fi
}
expect_out() {  # NAME EXPECTED: standard output and status 0
  if [ "$out" != "$2" ] || [ "$status" -ne 0 ]; then
    printf -- '--- %s (status %s): expected\n%s\n--- got\n%s\n--- standard error\n%s\n' \
      "$1" "$status" "$2" "$out" "$err"
    fail=1
  fi
}
expect_err() {  # NAME TEXT: standard error holds TEXT and the status is 1
  if [[ "$err" != *"$2"* ]] || [ "$status" -ne 1 ]; then
    printf -- '--- %s (status %s): standard error lacks %s\n%s\n' "$1" "$status" "$2" "$err"
    fail=1
  fi
}

cd "$work/src"
run build "$yume" build.ymr
expect_out build "0
作った"
for p in myprog tick; do
  mode=$(stat -c %a "out/$p" 2> /dev/null)
  [ "$mode" = 755 ] || { echo "--- out/$p: mode $mode, expected 755"; fail=1; }
done

main_out="data.txt：packed data
取り込んだライブラリ
A/X.TXT：A　B/X.TXT：B
もう一度：A
ESCAPE：inside
COLON：inside
コピー：packed data
ディスク：disk only"

cd "$work/run"
printf 'disk data' > data.txt
printf 'disk only' > disk_only.txt
run packed "$work/src/out/myprog"
expect_out packed "$main_out"
if [ -n "$(find "$work" -name ESCAPE.TXT -o -name COLON.TXT -o -name '*ESCAPE*')" ]; then
  echo "--- an entry was extracted outside the temporary folder:"
  find "$work" -name '*ESCAPE*' -o -name '*COLON*'
  fail=1
fi

# The write guard holds for the programs built too.
cd "$work/src"
run guarded "$yume" -security high guarded.ymr
expect_out guarded "0"
cd "$work/run"

# The plain runtime running the packed program, and the packed program as a plain runtime.
rm -f copied.txt
run runtime "$yume" -runtime "$work/src/out/myprog"
expect_out runtime "$main_out"
run run_option "$work/src/out/myprog" -run "$work/src/other.ymr"
expect_out run_option "-run で渡したスクリプト"
run runtime_not_packed "$yume" -runtime "$work/src/data.txt"
expect_err runtime_not_packed "指定されたプログラムファイルは壊れています。"
run runtime_plain_program "$yume" -runtime "$yume"
expect_err runtime_plain_program "指定されたプログラムファイルは壊れています。"

# A program whose pack was cut short does not start.
cp "$work/src/out/myprog" "$work/cut"
truncate -s -5 "$work/cut"
run cut_pack "$work/cut"
expect_err cut_pack "ファイルの展開に失敗しました。"

# -resource: the caller's archive serves the names and is left as it was.
cd "$work/src"
run makeres "$yume" makeres.ymr
expect_out makeres ""
cp res.dat "$work/res.copy"
cd "$work/run"
run resource "$yume" -resource "$work/src/res.dat" "$work/src/reader.ymr"
expect_out resource "リソース：resource data"
cmp -s "$work/src/res.dat" "$work/res.copy" || { echo "--- the -resource archive changed or went"; fail=1; }
run resource_broken "$yume" -resource "$work/src/data.txt" "$work/src/reader.ymr"
expect_err resource_broken "リソースファイルの取り込みに失敗しました。"

# The event loop module: found in the runtime's folder recorded when the program was built,
# beside the program, or reported.
run tick "$work/src/out/tick"
expect_out tick "時報"
mkdir -p "$work/rt"
cp "$yume" "$work/rt/yume"
cd "$work/src"
run tickbuild "$work/rt/yume" tickbuild.ymr
expect_out tickbuild ""
cd "$work/run"
run tick_no_module "$work/src/out/tick2"
expect_err tick_no_module "yume-qt.so"
cp "$runtime_dir/yume-qt.so" "$work/src/out/"
run tick_beside "$work/src/out/tick2"
expect_out tick_beside "時報"

# The window program, when there is one.
if [ -x "$runtime_dir/yumemori" ]; then
  mode=$(stat -c %a "$work/src/out/winprog" 2> /dev/null)
  [ "$mode" = 755 ] || { echo "--- out/winprog: mode $mode, expected 755"; fail=1; }
  QT_QPA_PLATFORM=offscreen run window timeout 60 "$work/src/out/winprog"
  expect_out window ""
  [ "$(cat "$work/src/out/window_ran.txt" 2> /dev/null)" = "packed data" ] ||
    { echo "--- the window program did not run its packed script"; fail=1; }
fi

exit $fail
