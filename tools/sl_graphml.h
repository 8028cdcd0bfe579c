// GraphML files, read with libxml2.
//
// Node data recognised by the key's attr.name: "width" and "height" (drawing
// units; 54 × 36 when absent), "x" and "y" (the start position, the centre),
// "constrained" (or "pin"). Edge data: "bends", a list "x,y x,y ...". Graph
// data named like a setting sets it. Nodes of nested graphs belong to the
// graph as well.
#ifndef KWSLAY_SL_GRAPHML_H
#define KWSLAY_SL_GRAPHML_H

#include <string>
#include <vector>

#include "sl_graph.h"
#include "sl_settings.h"

namespace kwslay {

/// Reads GraphML text into g; the graph's settings are returned in *settings.
/// Throws InputError.
void readGraphML(const std::string& file, const std::string& text, ToolGraph& g, std::vector<SettingValue>* settings);

/// GraphML text of g with the data keys the reader understands.
std::string writeGraphML(const ToolGraph& g);

}  // namespace kwslay

#endif
