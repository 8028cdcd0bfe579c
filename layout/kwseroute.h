// The geometry of a symmetric arc: where the three bends of a rerouted edge
// piece go before the spring embedder settles them, and the natural length of
// the embedder's springs.
#ifndef KWSEROUTE_H
#define KWSEROUTE_H

#include "host/kwdlist.h"

/// Appends to points (which then own nothing else of ours: the caller deletes
/// them) the three bend positions of the arc over the piece from A = (ax, ay)
/// to B = (bx, by), on the side facing away from the drawing's centre
/// (cx, cy): the half circle with diameter AB cut at π/4, π/2 and 3π/4, in
/// that order, that is next to B, at the top and next to A. A centre on the
/// line through A and B gives the side of the left normal of AB.
void kwsSymmetricArcPoints(long ax, long ay, long bx, long by, long cx, long cy, KWPointDList& points);

/// Natural spring length for an arc of the given radius: a quarter of the half
/// circle's length, shortened by 0.7 · 0.64 and truncated, plus one.
long kwsArcSpringLength(double radius);

#endif
