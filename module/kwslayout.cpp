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

// How each named setting is read from and stored in the graph tailor.
struct SettingAccess {
  KWSSettingInfo info;
  double (*get)(const KWSGraphTailor&);
  void (*set)(KWSGraphTailor&, double);
};

const std::vector<SettingAccess>& settingAccess() {
  using K = KWSSettingKind;
  using T = KWSGraphTailor;
  static const std::vector<SettingAccess> table = {
      {{"springConstant", K::Real}, [](const T& t) { return t.springConstant(); },
       [](T& t, double v) { t.springConstant(v); }},
      {{"terminationValue", K::Real}, [](const T& t) { return t.terminationValue(); },
       [](T& t, double v) { t.terminationValue(v); }},
      {{"maxNodeIterations", K::Integer}, [](const T& t) { return double(t.maxNodeIterations()); },
       [](T& t, double v) { t.maxNodeIterations(int(v)); }},
      {{"maxMoveIterations", K::Integer}, [](const T& t) { return double(t.maxMoveIterations()); },
       [](T& t, double v) { t.maxMoveIterations(int(v)); }},
      {{"maxNodesMovedMultiplier", K::Integer}, [](const T& t) { return double(t.maxNodesMovedMultiplier()); },
       [](T& t, double v) { t.maxNodesMovedMultiplier(int(v)); }},
      {{"shrinkagePerMil", K::Integer}, [](const T& t) { return double(t.shrinkagePerMil()); },
       [](T& t, double v) { t.shrinkagePerMil(int(v)); }},
      {{"nodeSpacing", K::Integer}, [](const T& t) { return double(t.nodeSpacing()); },
       [](T& t, double v) { t.nodeSpacing(int(v)); }},
      {{"dummyNodeSpacing", K::Integer}, [](const T& t) { return double(t.dummyNodeSpacing()); },
       [](T& t, double v) { t.dummyNodeSpacing(int(v)); }},
      {{"randomSeed", K::Integer}, [](const T& t) { return double(t.randomSeed()); },
       [](T& t, double v) { t.randomSeed(int(v)); }},
      {{"routeEdges", K::Flag}, [](const T& t) { return t.routeEdges() ? 1.0 : 0.0; },
       [](T& t, double v) { t.routeEdges(v != 0.0 ? 1 : 0); }},
      {{"incrementalWithinComponentLayout", K::Flag},
       [](const T& t) { return t.incrementalWithinComponentLayout() ? 1.0 : 0.0; },
       [](T& t, double v) { t.incrementalWithinComponentLayout(v != 0.0 ? 1 : 0); }},
      {{"incrementalDisconnectedNodesLayout", K::Flag},
       [](const T& t) { return t.incrementalDisconnectedNodesLayout() ? 1.0 : 0.0; },
       [](T& t, double v) { t.incrementalDisconnectedNodesLayout(v != 0.0 ? 1 : 0); }},
      {{"incrementalComponentsLayout", K::Flag},
       [](const T& t) { return t.incrementalComponentsLayout() ? 1.0 : 0.0; },
       [](T& t, double v) { t.incrementalComponentsLayout(v != 0.0 ? 1 : 0); }},
  };
  return table;
}

const SettingAccess* findAccess(const std::string& name) {
  for (const SettingAccess& a : settingAccess())
    if (name == a.info.name) return &a;
  return nullptr;
}

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
    for (const SettingAccess& a : settingAccess()) v.push_back(a.info);
    return v;
  }();
  return list;
}

const KWSSettingInfo* KWSLayout::findSetting(const std::string& name) {
  const SettingAccess* a = findAccess(name);
  return a ? &a->info : nullptr;
}

bool KWSLayout::setting(const std::string& name, double value) {
  const SettingAccess* a = findAccess(name);
  if (!a || !holds(a->info.kind, value)) return false;
  a->set(settings(), value);
  return true;
}

double KWSLayout::setting(const std::string& name) const {
  const SettingAccess* a = findAccess(name);
  return a ? a->get(settings()) : std::numeric_limits<double>::quiet_NaN();
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
