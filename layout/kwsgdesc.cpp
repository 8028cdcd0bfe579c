// KWSGraph: Energy descent. (Placeholder bodies; replaced as the part is written.)
#include "layout/kwsgraph.h"

void KWSGraph::greedyDescentPositionFinal() {}
KWDNode* KWSGraph::calcAllDeltas() { return nullptr; }
void KWSGraph::calcDelta(KWDNode*) {}
KWDNode* KWSGraph::recalcAllDeltas(KWDNode*, long, long) { return nullptr; }
void KWSGraph::recalcDelta(KWDNode*, KWDNode*, long, long) {}
void KWSGraph::calcdxdy(KWDNode*, long& dx, long& dy) { dx = 0; dy = 0; }
void KWSGraph::randomizeNodePosition(KWDNode*, long) {}
