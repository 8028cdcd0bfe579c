// Multi-edges and loops in the base pipeline.
//
// Before a component is placed, the edges joining the same two nodes (in either
// direction while the graph is undirected) are gathered into one bundle: the
// style picks a representative that stays in the graph and the others wait,
// detached, in its multi-edge list. Loops are taken out of the graph. After the
// placement the loops come back and are drawn beside their node, and each
// bundle's members come back with the representative's path, spread apart by
// offsets across the representative's direction (loops are nested instead).
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "host/kwbgraph.h"

namespace {
struct PairHash {
  size_t operator()(const std::pair<const void*, const void*>& p) const {
    return std::hash<const void*>()(p.first) * 31u ^ std::hash<const void*>()(p.second);
  }
};

/// Distance between the members of a bundle: a quarter of the smaller end
/// node's smaller side, at least 10 units. The representative keeps the middle;
/// the other members go to alternate sides at 1, 1, 2, 2, 3 ... spacings, each
/// with the representative's path moved across its direction (a straight one
/// gets two bends, at a quarter and three quarters of the way or nearer the
/// middle, always outside both end nodes, and a wider offset where the end
/// nodes leave no room for that; see moveMultiEdgePath). Loops are
/// nested instead, each member one spacing larger than the one before.
long bundleSpacing(const KWDEdge* e) {
  long a = std::min(e->pFromNode()->ntWidth(), e->pFromNode()->ntHeight());
  long b = std::min(e->pToNode()->ntWidth(), e->pToNode()->ntHeight());
  return std::max(10L, std::min(a, b) / 4);
}

double diagonal(const KWDNode* n) {
  const double w = static_cast<double>(n->ntWidth()), h = static_cast<double>(n->ntHeight());
  return std::sqrt(w * w + h * h);
}

/// The part [lo, hi] of the line a + t·u + o that lies in n's box grown by
/// one unit (lo > hi when none does).
void withinBox(const KWDNode* n, double ax, double ay, double ux, double uy, double ox, double oy, double& lo,
               double& hi) {
  lo = -1e300;
  hi = 1e300;
  const double c[2] = {static_cast<double>(n->ntX()), static_cast<double>(n->ntY())};
  const double half[2] = {0.5 * static_cast<double>(n->ntWidth()) + 1.0, 0.5 * static_cast<double>(n->ntHeight()) + 1.0};
  const double p[2] = {ax + ox, ay + oy}, u[2] = {ux, uy};
  for (int i = 0; i < 2; ++i) {
    if (u[i] == 0.0) {
      if (std::fabs(p[i] - c[i]) > half[i]) lo = 1.0, hi = 0.0;
      continue;
    }
    double t0 = (c[i] - half[i] - p[i]) / u[i], t1 = (c[i] + half[i] - p[i]) / u[i];
    if (t0 > t1) std::swap(t0, t1);
    lo = std::max(lo, t0);
    hi = std::min(hi, t1);
  }
}

/// Moves the bends' places t1 (near from) and t2 (near to) along the line out
/// of the end nodes' boxes; answers false when no two such places are left in
/// order between the nodes.
bool bendsOutside(const KWDNode* from, const KWDNode* to, double ax, double ay, double ux, double uy, double ox,
                  double oy, double& t1, double& t2) {
  double lo = 0.0, hi = 0.0;
  withinBox(from, ax, ay, ux, uy, ox, oy, lo, hi);
  if (lo <= hi && t1 >= lo && t1 <= hi) t1 = hi + 1e-3;
  withinBox(to, ax, ay, ux, uy, ox, oy, lo, hi);
  if (lo <= hi && t2 >= lo && t2 <= hi) t2 = lo - 1e-3;
  if (!(t1 < t2)) return false;
  // Rounded to whole units the bends must still be outside; one unit of
  // margin was kept in the boxes.
  withinBox(from, ax, ay, ux, uy, ox, oy, lo, hi);
  if (lo <= hi && t2 >= lo && t2 <= hi) return false;
  withinBox(to, ax, ay, ux, uy, ox, oy, lo, hi);
  return !(lo <= hi && t1 >= lo && t1 <= hi);
}
}  // namespace

void KWBGraph::preprocessMultiEdges() {
  reps_.clear();
  KWDGraph* g = pOwnerGraph();
  if (!g) return;
  bool undirected = g->undirected() != 0;
  std::unordered_map<std::pair<const void*, const void*>, size_t, PairHash> groupOf;
  std::vector<std::vector<KWDEdge*>> groups;
  for (KWDEdgeIter it(g); it; ++it) {
    KWDEdge* e = it.pEdge();
    const void* a = e->pFromNode();
    const void* b = e->pToNode();
    if (undirected && std::less<const void*>()(b, a)) std::swap(a, b);
    auto key = std::make_pair(a, b);
    auto f = groupOf.find(key);
    if (f == groupOf.end()) {
      groupOf.emplace(key, groups.size());
      groups.push_back({e});
    } else {
      groups[f->second].push_back(e);
    }
  }
  for (std::vector<KWDEdge*>& grp : groups) {
    if (grp.size() < 2) continue;
    KWDEdgeDList bundle;
    for (KWDEdge* e : grp) if (suitableForMultiEdgeBundle(e)) bundle.appendEdge(e);
    if (bundle.length() < 2 || numberOfBundles(&bundle) < 1) continue;
    preprocessAggregateMultiEdges(&bundle);
    for (KWDEdgeDListIter it(bundle); it; ++it) {
      KWBEdge* x = edgeExt(it.pEdge());
      if (x && x->hasMultiEdgeList() && x->pMultiEdgeList()->length() > 0) {
        reps_.push_back(it.pEdge());
        break;
      }
    }
  }
}

int KWBGraph::suitableForMultiEdgeBundle(KWDEdge* edge) { return edge != nullptr; }

long KWBGraph::numberOfBundles(KWDEdgeDList*) { return 1; }

void KWBGraph::preprocessAggregateMultiEdges(KWDEdgeDList* bundle) {
  if (!bundle || bundle->length() < 2) return;
  KWDEdge* rep = static_cast<KWDEdge*>(bundle->pFirstCell()->pObject());
  KWBEdge* x = edgeExt(rep);
  if (!x) return;
  for (KWDListCell* c = bundle->pFirstCell()->pNextCell(); c; c = c->pNextCell()) {
    KWDEdge* e = static_cast<KWDEdge*>(c->pObject());
    pOwnerGraph()->removeEdge(e);
    x->pMultiEdgeList()->appendEdge(e);
  }
}

KWDEdge* KWBGraph::postprocessAggregateMultiEdge(KWDEdge* rep) { return rep; }

void KWBGraph::postprocessMultiEdges() {
  KWDGraph* g = pOwnerGraph();
  std::vector<KWDEdge*> reps;
  reps.swap(reps_);
  for (KWDEdge* rep : reps) {
    KWBEdge* rx = edgeExt(rep);
    if (!rx || !rx->hasMultiEdgeList()) continue;
    postprocessAggregateMultiEdge(rep);
    if (!rx->hasMultiEdgeList()) continue;  // the style dissolved the bundle itself
    std::vector<KWPoint> path = rep->bendPoints();
    long s = bundleSpacing(rep);
    double dx = static_cast<double>(rep->pToNode()->ntX() - rep->pFromNode()->ntX());
    double dy = static_cast<double>(rep->pToNode()->ntY() - rep->pFromNode()->ntY());
    double len = std::sqrt(dx * dx + dy * dy);
    double nx = len > 0.0 ? -dy / len : 0.0, ny = len > 0.0 ? dx / len : 1.0;
    long j = 0;
    for (KWDEdgeDListIter it(rx->pMultiEdgeList()); it; ++it, ++j) {
      KWDEdge* m = it.pEdge();
      g->insertEdge(m, m->pFromNode(), m->pToNode());
      m->removeAllBends();
      bool sameWay = m->pFromNode() == rep->pFromNode();
      if (sameWay) for (const KWPoint& p : path) m->ntAppendBend(p);
      else for (auto p = path.rbegin(); p != path.rend(); ++p) m->ntAppendBend(*p);
      long k = (j / 2 + 1) * s * ((j % 2 == 0) ? 1 : -1);
      long ox = static_cast<long>(nx * static_cast<double>(k));
      long oy = static_cast<long>(ny * static_cast<double>(k));
      if (rep->reflexive()) { ox = (j + 1) * s; oy = (j + 1) * s; }
      moveMultiEdgePath(m, rep, ox, oy);
    }
    rx->deleteMultiEdgeList();
  }
}

void KWBGraph::moveMultiEdgePath(KWDEdge* edge, KWDEdge* other, long dx, long dy) {
  if (!edge) return;
  if (other && other->reflexive()) {
    if (KWBEdge* x = edgeExt(edge)) x->moveReflexivePath(dx, dy);
    return;
  }
  if (edge->numberOfBends() > 0) {
    edge->moveBends(dx, dy);
    return;
  }
  // A straight member becomes a parallel line: two bends, at a quarter and
  // three quarters of the way moved by the offset, each pushed along the line
  // out of the end node it would fall in. Where the nodes are too close for
  // that, the offset grows until the parallel line clears both nodes.
  const KWDNode* from = edge->pFromNode();
  const KWDNode* to = edge->pToNode();
  const double ax = static_cast<double>(from->ntX()), ay = static_cast<double>(from->ntY());
  const double ux = static_cast<double>(to->ntX()) - ax, uy = static_cast<double>(to->ntY()) - ay;
  double ox = static_cast<double>(dx), oy = static_cast<double>(dy);
  double t1 = 0.25, t2 = 0.75;
  if (!bendsOutside(from, to, ax, ay, ux, uy, ox, oy, t1, t2)) {
    const double off = std::sqrt(ox * ox + oy * oy);
    const double clear = 0.5 * std::max(diagonal(from), diagonal(to)) + 2.0;
    const double f = off > 0.0 ? (off + clear) / off : 0.0;
    ox = ox * f;
    oy = oy * f;
    t1 = 0.25;
    t2 = 0.75;
  }
  edge->ntAppendBend(KWPoint(std::lround(ax + t1 * ux + ox), std::lround(ay + t1 * uy + oy)));
  edge->ntAppendBend(KWPoint(std::lround(ax + t2 * ux + ox), std::lround(ay + t2 * uy + oy)));
}

void KWBGraph::preprocessReflexiveEdges() {
  loops_.clear();
  KWDGraph* g = pOwnerGraph();
  if (!g) return;
  for (KWDEdgeIter it(g); it; ++it)
    if (it.pEdge()->reflexive()) loops_.push_back(it.pEdge());
  for (KWDEdge* e : loops_) g->removeEdge(e);
}

void KWBGraph::postprocessReflexiveEdges() {
  std::vector<KWDEdge*> loops;
  loops.swap(loops_);
  for (KWDEdge* e : loops) postprocessReflexiveEdge(e);
}

void KWBGraph::postprocessReflexiveEdge(KWDEdge* edge) {
  if (!edge || !pOwnerGraph()) return;
  if (edge->pOwnerGraph() != pOwnerGraph()) pOwnerGraph()->insertEdge(edge, edge->pFromNode(), edge->pToNode());
}
