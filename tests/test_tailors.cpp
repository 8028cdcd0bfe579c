// Symmetric tailors: defaults, change notification (once per real change, none
// for equal values or NaN; numbers after the store, flags before it), the flag
// bits, copies through the setters, and constraining all nodes at once.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "host/kwfactory.h"
#include "module/kwslayfa.h"
#include "tailor/kwsedta.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"
#include "support/engine_access.h"

namespace {

struct Env {
  KWSLayoutFactory styleFactory;
  KWFactory factory;
  Env() { factory.addLayoutFactory(&styleFactory); }
};

// A graph or node that records, at each tailor notification, what probe answers then.
template <class Base>
class Observing : public Base {
 public:
  using Base::Base;
  void actOnTailorChange() override {
    Base::actOnTailorChange();
    if (probe) seen.push_back(probe());
  }
  std::function<int()> probe;
  std::vector<int> seen;
};
using ObservingGraph = Observing<KWDGraph>;
using ObservingNode = Observing<KWDNode>;

using Kind = KWSSettingKind;
const std::vector<KWSGraphSetting>& settings() { return KWSGraphTailor::graphSettings(); }

// A value unlike the setting's default.
double otherValue(const KWSGraphSetting& s) {
  return s.kind == Kind::Flag ? 1.0 - s.defaultValue : s.kind == Kind::Real ? 2.0 * s.defaultValue + 0.5 : s.defaultValue + 7.0;
}

// ---- numeric settings ---------------------------------------------------------------

TEST(GraphTailorNumbers, OneNotificationPerRealChangeAndNoneForEqualValuesOrNaN) {
  KWDGraph g;
  KWSGraphTailor t(&g);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Step { double value; double stored; int notifications; };
  const std::vector<Step> intSteps = {{5, 5, 1}, {5, 5, 0}, {-50, -50, 1}, {INT_MIN, INT_MIN, 1}, {INT_MAX, INT_MAX, 1},
                                      {INT_MAX, INT_MAX, 0}};
  // A NaN and a zero of the other sign count as equal to what is stored.
  const std::vector<Step> realSteps = {{1.0, 1.0, 0},  {nan, 1.0, 0},    {2.5, 2.5, 1},   {2.5, 2.5, 0},
                                       {-3.0, -3.0, 1}, {0.0, 0.0, 1},   {-0.0, 0.0, 0},  {nan, 0.0, 0},
                                       {inf, inf, 1},   {-inf, -inf, 1}, {1e-300, 1e-300, 1}};
  for (const KWSGraphSetting& s : settings()) {
    if (s.kind == Kind::Flag) continue;
    s.set(t, 1.0);
    for (const Step& step : s.kind == Kind::Real ? realSteps : intSteps) {
      const long before = g.tailorChanges();
      EXPECT_EQ(s.set(t, step.value), step.stored) << s.name << " " << step.value;
      EXPECT_EQ(s.get(t), step.stored) << s.name << " " << step.value;
      EXPECT_FALSE(std::isnan(s.get(t))) << s.name;
      EXPECT_EQ(g.tailorChanges() - before, step.notifications) << s.name << " " << step.value;
    }
  }
}

// ---- flags -------------------------------------------------------------------------

TEST(GraphTailorFlags, FlagsNotifyBeforeTheStoreNumbersAfterItAndEachFlagOwnsOneBit) {
  Env env;
  int bitNumber = 11;  // the flags take the bits from 11 on, in the table's order
  for (const KWSGraphSetting& f : settings()) {
    if (f.kind != Kind::Flag) continue;
    SCOPED_TRACE(f.name);
    ObservingGraph g(&env.factory);
    g.enableLayoutStyle(KWSymmetricLayoutStyle);
    KWSGraphTailor* t = g.pSTailor();
    ASSERT_NE(t, nullptr);
    g.probe = [t, &f]() { return static_cast<int>(f.get(*t)); };
    f.set(*t, 0);
    g.seen.clear();
    // Any non-zero value sets the flag; the setter answers its argument.
    const struct { int value, stored; } steps[] = {{1, 1}, {1, 1}, {2, 1}, {0, 0}, {0, 0}, {-1, 1}};
    const std::uint32_t bit = 1u << bitNumber++;
    for (const auto& step : steps) {
      const std::uint32_t before = t->flagWord();
      EXPECT_EQ(f.set(*t, step.value), step.value);
      EXPECT_EQ(f.get(*t), step.stored) << step.value;
      EXPECT_EQ(before & ~bit, t->flagWord() & ~bit);
      EXPECT_EQ((t->flagWord() & bit) != 0, step.stored != 0);
    }
    // One notification per differing value (2 differs from the stored 1),
    // each seeing the old value.
    EXPECT_EQ(g.seen, (std::vector<int>{0, 1, 1, 0}));
  }
  // A number is stored before the owner hears of it.
  ObservingGraph g(&env.factory);
  g.enableLayoutStyle(KWSymmetricLayoutStyle);
  g.probe = [&g]() { return g.pSTailor()->nodeSpacing(); };
  g.pSTailor()->nodeSpacing(140);
  EXPECT_EQ(g.seen, (std::vector<int>{140}));
  // The base tailor's own incremental bits are not used by this style.
  KWSGraphTailor t;
  t.incrementalWithinComponentLayout(1);
  t.incrementalDisconnectedNodesLayout(1);
  t.incrementalComponentsLayout(1);
  EXPECT_EQ(t.flagWord() & 0x7FFu, 0u);
}

// ---- copies ----------------------------------------------------------------------------

void expectSameSettings(const KWSGraphTailor& a, const KWSGraphTailor& b) {
  for (const KWSGraphSetting& s : settings()) EXPECT_EQ(s.get(a), s.get(b)) << s.name;
}

TEST(GraphTailorCopy, FlagsBeforeNumbersThenRouteEdgesLast) {
  Env env;
  ObservingGraph g(&env.factory);
  g.enableLayoutStyle(KWSymmetricLayoutStyle);
  KWSGraphTailor* t = g.pSTailor();
  KWSGraphTailor source;
  source.incrementalWithinComponentLayout(1);
  source.routeEdges(1);
  source.nodeSpacing(12);
  g.probe = [t]() { return t->nodeSpacing(); };
  t->copyObject(&source);
  // The incremental flag is copied while the numbers are still the old ones;
  // routeEdges after them.
  EXPECT_EQ(g.seen, (std::vector<int>{75, 12}));
}

// Copies onto an owned tailor take every setting, notify once per changed
// flag and keep their owner; copies made anew have none.
TEST(GraphTailorCopy, CopiesNotifyOnlyForChangedFlagsAndNewCopiesHaveNoOwner) {
  Env env;
  KWSGraphTailor source;
  for (const KWSGraphSetting& s : settings()) s.set(source, otherValue(s));
  long flags = 0;
  for (const KWSGraphSetting& s : settings()) flags += s.kind == Kind::Flag;
  for (int kind = 0; kind < 3; ++kind) {
    std::unique_ptr<KWDGraph> g(env.factory.newDGraph(KWSymmetricLayoutStyle));
    KWSGraphTailor* t = g->pSTailor();
    long before = g->tailorChanges();
    if (kind == 0) t->copyObject(&source);
    else if (kind == 1) t->copyAttributes(&source);
    else *t = source;
    EXPECT_EQ(g->tailorChanges() - before, flags) << kind;
    expectSameSettings(*t, source);
    EXPECT_EQ(t->pOwnerGraph(), g.get());
    // Copying the same settings again, from itself or from nothing, tells nobody.
    before = g->tailorChanges();
    t->copyObject(&source);
    KWSGraphTailor& self = *t;
    *t = self;
    t->copyAttributes(t);
    t->copyObject(nullptr);
    EXPECT_EQ(g->tailorChanges(), before);
    expectSameSettings(*t, source);
    KWSGraphTailor deep(*t);
    std::unique_ptr<KWSGraphTailor> attrClone(t->cloneAttributes());
    for (KWSGraphTailor* c : {&deep, attrClone.get()}) {
      EXPECT_EQ(c->pOwnerGraph(), nullptr);
      expectSameSettings(*c, source);
    }
  }
}

// A copy never takes over the source's graph-file extension, and a target
// that holds one releases it (sharing would free it twice, dropping it would
// leak: both show under the sanitizers).
TEST(GraphTailorCopy, CopiesNeverShareTheGraphFileExtension) {
  KWSGraphTailor source;
  KWSGraphFileExtension* held = source.pGraphFileExtension(nullptr);
  KWSGraphTailor target;
  target.pGraphFileExtension(nullptr);
  target.copyObject(&source);
  KWSGraphTailor copy(source);
  std::unique_ptr<KWSGraphTailor> clone(source.cloneAttributes());
  if (held) {
    EXPECT_NE(target.pGraphFileExtension(nullptr), held);
    EXPECT_NE(copy.pGraphFileExtension(nullptr), held);
    EXPECT_NE(clone->pGraphFileExtension(nullptr), held);
  }
  EXPECT_EQ(source.pGraphFileExtension(nullptr), held);
}

// ---- all nodes at once -------------------------------------------------------------------

TEST(ConstrainAllNodes, NotifiesEachChangedNodeOnceAndNeverTheGraph) {
  std::uint32_t pick = 5u;
  auto check = [&pick](kwtest::Fixture& f, const std::vector<KWDNode*>& nodes, const char* family) {
    // Constrain a pseudo-random part of the nodes by hand first.
    std::vector<int> wasConstrained;
    for (KWDNode* n : nodes) {
      pick = pick * 1664525u + 1013904223u;
      if ((pick >> 16) & 1u) n->pSTailor()->constrained(1);
      wasConstrained.push_back(n->pSTailor()->constrained());
    }
    std::vector<long> before;
    for (KWDNode* n : nodes) before.push_back(n->tailorChanges());
    const long graphBefore = f.g()->tailorChanges();
    for (int round = 0; round < 3; ++round) {
      // Constrain, again (nothing left to tell), then release all.
      if (round < 2) f.t()->constrainAllNodes(); else f.t()->unconstrainAllNodes();
      for (size_t i = 0; i < nodes.size(); ++i) {
        EXPECT_EQ(nodes[i]->pSTailor()->constrained(), round < 2 ? 1 : 0) << family;
        const long told = round == 0 ? (wasConstrained[i] ? 0 : 1) : round == 1 ? 0 : 1;
        EXPECT_EQ(nodes[i]->tailorChanges() - before[i], told) << family << " node " << i << " round " << round;
        before[i] = nodes[i]->tailorChanges();
      }
    }
    EXPECT_EQ(f.g()->tailorChanges(), graphBefore) << family;
  };
  kwtest::forEachFamily(12, 7, check);
}

TEST(ConstrainAllNodes, SkipsNodesWithoutSettingsAndOwnerlessTailors) {
  Env env;
  std::unique_ptr<KWDGraph> g(env.factory.newDGraph(KWSymmetricLayoutStyle));
  KWDNode* equipped = g->newNode(0, 0, 10, 10);
  KWDNode* bare = new KWDNode;
  g->insertNode(bare);  // never equipped: no symmetric node tailor
  g->pSTailor()->constrainAllNodes();
  EXPECT_EQ(equipped->pSTailor()->constrained(), 1);
  EXPECT_EQ(bare->pSTailor(), nullptr);
  EXPECT_EQ(bare->tailorChanges(), 0);
  KWSGraphTailor ownerless;
  ownerless.constrainAllNodes();
  ownerless.unconstrainAllNodes();
  EXPECT_EQ(equipped->pSTailor()->constrained(), 1);
}

// ---- node and edge tailors -----------------------------------------------------------

TEST(NodeTailor, ConstrainedNotifiesBeforeTheStoreOncePerChange) {
  Env env;
  std::unique_ptr<KWDGraph> g(env.factory.newDGraph(KWSymmetricLayoutStyle));
  ObservingNode* n = new ObservingNode;
  g->insertNode(n);
  g->equip(n);
  KWSNodeTailor* t = n->pSTailor();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->pOwnerNode(), n);
  n->probe = [t]() { return t->constrained(); };
  const struct { int value, stored; } steps[] = {{1, 1}, {1, 1}, {5, 1}, {0, 0}};
  for (const auto& step : steps) {
    EXPECT_EQ(t->constrained(step.value), step.value);  // answers its argument
    EXPECT_EQ(t->constrained(), step.stored);
  }
  EXPECT_EQ(n->seen, (std::vector<int>{0, 1, 1}));  // each seeing the old value
  EXPECT_EQ(n->tailorChanges(), 3);
  EXPECT_EQ(g->tailorChanges(), 2);  // only the graph tailor's own construction
}

TEST(NodeAndEdgeTailors, ConstrainedIsBitOneAndCopiesCarryTheFlagWords) {
  KWSNodeTailor t;
  t.flagWord(0x10u);
  t.constrained(1);  // ownerless: changes silently
  EXPECT_EQ(t.flagWord(), 0x12u);
  t.constrained(0);
  EXPECT_EQ(t.flagWord(), 0x10u);
  t.flagWord(0x2u);
  EXPECT_EQ(t.constrained(), 1);
  std::unique_ptr<KWSNodeTailor> clone(t.cloneObject());
  KWSNodeTailor target;
  target.copyObject(&t);
  EXPECT_EQ(clone->constrained() + target.constrained(), 2);
  EXPECT_EQ(clone->pOwnerNode(), nullptr);

  KWSEdgeTailor e;
  e.flagWord(0x55u);
  std::unique_ptr<KWSEdgeTailor> edgeClone(e.cloneAttributes());
  EXPECT_EQ(edgeClone->flagWord(), 0x55u);
  EXPECT_EQ(edgeClone->pOwnerEdge(), nullptr);
}

}  // namespace
