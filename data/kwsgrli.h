// KWSGraphLayInfo: the graph's scratch record for one symmetric layout run.
//
// Holds the two n×n spring matrices indexed by each node's sindex, the list of
// the component's nodes (whose order defines sindex), the scale factor of the
// size scaling and the component's largest degree. The lists refer to the
// host's nodes without owning them. A copy carries none of these: the record
// is per-run scratch, so a copy starts as a fresh record.
#ifndef KWSGRLI_H
#define KWSGRLI_H

#include "module/kwsexport.h"
#include "data/kwtwodar.h"
#include "host/kwblayin.h"
#include "host/kwdgraph.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWS_EXPORT KWSGraphLayInfo : public KWBGraphLayInfo {
 public:
  KWSGraphLayInfo();
  KWS_COPY_MEMBERS_DECL(KWSGraphLayInfo)
  ~KWSGraphLayInfo() override;

  long sizeOf() const override;
  void debugOutput(int) const override {}
  void innerDebugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  /// Natural spring lengths: weighted graph distances (-1.0 for no path).
  KWTwoDArray& springLength() { return springLength_; }
  KWTwoDArray* pSpringLength() const { return &springLength_; }
  /// Spring strengths springConstant / d², d the hop distance.
  KWTwoDArray& springStrength() { return springStrength_; }
  KWTwoDArray* pSpringStrength() const { return &springStrength_; }
  /// The component's nodes in sindex order.
  KWDNodeDList& allNodeDList() const { return allNodeDList_; }
  KWDNodeDList* pAllNodeDList() const { return &allNodeDList_; }
  /// Copies of the gateway nodes of reduced trees (kept for callers; the
  /// layout itself does not use it).
  KWDNodeDList& copiesOfGatewayNodesDList() { return copiesOfGatewayNodesDList_; }
  KWDNodeDList* pCopiesOfGatewayNodesDList() const { return &copiesOfGatewayNodesDList_; }
  /// The integer factor node sizes were divided by before the descent.
  int scaleFactor() const { return scaleFactor_; }
  int scaleFactor(int f) { return scaleFactor_ = f; }
  /// The largest node degree of the component.
  int maxDegree() const { return maxDegree_; }
  int maxDegree(int d) { return maxDegree_ = d; }

 protected:
  void init() {}
  KWS_CLONE_MEMBERS_DECL(KWSGraphLayInfo)

 private:
  KWS_COPY_PARTS_DECL(KWSGraphLayInfo)

  // Mutable: the const accessors hand out modifiable views, as layout code
  // reaches the record through const extension accessors.
  mutable KWTwoDArray springLength_;
  mutable KWTwoDArray springStrength_;
  mutable KWDNodeDList allNodeDList_;
  mutable KWDNodeDList copiesOfGatewayNodesDList_;
  int scaleFactor_ = 1;
  int maxDegree_ = 0;
};

#endif
