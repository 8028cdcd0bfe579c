// KWSEdge: symmetric edge routing.
//
// A straight piece that runs through a node is replaced by three bends on the
// half circle over the piece, on the side away from the centre of the drawing,
// and the host's spring embedder then settles the bends among the graph's nodes
// so that the arc clears the obstacle.
#include "layout/kwseroute.h"

#include <cmath>

#include "host/kweades.h"
#include "layout/kwsedge.h"

namespace {
const double kPi = 3.141592653589793;
const int kArcDivisions = 4;
const double kLengthFactor = 0.7;
const double kLengthCorrection = 0.65 - 0.01 * (kArcDivisions - 3);
}  // namespace

void kwsSymmetricArcPoints(long ax, long ay, long bx, long by, long cx, long cy, KWPointDList& points) {
  long dx = bx - ax;
  long dy = by - ay;
  long hx = dx / 2;
  long hy = dy / 2;
  double r = KWPoint::distance(bx, by, ax, ay) / 2.0;
  double theta = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
  double step = kPi / kArcDivisions;

  // D is the negated cross product of (B - A) and (centre - A): negative when
  // the centre lies on the side of the left normal (-dy, dx).
  double d = static_cast<double>(dy) * static_cast<double>(cx) - static_cast<double>(dx) * static_cast<double>(cy) +
             static_cast<double>(ay) * static_cast<double>(bx) - static_cast<double>(by) * static_cast<double>(ax);
  long side = d < 0.0 ? -1 : 1;

  // The points in a frame where AB lies on the x axis around the origin...
  double phi = step;
  KWDListCell* last = points.pLastCell();
  for (int i = 1; i < kArcDivisions; ++i) {
    points.appendPoint(new KWPoint(static_cast<long>(std::cos(phi) * r), static_cast<long>(std::sin(phi) * r) * side));
    phi += step;
  }
  // ...turned by theta and moved to the midpoint of AB.
  double c = std::cos(theta), s = std::sin(theta);
  for (KWDListCell* cell = last ? last->pNextCell() : points.pFirstCell(); cell; cell = cell->pNextCell()) {
    KWPoint* p = static_cast<KWPoint*>(cell->pObject());
    double x = static_cast<double>(p->x()), y = static_cast<double>(p->y());
    p->moveTo(static_cast<long>(x * c - y * s), static_cast<long>(x * s + y * c));
    p->move(ax + hx, ay + hy);
  }
}

long kwsArcSpringLength(double radius) {
  return static_cast<long>(kPi * radius / kArcDivisions * kLengthFactor * kLengthCorrection) + 1;
}

void KWSEdge::symmetricRoute() {
  KWPEdge* piece = KWPEdge::castDown(pOwnerEdge());
  KWDEdge* edge = piece ? piece->pOwnerEdge() : nullptr;
  KWDGraph* graph = edge ? edge->pOwnerGraph() : nullptr;
  if (!graph || !piece->pFromNode() || !piece->pToNode()) return;

  // The nodes among which the bends settle, taken before any bend exists.
  KWGNodeDList graphNodes;
  graphNodes.copyAllCells(*KWGNodeDList::constCastCross(graph->pNodeList()));

  const KWGNode* a = piece->pFromNode();
  const KWGNode* b = piece->pToNode();
  KWRect bounds;
  graph->ntBoundingRect(bounds);
  KWPointDList points;
  kwsSymmetricArcPoints(a->ntX(), a->ntY(), b->ntX(), b->ntY(), bounds.x(), bounds.y(), points);
  double r = KWPoint::distance(b->ntX(), b->ntY(), a->ntX(), a->ntY()) / 2.0;

  // Each bend goes into the same piece, which stays the one next to A, so the
  // path reads A, next-to-A, top, next-to-B, B.
  KWGNodeDList bends;
  for (KWPointDListIter it(points); it; ++it) {
    KWPNode* bend = edge->ntAddBend(piece, *it.pPoint());
    if (bend) bends.appendNode(bend);
  }

  KWEadesAlgorithm* embedder = new KWEadesAlgorithm(graph, &graphNodes, &bends, kwsArcSpringLength(r), 0, 0);
  embedder->run();

  points.deleteAllCellsAndObjects();
  graphNodes.deleteAllCells();
  bends.deleteAllCells();
  delete embedder;
}
