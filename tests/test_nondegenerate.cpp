// Drawings free of the defects a descent can leave: cycles squeezed onto a
// line or short of a regular polygon, grids short of a square, edges through
// nodes, components left on one point, over many seeds. From some random
// starts the descent settles at a lopsided stationary point (a kite instead of
// a square), so the symmetric shapes are asked for in seven of ten seeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/layout_check.h"

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

/// The ratio of the largest to the smallest distance of the points from their centroid.
double radiusSpread(const std::vector<KWDNode*>& v) {
  P c{0, 0};
  for (KWDNode* n : v) {
    c.x += at(n).x / static_cast<double>(v.size());
    c.y += at(n).y / static_cast<double>(v.size());
  }
  double lo = 1e300, hi = 0;
  for (KWDNode* n : v) {
    lo = std::min(lo, len(at(n), c));
    hi = std::max(hi, len(at(n), c));
  }
  return hi / lo;
}

}  // namespace

TEST(NonDegenerate, CyclesAndK4AreNeverFlattened) {
  const struct {
    const char* name;
    int n;
    bool isCycle;
  } graphs[] = {{"C3", 3, true}, {"C4", 4, true}, {"C5", 5, true}, {"C6", 6, true}, {"C8", 8, true}, {"K4", 4, false}};
  for (const auto& gr : graphs) {
    int regular = 0;
    for (int seed = 1; seed <= 50; ++seed) {
      Fixture f;
      std::vector<KWDNode*> v = gr.isCycle ? kwtest::cycle(f, gr.n) : kwtest::complete(f, gr.n);
      f.t()->randomSeed(seed);
      ASSERT_EQ(run(f), KWNoError);
      const std::string where = std::string(gr.name) + " seed " + std::to_string(seed);
      double worst = 1.0;
      for (int a = 0; a < gr.n; ++a)
        for (int b = a + 1; b < gr.n; ++b)
          for (int c = b + 1; c < gr.n; ++c) worst = std::min(worst, flatness(at(v[a]), at(v[b]), at(v[c])));
      EXPECT_GT(worst, 0.1) << where;
      // Equal sides on a circle: a regular polygon.
      auto [lo, hi] = kwtest::edgeRange(*f.g());
      if (hi / lo < 1.05 && radiusSpread(v) < 1.10) ++regular;
    }
    EXPECT_GE(regular, gr.isCycle ? 35 : 0) << gr.name;
  }
}

TEST(NonDegenerate, FourByFourGridBecomesASquareGrid) {
  int square = 0;
  for (int seed = 1; seed <= 10; ++seed) {
    Fixture f;
    std::vector<KWDNode*> v = kwtest::grid(f, 4, 4);
    f.t()->randomSeed(seed);
    ASSERT_EQ(run(f), KWNoError);
    // Even edges, and four corners on a square: equal sides, diagonals √2 longer.
    auto [lo, hi] = kwtest::edgeRange(*f.g());
    const P a = at(v[0]), b = at(v[3]), c = at(v[15]), d = at(v[12]);
    const double s[] = {len(a, b), len(b, c), len(c, d), len(d, a)};
    const double smin = *std::min_element(s, s + 4), smax = *std::max_element(s, s + 4);
    if (hi / lo < 1.10 && smax / smin < 1.04 && std::fabs(len(a, c) / smin - std::sqrt(2.0)) < 0.06 &&
        std::fabs(len(b, d) / smin - std::sqrt(2.0)) < 0.06)
      ++square;
  }
  EXPECT_GE(square, 7);
}

TEST(NonDegenerate, NoEdgeThroughANodeOfCubeOrPetersen) {
  // The cube's energy minimum puts its two middle nodes on each other's edges,
  // and the Petersen graph's descent often stops with a node on an edge; the
  // layout must move such nodes off.
  const struct {
    const char* name;
    int n;
    const char* edges;
  } graphs[] = {{"cube", 8, "0-1 1-3 3-2 2-0 4-5 5-7 7-6 6-4 0-4 1-5 2-6 3-7"},
                {"Petersen", 10, "0-1 1-2 2-3 3-4 4-0 0-5 1-6 2-7 3-8 4-9 5-7 7-9 9-6 6-8 8-5"}};
  kwtest::LayoutChecks c;
  c.straightEdgesClear = true;
  for (const auto& gr : graphs)
    for (int seed = 1; seed <= 20; ++seed) {
      Fixture f;
      kwtest::fromEdges(f, gr.n, gr.edges);
      f.t()->randomSeed(seed);
      EXPECT_EQ(kwtest::layOutAndCheck(*f.g(), c), "") << gr.name << " seed " << seed;
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
    kwtest::LayoutChecks c;
    c.distinctCentres = true;
    EXPECT_EQ(kwtest::layOutAndCheck(*f.g(), c), "") << "seed " << seed;
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
