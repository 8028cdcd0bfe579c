// Shared helpers of the engine tests, fuzz targets and benchmarks: graphs
// built through the symmetric factory, the graph families, scratch records as
// a layout run prepares them, and access to KWSGraph's private steps.
#ifndef KW_TEST_SUPPORT_ENGINE_ACCESS_H
#define KW_TEST_SUPPORT_ENGINE_ACCESS_H

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "data/kwsgrli.h"
#include "data/kwsndli.h"
#include "data/kwtwodar.h"
#include "host/kwbgraph.h"
#include "host/kwfactory.h"
#include "layout/kwsgraph.h"
#include "layout/kwsnode.h"
#include "module/kwslayfa.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

/// Calls KWSGraph's private steps on a prepared graph.
class KWSGraphTestAccess {
 public:
  explicit KWSGraphTestAccess(KWDGraph* g) : g_(g), s_(g->pSGraph()) {}
  KWSGraph* ext() const { return s_; }
  KWSGraphLayInfo* info() const { return s_->pSLayInfo(); }

  void preprocessGraph() { s_->preprocessGraph(); }
  void buildAllNodeDList() { s_->buildAllNodeDList(); }
  void positionDraft() { s_->positionDraft(); }
  int anyNodesConstrained() const { return s_->anyNodesConstrained(); }
  int verifyIncrementalLayout() { return s_->verifyIncrementalLayout(); }
  int suitableForShifting() const { return s_->suitableForShifting(); }
  void postLayoutComponentReset() { s_->postLayoutComponentReset(); }

  void calcAllPairsShortestPaths(KWTwoDArray& m) { s_->calcAllPairsShortestPaths(m); }

  void greedyDescent() { s_->greedyDescentPositionFinal(); }
  KWDNode* calcAllDeltas() { return s_->calcAllDeltas(); }
  void randomizeNodePosition(KWDNode* n, long maxRand) { s_->randomizeNodePosition(n, maxRand); }

  void scaleDown() { s_->scaleDown(); }
  void scaleUp() { s_->scaleUp(); }

  /// Gives the graph and every node and edge a fresh scratch record, as the
  /// host does before a run.
  void prepare() {
    s_->newLayInfo(0);
    for (KWDNodeIter it(g_); it; ++it) it.pNode()->pSNode()->newLayInfo(0, 0);
  }
  /// Builds the node list and copies the centres into the scratch points.
  void loadPoints() {
    for (KWDNodeDListIter it(info()->pAllNodeDList()); it; ++it)
      point(it.pNode())->moveTo(it.pNode()->ntX(), it.pNode()->ntY());
  }
  static KWSNodeLayInfo* ni(const KWDNode* n) { return n->pSNode()->pSLayInfo(); }
  static KWPoint* point(const KWDNode* n) { return ni(n)->pPoint(); }

 private:
  KWDGraph* g_;
  KWSGraph* s_;
};

namespace kwtest {

/// A factory pair and one symmetric drawing graph; everything goes with it.
struct Fixture {
  KWSLayoutFactory style;
  KWFactory factory;
  std::unique_ptr<KWDGraph> graph;
  Fixture() {
    factory.addLayoutFactory(&style);
    graph.reset(factory.newDGraph(KWSymmetricLayoutStyle));
  }
  ~Fixture() { graph.reset(); }
  KWDGraph* g() const { return graph.get(); }
  KWSGraphTailor* t() const { return graph->pSTailor(); }
  KWDNode* node(long w = 20, long h = 20, long x = 0, long y = 0) { return graph->newNode(x, y, w, h); }
  KWDEdge* edge(KWDNode* a, KWDNode* b) { return graph->newEdge(a, b); }
  std::vector<KWDNode*> nodes() const {
    std::vector<KWDNode*> v;
    for (KWDNodeIter it(graph.get()); it; ++it) v.push_back(it.pNode());
    return v;
  }
};

/// Graph families (nodes 20×20 unless said otherwise).
inline std::vector<KWDNode*> cycle(Fixture& f, int n) {
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) v.push_back(f.node());
  for (int i = 0; i < n; ++i) f.edge(v[i], v[(i + 1) % n]);
  return v;
}
inline std::vector<KWDNode*> grid(Fixture& f, int rows, int cols) {
  std::vector<KWDNode*> v;
  for (int i = 0; i < rows * cols; ++i) v.push_back(f.node());
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      if (c + 1 < cols) f.edge(v[r * cols + c], v[r * cols + c + 1]);
      if (r + 1 < rows) f.edge(v[r * cols + c], v[(r + 1) * cols + c]);
    }
  return v;
}
inline std::vector<KWDNode*> path(Fixture& f, int n) {
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) v.push_back(f.node());
  for (int i = 0; i + 1 < n; ++i) f.edge(v[i], v[i + 1]);
  return v;
}
/// A binary tree of n nodes in heap order.
inline std::vector<KWDNode*> tree(Fixture& f, int n) {
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) v.push_back(f.node());
  for (int i = 1; i < n; ++i) f.edge(v[(i - 1) / 2], v[i]);
  return v;
}
/// A star: a hub and its leaves, every node w×h.
inline std::vector<KWDNode*> star(Fixture& f, int leaves, long w = 20, long h = 20) {
  std::vector<KWDNode*> v{f.node(w, h)};
  for (int i = 0; i < leaves; ++i) f.edge(v[0], v.emplace_back(f.node(w, h)));
  return v;
}
inline std::vector<KWDNode*> complete(Fixture& f, int n) {
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) v.push_back(f.node());
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j) f.edge(v[i], v[j]);
  return v;
}
/// A tree whose node i hangs from a random earlier node, every node w×h.
inline std::vector<KWDNode*> randomTree(Fixture& f, int n, unsigned seed, long w = 20, long h = 20) {
  std::vector<KWDNode*> v{f.node(w, h)};
  KWRandom rnd(seed);
  for (int i = 1; i < n; ++i) f.edge(v[rnd.next() % i], v.emplace_back(f.node(w, h)));
  return v;
}
/// The hypercube of dimension d: node i joined to i with one more bit set.
inline std::vector<KWDNode*> hypercube(Fixture& f, int d) {
  std::vector<KWDNode*> v;
  for (int i = 0; i < (1 << d); ++i) v.push_back(f.node());
  for (int i = 0; i < (1 << d); ++i)
    for (int b = 0; b < d; ++b)
      if ((i & (1 << b)) == 0) f.edge(v[i], v[i | (1 << b)]);
  return v;
}
/// Calls edge(a, b) for each pair of an edge list like "0-1 1-2 2-0".
inline void forEachListedEdge(const std::string& list, const std::function<void(size_t, size_t)>& edge) {
  std::istringstream in(list);
  size_t a, b;
  char dash;
  while (in >> a >> dash >> b) edge(a, b);
}
/// n nodes and the edges of a list like "0-1 1-2 2-0" (repeats and loops allowed).
inline std::vector<KWDNode*> fromEdges(Fixture& f, int n, const std::string& list) {
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) v.push_back(f.node());
  forEachListedEdge(list, [&](size_t a, size_t b) { f.edge(v.at(a), v.at(b)); });
  return v;
}
/// A connected sparse graph: a random spanning tree plus extra random edges,
/// about 1.6 edges per node, from a fixed generator (same graph every time).
inline std::vector<KWDNode*> sparse(Fixture& f, int n, unsigned seed) {
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) v.push_back(f.node());
  KWRandom rnd(seed);
  for (int i = 1; i < n; ++i) f.edge(v[rnd.next() % i], v[i]);
  int extra = (n * 6) / 10;
  for (int k = 0; k < extra; ++k) {
    int a = static_cast<int>(rnd.next() % n), b = static_cast<int>(rnd.next() % n);
    if (a != b) f.edge(v[a], v[b]);
  }
  return v;
}

/// Calls check on a fresh graph of each family of about n nodes: a square
/// grid, a cycle, a binary tree and a sparse random graph from seed.
inline void forEachFamily(int n, unsigned seed,
                          const std::function<void(Fixture&, const std::vector<KWDNode*>&, const char*)>& check) {
  const int side = std::max(2, static_cast<int>(std::sqrt(static_cast<double>(n))));
  { Fixture f; check(f, grid(f, side, side), "grid"); }
  { Fixture f; check(f, cycle(f, n), "cycle"); }
  { Fixture f; check(f, tree(f, n), "tree"); }
  { Fixture f; check(f, sparse(f, n, seed), "random"); }
}

inline double dist(const KWDNode* a, const KWDNode* b) {
  return KWPoint::distance(a->ntX(), a->ntY(), b->ntX(), b->ntY());
}

/// The shortest and the longest edge of g, centre to centre.
inline std::pair<double, double> edgeRange(const KWDGraph& g) {
  double lo = 1e300, hi = 0.0;
  for (KWDEdgeIter it(&g); it; ++it) {
    const double d = dist(it.pEdge()->pFromNode(), it.pEdge()->pToNode());
    lo = std::min(lo, d);
    hi = std::max(hi, d);
  }
  return {lo, hi};
}

}  // namespace kwtest

#endif
