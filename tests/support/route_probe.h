// Shared fixtures of the tree, routing, avoidance, bundle and fold tests: a
// symmetric graph whose graph extension opens the protected hooks to the test
// and remembers what the graph held when the trees were put back.
#ifndef KW_TEST_SUPPORT_ROUTE_PROBE_H
#define KW_TEST_SUPPORT_ROUTE_PROBE_H

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/kwbgraph.h"
#include "host/kwfactory.h"
#include "layout/kwsedge.h"
#include "layout/kwsgraph.h"
#include "layout/kwsnode.h"
#include "module/kwslayfa.h"
#include "layout_check.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

/// The symmetric graph extension with its protected hooks opened, and a record
/// of the owner and reduced graphs taken when the driver puts the trees back
/// (right after the radial placement).
class KWSRouteProbe : public KWSGraph {
 public:
  using KWSGraph::KWSGraph;
  using KWSGraph::actAfterFoldWithLayout;
  using KWSGraph::actAfterHideWithLayout;
  using KWSGraph::actAfterUnfoldWithLayout;
  using KWSGraph::actAfterUnhideWithLayout;
  using KWSGraph::actBeforeFoldWithLayout;
  using KWSGraph::actBeforeHideWithLayout;
  using KWSGraph::actBeforeUnfoldWithLayout;
  using KWSGraph::actBeforeUnhideWithLayout;
  using KWSGraph::moveMultiEdgePath;
  using KWSGraph::numberOfBundles;
  using KWSGraph::postprocessAggregateMultiEdge;
  using KWSGraph::preprocessAggregateMultiEdges;
  using KWSGraph::suitableForMultiEdgeBundle;

  struct Snapshot {
    std::set<KWDNode*> core, trees;
    std::set<KWDEdge*> treeEdges;
    std::map<const KWDNode*, KWPoint> at;
  };
  std::vector<Snapshot> expansions;

 protected:
  void expandTrees() override {
    Snapshot s;
    for (KWDNodeIter it(pOwnerGraph()); it; ++it) s.core.insert(it.pNode());
    if (KWDGraph* r = pQueryReducedGraph()) {
      for (KWDNodeIter it(r); it; ++it) s.trees.insert(it.pNode());
      for (KWDEdgeIter it(r); it; ++it) s.treeEdges.insert(it.pEdge());
    }
    for (KWDNode* n : s.core) s.at[n] = KWPoint(n->ntX(), n->ntY());
    for (KWDNode* n : s.trees) s.at[n] = KWPoint(n->ntX(), n->ntY());
    expansions.push_back(s);
    KWSGraph::expandTrees();
  }
};

class KWSRouteProbeFactory : public KWSLayoutFactory {
 protected:
  KWGraphExt* vNewGraphExt(KWDGraph* g) override { return new KWSRouteProbe(g); }
};

/// A drawing graph of the symmetric style with helpers to build it.
struct KWSRouteGraph {
  KWSRouteProbeFactory style;
  KWFactory factory;
  std::unique_ptr<KWDGraph> graph;
  std::vector<KWDNode*> n;

  KWSRouteGraph() {
    factory.addLayoutFactory(&style);
    graph.reset(factory.newDGraph(KWSymmetricLayoutStyle));
  }
  KWDGraph* g() const { return graph.get(); }
  KWSRouteProbe* probe() const { return static_cast<KWSRouteProbe*>(graph->pSGraph()); }
  KWSGraphTailor* tailor() const { return graph->pSTailor(); }
  KWDNode* node(long x, long y, long w = 20, long h = 20, const std::string& name = std::string()) {
    n.push_back(graph->newNode(x, y, w, h, name));
    return n.back();
  }
  KWDEdge* edge(KWDNode* a, KWDNode* b) { return graph->newEdge(a, b); }
  KWDEdge* edge(size_t a, size_t b) { return graph->newEdge(n[a], n[b]); }
  void pin(KWDNode* x, bool on = true) { x->pSTailor()->constrained(on ? 1 : 0); }
  void pinAll() {
    for (KWDNode* x : n) pin(x);
  }
  KWErrorCodeEnum layout() { return layoutGraph(graph.get(), KWSymmetricLayoutStyle); }
  static KWPEdge* firstPiece(KWDEdge* e) {
    return static_cast<KWPEdge*>(e->pathEdgeList().pFirstCell()->pObject());
  }
  /// checkLayoutInvariants' faults of the graph as it stands.
  std::string faults() const { return kwtest::checkLayoutInvariants(*graph); }
};

#endif
