// KWSGraph: Scaling. (Placeholder bodies; replaced as the part is written.)
#include "layout/kwsgraph.h"

void KWSGraph::scaleDown() {}
void KWSGraph::scaleUp() {}
