// One checker of what every drawing must satisfy, for the tests (which expect
// an empty answer) and the fuzz targets (which abort on a non-empty one):
// nothing lost or rewired, edge paths running through their own bends, every
// coordinate within a bound, pinned nodes where they were put; and, where a
// test asks for them, centres apart, boxes apart, straight edges clear of
// other nodes, routed arcs whole and self-loops drawn.
#ifndef KW_TEST_SUPPORT_LAYOUT_CHECK_H
#define KW_TEST_SUPPORT_LAYOUT_CHECK_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine_access.h"

namespace kwtest {

/// What a graph holds: its nodes in order, its edges in order with their ends.
struct Contents {
  std::vector<KWDNode*> nodes;
  std::vector<KWDEdge*> edges;
  std::vector<std::pair<KWDNode*, KWDNode*>> ends;
  explicit Contents(const KWDGraph& g) {
    for (KWDNodeIter it(&g); it; ++it) nodes.push_back(it.pNode());
    for (KWDEdgeIter it(&g); it; ++it) {
      edges.push_back(it.pEdge());
      ends.emplace_back(it.pEdge()->pFromNode(), it.pEdge()->pToNode());
    }
  }
};

/// A node that must keep its place.
struct Pin {
  KWDNode* node;
  long x, y;
};
/// Pins n at (x, y) and returns the pin to check afterwards.
inline Pin pinAt(KWDNode* n, long x, long y) {
  n->ntMoveTo(x, y);
  n->pSTailor()->constrained(1);
  return {n, x, y};
}

/// Node centres and bends, in list order.
inline std::vector<long> drawing(const KWDGraph& g) {
  std::vector<long> d;
  for (KWDNodeIter it(&g); it; ++it) {
    d.push_back(it.pNode()->ntX());
    d.push_back(it.pNode()->ntY());
  }
  for (KWDEdgeIter it(&g); it; ++it)
    for (const KWPoint& p : it.pEdge()->bendPoints()) {
      d.push_back(p.x());
      d.push_back(p.y());
    }
  return d;
}

/// Whether the segment from (ax, ay) to (bx, by) meets c's box: the
/// segment's parameter range clipped to the box's slab on each axis.
inline bool segmentMeetsBox(double ax, double ay, double bx, double by, const KWDNode* c) {
  const double h[2] = {0.5 * static_cast<double>(c->ntWidth()), 0.5 * static_cast<double>(c->ntHeight())};
  const double d[2] = {bx - ax, by - ay};
  const double o[2] = {ax - static_cast<double>(c->ntX()), ay - static_cast<double>(c->ntY())};
  double lo = 0.0, hi = 1.0;
  for (int i = 0; i < 2; ++i) {
    if (d[i] == 0.0) {
      if (std::fabs(o[i]) > h[i]) return false;
      continue;
    }
    double t0 = (-h[i] - o[i]) / d[i], t1 = (h[i] - o[i]) / d[i];
    if (t0 > t1) std::swap(t0, t1);
    lo = std::max(lo, t0);
    hi = std::min(hi, t1);
  }
  return lo <= hi;
}

/// Pairs of node boxes that overlap (boxes that merely touch do not count).
inline long overlaps(const std::vector<KWDNode*>& v) {
  long n = 0;
  for (size_t i = 0; i < v.size(); ++i)
    for (size_t j = i + 1; j < v.size(); ++j)
      if (2 * std::labs(v[i]->ntX() - v[j]->ntX()) < v[i]->ntWidth() + v[j]->ntWidth() &&
          2 * std::labs(v[i]->ntY() - v[j]->ntY()) < v[i]->ntHeight() + v[j]->ntHeight())
        ++n;
  return n;
}

/// What to check beyond paths and the coordinate bound.
struct LayoutChecks {
  const Contents* before = nullptr;  ///< nothing added, lost, reordered or rewired
  double bound = 1e9;                ///< |coordinate| and node sizes at most this
  std::vector<Pin> pins;             ///< nodes that must not have moved
  bool distinctCentres = false;      ///< no two nodes on one point
  bool boxesApart = false;           ///< no two node boxes overlap
  bool straightEdgesClear = false;   ///< no straight edge passes through a node other than its ends
  bool wholeArcs = false;            ///< routing adds bends three at a time
  bool loopsDrawn = false;           ///< every self-loop has at least three bends
};

/// Everything wrong with g's drawing, one line per fault; empty when it is sound.
inline std::string checkLayoutInvariants(const KWDGraph& g, const LayoutChecks& c = LayoutChecks()) {
  std::ostringstream out;
  const Contents now(g);
  if (c.before) {
    if (now.nodes != c.before->nodes) out << "the node list changed\n";
    if (now.edges != c.before->edges) out << "an edge was added, lost, replaced or moved\n";
    else if (now.ends != c.before->ends) out << "an edge lost an end node\n";
  }
  auto far = [&c](long v) { return std::fabs(static_cast<double>(v)) > c.bound; };
  for (size_t i = 0; i < now.nodes.size(); ++i) {
    const KWDNode* n = now.nodes[i];
    if (n->pOwnerGraph() != &g) out << "node " << i << " belongs to another graph\n";
    if (far(n->ntX()) || far(n->ntY())) out << "node " << i << " at (" << n->ntX() << ", " << n->ntY() << ") is out of bounds\n";
    if (n->ntWidth() < 0 || n->ntHeight() < 0 || far(n->ntWidth()) || far(n->ntHeight()))
      out << "node " << i << " has size " << n->ntWidth() << "x" << n->ntHeight() << "\n";
    if (c.distinctCentres)
      for (size_t j = 0; j < i; ++j)
        if (now.nodes[j]->ntX() == n->ntX() && now.nodes[j]->ntY() == n->ntY())
          out << "nodes " << j << " and " << i << " share a point\n";
  }
  if (c.boxesApart && overlaps(now.nodes) > 0) out << overlaps(now.nodes) << " pairs of node boxes overlap\n";
  for (const Pin& p : c.pins)
    if (p.node->ntX() != p.x || p.node->ntY() != p.y) out << "a pinned node moved from (" << p.x << ", " << p.y << ")\n";
  for (size_t i = 0; i < now.edges.size(); ++i) {
    const KWDEdge* e = now.edges[i];
    if (e->pOwnerGraph() != &g || !e->attached()) out << "edge " << i << " belongs to another graph or is detached\n";
    // The pieces, one more than the bends, run from the source through the bends to the target.
    bool whole = e->pathEdgeList().length() == e->bendList().length() + 1;
    const KWGNode* at = e->pFromNode();
    KWDListIter b(e->bendList());
    for (KWDListIter p(e->pathEdgeList()); p && whole; ++p) {
      const KWPEdge* pe = static_cast<const KWPEdge*>(p.pObject());
      whole = pe->pOwnerEdge() == e && pe->pFromNode() == at;
      at = b ? static_cast<const KWGNode*>(b.pObject()) : e->pToNode();
      if (b) ++b;
      whole = whole && pe->pToNode() == at;
    }
    if (!whole || at != e->pToNode() || b) out << "edge " << i << ": the path does not run through its bends\n";
    for (const KWPoint& p : e->bendPoints())
      if (far(p.x()) || far(p.y())) out << "edge " << i << " has a bend out of bounds\n";
    if (c.wholeArcs && !e->reflexive() && e->numberOfBends() % 3 != 0)
      out << "edge " << i << " has " << e->numberOfBends() << " bends, not whole arcs\n";
    if (c.loopsDrawn && e->reflexive() && e->numberOfBends() < 3) out << "self-loop " << i << " is not drawn\n";
    if (c.straightEdgesClear && e->numberOfBends() == 0 && !e->reflexive()) {
      const KWDNode *s = e->pFromNode(), *t = e->pToNode();
      for (size_t k = 0; k < now.nodes.size(); ++k)
        if (now.nodes[k] != s && now.nodes[k] != t &&
            segmentMeetsBox(static_cast<double>(s->ntX()), static_cast<double>(s->ntY()), static_cast<double>(t->ntX()),
                            static_cast<double>(t->ntY()), now.nodes[k]))
          out << "edge " << i << " passes through node " << k << "\n";
    }
  }
  return out.str();
}

/// Lays g out with the symmetric style and checks it against what it held before.
inline std::string layOutAndCheck(KWDGraph& g, LayoutChecks c = LayoutChecks()) {
  const Contents before(g);
  if (!c.before) c.before = &before;
  const KWErrorCodeEnum rc = layoutGraph(&g, KWSymmetricLayoutStyle);
  if (rc != KWNoError) return "layout failed with status " + std::to_string(static_cast<int>(rc)) + "\n";
  return checkLayoutInvariants(g, c);
}

}  // namespace kwtest

#endif
