// Abstract graphs: nodes joined by edges, with no geometry.
//
// A graph owns the nodes and edges it holds. removeNode and removeEdge detach
// an object without destroying it, so that it can be inserted into this or
// another graph again. A detached node keeps its edges attached to it.
//
// Every node and edge knows the graph it belongs to. A node's adjacency may hold
// edges that currently belong to another graph (trees moved to a reduced graph,
// say); degree and the edge iterators count only edges of the node's own graph.
#ifndef KWGRAPH_H
#define KWGRAPH_H

#include <cstddef>
#include <vector>

#include "host/kwdlist.h"
#include "host/kwenums.h"
#include "host/kwomlobj.h"

class KWGraph;
class KWNode;
class KWEdge;
class KWFactory;

/// Base of graphs, nodes and edges: the per-style extensions and tailors.
/// Each object holds at most one extension and one tailor per layout style and
/// deletes them with itself.
class KWGraphObject : public KWOMLObject {
 public:
  KWGraphObject();
  ~KWGraphObject() override;
  KWGraphObject(const KWGraphObject&) = delete;
  KWGraphObject& operator=(const KWGraphObject&) = delete;

  /// The factory of the graph this object belongs to (null when detached).
  virtual KWFactory* pFactory() const = 0;
  /// The graph a node or edge belongs to, as an OML object; null for a graph.
  virtual KWOMLObject* pUnverifiedOwner() const { return nullptr; }

  KWObject* pStyleExtension(KWLayoutStyleEnum style) const;
  KWObject* pStyleTailor(KWLayoutStyleEnum style) const;
  /// Installs (and owns) an extension or tailor, deleting any previous one.
  void styleExtension(KWLayoutStyleEnum style, KWObject* ext);
  void styleTailor(KWLayoutStyleEnum style, KWObject* tailor);
  /// Deletes every extension and tailor now.
  void deleteStyleObjects();

 private:
  KWObject* ext_[KWNumberOfLayoutStyles];
  KWObject* tailor_[KWNumberOfLayoutStyles];
};

class KWNode : public KWGraphObject {
 public:
  KWGraph* pOwnerGraph() const { return graph_; }
  KWOMLObject* pUnverifiedOwner() const override;
  KWFactory* pFactory() const override;
  /// Number of edges of this node's own graph attached to it (a loop counts twice).
  long degree() const;
  /// Every attached edge, whatever graph it belongs to.
  const std::vector<KWEdge*>& outEdges() const { return out_; }
  const std::vector<KWEdge*>& inEdges() const { return in_; }

 private:
  friend class KWGraph;
  KWGraph* graph_ = nullptr;
  KWDListCell* cell_ = nullptr;
  std::vector<KWEdge*> out_;
  std::vector<KWEdge*> in_;
};

class KWEdge : public KWGraphObject {
 public:
  KWNode* pFromNode() const { return from_; }
  KWNode* pToNode() const { return to_; }
  /// The end of the edge that is not n (n itself for a loop).
  KWNode* pOpposite(const KWNode* n) const { return n == from_ ? to_ : from_; }
  int reflexive() const { return from_ != nullptr && from_ == to_; }
  KWGraph* pOwnerGraph() const { return graph_; }
  KWOMLObject* pUnverifiedOwner() const override;
  KWFactory* pFactory() const override;
  /// Whether the edge is linked into its end nodes' adjacency.
  bool attached() const { return attached_; }

 protected:
  /// Sets the end nodes without linking (used by path edges, which never
  /// enter adjacency lists).
  void setEnds(KWNode* from, KWNode* to) { from_ = from; to_ = to; }

 private:
  friend class KWGraph;
  KWNode* from_ = nullptr;
  KWNode* to_ = nullptr;
  KWGraph* graph_ = nullptr;
  KWDListCell* cell_ = nullptr;
  bool attached_ = false;
};

/// A graph. The node and edge list objects are supplied by the concrete graph
/// class so that they can be viewed as the typed lists of that class.
class KWGraph : public KWGraphObject {
 public:
  KWGraph(KWDList* nodeList, KWDList* edgeList);
  ~KWGraph() override;

  KWDList* pNodeList() const { return nodes_; }
  KWDList* pEdgeList() const { return edges_; }
  long numberOfNodes() const { return nodes_->length(); }
  long numberOfEdges() const { return edges_->length(); }

  /// Adds a detached node (keeping its edges) at the end of the node list.
  void insertNode(KWNode* node);
  /// Detaches a node from this graph; its edges stay attached to it. Answers the node.
  KWNode* removeNode(KWNode* node);
  /// Links a detached edge between from and to and adds it to this graph.
  void insertEdge(KWEdge* edge, KWNode* from, KWNode* to);
  /// Unlinks an edge from its end nodes and from this graph. The edge keeps its
  /// end-node pointers. Answers the edge.
  KWEdge* removeEdge(KWEdge* edge);
  /// Moves an edge's membership to this graph without touching its end nodes.
  void adoptEdge(KWEdge* edge);
  /// Number of edges of this graph at least one of whose end nodes is not in it.
  long numberOfDisconnectedEdges() const;
  /// Puts the node and edge lists into the order given (every listed object
  /// must belong to this graph; objects not listed keep their order at the end).
  void reorder(const std::vector<KWNode*>& nodes, const std::vector<KWEdge*>& edges);

 protected:
  /// Deletes every node and edge (objects detached from the graph are not touched).
  void deleteContents();
  /// Called after insertEdge has linked an edge.
  virtual void edgeInserted(KWEdge*) {}

 private:
  KWDList* nodes_;
  KWDList* edges_;
};

/// Iterates the edges of a node that belong to the node's own graph: first the
/// outgoing, then (for KWAllEdges) the incoming ones. A loop is met once as outgoing.
class KWNodeEdgeIter {
 public:
  enum Which { KWOutEdges, KWInEdges, KWAllEdges };
  explicit KWNodeEdgeIter(Which which = KWOutEdges) : which_(which) {}
  KWNodeEdgeIter(const KWNode* node, Which which) : which_(which) { init(node); }
  void init(const KWNode* node);
  explicit operator bool() const { return edge_ != nullptr; }
  KWNodeEdgeIter& operator++() { advance(); return *this; }
  KWEdge* pEdge() const { return edge_; }

 private:
  void advance();
  Which which_;
  const KWNode* node_ = nullptr;
  size_t pos_ = 0;
  bool inPhase_ = false;
  KWEdge* edge_ = nullptr;
};

#endif
