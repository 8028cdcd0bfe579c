// Limits that protect the machine: the descent's ceilings (200 cycles per node,
// 100 Newton steps), every numeric setting at its extremes, and components
// refused by the node or matrix memory limit before anything is allocated.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>

#include "host/kwgfile.h"
#include "host/kwmodfil.h"
#include "support/layout_check.h"

using kwtest::Fixture;

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const int kIntMax = std::numeric_limits<int>::max();
const int kIntMin = std::numeric_limits<int>::min();

/// Watches the descent: the most cycles it announces and makes, and the checkpoints.
struct DescentWatch : KWLayoutObserver {
  long total = 0, done = 0;
  long checkpoints = 0;
  void checkpoint(const KWDGraph& g) override {
    ++checkpoints;
    if (std::string(g.layoutPhase()) != "descent") return;
    total = std::max(total, g.pSGraph()->stepsTotal());
    done = std::max(done, g.pSGraph()->stepsDone());
  }
};

KWErrorCodeEnum run(Fixture& f) { return layoutGraph(f.g(), KWSymmetricLayoutStyle); }

}  // namespace

// ---- the descent's ceilings ---------------------------------------------------

TEST(DescentCeilings, CyclesAreHeldAtTheCeilingWhateverTheMultiplier) {
  struct Case {
    int multiplier;
    long expectedPerNode;
  } cases[] = {{0, 0}, {1, 1}, {5, 5}, {200, 200}, {201, 200}, {kIntMax, 200}};
  for (const Case& c : cases) {
    Fixture f;
    kwtest::cycle(f, 12);
    f.t()->maxNodesMovedMultiplier(c.multiplier);
    // terminationValue -inf never settles a node and the same-node limit asks
    // for two billion Newton steps: only the multiplier and the ceilings stop.
    f.t()->terminationValue(-kInf);
    f.t()->maxNodeIterations(kIntMax);
    DescentWatch watch;
    f.g()->observer(&watch);
    ASSERT_EQ(run(f), KWNoError);
    // The descent announces its most cycles, R + 1, as its step total, and
    // makes no more; at most one per node, before the cycle settles, it makes all.
    EXPECT_EQ(watch.total, c.expectedPerNode * 12 + 1) << "multiplier " << c.multiplier;
    EXPECT_LE(watch.done, watch.total) << "multiplier " << c.multiplier;
    if (c.multiplier <= 1) {
      EXPECT_EQ(watch.done, watch.total) << "multiplier " << c.multiplier;
    }
    // Each cycle makes at most 100 Newton steps and a few checkpoints around
    // them, plus the fixed ones of the passes.
    EXPECT_LE(watch.checkpoints, watch.total * (100 + 4) + 10 * 12 + 100) << "multiplier " << c.multiplier;
  }
}

TEST(DescentCeilings, LimitsBelowOneStopTheDescentAtOnce) {
  for (int limit : {0, -1, kIntMin}) {
    Fixture f;
    std::vector<KWDNode*> v = kwtest::path(f, 4);
    for (size_t i = 0; i < v.size(); ++i) v[i]->ntMoveTo(static_cast<long>(i) * 7, 0);
    f.t()->incrementalWithinComponentLayout(1);
    f.t()->firstInitialization(0);  // start from these positions
    f.t()->maxNodeIterations(limit);
    ASSERT_EQ(run(f), KWNoError);
    for (size_t i = 0; i < v.size(); ++i) EXPECT_EQ(v[i]->ntX(), static_cast<long>(i) * 7) << "limit " << limit;
  }
}

// ---- settings at their extremes -------------------------------------------------

TEST(ExtremeSettings, IntegerAndRealSettingsAtTheirExtremes) {
  using Setter = void (*)(KWSGraphTailor&, double);
  const std::vector<double> ints = {0, -1, -150, 1000000, kIntMax, kIntMin};
  const std::vector<double> reals = {0.0, -1.0, 1e-300, 1e300, -1e300, kInf, -kInf, kNaN,
                                     std::numeric_limits<double>::denorm_min()};
#define KWS_INT(name) {#name, [](KWSGraphTailor& t, double v) { t.name(static_cast<int>(v)); }, ints}
#define KWS_REAL(name) {#name, [](KWSGraphTailor& t, double v) { t.name(v); }, reals}
  const struct {
    const char* name;
    Setter set;
    const std::vector<double>& values;
  } settings[] = {KWS_INT(maxNodeIterations), KWS_INT(maxMoveIterations), KWS_INT(maxNodesMovedMultiplier),
                  KWS_INT(shrinkagePerMil),   KWS_INT(nodeSpacing),       KWS_INT(dummyNodeSpacing),
                  KWS_INT(randomSeed),        KWS_REAL(springConstant),   KWS_REAL(terminationValue)};
#undef KWS_INT
#undef KWS_REAL
  for (const auto& s : settings)
    for (double v : s.values) {
      // A cycle with a hanging tree, a loop, a double edge, a lone and a dummy
      // node, routed: every stage of the pipeline has something to do.
      Fixture f;
      std::vector<KWDNode*> ring = kwtest::cycle(f, 8);
      KWDNode* a = f.node(30, 10);
      f.edge(ring[0], a);
      f.edge(a, f.node(10, 30));
      f.edge(ring[3], ring[3]);
      f.edge(ring[1], ring[2]);
      f.node(15, 15);
      ring[5]->dummy(true);
      f.t()->routeEdges(1);
      s.set(*f.t(), v);
      std::ostringstream what;
      what << s.name << " = " << v;
      // Nothing lost, and the drawing fits a graph file.
      EXPECT_EQ(kwtest::layOutAndCheck(*f.g()), "") << what.str();
      std::string text;
      KWFileError err;
      EXPECT_TRUE(writeOMLGraphToString(*f.g(), text, err)) << what.str() << ": " << err.text();
    }
}

// ---- the component limits ------------------------------------------------------------

TEST(ComponentSizeLimit, ALargerComponentIsRefusedBeforeAnythingIsAllocatedOrMoved) {
  // A cycle of 12 beside a path of 3, refused by the node limit or the memory
  // limit one below what it needs, then laid out at the limit itself.
  const struct {
    const char* name;
    void (*limit)(KWSGraph*, long slack);
    long refused;
  } cases[] = {{"node limit", [](KWSGraph* s, long slack) { s->maxComponentNodes(12 + slack); }, 0},
               {"memory limit",
                [](KWSGraph* s, long slack) { s->maxMatrixBytes(static_cast<long>(s->componentMatrixBytes(12)) + slack); },
                12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    kwtest::cycle(f, 12);
    kwtest::path(f, 3);
    long k = 0;
    for (KWDNode* n : f.nodes()) {
      n->ntMoveTo(37 * k, -k);
      ++k;
    }
    KWDEdge* bent = f.g()->castEdge(f.g()->pEdgeList()->pFirstCell());
    ASSERT_NE(bent, nullptr);
    bent->ntAppendBend(KWPoint(5, 55));
    KWSGraph* s = f.g()->pSGraph();
    c.limit(s, -1);
    std::string before, after;
    KWFileError err;
    ASSERT_TRUE(writeOMLGraphToString(*f.g(), before, err));
    const std::vector<long> at = kwtest::drawing(*f.g());
    EXPECT_EQ(run(f), KWErrorTooLarge);
    EXPECT_EQ(f.g()->layoutRunning(), 0);
    ASSERT_TRUE(writeOMLGraphToString(*f.g(), after, err));
    EXPECT_EQ(after, before) << "a refused layout changed the graph";
    EXPECT_EQ(s->pSLayInfo(), nullptr) << "scratch records were made for a refused layout";
    EXPECT_EQ(f.t()->firstInitialization(), 1);
    if (c.refused) {
      EXPECT_EQ(s->refusedComponentNodes(), c.refused);
    }
    c.limit(s, 0);
    EXPECT_EQ(run(f), KWNoError);
    EXPECT_EQ(s->refusedComponentNodes(), 0);
    EXPECT_NE(kwtest::drawing(*f.g()), at);
  }
}

TEST(MatrixMemoryLimit, DefaultZeroAndNegativeLimitsAndTheEstimate) {
  // The default is at most a quarter of the memory, yet enough for the
  // components people lay out: two 2000-node matrices.
  const long deflt = KWBGraph::defaultMaxMatrixBytes();
  const double physical = static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGESIZE));
  EXPECT_LE(static_cast<double>(deflt), physical / 4.0 + 1.0);
  Fixture f;
  kwtest::cycle(f, 6);
  KWSGraph* s = f.g()->pSGraph();
  EXPECT_LT(s->componentMatrixBytes(2000), static_cast<double>(deflt));
  EXPECT_EQ(s->maxMatrixBytes(), deflt);
  // Zero means no limit; a negative limit restores the default.
  s->maxMatrixBytes(0);
  EXPECT_EQ(run(f), KWNoError);
  s->maxMatrixBytes(-7);
  EXPECT_EQ(s->maxMatrixBytes(), deflt);
  // The estimate covers both matrices, grows with the square and does not
  // overflow where 16·n² leaves the range of long.
  EXPECT_EQ(s->componentMatrixBytes(0), 0.0);
  for (long n : {1L, 10L, 1000L, 100000L}) {
    EXPECT_GE(s->componentMatrixBytes(n), 16.0 * n * n) << n;
    EXPECT_LE(s->componentMatrixBytes(n), 16.0 * n * n + 256.0 * n) << n;
  }
  EXPECT_GT(s->componentMatrixBytes(2000000000L), 6.0e19);
}
