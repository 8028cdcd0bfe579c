#include "host/kwgraph.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

KWGraphObject::KWGraphObject() {
  for (int i = 0; i < KWNumberOfLayoutStyles; ++i) ext_[i] = tailor_[i] = nullptr;
}

KWGraphObject::~KWGraphObject() { deleteStyleObjects(); }

void KWGraphObject::deleteStyleObjects() {
  for (int i = 0; i < KWNumberOfLayoutStyles; ++i) {
    KWObject* e = ext_[i];
    KWObject* t = tailor_[i];
    ext_[i] = tailor_[i] = nullptr;
    delete e;
    delete t;
  }
}

KWObject* KWGraphObject::pStyleExtension(KWLayoutStyleEnum style) const {
  return (style >= 0 && style < KWNumberOfLayoutStyles) ? ext_[style] : nullptr;
}

KWObject* KWGraphObject::pStyleTailor(KWLayoutStyleEnum style) const {
  return (style >= 0 && style < KWNumberOfLayoutStyles) ? tailor_[style] : nullptr;
}

void KWGraphObject::styleExtension(KWLayoutStyleEnum style, KWObject* ext) {
  if (style < 0 || style >= KWNumberOfLayoutStyles) { delete ext; return; }
  if (ext_[style] != ext) delete ext_[style];
  ext_[style] = ext;
}

void KWGraphObject::styleTailor(KWLayoutStyleEnum style, KWObject* tailor) {
  if (style < 0 || style >= KWNumberOfLayoutStyles) { delete tailor; return; }
  if (tailor_[style] != tailor) delete tailor_[style];
  tailor_[style] = tailor;
}

KWOMLObject* KWNode::pUnverifiedOwner() const { return graph_; }
KWFactory* KWNode::pFactory() const { return graph_ ? graph_->pFactory() : nullptr; }

long KWNode::degree() const {
  long d = 0;
  for (KWEdge* e : out_) if (e->pOwnerGraph() == graph_) ++d;
  for (KWEdge* e : in_) if (e->pOwnerGraph() == graph_) ++d;
  return d;
}

KWOMLObject* KWEdge::pUnverifiedOwner() const { return graph_; }
KWFactory* KWEdge::pFactory() const { return graph_ ? graph_->pFactory() : nullptr; }

KWGraph::KWGraph(KWDList* nodeList, KWDList* edgeList) : nodes_(nodeList), edges_(edgeList) {}

KWGraph::~KWGraph() {
  delete nodes_;
  delete edges_;
}

void KWGraph::deleteContents() {
  // Edges first: deleting a node must not leave dangling adjacency entries.
  while (KWDListCell* c = edges_->pFirstCell()) {
    KWEdge* e = static_cast<KWEdge*>(c->pObject());
    removeEdge(e);
    delete e;
  }
  while (KWDListCell* c = nodes_->pFirstCell()) {
    KWNode* n = static_cast<KWNode*>(c->pObject());
    removeNode(n);
    // Edges of other graphs may still point at n (a node moved here with edges
    // left elsewhere); unlink them so nothing dangles.
    for (KWEdge* e : std::vector<KWEdge*>(n->out_)) if (e->graph_) e->graph_->removeEdge(e);
    for (KWEdge* e : std::vector<KWEdge*>(n->in_)) if (e->graph_) e->graph_->removeEdge(e);
    delete n;
  }
}

void KWGraph::insertNode(KWNode* node) {
  if (node->graph_) node->graph_->removeNode(node);
  node->graph_ = this;
  node->cell_ = nodes_->append(node);
}

KWNode* KWGraph::removeNode(KWNode* node) {
  if (node->graph_ == this && node->cell_) {
    nodes_->deleteCell(node->cell_);
    node->cell_ = nullptr;
    node->graph_ = nullptr;
  }
  return node;
}

void KWGraph::insertEdge(KWEdge* edge, KWNode* from, KWNode* to) {
  if (edge->graph_) edge->graph_->removeEdge(edge);
  else if (edge->attached_) removeEdge(edge);
  edge->from_ = from;
  edge->to_ = to;
  from->out_.push_back(edge);
  to->in_.push_back(edge);
  edge->attached_ = true;
  edge->graph_ = this;
  edge->cell_ = edges_->append(edge);
  edgeInserted(edge);
}

KWEdge* KWGraph::removeEdge(KWEdge* edge) {
  if (edge->attached_) {
    auto drop = [edge](std::vector<KWEdge*>& v) {
      auto it = std::find(v.begin(), v.end(), edge);
      if (it != v.end()) v.erase(it);
    };
    drop(edge->from_->out_);
    drop(edge->to_->in_);
    edge->attached_ = false;
  }
  if (edge->graph_ && edge->cell_) {
    edge->graph_->edges_->deleteCell(edge->cell_);
    edge->cell_ = nullptr;
    edge->graph_ = nullptr;
  }
  return edge;
}

void KWGraph::adoptEdge(KWEdge* edge) {
  if (edge->graph_ == this) return;
  if (edge->graph_ && edge->cell_) edge->graph_->edges_->deleteCell(edge->cell_);
  edge->graph_ = this;
  edge->cell_ = edges_->append(edge);
}

long KWGraph::numberOfDisconnectedEdges() const {
  long n = 0;
  for (KWDListCell* c = edges_->pFirstCell(); c; c = c->pNextCell()) {
    KWEdge* e = static_cast<KWEdge*>(c->pObject());
    if (e->pFromNode()->pOwnerGraph() != this || e->pToNode()->pOwnerGraph() != this) ++n;
  }
  return n;
}

void KWGraph::reorder(const std::vector<KWNode*>& nodes, const std::vector<KWEdge*>& edges) {
  std::vector<KWNode*> restN;
  std::unordered_set<const KWObject*> listed(nodes.begin(), nodes.end());
  for (KWDListCell* c = nodes_->pFirstCell(); c; c = c->pNextCell())
    if (!listed.count(c->pObject())) restN.push_back(static_cast<KWNode*>(c->pObject()));
  nodes_->deleteAllCells();
  for (KWNode* n : nodes) if (n->graph_ == this) n->cell_ = nodes_->append(n);
  for (KWNode* n : restN) n->cell_ = nodes_->append(n);

  std::vector<KWEdge*> restE;
  std::unordered_set<const KWObject*> listedE(edges.begin(), edges.end());
  for (KWDListCell* c = edges_->pFirstCell(); c; c = c->pNextCell())
    if (!listedE.count(c->pObject())) restE.push_back(static_cast<KWEdge*>(c->pObject()));
  edges_->deleteAllCells();
  for (KWEdge* e : edges) if (e->graph_ == this) e->cell_ = edges_->append(e);
  for (KWEdge* e : restE) e->cell_ = edges_->append(e);

  // Each node's adjacency follows the edge list as well (edges of other graphs
  // last), so that traversals meet the edges in the same order on every run.
  std::unordered_map<const KWEdge*, size_t> rank;
  for (KWDListCell* c = edges_->pFirstCell(); c; c = c->pNextCell()) rank.emplace(static_cast<KWEdge*>(c->pObject()), rank.size());
  auto byRank = [&rank](const KWEdge* a, const KWEdge* b) {
    auto ra = rank.find(a), rb = rank.find(b);
    return (ra == rank.end() ? rank.size() : ra->second) < (rb == rank.end() ? rank.size() : rb->second);
  };
  for (KWDListCell* c = nodes_->pFirstCell(); c; c = c->pNextCell()) {
    KWNode* n = static_cast<KWNode*>(c->pObject());
    std::stable_sort(n->out_.begin(), n->out_.end(), byRank);
    std::stable_sort(n->in_.begin(), n->in_.end(), byRank);
  }
}

void KWNodeEdgeIter::init(const KWNode* node) {
  node_ = node;
  pos_ = 0;
  inPhase_ = (which_ == KWInEdges);
  edge_ = nullptr;
  if (node_) advance();
}

void KWNodeEdgeIter::advance() {
  edge_ = nullptr;
  while (true) {
    const std::vector<KWEdge*>& v = inPhase_ ? node_->inEdges() : node_->outEdges();
    while (pos_ < v.size()) {
      KWEdge* e = v[pos_++];
      if (e->pOwnerGraph() != node_->pOwnerGraph()) continue;
      if (inPhase_ && which_ == KWAllEdges && e->reflexive()) continue;  // met once, as outgoing
      edge_ = e;
      return;
    }
    if (!inPhase_ && which_ == KWAllEdges) {
      inPhase_ = true;
      pos_ = 0;
      continue;
    }
    return;
  }
}
