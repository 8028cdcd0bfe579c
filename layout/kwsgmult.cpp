// KWSGraph: multi-edges and loops.
//
// All edges between one pair of nodes form a single bundle, represented during
// the layout by its last edge; edges with a user-specified connector stay out
// of bundles, and a bundle whose representative turns out to have one is
// dissolved after the layout. Loops are drawn by the host's loop routines, the
// connector-aware one when the user fixed a connector.
#include "layout/kwsedge.h"
#include "layout/kwsgraph.h"

int KWSGraph::suitableForMultiEdgeBundle(KWDEdge* edge) {
  if (!edge) return 0;
  if (edge->hasSpecifiedFromConnector()) return 0;
  if (edge->hasSpecifiedToConnector()) return 0;
  return 1;
}

void KWSGraph::preprocessAggregateMultiEdges(KWDEdgeDList* bundle) {
  if (!bundle || bundle->length() <= 1) return;
  KWDEdge* rep = KWDEdge::castDown(bundle->pLastCell()->pObject());
  KWSEdge* ext = rep ? rep->pSEdge() : nullptr;
  KWDGraph* g = pOwnerGraph();
  if (!ext || !g) return;
  KWDEdgeDList* list = ext->pMultiEdgeList();
  for (KWDListCell* c = bundle->pFirstCell(); c && c != bundle->pLastCell(); c = c->pNextCell()) {
    KWDEdge* e = KWDEdge::castDown(c->pObject());
    if (!e || e == rep) continue;
    g->removeEdge(e);
    list->appendEdge(e);
  }
}

long KWSGraph::numberOfBundles(KWDEdgeDList*) { return 1; }

KWDEdge* KWSGraph::postprocessAggregateMultiEdge(KWDEdge* rep) {
  if (suitableForMultiEdgeBundle(rep)) return rep;
  KWSEdge* ext = rep ? rep->pSEdge() : nullptr;
  KWDGraph* g = pOwnerGraph();
  if (!ext || !g) return nullptr;
  KWDEdgeDList* list = ext->pMultiEdgeList();
  KWDEdge* result = list->pFirstCell() ? KWDEdge::castDown(list->pFirstCell()->pObject()) : nullptr;
  for (KWDEdgeDListIter it(list); it; ++it) {
    KWDEdge* f = it.pEdge();
    if (f->reflexive()) postprocessReflexiveEdge(f);
    else g->insertEdge(f, f->pFromNode(), f->pToNode());
  }
  ext->deleteMultiEdgeList();
  return result;
}

void KWSGraph::moveMultiEdgePath(KWDEdge* edge, KWDEdge* other, long dx, long dy) {
  if (other && other->reflexive()) {
    KWSEdge* ext = edge ? edge->pSEdge() : nullptr;
    if (ext) ext->moveReflexivePath(dx, dy);
    return;
  }
  KWBGraph::moveMultiEdgePath(edge, other, dx, dy);
}

void KWSGraph::postprocessReflexiveEdge(KWDEdge* edge) {
  KWBGraph::postprocessReflexiveEdge(edge);
  KWSEdge* ext = edge ? edge->pSEdge() : nullptr;
  if (!ext) return;
  if (!edge->hasSpecifiedFromConnector() && !edge->hasSpecifiedToConnector()) ext->createReflexivePath();
  else ext->createReflexivePathWithConnector();
}
