#!/usr/bin/env bash
# The file commands next to python3 (and cp, find) on the same data: reading and writing a
# 100 MB file with 読む and 保存, copying it with ファイルコピー, and listing a tree of 100,000
# files with 全ファイル列挙. Every figure is a whole program run (start-up included), the best
# of three, wall clock, in milliseconds; the outputs (byte and file counts) are checked equal.
#   bench/files_bench.sh [build-dir]     (default: build; data goes to build-dir/bench-files)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
yume="$build/yume"
[ -x "$yume" ] || { echo "no $yume: build first" >&2; exit 1; }
data="$build/bench-files"
mkdir -p "$data"

python3 - "$yume" "$data" <<'PY'
import os, shutil, subprocess, sys, time

yume, data = sys.argv[1:3]
ROUNDS = 3
big = os.path.join(data, 'big.bin')
out = os.path.join(data, 'written.bin')
copy = os.path.join(data, 'copied.bin')
tree = os.path.join(data, 'tree')

# 100 MB of bytes of every value, so nothing in the way may treat the file as text.
if not os.path.exists(big) or os.path.getsize(big) != 100 * 2**20:
    block = bytes(range(256)) * 4096
    with open(big, 'wb') as f:
        for _ in range(100):
            f.write(block)

# 100 folders of 10 subfolders of 100 files; half the names Japanese (UTF-8 on disk), so the
# listing converts them.
done_mark = os.path.join(data, 'tree.done')
if not os.path.exists(done_mark):
    shutil.rmtree(tree, ignore_errors=True)
    for a in range(100):
        for b in range(10):
            d = os.path.join(tree, 'd%03d' % a, '子%02d' % b)
            os.makedirs(d)
            for c in range(100):
                name = ('file%03d.txt' % c) if c % 2 else ('表ソ%03d.dat' % c)
                open(os.path.join(d, name), 'wb').close()
    open(done_mark, 'w').close()

def script(name, text):
    path = os.path.join(data, name)
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)
    return path

s_read = script('read.ymr', 'Aに、「%s」を、読む。Aの、バイト数。それを、表示。\n' % big)
s_write = script('write.ymr', 'Aに、「%s」を、読む。Aを、「%s」へ、保存。Aの、バイト数。それを、表示。\n'
                 % (big, out))
s_copy = script('copy.ymr', '「%s」から、「%s」へ、ファイルコピー。「%s」の、ファイルサイズ。それを、表示。\n'
                % (big, copy, copy))
s_list = script('list.ymr', '「%s/*」の、全ファイル列挙。それの、行数。それを、表示。\n' % tree)

py_read = 'import sys; print(len(open(sys.argv[1], "rb").read()))'
py_write = ('import sys; d = open(sys.argv[1], "rb").read(); open(sys.argv[2], "wb").write(d); '
            'print(len(d))')
py_copy = ('import os, shutil, sys; shutil.copyfile(sys.argv[1], sys.argv[2]); '
           'print(os.path.getsize(sys.argv[2]))')
py_list = ('import os, sys\n'
           'paths = [os.path.join(r, f) for r, ds, fs in os.walk(sys.argv[1]) for f in fs]\n'
           'print(len(paths))')

def run(cmd, shell=False):
    t0 = time.perf_counter()
    r = subprocess.run(cmd, shell=shell, check=True, capture_output=True, text=True,
                       cwd=data)
    return (time.perf_counter() - t0) * 1e3, r.stdout.strip()

def best(cmd, shell=False):
    times, outs = [], set()
    for _ in range(ROUNDS):
        t, o = run(cmd, shell)
        times.append(t)
        outs.add(o)
    assert len(outs) == 1, (cmd, outs)
    return min(times), outs.pop()

rows = []  # (operation, ours, python, other, other's name)
def compare(op, ours, python, other=None, other_name=''):
    o = best(ours)
    p = best(python)
    x = best(other, shell=True) if other else None
    counts = {o[1], p[1]} | ({x[1]} if x else set())
    if len(counts) != 1:
        sys.exit('%s: outputs differ: %s' % (op, counts))
    rows.append((op, o[1], o[0], p[0], x[0] if x else None, other_name))

compare('read 100 MB (読む)', [yume, s_read], ['python3', '-c', py_read, big])
compare('read and write 100 MB (読む, 保存)', [yume, s_write],
        ['python3', '-c', py_write, big, out])
if open(out, 'rb').read() != open(big, 'rb').read():
    sys.exit('保存 wrote other bytes')
compare('copy 100 MB (ファイルコピー)', [yume, s_copy], ['python3', '-c', py_copy, big, copy],
        'cp %s %s && stat -c %%s %s' % (big, copy, copy), 'cp')
compare('list 100,000 files (全ファイル列挙)', [yume, s_list], ['python3', '-c', py_list, tree],
        'find %s -type f | wc -l' % tree, 'find')

def cell(v):
    return '%9.0f' % v if v is not None else '%9s' % '-'

print('%-36s %11s %9s %9s %9s %8s' % ('operation', 'result', 'yume ms', 'python ms', 'other ms',
                                      'py/yume'))
for op, result, mine, py, other, name in rows:
    print('%-36s %11s %s %s %s %7.1fx %s' % (op, result, cell(mine), cell(py), cell(other),
                                           py / mine, name))
print('(whole runs, best of %d, warm page cache; ratios above 1 mean yume is faster)' % ROUNDS)
PY
