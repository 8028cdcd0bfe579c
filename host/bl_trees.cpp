// Tree reduction and expansion in the base pipeline.
#include "host/kwbgraph.h"

KWDGraph* KWBGraph::pReducedGraph() {
  if (!reduced_) reduced_.reset(new KWDGraph(nullptr));
  return reduced_.get();
}

void KWBGraph::findGatewayNodes(KWDNodeDList* list) {
  KWDGraph* g = pOwnerGraph();
  if (!list || !g || !reduced_) return;
  for (KWDNodeIter it(g); it; ++it) {
    KWDNode* n = it.pNode();
    bool gateway = false;
    for (KWEdge* e : n->outEdges()) gateway = gateway || e->pOwnerGraph() == reduced_.get();
    for (KWEdge* e : n->inEdges()) gateway = gateway || e->pOwnerGraph() == reduced_.get();
    if (gateway) list->appendNode(n);
  }
}

// ---- trees: nothing is cut off by the base ------------------------------------

void KWBGraph::reduceTrees() {}

void KWBGraph::expandTrees() {
  KWDGraph* g = pOwnerGraph();
  if (!g || !reduced_) return;
  g->moveNodesAndEdges(reduced_.get(), reduced_->KWGraph::pNodeList(), reduced_->KWGraph::pEdgeList());
}

