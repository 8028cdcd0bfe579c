// Tree reduction and expansion of the base pipeline.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "host/kwbgraph.h"
#include "host/kwblayfa.h"
#include "host/kwfactory.h"
#include "host/kwrandom.h"

namespace {

/// A node extension that a test can pin.
struct PinnableNode : KWBNode {
  using KWBNode::KWBNode;
  bool pinned = false;
  int selectRandomizePosition() override { return pinned ? 0 : 1; }
};

/// A graph extension that opens the reduction to the test and can refuse nodes.
struct TreeProbe : KWBGraph {
  using KWBGraph::KWBGraph;
  using KWBGraph::expandTrees;
  using KWBGraph::reduceTrees;
  std::set<const KWDNode*> refused;
  std::set<const KWDEdge*> refusedEdges;
  int nodeReduceAllow(KWDNode* n) override { return refused.count(n) ? 0 : 1; }
  int edgeReduceAllow(KWDEdge* e) override { return refusedEdges.count(e) ? 0 : 1; }
};

struct ProbeFactory : KWBLayoutFactory {
  ProbeFactory() : KWBLayoutFactory(KWSymmetricLayoutStyle) {}
  KWGraphExt* vNewGraphExt(KWDGraph* g) override { return new TreeProbe(g); }
  KWNodeExt* vNewDNodeExt(KWDNode* n) override { return new PinnableNode(n); }
};

class Trees : public ::testing::Test {
 protected:
  ProbeFactory style;
  KWFactory factory;
  KWDGraph* g = nullptr;
  std::vector<KWDNode*> n;
  void SetUp() override {
    factory.addLayoutFactory(&style);
    g = factory.newDGraph(KWSymmetricLayoutStyle);
  }
  void TearDown() override {
    probe()->expandTrees();  // trees still cut off belong to no graph that deletes them
    delete g;
  }
  TreeProbe* probe() { return static_cast<TreeProbe*>(g->pExtension(KWSymmetricLayoutStyle)); }
  void nodes(int k) {
    for (int i = 0; i < k; ++i) n.push_back(g->newNode(10 * i, 0, 10, 10, std::to_string(i)));
  }
  KWDEdge* edge(int a, int b) { return g->newEdge(n[a], n[b]); }
  std::set<KWDNode*> nodeSet(const KWDGraph* h) {
    std::set<KWDNode*> s;
    for (KWDNodeIter it(h); it; ++it) s.insert(it.pNode());
    return s;
  }
  std::set<KWDEdge*> edgeSet(const KWDGraph* h) {
    std::set<KWDEdge*> s;
    for (KWDEdgeIter it(h); it; ++it) s.insert(it.pEdge());
    return s;
  }
  std::set<KWDNode*> pick(std::initializer_list<int> idx) {
    std::set<KWDNode*> s;
    for (int i : idx) s.insert(n[i]);
    return s;
  }
  std::vector<KWDNode*> gateways() {
    KWDNodeDList l;
    probe()->findGatewayNodes(&l);
    std::vector<KWDNode*> v;
    for (KWDNodeDListIter it(l); it; ++it) v.push_back(it.pNode());
    l.deleteAllCells();
    return v;
  }
};

TEST_F(Trees, PathHangingOffCycleIsCutWithItsGatewayEdge) {
  nodes(7);
  edge(0, 1); edge(1, 2); edge(2, 3); edge(3, 0);   // the core
  edge(0, 4); edge(4, 5); edge(5, 6);                // a path off node 0
  std::set<KWDEdge*> allEdges = edgeSet(g);
  probe()->reduceTrees();
  EXPECT_EQ(nodeSet(g), pick({0, 1, 2, 3}));
  KWDGraph* r = probe()->pQueryReducedGraph();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(nodeSet(r), pick({4, 5, 6}));
  EXPECT_EQ(r->numberOfEdges(), 3);
  EXPECT_EQ(r->numberOfDisconnectedEdges(), 1);  // the edge 0-4
  EXPECT_EQ(gateways(), std::vector<KWDNode*>{n[0]});
  EXPECT_EQ(n[0]->degree(), 2);  // only core edges count in the owner graph

  probe()->expandTrees();
  EXPECT_EQ(nodeSet(g).size(), 7u);
  EXPECT_EQ(edgeSet(g), allEdges);
  EXPECT_EQ(r->numberOfNodes(), 0);
  EXPECT_EQ(r->numberOfEdges(), 0);
  EXPECT_TRUE(gateways().empty());
}

// Of a path's two middle nodes the one that comes first in the graph's node
// order stays, whatever its place along the path.
TEST_F(Trees, PathKeepsTheEarlierOfTwoMiddles) {
  nodes(4);            // a, mid2, mid1, d
  edge(0, 2); edge(2, 1); edge(1, 3);
  probe()->reduceTrees();
  EXPECT_EQ(nodeSet(g), pick({1}));
}

TEST_F(Trees, RefusedAndPinnedNodesStayInTheCoreWithTheirBranch) {
  nodes(6);
  edge(0, 1); edge(1, 2); edge(2, 0);
  edge(0, 3);
  KWDEdge* e34 = edge(3, 4);  // branch blocked at its leaf 4
  edge(1, 5);               // leaf 5, pinned
  probe()->refused.insert(n[4]);
  static_cast<PinnableNode*>(n[5]->pExtension(KWSymmetricLayoutStyle))->pinned = true;
  probe()->reduceTrees();
  EXPECT_EQ(g->numberOfNodes(), 6);

  probe()->refused.clear();
  probe()->refusedEdges.insert(e34);
  probe()->reduceTrees();
  EXPECT_EQ(g->numberOfNodes(), 6);  // the edge to 4 may not go, so 4 and 3 stay
}

TEST_F(Trees, ExpansionDropsBendsMadeForTheCoreAlone) {
  nodes(4);
  KWDEdge* core = edge(0, 1);
  edge(1, 2); edge(2, 0); edge(0, 3);
  probe()->reduceTrees();
  core->ntAppendBend(KWPoint(5, 50));
  probe()->expandTrees();
  EXPECT_EQ(core->numberOfBends(), 0);
}

// ---- invariants over families of graphs -------------------------------------

/// Eccentricity of every node of a connected graph, by breadth-first walks.
std::vector<long> eccentricities(const std::vector<std::vector<int>>& adj) {
  std::vector<long> ecc(adj.size(), 0);
  for (size_t s = 0; s < adj.size(); ++s) {
    std::vector<long> dist(adj.size(), -1);
    std::vector<int> q{static_cast<int>(s)};
    dist[s] = 0;
    for (size_t h = 0; h < q.size(); ++h)
      for (int o : adj[q[h]])
        if (dist[o] < 0) { dist[o] = dist[q[h]] + 1; q.push_back(o); }
    ecc[s] = *std::max_element(dist.begin(), dist.end());
  }
  return ecc;
}

class TreeFamilies : public Trees {
 protected:
  std::vector<std::vector<int>> adj;
  void link(int a, int b) {
    edge(a, b);
    adj[a].push_back(b);
    adj[b].push_back(a);
  }
  void fresh() {
    TearDown();
    n.clear();
    SetUp();
  }
  void make(int k) {
    nodes(k);
    adj.assign(k, {});
  }
  /// Checks what every reduction must leave and restores the graph.
  void checkReduction(bool isTree) {
    std::set<KWDNode*> allNodes = nodeSet(g);
    std::set<KWDEdge*> allEdges = edgeSet(g);
    probe()->reduceTrees();
    std::set<KWDNode*> core = nodeSet(g);
    KWDGraph* r = probe()->pQueryReducedGraph();
    EXPECT_EQ(core.size() + (r ? r->numberOfNodes() : 0), allNodes.size());
    // The core keeps no leaf (a tree's core is its single centre).
    if (isTree) {
      ASSERT_EQ(core.size(), 1u);
      std::vector<long> ecc = eccentricities(adj);
      long radius = *std::min_element(ecc.begin(), ecc.end());
      long idx = std::find(n.begin(), n.end(), *core.begin()) - n.begin();
      EXPECT_EQ(ecc[idx], radius);
    } else {
      for (KWDNode* x : core) EXPECT_NE(x->degree(), 1);
    }
    // The cut part is a forest hung off the core by one edge per tree:
    // reduced edges = reduced nodes, each tree with one edge to a gateway.
    if (r) {
      EXPECT_EQ(r->numberOfEdges(), r->numberOfNodes());
      EXPECT_EQ(r->numberOfNodes() > 0, !gateways().empty());
      long hanging = 0;
      for (KWDEdgeIter it(r); it; ++it) {
        bool f = core.count(it.pEdge()->pFromNode()) != 0, t = core.count(it.pEdge()->pToNode()) != 0;
        EXPECT_FALSE(f && t);
        hanging += (f || t) ? 1 : 0;
      }
      EXPECT_EQ(hanging, r->numberOfDisconnectedEdges());
      for (KWDNode* gw : gateways()) EXPECT_EQ(core.count(gw), 1u);
    }
    probe()->expandTrees();
    EXPECT_EQ(nodeSet(g), allNodes);
    EXPECT_EQ(edgeSet(g), allEdges);
  }
};

// A star, a path of five and random trees.
TEST_F(TreeFamilies, TreesKeepOneCentreNode) {
  for (int seed = -1; seed <= 12; ++seed) {
    fresh();
    KWRandom rnd(seed);
    int k = seed == -1 ? 6 : seed == 0 ? 5 : 2 + static_cast<int>(rnd.next() % 30);
    make(k);
    for (int i = 1; i < k; ++i) link(i, seed == -1 ? 0 : seed == 0 ? i - 1 : static_cast<int>(rnd.next() % i));
    SCOPED_TRACE(seed == -1 ? "star" : seed == 0 ? "path" : "random tree " + std::to_string(seed));
    checkReduction(true);
  }
}

TEST_F(TreeFamilies, CyclesWithTreesLoseTheTrees) {
  for (int seed = 1; seed <= 10; ++seed) {
    fresh();
    KWRandom rnd(seed);
    int c = 3 + static_cast<int>(rnd.next() % 6), k = c + static_cast<int>(rnd.next() % 20);
    make(k);
    for (int i = 0; i < c; ++i) link(i, (i + 1) % c);
    for (int i = c; i < k; ++i) link(i, static_cast<int>(rnd.next() % i));
    // A few chords among the tree nodes make some of them core too.
    if (k > c + 3) link(k - 1, c);
    SCOPED_TRACE(seed);
    checkReduction(false);
  }
}

}  // namespace
