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

namespace {
/// Draws a loop of e as three bends around the upper right corner of its node,
/// reaching `reach` units beyond the node's border.
void drawLoop(KWDEdge* e, long reach, long fromDx, long fromDy, long toDx, long toDy) {
  KWDNode* n = e->pFromNode();
  e->removeAllBends();
  long x = n->ntX(), y = n->ntY();
  long hw = n->ntWidth() / 2, hh = n->ntHeight() / 2;
  e->ntAppendBend(KWPoint(x + fromDx + hw + reach, y + fromDy));
  e->ntAppendBend(KWPoint(x + hw + reach, y + hh + reach));
  e->ntAppendBend(KWPoint(x + toDx, y + toDy + hh + reach));
}

long loopReach(const KWDNode* n) { return std::max(12L, std::min(n->ntWidth(), n->ntHeight()) / 2); }
}  // namespace

void KWBEdge::createReflexivePath() {
  KWDEdge* e = KWDEdge::castDown(pOwnerEdge());
  if (!e || !e->reflexive()) return;
  drawLoop(e, loopReach(e->pFromNode()), 0, 0, 0, 0);
}

void KWBEdge::createReflexivePathWithConnector() {
  KWDEdge* e = KWDEdge::castDown(pOwnerEdge());
  if (!e || !e->reflexive()) return;
  long fdx = e->pFromConnector() ? e->pFromConnector()->dx() : 0;
  long fdy = e->pFromConnector() ? e->pFromConnector()->dy() : 0;
  long tdx = e->pToConnector() ? e->pToConnector()->dx() : 0;
  long tdy = e->pToConnector() ? e->pToConnector()->dy() : 0;
  drawLoop(e, loopReach(e->pFromNode()), fdx, fdy, tdx, tdy);
}

void KWBEdge::moveReflexivePath(long dx, long dy) {
  KWDEdge* e = KWDEdge::castDown(pOwnerEdge());
  if (!e || !e->reflexive()) return;
  long grow = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
  drawLoop(e, loopReach(e->pFromNode()) + grow, 0, 0, 0, 0);
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
