// Folding, collapsing and hiding parts of a drawing graph, with the layout
// style's reactions around each edit.
#include <algorithm>
#include <unordered_set>

#include "host/kwbgraph.h"
#include "host/kwfold.h"

namespace {
// The reaction hooks are the style's to override and the pipeline's to call;
// the editor reaches the protected ones through this derived view, which only
// forms member pointers (the calls still dispatch virtually).
struct Hooks : KWBGraph {
  static void beforeFold(KWBGraph* b, KWDNodeDList* r, const KWDNodeDList* n) {
    (b->*(&Hooks::actBeforeFoldWithLayout))(r, n);
  }
  static void afterFold(KWBGraph* b, KWDNodeDList* r) { (b->*(&Hooks::actAfterFoldWithLayout))(r); }
  static void beforeUnfold(KWBGraph* b, KWDNodeDList* r, KWDNode* n) {
    (b->*(&Hooks::actBeforeUnfoldWithLayout))(r, n);
  }
  static void afterUnfold(KWBGraph* b, KWDNodeDList* r) { (b->*(&Hooks::actAfterUnfoldWithLayout))(r); }
  static void beforeHide(KWBGraph* b, KWDNodeDList* r, const KWDNodeDList* n) {
    (b->*(&Hooks::actBeforeHideWithLayout))(r, n);
  }
  static void afterHide(KWBGraph* b, KWDNodeDList* r) { (b->*(&Hooks::actAfterHideWithLayout))(r); }
  static void beforeUnhide(KWBGraph* b, KWDNodeDList* r) { (b->*(&Hooks::actBeforeUnhideWithLayout))(r); }
  static void afterUnhide(KWBGraph* b, KWDNodeDList* r) { (b->*(&Hooks::actAfterUnhideWithLayout))(r); }
};

std::vector<KWDNode*> inGraph(const KWDNodeDList& list, const KWDGraph* g) {
  std::vector<KWDNode*> out;
  std::unordered_set<const KWDNode*> seen;
  for (KWDNodeDListIter it(list); it; ++it) {
    KWDNode* n = it.pNode();
    if (n && n->pOwnerGraph() == g && seen.insert(n).second) out.push_back(n);
  }
  return out;
}
}  // namespace

KWFoldEditor::KWFoldEditor(KWDGraph* graph, KWLayoutStyleEnum style)
    : graph_(graph), style_(style), holding_(nullptr) {}

KWFoldEditor::~KWFoldEditor() {
  if (!graph_) return;
  // Later folds may hold earlier fold nodes: undo them last to first.
  for (auto f = folds_.rbegin(); f != folds_.rend(); ++f) {
    KWDGraph* owner = f->key->pOwnerGraph();
    if (owner) owner->deleteNode(f->key);
    else delete f->key;
  }
  folds_.clear();
  graph_->moveNodesAndEdges(&holding_, holding_.KWGraph::pNodeList(), holding_.KWGraph::pEdgeList());
}

bool KWFoldEditor::isFoldNode(const KWDNode* n) const {
  for (const Group& f : folds_) if (f.key == n) return true;
  return false;
}

bool KWFoldEditor::isCollapsed(const KWDNode* n) const {
  for (const Group& c : collapsed_) if (c.key == n) return true;
  return false;
}

void KWFoldEditor::hideNodes(const std::vector<KWDNode*>& nodes) {
  for (KWDNode* n : nodes) {
    if (n->pOwnerGraph() != graph_) continue;
    holding_.insertNode(n);
    std::vector<KWEdge*> edges(n->outEdges());
    edges.insert(edges.end(), n->inEdges().begin(), n->inEdges().end());
    for (KWEdge* e : edges) if (e->pOwnerGraph() == graph_) holding_.adoptEdge(e);
  }
}

void KWFoldEditor::restoreNodes(const std::vector<KWDNode*>& nodes) {
  KWDList back;
  for (KWDNode* n : nodes) if (n->pOwnerGraph() == &holding_) back.append(n);
  graph_->moveNodesAndEdges(&holding_, &back, nullptr);
  back.deleteAllCells();
  // Edges whose end nodes are both visible again come back with them.
  KWDList edges;
  for (KWDEdgeIter it(&holding_); it; ++it) {
    KWDEdge* e = it.pEdge();
    if (e->pFromNode()->pOwnerGraph() == graph_ && e->pToNode()->pOwnerGraph() == graph_) edges.append(e);
  }
  graph_->moveNodesAndEdges(&holding_, nullptr, &edges);
  edges.deleteAllCells();
}

void KWFoldEditor::runLayout() { status_ = layoutGraph(graph_, style_); }

KWDNode* KWFoldEditor::fold(const KWDNodeDList& list, bool withLayout) {
  if (!graph_) return nullptr;
  std::vector<KWDNode*> members = inGraph(list, graph_);
  if (members.empty()) return nullptr;
  KWBGraph* b = withLayout ? KWBGraph::of(graph_, style_) : nullptr;
  KWDNodeDList records, given;
  for (KWDNode* n : members) given.appendNode(n);
  if (b) Hooks::beforeFold(b, &records, &given);

  KWRect box;
  box.isEmpty(true);
  long w = 0, h = 0;
  for (KWDNode* n : members) {
    KWRect r;
    n->ntBoundingRect(r);
    box.unite(r);
    w = std::max(w, n->ntWidth());
    h = std::max(h, n->ntHeight());
  }
  // The edges from the set to the rest, each with its outside end and direction.
  std::unordered_set<const KWNode*> inSet(members.begin(), members.end());
  std::vector<std::pair<KWDNode*, bool>> crossing;
  for (KWDEdgeIter it(graph_); it; ++it) {
    KWDEdge* e = it.pEdge();
    bool f = inSet.count(e->pFromNode()) != 0, t = inSet.count(e->pToNode()) != 0;
    if (f && !t) crossing.emplace_back(e->pToNode(), true);
    if (t && !f) crossing.emplace_back(e->pFromNode(), false);
  }
  hideNodes(members);
  KWDNode* folded = graph_->newNode(box.x(), box.y(), w, h, "folded");
  for (const auto& c : crossing) {
    if (c.second) graph_->newEdge(folded, c.first);
    else graph_->newEdge(c.first, folded);
  }
  folds_.push_back(Group{folded, members});

  if (b) {
    runLayout();
    Hooks::afterFold(b, &records);
  }
  records.deleteAllCells();
  given.deleteAllCells();
  return folded;
}

bool KWFoldEditor::unfold(KWDNode* folded, bool withLayout) {
  if (!graph_ || !folded || folded->pOwnerGraph() != graph_) return false;
  auto f = std::find_if(folds_.begin(), folds_.end(), [folded](const Group& g) { return g.key == folded; });
  if (f == folds_.end()) return false;
  KWBGraph* b = withLayout ? KWBGraph::of(graph_, style_) : nullptr;
  KWDNodeDList records;
  if (b) Hooks::beforeUnfold(b, &records, folded);
  std::vector<KWDNode*> members = f->nodes;
  folds_.erase(f);
  graph_->deleteNode(folded);
  restoreNodes(members);
  if (b) {
    runLayout();
    Hooks::afterUnfold(b, &records);
  }
  records.deleteAllCells();
  return true;
}

bool KWFoldEditor::collapse(KWDNode* node, bool withLayout) {
  if (!graph_ || !node || node->pOwnerGraph() != graph_ || isCollapsed(node)) return false;
  // Everything reachable along outgoing edges, breadth first.
  std::vector<KWDNode*> below;
  std::unordered_set<const KWNode*> seen{node};
  std::vector<KWDNode*> queue{node};
  for (size_t h = 0; h < queue.size(); ++h) {
    for (KWOutDEdgeIter it(queue[h]); it; ++it) {
      KWDNode* t = it.pEdge()->pToNode();
      if (!seen.insert(t).second) continue;
      queue.push_back(t);
      below.push_back(t);
    }
  }
  if (below.empty()) return false;
  KWBGraph* b = withLayout ? KWBGraph::of(graph_, style_) : nullptr;
  KWDNodeDList records;
  if (b) b->actBeforeCollapseWithLayout(&records, node);
  hideNodes(below);
  collapsed_.push_back(Group{node, below});
  if (b) {
    runLayout();
    b->actAfterCollapseWithLayout(&records);
  }
  records.deleteAllCells();
  return true;
}

bool KWFoldEditor::expand(KWDNode* node, bool withLayout) {
  if (!graph_ || !node) return false;
  auto c = std::find_if(collapsed_.begin(), collapsed_.end(), [node](const Group& g) { return g.key == node; });
  if (c == collapsed_.end()) return false;
  KWBGraph* b = withLayout ? KWBGraph::of(graph_, style_) : nullptr;
  KWDNodeDList records;
  if (b) b->actBeforeExpandWithLayout(&records, node);
  std::vector<KWDNode*> below = c->nodes;
  collapsed_.erase(c);
  restoreNodes(below);
  if (b) {
    runLayout();
    b->actAfterExpandWithLayout(&records);
  }
  records.deleteAllCells();
  return true;
}

bool KWFoldEditor::hide(const KWDNodeDList& list, bool withLayout) {
  if (!graph_) return false;
  std::vector<KWDNode*> nodes = inGraph(list, graph_);
  if (nodes.empty()) return false;
  KWBGraph* b = withLayout ? KWBGraph::of(graph_, style_) : nullptr;
  KWDNodeDList records, given;
  for (KWDNode* n : nodes) given.appendNode(n);
  if (b) Hooks::beforeHide(b, &records, &given);
  hideNodes(nodes);
  hidden_.insert(hidden_.end(), nodes.begin(), nodes.end());
  if (b) {
    runLayout();
    Hooks::afterHide(b, &records);
  }
  records.deleteAllCells();
  given.deleteAllCells();
  return true;
}

bool KWFoldEditor::unhide(bool withLayout) {
  if (!graph_ || hidden_.empty()) return false;
  KWBGraph* b = withLayout ? KWBGraph::of(graph_, style_) : nullptr;
  KWDNodeDList records;
  if (b) Hooks::beforeUnhide(b, &records);
  std::vector<KWDNode*> nodes;
  nodes.swap(hidden_);
  restoreNodes(nodes);
  if (b) {
    runLayout();
    Hooks::afterUnhide(b, &records);
  }
  records.deleteAllCells();
  return true;
}
