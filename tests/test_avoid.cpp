// Edge-node avoidance after the final placement.
//
// Pinned nodes keep the geometry fixed, so which pieces get routed is known.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/kwrandom.h"
#include "test_route_util.h"

namespace {

/// Notes, at every checkpoint, each edge whose bend count grew since the last.
struct RoutingOrder : KWLayoutObserver {
  std::vector<KWDEdge*> edges;
  std::map<const KWDEdge*, long> bends;
  std::vector<KWDEdge*> routed;
  void checkpoint(const KWDGraph&) override {
    for (KWDEdge* e : edges) {
      if (e->numberOfBends() > bends[e]) routed.push_back(e);
      bends[e] = e->numberOfBends();
    }
  }
};

class Avoid : public ::testing::Test, public KWSRouteGraph {
 protected:
  KWDEdge *through = nullptr, *own = nullptr, *clear = nullptr;
  // A piece through three nodes, a piece that meets only its own end nodes,
  // and one that meets nothing.
  void build() {
    KWDNode* a = node(0, 0, 30, 30);
    KWDNode* b = node(400, 0, 30, 30);
    KWDNode* x = node(100, 0, 30, 30);
    node(200, 5, 30, 30);
    node(300, -5, 30, 30);
    KWDNode* z = node(0, 300, 30, 30);
    KWDNode* w = node(400, 300, 30, 30);
    through = edge(a, b);
    own = edge(a, x);
    clear = edge(z, w);
    pinAll();
  }
};

TEST_F(Avoid, CrossingPieceIsRoutedOnceOwnEndsNeverCount) {
  build();
  tailor()->routeEdges(1);
  ASSERT_EQ(layout(), KWNoError);
  EXPECT_EQ(through->numberOfBends(), 3);  // three nodes crossed, routed once
  EXPECT_EQ(own->numberOfBends(), 0);
  EXPECT_EQ(clear->numberOfBends(), 0);
  EXPECT_TRUE(pathIsConsistent(through));
  // All nodes were pinned: nothing moved, yet the phase ran.
  EXPECT_EQ(n[0]->ntX(), 0);
  EXPECT_EQ(n[1]->ntX(), 400);
}

TEST_F(Avoid, NothingIsRoutedWithRouteEdgesOff) {
  build();
  ASSERT_EQ(tailor()->routeEdges(), 0);
  ASSERT_EQ(layout(), KWNoError);
  for (KWDEdgeIter it(g()); it; ++it) EXPECT_EQ(it.pEdge()->numberOfBends(), 0);
}

TEST_F(Avoid, RoutingFollowsTheFirstCrossedNodeInNodeOrder) {
  // e1 comes first among the edges but crosses only the later node m2; e2
  // crosses the earlier node m1, so e2 is routed first.
  KWDNode* m1 = node(100, 200, 30, 30);
  KWDNode* m2 = node(100, 0, 30, 30);
  KWDEdge* e1 = edge(node(0, 0, 10, 10), node(200, 0, 10, 10));
  KWDEdge* e2 = edge(node(0, 200, 10, 10), node(200, 200, 10, 10));
  edge(m1, m2);  // keeps everything in one component
  edge(n[2], m1);
  edge(n[4], m2);
  pinAll();
  tailor()->routeEdges(1);
  RoutingOrder order;
  order.edges = {e1, e2};
  g()->observer(&order);
  ASSERT_EQ(layout(), KWNoError);
  g()->observer(nullptr);
  EXPECT_EQ(order.routed, (std::vector<KWDEdge*>{e2, e1}));
}

// Unpinned layouts of several graph families with routing on: each routing
// adds three bends, paths stay consistent, and no edge is lost.
TEST(AvoidFamilies, RoutedLayoutsKeepEveryEdgeWithWholeArcs) {
  long routed = 0;
  for (int family = 0; family < 3; ++family) {
    for (int seed = 1; seed <= 3; ++seed) {
      SCOPED_TRACE(family * 10 + seed);
      KWSRouteGraph h;
      h.tailor()->routeEdges(1);
      h.tailor()->randomSeed(seed);
      KWRandom rnd(static_cast<std::uint64_t>(seed));
      if (family == 0) {  // grid
        for (int i = 0; i < 16; ++i) h.node(0, 0, 20 + rnd.next() % 20, 20);
        for (int y = 0; y < 4; ++y)
          for (int x = 0; x < 4; ++x) {
            if (x < 3) h.edge(4 * y + x, 4 * y + x + 1);
            if (y < 3) h.edge(4 * y + x, 4 * y + x + 4);
          }
      } else if (family == 1) {  // wheel: spokes meet the hub
        for (int i = 0; i < 9; ++i) h.node(0, 0, 30, 30);
        for (size_t i = 1; i < 9; ++i) {
          h.edge(0, i);
          h.edge(i, i % 8 + 1);
        }
      } else {  // random
        for (int i = 0; i < 14; ++i) h.node(0, 0, 15 + rnd.next() % 40, 15 + rnd.next() % 40);
        // No two edges between one pair: bundle members get bends of their own.
        std::set<std::pair<size_t, size_t>> pairs;
        auto once = [&](size_t a, size_t b) {
          if (a != b && pairs.insert({std::min(a, b), std::max(a, b)}).second) h.edge(a, b);
        };
        for (size_t i = 1; i < 14; ++i) once(i, rnd.next() % i);
        for (int k = 0; k < 8; ++k) once(rnd.next() % 14, rnd.next() % 14);
      }
      std::set<KWDEdge*> before = h.edgeSet();
      ASSERT_EQ(h.layout(), KWNoError);
      EXPECT_EQ(h.edgeSet(), before);
      for (KWDEdge* e : before) {
        EXPECT_EQ(e->numberOfBends() % 3, 0);
        EXPECT_TRUE(pathIsConsistent(e));
        routed += e->numberOfBends() / 3;
      }
    }
  }
  EXPECT_GT(routed, 0);  // the sweep did route pieces
}

}  // namespace
