#!/usr/bin/env python3
"""Mutation run: how many small faults planted in the library does the test suite catch?

Each mutant changes one token in one source line of layout/, tailor/, persist/ or host/: a comparison
flipped (< to <=, == to !=, ...), an arithmetic operator swapped (+ to -, * to /), a logical operator swapped
(&& to ||), or an integer constant moved by one. The mutants are drawn from every such site with a seeded
random choice, so the same seed on the same sources gives the same mutants. Each mutant is built in its own
build folder (incrementally: only the changed file recompiles) and run against the whole ctest suite; it is
"killed" when a test fails or times out, "survived" when every test passes, "stillborn" when it does not
compile (stillborn mutants are left out of the score). The source file is restored after every mutant, also
when the run is interrupted.

    scripts/mutate.py --count 120 --seed 1            # build-mutate/, results in mutants.tsv
    scripts/mutate.py --list --count 120 --seed 1     # only print the mutants that would run
    scripts/mutate.py --only persist/ --only tailor/ --tests 'OML|Model|Tailor'   # a part, a part of the suite
    scripts/mutate.py --count 100 --seed 11 --save m.tsv  # keep the mutants drawn ...
    scripts/mutate.py --from m.tsv                        # ... and run the same ones on a later tree

A saved mutant is its file, the whole text of its source line, the column and the token change. A later run
finds the line by its text, first in the same file and otherwise in any source file of the mutated folders
(code moves between files when it is reorganised); a mutant whose line is no longer found once is "gone" and,
like a stillborn one, left out of the score, so before/after runs compare the same faults.

Cost: one incremental build and one suite run per mutant (about a minute each on two cores).
"""

import argparse
import ast
import os
import random
import signal
import re
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ["layout", "tailor", "persist", "host"]

# Binary operators are written with a space on each side in this code base, which tells them apart from
# template brackets, pointer declarations, unary minus and stream operators.
SWAPS = {
    " < ": [" <= ", " > "], " <= ": [" < "], " > ": [" >= ", " < "], " >= ": [" > "],
    " == ": [" != "], " != ": [" == "],
    " + ": [" - "], " - ": [" + "], " * ": [" / "], " / ": [" * "],
    " && ": [" || "], " || ": [" && "],
}
OPERATOR = re.compile("|".join(re.escape(k) for k in sorted(SWAPS, key=len, reverse=True)))
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.])")


def code_mask(line, in_block):
    """Characters of the line that are code (not comment, string or character literal)."""
    mask = [False] * len(line)
    i = 0
    quote = None
    while i < len(line):
        c = line[i]
        if in_block:
            if line.startswith("*/", i):
                in_block = False
                i += 2
                continue
        elif quote:
            if c == "\\":
                i += 2
                continue
            if c == quote:
                quote = None
        elif line.startswith("//", i):
            break
        elif line.startswith("/*", i):
            in_block = True
            i += 2
            continue
        elif c in "\"'":
            quote = c
        else:
            mask[i] = True
        i += 1
    return mask, in_block


def sites(path):
    """Every (line index, column, old text, new text) mutation of one file."""
    found = []
    in_block = False
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for n, line in enumerate(lines):
        mask, next_block = code_mask(line, in_block)
        start_in_block = in_block
        in_block = next_block
        stripped = line.strip()
        if start_in_block or stripped.startswith("#") or not stripped:
            continue
        for m in OPERATOR.finditer(line):
            if all(mask[m.start():m.end()]):
                for new in SWAPS[m.group(0)]:
                    found.append((n, m.start(), m.group(0), new))
        for m in INTEGER.finditer(line):
            if all(mask[m.start():m.end()]):
                value = int(m.group(1))
                found.append((n, m.start(), m.group(1), str(value + 1 if value < 2 else value - 1)))
    return lines, found


def all_sites():
    result = []
    for folder in FOLDERS:
        for dirpath, _, files in sorted(os.walk(os.path.join(ROOT, folder))):
            for name in sorted(files):
                if name.endswith(".cpp"):
                    path = os.path.join(dirpath, name)
                    _, found = sites(path)
                    result.extend((os.path.relpath(path, ROOT),) + s for s in found)
    return result


def source_lines(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        return f.read().split("\n")


def save_mutants(path, chosen):
    with open(path, "w", encoding="utf-8") as f:
        for file, n, col, old, new in chosen:
            lines = source_lines(file)
            around = [lines[n - 1] if n > 0 else "", lines[n], lines[n + 1] if n + 1 < len(lines) else ""]
            f.write("\t".join([file, str(n), str(col), repr(old), repr(new)] + [repr(t) for t in around]) + "\n")


def load_mutants(path):
    result = []
    with open(path, encoding="utf-8") as f:
        for row in f.read().split("\n"):
            if row:
                file, n, col, old, new, *around = row.split("\t")
                result.append((file, int(n), int(col), ast.literal_eval(old), ast.literal_eval(new),
                               [ast.literal_eval(t) for t in around]))
    return result


def locate(mutant):
    """(file, line index, column, old, new) of a saved mutant in today's sources; line None when gone.

    The line is looked for by its text; among equal lines the one whose neighbours match, then the one
    nearest the saved line number, is taken."""
    file, n, col, old, new, (before, text, after) = mutant
    if text[col:col + len(old)] != old:
        return file, None, col, old, new
    files = [file] if os.path.exists(os.path.join(ROOT, file)) else []
    files += sorted({s[0] for s in all_sites()} - set(files))
    for candidate in files:
        lines = source_lines(candidate)
        hits = [k for k, line in enumerate(lines) if line == text]
        if hits:
            def rank(k):
                near = (k > 0 and lines[k - 1] == before) + (k + 1 < len(lines) and lines[k + 1] == after)
                return (-near, abs(k - n) if candidate == file else 0)
            return candidate, min(hits, key=rank), col, old, new
    return file, None, col, old, new


def run(cmd, timeout, log):
    try:
        p = subprocess.run(cmd, cwd=ROOT, stdout=log, stderr=subprocess.STDOUT, timeout=timeout)
        return p.returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def main():
    # A terminated run unwinds like an interrupted one, so the mutated file is restored.
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--count", type=int, default=120)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--build", default="build-mutate")
    ap.add_argument("--out", default="mutants.tsv")
    ap.add_argument("--test-timeout", type=int, default=300, help="seconds for the whole suite of one mutant")
    ap.add_argument("--list", action="store_true")
    ap.add_argument("--only", action="append", default=[], metavar="PREFIX",
                    help="mutate only files whose path starts with PREFIX (repeatable)")
    ap.add_argument("--save", metavar="FILE", help="write the drawn mutants to FILE for a later --from run")
    ap.add_argument("--from", dest="load", metavar="FILE", help="run the mutants saved in FILE instead of drawing")
    ap.add_argument("--tests", metavar="REGEX", help="run only the ctest tests matching REGEX")
    ap.add_argument("--skip-label", metavar="REGEX", help="leave out the ctest tests whose label matches REGEX")
    args = ap.parse_args()
    if args.count < 1:
        ap.error("--count must be at least 1")

    if args.load:
        chosen = [locate(m) for m in load_mutants(args.load)]
    else:
        candidates = [c for c in all_sites() if not args.only or any(c[0].startswith(p) for p in args.only)]
        if not candidates:
            sys.exit("mutate: no mutation sites found under " + ", ".join(FOLDERS))
        chosen = random.Random(args.seed).sample(candidates, min(args.count, len(candidates)))
    if args.save:
        save_mutants(args.save, chosen)
    if args.list:
        for path, n, col, old, new in chosen:
            where = f"{path}:{n + 1}:{col + 1}" if n is not None else f"{path} (gone)"
            print(f"{where}\t{old.strip()} -> {new.strip()}")
        return

    build = os.path.join(ROOT, args.build)
    log = open(os.path.join(ROOT, args.out + ".log"), "w")
    configure = ["cmake", "-S", ".", "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                 "-DKW_BUILD_TESTS=ON", "-DKW_BUILD_BENCH=OFF", "-DKW_BUILD_TOOLS=ON", "-DKW_BUILD_JAVA=ON",
                 "-DKW_BUILD_PYTHON=ON", "-DKW_WERROR=OFF"]
    if run(configure, 600, log) != 0 or run(["cmake", "--build", build], 3600, log) != 0:
        sys.exit("mutate: the unmutated tree does not build; see " + args.out + ".log")
    ctest = ["ctest", "--test-dir", build, "-j2", "--no-tests=error", "--stop-on-failure", "--timeout", "120"]
    if args.tests:
        ctest += ["-R", args.tests]
    if args.skip_label:
        ctest += ["-LE", args.skip_label]
    if run(ctest, args.test_timeout, log) != 0:
        sys.exit("mutate: the unmutated suite fails; a mutation score would mean nothing")

    counts = {"killed": 0, "survived": 0, "stillborn": 0, "gone": 0}
    with open(os.path.join(ROOT, args.out), "w") as out:
        out.write("site\tmutation\tresult\tseconds\n")
        for k, (path, n, col, old, new) in enumerate(chosen, 1):
            if n is None:
                counts["gone"] += 1
                out.write(f"{path}\t{old.strip()} -> {new.strip()}\tgone\t0\n")
                print(f"[{k}/{len(chosen)}] {path} {old.strip()} -> {new.strip()}: gone", flush=True)
                continue
            full = os.path.join(ROOT, path)
            with open(full, encoding="utf-8") as f:
                original = f.read()
            lines = original.split("\n")
            lines[n] = lines[n][:col] + new + lines[n][col + len(old):]
            began = time.time()
            try:
                with open(full, "w", encoding="utf-8") as f:
                    f.write("\n".join(lines))
                if run(["cmake", "--build", build], 1800, log) != 0:
                    result = "stillborn"
                else:
                    result = "survived" if run(ctest, args.test_timeout, log) == 0 else "killed"
            finally:
                with open(full, "w", encoding="utf-8") as f:
                    f.write(original)
            counts[result] += 1
            seconds = time.time() - began
            out.write(f"{path}:{n + 1}:{col + 1}\t{old.strip()} -> {new.strip()}\t{result}\t{seconds:.0f}\n")
            out.flush()
            print(f"[{k}/{len(chosen)}] {path}:{n + 1} {old.strip()} -> {new.strip()}: {result}", flush=True)
    # Rebuild the unmutated tree so the build folder matches the sources again.
    run(["cmake", "--build", build], 3600, log)
    scored = counts["killed"] + counts["survived"]
    score = 100.0 * counts["killed"] / scored if scored else 0.0
    print(f"killed {counts['killed']}, survived {counts['survived']}, stillborn {counts['stillborn']}: "
          f"gone {counts['gone']}: score {score:.1f} % of {scored}")


if __name__ == "__main__":
    main()
