// KWSGraph: the symmetric layout's graph extension.
//
// The symmetric layout joins every pair of nodes of a connected component by a
// spring whose natural length is their graph distance (edges weighted by their
// end nodes' sizes and the spacing settings) and whose strength is
// springConstant / d², d the number of edges between them. It lowers the
// spring energy by moving one node at a time, always the one with the largest
// energy gradient, by Newton steps on integer coordinates. Trees hanging off
// the core are laid out radially and the whole component relaxed once more.
//
// Cost per pass: two n×n matrices of doubles (16·n² bytes), an all-pairs
// shortest-path pass, O(n²) for the first gradients, then O(n) per descent
// cycle plus O(n) per Newton step, with at most maxNodesMovedMultiplier·n + 1
// cycles.
//
// Sources: kwsgraph.cpp (object, driver and spring model), kwsgdesc.cpp (energy
// descent), kwsgkern.cpp (the descent's kernels per instruction set),
// kwsgscal.cpp (scaling), kwsgtree.cpp (radial trees), kwsgavoi.cpp
// (edge-node avoidance), kwsgmult.cpp (multi-edges and loops), kwsgfold.cpp
// (fold, expand and hide reactions); kwsgutil.h holds the helpers they share.
#ifndef KWSGRAPH_H
#define KWSGRAPH_H

#include "module/kwsexport.h"
#include "host/kwbgraph.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWSGraphLayInfo;
class KWTwoDArray;
class KWModelFile;
class KWModelFileExtension;
class KWGraphFileExtension;

/// An edge weight function of the spring model: 32-bit integer weights.
typedef long (*KWSEdgeWeightFunction)(KWDEdge*);

class KWS_EXPORT KWSGraph : public KWBGraph {
  friend class KWSGraphTestAccess;
 public:
  explicit KWSGraph(KWDGraph* owner = nullptr);
  KWSGraph(const KWSGraph& source, KWDeepFlagEnum flag = KWDeepCopy);
  KWSGraph& operator=(const KWSGraph& source);
  ~KWSGraph() override;

  // Copy and clone protocol.
  void copyObject(const KWObject* source) override;
  void copyAttributes(const KWObject* source) override;
  KWSGraph* cloneObject() const { return static_cast<KWSGraph*>(vCloneObject()); }
  KWSGraph* cloneAttributes() const { return static_cast<KWSGraph*>(vCloneAttributes()); }
  static KWSGraph* castDown(const KWObject* o) { return static_cast<KWSGraph*>(const_cast<KWObject*>(o)); }
  long sizeOf() const override;
  void debugOutput(int) const override {}
  void innerDebugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  KWLayoutStyleEnum layoutStyle() const override { return KWSymmetricLayoutStyle; }
  KWEdgeRoutingStyleEnum edgeRoutingStyle(const KWDEdge* edge) const override;
  void preLayoutReset() override;
  void postLayoutReset() override;

  // Fold, expand and hide reactions (public ones).
  void actBeforeExpandWithLayout(KWDNodeDList* records, KWDNode* node) override;
  void actBeforeCollapseWithLayout(KWDNodeDList* records, KWDNode* node) override;
  void actAfterExpandWithLayout(KWDNodeDList* records) override;
  void actAfterCollapseWithLayout(KWDNodeDList* records) override;

  KWModelFileExtension* newModelFileExtension(KWModelFile* file) override;
  KWBGraphLayInfo* newLayInfo(int) override;
  KWSGraphLayInfo* pSLayInfo() const;
  void preLayoutComponentReset() override;
  void postLayoutComponentReset() override;
  void emptyContents() override;
  void emptyTopology() override;

  /// The most nodes the descent's inner loops take at once: 0 for the widest
  /// group the processor runs (8 with AVX-512, 4 with AVX, 2 otherwise), or a
  /// cap of 4 or 2. Every width gives the same bits; the cap lets tests
  /// compare them on one machine. Not copied with the graph.
  int descentLaneCap() const { return descentLaneCap_; }
  void descentLaneCap(int lanes) { descentLaneCap_ = lanes < 0 ? 0 : lanes; }

 protected:
  void init() {}
  KWS_CLONE_MEMBERS_DECL(KWSGraph)
  KWGraphFileExtension* newGraphFileExtension(KWDGraph* graph) override;

  void actBeforeFoldWithLayout(KWDNodeDList* records, const KWDNodeDList* nodes) override;
  void actBeforeUnfoldWithLayout(KWDNodeDList* records, KWDNode* node) override;
  void actAfterFoldWithLayout(KWDNodeDList* records) override;
  void actAfterUnfoldWithLayout(KWDNodeDList* records) override;
  void actBeforeHideWithLayout(KWDNodeDList* records, const KWDNodeDList* nodes) override;
  void actBeforeUnhideWithLayout(KWDNodeDList* records) override;
  void actAfterHideWithLayout(KWDNodeDList* records) override;
  void actAfterUnhideWithLayout(KWDNodeDList* records) override;

  void layoutComponent() override;
  void getInformationFromGraph(KWDGraph* graph) override;

  int suitableForMultiEdgeBundle(KWDEdge* edge) override;
  void preprocessAggregateMultiEdges(KWDEdgeDList* bundle) override;
  long numberOfBundles(KWDEdgeDList* list) override;
  KWDEdge* postprocessAggregateMultiEdge(KWDEdge* rep) override;
  void moveMultiEdgePath(KWDEdge* edge, KWDEdge* other, long dx, long dy) override;

  void positionFinal() override;
  int suitableForShifting() const override;

 private:
  KWS_COPY_PARTS_DECL(KWSGraph)

  void postprocessReflexiveEdge(KWDEdge* edge) override;
  void positionDraft() override;

  // Driver.
  /// Builds the spring model; treesPlaced (the pass over the whole component,
  /// after the radial tree placement): crowded tree nodes get room around them.
  void preprocessGraph(bool treesPlaced = false);
  void buildAllNodeDList();
  int allNodesConstrained() const;
  int anyNodesConstrained() const;
  void indexAllNodes();
  void postprocessGraph();
  int verifyIncrementalLayout();
  void emptyArrays();

  // Spring model.
  void calcAdjMatrix(KWTwoDArray& matrix, KWSEdgeWeightFunction weight);
  void calcAllPairsShortestPaths(KWTwoDArray& matrix);
  long calculateMaxDegree();

  // Energy descent.
  void greedyDescentPositionFinal();

  // The descent step by step, on the nodes' scratch records (points and
  // gradients), each step with the same arithmetic as the whole descent.
  /// Every node's gradient afresh; answers the unpinned node with the largest
  /// one (the first in list order among equals), or null.
  KWDNode* calcAllDeltas();
  /// m's gradient afresh; a pinned node gets a zero gradient.
  void calcDelta(KWDNode* m);
  /// Every gradient brought up to date after `moved` left (oldX, oldY) for its
  /// present point; answers as calcAllDeltas.
  KWDNode* recalcAllDeltas(KWDNode* moved, long oldX, long oldY);
  /// m's step from its present point, in whole units; (0, 0) for a pinned node.
  void calcdxdy(KWDNode* m, long& dx, long& dy);
  /// Moves node's scratch point to a random point of the drawing's bounding
  /// rectangle, from two numbers of the run's generator.
  void randomizeNodePosition(KWDNode* node, long maxRand);

  // Scaling.
  void scaleDown();
  void scaleUp();

  // Radial trees.
  void layoutTrees();
  void layoutTreeRadially(KWDGraph* graph, KWGNode* root, long x, long y, double angle, double width);

  // Edge-node avoidance.
  void edgeNodeAvoidancePhase();

  int descentLaneCap_ = 0;
};

inline KWSGraph* KWDGraph::pSGraph() const {
  return static_cast<KWSGraph*>(pExtension(KWSymmetricLayoutStyle));
}

#endif
