// Folding, collapsing and hiding parts of a drawing graph, with the layout
// style's reactions around each edit.
#ifndef KWFOLD_H
#define KWFOLD_H

#include <vector>

#include "host/kwdgraph.h"

/// Edits that take nodes out of a drawing graph and bring them back:
///  - fold: a set of nodes is replaced by one new node; every edge from the set
///    to a node outside it is represented by a new edge of the folded node;
///  - unfold: the folded node and its edges go, the folded nodes come back;
///  - collapse: the nodes reachable from a node along outgoing edges are hidden;
///    expand brings them back;
///  - hide and unhide: the given nodes are hidden, and all of them come back.
/// A hidden node waits, with its edges, in a holding graph of the editor; an
/// edge is visible again as soon as both its end nodes are.
///
/// Each edit can be followed by a layout of the graph in the editor's style.
/// Then the style's graph extension hears of it: its before-hook runs before
/// the edit (while the nodes concerned are still in the graph), the layout
/// after the edit, and the after-hook last, both hooks with the same record
/// list, which the editor owns and empties afterwards. Without a layout no
/// hook is called.
///
/// The editor must go before its graph. Nodes it hides must not be deleted
/// while hidden, nor folded nodes deleted instead of unfolded. Destroying the
/// editor brings back everything it still holds, without a layout: folded
/// nodes are deleted and their members restored, so nothing is lost.
class KWFoldEditor {
 public:
  KWFoldEditor(KWDGraph* graph, KWLayoutStyleEnum style);
  ~KWFoldEditor();
  KWFoldEditor(const KWFoldEditor&) = delete;
  KWFoldEditor& operator=(const KWFoldEditor&) = delete;

  /// Folds the nodes of the list that are in the graph into one new node at the
  /// centre of their bounding box, as large as the largest of them. Answers the
  /// new node, or null when no listed node is in the graph.
  KWDNode* fold(const KWDNodeDList& nodes, bool withLayout);
  /// Undoes the fold that made `folded`. Answers false when it is no such node
  /// or is not in the graph.
  bool unfold(KWDNode* folded, bool withLayout);
  /// Hides the nodes reachable from `node` along outgoing edges. Answers false
  /// when node is not in the graph, is collapsed already, or has nothing below.
  bool collapse(KWDNode* node, bool withLayout);
  /// Brings back what collapsing `node` hid. Answers false when it is not collapsed.
  bool expand(KWDNode* node, bool withLayout);
  /// Hides the listed nodes that are in the graph. Answers false when there is none.
  bool hide(const KWDNodeDList& nodes, bool withLayout);
  /// Brings back every node that hide took out. Answers false when there is none.
  bool unhide(bool withLayout);

  bool isHidden(const KWDNode* n) const { return n && n->pOwnerGraph() == &holding_; }
  bool isFoldNode(const KWDNode* n) const;
  bool isCollapsed(const KWDNode* n) const;
  /// Status of the last layout an edit ran (KWNoError when none ran yet).
  KWErrorCodeEnum lastLayoutStatus() const { return status_; }
  /// The hidden nodes and edges.
  const KWDGraph& holdingGraph() const { return holding_; }

 private:
  struct Group {
    KWDNode* key;                  // the fold node or the collapsed node
    std::vector<KWDNode*> nodes;   // the nodes it hides
  };
  void hideNodes(const std::vector<KWDNode*>& nodes);
  void restoreNodes(const std::vector<KWDNode*>& nodes);
  void runLayout();

  KWDGraph* graph_;
  KWLayoutStyleEnum style_;
  KWDGraph holding_;
  std::vector<Group> folds_;
  std::vector<Group> collapsed_;
  std::vector<KWDNode*> hidden_;
  KWErrorCodeEnum status_ = KWNoError;
};

#endif
