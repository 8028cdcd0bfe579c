// Helpers of the graph-file tests: a graph's drawing as comparable text, and
// the damaged inputs the readers must refuse without touching their target.
#ifndef KW_TESTS_SUPPORT_FILES_H
#define KW_TESTS_SUPPORT_FILES_H

#include <functional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "host/kwdgraph.h"
#include "host/kwoml.h"

namespace kwfiles {

/// Nodes and edges field by field, each node's line ending in what nodeExtra
/// adds, each edge's in whether it keeps its connectors.
inline std::string drawingOf(const KWDGraph& g, const std::function<std::string(const KWDNode&)>& nodeExtra = {}) {
  std::ostringstream s;
  for (KWDNodeIter it(&g); it; ++it) {
    const KWDNode* n = it.pNode();
    s << "[" << n->name() << "] " << n->ntX() << ' ' << n->ntY() << ' ' << n->ntWidth() << ' ' << n->ntHeight()
      << ' ' << n->isDummy() << (nodeExtra ? nodeExtra(*n) : std::string()) << "\n";
  }
  for (KWDEdgeIter it(&g); it; ++it) {
    const KWDEdge* e = it.pEdge();
    s << "[" << e->name() << "] " << e->pFromNode()->name() << " > " << e->pToNode()->name() << ' '
      << e->keepsConnectors();
    for (const KWPoint& p : e->bendPoints()) s << " (" << p.x() << ',' << p.y() << ')';
    if (e->hasSpecifiedFromConnector()) s << " f" << e->pFromConnector()->dx() << ',' << e->pFromConnector()->dy();
    if (e->hasSpecifiedToConnector()) s << " t" << e->pToConnector()->dx() << ',' << e->pToConnector()->dy();
    s << "\n";
  }
  return s.str();
}

}  // namespace kwfiles

#endif
