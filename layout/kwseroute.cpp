// KWSEdge: symmetric edge routing. (Placeholder body; replaced as the part is written.)
#include "layout/kwsedge.h"

void KWSEdge::symmetricRoute() {}
