// The layout driver and the host pipeline around it: fresh and incremental
// runs, constrained nodes, seeds, components, disconnected nodes, progress.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <atomic>
#include <cstdlib>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <string>

#include "module/kwslayout.h"
#include "support/layout_check.h"

using kwtest::Fixture;
using A = KWSGraphTestAccess;

namespace {

KWErrorCodeEnum run(Fixture& f) { return layoutGraph(f.g(), KWSymmetricLayoutStyle); }

using Coords = std::vector<std::pair<long, long>>;

Coords positions(const std::vector<KWDNode*>& v) {
  Coords p;
  for (KWDNode* n : v) p.emplace_back(n->ntX(), n->ntY());
  return p;
}

KWRect boxOf(const std::vector<KWDNode*>& v) {
  KWRect r;
  r.isEmpty(true);
  for (KWDNode* n : v) {
    KWRect nr;
    n->ntBoundingRect(nr);
    r.unite(nr);
  }
  return r;
}

bool overlap(const KWRect& a, const KWRect& b) {
  return a.left() < b.right() && b.left() < a.right() && a.bottom() < b.top() && b.bottom() < a.top();
}

/// Records what the graph looks like at each checkpoint.
struct Recorder : KWLayoutObserver {
  long calls = 0;
  std::vector<int> running, undirected;
  std::vector<long> edges;
  std::map<std::string, long> phases;
  void checkpoint(const KWDGraph& g) override {
    ++calls;
    running.push_back(g.layoutRunning());
    undirected.push_back(g.undirected());
    edges.push_back(g.numberOfEdges());
    ++phases[g.layoutPhase()];
  }
};

}  // namespace

// ---- empty and constrained components -----------------------------------------

TEST(EngineConstrained, EmptyGraphIsHarmless) {
  Fixture f;
  EXPECT_EQ(run(f), KWNoError);
  EXPECT_EQ(f.t()->firstInitialization(), 1);  // no component ran
}

TEST(EngineConstrained, AllConstrainedNothingMovesNothingIsBuilt) {
  Fixture f;
  std::vector<KWDNode*> v = kwtest::cycle(f, 5);
  for (size_t i = 0; i < v.size(); ++i) v[i]->ntMoveTo(static_cast<long>(i) * 1000, 3);
  f.t()->constrainAllNodes();
  f.t()->shrinkagePerMil(500);
  Recorder rec;
  f.g()->observer(&rec);
  Coords before = positions(v);
  EXPECT_EQ(run(f), KWNoError);
  EXPECT_EQ(positions(v), before);
  for (KWDNode* n : v) EXPECT_EQ(n->ntWidth(), 20);
  EXPECT_EQ(rec.phases.count("descent"), 0u);  // only the node list was built
  A acc(f.g());
  EXPECT_EQ(acc.suitableForShifting(), 0);
  f.g()->observer(nullptr);
}

TEST(EngineConstrained, OneConstrainedNodeStaysOthersStartRandomNothingScaled) {
  Fixture f;
  std::vector<KWDNode*> v = kwtest::cycle(f, 6);
  for (KWDNode* n : v) n->size(40, 40);
  v[2]->ntMoveTo(5000, -3000);
  v[2]->pSTailor()->constrained(1);
  f.t()->shrinkagePerMil(500);
  // A second component that could be shifted next to it.
  kwtest::path(f, 3);
  EXPECT_EQ(run(f), KWNoError);
  EXPECT_EQ(v[2]->ntX(), 5000);
  EXPECT_EQ(v[2]->ntY(), -3000);
  // The others gathered around the pinned node at the unscaled edge length (98).
  for (KWDNode* n : v) {
    if (n == v[2]) continue;
    EXPECT_LT(kwtest::dist(n, v[2]), 3.0 * 98.0);
  }
  EXPECT_GT(kwtest::dist(v[1], v[2]), 0.9 * 98.0);
  EXPECT_LT(kwtest::dist(v[1], v[2]), 1.4 * 98.0);
  EXPECT_NEAR(kwtest::dist(v[1], v[2]), kwtest::dist(v[3], v[2]), 0.05 * 98.0);
  A acc(f.g());
  EXPECT_EQ(acc.anyNodesConstrained(), 1);
  EXPECT_EQ(acc.suitableForShifting(), 0);
}

// ---- seeds, fresh and incremental runs --------------------------------------------

TEST(EngineSeed, SameSeedSameDrawingNegativeSeedActsAsOneSeedsMatter) {
  auto layoutWith = [](int seed) {
    Fixture f;
    kwtest::sparse(f, 60, 11);
    kwtest::grid(f, 3, 4);
    f.t()->randomSeed(seed);
    EXPECT_EQ(run(f), KWNoError);
    Coords p = positions(f.nodes());
    // A second fresh run of the same graph starts over from the same seed.
    EXPECT_EQ(run(f), KWNoError);
    EXPECT_EQ(positions(f.nodes()), p) << "seed " << seed;
    return p;
  };
  const Coords one = layoutWith(1);
  EXPECT_EQ(layoutWith(1), one);
  EXPECT_EQ(layoutWith(-7), one);
  EXPECT_NE(layoutWith(2), one);
}

TEST(EngineIncremental, IncrementalRunKeepsPositionsFreshRunRandomizes) {
  Fixture f;
  KWDNode* a = f.node(20, 20, 1000, 1000);
  KWDNode* b = f.node(20, 20, 1049, 1000);
  f.edge(a, b);
  f.t()->incrementalWithinComponentLayout(1);
  f.t()->firstInitialization(0);
  A acc(f.g());
  EXPECT_EQ(acc.verifyIncrementalLayout(), 1);
  ASSERT_EQ(run(f), KWNoError);
  // Already at their ideal distance: an incremental run leaves them.
  EXPECT_EQ(a->ntX(), 1000);
  EXPECT_EQ(b->ntX(), 1049);
  EXPECT_EQ(a->ntY(), 1000);
  EXPECT_EQ(f.g()->pSGraph()->pQueryReducedGraph(), nullptr);
  // The first run after firstInitialization is set is fresh: it starts at random.
  f.t()->firstInitialization(1);
  EXPECT_EQ(acc.verifyIncrementalLayout(), 0);
  ASSERT_EQ(run(f), KWNoError);
  EXPECT_FALSE(a->ntX() == 1000 && b->ntX() == 1049 && a->ntY() == 1000);
  EXPECT_NEAR(kwtest::dist(a, b), 49.0, 1.5);
  EXPECT_EQ(acc.verifyIncrementalLayout(), 1);
  // Every run, fresh or incremental, clears firstInitialization.
  for (int incremental : {0, 1}) {
    f.t()->incrementalWithinComponentLayout(incremental);
    f.t()->firstInitialization(1);
    ASSERT_EQ(run(f), KWNoError);
    EXPECT_EQ(f.t()->firstInitialization(), 0) << "incremental " << incremental;
  }
}

// ---- the pipeline -----------------------------------------------------------------

TEST(EnginePipeline, DirectedGraphIsUndirectedOnlyWhileBundling) {
  Fixture f;
  std::vector<KWDNode*> v = kwtest::cycle(f, 3);
  f.edge(v[1], v[0]);  // opposite to the first edge: one bundle only when undirected
  f.g()->undirected(0);
  Recorder rec;
  f.g()->observer(&rec);
  ASSERT_EQ(run(f), KWNoError);
  f.g()->observer(nullptr);
  ASSERT_FALSE(rec.edges.empty());
  EXPECT_EQ(rec.edges.front(), 3);  // the reverse edge waited in the bundle
  for (int u : rec.undirected) EXPECT_EQ(u, 0);
  EXPECT_EQ(f.g()->undirected(), 0);
  EXPECT_EQ(f.g()->numberOfEdges(), 4);
}

TEST(EnginePipeline, CheckpointsReachTheObserverWhileRunning) {
  Fixture f;
  kwtest::cycle(f, 8);
  Recorder rec;
  f.g()->observer(&rec);
  long before = f.g()->checkpoints();
  ASSERT_EQ(run(f), KWNoError);
  f.g()->observer(nullptr);
  EXPECT_EQ(rec.calls, f.g()->checkpoints() - before);
  // Two shortest-path passes report every round, plus the fixed points.
  EXPECT_GE(rec.calls, 2 * 8 + 7);
  for (int r : rec.running) EXPECT_EQ(r, 1);
  EXPECT_EQ(f.g()->layoutRunning(), 0);
  EXPECT_GT(rec.phases["spring model"], 0);
  EXPECT_GT(rec.phases["descent"], 0);
}

TEST(EnginePipeline, ComponentsAndDisconnectedNodesSideBySidePinnedOneStays) {
  // Four components, the last pinned far away, and five lone nodes: no two
  // component boxes overlap, nor any node box; the lone nodes go in a neat
  // row beside the drawing.
  Fixture f;
  std::vector<std::vector<KWDNode*>> comps{kwtest::cycle(f, 5), kwtest::grid(f, 3, 3), kwtest::tree(f, 7),
                                           kwtest::path(f, 2)};
  kwtest::LayoutChecks c;
  c.pins = {kwtest::pinAt(comps[3][0], -4000, 7000), kwtest::pinAt(comps[3][1], -3900, 7000)};
  c.boxesApart = true;
  std::vector<KWDNode*> lone;
  for (int i = 0; i < 5; ++i) lone.push_back(f.node(30, 10));
  EXPECT_EQ(kwtest::layOutAndCheck(*f.g(), c), "");
  for (size_t i = 0; i < comps.size(); ++i)
    for (size_t j = i + 1; j < comps.size(); ++j)
      EXPECT_FALSE(overlap(boxOf(comps[i]), boxOf(comps[j]))) << i << " and " << j;
  for (const auto& comp : comps)
    for (KWDNode* n : lone) EXPECT_FALSE(overlap(boxOf({n}), boxOf(comp)));
  EXPECT_LT(boxOf(lone).width(), 4 * boxOf(comps[1]).width() + 200);
}

TEST(EnginePipeline, AGraphOfLoneNodesIsDrawnAsASquareOfRows) {
  Fixture f;
  std::vector<KWDNode*> lone;
  for (int i = 0; i < 9; ++i) lone.push_back(f.node(30, 10));
  ASSERT_EQ(run(f), KWNoError);
  std::set<long> xs, ys;
  for (KWDNode* n : lone) {
    xs.insert(n->ntX());
    ys.insert(n->ntY());
  }
  EXPECT_EQ(xs.size(), 3u);
  EXPECT_EQ(ys.size(), 3u);
  EXPECT_EQ(kwtest::overlaps(lone), 0);
}

// ---- the random start -------------------------------------------------------------

TEST(EngineDraft, StartSquareMatchesTheFinalExtent) {
  // The random start is neither collapsed nor scattered far beyond the result.
  auto check = [](Fixture& f, const std::vector<KWDNode*>& v, const char* family) {
    A acc(f.g());
    acc.prepare();
    acc.preprocessGraph();
    acc.positionDraft();
    KWRect start = boxOf(v);
    acc.postLayoutComponentReset();
    ASSERT_EQ(run(f), KWNoError);
    KWRect end = boxOf(v);
    double s = std::max(start.width(), start.height()), e = std::max(end.width(), end.height());
    EXPECT_GT(s, e / 3.0) << family;
    EXPECT_LT(s, e * 3.0) << family;
  };
  kwtest::forEachFamily(64, 2, check);
}

TEST(EngineDraft, RandomStartSurroundsThePinnedNodes) {
  Fixture f;
  std::vector<KWDNode*> v = kwtest::grid(f, 4, 4);
  v[5]->ntMoveTo(20000, 30000);
  v[5]->pSTailor()->constrained(1);
  A acc(f.g());
  acc.prepare();
  acc.preprocessGraph();
  acc.positionDraft();
  for (KWDNode* n : v) {
    EXPECT_LT(std::labs(n->ntX() - 20000), 400) << n->ntX();
    EXPECT_LT(std::labs(n->ntY() - 30000), 400) << n->ntY();
  }
  EXPECT_EQ(v[5]->ntX(), 20000);
}

// ---- the application entry point ----------------------------------------------------

TEST(EngineEntryPoint, BuildLayOutAndReadPositions) {
  KWSLayout lay;
  KWDNode* a = lay.addNode(20, 20, "a");
  KWDNode* b = lay.addNode(20, 20, "b");
  KWDNode* c = lay.addNode(20, 20, "c");
  ASSERT_NE(lay.addEdge(a, b), nullptr);
  ASSERT_NE(lay.addEdge(b, c), nullptr);
  ASSERT_NE(lay.addEdge(c, a), nullptr);
  KWSLayout other;
  EXPECT_EQ(lay.addEdge(a, other.addNode(5, 5)), nullptr);
  EXPECT_EQ(lay.nodeSettings(other.nodes()[0]), nullptr);
  lay.settings().randomSeed(3);
  ASSERT_EQ(lay.layout(), KWNoError);
  EXPECT_NEAR(kwtest::dist(a, b), 49.0, 0.5 * 49.0);  // laid out, at about the edge length
  EXPECT_EQ(lay.nodes(), (std::vector<KWDNode*>{a, b, c}));
  KWPoint pa = KWSLayout::position(a);
  lay.pin(a);
  EXPECT_EQ(lay.nodeSettings(a)->constrained(), 1);
  ASSERT_EQ(lay.layout(), KWNoError);
  EXPECT_EQ(KWSLayout::position(a), pa);
}

// ---- a run interrupted part-way: an observer that throws, or asks to stop ------

namespace {
struct Interrupter : KWLayoutObserver {
  bool throws = false;
  long at = 0, calls = 0;
  std::string phase;
  void checkpoint(const KWDGraph& g) override {
    if (++calls != at) return;
    phase = g.layoutPhase();
    if (throws) throw std::runtime_error("stop");
    g.requestLayoutStop();
  }
};
// Two components (a cycle with a hanging tree, a grid) and a lone node; when
// busy, also a double edge, a loop and routed edges, so every drawing step runs.
void twoComponents(Fixture& f, bool busy = false) {
  std::vector<KWDNode*> c = kwtest::cycle(f, 8);
  KWDNode* a = f.node();
  f.edge(c[0], a);
  f.edge(a, f.node());
  kwtest::grid(f, 2, 3);
  f.node();
  if (!busy) return;
  f.edge(c[2], c[3]);
  f.edge(c[5], c[5]);
  f.t()->routeEdges(1);
}
std::vector<std::pair<long, long>> shapes(const std::vector<KWDNode*>& v) {
  std::vector<std::pair<long, long>> s;
  for (KWDNode* n : v) s.emplace_back(n->ntWidth(), n->ntHeight());
  return s;
}
// Edges drawn with bends: the loop and one of the double edge's pair at least.
long bentEdges(const KWDGraph* g) {
  long bent = 0;
  for (KWDEdgeIter it(g); it; ++it) bent += it.pEdge()->numberOfBends() > 0 ? 1 : 0;
  return bent;
}
// Nothing lost or rewired, every coordinate within the drawing range.
std::string faults(const KWDGraph& g, const kwtest::Contents& before) {
  kwtest::LayoutChecks c;
  c.before = &before;
  c.bound = static_cast<double>(KWBGraph::kMaxDrawingCoordinate);
  return kwtest::checkLayoutInvariants(g, c);
}
}  // namespace

// A run that throws at any checkpoint gives every node back; one stopped at
// any checkpoint still finishes the drawing (bends included). Either way the
// next run matches a fresh one.
TEST(EngineInterrupted, AtAnyCheckpointTheGraphIsWholeAndTheNextRunMatchesAFreshOne) {
  for (bool throws : {true, false}) {
    SCOPED_TRACE(throws ? "throw" : "stop");
    Fixture fresh;
    twoComponents(fresh, !throws);
    const auto sizes = shapes(fresh.nodes());
    const long before = fresh.g()->checkpoints();
    ASSERT_EQ(run(fresh), KWNoError);
    const long total = fresh.g()->checkpoints() - before;
    const Coords expected = positions(fresh.nodes());
    ASSERT_GT(total, 10);
    if (!throws) {
      ASSERT_GE(bentEdges(fresh.g()), 2);
    }
    std::map<std::string, long> phases;
    for (long k = 1; k <= total; k += std::max(1L, total / (throws ? 40 : 60))) {
      Fixture f;
      twoComponents(f, !throws);
      const kwtest::Contents contents(*f.g());
      Interrupter t;
      t.throws = throws;
      t.at = k;
      f.g()->observer(&t);
      if (throws) {
        EXPECT_THROW(run(f), std::runtime_error) << "checkpoint " << k;
      } else {
        EXPECT_EQ(run(f), KWStoppedEarly) << "checkpoint " << k;
      }
      f.g()->observer(nullptr);
      ++phases[t.phase];
      EXPECT_EQ(faults(*f.g(), contents), "") << "checkpoint " << k;
      EXPECT_EQ(shapes(f.nodes()), sizes) << "checkpoint " << k;
      if (!throws) {
        EXPECT_GE(bentEdges(f.g()), 2) << "checkpoint " << k;
      }
      EXPECT_EQ(f.g()->layoutRunning(), 0) << "checkpoint " << k;
      // The request belongs to the stopped run: the next one runs in full.
      ASSERT_EQ(run(f), KWNoError) << "checkpoint " << k;
      EXPECT_EQ(positions(f.nodes()), expected) << "checkpoint " << k;
    }
    EXPECT_GT(phases["spring model"], 0);
    EXPECT_GT(phases["descent"], 0);
  }
}

TEST(EngineStop, StopFromAnotherThreadAndTimeBudgetEndALargeRun) {
  Fixture f;
  kwtest::sparse(f, 3000, 11);
  const kwtest::Contents contents(*f.g());
  struct Watch : KWLayoutObserver {
    std::atomic<bool> descending{false};
    void checkpoint(const KWDGraph& g) override {
      if (std::string(g.layoutPhase()) == "descent") descending = true;
    }
  } watch;
  f.g()->observer(&watch);
  std::thread stopper([&] {
    while (!watch.descending) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    f.g()->requestLayoutStop();
  });
  const KWErrorCodeEnum rc = run(f);
  stopper.join();
  EXPECT_EQ(rc, KWStoppedEarly);
  EXPECT_EQ(faults(*f.g(), contents), "");
  // A budget that runs out long before the descent could end makes the same stop.
  f.g()->observer(nullptr);
  f.g()->layoutTimeBudget(1);
  EXPECT_EQ(run(f), KWStoppedEarly);
  EXPECT_EQ(faults(*f.g(), contents), "");
}
