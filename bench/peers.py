#!/usr/bin/python3
"""Side-by-side run of kwslay and the layout tools users would pick instead.

Generates the same graphs for every tool, runs each tool on each graph several
times (tools alternate within a repetition, and the order rotates from one
repetition to the next), and prints a Markdown table: median wall time, peak
resident memory, normalized stress and the coefficient of variation of edge
lengths. Started by bench/peers.sh, which finds the programs.

Tools:
  kwslay      the symmetric layout (kwslay layout G.dot -o G.json --quiet)
  neato-kk    Graphviz neato -Gmode=KK (Kamada-Kawai)
  neato       Graphviz neato with its defaults (stress majorization)
  igraph-kk   python-igraph's layout_kamada_kawai with its defaults
and any number of kwslay variants (--variant NAME=PROGRAM[:ARGS]), e.g. an older
build or other settings.
"""
import argparse
import json
import os
import platform
import signal
import statistics
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))

GRAPHS = ["grid10", "grid20", "grid32", "sparse100", "sparse500", "sparse1000", "sparse2000",
          "sparse5000", "cycle50", "cube6"]


# ---- graphs -------------------------------------------------------------------

class SplitMix:
    """A small portable generator, so the graphs never depend on Python's."""

    def __init__(self, seed):
        self.s = seed & 0xFFFFFFFFFFFFFFFF

    def next(self):
        self.s = (self.s + 0x9E3779B97F4A7C15) & 0xFFFFFFFFFFFFFFFF
        z = self.s
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & 0xFFFFFFFFFFFFFFFF
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & 0xFFFFFFFFFFFFFFFF
        return z ^ (z >> 31)

    def below(self, k):
        return self.next() % k


def make_graph(name):
    """Answers (n, edges) for a graph name."""
    edges = []
    if name.startswith("grid"):
        side = int(name[4:])
        n = side * side
        for r in range(side):
            for c in range(side):
                if c + 1 < side:
                    edges.append((r * side + c, r * side + c + 1))
                if r + 1 < side:
                    edges.append((r * side + c, (r + 1) * side + c))
    elif name.startswith("sparse"):
        # A random spanning tree plus 0.6·n further distinct edges: connected,
        # about 1.6 edges per node.
        n = int(name[6:])
        rnd = SplitMix(1000 + n)
        seen = set()
        for i in range(1, n):
            j = rnd.below(i)
            edges.append((j, i))
            seen.add((j, i))
        extra = (6 * n) // 10
        while extra > 0:
            a, b = rnd.below(n), rnd.below(n)
            key = (min(a, b), max(a, b))
            if a == b or key in seen:
                continue
            seen.add(key)
            edges.append(key)
            extra -= 1
    elif name.startswith("cycle"):
        n = int(name[5:])
        edges = [(i, (i + 1) % n) for i in range(n)]
    elif name.startswith("cube"):
        d = int(name[4:])
        n = 1 << d
        edges = [(i, i ^ (1 << b)) for i in range(n) for b in range(d) if i < i ^ (1 << b)]
    else:
        raise SystemExit("unknown graph " + name)
    return n, edges


def write_graph(work, name):
    n, edges = make_graph(name)
    dot = os.path.join(work, name + ".dot")
    with open(dot, "w") as f:
        f.write("graph %s {\n" % name)
        for i in range(n):
            f.write("  n%d;\n" % i)
        for a, b in edges:
            f.write("  n%d -- n%d;\n" % (a, b))
        f.write("}\n")
    el = os.path.join(work, name + ".edges")
    with open(el, "w") as f:
        f.write("%d %d\n" % (n, len(edges)))
        for a, b in edges:
            f.write("%d %d\n" % (a, b))
    return n, len(edges), dot, el


# ---- tools --------------------------------------------------------------------

def read_kwslay(path, n):
    with open(path) as f:
        doc = json.load(f)
    pos = [None] * n
    for node in doc["nodes"]:
        pos[int(node["id"][1:])] = (float(node["x"]), float(node["y"]))
    return pos


def read_plain(path, n):
    pos = [None] * n
    with open(path) as f:
        for line in f:
            t = line.split()
            if t and t[0] == "node":
                pos[int(t[1][1:])] = (float(t[2]), float(t[3]))
    return pos


def read_xy(path, n):
    with open(path) as f:
        pos = [tuple(float(v) for v in line.split()) for line in f if line.strip()]
    return pos[:n]


class Tool:
    def __init__(self, name, argv, ext, reader):
        self.name, self.argv, self.ext, self.reader = name, argv, ext, reader

    def command(self, dot, edges, out):
        return [a.replace("{dot}", dot).replace("{edges}", edges).replace("{out}", out) for a in self.argv]


def tools(args):
    t = []
    if args.kwslay:
        t.append(Tool("kwslay", [args.kwslay, "layout", "{dot}", "-o", "{out}", "--quiet"], ".json", read_kwslay))
    for variant in args.variant:
        name, _, rest = variant.partition("=")
        prog, _, extra = rest.partition(":")
        t.append(Tool(name, [prog, "layout", "{dot}", "-o", "{out}", "--quiet"] + extra.split(), ".json",
                      read_kwslay))
    t.append(Tool("neato-kk", ["neato", "-Gmode=KK", "-Tplain", "{dot}", "-o", "{out}"], ".plain", read_plain))
    t.append(Tool("neato", ["neato", "-Tplain", "{dot}", "-o", "{out}"], ".plain", read_plain))
    t.append(Tool("igraph-kk", [args.python, os.path.join(HERE, "peer_igraph.py"), "{edges}", "{out}"], ".xy",
                  read_xy))
    if args.tools:
        wanted = args.tools.split(",")
        t = [x for x in t if x.name in wanted]
    return t


TIME = "/usr/bin/time"


def run_once(cmd, timeout, work):
    """Runs cmd; answers (seconds, peak KiB, exit status or None on timeout).

    The peak resident memory comes from /usr/bin/time when it is there: a child
    forked from this Python process would otherwise count the interpreter's
    own memory, which it held before exec, as its peak."""
    peakfile = os.path.join(work, "peak.txt")
    if os.path.exists(TIME):
        cmd = [TIME, "-f", "%M", "-o", peakfile] + cmd
    start = time.perf_counter()
    p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    timed_out = []

    def kill():
        timed_out.append(True)
        try:
            os.kill(p.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass

    timer = threading.Timer(timeout, kill)
    timer.start()
    err = p.stderr.read()
    _, status, usage = os.wait4(p.pid, 0)
    elapsed = time.perf_counter() - start
    timer.cancel()
    p.returncode = os.waitstatus_to_exitcode(status)
    peak = usage.ru_maxrss
    if os.path.exists(TIME):
        try:
            with open(peakfile) as f:
                peak = int(f.read().split()[-1])
        except (OSError, ValueError, IndexError):
            pass
    if timed_out:
        return elapsed, peak, None, err
    return elapsed, peak, p.returncode, err


def quality(args, edges_file, positions, work, tag):
    xy = os.path.join(work, tag + ".pos")
    with open(xy, "w") as f:
        for p in positions:
            f.write("%r %r\n" % p)
    out = subprocess.run([args.quality, edges_file, xy], capture_output=True, text=True, check=True)
    s, cv = out.stdout.split()
    return float(s), float(cv)


# ---- the run ------------------------------------------------------------------

def machine():
    cpu = "?"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    mem = os.sysconf("SC_PHYS_PAGES") * os.sysconf("SC_PAGE_SIZE") / 2**30
    return "%s, %d cores, %.1f GiB, %s %s" % (cpu, os.cpu_count(), mem, platform.system(), platform.release())


def versions(args, ts):
    """One line per tool: what ran."""
    out = []
    for t in ts:
        if t.name == "igraph-kk":
            v = subprocess.run([args.python, "-c", "import igraph, sys; print(igraph.__version__, sys.version.split()[0])"],
                               capture_output=True, text=True).stdout.split()
            out.append("igraph-kk = python-igraph %s on Python %s" % tuple(v[:2]) if len(v) >= 2 else "igraph-kk")
        elif t.name.startswith("neato"):
            v = subprocess.run(["neato", "-V"], capture_output=True, text=True).stderr.strip()
            out.append("%s = %s" % (t.name, v))
        else:
            out.append("%s = %s" % (t.name, " ".join(t.argv[:1] + t.argv[5:])))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--kwslay", help="the kwslay program (leave out to skip it)")
    ap.add_argument("--variant", action="append", default=[],
                    help="NAME=PROGRAM[:ARGS]: another kwslay build or settings, ARGS split at spaces")
    ap.add_argument("--quality", required=True, help="the kwpeer_quality program")
    ap.add_argument("--python", default="/usr/bin/python3", help="a Python that has igraph")
    ap.add_argument("--graphs", default=",".join(GRAPHS), help="comma-separated graph names")
    ap.add_argument("--tools", help="comma-separated tool names to keep")
    ap.add_argument("--reps", type=int, default=3, help="repetitions per tool and graph")
    ap.add_argument("--timeout", type=float, default=900.0, help="seconds before a run is stopped")
    ap.add_argument("--work", default="/tmp/kwpeers", help="directory for graphs and outputs")
    args = ap.parse_args()
    os.makedirs(args.work, exist_ok=True)
    ts = tools(args)

    print("Machine: " + machine())
    print("Started: %s, load average %.2f %.2f %.2f" % ((time.strftime("%Y-%m-%d %H:%M"),) + os.getloadavg()))
    print("Repetitions: %d (median time, largest peak memory); timeout %.0f s" % (args.reps, args.timeout))
    print("Tools: " + "; ".join(versions(args, ts)))
    print()
    print("| graph | n | m | tool | time s | peak MiB | stress | edge CV | time / neato-kk | stress / neato-kk |")
    print("|---|---:|---:|---|---:|---:|---:|---:|---:|---:|")
    sys.stdout.flush()
    for g in args.graphs.split(","):
        n, m, dot, el = write_graph(args.work, g)
        times = {t.name: [] for t in ts}
        peak = {t.name: 0 for t in ts}
        failed = {}
        qual = {}
        for rep in range(args.reps):
            order = ts[rep % len(ts):] + ts[:rep % len(ts)]
            for t in order:
                if t.name in failed:
                    continue
                out = os.path.join(args.work, "%s.%s%s" % (g, t.name, t.ext))
                if os.path.exists(out):
                    os.remove(out)
                sec, kib, rc, err = run_once(t.command(dot, el, out), args.timeout, args.work)
                if rc is None:
                    failed[t.name] = "timeout > %.0f s" % args.timeout
                    continue
                if rc != 0:
                    failed[t.name] = "exit %d: %s" % (rc, err.decode(errors="replace").strip()[:120])
                    continue
                times[t.name].append(sec)
                peak[t.name] = max(peak[t.name], kib)
                if t.name not in qual:
                    qual[t.name] = quality(args, el, t.reader(out, n), args.work, "%s.%s" % (g, t.name))
        ref_t = statistics.median(times["neato-kk"]) if times.get("neato-kk") else None
        ref_s = qual.get("neato-kk", (None,))[0]
        for t in ts:
            if t.name in failed and not times[t.name]:
                print("| %s | %d | %d | %s | %s | | | | | |" % (g, n, m, t.name, failed[t.name]))
                continue
            med = statistics.median(times[t.name])
            s, cv = qual[t.name]
            rt = "%.3f" % (med / ref_t) if ref_t else ""
            rs = "%.2f" % (s / ref_s) if ref_s else ""
            print("| %s | %d | %d | %s | %.3f | %.1f | %.4f | %.4f | %s | %s |"
                  % (g, n, m, t.name, med, peak[t.name] / 1024.0, s, cv, rt, rs))
        sys.stdout.flush()
    print()
    print("Finished: %s, load average %.2f %.2f %.2f" % ((time.strftime("%Y-%m-%d %H:%M"),) + os.getloadavg()))


if __name__ == "__main__":
    main()
