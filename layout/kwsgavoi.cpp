// KWSGraph: edge-node avoidance.
//
// One sweep finds every straight piece of an edge path that runs through the
// bounding rectangle of a node other than its own two end points; a second
// sweep reroutes each of them, once, as a symmetric arc. Pieces and bends that
// the rerouting creates are not looked at again in the same call.
#include "host/kwdgraph.h"
#include "layout/kwsedge.h"
#include "layout/kwsgraph.h"

void KWSGraph::edgeNodeAvoidancePhase() {
  KWDGraph* g = pOwnerGraph();
  if (!g) return;
  KWPEdgeDList crossing;
  for (KWDNodeIter nodes(g); nodes; ++nodes) {
    KWDNode* n = nodes.pNode();
    KWRect r;
    n->ntBoundingRect(r);
    for (KWPEdgeIter pieces(g); pieces; ++pieces) {
      KWPEdge* p = pieces.pEdge();
      if (p->pFromNode() == n || p->pToNode() == n) continue;
      if (p->intersectsRect(r, 1)) crossing.appendEdgeIfNotInList(p);
    }
  }
  for (KWPEdgeDListIter it(crossing); it; ++it) {
    KWSEdge* s = it.pEdge()->pSEdge();
    if (s) s->symmetricRoute();
  }
  crossing.deleteAllCells();
}
