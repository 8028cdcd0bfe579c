// The base-layout graph extension: the generic layout pipeline that every layout
// style shares, with the hooks a style overrides.
//
// layout() runs on the owner graph:
//   1. every edge is made straight again, every extension gets a fresh scratch
//      record (newLayInfo), preLayoutReset;
//   2. the graph is split into connected components. Nodes without any edge
//      ("disconnected nodes") are not laid out as components; they are placed
//      afterwards in rows below the drawing (or left where they are when
//      incrementalDisconnectedNodesLayout is on or the style pins them);
//   3. for each component, the owner graph holds only that component while
//      layoutComponent runs (the rest waits in a private holding graph);
//   4. components whose suitableForShifting answers true are packed side by side
//      in rows, without overlap, to the right of the components that must stay;
//   5. the original node and edge order is restored, postLayoutReset.
//
// A component larger than maxComponentNodes(), or whose dense matrices would
// take more than maxMatrixBytes(), is refused before anything is allocated or
// touched: layout() answers KWErrorTooLarge, refusedComponentNodes() tells the
// component's size, and the graph stays as it was.
//
// Randomness comes from one generator per layout run, seeded with 1 at the start
// of the run and reseeded by randomizePositions(seed).
//
// Progress: the owner graph's layoutCheckpoint is called after every costly
// step and tells the graph's KWLayoutObserver. An observer can read the phase
// and the component being laid out from the graph (layoutPhase,
// layoutComponentIndex, layoutComponentCount) and, from this extension, how far
// the current phase has got (stepsDone out of at most stepsTotal).
#ifndef KWBGRAPH_H
#define KWBGRAPH_H

#include <memory>
#include <vector>

#include "host/kwblayin.h"
#include "host/kwbnode.h"
#include "host/kwdgraph.h"
#include "host/kwext.h"
#include "host/kwrandom.h"

class KWModelFile;
class KWModelFileExtension;
class KWGraphFileExtension;

class KWBGraph : public KWGraphExt {
 public:
  explicit KWBGraph(KWDGraph* owner = nullptr);
  KWBGraph(const KWBGraph& o);
  KWBGraph& operator=(const KWBGraph&) { return *this; }
  ~KWBGraph() override;

  long sizeOf() const override { return static_cast<long>(sizeof(KWBGraph)); }
  virtual KWEdgeRoutingStyleEnum edgeRoutingStyle(const KWDEdge*) const { return KWStraightRouting; }
  virtual void preLayoutReset() {}
  virtual void postLayoutReset() {}
  /// Lays out the owner graph. Answers a status: KWNoError on success,
  /// KWStoppedEarly when a stop request or the graph's time budget ended the
  /// run early (the drawing is still complete; see KWDGraph::requestLayoutStop).
  virtual KWErrorCodeEnum layout();

  // Reactions to the host's fold, expand, collapse, hide and unhide operations.
  virtual void actBeforeExpandWithLayout(KWDNodeDList* records, KWDNode* node);
  virtual void actBeforeCollapseWithLayout(KWDNodeDList* records, KWDNode* node);
  virtual void actAfterExpandWithLayout(KWDNodeDList* records);
  virtual void actAfterCollapseWithLayout(KWDNodeDList* records);

  virtual KWModelFileExtension* newModelFileExtension(KWModelFile* file);
  virtual KWBGraphLayInfo* newLayInfo(int);
  KWBGraphLayInfo* pLayInfo() const { return layInfo_; }
  virtual void preLayoutComponentReset() {}
  virtual void postLayoutComponentReset() {}
  virtual void emptyContents() {}
  virtual void emptyTopology() {}

  // Services for styles.
  /// Reseeds the run's generator with seed and moves every node of the owner
  /// graph whose extension answers selectRandomizePosition true to a random
  /// point of a square. The square is centred on the nodes that stay (on the
  /// origin when every node moves) and its side is ceil(√n) times the typical
  /// edge length 1.75·(mean node diagonal): the length at which two average
  /// nodes' circumscribed circles are 75 % of their radii apart, the usual
  /// node spacing. A spring layout thus starts at about its final extent.
  void randomizePositions(long seed);
  /// A number from 0 to maxRandomNumber() from the run's generator.
  long randomNumber() { return random_.next(); }
  /// Fills list with every node of the owner graph that a cut-off tree hangs from.
  void findGatewayNodes(KWDNodeDList* list);
  /// The graph holding the trees cut off by reduceTrees, or null.
  KWDGraph* pQueryReducedGraph() const { return reduced_.get(); }
  /// The reduced graph, created (empty) when there is none yet.
  KWDGraph* pReducedGraph();
  /// Edges pulled out by preprocessMultiEdges as bundle representatives.
  const std::vector<KWDEdge*>& bundleRepresentatives() const { return reps_; }

  /// The largest component layout() accepts, in nodes (0: no limit). Styles
  /// that hold dense n×n data need a bound; the default keeps two matrices of
  /// doubles within 1 GiB.
  long maxComponentNodes() const { return maxComponentNodes_; }
  void maxComponentNodes(long n) { maxComponentNodes_ = n; }
  static constexpr long kDefaultMaxComponentNodes = 8192;
  /// The most memory the dense matrices of one component may take, in bytes
  /// (0: no limit; a negative value restores the default). The default is
  /// defaultMaxMatrixBytes(), taken when a layout starts.
  long maxMatrixBytes() const { return maxMatrixBytes_ < 0 ? defaultMaxMatrixBytes() : maxMatrixBytes_; }
  void maxMatrixBytes(long bytes) { maxMatrixBytes_ = bytes < 0 ? -1 : bytes; }
  /// A quarter of the memory this process may use: the machine's physical
  /// memory, or a smaller limit of the control group it runs in.
  static long defaultMaxMatrixBytes();
  /// Bytes the dense data of a component of n nodes takes: two n×n matrices
  /// of doubles and their row objects, as the spring styles keep them.
  virtual double componentMatrixBytes(long nodes) const;
  /// Nodes of the component the last layout() refused as too large; 0 when
  /// it refused none.
  long refusedComponentNodes() const { return refusedComponentNodes_; }
  /// Whether layout() moves the nodes of every laid-out component apart until
  /// no two node boxes overlap (kwRemoveNodeOverlaps, pinned nodes stay), after
  /// the style has placed them and before components are packed. Off by
  /// default: the style's own drawing is kept as it is.
  bool removeOverlaps() const { return removeOverlaps_; }
  void removeOverlaps(bool on) { removeOverlaps_ = on; }
  /// The drawing range: layout() leaves every node it may move and every bend
  /// within ±kMaxDrawingCoordinate, the range graph files hold, whatever the
  /// settings asked for.
  static constexpr long kMaxDrawingCoordinate = 1000000000L;

  /// Progress of the current phase, for observers: units done so far and the
  /// most there can be (both 0 when the phase reports none).
  long stepsDone() const { return stepsDone_; }
  long stepsTotal() const { return stepsTotal_; }
  void stepProgress(long done, long total) { stepsDone_ = done; stepsTotal_ = total; }

  /// The base extension of the given graph and style, or null.
  static KWBGraph* of(const KWDGraph* g, KWLayoutStyleEnum style);
  static KWBGraph* castDown(const KWObject* o) { return dynamic_cast<KWBGraph*>(const_cast<KWObject*>(o)); }

 protected:
  void pLayInfo(KWBGraphLayInfo* li) { layInfo_ = li; }
  virtual KWGraphFileExtension* newGraphFileExtension(KWDGraph* graph);
  virtual void actBeforeFoldWithLayout(KWDNodeDList* records, const KWDNodeDList* nodes);
  virtual void actBeforeUnfoldWithLayout(KWDNodeDList* records, KWDNode* node);
  virtual void actAfterFoldWithLayout(KWDNodeDList* records);
  virtual void actAfterUnfoldWithLayout(KWDNodeDList* records);
  virtual void actBeforeHideWithLayout(KWDNodeDList* records, const KWDNodeDList* nodes);
  virtual void actBeforeUnhideWithLayout(KWDNodeDList* records);
  virtual void actAfterHideWithLayout(KWDNodeDList* records);
  virtual void actAfterUnhideWithLayout(KWDNodeDList* records);

  // Tree reduction.
  virtual void reduceTrees();
  virtual int edgeReduceAllow(KWDEdge*) { return 1; }
  virtual int nodeReduceAllow(KWDNode*) { return 1; }
  virtual void expandTrees();

  // The component pipeline.
  virtual void layoutComponent() {}
  virtual void getInformationFromGraph(KWDGraph*) {}
  virtual void preprocessDisconnectedNodes() {}
  virtual void postprocessDisconnectedNodes() {}
  void preprocessMultiEdges();
  void postprocessMultiEdges();
  virtual int suitableForMultiEdgeBundle(KWDEdge* edge);
  virtual void preprocessAggregateMultiEdges(KWDEdgeDList* bundle);
  virtual long numberOfBundles(KWDEdgeDList* list);
  virtual KWDEdge* postprocessAggregateMultiEdge(KWDEdge* rep);
  virtual void moveMultiEdgePath(KWDEdge* edge, KWDEdge* other, long dx, long dy);
  virtual void preprocessReflexiveEdges();
  virtual void postprocessReflexiveEdges();
  virtual void postprocessReflexiveEdge(KWDEdge* edge);
  virtual void positionDraft() {}
  virtual void positionFinal() {}
  virtual int suitableForShifting() const { return 1; }

  /// The style this extension serves: its layoutStyle, or for a plain base
  /// extension the slot it occupies on its graph.
  KWLayoutStyleEnum style() const;
  KWBNode* nodeExt(const KWGNode* n) const;
  KWBEdge* edgeExt(const KWGEdge* e) const;

 private:
  bool removeOverlaps_ = false;
  struct Component;
  class RunGuard;
  friend class RunGuard;
  void placeComponents(std::vector<Component>& comps);
  void placeDisconnectedNodes(const std::vector<KWDNode*>& nodes, bool keep);
  /// Moves nodes apart until no two boxes overlap (kwRemoveNodeOverlaps);
  /// pinned nodes stay.
  void separateNodes(const std::vector<KWDNode*>& nodes, const std::vector<KWDEdge*>& edges);
  void holdWithinDrawingRange(const std::vector<KWDNode*>& nodes, const std::vector<KWDEdge*>& edges);

  KWBGraphLayInfo* layInfo_ = nullptr;
  KWRandom random_;
  std::unique_ptr<KWDGraph> reduced_;
  std::vector<KWDEdge*> reps_;       // bundle representatives of the current component
  std::vector<KWDEdge*> loops_;      // loops taken out for the current component
  long maxComponentNodes_ = kDefaultMaxComponentNodes;
  long maxMatrixBytes_ = -1;  // the default
  long refusedComponentNodes_ = 0;
  long stepsDone_ = 0, stepsTotal_ = 0;
};

/// Lays out graph in the given style; answers KWErrorNoStyle when the graph has
/// no extension of that style.
KWErrorCodeEnum layoutGraph(KWDGraph* graph, KWLayoutStyleEnum style);

#endif
