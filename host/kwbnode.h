// Base-layout node and edge extensions.
#ifndef KWBNODE_H
#define KWBNODE_H

#include "host/kwblayin.h"
#include "host/kwdgraph.h"
#include "host/kwext.h"

class KWBGraph;

/// Base-layout extension of a drawing node or bend. Owns its scratch record.
class KWBNode : public KWNodeExt {
 public:
  explicit KWBNode(KWGNode* owner = nullptr) : KWNodeExt(owner) {}
  KWBNode(const KWBNode& o) : KWNodeExt(o) {}
  KWBNode& operator=(const KWBNode&) { return *this; }
  ~KWBNode() override;

  long sizeOf() const override { return static_cast<long>(sizeof(KWBNode)); }
  /// The graph's base extension of the same style (null for a detached node).
  KWBGraph* pBGraph() const;
  KWBNodeLayInfo* pLayInfo() const { return layInfo_; }
  /// Replaces (and deletes) the scratch record with a fresh one.
  virtual KWBNodeLayInfo* newLayInfo(int, int);
  virtual void preLayoutReset() {}
  virtual void postLayoutReset() {}
  virtual void preLayoutComponentReset() {}
  virtual void postLayoutComponentReset() {}
  /// Whether the host's random start may move this node.
  virtual int selectRandomizePosition() { return 1; }

 protected:
  /// Installs a record (the previous one must have been deleted by the caller).
  void pLayInfo(KWBNodeLayInfo* li) { layInfo_ = li; }

 private:
  KWBNodeLayInfo* layInfo_ = nullptr;
};

/// Base-layout extension of a drawn edge or of one of its pieces.
class KWBEdge : public KWEdgeExt {
 public:
  explicit KWBEdge(KWGEdge* owner = nullptr) : KWEdgeExt(owner) {}
  KWBEdge(const KWBEdge& o) : KWEdgeExt(o) {}
  KWBEdge& operator=(const KWBEdge&) { return *this; }
  ~KWBEdge() override;

  long sizeOf() const override { return static_cast<long>(sizeof(KWBEdge)); }
  KWBGraph* pBGraph() const;
  KWBEdgeLayInfo* pLayInfo() const { return layInfo_; }
  virtual KWBEdgeLayInfo* newLayInfo(int, int);
  virtual void preLayoutReset() {}
  virtual void postLayoutReset() {}
  virtual void preLayoutComponentReset() {}

  /// The members of a multi-edge bundle waiting, detached, behind this
  /// representative (created on first use).
  KWDEdgeDList* pMultiEdgeList();
  bool hasMultiEdgeList() const { return multi_ != nullptr; }
  /// Releases the bundle list (cells only).
  void deleteMultiEdgeList();

  /// Draws this loop as a path of bends beside its node.
  /// (Three bends around the node's upper right corner; the connectors where
  /// the loop meets the node are chosen, that is unspecified.)
  virtual void createReflexivePath();
  /// Draws this loop starting and ending at its specified connectors (a
  /// missing one is chosen as for createReflexivePath), leaving each straight
  /// outwards from its side of the node.
  virtual void createReflexivePathWithConnector();
  /// Draws this loop as a member of a bundle of loops, made larger by the
  /// offset (dx, dy) so that the members are nested visibly apart.
  void moveReflexivePath(long dx, long dy);
  /// Chooses the side of the from-node the edge leaves from, given its connectors.
  virtual KWSideEnum findBestNodeSideWithConnectors(long& offset, int& fromSide) const;

 protected:
  void pLayInfo(KWBEdgeLayInfo* li) { layInfo_ = li; }

 private:
  KWBEdgeLayInfo* layInfo_ = nullptr;
  KWDEdgeDList* multi_ = nullptr;
};

#endif
