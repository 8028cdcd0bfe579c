// KWSGraph: Edge-node avoidance. (Placeholder bodies; replaced as the part is written.)
#include "layout/kwsgraph.h"

void KWSGraph::edgeNodeAvoidancePhase() {}
