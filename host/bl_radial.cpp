// Radial drawing of a tree around its root.
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "host/kwradial.h"

namespace {
const double kTwoPi = 6.283185307179586;
// Radii beyond this are not drawable in long coordinates anyway.
const double kMaxRadius = 1.0e12;

double halfDiagonal(const KWGNode* n) {
  double w = static_cast<double>(n->ntWidth());
  double h = static_cast<double>(n->ntHeight());
  return std::sqrt(w * w + h * h) / 2.0;
}
}  // namespace

KWRadialDrawingAlgorithm::KWRadialDrawingAlgorithm(KWDGraph* graph, KWNode* root, KWGNodeDList* nodeList,
                                                   KWGEdgeDList* edgeList, long spacing, long x, long y,
                                                   double angle, double width)
    : graph_(graph), root_(root), nodes_(nodeList), edges_(edgeList), spacing_(spacing), x_(x), y_(y),
      angle_(angle), width_(width) {}

void KWRadialDrawingAlgorithm::run() {
  radii_.clear();
  KWGNode* root = dynamic_cast<KWGNode*>(root_);
  if (!graph_ || !root) return;

  // Which nodes and edges make up the tree.
  std::unordered_set<const KWNode*> inSet;
  if (nodes_) {
    for (KWDListCell* c = nodes_->pFirstCell(); c; c = c->pNextCell()) inSet.insert(static_cast<KWNode*>(c->pObject()));
  } else {
    for (KWDNodeIter it(graph_); it; ++it) inSet.insert(it.pNode());
  }
  inSet.insert(root);
  std::unordered_set<const KWEdge*> edgeSet;
  if (edges_)
    for (KWDListCell* c = edges_->pFirstCell(); c; c = c->pNextCell()) edgeSet.insert(static_cast<KWEdge*>(c->pObject()));
  auto usable = [&](const KWEdge* e) {
    return edges_ ? edgeSet.count(e) != 0 : e->pOwnerGraph() == graph_;
  };

  // Breadth-first tree from the root: parents come before their children, and
  // the nodes of each depth come in the order of their wedges.
  std::vector<KWGNode*> order{root};
  std::vector<long> parent{-1}, depth{0};
  std::unordered_map<const KWNode*, size_t> seen{{root, 0}};
  for (size_t h = 0; h < order.size(); ++h) {
    KWGNode* n = order[h];
    auto visit = [&](KWEdge* e, KWNode* other) {
      if (!usable(e) || !inSet.count(other) || seen.count(other)) return;
      KWGNode* o = dynamic_cast<KWGNode*>(other);
      if (!o) return;
      seen[other] = order.size();
      order.push_back(o);
      parent.push_back(static_cast<long>(h));
      depth.push_back(depth[h] + 1);
    };
    for (KWEdge* e : n->outEdges()) visit(e, e->pToNode());
    for (KWEdge* e : n->inEdges()) visit(e, e->pFromNode());
  }
  const size_t n = order.size();

  // Leaves below each node, children in order.
  std::vector<double> leaves(n, 0.0);
  std::vector<std::vector<size_t>> children(n);
  for (size_t i = 1; i < n; ++i) children[parent[i]].push_back(i);
  for (size_t i = n; i-- > 0;) {
    if (children[i].empty()) leaves[i] = 1.0;
    if (parent[i] >= 0) leaves[parent[i]] += leaves[i];
  }

  // Wedges and directions.
  double width = std::isfinite(width_) ? std::min(std::max(width_, 0.0), kTwoPi) : 0.0;
  double angle = std::isfinite(angle_) ? angle_ : 0.0;
  bool fullCircle = width >= kTwoPi;
  std::vector<double> wedgeStart(n, 0.0), wedgeWidth(n, 0.0), theta(n, angle);
  wedgeStart[0] = angle - width / 2.0;
  wedgeWidth[0] = width;
  for (size_t i = 0; i < n; ++i) {
    double start = wedgeStart[i];
    for (size_t c : children[i]) {
      double w = wedgeWidth[i] * leaves[c] / leaves[i];
      wedgeStart[c] = start;
      wedgeWidth[c] = w;
      theta[c] = start + w / 2.0;
      start += w;
    }
  }

  // Ring radii.
  long maxDepth = 0;
  for (size_t i = 0; i < n; ++i) maxDepth = std::max(maxDepth, depth[i]);
  std::vector<std::vector<size_t>> ring(static_cast<size_t>(maxDepth) + 1);
  for (size_t i = 0; i < n; ++i) ring[static_cast<size_t>(depth[i])].push_back(i);
  double spacing = static_cast<double>(std::max(spacing_, 0L));
  radii_.assign(ring.size(), 0.0);
  std::vector<double> ringHalf(ring.size(), 0.0);
  for (size_t d = 0; d < ring.size(); ++d)
    for (size_t i : ring[d]) ringHalf[d] = std::max(ringHalf[d], halfDiagonal(order[i]));
  for (size_t d = 1; d < ring.size(); ++d) {
    double r = radii_[d - 1] + std::max(spacing, ringHalf[d - 1] + ringHalf[d]);
    // Neighbours on the ring must not overlap: the chord between two centres
    // at angular distance δ is 2·R·sin(δ/2).
    const std::vector<size_t>& rn = ring[d];
    double cap = r + spacing;
    for (size_t i : rn) cap += 2.0 * halfDiagonal(order[i]);
    size_t pairs = fullCircle && rn.size() > 1 ? rn.size() : (rn.empty() ? 0 : rn.size() - 1);
    for (size_t k = 0; k < pairs; ++k) {
      size_t a = rn[k], b = rn[(k + 1) % rn.size()];
      double delta = k + 1 < rn.size() ? theta[b] - theta[a] : theta[b] + kTwoPi - theta[a];
      double need = halfDiagonal(order[a]) + halfDiagonal(order[b]);
      if (need <= 0.0) continue;
      double s = std::sin(std::min(delta, kTwoPi - delta) / 2.0);
      double fit = s > 0.0 ? need / (2.0 * s) : cap;
      r = std::max(r, std::min(fit, cap));
    }
    radii_[d] = std::min(r, kMaxRadius);
  }

  for (size_t i = 1; i < n; ++i) {
    double r = radii_[static_cast<size_t>(depth[i])];
    long px = x_ + static_cast<long>(r * std::cos(theta[i]));
    long py = y_ + static_cast<long>(r * std::sin(theta[i]));
    order[i]->ntMoveTo(px, py);
  }
}
