// A spring embedder after Eades that moves a few nodes among fixed ones.
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "host/kweades.h"

namespace {
const double kC1 = 2.0;     // spring strength
const double kC3 = 1.0;     // repulsion strength
const double kC4 = 0.1;     // step factor
const double kMinDist = 0.1;  // in units of L
const double kRange = 3.0;    // repulsion reaches this far, in units of L
const double kTwoPi = 6.283185307179586;

struct Vec {
  double x = 0.0, y = 0.0;
};

/// The path points beside a movable node: for a bend its neighbours along its
/// edge's path, for a drawing node the nearest path point of each of its edges.
std::vector<KWGNode*> springNeighbours(KWGNode* m, const KWDGraph* graph) {
  std::vector<KWGNode*> out;
  if (KWPNode* b = dynamic_cast<KWPNode*>(m)) {
    KWDEdge* e = b->pOwnerEdge();
    if (!e) return out;
    for (KWDListCell* c = e->pathEdgeList().pFirstCell(); c; c = c->pNextCell()) {
      KWPEdge* p = static_cast<KWPEdge*>(c->pObject());
      if (p->pToNode() == m && p->pFromNode()) out.push_back(p->pFromNode());
      if (p->pFromNode() == m && p->pToNode()) out.push_back(p->pToNode());
    }
    return out;
  }
  auto add = [&](KWEdge* edge, bool outgoing) {
    if (edge->pOwnerGraph() != graph) return;
    KWDEdge* e = static_cast<KWDEdge*>(edge);
    const KWDList& pieces = e->pathEdgeList();
    if (pieces.isEmpty()) return;
    KWPEdge* p = static_cast<KWPEdge*>((outgoing ? pieces.pFirstCell() : pieces.pLastCell())->pObject());
    KWGNode* n = outgoing ? p->pToNode() : p->pFromNode();
    if (n && n != m) out.push_back(n);
  };
  for (KWEdge* e : m->outEdges()) add(e, true);
  for (KWEdge* e : m->inEdges()) add(e, false);
  return out;
}
}  // namespace

KWEadesAlgorithm::KWEadesAlgorithm(KWDGraph* graph, KWGNodeDList* nodeList, KWGNodeDList* movable, long length,
                                   int maxIterations, int tolerance)
    : graph_(graph), nodes_(nodeList), movable_(movable), length_(length), maxIterations_(maxIterations),
      tolerance_(tolerance) {}

void KWEadesAlgorithm::run() {
  iterations_ = 0;
  if (!movable_ || movable_->isEmpty()) return;
  if (graph_) graph_->layoutCheckpoint();
  const double L = static_cast<double>(naturalLength());
  const long limit = maxIterations_ > 0 ? maxIterations_ : kDefaultIterations;
  const double tolerance = tolerance_ > 0 ? static_cast<double>(tolerance_) : 0.5;

  std::vector<KWGNode*> mov;
  std::unordered_map<const KWGNode*, size_t> movIndex;
  for (KWDListCell* c = movable_->pFirstCell(); c; c = c->pNextCell()) {
    KWGNode* m = static_cast<KWGNode*>(c->pObject());
    if (!m || movIndex.count(m)) continue;
    movIndex[m] = mov.size();
    mov.push_back(m);
  }
  std::vector<KWGNode*> fixed;
  if (nodes_)
    for (KWDListCell* c = nodes_->pFirstCell(); c; c = c->pNextCell()) {
      KWGNode* n = static_cast<KWGNode*>(c->pObject());
      if (n && !movIndex.count(n)) fixed.push_back(n);
    }
  std::vector<KWRect> rects(fixed.size());
  for (size_t i = 0; i < fixed.size(); ++i) fixed[i]->ntBoundingRect(rects[i]);

  std::vector<Vec> pos(mov.size());
  for (size_t i = 0; i < mov.size(); ++i) {
    pos[i].x = static_cast<double>(mov[i]->ntX());
    pos[i].y = static_cast<double>(mov[i]->ntY());
  }
  std::vector<std::vector<KWGNode*>> neighbours(mov.size());
  for (size_t i = 0; i < mov.size(); ++i) neighbours[i] = springNeighbours(mov[i], graph_);
  auto isNeighbour = [&](size_t i, const KWGNode* n) {
    return std::find(neighbours[i].begin(), neighbours[i].end(), n) != neighbours[i].end();
  };
  auto where = [&](const KWGNode* n) {
    auto f = movIndex.find(n);
    if (f != movIndex.end()) return pos[f->second];
    Vec v;
    v.x = static_cast<double>(n->ntX());
    v.y = static_cast<double>(n->ntY());
    return v;
  };
  // A direction for two points that coincide: fixed per movable node.
  auto fallback = [&](size_t i) {
    Vec v;
    double a = kTwoPi * static_cast<double>(i) / static_cast<double>(mov.size());
    v.x = std::cos(a);
    v.y = std::sin(a);
    return v;
  };

  std::vector<Vec> force(mov.size());
  for (long it = 0; it < limit; ++it) {
    for (size_t i = 0; i < mov.size(); ++i) {
      Vec f;
      const Vec p = pos[i];
      // Springs.
      for (const KWGNode* n : neighbours[i]) {
        Vec q = where(n);
        double dx = q.x - p.x, dy = q.y - p.y;
        double d = std::sqrt(dx * dx + dy * dy);
        if (d <= 0.0) continue;
        double u = std::max(d / L, kMinDist);
        double s = kC1 * std::log(u);
        f.x += s * dx / d;
        f.y += s * dy / d;
      }
      // Repulsion from the fixed nodes, measured to their rectangles.
      for (size_t k = 0; k < fixed.size(); ++k) {
        if (isNeighbour(i, fixed[k])) continue;
        const KWRect& r = rects[k];
        double nx = std::min(std::max(p.x, static_cast<double>(r.left())), static_cast<double>(r.right()));
        double ny = std::min(std::max(p.y, static_cast<double>(r.bottom())), static_cast<double>(r.top()));
        double dx = p.x - nx, dy = p.y - ny;
        double d = std::sqrt(dx * dx + dy * dy);
        Vec dir;
        if (d > 0.0) {
          dir.x = dx / d;
          dir.y = dy / d;
        } else {
          // Inside (or on) the rectangle: away from its centre.
          double cx = p.x - (static_cast<double>(r.left()) + static_cast<double>(r.width()) / 2.0);
          double cy = p.y - (static_cast<double>(r.bottom()) + static_cast<double>(r.height()) / 2.0);
          double c = std::sqrt(cx * cx + cy * cy);
          if (c > 0.0) {
            dir.x = cx / c;
            dir.y = cy / c;
          } else {
            dir = fallback(i);
          }
        }
        if (d > kRange * L) continue;
        double u = std::max(d / L, kMinDist);
        double s = kC3 / (u * u);
        f.x += s * dir.x;
        f.y += s * dir.y;
      }
      // Repulsion among the movable nodes.
      for (size_t j = 0; j < mov.size(); ++j) {
        if (j == i || isNeighbour(i, mov[j])) continue;
        double dx = p.x - pos[j].x, dy = p.y - pos[j].y;
        double d = std::sqrt(dx * dx + dy * dy);
        Vec dir;
        if (d > 0.0) {
          dir.x = dx / d;
          dir.y = dy / d;
        } else {
          dir = fallback(i);
        }
        double u = std::max(d / L, kMinDist);
        double s = kC3 / (u * u);
        f.x += s * dir.x;
        f.y += s * dir.y;
      }
      force[i] = f;
    }
    double largest = 0.0;
    for (size_t i = 0; i < mov.size(); ++i) {
      double mx = kC4 * force[i].x * L, my = kC4 * force[i].y * L;
      double m = std::sqrt(mx * mx + my * my);
      if (!(m == m)) continue;  // never move by a NaN
      if (m > L) {
        mx = mx * L / m;
        my = my * L / m;
        m = L;
      }
      pos[i].x += mx;
      pos[i].y += my;
      largest = std::max(largest, m);
    }
    ++iterations_;
    if (largest <= tolerance) break;
  }
  for (size_t i = 0; i < mov.size(); ++i) mov[i]->ntMoveTo(std::lround(pos[i].x), std::lround(pos[i].y));
  if (graph_) graph_->layoutCheckpoint();
}
