// Breadth-first traversal of a graph from a root node.
#ifndef KWBFS_H
#define KWBFS_H

#include <vector>

#include "host/kwgraph.h"

/// Visits the nodes of a graph reachable from a root over edges of that graph,
/// in breadth-first order, recording the nodes and the tree edges it used.
///
/// direction: 0 follows outgoing edges only, 1 incoming only, 2 both (the
/// graph read as undirected). maxDepth: 0 for no limit, otherwise the largest
/// number of edges from the root. Only edges that belong to the given graph are
/// followed, so a node shared with another graph does not lead into it.
/// Cost: O(nodes + edges reached). The queue is explicit: no recursion.
class KWRootedBFS : public KWObject {
 public:
  KWRootedBFS(KWGraph* graph, KWNode* root, int direction, int maxDepth);
  void run();
  /// Root first, then in breadth-first order.
  const std::vector<KWNode*>& visitedNodes() const { return nodes_; }
  /// Every edge of the graph between two visited nodes, in discovery order.
  const std::vector<KWEdge*>& visitedEdges() const { return edges_; }
  /// Depth of each visited node, parallel to visitedNodes.
  const std::vector<long>& depths() const { return depths_; }
  /// The edge through which each visited node was reached (null for the root).
  const std::vector<KWEdge*>& parentEdges() const { return parents_; }

 private:
  KWGraph* graph_;
  KWNode* root_;
  int direction_;
  int maxDepth_;
  std::vector<KWNode*> nodes_;
  std::vector<KWEdge*> edges_;
  std::vector<long> depths_;
  std::vector<KWEdge*> parents_;
};

#endif
