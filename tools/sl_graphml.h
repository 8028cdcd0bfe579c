// GraphML files, read with libxml2.
//
// Node data recognised by the key's attr.name: "width" and "height" (drawing
// units; 54 × 36 when absent), "x" and "y" (the start position, the centre),
// "constrained" (or "pin"). Edge data: "bends", a list "x,y x,y ...". Graph
// data named like a setting sets it. Nodes of nested graphs belong to the
// graph as well; keys may be declared in <graphml> or inside a <graph>.
//
// Drawing attributes come from the common keys: "label" (else yEd's
// NodeLabel / EdgeLabel, else "name") is the label; yEd's Geometry gives the
// size where no width/height data does, its Fill colour, BorderStyle (colour,
// line type, width), Shape, LineStyle and Arrows the DOT attributes fillcolor,
// color, style, penwidth, shape and dir. They are set on a cgraph graph
// attached to the ToolGraph (ToolGraph::dot), as a DOT file would carry them.
//
// Every other key, with its data on the graph, nodes and edges, is kept and
// written back by writeGraphML.
#ifndef KWSLAY_SL_GRAPHML_H
#define KWSLAY_SL_GRAPHML_H

#include <string>
#include <utility>
#include <vector>

#include "sl_graph.h"
#include "sl_settings.h"

namespace kwslay {

/// Keys of a GraphML input that kwslay does not interpret, and their data,
/// as written in the input (data contents as XML text).
struct GraphMLSource {
  struct Key {
    std::string id;
    std::string attributes;  ///< the other attributes of the <key>, as XML
    std::string body;        ///< its contents (a <default>, say), as XML
  };
  using Data = std::vector<std::pair<std::string, std::string>>;  ///< key id, contents
  std::string namespaces;  ///< the prefixed namespace declarations of <graphml>
  std::vector<Key> keys;
  Data document;  ///< data of <graphml> itself
  Data graph;
  std::vector<Data> nodes;  ///< by node index
  std::vector<Data> edges;  ///< by edge index
};

/// Reads GraphML text into g; the graph's settings are returned in *settings,
/// warnings (a <data> with an undeclared key) as "FILE:LINE: message" in
/// *warnings. Throws InputError.
void readGraphMLWarning(const std::string& file, const std::string& text, ToolGraph& g,
                        std::vector<SettingValue>* settings, std::vector<std::string>* warnings);
/// The same, the warnings left out.
void readGraphML(const std::string& file, const std::string& text, ToolGraph& g, std::vector<SettingValue>* settings);

/// GraphML text of g with the data keys the reader understands, and the keys
/// and data kept from a GraphML input.
std::string writeGraphML(const ToolGraph& g);

}  // namespace kwslay

#endif
