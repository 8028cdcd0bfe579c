// KWSLayout: the shortest way for an application to use the symmetric layout.
//
// It owns a symmetric layout factory, the host factory that uses it and one
// drawing graph of the symmetric style. Build the graph with addNode and
// addEdge (or through graph()), change settings through settings() and
// nodeSettings(), call layout(), then read each node's centre (ntX, ntY).
//
//   KWSLayout lay;
//   KWDNode* a = lay.addNode(20, 20, "a");
//   KWDNode* b = lay.addNode(20, 20, "b");
//   lay.addEdge(a, b);
//   lay.settings().randomSeed(7);
//   if (lay.layout() == KWNoError) std::printf("%ld %ld\n", a->ntX(), a->ntY());
//
// Nodes and edges belong to the graph and go with the KWSLayout.
#ifndef KWSLAYOUT_H
#define KWSLAYOUT_H

#include <memory>
#include <string>
#include <vector>

#include "host/kwdgraph.h"
#include "host/kwenums.h"

class KWFactory;
class KWStyleFactory;
class KWSGraphTailor;
class KWSNodeTailor;
class KWLayoutObserver;

class KWSLayout {
 public:
  KWSLayout();
  ~KWSLayout();
  KWSLayout(const KWSLayout&) = delete;
  KWSLayout& operator=(const KWSLayout&) = delete;

  /// A new node of the given size, centred on the origin until laid out.
  KWDNode* addNode(long width, long height, const std::string& name = std::string());
  /// A new edge from -> to; both must be nodes of this layout's graph.
  /// Answers null (and adds nothing) otherwise.
  KWDEdge* addEdge(KWDNode* from, KWDNode* to, const std::string& name = std::string());

  /// The graph settings (spacing, seed, descent limits, routeEdges ...).
  KWSGraphTailor& settings() const;
  /// The settings of one node (constrained); null for a node of another graph.
  KWSNodeTailor* nodeSettings(const KWDNode* node) const;
  /// Pins a node at its current centre for later layouts, or frees it.
  void pin(KWDNode* node, bool pinned = true);

  /// Lays out the whole graph. Answers KWNoError, or the host's status
  /// (KWErrorTooLarge for a component beyond the size limit).
  KWErrorCodeEnum layout();
  /// Receives a checkpoint after every costly step of later layouts (null: none).
  void observer(KWLayoutObserver* o);

  /// The nodes in the order they were added.
  std::vector<KWDNode*> nodes() const;
  /// A node's centre.
  static KWPoint position(const KWDNode* node) { return KWPoint(node->ntX(), node->ntY()); }

  KWDGraph* graph() const { return graph_.get(); }

 private:
  std::unique_ptr<KWStyleFactory> style_;
  std::unique_ptr<KWFactory> factory_;
  std::unique_ptr<KWDGraph> graph_;
};

#endif
