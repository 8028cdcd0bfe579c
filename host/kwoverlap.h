// Removal of overlapping node boxes after a layout.
#ifndef KWOVERLAP_H
#define KWOVERLAP_H

#include <vector>

#include "host/kwdgraph.h"

/// Moves nodes apart until no two node boxes overlap, keeping the drawing's
/// shape: every move is the smallest one that separates a pair.
///
/// Method: axis-wise pair separation over a scan line. Each pass sorts the
/// boxes by their left side and sweeps them; every overlapping pair is pushed
/// apart along the axis on which it overlaps less, by exactly that overlap
/// plus `gap`, in the direction the two centres already lie (ties: the later
/// node goes right or up). A pair where both nodes may move shares the push
/// half and half; a pinned node (movable false) never moves, its partner takes
/// the whole push; two pinned nodes are left as they are. Passes repeat until
/// one finds no overlap. Should they not settle within a bounded number of
/// passes (dense piles), the movable nodes are spread from the drawing's centre
/// a little further before every following pass, which always ends.
/// Cost: O(P·(n log n + k)) for n nodes, k overlapping pairs met per pass and P
/// passes (P is bounded; a few passes suffice for typical drawings).
///
/// Bends follow: a bend at fraction t of its edge's length moves by (1 − t)
/// times its from-node's move plus t times its to-node's move. Positions stay
/// integers, computed in a fixed order, so the result is deterministic.
///
/// Answers the number of overlapping pairs left, which is 0 unless two pinned
/// boxes overlap each other.
long kwRemoveNodeOverlaps(const std::vector<KWDNode*>& nodes, const std::vector<bool>& movable,
                          const std::vector<KWDEdge*>& edges, long gap = 2);

/// Overlapping pairs of node boxes (boxes that merely touch do not count).
long kwCountNodeOverlaps(const std::vector<KWDNode*>& nodes);

#endif
