// Small helpers shared by the symmetric layout's sources (internal: nothing
// here is exported): a node's scratch record, its pinned setting, and
// the truncations that turn computed doubles into integer coordinates.
#ifndef KWSGUTIL_H
#define KWSGUTIL_H

#include "layout/kwsnode.h"
#include "tailor/kwsndta.h"

namespace kwsl {

/// The largest Newton step taken in one coordinate. A nearly singular Hessian
/// can ask for an arbitrarily long step; beyond this bound it carries no
/// information and would only push coordinates toward overflow.
const double kMaxStep = 1.0e9;

/// The scratch record of a node, or null when it has none.
inline KWSNodeLayInfo* nodeInfo(const KWGNode* n) {
  KWSNode* s = n ? n->pSNode() : nullptr;
  return s ? s->pSLayInfo() : nullptr;
}

/// Whether the node is pinned (its constrained setting is on).
inline bool isConstrained(const KWDNode* n) {
  const KWSNodeTailor* t = n->pSTailor();
  return t && t->constrained();
}

/// x truncated toward zero, held within the range of long (NaN gives 0).
inline long truncToLong(double x) {
  if (!(x == x)) return 0;
  const double lim = 9.0e18;
  if (x >= lim) return static_cast<long>(lim);
  if (x <= -lim) return -static_cast<long>(lim);
  return static_cast<long>(x);
}

/// A step component truncated toward zero; not-a-number gives 0, huge values
/// are held at ±kMaxStep.
inline long truncStep(double d) {
  if (!(d == d)) return 0;
  if (d > kMaxStep) d = kMaxStep;
  if (d < -kMaxStep) d = -kMaxStep;
  return static_cast<long>(d);
}

}  // namespace kwsl

#endif
