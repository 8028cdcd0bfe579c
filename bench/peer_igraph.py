#!/usr/bin/python3
"""igraph's Kamada-Kawai layout with its default settings, for bench/peers.py.

usage: peer_igraph.py EDGES POSITIONS

EDGES is "n m" followed by m lines "a b"; POSITIONS receives n lines "x y".
"""
import sys

import igraph


def main():
    with open(sys.argv[1]) as f:
        n, m = (int(t) for t in f.readline().split())
        edges = [tuple(int(t) for t in f.readline().split()) for _ in range(m)]
    g = igraph.Graph(n=n, edges=edges)
    layout = g.layout_kamada_kawai()
    with open(sys.argv[2], "w") as out:
        for x, y in layout.coords:
            out.write("%r %r\n" % (x, y))


if __name__ == "__main__":
    main()
