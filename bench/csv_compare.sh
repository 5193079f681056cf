#!/usr/bin/env bash
# The table engine next to python3's csv module and GNU sort, on the same generated tables:
# loading, writing and searching 500,000 rows (about 50 MB), sorting 1,000,000 rows by a numeric
# and by a text column. Every figure is the best of a few runs (wall clock, milliseconds).
#   bench/csv_compare.sh [build-dir]      (default: build; data goes to build-dir/bench-data)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
bin="$build/bench/bench_csv_bench"
if [ ! -x "$bin" ]; then
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja >/dev/null
  cmake --build "$build" --target bench_csv_bench >/dev/null
fi
data="$build/bench-data"
mkdir -p "$data"
small="$data/table-500k-v2.csv"
large="$data/table-1m-v2.csv"
[ -s "$small" ] || "$bin" gen "$small" 500000 >/dev/null
[ -s "$large" ] || "$bin" gen "$large" 1000000 >/dev/null

python3 - "$bin" "$small" "$large" <<'PY'
import csv, io, os, subprocess, sys, time

bin_path, small, large = sys.argv[1:4]
ROUNDS = 3

def ours(op, path):
    out = subprocess.run([bin_path, op, path, str(ROUNDS)], check=True, capture_output=True,
                         text=True).stdout
    return {k: float(v) for k, v in (line.split() for line in out.splitlines())}

def best(fn):
    times = []
    for _ in range(ROUNDS):
        t0 = time.perf_counter()
        fn()
        times.append((time.perf_counter() - t0) * 1e3)
    return min(times)

def read_text(path):
    # latin-1 keeps every byte as one character; the Shift_JIS second bytes are never
    # commas, quotes or line breaks, so the csv module sees the same fields.
    with open(path, encoding='latin-1', newline='') as f:
        return f.read()

def py_load(text):
    return list(csv.reader(io.StringIO(text)))

def py_render(rows):
    out = io.StringIO()
    csv.writer(out, lineterminator='\r\n').writerows(rows)
    return out.getvalue()

def gnu_sort(path, key):
    env = dict(os.environ, LC_ALL='C')
    return best(lambda: subprocess.run(['sort', '-t,', key, path, '-o', path + '.gnusorted'],
                                       check=True, env=env))

results = []  # (operation, rows, ours, python, gnu)

text = read_text(small)
rows = py_load(text)
key = 'ソフィア'.encode('cp932').decode('latin-1')
o_load, o_render, o_search = ours('load', small), ours('render', small), ours('search', small)
n = int(o_load['rows'])
results.append(('load %d MB' % round(os.path.getsize(small) / 1e6), n, o_load['load'],
                best(lambda: py_load(text)), None))
results.append(('render to text', n, o_render['render'], best(lambda: py_render(rows)), None))
results.append(('search a column', n, o_search['search'],
                best(lambda: [i for i, r in enumerate(rows) if key in r[1]]), None))
del rows, text

text = read_text(large)
rows = py_load(text)
n = len(rows)
o_num, o_text = ours('sortnum', large), ours('sorttext', large)
results.append(('sort by number (in memory)', n, o_num['sortnum'],
                best(lambda: sorted(rows, key=lambda r: float(r[2]))), None))
results.append(('sort by text (in memory)', n, o_text['sorttext'],
                best(lambda: sorted(rows, key=lambda r: r[1])), None))
del rows, text
results.append(('sort by number, file to file', n, o_num['sortnum_total'], None,
                gnu_sort(large, '-k3,3n')))
results.append(('sort by text, file to file', n, o_text['sorttext_total'], None,
                gnu_sort(large, '-k2,2')))

def cell(v):
    return '%10.0f' % v if v is not None else '%10s' % '-'

def ratio(other, mine):
    return '%9.1fx' % (other / mine) if other is not None else '%10s' % '-'

print('%-30s %8s %10s %10s %10s %10s %10s' % ('operation', 'rows', 'ours ms', 'python ms',
                                              'GNU ms', 'py/ours', 'GNU/ours'))
for op, n, mine, py, gnu in results:
    print('%-30s %8d %s %s %s %s %s' % (op, n, cell(mine), cell(py), cell(gnu), ratio(py, mine),
                                        ratio(gnu, mine)))
print('(ratios above 1 mean ours is faster; "file to file" reads the file, sorts and writes the'
      ' result, as GNU sort does; GNU sort uses all %d cores)' % os.cpu_count())
PY
