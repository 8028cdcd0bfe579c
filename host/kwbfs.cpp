#include "host/kwbfs.h"

#include <unordered_map>
#include <unordered_set>

KWRootedBFS::KWRootedBFS(KWGraph* graph, KWNode* root, int direction, int maxDepth)
    : graph_(graph), root_(root), direction_(direction), maxDepth_(maxDepth) {}

void KWRootedBFS::run() {
  nodes_.clear(); edges_.clear(); depths_.clear(); parents_.clear();
  if (!graph_ || !root_) return;
  std::unordered_map<const KWNode*, size_t> seen;
  std::unordered_set<const KWEdge*> usedEdges;
  nodes_.push_back(root_);
  depths_.push_back(0);
  parents_.push_back(nullptr);
  seen[root_] = 0;
  for (size_t head = 0; head < nodes_.size(); ++head) {
    KWNode* n = nodes_[head];
    long depth = depths_[head];
    auto visit = [&](KWEdge* e, KWNode* other) {
      if (e->pOwnerGraph() != graph_) return;
      if (usedEdges.count(e)) return;
      auto it = seen.find(other);
      if (it != seen.end()) {
        // An edge between two visited nodes (a non-tree edge or a loop).
        usedEdges.insert(e);
        edges_.push_back(e);
        return;
      }
      if (maxDepth_ > 0 && depth + 1 > maxDepth_) return;
      usedEdges.insert(e);
      edges_.push_back(e);
      seen[other] = nodes_.size();
      nodes_.push_back(other);
      depths_.push_back(depth + 1);
      parents_.push_back(e);
    };
    if (direction_ == 0 || direction_ == 2)
      for (size_t i = 0; i < n->outEdges().size(); ++i) visit(n->outEdges()[i], n->outEdges()[i]->pToNode());
    if (direction_ == 1 || direction_ == 2)
      for (size_t i = 0; i < n->inEdges().size(); ++i) visit(n->inEdges()[i], n->inEdges()[i]->pFromNode());
  }
}
