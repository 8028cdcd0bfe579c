"""Symmetric graph layout for Python.

    >>> import kwslay, networkx as nx
    >>> G = nx.petersen_graph()
    >>> pos = kwslay.layout(G)
    >>> nx.draw(G, pos)

layout() takes a networkx graph (or anything with ``nodes`` and ``edges``), a
pair ``(nodes, edges)``, or the keywords ``nodes=`` and ``edges=``, and answers
``{node: (x, y)}`` with the caller's own node keys. Coordinates are drawing
units (floats, y grows upwards); a node's position is its centre.
"""

import math
import numbers

from . import _core

__all__ = ["layout", "settings", "DEFAULT_NODE_SIZE"]

#: Width and height of a node when node_size does not give one.
DEFAULT_NODE_SIZE = 30.0

_KINDS = dict(_core.settings())
# Settings that layout() takes as its own arguments.
_ARGUMENTS = {"randomSeed": "seed", "routeEdges": "route_edges"}


def settings():
    """The graph settings layout() accepts as keywords: {name: kind}, kind
    being 'real', 'integer' or 'flag'. snake_case spellings are accepted too."""
    return dict(_KINDS)


def _camel(name):
    head, *rest = name.split("_")
    return head + "".join(p[:1].upper() + p[1:] for p in rest)


def _setting_value(name, kind, value):
    """The value as the native layer stores it, after checking its type."""
    if kind == "flag":
        if not isinstance(value, bool):
            raise TypeError(f"setting {name!r} must be True or False, not {value!r}")
        return 1.0 if value else 0.0
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"setting {name!r} must be a number, not {value!r}")
    if kind == "integer":
        if not isinstance(value, numbers.Integral):
            raise TypeError(f"setting {name!r} must be an int, not {value!r}")
        if not -2**31 <= value < 2**31:
            raise ValueError(f"setting {name!r} must be from -2147483648 to 2147483647, not {value!r}")
        return float(value)
    value = float(value)
    if not math.isfinite(value):
        raise ValueError(f"setting {name!r} must be finite, not {value!r}")
    return value


def _number(value, what):
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"{what} must be a number, not {value!r}")
    value = float(value)
    if not math.isfinite(value) or abs(value) > _core.MAX_COORDINATE:
        raise ValueError(f"{what} must be a finite number within ±1e9, not {value!r}")
    return value


def _pair(value, what):
    try:
        x, y = value
    except (TypeError, ValueError):
        raise TypeError(f"{what} must be a pair (x, y), not {value!r}") from None
    return _number(x, what), _number(y, what)


def _size(value, node):
    what = f"node_size of {node!r}"
    if isinstance(value, numbers.Real) and not isinstance(value, bool):
        w = h = _number(value, what)
    else:
        w, h = _pair(value, what)
    if w < 0 or h < 0:
        raise ValueError(f"{what} must not be negative, got {value!r}")
    return w, h


def _graph_parts(G, nodes, edges):
    """Node keys, edges as (source, target) pairs and the keys bends() uses."""
    if G is not None and (nodes is not None or edges is not None):
        raise TypeError("give either a graph or nodes=/edges=, not both")
    if G is None:
        if nodes is None and edges is None:
            raise TypeError("layout() needs a graph, a pair (nodes, edges) or nodes=/edges=")
        return _from_lists(nodes, edges)
    if isinstance(G, (tuple, list)):
        if len(G) != 2:
            raise TypeError("a graph given as a sequence must be the pair (nodes, edges)")
        return _from_lists(G[0], G[1])
    if not (hasattr(G, "nodes") and hasattr(G, "edges")):
        raise TypeError(f"expected a networkx graph or a pair (nodes, edges), not {type(G).__name__}")
    node_list = list(G.nodes())
    multi = hasattr(G, "is_multigraph") and G.is_multigraph()
    if multi:
        keyed = list(G.edges(keys=True))
        pairs = [(u, v) for u, v, _ in keyed]
    else:
        keyed = pairs = [tuple(e[:2]) for e in G.edges()]
    return node_list, pairs, keyed


def _from_lists(nodes, edges):
    pairs = []
    for e in [] if edges is None else edges:
        try:
            u, v = e
        except (TypeError, ValueError):
            raise TypeError(f"an edge must be a pair (source, target), not {e!r}") from None
        pairs.append((u, v))
    if nodes is None:
        # The nodes the edges name, in the order they first appear.
        nodes = list(dict.fromkeys(n for e in pairs for n in e))
    else:
        nodes = list(nodes)
    return nodes, pairs, None


def layout(G=None, seed=1, node_size=None, pos=None, fixed=None, route_edges=False,
           *, nodes=None, edges=None, bends=False, time_limit=None, **settings):
    """Lays out a graph with the symmetric layout; answers {node: (x, y)}.

    G           a networkx graph (any kind; the direction of edges does not
                matter), or a pair (nodes, edges); or use nodes= and edges=
                (nodes may be left out: then the edges' ends, in order).
    seed        int, the seed of the random start (randomSeed).
    node_size   a number (width and height), a pair (width, height), or a
                dict {node: number or pair}; nodes it leaves out are
                DEFAULT_NODE_SIZE square.
    pos         {node: (x, y)}: start positions, or the places of the fixed
                nodes. When nodes that are not fixed have one, the layout
                starts from the given positions (nodes without one get a
                random start). Entries for nodes not in the graph are ignored.
    fixed       nodes that stay at their place in pos.
    route_edges bends edges around nodes they would cross (routeEdges).
    bends       if True, answer (positions, bends): bends maps each edge to its
                list of bend points, from source to target; edges are keyed as
                G.edges() gives them ((u, v, key) for multigraphs), or by
                their index in the edge list for lists.
    time_limit  seconds (a number above 0) after which the layout stops and
                answers the drawing found so far; None: no limit.
    settings    any other graph setting by name, e.g. nodeSpacing=60 or
                node_spacing=60; see settings(). randomSeed and routeEdges
                are the arguments seed and route_edges.

    Raises TypeError or ValueError for bad arguments and RuntimeError when
    the layout refuses the graph (a component too large).
    """
    node_list, pairs, keyed = _graph_parts(G, nodes, edges)
    index = {}
    for n in node_list:
        try:
            if n in index:
                raise ValueError(f"node {n!r} is given twice")
        except TypeError:
            raise TypeError(f"node keys must be hashable, not {n!r}") from None
        index[n] = len(index)

    values = {"randomSeed": _setting_value("seed", "integer", seed),
              "routeEdges": _setting_value("route_edges", "flag", route_edges)}
    for key, value in settings.items():
        name = key if key in _KINDS else _camel(key)
        if name not in _KINDS:
            raise TypeError(f"layout() got an unknown setting {key!r}; the settings are {', '.join(_KINDS)}")
        if name in _ARGUMENTS:
            raise TypeError(f"give {name!r} as {_ARGUMENTS[name]}=")
        if name in values:
            raise TypeError(f"setting {name!r} is given twice")
        values[name] = _setting_value(name, _KINDS[name], value)

    pos = {} if pos is None else pos
    if not hasattr(pos, "items"):
        raise TypeError(f"pos must be a dict {{node: (x, y)}}, not {type(pos).__name__}")
    fixed = [] if fixed is None else list(fixed)
    for n in fixed:
        if n not in index:
            raise ValueError(f"fixed node {n!r} is not in the graph")
        if n not in pos:
            raise ValueError(f"fixed node {n!r} has no position in pos")

    if isinstance(node_size, dict):
        sizes = [_size(node_size[n], n) if n in node_size else (DEFAULT_NODE_SIZE,) * 2 for n in node_list]
    elif node_size is None:
        sizes = [(DEFAULT_NODE_SIZE,) * 2] * len(node_list)
    else:
        size = _size(node_size, "every node")
        sizes = [size] * len(node_list)

    lay = _core.Layout()
    for w, h in sizes:
        lay.add_node(w, h)
    for u, v in pairs:
        for end in (u, v):
            try:
                known = end in index
            except TypeError:
                known = False
            if not known:
                raise ValueError(f"edge ({u!r}, {v!r}) names {end!r}, which is not a node of the graph")
        lay.add_edge(index[u], index[v])
    for name, value in values.items():
        lay.set(name, value)

    placed = [n for n in node_list if n in pos]
    for n in placed:
        lay.place(index[n], *_pair(pos[n], f"pos of {n!r}"))
    for n in fixed:
        lay.pin(index[n])
    fixed_set = set(fixed)
    if any(n not in fixed_set for n in placed):
        lay.start_from_positions([index[n] for n in node_list if n not in pos])

    if time_limit is not None:
        if isinstance(time_limit, bool) or not isinstance(time_limit, numbers.Real):
            raise TypeError(f"time_limit must be a number of seconds, not {type(time_limit).__name__}")
        if not time_limit > 0:
            raise ValueError(f"time_limit must be above 0 seconds, not {time_limit!r}")
        lay.time_limit = float(time_limit)
    lay.layout()
    points = lay.positions()
    result = {n: points[i] for i, n in enumerate(node_list)}
    if not bends:
        return result
    edge_bends = lay.bends()
    keys = keyed if keyed is not None else range(len(pairs))
    return result, dict(zip(keys, edge_bends))
