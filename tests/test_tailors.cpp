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

namespace {

struct Env {
  KWSLayoutFactory styleFactory;
  KWFactory factory;
  Env() { factory.addLayoutFactory(&styleFactory); }
};

// A graph that records, at each tailor notification, what probe answers then.
class ObservingGraph : public KWDGraph {
 public:
  explicit ObservingGraph(KWFactory* f) : KWDGraph(f) {}
  void actOnTailorChange() override {
    KWDGraph::actOnTailorChange();
    if (probe) seen.push_back(probe());
  }
  std::function<int()> probe;
  std::vector<int> seen;
};

class ObservingNode : public KWDNode {
 public:
  void actOnTailorChange() override {
    KWDNode::actOnTailorChange();
    if (probe) seen.push_back(probe());
  }
  std::function<int()> probe;
  std::vector<int> seen;
};

struct IntSetting {
  const char* name;
  int (*get)(const KWSGraphTailor&);
  int (*set)(KWSGraphTailor&, int);
  int defaultValue;
};
struct DoubleSetting {
  const char* name;
  double (*get)(const KWSGraphTailor&);
  double (*set)(KWSGraphTailor&, double);
};
struct FlagSetting {
  const char* name;
  int (*get)(const KWSGraphTailor&);
  int (*set)(KWSGraphTailor&, int);
  int bit;
};

#define KWS_ACCESS(T, name) \
  #name, [](const KWSGraphTailor& t) { return t.name(); }, [](KWSGraphTailor& t, T v) { return t.name(v); }

const IntSetting kIntSettings[] = {
    {KWS_ACCESS(int, maxNodeIterations), 20}, {KWS_ACCESS(int, maxMoveIterations), 10},
    {KWS_ACCESS(int, maxNodesMovedMultiplier), 20}, {KWS_ACCESS(int, shrinkagePerMil), 0},
    {KWS_ACCESS(int, nodeSpacing), 75}, {KWS_ACCESS(int, dummyNodeSpacing), 25},
    {KWS_ACCESS(int, randomSeed), 1}};
const DoubleSetting kDoubleSettings[] = {{KWS_ACCESS(double, springConstant)},
                                         {KWS_ACCESS(double, terminationValue)}};
const FlagSetting kFlagSettings[] = {
    {KWS_ACCESS(int, routeEdges), 11}, {KWS_ACCESS(int, incrementalWithinComponentLayout), 12},
    {KWS_ACCESS(int, incrementalDisconnectedNodesLayout), 13}, {KWS_ACCESS(int, incrementalComponentsLayout), 14},
    {KWS_ACCESS(int, firstInitialization), 15}};
#undef KWS_ACCESS

// ---- defaults ----------------------------------------------------------------------

TEST(GraphTailorDefaults, NewTailorHoldsTheDefaultsInTableOrder) {
  KWSGraphTailor t;
  std::vector<double> numbers = {t.springConstant(),
                                 t.terminationValue(),
                                 static_cast<double>(t.maxNodeIterations()),
                                 static_cast<double>(t.maxMoveIterations()),
                                 static_cast<double>(t.maxNodesMovedMultiplier()),
                                 static_cast<double>(t.shrinkagePerMil()),
                                 static_cast<double>(t.nodeSpacing()),
                                 static_cast<double>(t.dummyNodeSpacing()),
                                 static_cast<double>(t.randomSeed())};
  EXPECT_EQ(numbers, (std::vector<double>{1.0, 1.0, 20, 10, 20, 0, 75, 25, 1}));
  EXPECT_EQ(t.incrementalWithinComponentLayout(), 0);
  EXPECT_EQ(t.incrementalDisconnectedNodesLayout(), 0);
  EXPECT_EQ(t.incrementalComponentsLayout(), 1);
  EXPECT_EQ(t.firstInitialization(), 1);
  EXPECT_EQ(t.layoutStyle(), KWSymmetricLayoutStyle);
  EXPECT_EQ(t.forceComponents(), 1);
  EXPECT_EQ(t.pOwnerGraph(), nullptr);
}

TEST(GraphTailorDefaults, ConstructionNotifiesForEachFlagLeavingTheClearedBit) {
  // incrementalComponentsLayout and firstInitialization start set; the other
  // flags stay clear and the numbers are stored silently.
  KWDGraph g;
  KWSGraphTailor t(&g);
  EXPECT_EQ(g.tailorChanges(), 2);
}

// ---- numeric settings ---------------------------------------------------------------

TEST(GraphTailorNumbers, OneNotificationPerRealChangeAndNoneForEqualValues) {
  KWDGraph g;
  KWSGraphTailor t(&g);
  const int values[] = {5, 5, -50, 0, 0, INT_MIN, INT_MAX, INT_MAX, 1};
  for (const IntSetting& s : kIntSettings) {
    int previous = s.get(t);
    for (int v : values) {
      long before = g.tailorChanges();
      EXPECT_EQ(s.set(t, v), v) << s.name;
      EXPECT_EQ(s.get(t), v) << s.name;
      EXPECT_EQ(g.tailorChanges() - before, v != previous ? 1 : 0) << s.name << " " << v;
      previous = v;
    }
  }
}

TEST(GraphTailorNumbers, DoublesTreatNaNAndSignedZeroAsEqual) {
  KWDGraph g;
  KWSGraphTailor t(&g);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const DoubleSetting& s : kDoubleSettings) {
    struct Step { double value; double stored; int notifications; };
    const Step steps[] = {{1.0, 1.0, 0},  {nan, 1.0, 0},   {2.5, 2.5, 1},   {2.5, 2.5, 0},
                          {-3.0, -3.0, 1}, {0.0, 0.0, 1},  {-0.0, 0.0, 0},  {nan, 0.0, 0},
                          {inf, inf, 1},   {-inf, -inf, 1}, {1e-300, 1e-300, 1}};
    for (const Step& step : steps) {
      long before = g.tailorChanges();
      double answered = s.set(t, step.value);
      EXPECT_EQ(answered, step.stored) << s.name << " " << step.value;
      EXPECT_EQ(s.get(t), step.stored) << s.name << " " << step.value;
      EXPECT_FALSE(std::isnan(s.get(t))) << s.name;
      EXPECT_EQ(g.tailorChanges() - before, step.notifications) << s.name << " " << step.value;
    }
  }
}

TEST(GraphTailorNumbers, TheOwnerSeesTheNewValueWhenNotified) {
  Env env;
  ObservingGraph g(&env.factory);
  g.enableLayoutStyle(KWSymmetricLayoutStyle);
  KWSGraphTailor* t = g.pSTailor();
  ASSERT_NE(t, nullptr);
  g.probe = [t]() { return t->nodeSpacing(); };
  t->nodeSpacing(140);
  EXPECT_EQ(g.seen, (std::vector<int>{140}));
  g.seen.clear();
  g.probe = [t]() { return static_cast<int>(t->springConstant() * 1000.0); };
  t->springConstant(0.25);
  EXPECT_EQ(g.seen, (std::vector<int>{250}));
}

// ---- flags -------------------------------------------------------------------------

TEST(GraphTailorFlags, NotifyBeforeTheStoreAndAnswerTheArgument) {
  Env env;
  for (const FlagSetting& f : kFlagSettings) {
    ObservingGraph g(&env.factory);
    g.enableLayoutStyle(KWSymmetricLayoutStyle);
    KWSGraphTailor* t = g.pSTailor();
    ASSERT_NE(t, nullptr);
    g.probe = [t, &f]() { return f.get(*t); };
    f.set(*t, 0);
    g.seen.clear();

    EXPECT_EQ(f.set(*t, 1), 1) << f.name;
    EXPECT_EQ(f.get(*t), 1) << f.name;
    EXPECT_EQ(g.seen, (std::vector<int>{0})) << f.name;  // the old value, seen during the notification
    EXPECT_EQ(f.set(*t, 1), 1) << f.name;
    EXPECT_EQ(g.seen.size(), 1u) << f.name;
    // 2 differs from the stored 1: one notification, the flag stays set.
    EXPECT_EQ(f.set(*t, 2), 2) << f.name;
    EXPECT_EQ(f.get(*t), 1) << f.name;
    EXPECT_EQ(g.seen, (std::vector<int>{0, 1})) << f.name;
    EXPECT_EQ(f.set(*t, 0), 0) << f.name;
    EXPECT_EQ(f.get(*t), 0) << f.name;
    EXPECT_EQ(f.set(*t, 0), 0) << f.name;
    EXPECT_EQ(f.set(*t, -1), -1) << f.name;
    EXPECT_EQ(f.get(*t), 1) << f.name;
    EXPECT_EQ(g.seen, (std::vector<int>{0, 1, 1, 0})) << f.name;
  }
}

TEST(GraphTailorFlags, EachFlagOwnsOneBitFromElevenToFifteen) {
  KWSGraphTailor t;
  for (const FlagSetting& f : kFlagSettings) {
    for (int on : {1, 0, 1}) {
      std::uint32_t before = t.flagWord();
      f.set(t, on);
      std::uint32_t after = t.flagWord();
      std::uint32_t bit = 1u << f.bit;
      EXPECT_EQ(before & ~bit, after & ~bit) << f.name;
      EXPECT_EQ((after & bit) != 0, on != 0) << f.name;
    }
  }
  // The base tailor's own incremental bits are not used by this style.
  t.incrementalWithinComponentLayout(1);
  t.incrementalDisconnectedNodesLayout(1);
  t.incrementalComponentsLayout(1);
  EXPECT_EQ(t.flagWord() & 0x7FFu, 0u);
}

// ---- copies ----------------------------------------------------------------------------

void makeDifferent(KWSGraphTailor& s) {
  s.springConstant(2.0);
  s.terminationValue(0.5);
  s.maxNodeIterations(7);
  s.maxMoveIterations(8);
  s.maxNodesMovedMultiplier(9);
  s.shrinkagePerMil(100);
  s.nodeSpacing(33);
  s.dummyNodeSpacing(44);
  s.randomSeed(55);
  s.routeEdges(1);
  s.incrementalWithinComponentLayout(1);
  s.firstInitialization(0);
}

void expectSameSettings(const KWSGraphTailor& a, const KWSGraphTailor& b) {
  for (const IntSetting& s : kIntSettings) EXPECT_EQ(s.get(a), s.get(b)) << s.name;
  for (const DoubleSetting& s : kDoubleSettings) EXPECT_EQ(s.get(a), s.get(b)) << s.name;
  for (const FlagSetting& f : kFlagSettings) EXPECT_EQ(f.get(a), f.get(b)) << f.name;
}

TEST(GraphTailorCopy, CopiesNotifyOnlyForChangedFlags) {
  Env env;
  KWSGraphTailor source;
  makeDifferent(source);  // three flags and all nine numbers differ from the defaults
  for (int kind = 0; kind < 3; ++kind) {
    std::unique_ptr<KWDGraph> g(env.factory.newDGraph(KWSymmetricLayoutStyle));
    KWSGraphTailor* t = g->pSTailor();
    long before = g->tailorChanges();
    if (kind == 0) t->copyObject(&source);
    else if (kind == 1) t->copyAttributes(&source);
    else *t = source;
    EXPECT_EQ(g->tailorChanges() - before, 3) << kind;
    expectSameSettings(*t, source);
    EXPECT_EQ(t->pOwnerGraph(), g.get());
    // Copying the same settings again changes nothing and tells nobody.
    before = g->tailorChanges();
    t->copyObject(&source);
    EXPECT_EQ(g->tailorChanges(), before);
  }
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

TEST(GraphTailorCopy, CopyConstructorAndClonesHaveNoOwner) {
  Env env;
  std::unique_ptr<KWDGraph> g(env.factory.newDGraph(KWSymmetricLayoutStyle));
  KWSGraphTailor* t = g->pSTailor();
  makeDifferent(*t);
  long before = g->tailorChanges();
  KWSGraphTailor deep(*t);
  KWSGraphTailor attrs(*t, KWAttributeCopy);
  std::unique_ptr<KWSGraphTailor> clone(t->cloneObject());
  std::unique_ptr<KWSGraphTailor> attrClone(t->cloneAttributes());
  EXPECT_EQ(g->tailorChanges(), before);
  for (KWSGraphTailor* c : {&deep, &attrs, clone.get(), attrClone.get()}) {
    EXPECT_EQ(c->pOwnerGraph(), nullptr);
    expectSameSettings(*c, *t);
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

TEST(GraphTailorCopy, SelfAndNullCopiesChangeNothing) {
  KWDGraph g;
  KWSGraphTailor t(&g);
  makeDifferent(t);
  KWSGraphTailor reference(t);
  long before = g.tailorChanges();
  KWSGraphTailor& self = t;
  t = self;
  t.copyObject(&t);
  t.copyAttributes(&t);
  t.copyObject(nullptr);
  t.copyAttributes(nullptr);
  EXPECT_EQ(g.tailorChanges(), before);
  expectSameSettings(t, reference);
}

// ---- all nodes at once -------------------------------------------------------------------

// Families of graphs to sweep: grids, cycles, binary trees and random graphs.
enum Family { kGrid, kCycle, kTree, kRandom };
void build(KWDGraph* g, Family family, int k, std::uint32_t seed = 1u) {
  std::vector<KWDNode*> n;
  for (int i = 0; i < k; ++i) n.push_back(g->newNode(i * 30, (i % 4) * 30, 10, 10));
  for (int i = 0; i < k; ++i) {
    if (family == kGrid && i % 4 != 3 && i + 1 < k) g->newEdge(n[i], n[i + 1]);
    if (family == kGrid && i + 4 < k) g->newEdge(n[i], n[i + 4]);
    if (family == kCycle) g->newEdge(n[i], n[(i + 1) % k]);
    if (family == kTree && i > 0) g->newEdge(n[(i - 1) / 2], n[i]);
    if (family == kRandom) {
      seed = seed * 1664525u + 1013904223u;
      g->newEdge(n[i], n[(seed >> 8) % static_cast<std::uint32_t>(k)]);
    }
  }
}

TEST(ConstrainAllNodes, NotifiesEachChangedNodeOnceAndNeverTheGraph) {
  Env env;
  struct Case { Family family; int size; } cases[] = {{kGrid, 12}, {kGrid, 5}, {kCycle, 7}, {kTree, 15},
                                                     {kRandom, 12}, {kRandom, 30}, {kCycle, 0}};
  std::uint32_t pick = 5u;
  for (int fi = 0; fi < 7; ++fi) {
    std::unique_ptr<KWDGraph> g(env.factory.newDGraph(KWSymmetricLayoutStyle));
    build(g.get(), cases[fi].family, cases[fi].size, 7u + fi);
    // Constrain a pseudo-random part of the nodes by hand first.
    std::vector<KWDNode*> nodes;
    std::vector<int> wasConstrained;
    for (KWDNodeIter it(g.get()); it; ++it) {
      pick = pick * 1664525u + 1013904223u;
      if ((pick >> 16) & 1u) it.pNode()->pSTailor()->constrained(1);
      nodes.push_back(it.pNode());
      wasConstrained.push_back(it.pNode()->pSTailor()->constrained());
    }
    std::vector<long> before;
    for (KWDNode* n : nodes) before.push_back(n->tailorChanges());
    long graphBefore = g->tailorChanges();

    g->pSTailor()->constrainAllNodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
      EXPECT_EQ(nodes[i]->pSTailor()->constrained(), 1) << fi;
      EXPECT_EQ(nodes[i]->tailorChanges() - before[i], wasConstrained[i] ? 0 : 1) << fi << " node " << i;
      before[i] = nodes[i]->tailorChanges();
    }
    // Already all constrained: nothing to tell.
    g->pSTailor()->constrainAllNodes();
    for (size_t i = 0; i < nodes.size(); ++i) EXPECT_EQ(nodes[i]->tailorChanges(), before[i]) << fi;

    g->pSTailor()->unconstrainAllNodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
      EXPECT_EQ(nodes[i]->pSTailor()->constrained(), 0) << fi;
      EXPECT_EQ(nodes[i]->tailorChanges() - before[i], 1) << fi << " node " << i;
    }
    EXPECT_EQ(g->tailorChanges(), graphBefore) << fi;
  }
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

  EXPECT_EQ(t->constrained(1), 1);
  EXPECT_EQ(n->seen, (std::vector<int>{0}));
  EXPECT_EQ(t->constrained(1), 1);
  EXPECT_EQ(n->seen.size(), 1u);
  EXPECT_EQ(t->constrained(5), 5);
  EXPECT_EQ(t->constrained(), 1);
  EXPECT_EQ(n->seen, (std::vector<int>{0, 1}));
  EXPECT_EQ(t->constrained(0), 0);
  EXPECT_EQ(t->constrained(), 0);
  EXPECT_EQ(n->seen, (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(n->tailorChanges(), 3);
  EXPECT_EQ(g->tailorChanges(), 2);  // only the graph tailor's own construction
}

TEST(NodeTailor, ConstrainedIsBitOneOfTheFlagWord) {
  KWSNodeTailor t;
  t.flagWord(0x10u);
  t.constrained(1);
  EXPECT_EQ(t.flagWord(), 0x12u);
  t.constrained(0);
  EXPECT_EQ(t.flagWord(), 0x10u);
  t.flagWord(0x2u);
  EXPECT_EQ(t.constrained(), 1);
}

TEST(NodeTailor, OwnerlessTailorChangesSilentlyAndCopiesCarryTheFlag) {
  KWSNodeTailor t;
  EXPECT_EQ(t.layoutStyle(), KWSymmetricLayoutStyle);
  EXPECT_EQ(t.constrained(1), 1);
  EXPECT_EQ(t.constrained(), 1);
  KWSNodeTailor deep(t);
  KWSNodeTailor attrs(t, KWAttributeCopy);
  std::unique_ptr<KWSNodeTailor> clone(t.cloneObject());
  EXPECT_EQ(deep.constrained(), 1);
  EXPECT_EQ(attrs.constrained(), 1);
  EXPECT_EQ(clone->constrained(), 1);
  EXPECT_EQ(clone->pOwnerNode(), nullptr);
  KWSNodeTailor target;
  target.copyObject(&t);
  EXPECT_EQ(target.constrained(), 1);
  target.copyObject(nullptr);
  EXPECT_EQ(target.constrained(), 1);
}

TEST(EdgeTailor, AnswersTheStyleAndCopiesTheBasePart) {
  KWSEdgeTailor t;
  EXPECT_EQ(t.layoutStyle(), KWSymmetricLayoutStyle);
  t.flagWord(0x55u);
  KWSEdgeTailor deep(t);
  std::unique_ptr<KWSEdgeTailor> clone(t.cloneAttributes());
  EXPECT_EQ(deep.flagWord(), 0x55u);
  EXPECT_EQ(clone->flagWord(), 0x55u);
  EXPECT_EQ(clone->pOwnerEdge(), nullptr);
  KWSEdgeTailor target;
  target = t;
  EXPECT_EQ(target.flagWord(), 0x55u);
}

}  // namespace
