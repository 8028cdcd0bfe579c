// KWSGraph: the graph-file and model-file extensions. (Placeholder bodies;
// replaced as the part is written.)
#include "layout/kwsgraph.h"

KWGraphFileExtension* KWSGraph::newGraphFileExtension(KWDGraph*) { return nullptr; }

KWModelFileExtension* KWSGraph::newModelFileExtension(KWModelFile*) { return nullptr; }
