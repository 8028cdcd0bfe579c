#include "layout/kwsnode.h"

#include "layout/kwsgraph.h"
#include "tailor/kwsndta.h"

KWS_JAVA_PEER_DEF(KWSNode, "com/brackwind/jnilayout/KWSNode", "kwsnode")

KWSNode::KWSNode(KWGNode* owner) : KWBNode(owner) { init(); }

KWSNode::KWSNode(const KWSNode& source, KWDeepFlagEnum flag) : KWBNode() {
  init();
  if (flag == KWDeepCopy) KWSNodedeepCopy(source);
  else KWSNodeattributeCopy(source);
}

KWSNode& KWSNode::operator=(const KWSNode& source) {
  if (this != &source) KWSNodedeepCopy(source);
  return *this;
}

KWSNode::~KWSNode() = default;

KWSNode& KWSNode::KWSNodedeepCopy(const KWSNode& source) {
  KWBNode::copyObject(&source);
  return *this;
}

KWSNode& KWSNode::KWSNodeattributeCopy(const KWSNode& source) {
  KWBNode::copyAttributes(&source);
  return *this;
}

void KWSNode::copyObject(const KWObject* source) {
  if (source && source != this) KWSNodedeepCopy(*castDown(source));
}

void KWSNode::copyAttributes(const KWObject* source) {
  if (source && source != this) KWSNodeattributeCopy(*castDown(source));
}

KWObject* KWSNode::vCloneObject() const { return new KWSNode(*this, KWDeepCopy); }

KWObject* KWSNode::vCloneAttributes() const { return new KWSNode(*this, KWAttributeCopy); }

long KWSNode::sizeOf() const {
  return KWBNode::sizeOf() - static_cast<long>(sizeof(KWBNode)) + static_cast<long>(sizeof(KWSNode));
}

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
