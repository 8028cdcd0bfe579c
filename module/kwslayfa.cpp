#include "module/kwslayfa.h"

#include <new>

#include "layout/kwsedge.h"
#include "layout/kwsgraph.h"
#include "layout/kwsnode.h"
#include "tailor/kwsedta.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

KWS_JAVA_PEER_DEF(KWSLayoutFactory, "com/brackwind/jnilayout/KWSLayoutFactory", "kwslayfa")

KWSLayoutFactory::KWSLayoutFactory() : KWBLayoutFactory(KWSymmetricLayoutStyle) {}

KWSLayoutFactory::~KWSLayoutFactory() = default;

KWGraphExt* KWSLayoutFactory::vNewGraphExt(KWDGraph* graph) { return new (std::nothrow) KWSGraph(graph); }

KWNodeExt* KWSLayoutFactory::vNewDNodeExt(KWDNode* node) { return new (std::nothrow) KWSNode(node); }

KWEdgeExt* KWSLayoutFactory::vNewDEdgeExt(KWDEdge* edge) { return new (std::nothrow) KWSEdge(edge); }

KWNodeExt* KWSLayoutFactory::vNewPNodeExt(KWPNode* bend) { return new (std::nothrow) KWSNode(bend); }

KWEdgeExt* KWSLayoutFactory::vNewPEdgeExt(KWPEdge* piece) { return new (std::nothrow) KWSEdge(piece); }

KWGraphTailor* KWSLayoutFactory::vNewGraphTailor(KWDGraph* graph) {
  return new (std::nothrow) KWSGraphTailor(graph);
}

KWNodeTailor* KWSLayoutFactory::vNewNodeTailor(KWDNode* node) { return new (std::nothrow) KWSNodeTailor(node); }

KWEdgeTailor* KWSLayoutFactory::vNewEdgeTailor(KWDEdge* edge) { return new (std::nothrow) KWSEdgeTailor(edge); }
