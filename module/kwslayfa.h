// KWSLayoutFactory: the symmetric style's layout factory. The host calls its
// creation hooks whenever a graph, node, edge, bend or edge piece needs its
// symmetric extension, or a graph, node or edge its symmetric tailor, and owns
// what they return. Bends share the node extension class and pieces the edge
// extension class. Each hook answers null when memory cannot be had.
//
// The library hands factories out through plain C entry points:
//   newSLayFactory, newSLayFactoryTRUE, newSLayFactorytrue, newSLayFactory1
//     a new factory (null when memory cannot be had), owned by the caller;
//   deleteSLayoutFactory
//     takes a factory back (null is ignored).
#ifndef KWSLAYFA_H
#define KWSLAYFA_H

#include "module/kwsexport.h"
#include "host/kwblayfa.h"
#include "module/kwsjava.h"

class KWS_EXPORT KWSLayoutFactory : public KWBLayoutFactory {
 public:
  KWSLayoutFactory();
  ~KWSLayoutFactory() override;

  static KWSLayoutFactory* castDown(const KWObject* o) {
    return static_cast<KWSLayoutFactory*>(const_cast<KWObject*>(o));
  }
  KWS_JAVA_PEER_DECL

 protected:
  KWGraphExt* vNewGraphExt(KWDGraph* graph) override;
  KWNodeExt* vNewDNodeExt(KWDNode* node) override;
  KWEdgeExt* vNewDEdgeExt(KWDEdge* edge) override;
  KWNodeExt* vNewPNodeExt(KWPNode* bend) override;
  KWEdgeExt* vNewPEdgeExt(KWPEdge* piece) override;
  KWGraphTailor* vNewGraphTailor(KWDGraph* graph) override;
  KWNodeTailor* vNewNodeTailor(KWDNode* node) override;
  KWEdgeTailor* vNewEdgeTailor(KWDEdge* edge) override;

 private:
  KWSLayoutFactory(const KWSLayoutFactory&) = delete;
  KWSLayoutFactory& operator=(const KWSLayoutFactory&) = delete;
};

// The entry points answer and take the factory as the host's style factory,
// the type through which the host's module loader calls them.
extern "C" {
KWS_EXPORT KWStyleFactory* newSLayFactory(void);
KWS_EXPORT KWStyleFactory* newSLayFactoryTRUE(void);
KWS_EXPORT KWStyleFactory* newSLayFactorytrue(void);
KWS_EXPORT KWStyleFactory* newSLayFactory1(void);
KWS_EXPORT void deleteSLayoutFactory(KWStyleFactory* factory);
}

#endif
