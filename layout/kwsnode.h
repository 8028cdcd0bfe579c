// KWSNode: the symmetric layout's extension of a drawing node or of a bend.
//
// It holds no data of its own: a layout run's per-node data lives in the
// KWSNodeLayInfo record it creates on the host's request (newLayInfo), and the
// node's settings live in its KWSNodeTailor.
#ifndef KWSNODE_H
#define KWSNODE_H

#include "module/kwsexport.h"
#include "data/kwsndli.h"
#include "host/kwbnode.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWSGraph;

class KWS_EXPORT KWSNode : public KWBNode {
 public:
  explicit KWSNode(KWGNode* owner = nullptr);
  /// A copy has no owner.
  KWS_COPY_MEMBERS_DECL(KWSNode)
  ~KWSNode() override;

  long sizeOf() const override;
  void debugOutput(int) const override {}
  void innerDebugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  KWLayoutStyleEnum layoutStyle() const override { return KWSymmetricLayoutStyle; }

  /// Replaces (and deletes) the scratch record with a fresh KWSNodeLayInfo.
  KWBNodeLayInfo* newLayInfo(int, int) override;
  /// The scratch record, null before the first newLayInfo.
  KWSNodeLayInfo* pSLayInfo() const { return static_cast<KWSNodeLayInfo*>(pLayInfo()); }
  /// The graph's symmetric extension (null for a detached node).
  KWSGraph* pSGraph() const;

  void preLayoutComponentReset() override;
  /// 0 for a node whose symmetric node tailor is constrained, else 1.
  int selectRandomizePosition() override;

 protected:
  void init() {}
  KWS_CLONE_MEMBERS_DECL(KWSNode)

 private:
  KWS_COPY_PARTS_DECL(KWSNode)
};

inline KWSNode* KWGNode::pSNode() const { return static_cast<KWSNode*>(pExtension(KWSymmetricLayoutStyle)); }

#endif
