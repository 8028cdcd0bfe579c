// Removal of overlapping node boxes after a layout.
#ifndef KWOVERLAP_H
#define KWOVERLAP_H

#include <vector>

#include "host/kwdgraph.h"

/// Moves nodes apart until no two node boxes overlap and every two lie at
/// least `gap` apart, moving each as little as separating its neighbours
/// needs, so the drawing keeps its shape.
///
/// Method: iterated pairwise separation on a uniform grid (the push step of
/// the force-scan family, in Gauss-Seidel order). Each pass files every box
/// into the grid cells it covers (cells about a typical box wide) and visits
/// every pair of boxes sharing a cell once; a pair closer than `gap` is pushed
/// apart along the axis on which that takes the shorter move, by exactly the
/// shortfall, in the direction their centres already lie (boxes on one point
/// go in directions fixed by their indices). Two movable boxes share the push
/// half and half; a pinned box (movable false) never moves and its partner
/// takes the whole push; two pinned boxes are left as they are. Passes repeat
/// until one finds nothing to separate. Should 100 passes not settle it (a
/// dense pile whose pushes go round in circles), every following pass first
/// spreads the movable boxes 2 % further from the centre of all boxes, which
/// makes room; after 1,000 passes it stops whatever is left.
/// Cost: O(n log n + k) per pass for n boxes and k pairs sharing a cell (k is
/// about n for a drawing that is not piled up), a few passes for typical
/// drawings, at most 1,000.
///
/// Bends follow their edges' ends: a bend at fraction t of its edge's length
/// moves by (1 − t) times its source's move plus t times its target's.
/// Positions stay integers and every step runs in a fixed order, so the
/// result is the same on every platform.
///
/// Answers the number of overlapping pairs left: 0, unless pinned boxes
/// overlap each other or leave a movable box no room.
long kwRemoveNodeOverlaps(const std::vector<KWDNode*>& nodes, const std::vector<bool>& movable,
                          const std::vector<KWDEdge*>& edges, long gap = 4);

/// Overlapping pairs of node boxes (boxes that merely touch do not count), in
/// O(n log n + k) as above.
long kwCountNodeOverlaps(const std::vector<KWDNode*>& nodes);

#endif
