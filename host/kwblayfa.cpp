#include "host/kwblayfa.h"

#include "host/kwbgraph.h"
#include "host/kwtailor.h"

KWGraphExt* KWBLayoutFactory::vNewGraphExt(KWDGraph* g) { return new KWBGraph(g); }
KWNodeExt* KWBLayoutFactory::vNewDNodeExt(KWDNode* n) { return new KWBNode(n); }
KWEdgeExt* KWBLayoutFactory::vNewDEdgeExt(KWDEdge* e) { return new KWBEdge(e); }
KWNodeExt* KWBLayoutFactory::vNewPNodeExt(KWPNode* n) { return new KWBNode(n); }
KWEdgeExt* KWBLayoutFactory::vNewPEdgeExt(KWPEdge* e) { return new KWBEdge(e); }
KWGraphTailor* KWBLayoutFactory::vNewGraphTailor(KWDGraph* g) { return new KWGraphTailor(g); }
KWNodeTailor* KWBLayoutFactory::vNewNodeTailor(KWDNode* n) { return new KWNodeTailor(n); }
KWEdgeTailor* KWBLayoutFactory::vNewEdgeTailor(KWDEdge* e) { return new KWEdgeTailor(e); }
