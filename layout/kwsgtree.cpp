// KWSGraph: Radial trees. (Placeholder bodies; replaced as the part is written.)
#include "layout/kwsgraph.h"

void KWSGraph::layoutTrees() {}
void KWSGraph::layoutTreeRadially(KWDGraph*, KWGNode*, long, long, double, double) {}
