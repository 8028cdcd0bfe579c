// KWSGraph as an object: construction, copies, clones, its scratch record and
// the per-run resets.
#include "data/kwsgrli.h"
#include "layout/kwsgraph.h"

KWS_JAVA_PEER_DEF(KWSGraph, "com/brackwind/jnilayout/KWSGraph", "kwsgraph")

KWSGraph::KWSGraph(KWDGraph* owner) : KWBGraph(owner) { init(); }

KWSGraph::KWSGraph(const KWSGraph& source, KWDeepFlagEnum flag) : KWBGraph() {
  init();
  if (flag == KWDeepCopy) KWSGraphdeepCopy(source);
  else KWSGraphattributeCopy(source);
}

KWSGraph& KWSGraph::operator=(const KWSGraph& source) {
  if (this != &source) KWSGraphdeepCopy(source);
  return *this;
}

// The matrices and the node list are emptied here; the record itself goes
// with the base extension.
KWSGraph::~KWSGraph() {
  emptyTopology();
  emptyContents();
}

KWSGraph& KWSGraph::KWSGraphdeepCopy(const KWSGraph& source) {
  KWBGraph::copyObject(&source);
  return *this;
}

KWSGraph& KWSGraph::KWSGraphattributeCopy(const KWSGraph& source) {
  KWBGraph::copyAttributes(&source);
  return *this;
}

void KWSGraph::copyObject(const KWObject* source) {
  if (source && source != this) KWSGraphdeepCopy(*castDown(source));
}

void KWSGraph::copyAttributes(const KWObject* source) {
  if (source && source != this) KWSGraphattributeCopy(*castDown(source));
}

KWObject* KWSGraph::vCloneObject() const { return new KWSGraph(*this, KWDeepCopy); }

KWObject* KWSGraph::vCloneAttributes() const { return new KWSGraph(*this, KWAttributeCopy); }

long KWSGraph::sizeOf() const {
  return KWBGraph::sizeOf() - static_cast<long>(sizeof(KWBGraph)) + static_cast<long>(sizeof(KWSGraph));
}

KWBGraphLayInfo* KWSGraph::newLayInfo(int) {
  KWBGraphLayInfo* old = pLayInfo();
  pLayInfo(nullptr);
  delete old;
  KWSGraphLayInfo* record = new KWSGraphLayInfo;
  pLayInfo(record);
  return record;
}

KWSGraphLayInfo* KWSGraph::pSLayInfo() const { return static_cast<KWSGraphLayInfo*>(pLayInfo()); }

void KWSGraph::preLayoutReset() { KWBGraph::preLayoutReset(); }

void KWSGraph::postLayoutReset() { KWBGraph::postLayoutReset(); }

void KWSGraph::preLayoutComponentReset() { KWBGraph::preLayoutComponentReset(); }
