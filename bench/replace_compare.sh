#!/usr/bin/env bash
# 置換 on a 5 MB Shift_JIS text beside Python's bytes.replace, Perl's s///g and Tcl's string map.
# Each program builds the same text (one paragraph repeated to 5 MB), then 60 times replaces
# every "りんご" by "青いみかん" and back again, and prints the length and the number of
# "りんご" left. The outputs are checked against each other; the table gives the best of three
# runs in seconds and yume's time as a share of each.
#   bench/replace_compare.sh [build-folder]
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
yume="$here/../$build/yume"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Mixed text: kana, kanji whose second byte is "\" "|" "[", full-width and ASCII punctuation.
para='夢の森でりんごを拾った。表示ソフトのポーチにりんごジャム、Apple pie and りんご tea. 予定表ーソ能ポ[x]|y\z、三つのりんごと一つのみかん。'
para_sjis_len=$(printf '%s' "$para" | iconv -f UTF-8 -t CP932 | wc -c)
repeat=$(( 5 * 1024 * 1024 / para_sjis_len ))

cat > "$work/replace.ymr" <<EOF
「${para//\\/\\\\}」を、${repeat}度、リフレイン。Sは、それ。
60回(
  Sの、「りんご」を、「青いみかん」に、置換。Sは、それ。
  Sの、「青いみかん」を、「りんご」に、置換。Sは、それ。
)
Sの、バイト数。それを、表示。
Sで、「りんご」の、出現回数。それを、表示。
EOF

cat > "$work/replace.py" <<EOF
import sys
s = """$para""".encode("cp932") * $repeat
a = "りんご".encode("cp932")
b = "青いみかん".encode("cp932")
for _ in range(60):
    s = s.replace(a, b)
    s = s.replace(b, a)
print(len(s))
print(s.count(a))
EOF

cat > "$work/replace.pl" <<EOF
use utf8;
use Encode;
my \$s = encode("cp932", q{$para}) x $repeat;
my \$a = encode("cp932", "りんご");
my \$b = encode("cp932", "青いみかん");
for (1 .. 60) {
  \$s =~ s/\Q\$a\E/\$b/g;
  \$s =~ s/\Q\$b\E/\$a/g;
}
print length(\$s), "\n";
my \$n = () = \$s =~ /\Q\$a\E/g;
print "\$n\n";
EOF

cat > "$work/replace.tcl" <<EOF
encoding system utf-8
set s [string repeat [encoding convertto cp932 {$para}] $repeat]
set a [encoding convertto cp932 "りんご"]
set b [encoding convertto cp932 "青いみかん"]
for {set i 0} {\$i < 60} {incr i} {
  set s [string map [list \$a \$b] \$s]
  set s [string map [list \$b \$a] \$s]
}
puts [string length \$s]
puts [expr {([string length \$s] - [string length [string map [list \$a ""] \$s]]) / [string length \$a]}]
EOF

# The best of three runs, so that a busy moment of the machine does not decide.
time_of() {
  local best="" s e t
  for _ in 1 2 3; do
    s=$(date +%s.%N); "$@" > /dev/null; e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}

ours_out=$("$yume" "$work/replace.ymr")
for other in "python3 $work/replace.py" "perl $work/replace.pl" "tclsh $work/replace.tcl"; do
  out=$($other)
  if [ "$out" != "$ours_out" ]; then
    echo "outputs differ: yume gave [$ours_out], ${other%% *} gave [$out]"
    exit 1
  fi
done
echo "text: $(echo "$ours_out" | head -1) bytes; 60 rounds of two replacements"
ours=$(time_of "$yume" "$work/replace.ymr")
py=$(time_of python3 "$work/replace.py")
pl=$(time_of perl "$work/replace.pl")
tcl=$(time_of tclsh "$work/replace.tcl")
printf '%-10s %10s %10s %10s\n' "program" "seconds" "yume/this" ""
for row in "yume:$ours" "python3:$py" "perl:$pl" "tclsh:$tcl"; do
  name=${row%%:*}
  t=${row#*:}
  printf '%-10s %10.3f %10.2f\n' "$name" "$t" "$(echo "$ours / $t" | bc -l)"
done
