#include "host/kwbnode.h"

#include <algorithm>

#include "host/kwbgraph.h"

KWBNode::~KWBNode() { delete layInfo_; }

KWBGraph* KWBNode::pBGraph() const {
  const KWGNode* n = pOwnerNode();
  if (!n) return nullptr;
  KWDGraph* g = nullptr;
  if (const KWPNode* b = dynamic_cast<const KWPNode*>(n)) g = b->pOwnerEdge() ? b->pOwnerEdge()->pOwnerGraph() : nullptr;
  else g = static_cast<KWDGraph*>(n->pOwnerGraph());
  return KWBGraph::of(g, layoutStyle());
}

KWBNodeLayInfo* KWBNode::newLayInfo(int, int) {
  delete layInfo_;
  layInfo_ = new KWBNodeLayInfo;
  return layInfo_;
}

KWBEdge::~KWBEdge() {
  delete layInfo_;
  delete multi_;
}

KWBGraph* KWBEdge::pBGraph() const {
  const KWGEdge* e = pOwnerEdge();
  return e ? KWBGraph::of(e->pOwnerGraph(), layoutStyle()) : nullptr;
}

KWBEdgeLayInfo* KWBEdge::newLayInfo(int, int) {
  delete layInfo_;
  layInfo_ = new KWBEdgeLayInfo;
  return layInfo_;
}

KWDEdgeDList* KWBEdge::pMultiEdgeList() {
  if (!multi_) multi_ = new KWDEdgeDList;
  return multi_;
}

void KWBEdge::deleteMultiEdgeList() {
  delete multi_;
  multi_ = nullptr;
}

// ---- loops ----------------------------------------------------------------
//
// A loop is drawn beside its node as a path of bends around the node's upper
// right corner: it leaves the right side, runs out by its size s, up past the
// top and back into the top side. Its size s is half the node's smaller side,
// at least 12 units; members of a bundle of loops are larger by the offset they
// are given, and attach further from the corner, so nested loops stay apart.
// Where the loop meets the node the routine chooses connectors (unspecified
// ones, which the next layout drops again).
//
// With user-specified connectors the loop starts and ends at them instead: it
// leaves each connector straight outwards from the side it lies on, and joins
// the two outward points around the node (directly for the same side, through
// the corner between two adjacent sides, and over the top or past the right side
// for opposite sides).
namespace {
enum LoopSide { kRight, kTop, kLeft, kBottom };

long loopSize(const KWDNode* n) { return std::max(12L, std::min(n->ntWidth(), n->ntHeight()) / 2); }

/// The side of the node a connector offset (dx, dy) lies on.
LoopSide sideOf(const KWDNode* n, long dx, long dy) {
  double hw = static_cast<double>(std::max(n->ntWidth() / 2, 1L));
  double hh = static_cast<double>(std::max(n->ntHeight() / 2, 1L));
  double ax = static_cast<double>(dx < 0 ? -dx : dx) / hw;
  double ay = static_cast<double>(dy < 0 ? -dy : dy) / hh;
  if (ax >= ay) return dx < 0 ? kLeft : kRight;
  return dy < 0 ? kBottom : kTop;
}

void outward(LoopSide s, long& nx, long& ny) {
  nx = s == kRight ? 1 : s == kLeft ? -1 : 0;
  ny = s == kTop ? 1 : s == kBottom ? -1 : 0;
}

/// Connector offsets of the plain loop of size s.
void plainEnds(const KWDNode* n, long s, long& fdx, long& fdy, long& tdx, long& tdy) {
  long hw = n->ntWidth() / 2, hh = n->ntHeight() / 2;
  long ay = std::min(s / 2, hh), ax = std::min(s / 2, hw);
  fdx = hw;
  fdy = hh - ay;
  tdx = hw - ax;
  tdy = hh;
}

void drawPlainLoop(KWDEdge* e, long s) {
  KWDNode* n = e->pFromNode();
  long fdx, fdy, tdx, tdy;
  plainEnds(n, s, fdx, fdy, tdx, tdy);
  long x = n->ntX(), y = n->ntY();
  long hw = n->ntWidth() / 2, hh = n->ntHeight() / 2;
  e->removeAllBends();
  e->ntAppendBend(KWPoint(x + hw + s, y + fdy));
  e->ntAppendBend(KWPoint(x + hw + s, y + hh + s));
  e->ntAppendBend(KWPoint(x + tdx, y + hh + s));
  if (!e->hasSpecifiedFromConnector()) e->pFromConnector(new KWConnector(fdx, fdy, false));
  if (!e->hasSpecifiedToConnector()) e->pToConnector(new KWConnector(tdx, tdy, false));
}

void drawConnectorLoop(KWDEdge* e, long s) {
  KWDNode* n = e->pFromNode();
  long pfdx, pfdy, ptdx, ptdy;
  plainEnds(n, s, pfdx, pfdy, ptdx, ptdy);
  bool fs = e->hasSpecifiedFromConnector() != 0, ts = e->hasSpecifiedToConnector() != 0;
  long fdx = fs ? e->pFromConnector()->dx() : pfdx, fdy = fs ? e->pFromConnector()->dy() : pfdy;
  long tdx = ts ? e->pToConnector()->dx() : ptdx, tdy = ts ? e->pToConnector()->dy() : ptdy;
  LoopSide sf = sideOf(n, fdx, fdy), st = sideOf(n, tdx, tdy);
  long x = n->ntX(), y = n->ntY();
  long hw = n->ntWidth() / 2, hh = n->ntHeight() / 2;
  long fnx, fny, tnx, tny;
  outward(sf, fnx, fny);
  outward(st, tnx, tny);
  KWPoint of(x + fdx + s * fnx, y + fdy + s * fny);
  KWPoint ot(x + tdx + s * tnx, y + tdy + s * tny);
  e->removeAllBends();
  if (sf == st) {
    // Same side: spread the two outward points along the side so that the
    // loop encloses some room even when both connectors coincide.
    long tx = -fny, ty = fnx;  // along the side
    long sign = fdx * tx + fdy * ty >= tdx * tx + tdy * ty ? 1 : -1;
    e->ntAppendBend(KWPoint(of.x() + sign * tx * s / 2, of.y() + sign * ty * s / 2));
    e->ntAppendBend(KWPoint(ot.x() - sign * tx * s / 2, ot.y() - sign * ty * s / 2));
  } else if ((sf == kLeft || sf == kRight) != (st == kLeft || st == kRight)) {
    // Adjacent sides: through the outer corner between them.
    e->ntAppendBend(of);
    if (fnx != 0) e->ntAppendBend(KWPoint(of.x(), ot.y()));
    else e->ntAppendBend(KWPoint(ot.x(), of.y()));
    e->ntAppendBend(ot);
  } else if (fnx != 0) {
    // Left and right: over the top.
    long top = y + hh + s;
    e->ntAppendBend(of);
    e->ntAppendBend(KWPoint(of.x(), top));
    e->ntAppendBend(KWPoint(ot.x(), top));
    e->ntAppendBend(ot);
  } else {
    // Top and bottom: past the right side.
    long right = x + hw + s;
    e->ntAppendBend(of);
    e->ntAppendBend(KWPoint(right, of.y()));
    e->ntAppendBend(KWPoint(right, ot.y()));
    e->ntAppendBend(ot);
  }
  if (!fs) e->pFromConnector(new KWConnector(fdx, fdy, false));
  if (!ts) e->pToConnector(new KWConnector(tdx, tdy, false));
}
}  // namespace

void KWBEdge::createReflexivePath() {
  KWDEdge* e = KWDEdge::castDown(pOwnerEdge());
  if (!e || !e->reflexive()) return;
  drawPlainLoop(e, loopSize(e->pFromNode()));
}

void KWBEdge::createReflexivePathWithConnector() {
  KWDEdge* e = KWDEdge::castDown(pOwnerEdge());
  if (!e || !e->reflexive()) return;
  drawConnectorLoop(e, loopSize(e->pFromNode()));
}

void KWBEdge::moveReflexivePath(long dx, long dy) {
  KWDEdge* e = KWDEdge::castDown(pOwnerEdge());
  if (!e || !e->reflexive()) return;
  long grow = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
  long s = loopSize(e->pFromNode()) + grow;
  if (e->hasSpecifiedFromConnector() || e->hasSpecifiedToConnector()) drawConnectorLoop(e, s);
  else drawPlainLoop(e, s);
}

KWSideEnum KWBEdge::findBestNodeSideWithConnectors(long& offset, int& fromSide) const {
  const KWDEdge* e = KWDEdge::castDown(pOwnerEdge());
  offset = 0;
  fromSide = 1;
  if (!e || !e->pFromConnector()) return KWNoSide;
  long dx = e->pFromConnector()->dx(), dy = e->pFromConnector()->dy();
  long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  if (adx >= ady) { offset = dy; return dx < 0 ? KWLeftSide : KWRightSide; }
  offset = dx;
  return dy < 0 ? KWBottomSide : KWTopSide;
}
