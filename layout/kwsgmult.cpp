// KWSGraph: Multi-edges and loops. (Placeholder bodies; replaced as the part is written.)
#include "layout/kwsgraph.h"

int KWSGraph::suitableForMultiEdgeBundle(KWDEdge* e) { return KWBGraph::suitableForMultiEdgeBundle(e); }
void KWSGraph::preprocessAggregateMultiEdges(KWDEdgeDList* b) { KWBGraph::preprocessAggregateMultiEdges(b); }
long KWSGraph::numberOfBundles(KWDEdgeDList*) { return 1; }
KWDEdge* KWSGraph::postprocessAggregateMultiEdge(KWDEdge* r) { return r; }
void KWSGraph::moveMultiEdgePath(KWDEdge* e, KWDEdge* o, long dx, long dy) { KWBGraph::moveMultiEdgePath(e, o, dx, dy); }
void KWSGraph::postprocessReflexiveEdge(KWDEdge* e) { KWBGraph::postprocessReflexiveEdge(e); }
