// KWSGraph: the layout driver of one component and the spring model.
//
// layoutComponent walks a component through the host's preparation, the
// incremental decision, tree removal, the spring model, the random draft, the
// energy descent, scaling back, the optional tree pass and the host's clean-up.
// The spring model is two n×n matrices indexed by each node's sindex:
// springLength holds weighted graph distances (the natural spring lengths),
// springStrength holds springConstant / d², d the number of edges on a
// shortest path.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <queue>
#include <utility>
#include <vector>

#include "data/kwsgrli.h"
#include "data/kwsndli.h"
#include "data/kwtwodar.h"
#include "layout/kwsgraph.h"
#include "layout/kwsgutil.h"
#include "layout/kwsnode.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

namespace {

using kwsl::isConstrained;
using kwsl::nodeInfo;
using kwsl::truncToLong;

/// Edge weight of the hop distances: every edge counts once.
long unitEdgeWeight(KWDEdge*) { return 1; }

/// Half the diagonal of a node's bounding rectangle, truncated.
long halfDiagonal(const KWGNode* n) {
  KWRect r;
  n->ntBoundingRect(r);
  double w = static_cast<double>(r.width());
  double h = static_cast<double>(r.height());
  return truncToLong(std::sqrt(w * w + h * h) / 2.0);
}

/// Edge weight of the natural lengths: the distance at which the end nodes'
/// circumscribed circles touch, widened by the graph's spacing percentage
/// (dummyNodeSpacing when either end is a dummy node, nodeSpacing otherwise).
long edgeIdealLength(KWDEdge* e) {
  long a = halfDiagonal(e->pFromNode());
  long b = halfDiagonal(e->pToNode());
  long s = a + b;
  const KWDGraph* g = e->pOwnerGraph();
  const KWSGraphTailor* t = g ? g->pSTailor() : nullptr;
  if (!t) return s;
  double fN = (t->nodeSpacing() + 100.0) / 100.0;
  double fD = (t->dummyNodeSpacing() + 100.0) / 100.0;
  bool dummy = e->pFromNode()->isDummy() || e->pToNode()->isDummy();
  return truncToLong(static_cast<double>(s) * (dummy ? fD : fN));
}

/// Makes room around crowded tree nodes in the pass over the whole component.
///
/// With natural lengths from graph distances alone, the children of a tree node
/// want to be one edge length from it and two from each other: when many
/// children share a node, far more than fit on that circle, so the descent
/// pulls the ring the radial placement drew back into a heap of overlapping
/// children, and edges run through the nodes pushed inwards. So, after the
/// trees are placed:
/// - an edge from a tree node p to its child gets at least the radius R(p) of
///   the circle that holds p's neighbours side by side,
///     R(p) = Σ over p's neighbours w of 2·halfDiagonal(w)·f / 2π,
///   f the nodeSpacing factor of the edge lengths;
/// - where that made p's edges longer (p is crowded), two children of p keep
///   the distance the radial placement drew between them (at least the
///   distance at which they would touch, at most the path through p), so the
///   ring keeps its even spacing instead of the children spreading out at
///   different radii.
/// A node with few neighbours keeps the plain lengths. The tree edges are found
/// by pruning leaves round by round (a core node is never pruned); the parent
/// of a tree edge is its end pruned later. Lengths and positions are in the
/// descent's (scaled) units. Called twice: for the edges before the shortest paths (so
/// paths through a lengthened edge grow with it), for the children after them
/// (their distance replaces the path through their parent).
/// O(n + m + Σ children²).
void roomAroundTreeNodes(const KWDGraph* g, const KWDNodeDList& nodes, KWTwoDArray& length,
                         bool children) {
  const KWSGraphTailor* t = g->pSTailor();
  const double f = t ? (t->nodeSpacing() + 100.0) / 100.0 : 1.0;
  const size_t n = nodes.length();
  std::vector<std::vector<int>> adj(n);
  std::vector<const KWDNode*> node(n, nullptr);
  KWOutDEdgeIter out;
  for (KWDNodeDListIter it(&nodes); it; ++it) {
    const KWSNodeLayInfo* a = nodeInfo(it.pNode());
    if (!a) return;
    node[a->sindex()] = it.pNode();
    for (out.init(it.pNode()); out; ++out) {
      KWDEdge* e = out.pEdge();
      if (e->pFromNode()->pOwnerGraph() != g || e->pToNode()->pOwnerGraph() != g) continue;
      const KWSNodeLayInfo* b = nodeInfo(e->pToNode());
      if (!b || b->sindex() == a->sindex()) continue;
      adj[a->sindex()].push_back(b->sindex());
      adj[b->sindex()].push_back(a->sindex());
    }
  }
  for (std::vector<int>& row : adj) {
    std::sort(row.begin(), row.end());
    row.erase(std::unique(row.begin(), row.end()), row.end());
  }
  // Pruning rounds: leaves are round 1, the leaves left after them round 2, ...
  const long never = std::numeric_limits<long>::max();
  std::vector<long> round(n, never);
  std::vector<size_t> degree(n);
  std::vector<int> frontier;
  for (size_t i = 0; i < n; ++i) {
    degree[i] = adj[i].size();
    if (degree[i] <= 1) frontier.push_back(static_cast<int>(i));
  }
  for (long r = 1; !frontier.empty(); ++r) {
    std::vector<int> next;
    for (int v : frontier) round[v] = r;
    for (int v : frontier)
      for (int w : adj[v])
        if (round[w] == never && --degree[w] == 1) next.push_back(w);
    frontier.swap(next);
  }
  const double kTwoPi = 6.283185307179586;
  auto drawn = [&](int a, int b) {
    double dx = static_cast<double>(node[a]->ntX() - node[b]->ntX());
    double dy = static_cast<double>(node[a]->ntY() - node[b]->ntY());
    return static_cast<double>(truncToLong(std::sqrt(dx * dx + dy * dy)));
  };
  for (size_t p = 0; p < n; ++p) {
    // p's children; of the two middle nodes of a tree (pruned in the same
    // round), the one with the higher index is the other's child.
    std::vector<int> kids;
    for (int c : adj[p])
      if (round[c] < round[p] || (round[c] == round[p] && round[c] != never && static_cast<size_t>(c) > p))
        kids.push_back(c);
    if (kids.empty()) continue;
    double around = 0.0;
    for (int w : adj[p]) around += 2.0 * static_cast<double>(halfDiagonal(node[w])) * f;
    const double ring = static_cast<double>(truncToLong(around / kTwoPi));
    for (size_t k = 0; k < kids.size(); ++k) {
      const int c = kids[k];
      double& pc = length[p][c];
      if (!children) {
        if (pc >= 0.0 && ring > pc) pc = length[c][p] = ring;
        continue;
      }
      if (!(ring >= pc)) continue;  // p is not crowded
      for (size_t l = k + 1; l < kids.size(); ++l) {
        const int d = kids[l];
        double need = static_cast<double>(halfDiagonal(node[c]) + halfDiagonal(node[d])) * f;
        double& cd = length[c][d];
        if (cd >= 0.0) cd = length[d][c] = std::min(cd, std::max(drawn(c, d), need));
      }
    }
  }
}

}  // namespace

// ---- the component pipeline ---------------------------------------------------

void KWSGraph::layoutComponent() {
  KWDGraph* g = pOwnerGraph();
  if (!g || !pSLayInfo() || !g->pSTailor()) {
    KWBGraph::layoutComponent();
    return;
  }
  preLayoutComponentReset();
  preprocessDisconnectedNodes();
  // Multi-edges are bundled without regard to direction.
  int wasUndirected = g->undirected();
  g->undirected(1);
  KWBGraph::preprocessMultiEdges();
  g->undirected(wasUndirected);
  preprocessReflexiveEdges();

  int incremental = verifyIncrementalLayout();
  bool treesReduced = false;
  if (!incremental) {
    reduceTrees();
    treesReduced = pQueryReducedGraph() != nullptr && pReducedGraph()->numberOfDisconnectedEdges() > 0;
  }

  g->layoutPhase("spring model");
  preprocessGraph();
  if (!incremental) {
    g->layoutPhase("draft");
    positionDraft();
  }
  g->layoutPhase("descent");
  positionFinal();
  postprocessGraph();

  if (!incremental && treesReduced) {
    g->layoutPhase("trees");
    layoutTrees();
    expandTrees();
  }
  // A stopped run keeps the trees where they were placed and leaves out the
  // second pass over the whole component.
  if (!incremental && treesReduced && !g->layoutStopRequested()) {
    g->layoutPhase("spring model");
    preprocessGraph(true);
    g->layoutPhase("descent");
    positionFinal();
    postprocessGraph();
  }

  g->layoutPhase("finish component");
  postprocessReflexiveEdges();
  KWBGraph::postprocessMultiEdges();
  postprocessDisconnectedNodes();
  postLayoutComponentReset();
  KWBGraph::layoutComponent();
}

int KWSGraph::verifyIncrementalLayout() {
  const KWSGraphTailor* t = pOwnerGraph() ? pOwnerGraph()->pSTailor() : nullptr;
  if (!t) return 0;
  return t->incrementalWithinComponentLayout() && !t->firstInitialization() ? 1 : 0;
}

void KWSGraph::getInformationFromGraph(KWDGraph* graph) {
  KWSGraphTailor* mine = pOwnerGraph() ? pOwnerGraph()->pSTailor() : nullptr;
  const KWSGraphTailor* theirs = graph ? graph->pSTailor() : nullptr;
  if (mine && theirs) mine->firstInitialization(theirs->firstInitialization());
}

void KWSGraph::preprocessGraph(bool treesPlaced) {
  KWSGraphLayInfo* li = pSLayInfo();
  KWDGraph* g = pOwnerGraph();
  if (!li || !g) return;
  stepProgress(0, 0);
  buildAllNodeDList();
  if (allNodesConstrained()) return;
  scaleDown();

  int n = static_cast<int>(li->allNodeDList().length());
  li->springStrength().resize(n, n);
  li->springLength().resize(n, n);

  KWTwoDArray& strength = li->springStrength();
  calcAdjMatrix(strength, unitEdgeWeight);
  calcAllPairsShortestPaths(strength);
  const KWSGraphTailor* t = g->pSTailor();
  double k = t ? t->springConstant() : 1.0;
  for (int i = 0; i < n; ++i) {
    KWOneDArray& row = strength[i];
    for (int j = 0; j < n; ++j) {
      if (i == j) continue;
      double d = row[j];
      if (d != 0.0) row[j] = k / (d * d);
    }
  }
  g->layoutCheckpoint();

  calculateMaxDegree();
  calcAdjMatrix(li->springLength(), edgeIdealLength);
  if (treesPlaced) roomAroundTreeNodes(g, li->allNodeDList(), li->springLength(), false);
  g->layoutCheckpoint();
  calcAllPairsShortestPaths(li->springLength());
  if (treesPlaced) roomAroundTreeNodes(g, li->allNodeDList(), li->springLength(), true);
  g->layoutCheckpoint();
}

void KWSGraph::buildAllNodeDList() {
  KWSGraphLayInfo* li = pSLayInfo();
  KWDGraph* g = pOwnerGraph();
  if (!li || !g) return;
  KWDNodeDList& list = li->allNodeDList();
  list.deleteAllCells();
  for (KWDNodeIter it(g); it; ++it) list.appendNode(it.pNode());
  g->layoutCheckpoint();
}

int KWSGraph::allNodesConstrained() const {
  const KWSGraphLayInfo* li = pSLayInfo();
  if (!li) return 1;
  int all = 1;
  for (KWDNodeDListIter it(li->pAllNodeDList()); it && all; ++it) all = isConstrained(it.pNode());
  return all;
}

int KWSGraph::anyNodesConstrained() const {
  const KWDGraph* g = pOwnerGraph();
  if (!g) return 0;
  const KWDList* nodes = nullptr;
  if (g->layoutRunning()) {
    const KWSGraphLayInfo* li = pSLayInfo();
    if (!li) return 0;
    nodes = li->pAllNodeDList();
  } else {
    nodes = g->KWGraph::pNodeList();
  }
  int any = 0;
  for (KWDNodeDListIter it(nodes); it && !any; ++it) any = isConstrained(it.pNode());
  return any;
}

void KWSGraph::indexAllNodes() {
  const KWSGraphLayInfo* li = pSLayInfo();
  if (!li) return;
  int k = 0;
  for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it, ++k)
    if (KWSNodeLayInfo* ni = nodeInfo(it.pNode())) ni->sindex(k);
}

void KWSGraph::positionDraft() {
  KWBGraph::positionDraft();
  if (allNodesConstrained()) return;
  const KWSGraphTailor* t = pOwnerGraph() ? pOwnerGraph()->pSTailor() : nullptr;
  long seed = t ? t->randomSeed() : 1;
  randomizePositions(seed < 0 ? 1 : seed);
}

void KWSGraph::positionFinal() {
  KWDGraph* g = pOwnerGraph();
  const KWSGraphLayInfo* li = pSLayInfo();
  if (!g || !li) return;
  if (!allNodesConstrained()) {
    for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it)
      if (KWSNodeLayInfo* ni = nodeInfo(it.pNode())) ni->pPoint()->moveTo(it.pNode()->ntX(), it.pNode()->ntY());
    greedyDescentPositionFinal();
    for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it)
      if (KWSNodeLayInfo* ni = nodeInfo(it.pNode())) it.pNode()->ntMoveTo(*ni->pPoint());
  }
  const KWSGraphTailor* t = g->pSTailor();
  if (t && t->routeEdges()) edgeNodeAvoidancePhase();
}

void KWSGraph::postprocessGraph() {
  if (allNodesConstrained()) return;
  scaleUp();
  if (pOwnerGraph()) pOwnerGraph()->layoutCheckpoint();
}

int KWSGraph::suitableForShifting() const { return anyNodesConstrained() ? 0 : 1; }

KWEdgeRoutingStyleEnum KWSGraph::edgeRoutingStyle(const KWDEdge*) const {
  const KWSGraphTailor* t = pOwnerGraph() ? pOwnerGraph()->pSTailor() : nullptr;
  return t && t->routeEdges() ? KWBendRouting : KWStraightRouting;
}

// ---- per-run state --------------------------------------------------------------

void KWSGraph::postLayoutComponentReset() {
  KWBGraph::postLayoutComponentReset();
  emptyArrays();
  if (KWSGraphLayInfo* li = pSLayInfo()) li->allNodeDList().deleteAllCells();
  if (KWSGraphTailor* t = pOwnerGraph() ? pOwnerGraph()->pSTailor() : nullptr) t->firstInitialization(0);
}

void KWSGraph::emptyArrays() {
  KWSGraphLayInfo* li = pSLayInfo();
  if (!li) return;
  li->springStrength().resize(0, 0);
  li->springLength().resize(0, 0);
}

void KWSGraph::emptyTopology() {
  KWSGraphLayInfo* li = pSLayInfo();
  if (!li) return;
  emptyArrays();
  li->allNodeDList().deleteAllCells();
}

void KWSGraph::emptyContents() {}

// ---- the spring model -----------------------------------------------------------

void KWSGraph::calcAdjMatrix(KWTwoDArray& matrix, KWSEdgeWeightFunction weight) {
  KWDGraph* g = pOwnerGraph();
  const KWSGraphLayInfo* li = pSLayInfo();
  if (!g || !li) return;
  indexAllNodes();
  int n = static_cast<int>(li->allNodeDList().length());
  for (int i = 0; i < n; ++i) {
    KWOneDArray& row = matrix[i];
    for (int j = 0; j < n; ++j) row[j] = (i == j) ? 0.0 : -1.0;
  }
  KWOutDEdgeIter out;
  for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it) {
    for (out.init(it.pNode()); out; ++out) {
      KWDEdge* e = out.pEdge();
      // Only edges between nodes of this component carry a valid index.
      if (e->pFromNode()->pOwnerGraph() != g || e->pToNode()->pOwnerGraph() != g) continue;
      const KWSNodeLayInfo* a = nodeInfo(e->pFromNode());
      const KWSNodeLayInfo* b = nodeInfo(e->pToNode());
      if (!a || !b) continue;
      int i = a->sindex(), j = b->sindex();
      double x = static_cast<double>(weight(e));
      matrix[i][j] = x;
      matrix[j][i] = x;
    }
  }
  g->layoutCheckpoint();
}

namespace {

/// The edges of a matrix as compressed rows: the neighbours of i are
/// to[first[i] … first[i+1]), weighing weight[…].
struct EdgeRows {
  std::vector<long> first;
  std::vector<int> to;
  std::vector<double> weight;
};

/// Breadth-first search from 64 sources at once, every edge weighing w0: bit
/// i of a node's word stands for source b + i. A level's new nodes are those
/// with a source bit in a neighbour's frontier word that they have not seen
/// yet; the matrix is symmetric, so entry (v, source) is written, which keeps
/// each write within row v. finishRow(s) runs for every source s once its
/// row is done.
template <typename Finish>
void shortestPathsBreadthFirst(KWTwoDArray& matrix, int n, const EdgeRows& e, double w0, Finish finishRow) {
  std::vector<std::uint64_t> seen(static_cast<size_t>(n)), frontier(static_cast<size_t>(n)),
      next(static_cast<size_t>(n));
  for (int b = 0; b < n; b += 64) {
    const int sources = std::min(64, n - b);
    std::fill(seen.begin(), seen.end(), 0);
    std::fill(frontier.begin(), frontier.end(), 0);
    for (int i = 0; i < sources; ++i) seen[b + i] = frontier[b + i] = std::uint64_t(1) << i;
    for (long hops = 1;; ++hops) {
      bool grew = false;
      for (int v = 0; v < n; ++v) {
        std::uint64_t reach = 0;
        for (long k = e.first[v]; k < e.first[v + 1]; ++k) reach |= frontier[e.to[k]];
        next[v] = reach & ~seen[v];
      }
      const double value = static_cast<double>(hops) * w0;
      for (int v = 0; v < n; ++v) {
        std::uint64_t bits = next[v];
        if (!bits) continue;
        grew = true;
        seen[v] |= bits;
        KWOneDArray& row = matrix[v];
        for (; bits; bits &= bits - 1) row[b + __builtin_ctzll(bits)] = value;
      }
      if (!grew) break;
      frontier.swap(next);
    }
    for (int i = 0; i < sources; ++i) finishRow(b + i);
  }
}

/// Dijkstra's search from every node in turn, with a binary heap; stale heap
/// entries are skipped as they come up. finishRow(s) runs for every source s
/// once its row is written.
template <typename Finish>
void shortestPathsDijkstra(KWTwoDArray& matrix, int n, const EdgeRows& e, Finish finishRow) {
  std::vector<double> dist(static_cast<size_t>(n), -1.0);
  typedef std::pair<double, int> Entry;
  std::vector<Entry> heapStore;
  heapStore.reserve(static_cast<size_t>(e.first[n]) + 1);
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> heap(std::greater<Entry>(),
                                                                           std::move(heapStore));
  for (int s = 0; s < n; ++s) {
    std::fill(dist.begin(), dist.end(), -1.0);
    dist[s] = 0.0;
    heap.push(Entry(0.0, s));
    while (!heap.empty()) {
      Entry top = heap.top();
      heap.pop();
      int u = top.second;
      if (top.first > dist[u]) continue;  // a stale entry
      for (long k = e.first[u]; k < e.first[u + 1]; ++k) {
        int v = e.to[k];
        double nd = top.first + e.weight[k];
        if (dist[v] < 0.0 || nd < dist[v]) {
          dist[v] = nd;
          heap.push(Entry(nd, v));
        }
      }
    }
    KWOneDArray& row = matrix[s];
    for (int j = 0; j < n; ++j)
      if (j != s && dist[j] >= 0.0) row[j] = dist[j];
    finishRow(s);
  }
}

}  // namespace

// The shortest-path pass searches from every node in turn over the edges that
// the matrix holds: breadth-first when every edge weighs the same (the hop
// matrix, and the length matrix of equally sized nodes; 64 sources at a time),
// Dijkstra otherwise.
// That costs O(n·m log n) instead of the O(n³) of relaxing every triple, for
// the same matrix:
//   - an off-diagonal entry ≥ 0 is an edge of that weight (0 included), a
//     negative one no edge; a pair without a path keeps its entry;
//   - distances are sums of integer weights and so exact, whichever path or
//     order finds them;
//   - the diagonal holds 0.0, or the weight of a loop when one reached the
//     matrix. It never shortens a path between two other nodes. It becomes
//     the shortest round trip to a neighbour, twice the lightest edge at the
//     node, when that is shorter than the entry or the entry is negative.
// The owner graph hears a checkpoint after every source node.
void KWSGraph::calcAllPairsShortestPaths(KWTwoDArray& matrix) {
  KWDGraph* g = pOwnerGraph();
  const KWSGraphLayInfo* li = pSLayInfo();
  if (!g || !li) return;
  const int n = static_cast<int>(li->allNodeDList().length());
  if (n < 1) return;

  EdgeRows e;
  e.first.assign(static_cast<size_t>(n) + 1, 0);
  for (int i = 0; i < n; ++i) {
    const KWOneDArray& row = matrix[i];
    long c = 0;
    for (int j = 0; j < n; ++j)
      if (j != i && row[j] >= 0.0) ++c;
    e.first[i + 1] = e.first[i] + c;
  }
  e.to.resize(static_cast<size_t>(e.first[n]));
  e.weight.resize(static_cast<size_t>(e.first[n]));
  bool uniform = true;
  double w0 = 0.0;
  for (int i = 0; i < n; ++i) {
    const KWOneDArray& row = matrix[i];
    long k = e.first[i];
    for (int j = 0; j < n; ++j) {
      if (j == i || !(row[j] >= 0.0)) continue;
      double w = row[j];
      if (k == 0) w0 = w;
      uniform = uniform && w == w0;
      e.to[k] = j;
      e.weight[k++] = w;
    }
  }
  // Breadth-first search gives h·w0 for h hops; that product is exactly the
  // sum a path search would form as long as it is an integer below 2^53.
  if (uniform && !(w0 == std::floor(w0) && w0 * n < 9007199254740992.0)) uniform = false;

  // The diagonal of node s: twice its lightest edge when that is shorter than
  // the entry or the entry is negative; the entry itself otherwise.
  auto finishRow = [&](int s) {
    KWOneDArray& row = matrix[s];
    if (e.first[s + 1] > e.first[s]) {
      double lightest = e.weight[e.first[s]];
      for (long k = e.first[s] + 1; k < e.first[s + 1]; ++k) lightest = std::min(lightest, e.weight[k]);
      double roundTrip = lightest + lightest;
      if (row[s] < 0.0 || roundTrip < row[s]) row[s] = roundTrip;
    }
    stepProgress(s + 1, n);
    g->layoutCheckpoint();
  };
  if (uniform) shortestPathsBreadthFirst(matrix, n, e, w0, finishRow);
  else shortestPathsDijkstra(matrix, n, e, finishRow);
}

long KWSGraph::calculateMaxDegree() {
  KWSGraphLayInfo* li = pSLayInfo();
  if (!li) return 0;
  long m = 0;
  for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it) {
    long d = it.pNode()->degree();
    if (d > m) m = d;
  }
  if (m > std::numeric_limits<int>::max()) m = std::numeric_limits<int>::max();
  return li->maxDegree(static_cast<int>(m));
}
