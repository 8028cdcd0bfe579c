#include "host/kwbgraph.h"
#include "host/kwoverlap.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <unordered_map>

#include "host/kwfactory.h"
#include "host/kwtailor.h"

struct KWBGraph::Component {
  std::vector<KWDNode*> nodes;
  std::vector<KWDEdge*> edges;
  bool shiftable = true;
};

KWBGraph::KWBGraph(KWDGraph* owner) : KWGraphExt(owner) {}

KWBGraph::KWBGraph(const KWBGraph& o) : KWGraphExt(o), removeOverlaps_(o.removeOverlaps_) {}

KWBGraph::~KWBGraph() { delete layInfo_; }

long KWBGraph::defaultMaxMatrixBytes() {
  double memory = 0.0;
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
  const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) memory = static_cast<double>(pages) * static_cast<double>(pageSize);
#endif
  // A control group (a container, a service's memory limit) may allow less.
  for (const char* path : {"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory/memory.limit_in_bytes"}) {
    std::FILE* f = std::fopen(path, "r");
    if (!f) continue;
    char text[64] = {0};
    bool read = std::fgets(text, sizeof text, f) != nullptr;
    std::fclose(f);
    char* end = nullptr;
    double limit = read ? std::strtod(text, &end) : 0.0;  // "max" reads as no number
    if (read && end != text && limit > 0.0 && (memory <= 0.0 || limit < memory)) memory = limit;
  }
  if (memory <= 0.0) memory = 4.0 * 1024 * 1024 * 1024;  // unknown: assume a small machine
  const double quarter = memory / 4.0;
  const double most = static_cast<double>(std::numeric_limits<long>::max());
  return quarter >= most ? std::numeric_limits<long>::max() : static_cast<long>(quarter);
}

double KWBGraph::componentMatrixBytes(long nodes) const {
  // Per matrix: n rows of n doubles, each row an object with its own block.
  const double n = static_cast<double>(nodes < 0 ? 0 : nodes);
  return 2.0 * n * (8.0 * n + 64.0);
}

KWBGraph* KWBGraph::of(const KWDGraph* g, KWLayoutStyleEnum style) {
  return g ? castDown(g->pExtension(style)) : nullptr;
}

KWLayoutStyleEnum KWBGraph::style() const {
  KWLayoutStyleEnum s = layoutStyle();
  if (s != KWNoLayoutStyle || !pOwnerGraph()) return s;
  for (int i = 0; i < KWNumberOfLayoutStyles; ++i)
    if (pOwnerGraph()->pStyleExtension(static_cast<KWLayoutStyleEnum>(i)) == this) return static_cast<KWLayoutStyleEnum>(i);
  return s;
}

KWBNode* KWBGraph::nodeExt(const KWGNode* n) const {
  return n ? dynamic_cast<KWBNode*>(n->pExtension(style())) : nullptr;
}

KWBEdge* KWBGraph::edgeExt(const KWGEdge* e) const {
  return e ? dynamic_cast<KWBEdge*>(e->pExtension(style())) : nullptr;
}

KWBGraphLayInfo* KWBGraph::newLayInfo(int) {
  delete layInfo_;
  layInfo_ = new KWBGraphLayInfo;
  return layInfo_;
}

KWModelFileExtension* KWBGraph::newModelFileExtension(KWModelFile*) { return nullptr; }
KWGraphFileExtension* KWBGraph::newGraphFileExtension(KWDGraph*) { return nullptr; }

// ---- the pipeline -------------------------------------------------------------

namespace {
KWDList listOf(const std::vector<KWDNode*>& v) {
  KWDList l;
  for (KWDNode* n : v) l.append(n);
  return l;
}
KWDList listOf(const std::vector<KWDEdge*>& v) {
  KWDList l;
  for (KWDEdge* e : v) l.append(e);
  return l;
}
long findRoot(std::vector<long>& parent, long i) {
  while (parent[i] != i) {
    parent[i] = parent[parent[i]];
    i = parent[i];
  }
  return i;
}
}  // namespace

namespace {
/// An edge's bends as the run found them, with its ends' centres then.
struct KeptBends {
  KWDEdge* edge;
  std::vector<KWPoint> bends;
  long fx, fy, tx, ty;
};

/// The bends of every edge that has some, but loops and members of a
/// bundle: the run draws those afresh.
std::vector<KeptBends> keepBends(const std::vector<KWDEdge*>& edges) {
  std::vector<KeptBends> kept;
  auto ends = [](const KWDEdge* e) {
    const void* a = e->pFromNode();
    const void* b = e->pToNode();
    return std::less<const void*>()(a, b) ? std::make_pair(a, b) : std::make_pair(b, a);
  };
  std::map<std::pair<const void*, const void*>, int> between;
  for (KWDEdge* e : edges) ++between[ends(e)];
  for (KWDEdge* e : edges) {
    if (e->numberOfBends() == 0 || e->reflexive() || between[ends(e)] > 1) continue;
    kept.push_back({e, e->bendPoints(), e->pFromNode()->ntX(), e->pFromNode()->ntY(), e->pToNode()->ntX(),
                    e->pToNode()->ntY()});
  }
  return kept;
}

/// Gives each kept edge that is still in g, still straight (the run did not
/// route or bundle it) and whose ends moved by one and the same offset its
/// bends back, moved by that offset: they still lead from the one end to the
/// other as the user drew them.
void restoreKeptBends(const std::vector<KeptBends>& kept, const KWDGraph* g) {
  for (const KeptBends& k : kept) {
    KWDEdge* e = k.edge;
    if (e->pOwnerGraph() != g || !e->attached() || e->numberOfBends() != 0) continue;
    const long dx = e->pFromNode()->ntX() - k.fx, dy = e->pFromNode()->ntY() - k.fy;
    if (e->pToNode()->ntX() - k.tx != dx || e->pToNode()->ntY() - k.ty != dy) continue;
    for (const KWPoint& p : k.bends) e->ntAppendBend(KWPoint(p.x() + dx, p.y() + dy));
  }
}
}  // namespace

// Whatever leaves layout() early (a throwing observer, bad_alloc), this puts the
// graph back as the caller owns it: the nodes and edges held aside come home in
// their original order, the run flag and phase are cleared and the graph's
// scratch record is released, so that the next layout() starts afresh.
class KWBGraph::RunGuard {
 public:
  RunGuard(KWBGraph& host, KWDGraph* g) : host_(host), g_(g) {}
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;
  ~RunGuard() {
    if (finished_) return;
    try {
      for (KWDGraph* aside : held_)
        if (aside) g_->moveNodesAndEdges(aside, aside->KWGraph::pNodeList(), aside->KWGraph::pEdgeList());
      // Trees lifted off the component wait in the reduced graph until they are drawn.
      if (KWDGraph* trees = host_.reduced_.get())
        g_->moveNodesAndEdges(trees, trees->KWGraph::pNodeList(), trees->KWGraph::pEdgeList());
      g_->reorder(nodeOrder_, edgeOrder_);
    } catch (...) {
      // Nothing more can be done here without a second failure leaving the destructor.
    }
    delete host_.layInfo_;
    host_.layInfo_ = nullptr;
    g_->layoutPhase("");
    g_->layoutRunning(0);
  }
  void holdAside(KWDGraph* a, KWDGraph* b) { held_[0] = a; held_[1] = b; }
  void order(const std::vector<KWNode*>& n, const std::vector<KWEdge*>& e) { nodeOrder_ = n; edgeOrder_ = e; }
  // The run ended by one of its own returns, which leave the graph in order themselves.
  void finish() { finished_ = true; }

 private:
  KWBGraph& host_;
  KWDGraph* g_;
  KWDGraph* held_[2] = {nullptr, nullptr};
  std::vector<KWNode*> nodeOrder_;
  std::vector<KWEdge*> edgeOrder_;
  bool finished_ = false;
};

KWErrorCodeEnum KWBGraph::layout() {
  KWDGraph* g = pOwnerGraph();
  if (!g) return KWErrorNoStyle;
  if (g->layoutRunning()) return KWErrorLayoutRunning;
  g->layoutRunning(1);
  g->beginLayoutRun();
  // The holding graphs outlive the guard, which empties them back into g.
  KWDGraph waiting(nullptr), done(nullptr);
  RunGuard guard(*this, g);
  guard.holdAside(&waiting, &done);
  g->layoutPhase("prepare");
  random_.seed(1);

  std::vector<KWNode*> nodeOrder;
  std::vector<KWEdge*> edgeOrder;
  std::vector<KWDNode*> nodes;
  std::vector<KWDEdge*> edges;
  for (KWDNodeIter it(g); it; ++it) { nodeOrder.push_back(it.pNode()); nodes.push_back(it.pNode()); }
  for (KWDEdgeIter it(g); it; ++it) { edgeOrder.push_back(it.pEdge()); edges.push_back(it.pEdge()); }
  guard.order(nodeOrder, edgeOrder);

  // Connected components by union-find over the edges, in node order.
  std::unordered_map<const KWDNode*, long> index;
  for (size_t i = 0; i < nodes.size(); ++i) index[nodes[i]] = static_cast<long>(i);
  std::vector<long> parent(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) parent[i] = static_cast<long>(i);
  // An edge whose end lies outside the graph joins nothing; it stays with its
  // from-node's component, or out of every component when both ends are outside.
  auto indexOf = [&index](const KWDNode* n) {
    auto f = index.find(n);
    return f == index.end() ? -1L : f->second;
  };
  for (KWDEdge* e : edges) {
    long ia = indexOf(e->pFromNode()), ib = indexOf(e->pToNode());
    if (ia < 0 || ib < 0) continue;
    long a = findRoot(parent, ia);
    long b = findRoot(parent, ib);
    if (a != b) parent[std::max(a, b)] = std::min(a, b);
  }
  std::vector<Component> comps;
  std::vector<long> compOfRoot(nodes.size(), -1);
  std::vector<KWDNode*> disconnected;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i]->degree() == 0) { disconnected.push_back(nodes[i]); continue; }
    long r = findRoot(parent, static_cast<long>(i));
    if (compOfRoot[r] < 0) { compOfRoot[r] = static_cast<long>(comps.size()); comps.emplace_back(); }
    comps[compOfRoot[r]].nodes.push_back(nodes[i]);
  }
  for (KWDEdge* e : edges) {
    long ia = indexOf(e->pFromNode());
    if (ia < 0) ia = indexOf(e->pToNode());
    if (ia < 0) continue;
    long c = compOfRoot[findRoot(parent, ia)];
    if (c >= 0) comps[c].edges.push_back(e);
  }

  // Refuse before allocating or touching anything.
  refusedComponentNodes_ = 0;
  const long matrixLimit = maxMatrixBytes();
  for (const Component& c : comps) {
    const long size = static_cast<long>(c.nodes.size());
    if ((maxComponentNodes_ > 0 && size > maxComponentNodes_) ||
        (matrixLimit > 0 && componentMatrixBytes(size) > static_cast<double>(matrixLimit))) {
      refusedComponentNodes_ = size;
      guard.finish();
      g->layoutPhase("");
      g->layoutRunning(0);
      return KWErrorTooLarge;
    }
  }

  // Adjacency in edge-list order, so that every run traverses alike.
  g->reorder(nodeOrder, edgeOrder);

  // Every run starts from straight edges and fresh scratch records. An
  // incremental run gives an edge its bends back afterwards when the run did
  // not route it and its two ends moved alike (see restoreKeptBends).
  std::vector<KeptBends> kept;
  if (KWGraphTailor* t = g->pPrivateTailor(style()); t && t->incrementalWithinComponentLayout())
    kept = keepBends(edges);
  for (KWDEdge* e : edges) e->removeAllBends();
  preLayoutReset();
  newLayInfo(0);
  for (KWDNode* n : nodes) if (KWBNode* x = nodeExt(n)) { x->newLayInfo(0, 0); x->preLayoutReset(); }
  for (KWDEdge* e : edges) {
    if (KWBEdge* x = edgeExt(e)) { x->newLayInfo(0, 0); x->preLayoutReset(); }
    for (KWPEdgeDListIter p(e->pathEdgeList()); p; ++p)
      if (KWBEdge* x = edgeExt(p.pEdge())) x->newLayInfo(0, 0);
  }

  // A graph holding a copy of the owner's tailor as the run begins: each
  // component takes its layout's state from it (getInformationFromGraph), so
  // what one component's layout changes in the tailor does not reach the next.
  KWDGraph start(g->pFactory());
  if (KWGraphTailor* own = g->pPrivateTailor(style()))
    if (g->pFactory() && start.enableLayoutStyle(style()))
      if (KWGraphTailor* copy = start.pPrivateTailor(style())) copy->copyObject(own);

  // The owner graph holds one component at a time; the others wait.
  waiting.moveNodesAndEdges(g, g->KWGraph::pNodeList(), g->KWGraph::pEdgeList());
  for (size_t ci = 0; ci < comps.size(); ++ci) {
    Component& c = comps[ci];
    KWDList ln = listOf(c.nodes), le = listOf(c.edges);
    g->moveNodesAndEdges(&waiting, &ln, &le);
    for (KWDEdge* e : c.edges) if (KWBEdge* x = edgeExt(e)) x->preLayoutComponentReset();
    for (KWDNode* n : c.nodes) if (KWBNode* x = nodeExt(n)) x->preLayoutComponentReset();
    g->layoutComponentProgress(static_cast<long>(ci), static_cast<long>(comps.size()));
    g->layoutPhase("component");
    stepProgress(0, 0);
    getInformationFromGraph(&start);
    layoutComponent();
    // Ask with the run flag down so the answer covers the whole component.
    g->layoutRunning(0);
    c.shiftable = suitableForShifting() != 0;
    g->layoutRunning(1);
    c.nodes.clear();
    c.edges.clear();
    for (KWDNodeIter it(g); it; ++it) c.nodes.push_back(it.pNode());
    for (KWDEdgeIter it(g); it; ++it) c.edges.push_back(it.pEdge());
    if (removeOverlaps_) separateNodes(c.nodes, c.edges);
    done.moveNodesAndEdges(g, g->KWGraph::pNodeList(), g->KWGraph::pEdgeList());
  }
  g->moveNodesAndEdges(&done, done.KWGraph::pNodeList(), done.KWGraph::pEdgeList());
  g->moveNodesAndEdges(&waiting, waiting.KWGraph::pNodeList(), waiting.KWGraph::pEdgeList());

  stepProgress(0, 0);
  g->layoutPhase("arrange");
  placeComponents(comps);
  KWGraphTailor* t = g->pPrivateTailor(style());
  placeDisconnectedNodes(disconnected, t && t->incrementalDisconnectedNodesLayout());
  // Components were separated one by one before they were placed; what can
  // still overlap is a node the placement did not move (a pinned component,
  // a disconnected node kept in place) and whatever it lies on.
  if (removeOverlaps_) separateNodes(nodes, edges);
  holdWithinDrawingRange(nodes, edges);
  restoreKeptBends(kept, g);
  g->reorder(nodeOrder, edgeOrder);
  postLayoutReset();
  for (KWDNodeIter it(g); it; ++it) if (KWBNode* x = nodeExt(it.pNode())) x->postLayoutReset();
  for (KWDEdgeIter it(g); it; ++it) if (KWBEdge* x = edgeExt(it.pEdge())) x->postLayoutReset();
  guard.finish();
  g->layoutPhase("done");
  g->layoutRunning(0);
  return g->layoutStopRequested() ? KWStoppedEarly : KWNoError;
}

namespace {
void boundsOf(const std::vector<KWDNode*>& nodes, const std::vector<KWDEdge*>& edges, KWRect& r) {
  r.isEmpty(true);
  for (KWDNode* n : nodes) { KWRect nr; n->ntBoundingRect(nr); r.unite(nr); }
  for (KWDEdge* e : edges)
    for (const KWPoint& p : e->bendPoints()) r.unite(KWRect(p.x(), p.y(), 0, 0));
}
void shift(const std::vector<KWDNode*>& nodes, const std::vector<KWDEdge*>& edges, long dx, long dy) {
  if (dx == 0 && dy == 0) return;
  for (KWDNode* n : nodes) n->ntMoveTo(n->ntX() + dx, n->ntY() + dy);
  for (KWDEdge* e : edges) e->moveBends(dx, dy);
}
long gapFor(const std::vector<KWDNode*>& nodes) {
  double sum = 0.0;
  for (KWDNode* n : nodes) sum += static_cast<double>(n->ntWidth() + n->ntHeight()) / 2.0;
  long g = nodes.empty() ? 0 : static_cast<long>(sum / static_cast<double>(nodes.size()));
  return std::max(g, 20L);
}
}  // namespace

void KWBGraph::separateNodes(const std::vector<KWDNode*>& nodes, const std::vector<KWDEdge*>& edges) {
  std::vector<bool> movable;
  movable.reserve(nodes.size());
  for (KWDNode* n : nodes) {
    KWBNode* x = nodeExt(n);
    movable.push_back(!x || x->selectRandomizePosition());
  }
  kwRemoveNodeOverlaps(nodes, movable, edges);
}

void KWBGraph::holdWithinDrawingRange(const std::vector<KWDNode*>& nodes, const std::vector<KWDEdge*>& edges) {
  auto held = [](long v) { return std::max(-kMaxDrawingCoordinate, std::min(v, kMaxDrawingCoordinate)); };
  for (KWDNode* n : nodes) {
    KWBNode* x = nodeExt(n);
    if (x && !x->selectRandomizePosition()) continue;  // pinned nodes stay wherever the user put them
    n->ntMoveTo(held(n->ntX()), held(n->ntY()));
  }
  for (KWDEdge* e : edges)
    for (KWDListIter it(e->bendList()); it; ++it) {
      KWPNode* b = static_cast<KWPNode*>(it.pObject());
      b->ntMoveTo(held(b->ntX()), held(b->ntY()));
    }
}

void KWBGraph::placeComponents(std::vector<Component>& comps) {
  // Fixed components stay; the others are packed in rows to their right.
  KWRect fixed;
  fixed.isEmpty(true);
  std::vector<Component*> movable;
  std::vector<KWDNode*> all;
  for (Component& c : comps) {
    all.insert(all.end(), c.nodes.begin(), c.nodes.end());
    if (c.shiftable) { movable.push_back(&c); continue; }
    KWRect r; boundsOf(c.nodes, c.edges, r);
    if (!r.isEmpty()) fixed.unite(r);
  }
  if (movable.empty()) return;
  if (movable.size() == 1 && fixed.isEmpty()) return;  // a lone component stays where the layout put it
  long gap = gapFor(all);
  double area = 0.0;
  long widest = 0;
  std::vector<KWRect> rects(movable.size());
  for (size_t i = 0; i < movable.size(); ++i) {
    boundsOf(movable[i]->nodes, movable[i]->edges, rects[i]);
    area += static_cast<double>(rects[i].width() + gap) * static_cast<double>(rects[i].height() + gap);
    widest = std::max(widest, rects[i].width());
  }
  long rowWidth = std::max(widest, static_cast<long>(std::sqrt(area) * 1.3));
  long x0 = fixed.isEmpty() ? 0 : fixed.right() + gap;
  long top = fixed.isEmpty() ? 0 : fixed.top();
  long x = x0, rowHeight = 0;
  for (size_t i = 0; i < movable.size(); ++i) {
    const KWRect& r = rects[i];
    if (x > x0 && x + r.width() > x0 + rowWidth) {
      x = x0;
      top -= rowHeight + gap;
      rowHeight = 0;
    }
    shift(movable[i]->nodes, movable[i]->edges, x - r.left(), top - r.top());
    x += r.width() + gap;
    rowHeight = std::max(rowHeight, r.height());
  }
}

void KWBGraph::placeDisconnectedNodes(const std::vector<KWDNode*>& nodes, bool keep) {
  KWDGraph* g = pOwnerGraph();
  std::vector<KWDNode*> place;
  for (KWDNode* n : nodes) {
    KWBNode* x = nodeExt(n);
    if (keep || (x && !x->selectRandomizePosition())) continue;
    place.push_back(n);
  }
  if (place.empty()) return;
  // Everything else bounds the drawing; the free nodes go in rows below it.
  KWRect r;
  r.isEmpty(true);
  for (KWDNodeIter it(g); it; ++it) {
    if (std::find(place.begin(), place.end(), it.pNode()) != place.end()) continue;
    KWRect nr; it.pNode()->ntBoundingRect(nr); r.unite(nr);
  }
  long gap = gapFor(place);
  long cell = 0;
  for (KWDNode* n : place) cell = std::max(cell, std::max(n->ntWidth(), n->ntHeight()));
  long perRow = std::max(1L, static_cast<long>(std::ceil(std::sqrt(static_cast<double>(place.size())))));
  long rowWidth = std::max(r.isEmpty() ? 0L : r.width(), perRow * (cell + gap));
  long left = r.isEmpty() ? 0 : r.left();
  long top = r.isEmpty() ? 0 : r.bottom() - gap;
  long x = left, rowHeight = 0;
  for (KWDNode* n : place) {
    if (x > left && x + n->ntWidth() > left + rowWidth) {
      x = left;
      top -= rowHeight + gap;
      rowHeight = 0;
    }
    n->ntMoveTo(x + n->ntWidth() / 2, top - n->ntHeight() / 2);
    x += n->ntWidth() + gap;
    rowHeight = std::max(rowHeight, n->ntHeight());
  }
}

void KWBGraph::randomizePositions(long seed) {
  random_.seed(static_cast<std::uint64_t>(seed));
  KWDGraph* g = pOwnerGraph();
  if (!g) return;
  // Room per node from the mean diagonal; the centre from the nodes that stay.
  double diag = 0.0;
  long n = 0;
  KWRect staying;
  staying.isEmpty(true);
  for (KWDNodeIter it(g); it; ++it, ++n) {
    KWDNode* node = it.pNode();
    double w = static_cast<double>(node->ntWidth());
    double h = static_cast<double>(node->ntHeight());
    diag += std::sqrt(w * w + h * h);
    KWBNode* x = nodeExt(node);
    if (x && x->selectRandomizePosition()) continue;
    KWRect r;
    node->ntBoundingRect(r);
    staying.unite(r);
  }
  if (n == 0) return;
  double edge = std::max(1.75 * diag / static_cast<double>(n), 1.0);
  double side = std::ceil(std::sqrt(static_cast<double>(n))) * edge;
  double cx = staying.isEmpty() ? 0.0 : static_cast<double>(staying.x());
  double cy = staying.isEmpty() ? 0.0 : static_cast<double>(staying.y());
  for (KWDNodeIter it(g); it; ++it) {
    KWDNode* node = it.pNode();
    KWBNode* x = nodeExt(node);
    if (!x || !x->selectRandomizePosition()) continue;
    double fx = random_.nextFraction();
    double fy = random_.nextFraction();
    node->ntMoveTo(static_cast<long>(cx + (fx * side - side / 2.0)), static_cast<long>(cy + (fy * side - side / 2.0)));
  }
}

KWErrorCodeEnum layoutGraph(KWDGraph* graph, KWLayoutStyleEnum style) {
  KWBGraph* b = KWBGraph::of(graph, style);
  if (!b) return KWErrorNoStyle;
  return b->layout();
}
