// How edges are drawn in pictures and in DOT output: each edge becomes a path of
// straight and cubic pieces from its source to its target.
//
// An edge with bends runs straight through them. A loop without bends becomes
// a curve off its node's upper right corner, larger for each further loop of
// the node. Edges without bends between the same two nodes are fanned out as
// curves so that every member of such a bundle stays visible. Path ends are
// cut back to the border of the end nodes' rectangles.
#ifndef KWSLAY_SL_SHAPE_H
#define KWSLAY_SL_SHAPE_H

#include <vector>

#include "sl_graph.h"

namespace kwslay {

struct Pt {
  double x = 0.0;
  double y = 0.0;
};

struct PathPiece {
  bool curve = false;  ///< a cubic through c1 and c2, otherwise a straight line
  Pt c1, c2;
  Pt to;
};

struct EdgeShape {
  Pt start;
  std::vector<PathPiece> pieces;
  bool loop = false;
};

/// The shape of every edge of g, in the order of g.edges().
std::vector<EdgeShape> edgeShapes(const ToolGraph& g);

/// The shape as the control points of a cubic B-spline (3k+1 points), straight
/// pieces turned into cubics with their control points at the thirds.
std::vector<Pt> splinePoints(const EdgeShape& s);

/// The point where the ray from the centre of the w×h rectangle at (cx, cy)
/// towards p leaves the rectangle; the centre itself when p lies inside it.
Pt borderPoint(double cx, double cy, double w, double h, Pt p);

}  // namespace kwslay

#endif
