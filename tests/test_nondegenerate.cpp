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

/// Whether the segment between the centres of a and b meets c's box.
bool segmentMeetsBox(P a, P b, const KWDNode* c) {
  const double hw = 0.5 * static_cast<double>(c->ntWidth()), hh = 0.5 * static_cast<double>(c->ntHeight());
  const P m = at(c);
  // Clip the segment's parameter range to the box's slab on each axis.
  double lo = 0.0, hi = 1.0;
  const double d[2] = {b.x - a.x, b.y - a.y}, o[2] = {a.x - m.x, a.y - m.y}, h[2] = {hw, hh};
  for (int i = 0; i < 2; ++i) {
    if (d[i] == 0.0) {
      if (std::fabs(o[i]) > h[i]) return false;
      continue;
    }
    double t0 = (-h[i] - o[i]) / d[i], t1 = (h[i] - o[i]) / d[i];
    if (t0 > t1) std::swap(t0, t1);
    lo = std::max(lo, t0);
    hi = std::min(hi, t1);
  }
  return lo <= hi;
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

TEST(NonDegenerate, NoEdgeThroughANodeOfCubeOrPetersen) {
  // The cube's energy minimum puts its two middle nodes on each other's edges,
  // and the Petersen graph's descent often stops with a node on an edge; the
  // layout must move such nodes off.
  const struct {
    const char* name;
    int n;
    std::vector<std::pair<int, int>> e;
  } graphs[] = {
      {"cube", 8, {{0, 1}, {1, 3}, {3, 2}, {2, 0}, {4, 5}, {5, 7}, {7, 6}, {6, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}}},
      {"Petersen",
       10,
       {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}, {0, 5}, {1, 6}, {2, 7}, {3, 8}, {4, 9},
        {5, 7}, {7, 9}, {9, 6}, {6, 8}, {8, 5}}}};
  for (const auto& gr : graphs)
    for (int seed = 1; seed <= 20; ++seed) {
      Fixture f;
      std::vector<KWDNode*> v;
      for (int i = 0; i < gr.n; ++i) v.push_back(f.node());
      for (const auto& e : gr.e) f.edge(v[e.first], v[e.second]);
      f.t()->randomSeed(seed);
      ASSERT_EQ(run(f), KWNoError);
      for (const auto& e : gr.e)
        for (int c = 0; c < gr.n; ++c) {
          if (c == e.first || c == e.second) continue;
          EXPECT_FALSE(segmentMeetsBox(at(v[e.first]), at(v[e.second]), v[c]))
              << gr.name << " seed " << seed << ": edge " << e.first << "-" << e.second << " through node " << c;
        }
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
