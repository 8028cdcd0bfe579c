// Data: the JSON output (pictures come from sl_render.h).
#ifndef KWSLAY_SL_WRITERS_H
#define KWSLAY_SL_WRITERS_H

#include <string>

#include "sl_graph.h"

namespace kwslay {

/// {"nodes":[{"id","x","y","width","height","constrained"}...],
///  "edges":[{"id","source","target","bends":[[x,y]...]}...],
///  "bounds":{"left","bottom","width","height"}, "directed":bool}
/// Coordinates are drawing units; x and y of a node are its centre.
std::string writeJson(const ToolGraph& g);

}  // namespace kwslay

#endif
