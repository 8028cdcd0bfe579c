#include "layout/kwsedge.h"

#include "layout/kwsgraph.h"

KWS_JAVA_PEER_DEF(KWSEdge, "com/brackwind/jnilayout/KWSEdge", "kwsedge")

KWSEdge::KWSEdge(KWGEdge* owner) : KWBEdge(owner) { init(); }

KWSEdge::KWSEdge(const KWSEdge& source, KWDeepFlagEnum flag) : KWBEdge() {
  init();
  if (flag == KWDeepCopy) KWSEdgedeepCopy(source);
  else KWSEdgeattributeCopy(source);
}

KWSEdge& KWSEdge::operator=(const KWSEdge& source) {
  if (this != &source) KWSEdgedeepCopy(source);
  return *this;
}

KWSEdge::~KWSEdge() = default;

KWSEdge& KWSEdge::KWSEdgedeepCopy(const KWSEdge& source) {
  KWBEdge::copyObject(&source);
  return *this;
}

KWSEdge& KWSEdge::KWSEdgeattributeCopy(const KWSEdge& source) {
  KWBEdge::copyAttributes(&source);
  return *this;
}

void KWSEdge::copyObject(const KWObject* source) {
  if (source && source != this) KWSEdgedeepCopy(*castDown(source));
}

void KWSEdge::copyAttributes(const KWObject* source) {
  if (source && source != this) KWSEdgeattributeCopy(*castDown(source));
}

KWObject* KWSEdge::vCloneObject() const { return new KWSEdge(*this, KWDeepCopy); }

KWObject* KWSEdge::vCloneAttributes() const { return new KWSEdge(*this, KWAttributeCopy); }

long KWSEdge::sizeOf() const {
  return KWBEdge::sizeOf() - static_cast<long>(sizeof(KWBEdge)) + static_cast<long>(sizeof(KWSEdge));
}

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
