// KWSGraph: reactions to folding, expanding and hiding nodes.
//
// Before such an operation every node it does not concern is pinned (its
// constrained setting switched on) and recorded at the front of the host's
// record list, so that the following layout leaves it in place; afterwards the
// recorded nodes are released. Nodes that were constrained already are never
// recorded and so stay constrained.
#include "layout/kwsgraph.h"
#include "tailor/kwsndta.h"

namespace {
/// Pins every unconstrained node of g that is neither in `exceptList` nor
/// `exceptNode`, prepending each to records.
void pinAllBut(KWDGraph* g, KWDNodeDList* records, const KWDNodeDList* exceptList, const KWDNode* exceptNode) {
  if (!g || !records) return;
  for (KWDNodeIter it(g); it;) {
    KWDNode* n = it.pNode();
    ++it;
    if (exceptList && exceptList->searchNode(n)) continue;
    if (n == exceptNode) continue;
    KWSNodeTailor* t = n->pSTailor();
    if (!t || t->constrained()) continue;
    t->constrained(1);
    records->prependNode(n);
  }
}
}  // namespace

void KWSGraph::actBeforeExpandWithLayout(KWDNodeDList* records, KWDNode* node) {
  pinAllBut(pOwnerGraph(), records, nullptr, node);
}

void KWSGraph::actBeforeCollapseWithLayout(KWDNodeDList* records, KWDNode* node) {
  actBeforeExpandWithLayout(records, node);
}

void KWSGraph::actAfterExpandWithLayout(KWDNodeDList* records) { actAfterUnfoldWithLayout(records); }

void KWSGraph::actAfterCollapseWithLayout(KWDNodeDList* records) { actAfterUnfoldWithLayout(records); }

void KWSGraph::actBeforeFoldWithLayout(KWDNodeDList* records, const KWDNodeDList* nodes) {
  pinAllBut(pOwnerGraph(), records, nodes, nullptr);
}

void KWSGraph::actBeforeUnfoldWithLayout(KWDNodeDList* records, KWDNode* node) {
  KWBGraph::actBeforeUnfoldWithLayout(records, node);
  pinAllBut(pOwnerGraph(), records, nullptr, node);
}

void KWSGraph::actAfterFoldWithLayout(KWDNodeDList* records) { actAfterUnfoldWithLayout(records); }

void KWSGraph::actAfterUnfoldWithLayout(KWDNodeDList* records) {
  for (KWDNodeDListIter it(records); it; ++it) {
    KWSNodeTailor* t = it.pNode() ? it.pNode()->pSTailor() : nullptr;
    if (t) t->constrained(0);
  }
}

void KWSGraph::actBeforeHideWithLayout(KWDNodeDList* records, const KWDNodeDList* nodes) {
  actBeforeFoldWithLayout(records, nodes);
}

void KWSGraph::actBeforeUnhideWithLayout(KWDNodeDList* records) { pinAllBut(pOwnerGraph(), records, nullptr, nullptr); }

void KWSGraph::actAfterHideWithLayout(KWDNodeDList* records) { actAfterUnfoldWithLayout(records); }

void KWSGraph::actAfterUnhideWithLayout(KWDNodeDList* records) { actAfterUnfoldWithLayout(records); }
