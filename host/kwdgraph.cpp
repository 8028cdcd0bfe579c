#include "host/kwdgraph.h"

#include <algorithm>

#include "host/kwbfs.h"
#include "host/kwext.h"
#include "host/kwfactory.h"
#include "host/kwtailor.h"

// ---- KWGNode, KWDNode, KWPNode ---------------------------------------------

KWNodeExt* KWGNode::pExtension(KWLayoutStyleEnum style) const {
  return static_cast<KWNodeExt*>(pStyleExtension(style));
}

KWDGraph* KWDNode::pOwnerGraph() const { return static_cast<KWDGraph*>(KWNode::pOwnerGraph()); }

KWNodeTailor* KWDNode::pPrivateTailor(KWLayoutStyleEnum style) const {
  return static_cast<KWNodeTailor*>(pStyleTailor(style));
}

void KWDNode::actOnTailorChange() { ++tailorChanges_; }

KWDNode* KWDNode::castDown(const KWObject* o) {
  return dynamic_cast<KWDNode*>(const_cast<KWObject*>(o));
}

KWFactory* KWPNode::pFactory() const { return owner_ ? owner_->pFactory() : nullptr; }

KWPNode* KWPNode::castDown(const KWObject* o) {
  return dynamic_cast<KWPNode*>(const_cast<KWObject*>(o));
}

// ---- KWGEdge, KWDEdge, KWPEdge ---------------------------------------------

KWDGraph* KWGEdge::pOwnerGraph() const { return static_cast<KWDGraph*>(KWEdge::pOwnerGraph()); }

KWEdgeExt* KWGEdge::pExtension(KWLayoutStyleEnum style) const {
  return static_cast<KWEdgeExt*>(pStyleExtension(style));
}

KWDEdge::KWDEdge() {
  // The single straight piece; its ends follow the edge's end nodes.
  pieces_.append(new KWPEdge(this, nullptr, nullptr));
}

KWDEdge::~KWDEdge() {
  pieces_.deleteAllCellsAndObjects();
  bends_.deleteAllCellsAndObjects();
  delete fromConn_;
  delete toConn_;
}

KWDGraph* KWDEdge::pOwnerGraph() const { return KWGEdge::pOwnerGraph(); }

void KWDEdge::pFromConnector(KWConnector* c) {
  if (c != fromConn_) delete fromConn_;
  fromConn_ = c;
}

void KWDEdge::pToConnector(KWConnector* c) {
  if (c != toConn_) delete toConn_;
  toConn_ = c;
}

void KWDEdge::resetPathEnds() {
  KWPEdge* first = static_cast<KWPEdge*>(pieces_.pFirstCell()->pObject());
  KWPEdge* last = static_cast<KWPEdge*>(pieces_.pLastCell()->pObject());
  first->setFrom(pFromNode());
  last->setTo(pToNode());
}

void KWDEdge::attachPieceExtensions(KWPEdge* pe) {
  if (KWDGraph* g = pOwnerGraph()) g->equip(pe);
}

void KWDEdge::attachBendExtensions(KWPNode* b) {
  if (KWDGraph* g = pOwnerGraph()) g->equip(b);
}

KWPNode* KWDEdge::ntAddBend(KWPEdge* pe, const KWPoint& p) {
  KWDListCell* pc = pieces_.search(pe);
  if (!pc) return nullptr;
  resetPathEnds();
  KWPNode* b = new KWPNode(this);
  b->ntMoveTo(p);
  KWPEdge* rest = new KWPEdge(this, b, pe->pToNode());
  pe->setTo(b);
  pieces_.insertAfter(pc, rest);
  // The bend goes after the bend that starts pe (or first when pe starts at the source).
  KWDListCell* after = nullptr;
  if (pe->pFromNode() != pFromNode()) after = bends_.search(pe->pFromNode());
  bends_.insertAfter(after, b);
  attachBendExtensions(b);
  attachPieceExtensions(rest);
  return b;
}

KWPNode* KWDEdge::ntAppendBend(const KWPoint& p) {
  return ntAddBend(static_cast<KWPEdge*>(pieces_.pLastCell()->pObject()), p);
}

void KWDEdge::removeAllBends() {
  while (pieces_.length() > 1) delete static_cast<KWPEdge*>(pieces_.deleteCell(pieces_.pLastCell()));
  bends_.deleteAllCellsAndObjects();
  // The remaining piece still points at a deleted bend: set its to-end first,
  // so that nothing reads that pointer as a node any more.
  KWPEdge* only = static_cast<KWPEdge*>(pieces_.pFirstCell()->pObject());
  only->setTo(pToNode());
  only->setFrom(pFromNode());
}

std::vector<KWPoint> KWDEdge::bendPoints() const {
  std::vector<KWPoint> v;
  for (KWDListCell* c = bends_.pFirstCell(); c; c = c->pNextCell()) {
    const KWPNode* b = static_cast<const KWPNode*>(c->pObject());
    v.emplace_back(b->ntX(), b->ntY());
  }
  return v;
}

void KWDEdge::moveBends(long dx, long dy) {
  for (KWDListCell* c = bends_.pFirstCell(); c; c = c->pNextCell()) {
    KWPNode* b = static_cast<KWPNode*>(c->pObject());
    b->ntMoveTo(b->ntX() + dx, b->ntY() + dy);
  }
}

KWEdgeTailor* KWDEdge::pPrivateTailor(KWLayoutStyleEnum style) const {
  return static_cast<KWEdgeTailor*>(pStyleTailor(style));
}

KWDEdge* KWDEdge::castDown(const KWObject* o) {
  return dynamic_cast<KWDEdge*>(const_cast<KWObject*>(o));
}

KWDGraph* KWPEdge::pOwnerGraph() const { return owner_ ? owner_->pOwnerGraph() : nullptr; }
KWFactory* KWPEdge::pFactory() const { return owner_ ? owner_->pFactory() : nullptr; }

KWPEdge* KWPEdge::castDown(const KWObject* o) {
  return dynamic_cast<KWPEdge*>(const_cast<KWObject*>(o));
}

namespace {
// Liang-Barsky clipping of the segment against the rectangle, in doubles.
// Answers whether any part of the segment lies within the rectangle; with
// interiorOnly the segment must pass through the open interior.
bool segmentMeetsRect(double x1, double y1, double x2, double y2, double l, double b, double r,
                      double t, bool interiorOnly) {
  if (interiorOnly) {
    if (r - l <= 0.0 || t - b <= 0.0) return false;
  }
  double t0 = 0.0, t1 = 1.0;
  double dx = x2 - x1, dy = y2 - y1;
  double p[4] = {-dx, dx, -dy, dy};
  double q[4] = {x1 - l, r - x1, y1 - b, t - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (interiorOnly ? q[i] <= 0.0 : q[i] < 0.0) return false;
      continue;
    }
    double u = q[i] / p[i];
    if (p[i] < 0.0) { if (u > t0) t0 = u; }
    else { if (u < t1) t1 = u; }
  }
  return interiorOnly ? t0 < t1 : t0 <= t1;
}
}  // namespace

int KWPEdge::intersectsRect(const KWRect& r, int flag) const {
  const KWGNode* a = pFromNode();
  const KWGNode* b = pToNode();
  if (!a || !b) return 0;
  return segmentMeetsRect(static_cast<double>(a->ntX()), static_cast<double>(a->ntY()),
                          static_cast<double>(b->ntX()), static_cast<double>(b->ntY()),
                          static_cast<double>(r.left()), static_cast<double>(r.bottom()),
                          static_cast<double>(r.right()), static_cast<double>(r.top()), flag == 1)
             ? 1 : 0;
}

// ---- KWDGraph ---------------------------------------------------------------

KWDGraph::KWDGraph(KWFactory* factory)
    : KWGraph(new KWDNodeDList, new KWDEdgeDList), factory_(factory) {}

KWDGraph::~KWDGraph() {
  deleteContents();
  // The graph's own extension and tailor may refer to the graph while they go.
  deleteStyleObjects();
}

bool KWDGraph::hasLayoutStyle(KWLayoutStyleEnum style) const {
  return style >= 0 && style < KWNumberOfLayoutStyles && (styles_ & (1u << style));
}

bool KWDGraph::enableLayoutStyle(KWLayoutStyleEnum style) {
  if (!factory_ || !factory_->pLayoutFactory(style)) return false;
  styles_ |= (1u << style);
  KWStyleFactory* f = factory_->pLayoutFactory(style);
  if (!pStyleTailor(style)) styleTailor(style, f->newGraphTailor(this));
  if (!pStyleExtension(style)) styleExtension(style, f->newGraphExt(this));
  for (KWDNodeIter it(this); it; ++it) equip(it.pNode());
  for (KWDEdgeIter it(this); it; ++it) equip(it.pEdge());
  return true;
}

void KWDGraph::equip(KWDNode* n) {
  if (!factory_) return;
  for (int s = 0; s < KWNumberOfLayoutStyles; ++s) {
    if (!(styles_ & (1u << s))) continue;
    KWStyleFactory* f = factory_->pLayoutFactory(static_cast<KWLayoutStyleEnum>(s));
    KWLayoutStyleEnum st = static_cast<KWLayoutStyleEnum>(s);
    if (!n->pStyleTailor(st)) n->styleTailor(st, f->newNodeTailor(n));
    if (!n->pStyleExtension(st)) n->styleExtension(st, f->newDNodeExt(n));
  }
}

void KWDGraph::equip(KWDEdge* e) {
  if (!factory_) return;
  for (int s = 0; s < KWNumberOfLayoutStyles; ++s) {
    if (!(styles_ & (1u << s))) continue;
    KWStyleFactory* f = factory_->pLayoutFactory(static_cast<KWLayoutStyleEnum>(s));
    KWLayoutStyleEnum st = static_cast<KWLayoutStyleEnum>(s);
    if (!e->pStyleTailor(st)) e->styleTailor(st, f->newEdgeTailor(e));
    if (!e->pStyleExtension(st)) e->styleExtension(st, f->newDEdgeExt(e));
  }
  for (KWDListCell* c = e->pathEdgeList().pFirstCell(); c; c = c->pNextCell())
    equip(static_cast<KWPEdge*>(c->pObject()));
  for (KWDListCell* c = e->bendList().pFirstCell(); c; c = c->pNextCell())
    equip(static_cast<KWPNode*>(c->pObject()));
}

void KWDGraph::equip(KWPNode* b) {
  if (!factory_) return;
  for (int s = 0; s < KWNumberOfLayoutStyles; ++s) {
    if (!(styles_ & (1u << s))) continue;
    KWLayoutStyleEnum st = static_cast<KWLayoutStyleEnum>(s);
    if (!b->pStyleExtension(st)) b->styleExtension(st, factory_->pLayoutFactory(st)->newPNodeExt(b));
  }
}

void KWDGraph::equip(KWPEdge* p) {
  if (!factory_) return;
  for (int s = 0; s < KWNumberOfLayoutStyles; ++s) {
    if (!(styles_ & (1u << s))) continue;
    KWLayoutStyleEnum st = static_cast<KWLayoutStyleEnum>(s);
    if (!p->pStyleExtension(st)) p->styleExtension(st, factory_->pLayoutFactory(st)->newPEdgeExt(p));
  }
}

KWDNode* KWDGraph::newNode(long x, long y, long w, long h, const std::string& name) {
  KWDNode* n = new KWDNode;
  n->ntMoveTo(x, y);
  n->size(w, h);
  n->name(name);
  insertNode(n);
  equip(n);
  return n;
}

KWDEdge* KWDGraph::newEdge(KWDNode* from, KWDNode* to, const std::string& name) {
  KWDEdge* e = new KWDEdge;
  e->name(name);
  insertEdge(e, from, to);
  equip(e);
  return e;
}

void KWDGraph::deleteEdge(KWDEdge* e) {
  removeEdge(e);
  delete e;
}

void KWDGraph::deleteNode(KWDNode* n) {
  std::vector<KWEdge*> edges(n->outEdges());
  edges.insert(edges.end(), n->inEdges().begin(), n->inEdges().end());
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  for (KWEdge* e : edges) {
    if (e->pOwnerGraph()) e->pOwnerGraph()->removeEdge(e);
    else removeEdge(e);
    delete e;
  }
  removeNode(n);
  delete n;
}

void KWDGraph::ntBoundingRect(KWRect& r) const {
  r.set(0, 0, 0, 0);
  r.isEmpty(true);
  for (KWDNodeIter it(this); it; ++it) {
    KWRect nr;
    it.pNode()->ntBoundingRect(nr);
    r.unite(nr);
  }
  for (KWDEdgeIter it(this); it; ++it) {
    for (KWDListCell* c = it.pEdge()->bendList().pFirstCell(); c; c = c->pNextCell()) {
      const KWPNode* b = static_cast<const KWPNode*>(c->pObject());
      r.unite(KWRect(b->ntX(), b->ntY(), 0, 0));
    }
  }
  if (r.isEmpty()) r.set(0, 0, 0, 0);
  r.isEmpty(false);
}

KWGraphExt* KWDGraph::pExtension(KWLayoutStyleEnum style) const {
  return static_cast<KWGraphExt*>(pStyleExtension(style));
}

KWGraphTailor* KWDGraph::pPrivateTailor(KWLayoutStyleEnum style) const {
  return static_cast<KWGraphTailor*>(pStyleTailor(style));
}

void KWDGraph::layoutCheckpoint() {
  ++checkpoints_;
  if (budgetMs_ > 0 && !layoutStopRequested() && std::chrono::steady_clock::now() >= deadline_) requestLayoutStop();
  if (observer_) observer_->checkpoint(*this);
}

void KWDGraph::beginLayoutRun() {
  stop_.store(false, std::memory_order_relaxed);
  deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(budgetMs_);
}

void KWDGraph::actOnTailorChange() { ++tailorChanges_; }

void KWDGraph::moveNodesAndEdges(KWDGraph* from, KWDList* nodes, KWDList* edges) {
  // Snapshot first: the lists may be from's own, which shrink as we move.
  std::vector<KWDNode*> ns;
  std::vector<KWDEdge*> es;
  if (nodes) for (KWDListCell* c = nodes->pFirstCell(); c; c = c->pNextCell()) ns.push_back(static_cast<KWDNode*>(c->pObject()));
  if (edges) for (KWDListCell* c = edges->pFirstCell(); c; c = c->pNextCell()) es.push_back(static_cast<KWDEdge*>(c->pObject()));
  for (KWDNode* n : ns) if (n->pOwnerGraph() == from) insertNode(n);
  for (KWDEdge* e : es) if (e->pOwnerGraph() == from) adoptEdge(e);
}

void KWDGraph::edgeInserted(KWEdge* e) { static_cast<KWDEdge*>(e)->resetPathEnds(); }

void KWDGraph::moveTraversedSubgraph(KWDGraph* from, KWRootedBFS* traversal) {
  if (!traversal) return;
  for (KWNode* n : traversal->visitedNodes())
    if (n->pOwnerGraph() == from) insertNode(n);
  for (KWEdge* e : traversal->visitedEdges())
    if (e->pOwnerGraph() == from) adoptEdge(e);
}

KWDGraph* KWDGraph::castDown(const KWObject* o) {
  return dynamic_cast<KWDGraph*>(const_cast<KWObject*>(o));
}

// ---- KWPEdgeIter ------------------------------------------------------------

KWPEdgeIter::KWPEdgeIter(const KWDGraph* g) : edge_(g->KWGraph::pEdgeList()->pFirstCell()) { settle(); }

void KWPEdgeIter::settle() {
  while (edge_ && !piece_) {
    piece_ = static_cast<KWDEdge*>(edge_->pObject())->pathEdgeList().pFirstCell();
    if (!piece_) edge_ = edge_->pNextCell();
  }
}

KWPEdgeIter& KWPEdgeIter::operator++() {
  piece_ = piece_->pNextCell();
  if (!piece_) {
    edge_ = edge_->pNextCell();
    settle();
  }
  return *this;
}
