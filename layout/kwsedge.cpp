#include "layout/kwsedge.h"

#include "layout/kwsgraph.h"
#include "module/kwscopy.h"

KWS_JAVA_PEER_DEF(KWSEdge, "com/brackwind/jnilayout/KWSEdge", "kwsedge")

KWSEdge::KWSEdge(KWGEdge* owner) : KWBEdge(owner) { init(); }

KWS_COPY_MEMBERS_DEF(KWSEdge, KWBEdge)

KWSEdge::~KWSEdge() = default;

KWS_BASE_COPIES_DEF(KWSEdge, KWBEdge)

KWS_SIZE_OF_DEF(KWSEdge, KWBEdge)

KWBEdgeLayInfo* KWSEdge::newLayInfo(int, int) {
  KWBEdgeLayInfo* old = pLayInfo();
  pLayInfo(nullptr);
  delete old;
  KWSEdgeLayInfo* record = new KWSEdgeLayInfo;
  pLayInfo(record);
  return record;
}

KWSGraph* KWSEdge::pSGraph() const { return static_cast<KWSGraph*>(pBGraph()); }

void KWSEdge::preLayoutComponentReset() {
  KWBEdge::preLayoutComponentReset();
  KWGEdge* owner = pOwnerEdge();
  if (!owner || owner->keepsConnectors()) return;
  // Only drawn edges have connectors; a piece has nothing to drop.
  KWDEdge* edge = KWDEdge::castDown(owner);
  if (!edge) return;
  // Connectors an earlier layout chose are dropped; the user's stay.
  if (!edge->hasSpecifiedFromConnector()) edge->pFromConnector(nullptr);
  if (!edge->hasSpecifiedToConnector()) edge->pToConnector(nullptr);
}

void KWSEdge::postLayoutReset() { KWBEdge::postLayoutReset(); }

KWSideEnum KWSEdge::findBestNodeSideWithConnectors(long& offset, int& fromSide) const {
  return KWBEdge::findBestNodeSideWithConnectors(offset, fromSide);
}
