// KWSGraph: Driver and spring model. (Placeholder bodies; replaced as the part is written.)
#include "layout/kwsgraph.h"

void KWSGraph::layoutComponent() {}
void KWSGraph::getInformationFromGraph(KWDGraph*) {}
void KWSGraph::positionFinal() {}
int KWSGraph::suitableForShifting() const { return 1; }
void KWSGraph::positionDraft() {}
void KWSGraph::preprocessGraph() {}
void KWSGraph::buildAllNodeDList() {}
int KWSGraph::allNodesConstrained() const { return 1; }
int KWSGraph::anyNodesConstrained() const { return 0; }
void KWSGraph::indexAllNodes() {}
void KWSGraph::postprocessGraph() {}
int KWSGraph::verifyIncrementalLayout() { return 0; }
void KWSGraph::emptyArrays() {}
void KWSGraph::postLayoutComponentReset() { KWBGraph::postLayoutComponentReset(); }
void KWSGraph::emptyTopology() {}
void KWSGraph::emptyContents() {}
KWEdgeRoutingStyleEnum KWSGraph::edgeRoutingStyle(const KWDEdge*) const { return KWStraightRouting; }
void KWSGraph::calcAdjMatrix(KWTwoDArray&, KWSEdgeWeightFunction) {}
void KWSGraph::calcAllPairsShortestPaths(KWTwoDArray&) {}
long KWSGraph::calculateMaxDegree() { return 0; }
