#!/usr/bin/env python3
"""Stress against time limit for kwslay on a 5,000-node graph.

    bench/time_limit.sh [--kwslay PROGRAM] [--reps N]

Generates sparse5000 (as bench/peers.py does) into g5000.dot, then for each
time limit (0.25, 0.5, 1, 2 s, none) runs
    kwslay layout g5000.dot --time-limit T -o g.svg    (wall time)
    kwslay layout g5000.dot --time-limit T -o g.json   (wall time, stress)
and prints a Markdown table; also the cost of the progress bar (an unlimited
run with --progress against one with --quiet) and the time to read the file
(kwslay convert).
"""
import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import peers  # noqa: E402


def timed(cmd):
    start = time.monotonic()
    r = subprocess.run(cmd, capture_output=True, text=True)
    wall = time.monotonic() - start
    if r.returncode != 0:
        raise SystemExit("failed (%d): %s\n%s" % (r.returncode, " ".join(cmd), r.stderr))
    return wall, r.stderr


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--kwslay", required=True)
    ap.add_argument("--quality", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--reps", type=int, default=1)
    args = ap.parse_args()
    os.makedirs(args.work, exist_ok=True)
    n, m, dot, el = peers.write_graph(args.work, "sparse5000")
    g5000 = os.path.join(args.work, "g5000.dot")
    os.replace(dot, g5000)
    svg, js = os.path.join(args.work, "g.svg"), os.path.join(args.work, "g.json")
    read = min(timed([args.kwslay, "convert", g5000, "-o", js])[0] for _ in range(args.reps))
    print("sparse5000: %d nodes, %d edges; reading and writing the file alone: %.2f s\n" % (n, m, read))
    print("| time limit | wall, -o g.svg | wall, -o g.json | normalized stress | stopped early |")
    print("|---|---|---|---|---|")
    for limit in ["0.25", "0.5", "1", "2", None]:
        extra = ["--time-limit", limit] if limit else []
        wsvg = min(timed([args.kwslay, "layout", g5000, "-o", svg] + extra)[0] for _ in range(args.reps))
        wjs, err = timed([args.kwslay, "layout", g5000, "-o", js] + extra)
        stress, _ = peers.quality(args, el, peers.read_kwslay(js, n), args.work, "tl%s" % limit)
        print("| %s | %.2f s | %.2f s | %.4f | %s |" % (limit + " s" if limit else "none", wsvg, wjs, stress,
                                                    "yes" if "stopped early" in err else "no"))
        sys.stdout.flush()
    quiet = min(timed([args.kwslay, "layout", g5000, "-o", js, "--quiet"])[0] for _ in range(args.reps))
    bar = min(timed([args.kwslay, "layout", g5000, "-o", js, "--progress"])[0] for _ in range(args.reps))
    print("\nprogress bar: %.2f s with, %.2f s without (%+.1f %%)" % (bar, quiet, 100.0 * (bar - quiet) / quiet))


if __name__ == "__main__":
    main()
