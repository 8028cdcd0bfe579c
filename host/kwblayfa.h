// The base-layout factory: a style factory whose hooks create the base
// extensions and tailors. Layout modules derive from it.
#ifndef KWBLAYFA_H
#define KWBLAYFA_H

#include "host/kwfactory.h"

class KWBLayoutFactory : public KWStyleFactory {
 public:
  explicit KWBLayoutFactory(KWLayoutStyleEnum style) : KWStyleFactory(style) {}
  ~KWBLayoutFactory() override = default;

 protected:
  KWGraphExt* vNewGraphExt(KWDGraph* g) override;
  KWNodeExt* vNewDNodeExt(KWDNode* n) override;
  KWEdgeExt* vNewDEdgeExt(KWDEdge* e) override;
  KWNodeExt* vNewPNodeExt(KWPNode* n) override;
  KWEdgeExt* vNewPEdgeExt(KWPEdge* e) override;
  KWGraphTailor* vNewGraphTailor(KWDGraph* g) override;
  KWNodeTailor* vNewNodeTailor(KWDNode* n) override;
  KWEdgeTailor* vNewEdgeTailor(KWDEdge* e) override;
};

#endif
