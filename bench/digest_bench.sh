#!/usr/bin/env bash
# The digests on a 100 MB file next to md5sum and python3 (hashlib.md5, zlib.crc32): MD5取得,
# CRC32取得 and CRC16取得 of a file read with 読む, with 読む alone as the floor, and the text
# cipher (暗号化して保存, 暗号解除して読込) on the same 100 MB. Every figure is a whole program run
# (start-up and reading the file included), the best of three, wall clock, in milliseconds, with
# the file in the page cache; the outputs of each row are checked equal.
#   bench/digest_bench.sh [build-dir]     (default: build; data goes to build-dir/bench-digest)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
yume="$build/yume"
[ -x "$yume" ] || { echo "no $yume: build first" >&2; exit 1; }
data="$build/bench-digest"
mkdir -p "$data"

python3 - "$yume" "$data" <<'PY'
import os, subprocess, sys, time

yume, data = sys.argv[1:3]
ROUNDS = 3
big = os.path.join(data, 'big.bin')
sealed = os.path.join(data, 'big.dat')

# 100 MB of bytes of every value, so nothing in the way may treat the file as text.
if not os.path.exists(big) or os.path.getsize(big) != 100 * 2**20:
    block = bytes(range(256)) * 4096
    with open(big, 'wb') as f:
        for _ in range(100):
            f.write(block)

def script(name, text):
    path = os.path.join(data, name)
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)
    return path

read = 'Aに、「%s」を、読む。' % big
s_read = script('read.ymr', read + 'Aの、バイト数。それを、表示。\n')
s_md5 = script('md5.ymr', read + 'Aの、MD5取得。それを、表示。\n')
s_crc32 = script('crc32.ymr', read + 'Aの、CRC32取得。それを、表示。\n')
s_crc16 = script('crc16.ymr', read + 'Aの、CRC16取得。それを、表示。\n')
s_seal = script('seal.ymr', read + 'Aを、「%s」へ、暗号化して保存。「%s」の、ファイルサイズ。それを、表示。\n'
                % (sealed, sealed))
s_open = script('open.ymr', 'Bに、「%s」を、暗号解除して読込。Bの、CRC32取得。それを、表示。\n' % sealed)

py_read = 'import sys; print(len(open(sys.argv[1], "rb").read()))'
py_md5 = 'import hashlib, sys; print(hashlib.md5(open(sys.argv[1], "rb").read()).hexdigest())'
py_crc32 = 'import sys, zlib; print(zlib.crc32(open(sys.argv[1], "rb").read()))'

def run(cmd):
    t0 = time.perf_counter()
    r = subprocess.run(cmd, check=True, capture_output=True, text=True, cwd=data)
    return (time.perf_counter() - t0) * 1e3, r.stdout.split()[0] if r.stdout.split() else ''

def best(cmd):
    times, outs = [], set()
    for _ in range(ROUNDS):
        t, o = run(cmd)
        times.append(t)
        outs.add(o)
    assert len(outs) == 1, (cmd, outs)
    return min(times), outs.pop()

def row(label, ours, *peers):
    t, out = best([yume, ours])
    cells = ['%s' % label, '%.0f' % t]
    for name, cmd in peers:
        pt, pout = best(cmd)
        assert pout == out, (label, name, out, pout)
        cells.append('%s %.0f (%.1f×)' % (name, pt, pt / t))
    print(' | '.join(cells) + '   [%s]' % out, flush=True)
    return out

print('operation | yume ms | peers ms (peer / yume)')
row('read 100 MB (読む)', s_read, ('python3', ['python3', '-c', py_read, big]))
row('MD5 of 100 MB (MD5取得)', s_md5, ('md5sum', ['md5sum', big]),
    ('python3', ['python3', '-c', py_md5, big]))
crc = row('CRC-32 of 100 MB (CRC32取得)', s_crc32, ('python3', ['python3', '-c', py_crc32, big]))
row('CRC-16 of 100 MB (CRC16取得)', s_crc16)
row('encipher and save 100 MB (暗号化して保存)', s_seal)
assert os.path.getsize(sealed) == 100 * 2**20 + 4
opened = row('load and decipher 100 MB, then CRC-32 (暗号解除して読込)', s_open)
assert opened == crc, (opened, crc)  # the round trip gave the original bytes back
PY
