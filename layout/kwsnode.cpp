#include "layout/kwsnode.h"

#include "layout/kwsgraph.h"
#include "tailor/kwsndta.h"
#include "module/kwscopy.h"

KWS_JAVA_PEER_DEF(KWSNode, "com/brackwind/jnilayout/KWSNode", "kwsnode")

KWSNode::KWSNode(KWGNode* owner) : KWBNode(owner) { init(); }

KWS_COPY_MEMBERS_DEF(KWSNode, KWBNode)

KWSNode::~KWSNode() = default;

KWS_BASE_COPIES_DEF(KWSNode, KWBNode)

KWS_SIZE_OF_DEF(KWSNode, KWBNode)

KWBNodeLayInfo* KWSNode::newLayInfo(int, int) {
  KWBNodeLayInfo* old = pLayInfo();
  pLayInfo(nullptr);
  delete old;
  KWSNodeLayInfo* record = new KWSNodeLayInfo;
  pLayInfo(record);
  return record;
}

KWSGraph* KWSNode::pSGraph() const { return static_cast<KWSGraph*>(pBGraph()); }

void KWSNode::preLayoutComponentReset() { KWBNode::preLayoutComponentReset(); }

int KWSNode::selectRandomizePosition() {
  // Bends and detached extensions have no node settings: they may be moved.
  KWDNode* node = KWDNode::castDown(pOwnerNode());
  if (!node) return 1;
  KWSNodeTailor* tailor = node->pSTailor();
  if (!tailor) return 1;
  return tailor->constrained() ? 0 : 1;
}
