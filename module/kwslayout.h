// KWSLayout: the shortest way for an application to use the symmetric layout.
//
// It owns a symmetric layout factory, the host factory that uses it and one
// drawing graph of the symmetric style. Build the graph with addNode and
// addEdge (or through graph()), change settings through settings() and
// nodeSettings(), call layout(), then read each node's centre (ntX, ntY).
//
//   KWSLayout lay;
//   KWDNode* a = lay.addNode(20, 20, "a");
//   KWDNode* b = lay.addNode(20, 20, "b");
//   lay.addEdge(a, b);
//   lay.settings().randomSeed(7);
//   if (lay.layout() == KWNoError) std::printf("%ld %ld\n", a->ntX(), a->ntY());
//
// Nodes and edges belong to the graph and go with the KWSLayout.
#ifndef KWSLAYOUT_H
#define KWSLAYOUT_H

#include "module/kwsexport.h"
#include <memory>
#include <string>
#include <vector>

#include "host/kwdgraph.h"
#include "host/kwenums.h"
#include "tailor/kwsgrset.h"

class KWFactory;
class KWStyleFactory;
class KWSGraphTailor;
class KWSNodeTailor;
class KWLayoutObserver;

/// A graph setting that setting() reads and writes by name: its name, kind
/// and the rest of its row in tailor/kwsgrset.def.
using KWSSettingInfo = KWSGraphSetting;

class KWS_EXPORT KWSLayout {
 public:
  /// Node coordinates and sizes that layouts handle safely: within
  /// +-maxCoordinate drawing units.
  static constexpr double maxCoordinate = 1e9;

  KWSLayout();
  ~KWSLayout();
  KWSLayout(const KWSLayout&) = delete;
  KWSLayout& operator=(const KWSLayout&) = delete;

  /// A new node of the given size, centred on the origin until laid out.
  KWDNode* addNode(long width, long height, const std::string& name = std::string());
  /// A new edge from -> to; both must be nodes of this layout's graph.
  /// Answers null (and adds nothing) otherwise.
  KWDEdge* addEdge(KWDNode* from, KWDNode* to, const std::string& name = std::string());

  /// The graph settings (spacing, seed, descent limits, routeEdges ...).
  KWSGraphTailor& settings() const;
  /// The settings of one node (constrained); null for a node of another graph.
  KWSNodeTailor* nodeSettings(const KWDNode* node) const;
  /// Pins a node at its current centre for later layouts, or frees it.
  void pin(KWDNode* node, bool pinned = true);

  /// Every graph setting that setting() reads and writes by name, in the
  /// graph tailor's order (springConstant ... incrementalComponentsLayout).
  static const std::vector<KWSSettingInfo>& settingList();
  /// The setting of that exact name, or null.
  static const KWSSettingInfo* findSetting(const std::string& name);
  /// Stores a graph setting by name. Answers false, changing nothing, for an
  /// unknown name or a value the setting cannot hold: not finite, not a whole
  /// number in the int range (integer settings), not 0 or 1 (flags).
  bool setting(const std::string& name, double value);
  /// The current value of a graph setting (flags as 0 or 1); NaN for an
  /// unknown name.
  double setting(const std::string& name) const;

  /// Makes the next layout start from the nodes' current centres instead of a
  /// random start (incrementalWithinComponentLayout on, firstInitialization
  /// off). The nodes in unplaced get the usual random start now, around the
  /// others, which keep their centres.
  void startFromPositions(const std::vector<KWDNode*>& unplaced = std::vector<KWDNode*>());

  /// Lays out the whole graph. Answers KWNoError, KWStoppedEarly (see
  /// requestStop), or the host's status (KWErrorTooLarge for a component
  /// beyond the size limit).
  KWErrorCodeEnum layout();
  /// What a status of layout() means, as a sentence for an error message
  /// (empty for KWNoError). Reads the sizes of the last refused component.
  std::string statusText(KWErrorCodeEnum status) const;
  /// Receives a checkpoint after every costly step of later layouts (null: none).
  void observer(KWLayoutObserver* o);
  /// Asks a running layout() to stop at its next checkpoint; safe to call from
  /// another thread or from the observer. The layout still finishes the
  /// drawing (every node placed, trees, bundles and loops drawn) and answers
  /// KWStoppedEarly. Each layout() clears the request as it starts.
  void requestStop() const { graph_->requestLayoutStop(); }
  /// Time budget of later layouts in milliseconds (0: none): when it runs out
  /// the layout stops as on requestStop().
  void timeBudget(long milliseconds) { graph_->layoutTimeBudget(milliseconds); }
  long timeBudget() const { return graph_->layoutTimeBudget(); }

  /// The nodes in the order they were added.
  std::vector<KWDNode*> nodes() const;
  /// An edge's bend points from its source to its target (empty for a
  /// straight edge).
  static std::vector<KWPoint> bends(const KWDEdge* edge) { return edge ? edge->bendPoints() : std::vector<KWPoint>(); }
  /// A node's centre.
  static KWPoint position(const KWDNode* node) { return KWPoint(node->ntX(), node->ntY()); }

  KWDGraph* graph() const { return graph_.get(); }

 private:
  std::unique_ptr<KWStyleFactory> style_;
  std::unique_ptr<KWFactory> factory_;
  std::unique_ptr<KWDGraph> graph_;
};

#endif
