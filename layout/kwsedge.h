// KWSEdge: the symmetric layout's extension of a drawn edge or of one straight
// piece of it. It holds no data of its own; a run's per-edge record is a
// KWSEdgeLayInfo created on the host's request.
//
// Before each component layout it drops the connectors an earlier layout chose
// for its edge, keeping those the user specified (and all of them when the edge
// keeps its connectors). symmetricRoute reroutes a piece that crosses a node as
// an arc of bends.
#ifndef KWSEDGE_H
#define KWSEDGE_H

#include "module/kwsexport.h"
#include "data/kwsedli.h"
#include "host/kwbnode.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWSGraph;

class KWS_EXPORT KWSEdge : public KWBEdge {
 public:
  explicit KWSEdge(KWGEdge* owner = nullptr);
  /// A copy has no owner.
  KWS_COPY_MEMBERS_DECL(KWSEdge)
  ~KWSEdge() override;

  long sizeOf() const override;
  void debugOutput(int) const override {}
  void innerDebugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  KWLayoutStyleEnum layoutStyle() const override { return KWSymmetricLayoutStyle; }

  /// Replaces (and deletes) the scratch record with a fresh KWSEdgeLayInfo.
  KWBEdgeLayInfo* newLayInfo(int, int) override;
  /// The scratch record, null before the first newLayInfo.
  KWSEdgeLayInfo* pSLayInfo() const { return static_cast<KWSEdgeLayInfo*>(pLayInfo()); }
  /// The graph's symmetric extension (null for a detached edge).
  KWSGraph* pSGraph() const;

  void preLayoutComponentReset() override;
  void postLayoutReset() override;
  KWSideEnum findBestNodeSideWithConnectors(long& offset, int& fromSide) const override;

  /// Reroutes this extension's path edge, which crosses a node, as an arc of
  /// three bends settled by a spring embedder.
  void symmetricRoute();

 protected:
  void init() {}
  KWS_CLONE_MEMBERS_DECL(KWSEdge)

 private:
  KWS_COPY_PARTS_DECL(KWSEdge)
};

inline KWSEdge* KWGEdge::pSEdge() const { return static_cast<KWSEdge*>(pExtension(KWSymmetricLayoutStyle)); }

#endif
