// Factories. A layout module hands the host one KWStyleFactory per layout
// style; the host's KWFactory keeps them (without owning them) and makes every
// drawing graph, node, edge, bend and piece its extension and tailor through them.
#ifndef KWFACTORY_H
#define KWFACTORY_H

#include "host/kwenums.h"
#include "host/kwomlobj.h"

class KWDGraph;
class KWDNode;
class KWDEdge;
class KWPNode;
class KWPEdge;
class KWGraphExt;
class KWNodeExt;
class KWEdgeExt;
class KWGraphTailor;
class KWNodeTailor;
class KWEdgeTailor;

/// What a layout module provides for one style: eight creation hooks. The host
/// owns what they return and deletes it with its owner.
class KWStyleFactory : public KWOMLObject {
 public:
  explicit KWStyleFactory(KWLayoutStyleEnum style) : style_(style) {}
  KWStyleFactory(const KWStyleFactory&) = delete;
  KWStyleFactory& operator=(const KWStyleFactory&) = delete;
  int isFactory() const override { return 1; }
  KWLayoutStyleEnum factoryStyle() const { return style_; }

  KWGraphExt* newGraphExt(KWDGraph* g) { return vNewGraphExt(g); }
  KWNodeExt* newDNodeExt(KWDNode* n) { return vNewDNodeExt(n); }
  KWEdgeExt* newDEdgeExt(KWDEdge* e) { return vNewDEdgeExt(e); }
  KWNodeExt* newPNodeExt(KWPNode* n) { return vNewPNodeExt(n); }
  KWEdgeExt* newPEdgeExt(KWPEdge* e) { return vNewPEdgeExt(e); }
  KWGraphTailor* newGraphTailor(KWDGraph* g) { return vNewGraphTailor(g); }
  KWNodeTailor* newNodeTailor(KWDNode* n) { return vNewNodeTailor(n); }
  KWEdgeTailor* newEdgeTailor(KWDEdge* e) { return vNewEdgeTailor(e); }

 protected:
  virtual KWGraphExt* vNewGraphExt(KWDGraph*) = 0;
  virtual KWNodeExt* vNewDNodeExt(KWDNode*) = 0;
  virtual KWEdgeExt* vNewDEdgeExt(KWDEdge*) = 0;
  virtual KWNodeExt* vNewPNodeExt(KWPNode*) = 0;
  virtual KWEdgeExt* vNewPEdgeExt(KWPEdge*) = 0;
  virtual KWGraphTailor* vNewGraphTailor(KWDGraph*) = 0;
  virtual KWNodeTailor* vNewNodeTailor(KWDNode*) = 0;
  virtual KWEdgeTailor* vNewEdgeTailor(KWDEdge*) = 0;

 private:
  KWLayoutStyleEnum style_;
};

/// The application's factory: knows the layout factory of each style and
/// makes drawing graphs that use them.
class KWFactory : public KWOMLObject {
 public:
  KWFactory();
  KWFactory(const KWFactory&) = delete;
  KWFactory& operator=(const KWFactory&) = delete;
  int isFactory() const override { return 1; }

  /// Registers the layout factory of its style (not owned), replacing any
  /// earlier one of the same style.
  void addLayoutFactory(KWStyleFactory* f);
  KWStyleFactory* pLayoutFactory(KWLayoutStyleEnum style) const;
  /// A new empty drawing graph that uses this factory, with style enabled.
  /// The caller owns it.
  KWDGraph* newDGraph(KWLayoutStyleEnum style);

  /// This object as a KWFactory, or null.
  static KWFactory* castDown(const KWObject* o);

 private:
  KWStyleFactory* styles_[KWNumberOfLayoutStyles];
};

#endif
