import math

import networkx as nx
import pytest

import kwslay


def dist(p, q):
    return math.hypot(p[0] - q[0], p[1] - q[1])


def mean_edge_length(G, pos):
    return sum(dist(pos[u], pos[v]) for u, v in G.edges()) / G.number_of_edges()


GRAPHS = {
    "petersen": (lambda: nx.petersen_graph(), None),
    "string keys": (lambda: nx.relabel_nodes(nx.cycle_graph(5), lambda i: f"n{i}"), None),
    "tuple keys": (lambda: nx.grid_2d_graph(3, 4), None),
    "mixed keys, isolated node": (lambda: nx.Graph([(1, "a"), ("a", (2, 3))] + [(9, 9)]), None),
    "directed multigraph": (lambda: nx.MultiDiGraph([(0, 1), (0, 1), (1, 2), (2, 0)]), None),
    "pair of lists": (None, ([3, 1, 2], [(3, 1), (1, 2)])),
}


@pytest.mark.parametrize("name", GRAPHS)
def test_answers_every_node_under_its_own_key_as_floats(name):
    make, lists = GRAPHS[name]
    if make:
        G = make()
        nodes, pos = list(G.nodes()), kwslay.layout(G)
    else:
        nodes, pos = lists[0], kwslay.layout(lists)
    assert list(pos) == nodes
    for n, p in pos.items():
        assert type(n) is type(nodes[nodes.index(n)])
        assert isinstance(p, tuple) and len(p) == 2
        assert all(type(c) is float and math.isfinite(c) for c in p)
    # Distinct nodes get distinct places.
    assert len(set(pos.values())) == len(nodes)


def test_keyword_lists_and_nodes_from_edges():
    edges = [("x", "y"), ("y", "z")]
    assert kwslay.layout(nodes=["x", "y", "z"], edges=edges) == kwslay.layout(edges=edges)
    assert list(kwslay.layout(edges=edges)) == ["x", "y", "z"]


def test_seed_decides_the_drawing():
    G = nx.petersen_graph()
    a = kwslay.layout(G, seed=3)
    assert kwslay.layout(G, seed=3) == a
    assert kwslay.layout(G, seed=4) != a


@pytest.mark.parametrize("G, fixed", [
    (nx.cycle_graph(6), {0: (-300.0, 120.0), 3: (45.0, -60.0)}),
    (nx.star_graph(4), {0: (0.0, 0.0), 2: (500.0, 0.0)}),
    (nx.petersen_graph(), {n: (100.0 * n, 7.0) for n in range(10)}),
])
@pytest.mark.parametrize("seed", [1, 7])
def test_fixed_nodes_stay_at_their_place(G, fixed, seed):
    pos = kwslay.layout(G, seed=seed, pos=fixed, fixed=list(fixed))
    for n, p in fixed.items():
        assert pos[n] == p
    free = [n for n in G if n not in fixed]
    for n in free:
        assert pos[n] not in fixed.values()


def test_start_positions_are_used():
    G = nx.petersen_graph()
    done = kwslay.layout(G, seed=3)
    again = kwslay.layout(G, seed=5, pos=done)
    # A finished drawing stays close to itself; the seed's random start would not.
    assert max(dist(done[n], again[n]) for n in G) < 0.1 * mean_edge_length(G, done)
    other = kwslay.layout(G, seed=5)
    assert max(dist(done[n], other[n]) for n in G) > mean_edge_length(G, done)
    # Nodes without a start position get a random one; the others still count.
    part = {n: done[n] for n in range(8)}
    assert kwslay.layout(G, seed=5, pos=part) != other


@pytest.mark.parametrize("small, big", [
    ({"nodeSpacing": 10}, {"nodeSpacing": 200}),
    ({"node_spacing": 10}, {"node_spacing": 200}),
    ({"node_size": 10}, {"node_size": (300, 100)}),
    ({"node_size": {n: 10 for n in range(6)}}, {"node_size": {n: 300 for n in range(6)}}),
])
def test_spacing_and_sizes_reach_the_layout(small, big):
    G = nx.cycle_graph(6)
    assert mean_edge_length(G, kwslay.layout(G, **big)) > 2 * mean_edge_length(G, kwslay.layout(G, **small))


def test_grid_comes_out_square():
    G = nx.grid_2d_graph(10, 10)
    pos = kwslay.layout(G)
    c = [pos[(0, 0)], pos[(9, 0)], pos[(9, 9)], pos[(0, 9)]]
    sides = [dist(c[i], c[(i + 1) % 4]) for i in range(4)]
    diagonals = [dist(c[0], c[2]), dist(c[1], c[3])]
    assert max(sides) < 1.03 * min(sides)
    assert max(diagonals) < 1.03 * min(diagonals)
    assert diagonals[0] == pytest.approx(math.sqrt(2) * sides[0], rel=0.03)
    # Rows are evenly spaced: every grid edge about as long as the mean.
    mean = mean_edge_length(G, pos)
    assert all(abs(dist(pos[u], pos[v]) - mean) < 0.15 * mean for u, v in G.edges())


def test_bends_keyed_by_edge():
    G = nx.MultiGraph([(1, 2), (1, 2), (2, 3)])
    pos, bends = kwslay.layout(G, bends=True, route_edges=True)
    assert pos == kwslay.layout(G, route_edges=True)
    assert set(bends) == set(G.edges(keys=True))
    # The double edge is drawn as two different paths.
    assert bends[(1, 2, 0)] != bends[(1, 2, 1)]
    for pts in bends.values():
        assert all(type(c) is float for p in pts for c in p)
    _, by_index = kwslay.layout(edges=[(1, 2), (1, 2)], bends=True)
    assert set(by_index) == {0, 1} and by_index[0] != by_index[1]


G5 = nx.path_graph(5)


@pytest.mark.parametrize("args, kwargs, error, text", [
    ((), {}, TypeError, "needs a graph"),
    ((42,), {}, TypeError, "networkx graph"),
    (([1, 2, 3],), {}, TypeError, "pair (nodes, edges)"),
    ((([], [(1,)]),), {}, TypeError, "an edge must be a pair"),
    ((([1, 2], [(1, 3)]),), {}, ValueError, "not a node"),
    ((([1, 1], []),), {}, ValueError, "given twice"),
    ((([[1]], []),), {}, TypeError, "hashable"),
    ((G5,), {"nodes": [1]}, TypeError, "not both"),
    ((G5,), {"seed": "7"}, TypeError, "'seed'"),
    ((G5,), {"seed": 1.5}, TypeError, "must be an int"),
    ((G5,), {"seed": 2**40}, ValueError, "2147483647"),
    ((G5,), {"route_edges": 1}, TypeError, "True or False"),
    ((G5,), {"springConstant": float("nan")}, ValueError, "finite"),
    ((G5,), {"spring_constant": True}, TypeError, "a number"),
    ((G5,), {"colour": 3}, TypeError, "unknown setting 'colour'"),
    ((G5,), {"random_seed": 2}, TypeError, "as seed="),
    ((G5,), {"nodeSpacing": 1, "node_spacing": 2}, TypeError, "given twice"),
    ((G5,), {"node_size": -1}, ValueError, "negative"),
    ((G5,), {"node_size": "big"}, TypeError, "pair"),
    ((G5,), {"node_size": {0: (1, 2, 3)}}, TypeError, "node_size of 0"),
    ((G5,), {"node_size": 1e12}, ValueError, "1e9"),
    ((G5,), {"pos": [(0, 0)]}, TypeError, "pos must be a dict"),
    ((G5,), {"pos": {0: (0, float("inf"))}}, ValueError, "pos of 0"),
    ((G5,), {"pos": {0: "here"}}, TypeError, "pos of 0"),
    ((G5,), {"fixed": [0]}, ValueError, "no position"),
    ((G5,), {"fixed": [7], "pos": {7: (0, 0)}}, ValueError, "not in the graph"),
])
def test_bad_arguments_raise_clear_errors(args, kwargs, error, text):
    with pytest.raises(error) as e:
        kwslay.layout(*args, **kwargs)
    assert text in str(e.value)


def test_native_layer_checks_numbers_and_indices():
    from kwslay import _core
    lay = _core.Layout()
    lay.add_node(10, 10)
    for call, error in [
        (lambda: lay.add_edge(0, 1), IndexError),
        (lambda: lay.pin(-1), IndexError),
        (lambda: lay.add_node(-1, 5), ValueError),
        (lambda: lay.place(0, 0, 2e9), ValueError),
        (lambda: lay.set("nodeSpacing", 1.5), ValueError),
        (lambda: lay.set("routeEdges", 2), ValueError),
        (lambda: lay.get("nope"), ValueError),
    ]:
        with pytest.raises(error):
            call()
    lay.set("nodeSpacing", 77)
    assert lay.get("nodeSpacing") == 77
    assert set(kwslay.settings()) == {name for name, _ in _core.settings()}


def test_refused_graph_raises_runtime_error():
    with pytest.raises(RuntimeError, match="too large"):
        kwslay.layout(nx.path_graph(9000))


def test_stop_from_another_thread_and_time_limit_give_a_complete_drawing():
    import threading
    from kwslay import _core
    G = nx.random_labeled_tree(1500, seed=3) if hasattr(nx, "random_labeled_tree") else nx.random_tree(1500, seed=3)
    G.add_edges_from(nx.gnm_random_graph(1500, 700, seed=4).edges())
    lay = _core.Layout()
    for _ in G:
        lay.add_node(20, 20)
    for u, v in G.edges():
        lay.add_edge(u, v)
    done = []
    worker = threading.Thread(target=lambda: done.append(lay.layout()))
    worker.start()
    lay.request_stop()
    while worker.is_alive():
        lay.request_stop()
        worker.join(0.01)
    assert done == [False]
    assert all(math.isfinite(x) and math.isfinite(y) for x, y in lay.positions())
    pos = kwslay.layout(G, time_limit=0.05)
    assert len(pos) == len(G) and all(math.isfinite(x) and math.isfinite(y) for x, y in pos.values())
    with pytest.raises(ValueError, match="time_limit"):
        kwslay.layout(G, time_limit=0)
