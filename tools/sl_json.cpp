#include <unordered_map>

#include "sl_settings.h"
#include "sl_text.h"
#include "sl_writers.h"

namespace kwslay {

std::string writeJson(const ToolGraph& g) {
  OutputIds ids = outputIds(g);
  auto str = [](const std::string& s) { return "\"" + jsonEscape(s) + "\""; };
  std::string out = "{\"nodes\":[";
  for (size_t i = 0; i < g.nodes().size(); ++i) {
    const KWDNode* n = g.nodes()[i];
    out += std::string(i ? ",\n  " : "\n  ") + "{\"id\":" + str(ids.node[i]) + ",\"x\":" + std::to_string(n->ntX()) +
           ",\"y\":" + std::to_string(n->ntY()) + ",\"width\":" + std::to_string(n->ntWidth()) +
           ",\"height\":" + std::to_string(n->ntHeight()) +
           ",\"constrained\":" + (nodeConstrained(*n) ? "true" : "false") + "}";
  }
  out += "],\n \"edges\":[";
  std::unordered_map<const KWDNode*, size_t> index = g.nodeIndex();
  for (size_t i = 0; i < g.edges().size(); ++i) {
    const KWDEdge* e = g.edges()[i];
    out += std::string(i ? ",\n  " : "\n  ") + "{\"id\":" + str(ids.edge[i]) +
           ",\"source\":" + str(ids.node[index[e->pFromNode()]]) +
           ",\"target\":" + str(ids.node[index[e->pToNode()]]) + ",\"bends\":[";
    bool first = true;
    for (const KWPoint& b : e->bendPoints()) {
      out += std::string(first ? "" : ",") + "[" + std::to_string(b.x()) + "," + std::to_string(b.y()) + "]";
      first = false;
    }
    out += "]}";
  }
  KWRect b = drawingBounds(g);
  out += "],\n \"bounds\":{\"left\":" + std::to_string(b.left()) + ",\"bottom\":" + std::to_string(b.bottom()) +
         ",\"width\":" + std::to_string(b.width()) + ",\"height\":" + std::to_string(b.height()) + "},\n" +
         " \"directed\":" + (g.directed ? "true" : "false") + "}\n";
  return out;
}

}  // namespace kwslay
