// KWSGraph as an object: construction, copies, clones, its scratch record and
// the per-run resets.
#include "data/kwsgrli.h"
#include "layout/kwsgraph.h"
#include "module/kwscopy.h"

KWS_JAVA_PEER_DEF(KWSGraph, "com/brackwind/jnilayout/KWSGraph", "kwsgraph")

KWSGraph::KWSGraph(KWDGraph* owner) : KWBGraph(owner) { init(); }

KWS_COPY_MEMBERS_DEF(KWSGraph, KWBGraph)

// The matrices and the node list are emptied here; the record itself goes
// with the base extension.
KWSGraph::~KWSGraph() {
  emptyTopology();
  emptyContents();
}

KWS_BASE_COPIES_DEF(KWSGraph, KWBGraph)

KWS_SIZE_OF_DEF(KWSGraph, KWBGraph)

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
