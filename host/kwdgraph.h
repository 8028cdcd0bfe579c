// Drawing graphs: nodes with a centre and a size, edges drawn as paths of
// straight pieces through bends, and the per-style extensions and tailors that
// layout modules attach to them.
//
// Coordinates are long drawing units, y grows upwards, a node's position is its
// centre. A drawn edge (KWDEdge) owns its path: the bends (KWPNode) and the
// straight pieces between consecutive path points (KWPEdge). A straight edge has
// one piece from its source to its target node.
#ifndef KWDGRAPH_H
#define KWDGRAPH_H

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "host/kwgeom.h"
#include "host/kwgraph.h"

class KWDGraph;
class KWDNode;
class KWDEdge;
class KWPNode;
class KWPEdge;
class KWFactory;
class KWGraphExt;
class KWNodeExt;
class KWEdgeExt;
class KWGraphTailor;
class KWNodeTailor;
class KWEdgeTailor;
class KWRootedBFS;
class KWLayoutObserver;
// The symmetric module's classes, reached through the typed accessors below.
// Their definitions come with the module's headers.
class KWSGraph;
class KWSNode;
class KWSEdge;
class KWSGraphTailor;
class KWSNodeTailor;
class KWSEdgeTailor;

/// A node with geometry: a drawing node or a bend.
class KWGNode : public KWNode {
 public:
  long ntX() const { return x_; }
  long ntY() const { return y_; }
  long ntWidth() const { return w_; }
  long ntHeight() const { return h_; }
  void ntMoveTo(const KWPoint& p) { x_ = p.x(); y_ = p.y(); }
  void ntMoveTo(long x, long y) { x_ = x; y_ = y; }
  /// Sets the current size; the centre stays.
  void ntResize(long w, long h) { w_ = w; h_ = h; }
  void ntBoundingRect(KWRect& r) const { r.set(x_ - w_ / 2, y_ - h_ / 2, w_, h_); }
  /// The layout extension of the given style, or null.
  KWNodeExt* pExtension(KWLayoutStyleEnum style) const;
  /// The symmetric extension (defined by the symmetric module's headers).
  KWSNode* pSNode() const;
  /// Whether this node was inserted by a layout as a helper (never true for bends).
  virtual int isDummy() const { return 0; }

 protected:
  long x_ = 0, y_ = 0, w_ = 0, h_ = 0;
};

/// Where an edge meets a node: an offset from the node's centre. A connector
/// the user fixed is "specified"; layouts keep it. Others are chosen by a layout
/// and dropped before the next one.
class KWConnector : public KWObject {
 public:
  KWConnector(long dx, long dy, bool specified) : dx_(dx), dy_(dy), specified_(specified) {}
  long dx() const { return dx_; }
  long dy() const { return dy_; }
  bool specified() const { return specified_; }

 private:
  long dx_, dy_;
  bool specified_;
};

/// A node of a drawing graph.
class KWDNode : public KWGNode {
 public:
  KWDNode() = default;
  /// Sets the size the user gave the node: both its current and its original size.
  void size(long w, long h) { w_ = origW_ = w; h_ = origH_ = h; }
  long originalWidth() const { return origW_; }
  long originalHeight() const { return origH_; }
  const std::string& name() const { return name_; }
  void name(const std::string& n) { name_ = n; }
  int isDummy() const override { return dummy_ ? 1 : 0; }
  void dummy(bool d) { dummy_ = d; }

  KWDGraph* pOwnerGraph() const;
  KWNodeTailor* pPrivateTailor(KWLayoutStyleEnum style) const;
  KWSNodeTailor* pSTailor() const;
  /// Called by a node tailor before one of its settings really changes.
  virtual void actOnTailorChange();
  long tailorChanges() const { return tailorChanges_; }

  /// This object as a drawing node, or null when it is something else.
  static KWDNode* castDown(const KWObject* o);

 private:
  long origW_ = 0, origH_ = 0;
  bool dummy_ = false;
  std::string name_;
  long tailorChanges_ = 0;
};

/// A bend of a drawn edge.
class KWPNode : public KWGNode {
 public:
  explicit KWPNode(KWDEdge* owner) : owner_(owner) {}
  KWDEdge* pOwnerEdge() const { return owner_; }
  KWFactory* pFactory() const override;
  static KWPNode* castDown(const KWObject* o);

 private:
  KWDEdge* owner_;
};

/// An edge with geometry: a drawn edge or one straight piece of it.
class KWGEdge : public KWEdge {
 public:
  KWGNode* pFromNode() const { return static_cast<KWGNode*>(KWEdge::pFromNode()); }
  KWGNode* pToNode() const { return static_cast<KWGNode*>(KWEdge::pToNode()); }
  /// The drawing graph the edge (or, for a piece, its drawn edge) belongs to.
  virtual KWDGraph* pOwnerGraph() const;
  KWEdgeExt* pExtension(KWLayoutStyleEnum style) const;
  /// The symmetric extension (defined by the symmetric module's headers).
  KWSEdge* pSEdge() const;
  /// When true, layouts keep every connector of the edge, chosen ones included.
  virtual int keepsConnectors() const { return keeps_ ? 1 : 0; }
  void keepsConnectors(bool k) { keeps_ = k; }

 private:
  bool keeps_ = false;
};

/// An edge of a drawing graph with its path.
class KWDEdge : public KWGEdge {
 public:
  KWDEdge();
  ~KWDEdge() override;
  KWDNode* pFromNode() const { return static_cast<KWDNode*>(KWEdge::pFromNode()); }
  KWDNode* pToNode() const { return static_cast<KWDNode*>(KWEdge::pToNode()); }
  const std::string& name() const { return name_; }
  void name(const std::string& n) { name_ = n; }

  // Connectors. Passing null detaches (and deletes) the current one.
  KWConnector* pFromConnector() const { return fromConn_; }
  KWConnector* pToConnector() const { return toConn_; }
  void pFromConnector(KWConnector* c);
  void pToConnector(KWConnector* c);
  int hasSpecifiedFromConnector() const { return fromConn_ && fromConn_->specified(); }
  int hasSpecifiedToConnector() const { return toConn_ && toConn_->specified(); }

  // The path.
  /// The straight pieces from source to target, as KWPEdge objects.
  const KWDList& pathEdgeList() const { return pieces_; }
  /// The bends from source to target, as KWPNode objects.
  const KWDList& bendList() const { return bends_; }
  long numberOfBends() const { return bends_.length(); }
  /// Inserts a bend at p into the piece pe and answers it. pe stays the piece
  /// next to its from-end; a new piece runs from the bend to pe's old to-end.
  KWPNode* ntAddBend(KWPEdge* pe, const KWPoint& p);
  /// Appends a bend just before the target node.
  KWPNode* ntAppendBend(const KWPoint& p);
  /// Makes the edge straight again: deletes every bend and piece but one.
  void removeAllBends();
  /// The bend positions, source to target.
  std::vector<KWPoint> bendPoints() const;
  /// Moves every bend by (dx, dy).
  void moveBends(long dx, long dy);
  /// Rebuilds the path after the edge's end nodes changed (the single piece
  /// follows the end nodes; bends are kept).
  void resetPathEnds();

  KWDGraph* pOwnerGraph() const override;
  KWEdgeTailor* pPrivateTailor(KWLayoutStyleEnum style) const;
  KWSEdgeTailor* pSTailor() const;

  static KWDEdge* castDown(const KWObject* o);

 private:
  friend class KWDGraph;
  void attachPieceExtensions(KWPEdge* pe);
  void attachBendExtensions(KWPNode* b);
  std::string name_;
  KWConnector* fromConn_ = nullptr;
  KWConnector* toConn_ = nullptr;
  KWDList pieces_;
  KWDList bends_;
};

/// One straight piece of a drawn edge, between two consecutive path points
/// (end nodes or bends). Pieces never enter adjacency lists or the graph's edge list.
class KWPEdge : public KWGEdge {
 public:
  KWPEdge(KWDEdge* owner, KWGNode* from, KWGNode* to) : owner_(owner) { setEnds(from, to); }
  KWDEdge* pOwnerEdge() const { return owner_; }
  KWDGraph* pOwnerGraph() const override;
  KWFactory* pFactory() const override;
  void setFrom(KWGNode* n) { setEnds(n, pToNode()); }
  void setTo(KWGNode* n) { setEnds(pFromNode(), n); }
  /// Non-zero when the straight segment between the piece's end points meets
  /// the closed rectangle r. With flag 1 a segment that only touches the border
  /// does not count (it must enter the rectangle's interior).
  virtual int intersectsRect(const KWRect& r, int flag) const;
  static KWPEdge* castDown(const KWObject* o);

 private:
  KWDEdge* owner_;
};

// Typed lists. A node list of a drawing graph is a KWDNodeDList, which can be
// viewed as the KWGNodeDList it derives from.
class KWGNodeDList : public KWDList {
 public:
  void appendNode(KWGNode* n) { append(n); }
  KWGNode* pNodeAt(KWDListCell* c) const { return static_cast<KWGNode*>(c->pObject()); }
  /// Views a list of geometric nodes (such as a drawing graph's node list) as
  /// a KWGNodeDList.
  static const KWGNodeDList* constCastCross(const KWDList* l) { return static_cast<const KWGNodeDList*>(l); }
};

class KWDNodeDList : public KWGNodeDList {
 public:
  void appendNode(KWDNode* n) { append(n); }
  void prependNode(KWDNode* n) { prepend(n); }
  KWDListCell* searchNode(const KWDNode* n) const { return search(n); }
  bool removeNode(const KWDNode* n) { return remove(n); }
};

class KWGEdgeDList : public KWDList {
 public:
  void appendEdge(KWGEdge* e) { append(e); }
};

class KWDEdgeDList : public KWGEdgeDList {
 public:
  void appendEdge(KWDEdge* e) { append(e); }
  KWDListCell* searchEdge(const KWDEdge* e) const { return search(e); }
};

class KWPEdgeDList : public KWDList {
 public:
  /// Appends pe unless it is already in the list.
  void appendEdgeIfNotInList(KWPEdge* pe) { if (!search(pe)) append(pe); }
};

/// Observer of layout runs on a drawing graph: checkpoints (with the phase and
/// the component being laid out) and tailor changes.
class KWLayoutObserver {
 public:
  virtual ~KWLayoutObserver() = default;
  virtual void checkpoint(const KWDGraph& graph) = 0;
};

/// A drawing graph. It owns its nodes and edges, creates their extensions and
/// tailors for every layout style enabled on it, and reports layout progress.
class KWDGraph : public KWGraph {
 public:
  explicit KWDGraph(KWFactory* factory = nullptr);
  ~KWDGraph() override;

  KWFactory* pFactory() const override { return factory_; }
  KWDNodeDList* pNodeList() const { return static_cast<KWDNodeDList*>(KWGraph::pNodeList()); }
  KWDEdgeDList* pEdgeList() const { return static_cast<KWDEdgeDList*>(KWGraph::pEdgeList()); }

  /// Creates the extension and tailor of style for the graph and everything in
  /// it (nodes, edges, bends, pieces) from the factory's layout factory of that style.
  /// Answers false when the factory has no layout factory for the style.
  bool enableLayoutStyle(KWLayoutStyleEnum style);
  bool hasLayoutStyle(KWLayoutStyleEnum style) const;

  /// A new node at (x, y) of size w×h, inserted into this graph.
  KWDNode* newNode(long x, long y, long w, long h, const std::string& name = std::string());
  /// A new straight edge from -> to, inserted into this graph.
  KWDEdge* newEdge(KWDNode* from, KWDNode* to, const std::string& name = std::string());
  /// Removes a node with its edges from the graph and destroys them.
  void deleteNode(KWDNode* node);
  void deleteEdge(KWDEdge* edge);
  /// Gives a node or edge created elsewhere the extensions and tailors of this
  /// graph's styles (objects it has already are kept).
  void equip(KWDNode* node);
  void equip(KWDEdge* edge);
  void equip(KWPNode* bend);
  void equip(KWPEdge* piece);

  KWDNode* castNode(KWDListCell* c) const { return static_cast<KWDNode*>(c->pObject()); }
  KWDEdge* castEdge(KWDListCell* c) const { return static_cast<KWDEdge*>(c->pObject()); }

  int layoutRunning() const { return running_ ? 1 : 0; }
  void layoutRunning(int r) { running_ = r != 0; }
  int undirected() const { return undirected_ ? 1 : 0; }
  void undirected(int u) { undirected_ = u != 0; }

  /// The rectangle around every node and bend (an empty rectangle at the
  /// origin for a graph without nodes).
  void ntBoundingRect(KWRect& r) const;
  void calculateAndReturnGraphBounds(KWRect& r) const { ntBoundingRect(r); }

  KWGraphExt* pExtension(KWLayoutStyleEnum style) const;
  KWGraphTailor* pPrivateTailor(KWLayoutStyleEnum style) const;
  KWSGraphTailor* pSTailor() const;
  KWSGraph* pSGraph() const;

  /// Called by layouts after every costly step. Counts, tells the observer and
  /// turns an expired time budget into a stop request.
  virtual void layoutCheckpoint();

  // Stopping a run. The request is an atomic flag on the graph rather than an
  // answer of the observer, so that any thread can make it (a user interface,
  // a signal handler's watcher) as well as the observer itself. The layout
  // honours it at its next checkpoint: the descent ends, a second pass is left
  // out, and the drawing is finished as usual; layout() then answers
  // KWStoppedEarly. A run clears the request as it starts.
  /// Asks the running layout to stop at its next checkpoint.
  void requestLayoutStop() const { stop_.store(true, std::memory_order_relaxed); }
  bool layoutStopRequested() const { return stop_.load(std::memory_order_relaxed); }
  /// Time budget of later runs in milliseconds (0: none). A run whose budget
  /// runs out stops as if a stop had been requested.
  long layoutTimeBudget() const { return budgetMs_; }
  void layoutTimeBudget(long ms) { budgetMs_ = ms > 0 ? ms : 0; }
  /// Clears the stop request and starts the run's clock; layout() calls it.
  void beginLayoutRun();
  /// Called by a graph tailor when one of its settings really changes.
  virtual void actOnTailorChange();
  long checkpoints() const { return checkpoints_; }
  long tailorChanges() const { return tailorChanges_; }
  void observer(KWLayoutObserver* o) { observer_ = o; }
  KWLayoutObserver* pObserver() const { return observer_; }
  /// Progress information the pipeline keeps up to date for observers.
  const char* layoutPhase() const { return phase_; }
  void layoutPhase(const char* p) { phase_ = p; }
  long layoutComponentIndex() const { return compIndex_; }
  long layoutComponentCount() const { return compCount_; }
  void layoutComponentProgress(long index, long count) { compIndex_ = index; compCount_ = count; }

  /// Moves the nodes and edges that traversal visited in from into this graph.
  virtual void moveTraversedSubgraph(KWDGraph* from, KWRootedBFS* traversal);
  /// Moves the given nodes and edges of from (lists of KWDNode / KWDEdge) into
  /// this graph. Passing from's own lists moves everything and leaves from empty.
  virtual void moveNodesAndEdges(KWDGraph* from, KWDList* nodes, KWDList* edges);

  static KWDGraph* castDown(const KWObject* o);

 protected:
  void edgeInserted(KWEdge* e) override;

 private:
  KWFactory* factory_;
  unsigned styles_ = 0;
  bool running_ = false;
  bool undirected_ = false;
  long checkpoints_ = 0;
  long tailorChanges_ = 0;
  KWLayoutObserver* observer_ = nullptr;
  const char* phase_ = "";
  long compIndex_ = 0, compCount_ = 0;
  mutable std::atomic<bool> stop_{false};
  long budgetMs_ = 0;
  std::chrono::steady_clock::time_point deadline_{};
};

/// Forward iterator over the drawing nodes of a graph (never bends).
class KWDNodeIter : public KWDListIter {
 public:
  explicit KWDNodeIter(const KWDGraph* g) : KWDListIter(g->KWGraph::pNodeList()) {}
  KWDNode* pNode() const { return static_cast<KWDNode*>(pObject()); }
};

/// Forward iterator over the edges of a drawing graph.
class KWDEdgeIter : public KWDListIter {
 public:
  explicit KWDEdgeIter(const KWDGraph* g) : KWDListIter(g->KWGraph::pEdgeList()) {}
  KWDEdge* pEdge() const { return static_cast<KWDEdge*>(pObject()); }
};

class KWDNodeDListIter : public KWDListIter {
 public:
  using KWDListIter::KWDListIter;
  KWDNode* pNode() const { return static_cast<KWDNode*>(pObject()); }
};

class KWGNodeDListIter : public KWDListIter {
 public:
  using KWDListIter::KWDListIter;
  KWGNode* pNode() const { return static_cast<KWGNode*>(pObject()); }
};

class KWDEdgeDListIter : public KWDListIter {
 public:
  using KWDListIter::KWDListIter;
  KWDEdge* pEdge() const { return static_cast<KWDEdge*>(pObject()); }
};

class KWPEdgeDListIter : public KWDListIter {
 public:
  using KWDListIter::KWDListIter;
  KWPEdge* pEdge() const { return static_cast<KWPEdge*>(pObject()); }
};

/// The outgoing edges of a node within its graph. Constructed without a node,
/// then init with each node.
class KWOutDEdgeIter {
 public:
  KWOutDEdgeIter() : it_(KWNodeEdgeIter::KWOutEdges) {}
  explicit KWOutDEdgeIter(const KWDNode* n) : it_(KWNodeEdgeIter::KWOutEdges) { init(n); }
  void init(const KWDNode* n) { it_.init(n); }
  explicit operator bool() const { return static_cast<bool>(it_); }
  KWOutDEdgeIter& operator++() { ++it_; return *this; }
  KWDEdge* pEdge() const { return static_cast<KWDEdge*>(it_.pEdge()); }

 private:
  KWNodeEdgeIter it_;
};

/// Every edge of a node within its graph (outgoing first; a loop once).
class KWAllDEdgeIter {
 public:
  explicit KWAllDEdgeIter(const KWDNode* n) : it_(n, KWNodeEdgeIter::KWAllEdges) {}
  explicit operator bool() const { return static_cast<bool>(it_); }
  KWAllDEdgeIter& operator++() { ++it_; return *this; }
  KWDEdge* pEdge() const { return static_cast<KWDEdge*>(it_.pEdge()); }

 private:
  KWNodeEdgeIter it_;
};

/// Every piece of every edge of a drawing graph, edge by edge, source to target.
class KWPEdgeIter {
 public:
  explicit KWPEdgeIter(const KWDGraph* g);
  explicit operator bool() const { return piece_ != nullptr; }
  KWPEdgeIter& operator++();
  KWPEdge* pEdge() const { return static_cast<KWPEdge*>(piece_->pObject()); }

 private:
  void settle();
  KWDListCell* edge_;
  KWDListCell* piece_ = nullptr;
};

#endif
