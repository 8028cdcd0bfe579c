// Pictures drawn by Graphviz's own renderer (libgvc) from the DOT text of a
// laid-out graph, with every position and edge path kept as it is (no
// relayout, no re-routing); and node sizes measured the way Graphviz sizes
// nodes, so that the layout makes room for what will be drawn.
#ifndef KWSLAY_SL_RENDER_H
#define KWSLAY_SL_RENDER_H

#include <string>
#include <vector>

#include "sl_graph.h"

namespace kwslay {

/// The output formats the installed renderer offers ("svg", "png", "pdf", ...).
std::vector<std::string> renderFormats();
/// Whether the renderer offers the format name.
bool canRender(const std::string& format);

/// The picture of g in the given renderer format. Throws WriteError when the
/// renderer fails.
std::string renderPicture(const ToolGraph& g, const std::string& format);

/// Gives every node the size Graphviz gives it: its label in its font, its
/// shape and margins, width and height as minimums (exact with
/// fixedsize=true). Uses the DOT graph g was read from, or the one writeDot
/// makes for g. Also records which nodes are round, for clipping edge ends.
void measureNodes(ToolGraph& g);

}  // namespace kwslay

#endif
