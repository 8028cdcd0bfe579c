// KWSGraph: the energy descent.
//
// The energy of a component is Σ ½·k(i,j)·(|pi − pj| − l(i,j))² over all node
// pairs, k and l from the spring matrices. The descent moves one node at a
// time, always the unconstrained node with the largest gradient, by Newton
// steps on integer coordinates, and keeps every other node's gradient up to
// date by correcting only the one term the move changed. It works on the
// nodes' scratch points only; positionFinal copies them in and out.
//
// Every sum runs over allNodeDList in list order so that results are the same
// on every run and platform.
#include <algorithm>
#include <cmath>
#include <limits>

#include "data/kwsgrli.h"
#include "data/kwsndli.h"
#include "data/kwtwodar.h"
#include "layout/kwsgraph.h"
#include "layout/kwsnode.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

namespace {

/// Ceilings on the descent's limits. Settings are stored as given, but a
/// layout honours maxNodesMovedMultiplier only up to 200 and
/// maxNodeIterations only up to 100 (10 and 5 times their defaults): at most
/// 200·n + 1 cycles of at most 100 Newton steps, about 40 000·n² spring
/// terms in all, 50 times the worst case of the defaults, so that no setting
/// can make a layout run for days.
const long kMaxNodesMovedMultiplier = 200;
const long kMaxNodeIterations = 100;

/// The largest Newton step taken in one coordinate. A nearly singular Hessian
/// can ask for an arbitrarily long step; beyond this bound it carries no
/// information and would only push coordinates toward overflow.
const double kMaxStep = 1.0e9;

KWSNodeLayInfo* nodeInfo(const KWGNode* n) {
  KWSNode* s = n ? n->pSNode() : nullptr;
  return s ? s->pSLayInfo() : nullptr;
}

bool isConstrained(const KWDNode* n) {
  const KWSNodeTailor* t = n->pSTailor();
  return t && t->constrained();
}

/// A step component truncated toward zero; not-a-number gives 0, huge values
/// are held at ±kMaxStep.
long truncStep(double d) {
  if (!(d == d)) return 0;
  if (d > kMaxStep) d = kMaxStep;
  if (d < -kMaxStep) d = -kMaxStep;
  return static_cast<long>(d);
}

/// x truncated toward zero within the range of long (NaN gives 0).
long truncToLong(double x) {
  if (!(x == x)) return 0;
  const double lim = 9.0e18;
  if (x >= lim) return static_cast<long>(lim);
  if (x <= -lim) return -static_cast<long>(lim);
  return static_cast<long>(x);
}

void clearGradient(KWSNodeLayInfo* m) {
  m->xdelta(0.0);
  m->ydelta(0.0);
  m->delta(0.0);
}

}  // namespace

void KWSGraph::calcDelta(KWDNode* m) {
  KWSNodeLayInfo* mi = nodeInfo(m);
  KWSGraphLayInfo* li = pSLayInfo();
  if (!mi || !li) return;
  if (isConstrained(m)) {
    clearGradient(mi);
    return;
  }
  double gx = 0.0, gy = 0.0;
  const int i = mi->sindex();
  const long xm = mi->pPoint()->x(), ym = mi->pPoint()->y();
  const KWOneDArray& kRow = li->springStrength()[i];
  const KWOneDArray& lRow = li->springLength()[i];
  for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it) {
    KWDNode* v = it.pNode();
    if (v == m) continue;
    KWSNodeLayInfo* vi = nodeInfo(v);
    if (!vi) continue;
    double dx = static_cast<double>(xm - vi->pPoint()->x());
    double dy = static_cast<double>(ym - vi->pPoint()->y());
    double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0.0) d = 1.0;
    int j = vi->sindex();
    double k = kRow[j], l = lRow[j];
    gx = gx + k * (dx - l * dx / d);
    gy = gy + k * (dy - l * dy / d);
  }
  mi->xdelta(gx);
  mi->ydelta(gy);
  mi->delta(std::sqrt(gx * gx + gy * gy));
  if (pOwnerGraph()) pOwnerGraph()->layoutCheckpoint();
}

KWDNode* KWSGraph::calcAllDeltas() {
  KWSGraphLayInfo* li = pSLayInfo();
  if (!li) return nullptr;
  KWDNode* best = nullptr;
  double bestDelta = 0.0;
  for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it) {
    KWDNode* v = it.pNode();
    calcDelta(v);
    const KWSNodeLayInfo* vi = nodeInfo(v);
    if (!vi || isConstrained(v)) continue;
    if (!best || vi->delta() > bestDelta) {
      best = v;
      bestDelta = vi->delta();
    }
  }
  if (pOwnerGraph()) pOwnerGraph()->layoutCheckpoint();
  return best;
}

void KWSGraph::recalcDelta(KWDNode* m, KWDNode* moved, long oldX, long oldY) {
  KWSNodeLayInfo* mi = nodeInfo(m);
  const KWSNodeLayInfo* wi = nodeInfo(moved);
  KWSGraphLayInfo* li = pSLayInfo();
  if (!mi || !wi || !li) return;
  if (isConstrained(m)) {
    clearGradient(mi);
    return;
  }
  const int i = mi->sindex(), j = wi->sindex();
  const double k = li->springStrength()[i][j];
  const double l = li->springLength()[i][j];
  const long xm = mi->pPoint()->x(), ym = mi->pPoint()->y();
  double ox = static_cast<double>(xm - oldX);
  double oy = static_cast<double>(ym - oldY);
  double od = std::sqrt(ox * ox + oy * oy);
  if (od == 0.0) od = 1.0;
  double nx = static_cast<double>(xm - wi->pPoint()->x());
  double ny = static_cast<double>(ym - wi->pPoint()->y());
  double nd = std::sqrt(nx * nx + ny * ny);
  if (nd == 0.0) nd = 1.0;
  double xd = mi->xdelta(mi->xdelta() - k * (ox - l * ox / od) + k * (nx - l * nx / nd));
  double yd = mi->ydelta(mi->ydelta() - k * (oy - l * oy / od) + k * (ny - l * ny / nd));
  mi->delta(std::sqrt(xd * xd + yd * yd));
}

KWDNode* KWSGraph::recalcAllDeltas(KWDNode* moved, long oldX, long oldY) {
  KWSGraphLayInfo* li = pSLayInfo();
  if (!li) return nullptr;
  KWDNode* best = nullptr;
  double bestDelta = 0.0;
  for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it) {
    KWDNode* v = it.pNode();
    if (v == moved) calcDelta(v);
    else recalcDelta(v, moved, oldX, oldY);
    const KWSNodeLayInfo* vi = nodeInfo(v);
    if (!vi || isConstrained(v)) continue;
    if (!best || vi->delta() > bestDelta) {
      best = v;
      bestDelta = vi->delta();
    }
  }
  if (pOwnerGraph()) pOwnerGraph()->layoutCheckpoint();
  return best;
}

void KWSGraph::calcdxdy(KWDNode* m, long& dx, long& dy) {
  dx = 0;
  dy = 0;
  KWSNodeLayInfo* mi = nodeInfo(m);
  KWSGraphLayInfo* li = pSLayInfo();
  if (!mi || !li || isConstrained(m)) return;
  double gx = 0.0, gy = 0.0, hxx = 0.0, hyy = 0.0, hxy = 0.0;
  const int i = mi->sindex();
  const long xm = mi->pPoint()->x(), ym = mi->pPoint()->y();
  const KWOneDArray& kRow = li->springStrength()[i];
  const KWOneDArray& lRow = li->springLength()[i];
  for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it) {
    KWDNode* v = it.pNode();
    if (v == m) continue;
    KWSNodeLayInfo* vi = nodeInfo(v);
    if (!vi) continue;
    double ddx = static_cast<double>(xm - vi->pPoint()->x());
    double ddy = static_cast<double>(ym - vi->pPoint()->y());
    if (ddx == 0.0 && ddy == 0.0) continue;  // a node on m's point pulls nowhere
    double qx = ddx * ddx, qy = ddy * ddy;
    double q = qx + qy;
    double d = std::sqrt(q);
    double d3 = q * d;
    int j = vi->sindex();
    double k = kRow[j], l = lRow[j];
    hxx = hxx + k * (1 - l * qy / d3);
    hxy = hxy + k * (l * ddx * ddy / d3);
    gx = gx + k * (ddx - l * ddx / d);
    hyy = hyy + k * (1 - l * qx / d3);
    gy = gy + k * (ddy - l * ddy / d);
  }
  // Newton system  hxx·sx + hxy·sy = −gx,  hxy·sx + hyy·sy = −gy,  y first.
  double det = hxx * hyy - hxy * hxy;
  double sy = det != 0.0 ? (gx * hxy - hxx * gy) / det : 0.0;
  double sx = hxx != 0.0 ? (-gx - hxy * sy) / hxx : 0.0;
  dx = truncStep(sx);
  dy = truncStep(sy);
}

void KWSGraph::randomizeNodePosition(KWDNode* node, long maxRand) {
  KWSNodeLayInfo* ni = nodeInfo(node);
  KWDGraph* g = pOwnerGraph();
  if (!ni || !g) return;
  KWRect b;
  g->ntBoundingRect(b);
  double scale = maxRand > 0 ? static_cast<double>(maxRand) : 1.0;
  double fx = static_cast<double>(randomNumber()) / scale;
  double fy = static_cast<double>(randomNumber()) / scale;
  // The jump lands on a random point of the drawing's bounding rectangle.
  ni->pPoint()->moveTo(b.left() + truncToLong(static_cast<double>(b.width()) * fx),
                       b.bottom() + truncToLong(static_cast<double>(b.height()) * fy));
}

void KWSGraph::greedyDescentPositionFinal() {
  KWDGraph* g = pOwnerGraph();
  KWSGraphLayInfo* li = pSLayInfo();
  const KWSGraphTailor* t = g ? g->pSTailor() : nullptr;
  if (!g || !li || !t) return;
  const long n = li->allNodeDList().length();
  if (n < 1) return;

  stepProgress(0, 0);
  KWDNode* v = calcAllDeltas();
  const double eps = t->terminationValue();
  // maxNodesMovedMultiplier × n and maxNodeIterations, each held at its ceiling.
  const long multiplier = std::min(static_cast<long>(t->maxNodesMovedMultiplier()), kMaxNodesMovedMultiplier);
  const long maxCycles = multiplier * n;
  const long sameNodeLimit = std::min(static_cast<long>(t->maxNodeIterations()), kMaxNodeIterations);
  const long stepLimit = sameNodeLimit;
  const long maxRand = maxRandomNumber();
  long r = 0, s = 0;
  long sx = 0, sy = 0;

  while (v) {
    KWSNodeLayInfo* vi = nodeInfo(v);
    if (!vi || vi->delta() <= eps) break;
    if (r > maxCycles) break;
    if (++s > sameNodeLimit) break;
    const long ox = vi->pPoint()->x(), oy = vi->pPoint()->y();
    for (long steps = 0;;) {
      if (vi->delta() <= eps) break;
      if (++steps > stepLimit) {
        randomizeNodePosition(v, maxRand);
        calcDelta(v);
        break;
      }
      calcdxdy(v, sx, sy);
      vi->pPoint()->move(sx, sy);
      calcDelta(v);
      if (sx == 0 && sy == 0) break;
    }
    ++r;
    stepProgress(r, maxCycles + 1);
    KWDNode* prev = v;
    v = recalcAllDeltas(prev, ox, oy);
    if (v == prev) {
      if (sx == 0 && sy == 0) break;
    } else {
      s = 0;
    }
    g->layoutCheckpoint();
  }
  g->layoutCheckpoint();
}
