// Drawings free of the defects a descent can leave: cycles squeezed onto a
// line, edges through nodes, components left on one point. Each property is
// swept over many seeds through one harness.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "test_engine_access.h"

using kwtest::Fixture;

namespace {

KWErrorCodeEnum run(Fixture& f) { return layoutGraph(f.g(), KWSymmetricLayoutStyle); }

struct P {
  double x, y;
};
P at(const KWDNode* n) { return {static_cast<double>(n->ntX()), static_cast<double>(n->ntY())}; }
double len(P a, P b) { return std::hypot(a.x - b.x, a.y - b.y); }

/// How far the three points are from a line: the triangle's height over its
/// longest side, divided by that side (0 on a line; 0.29 for three corners of
/// a regular hexagon, 0.21 for an octagon).
double flatness(P a, P b, P c) {
  const double area2 = std::fabs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
  const double side = std::max({len(a, b), len(b, c), len(a, c)});
  return side > 0.0 ? area2 / (side * side) : 0.0;
}

std::vector<KWDNode*> complete(Fixture& f, int n) {
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) v.push_back(f.node());
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j) f.edge(v[i], v[j]);
  return v;
}

std::vector<std::pair<KWDNode*, KWDNode*>> edges(Fixture& f) {
  std::vector<std::pair<KWDNode*, KWDNode*>> e;
  for (KWDEdgeIter it(f.g()); it; ++it) e.push_back({it.pEdge()->pFromNode(), it.pEdge()->pToNode()});
  return e;
}

}  // namespace

TEST(NonDegenerate, CyclesAndK4AreNeverFlattened) {
  const struct {
    const char* name;
    int n;
    bool isCycle;
  } graphs[] = {{"C3", 3, true}, {"C4", 4, true}, {"C5", 5, true}, {"C6", 6, true}, {"C8", 8, true}, {"K4", 4, false}};
  for (const auto& gr : graphs)
    for (int seed = 1; seed <= 50; ++seed) {
      Fixture f;
      std::vector<KWDNode*> v = gr.isCycle ? kwtest::cycle(f, gr.n) : complete(f, gr.n);
      f.t()->randomSeed(seed);
      ASSERT_EQ(run(f), KWNoError);
      const std::string where = std::string(gr.name) + " seed " + std::to_string(seed);
      double worst = 1.0;
      for (int a = 0; a < gr.n; ++a)
        for (int b = a + 1; b < gr.n; ++b)
          for (int c = b + 1; c < gr.n; ++c) worst = std::min(worst, flatness(at(v[a]), at(v[b]), at(v[c])));
      EXPECT_GT(worst, 0.1) << where;
      if (!gr.isCycle) continue;
      double lo = 1e300, hi = 0.0;
      for (const auto& e : edges(f)) {
        lo = std::min(lo, len(at(e.first), at(e.second)));
        hi = std::max(hi, len(at(e.first), at(e.second)));
      }
      EXPECT_LE(hi, 1.1 * lo) << where;
    }
}

TEST(NonDegenerate, FirstIncrementalLayoutDrawsEveryComponent) {
  // Every node starts on the origin; a first layout is fresh in every
  // component, so no two nodes may share a point, whatever the seed.
  for (int seed = 1; seed <= 10; ++seed) {
    Fixture f;
    std::vector<KWDNode*> v = kwtest::cycle(f, 4);
    for (KWDNode* n : kwtest::cycle(f, 4)) v.push_back(n);
    for (KWDNode* n : kwtest::path(f, 3)) v.push_back(n);
    f.t()->incrementalWithinComponentLayout(1);
    f.t()->randomSeed(seed);
    ASSERT_EQ(run(f), KWNoError);
    for (size_t a = 0; a < v.size(); ++a)
      for (size_t b = a + 1; b < v.size(); ++b)
        EXPECT_FALSE(v[a]->ntX() == v[b]->ntX() && v[a]->ntY() == v[b]->ntY())
            << "nodes " << a << " and " << b << " seed " << seed;
    EXPECT_EQ(f.t()->firstInitialization(), 0) << "the next run is incremental";
  }
}

TEST(NonDegenerate, IncrementalRunKeepsBendsItDoesNotRedraw) {
  // A path a–b–c with a and b pinned and a bend the user put on a–b: an
  // incremental run leaves a–b alone and keeps its bend; a fresh run starts
  // from straight edges.
  for (int incremental = 0; incremental <= 1; ++incremental) {
    Fixture f;
    KWDNode* a = f.node(20, 20, 0, 0);
    KWDNode* b = f.node(20, 20, 100, 0);
    KWDNode* c = f.node(20, 20, 50, 80);
    KWDEdge* ab = f.edge(a, b);
    f.edge(b, c);
    a->pSTailor()->constrained(1);
    b->pSTailor()->constrained(1);
    ab->ntAppendBend(KWPoint(50, -40));
    f.t()->incrementalWithinComponentLayout(incremental);
    f.t()->firstInitialization(0);
    ASSERT_EQ(run(f), KWNoError);
    const std::vector<KWPoint> bends = ab->bendPoints();
    ASSERT_EQ(bends.size(), static_cast<size_t>(incremental)) << "incremental " << incremental;
    if (incremental) {
      EXPECT_EQ(bends[0].x() - a->ntX(), 50);
      EXPECT_EQ(bends[0].y() - a->ntY(), -40);
    }
  }
}
