#!/usr/bin/python3
"""Overlapping node-box pairs and normalized stress of a kwslay JSON drawing.

    overlap_quality.py DRAWING.json

Prints "pairs stress": the number of pairs of node boxes that overlap (boxes
that merely touch do not count) and the normalized stress with the best
uniform scale, sum w (a x - d)^2 / sum w d^2 over all connected pairs, w = d^-2,
d the hop distance and x the drawn distance (as in peer_quality.cpp).
"""
import json
import math
import sys
from collections import deque


def main(path):
    with open(path) as f:
        g = json.load(f)
    nodes = g["nodes"]
    index = {n["id"]: i for i, n in enumerate(nodes)}
    n = len(nodes)
    adj = [[] for _ in range(n)]
    for e in g.get("edges", []):
        a, b = index.get(e.get("source")), index.get(e.get("target"))
        if a is None or b is None or a == b:
            continue
        adj[a].append(b)
        adj[b].append(a)
    order = sorted(range(n), key=lambda i: nodes[i]["x"] - nodes[i]["width"] / 2)
    pairs = 0
    for oi, i in enumerate(order):
        a = nodes[i]
        for j in order[oi + 1:]:
            b = nodes[j]
            if b["x"] - b["width"] / 2 >= a["x"] + a["width"] / 2:
                break
            if 2 * abs(a["x"] - b["x"]) < a["width"] + b["width"] and 2 * abs(a["y"] - b["y"]) < a["height"] + b["height"]:
                pairs += 1
    sxd = sxx = sw = 0.0
    terms = []
    for s in range(n):
        hop = [-1] * n
        hop[s] = 0
        q = deque([s])
        while q:
            u = q.popleft()
            for v in adj[u]:
                if hop[v] < 0:
                    hop[v] = hop[u] + 1
                    q.append(v)
        for t in range(s + 1, n):
            d = hop[t]
            if d <= 0:
                continue
            x = math.hypot(nodes[s]["x"] - nodes[t]["x"], nodes[s]["y"] - nodes[t]["y"])
            terms.append((x, d))
    for x, d in terms:
        sxd += x / d
        sxx += x * x / (d * d)
        sw += 1.0
    alpha = sxd / sxx if sxx > 0 else 1.0
    stress = sum((alpha * x - d) ** 2 / (d * d) for x, d in terms) / sw if sw > 0 else 0.0
    print(pairs, "%.4f" % stress)


if __name__ == "__main__":
    main(sys.argv[1])
