// Pictures and data: the SVG and JSON outputs.
#ifndef KWSLAY_SL_WRITERS_H
#define KWSLAY_SL_WRITERS_H

#include <string>

#include "sl_graph.h"

namespace kwslay {

/// The drawing as SVG: nodes as rectangles labelled with their names, edges as
/// paths through their bends (see sl_shape.h), arrow heads for a directed
/// graph, a margin around everything. y grows upwards in the drawing and
/// downwards in SVG, so the picture is flipped vertically.
std::string writeSvg(const ToolGraph& g);

/// {"nodes":[{"id","x","y","width","height","constrained"}...],
///  "edges":[{"id","source","target","bends":[[x,y]...]}...],
///  "bounds":{"left","bottom","width","height"}, "directed":bool}
/// Coordinates are drawing units; x and y of a node are its centre.
std::string writeJson(const ToolGraph& g);

}  // namespace kwslay

#endif
