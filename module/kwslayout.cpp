#include "module/kwslayout.h"

#include "host/kwbgraph.h"
#include "host/kwfactory.h"
#include "module/kwslayfa.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

KWSLayout::KWSLayout()
    : style_(new KWSLayoutFactory), factory_(new KWFactory) {
  factory_->addLayoutFactory(style_.get());
  graph_.reset(factory_->newDGraph(KWSymmetricLayoutStyle));
}

// The graph goes first: its objects were made by the factories.
KWSLayout::~KWSLayout() { graph_.reset(); }

KWDNode* KWSLayout::addNode(long width, long height, const std::string& name) {
  return graph_->newNode(0, 0, width, height, name);
}

KWDEdge* KWSLayout::addEdge(KWDNode* from, KWDNode* to, const std::string& name) {
  if (!from || !to || from->pOwnerGraph() != graph_.get() || to->pOwnerGraph() != graph_.get()) return nullptr;
  return graph_->newEdge(from, to, name);
}

KWSGraphTailor& KWSLayout::settings() const { return *graph_->pSTailor(); }

KWSNodeTailor* KWSLayout::nodeSettings(const KWDNode* node) const {
  if (!node || node->pOwnerGraph() != graph_.get()) return nullptr;
  return node->pSTailor();
}

void KWSLayout::pin(KWDNode* node, bool pinned) {
  if (KWSNodeTailor* t = nodeSettings(node)) t->constrained(pinned ? 1 : 0);
}

KWErrorCodeEnum KWSLayout::layout() { return layoutGraph(graph_.get(), KWSymmetricLayoutStyle); }

void KWSLayout::observer(KWLayoutObserver* o) { graph_->observer(o); }

std::vector<KWDNode*> KWSLayout::nodes() const {
  std::vector<KWDNode*> v;
  for (KWDNodeIter it(graph_.get()); it; ++it) v.push_back(it.pNode());
  return v;
}
