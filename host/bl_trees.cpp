// Tree reduction and expansion in the base pipeline.
//
// reduceTrees cuts every tree that hangs off the core of the owner graph (the
// current component) into the reduced graph: it strips leaves, nodes with a
// single edge, round by round, until only the core is left. A tree node goes to
// the reduced graph together with the edge that led to it, so the reduced graph
// holds whole trees plus, for each tree, the edge to its gateway node; those
// edges are its "disconnected" edges, since their gateway end stays in the
// owner graph.
//
// A node is cut only when the style allows it (nodeReduceAllow), the edge to it
// may go (edgeReduceAllow), and the style would let the layout move it freely
// (selectRandomizePosition of its extension): a pinned node keeps its place in
// the core, where the style's own placement honours the pin, and so does every
// node between it and the core.
//
// A component that is a tree would be stripped to nothing; it keeps its centre:
// peeling round by round ends on one node, or on two joined ones of which the
// earlier in the graph's node order stays.
//
// expandTrees moves everything back. Bends that a style added to the core's
// edges before the expansion are dropped then: the core is laid out anew with
// its trees, and bends computed for the old node positions would no longer fit.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "host/kwbgraph.h"

KWDGraph* KWBGraph::pReducedGraph() {
  if (!reduced_) reduced_.reset(new KWDGraph(nullptr));
  return reduced_.get();
}

void KWBGraph::findGatewayNodes(KWDNodeDList* list) {
  KWDGraph* g = pOwnerGraph();
  if (!list || !g || !reduced_) return;
  for (KWDNodeIter it(g); it; ++it) {
    KWDNode* n = it.pNode();
    bool gateway = false;
    for (KWEdge* e : n->outEdges()) gateway = gateway || e->pOwnerGraph() == reduced_.get();
    for (KWEdge* e : n->inEdges()) gateway = gateway || e->pOwnerGraph() == reduced_.get();
    if (gateway) list->appendNode(n);
  }
}

namespace {
/// The edge of graph g at node n whose other end is not yet cut off, when n has
/// exactly one such edge; null otherwise.
KWDEdge* singleLiveEdge(const KWDNode* n, const KWDGraph* g) {
  KWDEdge* found = nullptr;
  for (KWEdge* e : n->outEdges()) {
    if (e->pOwnerGraph() != g) continue;
    if (found) return nullptr;
    found = static_cast<KWDEdge*>(e);
  }
  for (KWEdge* e : n->inEdges()) {
    if (e->pOwnerGraph() != g) continue;
    if (found == e) return nullptr;  // a loop, met as outgoing and incoming
    if (found) return nullptr;
    found = static_cast<KWDEdge*>(e);
  }
  return found;
}
}  // namespace

void KWBGraph::reduceTrees() {
  KWDGraph* g = pOwnerGraph();
  if (!g) return;
  // Whatever an earlier reduction left behind comes back first, so that no node
  // can stay stranded outside the drawing.
  if (reduced_ && (reduced_->numberOfNodes() > 0 || reduced_->numberOfEdges() > 0)) expandTrees();

  std::vector<KWDNode*> nodes;
  for (KWDNodeIter it(g); it; ++it) nodes.push_back(it.pNode());
  if (nodes.size() < 2) return;
  std::unordered_map<const KWNode*, size_t> index;
  for (size_t i = 0; i < nodes.size(); ++i) index[nodes[i]] = i;

  // Degrees within the owner graph (a loop counts twice) and components, by an
  // explicit breadth-first walk.
  std::vector<long> degree(nodes.size(), 0);
  std::vector<std::vector<size_t>> adj(nodes.size());
  for (KWDEdgeIter it(g); it; ++it) {
    KWDEdge* e = it.pEdge();
    auto f = index.find(e->pFromNode());
    auto t = index.find(e->pToNode());
    if (f == index.end() || t == index.end()) continue;
    ++degree[f->second];
    ++degree[t->second];
    adj[f->second].push_back(t->second);
    adj[t->second].push_back(f->second);
  }
  std::vector<long> comp(nodes.size(), -1);
  std::vector<long> remaining;  // nodes left in each component
  for (size_t s = 0; s < nodes.size(); ++s) {
    if (comp[s] >= 0) continue;
    long c = static_cast<long>(remaining.size());
    remaining.push_back(0);
    std::vector<size_t> queue{s};
    comp[s] = c;
    for (size_t h = 0; h < queue.size(); ++h) {
      ++remaining[c];
      for (size_t o : adj[queue[h]]) {
        if (comp[o] >= 0) continue;
        comp[o] = c;
        queue.push_back(o);
      }
    }
  }

  auto cuttable = [&](size_t i, KWDEdge*& edge) -> bool {
    if (degree[i] != 1) return false;
    KWDNode* n = nodes[i];
    if (!nodeReduceAllow(n)) return false;
    KWBNode* x = nodeExt(n);
    if (x && !x->selectRandomizePosition()) return false;
    edge = singleLiveEdge(n, g);
    return edge != nullptr && edgeReduceAllow(edge) != 0;
  };

  std::vector<bool> cut(nodes.size(), false);
  std::vector<size_t> frontier;
  for (size_t i = 0; i < nodes.size(); ++i) {
    KWDEdge* e = nullptr;
    if (cuttable(i, e)) frontier.push_back(i);
  }
  KWDGraph* reduced = nullptr;
  while (!frontier.empty()) {
    // A component whose remaining nodes are all leaves of this round is down to
    // its centre pair: the earlier node stays as the core.
    std::vector<long> leavesIn(remaining.size(), 0);
    for (size_t i : frontier) ++leavesIn[comp[i]];
    const std::vector<long> atStart(remaining);
    std::vector<bool> keptOne(remaining.size(), false);
    std::vector<size_t> next;
    for (size_t i : frontier) {
      long c = comp[i];
      if (leavesIn[c] >= atStart[c] && !keptOne[c]) {
        keptOne[c] = true;
        continue;
      }
      KWDEdge* e = nullptr;
      if (cut[i] || !cuttable(i, e)) continue;
      if (!reduced) reduced = pReducedGraph();
      KWDNode* other = static_cast<KWDNode*>(e->pOpposite(nodes[i]));
      reduced->insertNode(nodes[i]);
      reduced->adoptEdge(e);
      cut[i] = true;
      --remaining[c];
      degree[i] = 0;
      auto o = index.find(other);
      if (o != index.end() && !cut[o->second]) {
        if (--degree[o->second] == 1) next.push_back(o->second);
      }
    }
    std::sort(next.begin(), next.end());
    next.erase(std::unique(next.begin(), next.end()), next.end());
    frontier.clear();
    for (size_t i : next) {
      KWDEdge* e = nullptr;
      if (!cut[i] && cuttable(i, e)) frontier.push_back(i);
    }
  }
}

void KWBGraph::expandTrees() {
  KWDGraph* g = pOwnerGraph();
  if (!g || !reduced_) return;
  if (reduced_->numberOfNodes() == 0 && reduced_->numberOfEdges() == 0) return;
  for (KWDEdgeIter it(g); it; ++it) it.pEdge()->removeAllBends();
  g->moveNodesAndEdges(reduced_.get(), reduced_->KWGraph::pNodeList(), reduced_->KWGraph::pEdgeList());
}
