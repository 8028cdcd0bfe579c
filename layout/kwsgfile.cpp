// KWSGraph: the extensions through which the host reads and writes the
// symmetric settings of graph files and model files.
#include <new>

#include "layout/kwsgraph.h"
#include "persist/kwsgrfex.h"
#include "persist/kwsmdlex.h"

KWGraphFileExtension* KWSGraph::newGraphFileExtension(KWDGraph* graph) {
  return new (std::nothrow) KWSGraphFileExtension(graph);
}

KWModelFileExtension* KWSGraph::newModelFileExtension(KWModelFile* file) {
  return new (std::nothrow) KWSModelFileExtension(file);
}
