// KWSGraph: scaling of node sizes around the descent.
//
// Before the spring model is built, every node of the component is shrunk by a
// common integer factor f derived from the smallest node dimension m and
// shrinkagePerMil: f = shrinkagePerMil·(m − 1)/1000 + 1, held within 1 … m.
// Positions and bends are divided by f with the sizes, so that the descent
// starts from the drawing as it stands, in the shrunken units: an incremental
// run, or the pass after the trees are placed, goes on from where the nodes
// are, not from f times as far out (which, run after run, would push the
// drawing off to the coordinate limit). The descent then works in the
// shrunken units; afterwards every position is multiplied by f and the nodes
// get their sizes back; bends that edge-node avoidance placed in the shrunken
// units are stretched by the same factor, so that routed edges still go around
// the nodes they avoid. Nothing is scaled while any node of the component is
// constrained, since a pinned node's position must mean the same before and
// after the run.
#include <climits>

#include "data/kwsgrli.h"
#include "layout/kwsgraph.h"
#include "layout/kwsnode.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

namespace {

int min32(int a, int b) { return a < b ? a : b; }
int max32(int a, int b) { return a < b ? b : a; }

/// A long size as a 32-bit value, held within the 32-bit range.
int clamp32(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

/// a/f rounded to the nearest integer, halves away from zero (f > 1), so that
/// a multiple of f comes back exactly when multiplied by f.
long shrunk(long a, long f) {
  const long q = a / f, r = a % f;
  if (2 * (r < 0 ? -r : r) >= f) return r < 0 ? q - 1 : q + 1;
  return q;
}

/// a·f without overflow: the product is held within the range of long.
long scaled(long a, long f) {
  long r;
  if (__builtin_mul_overflow(a, f, &r)) return (a < 0) != (f < 0) ? LONG_MIN : LONG_MAX;
  return r;
}

/// Moves every bend of g's edges to move(its coordinate) in each axis.
template <class Move>
void moveBends(KWDGraph* g, Move move) {
  for (KWDEdgeIter it(g); it; ++it) {
    for (KWDListIter b(it.pEdge()->bendList()); b; ++b) {
      KWPNode* bend = static_cast<KWPNode*>(b.pObject());
      bend->ntMoveTo(move(bend->ntX()), move(bend->ntY()));
    }
  }
}

}  // namespace

void KWSGraph::scaleDown() {
  KWDGraph* g = pOwnerGraph();
  KWSGraphLayInfo* li = pSLayInfo();
  if (!g || !li) return;
  if (!anyNodesConstrained()) {
    int m = INT_MAX;
    for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it) {
      KWRect r;
      it.pNode()->ntBoundingRect(r);
      m = min32(m, clamp32(r.width()));
      m = min32(m, clamp32(r.height()));
    }
    const KWSGraphTailor* t = g->pSTailor();
    long long shrink = t ? t->shrinkagePerMil() : 0;
    // Widened so that no setting can overflow; equal to the 32-bit result
    // whenever that one does not overflow, and then clamped to m anyway.
    long long wide = shrink * (static_cast<long long>(m) - 1) / 1000 + 1;
    int f = clamp32(wide < m ? wide : m);
    f = min32(f, m);
    f = max32(f, 1);
    li->scaleFactor(f);
    if (f > 1) {
      for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it) {
        KWRect r;
        it.pNode()->ntBoundingRect(r);
        it.pNode()->ntResize(r.width() / f, r.height() / f);
        it.pNode()->ntMoveTo(shrunk(it.pNode()->ntX(), f), shrunk(it.pNode()->ntY(), f));
      }
      moveBends(g, [f](long a) { return shrunk(a, f); });
    }
  }
  g->layoutCheckpoint();
}

void KWSGraph::scaleUp() {
  KWDGraph* g = pOwnerGraph();
  KWSGraphLayInfo* li = pSLayInfo();
  if (!g || !li) return;
  if (anyNodesConstrained()) return;
  const long f = li->scaleFactor();
  if (f <= 1) return;
  for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it) {
    KWDNode* n = it.pNode();
    if (g->layoutRunning() && !n->isDummy()) n->ntResize(n->originalWidth(), n->originalHeight());
    else n->ntResize(scaled(n->ntWidth(), f), scaled(n->ntHeight(), f));
    n->ntMoveTo(scaled(n->ntX(), f), scaled(n->ntY(), f));
  }
  moveBends(g, [f](long a) { return scaled(a, f); });
}
