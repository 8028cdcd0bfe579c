// Helpers of the graph-file tests: a graph's drawing as comparable text, and
// the damaged inputs the readers must refuse without touching their target.
#ifndef KW_TESTS_SUPPORT_FILES_H
#define KW_TESTS_SUPPORT_FILES_H

#include <functional>
#include <random>
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

/// Reads count damaged texts: every third one random bytes, the others good
/// with a few bytes replaced, removed or inserted. Each failed read must say
/// why and leave its target as describe saw it before. read(text, target, err)
/// makes its own target; answers the number of failed reads.
template <class Target, class Read, class Describe>
int fuzzedReadFailures(const std::string& good, unsigned seed, int count, Target target, Read read,
                       Describe describe) {
  std::mt19937 rng(seed);
  int failures = 0;
  for (int i = 0; i < count; ++i) {
    std::string text = i % 3 ? good : std::string();
    for (int j = i % 3 ? 1 + static_cast<int>(rng() % 4) : 0; j > 0 && !text.empty(); --j) {
      const std::size_t at = rng() % text.size();
      if (rng() % 3 == 0) text[at] = static_cast<char>(rng());
      else if (rng() % 2) text.erase(at, 1 + rng() % 20);
      else text.insert(at, 1, "{}\"\\#\n-9x"[rng() % 10]);
    }
    for (int j = i % 3 ? 0 : static_cast<int>(rng() % 300); j > 0; --j) text += static_cast<char>(rng());
    auto g = target();
    const std::string before = describe(*g);
    KWFileError err;
    if (!read(text, *g, err)) {
      ++failures;
      EXPECT_EQ(describe(*g), before) << text;
      EXPECT_FALSE(err.message.empty());
    }
  }
  return failures;
}

}  // namespace kwfiles

#endif
