#include "module/kwslayout.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unordered_set>

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

namespace {

bool holds(KWSSettingKind kind, double v) {
  switch (kind) {
    case KWSSettingKind::Real: return std::isfinite(v);
    case KWSSettingKind::Integer: return std::isfinite(v) && v == std::floor(v) && v >= INT_MIN && v <= INT_MAX;
    case KWSSettingKind::Flag: return v == 0.0 || v == 1.0;
  }
  return false;
}

}  // namespace

const std::vector<KWSSettingInfo>& KWSLayout::settingList() {
  static const std::vector<KWSSettingInfo> list = [] {
    std::vector<KWSSettingInfo> v;
    for (const KWSGraphSetting& s : KWSGraphTailor::graphSettings())
      if (s.named()) v.push_back(s);
    return v;
  }();
  return list;
}

const KWSSettingInfo* KWSLayout::findSetting(const std::string& name) {
  for (const KWSSettingInfo& s : settingList())
    if (name == s.name) return &s;
  return nullptr;
}

bool KWSLayout::setting(const std::string& name, double value) {
  const KWSSettingInfo* s = findSetting(name);
  if (!s || !holds(s->kind, value)) return false;
  s->set(settings(), value);
  return true;
}

double KWSLayout::setting(const std::string& name) const {
  const KWSSettingInfo* s = findSetting(name);
  return s ? s->get(settings()) : std::numeric_limits<double>::quiet_NaN();
}

void KWSLayout::startFromPositions(const std::vector<KWDNode*>& unplaced) {
  settings().incrementalWithinComponentLayout(1);
  settings().firstInitialization(0);
  std::unordered_set<const KWDNode*> random;
  for (KWDNode* n : unplaced)
    if (nodeSettings(n)) random.insert(n);
  if (random.empty()) return;
  // The random start moves every free node: hold the placed ones meanwhile.
  std::vector<KWDNode*> held;
  for (KWDNode* n : nodes()) {
    KWSNodeTailor* t = n->pSTailor();
    if (t && !random.count(n) && !t->constrained()) {
      t->constrained(1);
      held.push_back(n);
    }
  }
  if (KWBGraph* b = KWBGraph::of(graph_.get(), KWSymmetricLayoutStyle))
    b->randomizePositions(settings().randomSeed() < 0 ? 1 : settings().randomSeed());
  for (KWDNode* n : held) n->pSTailor()->constrained(0);
}

std::string KWSLayout::statusText(KWErrorCodeEnum status) const {
  if (status == KWNoError) return std::string();
  if (status == KWStoppedEarly) return "the layout stopped early: the drawing is complete but not fully relaxed";
  char text[256];
  const KWBGraph* b = KWBGraph::of(graph_.get(), KWSymmetricLayoutStyle);
  if (status == KWErrorTooLarge && b) {
    const long nodes = b->refusedComponentNodes();
    const double need = b->componentMatrixBytes(nodes);
    if (b->maxMatrixBytes() > 0 && need > static_cast<double>(b->maxMatrixBytes()))
      std::snprintf(text, sizeof text,
                    "a connected component is too large for the layout's matrices: its %ld nodes need %.0f MiB, "
                    "the limit is %.0f MiB",
                    nodes, need / 1048576.0, static_cast<double>(b->maxMatrixBytes()) / 1048576.0);
    else
      std::snprintf(text, sizeof text, "a connected component is too large for the layout: %ld nodes, the limit is %ld",
                    nodes, b->maxComponentNodes());
  } else {
    std::snprintf(text, sizeof text, "the layout failed (status %d)", static_cast<int>(status));
  }
  return text;
}

KWErrorCodeEnum KWSLayout::layout() { return layoutGraph(graph_.get(), KWSymmetricLayoutStyle); }

void KWSLayout::observer(KWLayoutObserver* o) { graph_->observer(o); }

std::vector<KWDNode*> KWSLayout::nodes() const {
  std::vector<KWDNode*> v;
  for (KWDNodeIter it(graph_.get()); it; ++it) v.push_back(it.pNode());
  return v;
}
