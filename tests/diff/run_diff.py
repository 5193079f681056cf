#!/usr/bin/env python3
"""Runs programs both ways through the console program and compares the results.

Every program runs twice: `yume prog.ymr` (statements and expressions from their kept plans)
and `yume --no-plans prog.ymr` (everything read from its text each time). Standard output,
standard error and the exit status must be the same.

    run_diff.py [--start N] [--count N]      random programs from gen_programs.py, seeds
                                             N .. N+count-1 (--mode for one error mode only)
    run_diff.py --scripts DIR [DIR ...]      every .ymr under the folders, as written (NAME.in
                                             is its standard input, NAME.answers is given with
                                             --answers, as the script tests do)

Each run happens in a folder of its own (for --scripts a fresh copy of the script's folder, so
that included files are there), with standard input from /dev/null unless NAME.in exists,
and a time limit. On a difference the seed (or script) and a unified diff are printed, the
program is saved into the --keep folder, and the exit status is 1; so it is when both runs
of a program exceed the time limit. With --shrink the program is first made as small as
possible (whole lines taken out) while it still runs differently both ways.
"""

import argparse
import concurrent.futures
import difflib
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True   # no __pycache__ in the source tree
import gen_programs  # noqa: E402

PROGRAM_NAME = "prog.ymr"


class Run:
    def __init__(self, status, stdout, stderr, timed_out, seconds):
        self.status = status
        self.stdout = stdout
        self.stderr = stderr
        self.timed_out = timed_out
        self.seconds = seconds

    def key(self):
        return (self.status, self.stdout, self.stderr, self.timed_out)


class Program:
    """A program and what it runs with: its file name, the folder it is copied from (with its
    included files), its standard input and its dialog answers."""

    def __init__(self, label, text, name=PROGRAM_NAME, folder=None, stdin_path=None,
                 answers=None):
        self.label = label
        self.text = text
        self.name = name
        self.folder = folder
        self.stdin_path = stdin_path
        self.answers = answers

    def with_text(self, text):
        return Program(self.label, text, self.name, self.folder, self.stdin_path, self.answers)

    @staticmethod
    def of_script(path):
        path = os.path.abspath(path)
        folder = os.path.dirname(path)
        base = os.path.basename(path)[:-len(".ymr")]
        stdin_path = os.path.join(folder, base + ".in")
        answers = os.path.join(folder, base + ".answers")
        with open(path, "rb") as f:
            text = f.read()
        return Program(path, text, os.path.basename(path), folder,
                       stdin_path if os.path.exists(stdin_path) else None,
                       answers if os.path.exists(answers) else None)


def run_yume(yume, prog, plans, timeout):
    """Runs the program one way, in a fresh folder."""
    with tempfile.TemporaryDirectory(prefix="yume-diff-") as d:
        work = d
        if prog.folder:
            work = os.path.join(d, "family")
            shutil.copytree(prog.folder, work)
        with open(os.path.join(work, prog.name), "wb") as f:
            f.write(prog.text)
        cmd = [yume]
        if not plans:
            cmd.append("--no-plans")
        if prog.answers:
            cmd += ["--answers", prog.answers]
        cmd.append(prog.name)
        # The program never touches the user's files: home, XDG folders (the trash among them)
        # and temporary files are the run's own.
        home = os.path.join(d, "home")
        tmp = os.path.join(d, "tmp")
        os.makedirs(home)
        os.makedirs(tmp)
        env = dict(os.environ, HOME=home, TMPDIR=tmp,
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"))
        start = time.monotonic()
        with open(prog.stdin_path or os.devnull, "rb") as stdin:
            try:
                p = subprocess.run(cmd, cwd=work, env=env, stdin=stdin, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, timeout=timeout)
                return Run(p.returncode, p.stdout, p.stderr, False, time.monotonic() - start)
            except subprocess.TimeoutExpired as e:
                return Run(None, e.stdout or b"", e.stderr or b"", True,
                           time.monotonic() - start)


def run_both(yume, prog, timeout):
    return [run_yume(yume, prog, True, timeout), run_yume(yume, prog, False, timeout)]


def differs(runs):
    """Whether the two runs differ (two runs that both ran out of time are not compared)."""
    if runs[0].timed_out and runs[1].timed_out:
        return False
    return runs[0].key() != runs[1].key()


def text_lines(b):
    return b.decode("utf-8", errors="backslashreplace").splitlines(keepends=True)


def describe(runs, limit=80):
    """A unified diff of what differs between the two runs."""
    a, b = runs
    out = []
    if a.timed_out or b.timed_out:
        out.append("  time limit: with plans %s, --no-plans %s\n" %
                   ("exceeded" if a.timed_out else "kept", "exceeded" if b.timed_out else "kept"))
    if a.status != b.status:
        out.append("  exit status: with plans %s, --no-plans %s\n" % (a.status, b.status))
    for what, x, y in (("stdout", a.stdout, b.stdout), ("stderr", a.stderr, b.stderr)):
        if x == y:
            continue
        d = list(difflib.unified_diff(text_lines(x), text_lines(y),
                                      "%s with plans" % what, "%s with --no-plans" % what))
        if len(d) > limit:
            d = d[:limit] + ["... (%d more lines)\n" % (len(d) - limit)]
        out += [line if line.endswith("\n") else line + "\n" for line in d]
        if not d:
            out.append("  (%s differs in bytes the lines do not show: %r / %r)\n"
                       % (what, x[-40:], y[-40:]))
    return "".join(out)


def shrink(yume, prog, timeout, log):
    """Takes whole lines out (chunks of lines, then single lines) as long as the program still
    runs differently both ways. What is left still shows a difference, though not always the
    one the whole program showed: both are printed."""
    lines = prog.text.split(b"\n")

    def still(ls):
        return differs(run_both(yume, prog.with_text(b"\n".join(ls)), timeout))

    chunk = max(1, len(lines) // 2)
    while chunk >= 1:
        i = 0
        changed = False
        while i < len(lines):
            candidate = lines[:i] + lines[i + chunk:]
            if candidate and still(candidate):
                lines = candidate
                changed = True
                log("  shrinking: %d lines\n" % len(lines))
            else:
                i += chunk
        if not changed:
            chunk //= 2
    return prog.with_text(b"\n".join(lines))


def main():
    ap = argparse.ArgumentParser(
        description="Runs programs with and without kept plans (--no-plans) and compares "
                    "standard output, standard error and exit status.")
    ap.add_argument("--start", type=int, default=1, help="first seed (default 1)")
    ap.add_argument("--count", type=int, default=300, help="number of seeds (default 300)")
    ap.add_argument("--mode", choices=["plain", "fatal", "ignore", "label"],
                    help="generate only programs of this error mode (default: a mix)")
    ap.add_argument("--scripts", nargs="+", metavar="DIR",
                    help="compare on every .ymr under these folders instead of random programs")
    ap.add_argument("--yume", default=os.path.join(HERE, "..", "..", "build", "yume"),
                    help="the console program (default build/yume)")
    ap.add_argument("--keep", help="folder where programs that differ are saved")
    ap.add_argument("-j", "--jobs", type=int, default=2, help="runs at the same time (default 2)")
    ap.add_argument("--timeout", type=float, default=10, help="seconds for one run (default 10)")
    ap.add_argument("--shrink", action="store_true",
                    help="make a program that differs as small as possible before showing it")
    ap.add_argument("--max-failures", type=int, default=10,
                    help="stop after this many programs that differ (default 10)")
    ap.add_argument("-v", "--verbose", action="store_true", help="one line per program")
    args = ap.parse_args()

    yume = os.path.abspath(args.yume)
    if not os.access(yume, os.X_OK):
        print("run_diff: %s is not an executable program" % yume, file=sys.stderr)
        return 2

    if args.scripts:
        labels = []
        for d in args.scripts:
            for root, _, files in os.walk(d):
                labels += [os.path.join(root, f) for f in files if f.endswith(".ymr")]
        labels.sort()
        if not labels:
            print("run_diff: no .ymr under %s" % " ".join(args.scripts), file=sys.stderr)
            return 2
        program_of = Program.of_script
    else:
        labels = list(range(args.start, args.start + args.count))

        def program_of(seed):
            return Program(seed, gen_programs.Gen(seed, args.mode).program().encode("utf-8"))

    def name_of(label):
        if args.scripts:
            return "script %s" % label
        return "seed %d" % label

    def keep(prog, suffix=".ymr"):
        os.makedirs(args.keep, exist_ok=True)
        base = os.path.basename(prog.label)[:-len(".ymr")] if args.scripts \
            else "seed%d" % prog.label
        path = os.path.join(args.keep, base + suffix)
        with open(path, "wb") as f:
            f.write(prog.text)
        return path

    started = time.monotonic()
    failures = []
    timeouts = []
    statuses = {}
    slowest = (0.0, None)
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        futures = {pool.submit(lambda l: run_both(yume, program_of(l), args.timeout), label):
                   label for label in labels}
        for fut in concurrent.futures.as_completed(futures):
            if fut.cancelled():
                continue
            label = futures[fut]
            runs = fut.result()
            st = "timeout" if runs[0].timed_out else runs[0].status
            statuses[st] = statuses.get(st, 0) + 1
            for r in runs:
                if r.seconds > slowest[0]:
                    slowest = (r.seconds, label)
            if args.verbose:
                print("%s: exit %s, %d bytes out%s" % (name_of(label), st, len(runs[0].stdout),
                                                      ", DIFFERS" if differs(runs) else ""))
            if differs(runs):
                failures.append((label, runs))
                if len(failures) >= args.max_failures:
                    for f in futures:
                        f.cancel()
            elif runs[0].timed_out:
                timeouts.append(label)

    failures.sort(key=lambda x: x[0])
    for label, runs in failures:
        print("=== %s runs differently with and without plans" % name_of(label))
        sys.stdout.write(describe(runs))
        prog = program_of(label)
        small = None
        if args.shrink:
            small = shrink(yume, prog, args.timeout, sys.stdout.write)
            print("--- smallest program found that still differs (%d lines):" %
                  (small.text.count(b"\n") + 1))
            sys.stdout.write(small.text.decode("utf-8", errors="backslashreplace") + "\n")
            print("--- how it runs:")
            sys.stdout.write(describe(run_both(yume, small, args.timeout)))
        if args.keep:
            print("--- program saved as %s" % keep(prog))
            if small:
                print("--- smallest program saved as %s" % keep(small, ".small.ymr"))
        elif not args.scripts:
            print("--- the program: %s %d%s" % (os.path.join(HERE, "gen_programs.py"), label,
                                               " --mode " + args.mode if args.mode else ""))
    for label in sorted(timeouts):
        print("=== %s: both runs exceeded %g s" % (name_of(label), args.timeout))
        if args.keep:
            print("--- program saved as %s" % keep(program_of(label), ".timeout.ymr"))

    done = sum(statuses.values())
    kinds = ", ".join("exit %s: %d" % (k, v) for k, v in
                      sorted(statuses.items(), key=lambda kv: str(kv[0])))
    print("%d %s compared in %.1f s (%s; slowest run %.2f s, %s): %s" % (
        done, "scripts" if args.scripts else "programs", time.monotonic() - started, kinds,
        slowest[0], slowest[1], "%d differ" % len(failures) if failures else "all the same"))
    if timeouts:
        print("%d ran out of time both ways (the programs should end quickly)" % len(timeouts))
    if failures or timeouts:
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
