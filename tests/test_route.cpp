// Symmetric routing of one edge piece as an arc of three bends, and the
// edge-node avoidance that routes the pieces crossing nodes (on pinned nodes).
#include <gtest/gtest.h>

#include "layout/kwseroute.h"
#include "support/route_probe.h"

namespace {

std::vector<KWPoint> arc(long ax, long ay, long bx, long by, long cx, long cy) {
  KWPointDList l;
  kwsSymmetricArcPoints(ax, ay, bx, by, cx, cy, l);
  std::vector<KWPoint> v;
  for (KWPointDListIter it(l); it; ++it) v.push_back(*it.pPoint());
  l.deleteAllCellsAndObjects();
  return v;
}

TEST(RouteGeometry, ArcsBulgeAwayFromTheCentreNextToBFirst) {
  // The bends, next to B first, lie on the side of the piece AB away from the
  // centre C; with C on the line, on the side of AB's left normal (down when
  // leftwards). A zero-length piece gives its point. Odd differences are
  // halved toward zero: (0, 0)–(-101, 0) uses the midpoint (-50, 0).
  const struct {
    long ax, ay, bx, by, cx, cy;
    std::vector<KWPoint> bends;
  } cases[] = {
      {0, 0, 100, 0, 50, -100, {{85, 35}, {50, 50}, {15, 35}}},
      {0, 0, 100, 0, 50, 100, {{85, -35}, {50, -50}, {15, -35}}},
      {0, 0, 0, 100, 100, 50, {{-35, 85}, {-50, 50}, {-35, 15}}},
      {0, 0, 100, 0, 300, 0, {{85, 35}, {50, 50}, {15, 35}}},
      {0, 0, 100, 0, 50, 0, {{85, 35}, {50, 50}, {15, 35}}},
      {7, -3, 7, -3, 0, 0, {{7, -3}, {7, -3}, {7, -3}}},
      {0, 0, -100, 0, -50, 0, {{-85, -34}, {-50, -50}, {-16, -35}}},
      {0, 0, -101, 0, -50, -100, {{-84, 35}, {-50, 50}, {-15, 34}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(arc(c.ax, c.ay, c.bx, c.by, c.cx, c.cy), c.bends)
        << "(" << c.ax << "," << c.ay << ")-(" << c.bx << "," << c.by << ") around (" << c.cx << "," << c.cy << ")";
}

TEST(RouteGeometry, SpringLengths) {
  // A quarter of the half circle, times 0.7 and 0.64, truncated, plus one.
  EXPECT_EQ(kwsArcSpringLength(0.0), 1);
  EXPECT_EQ(kwsArcSpringLength(10.0), 4);    // 3.52
  EXPECT_EQ(kwsArcSpringLength(50.0), 18);
  EXPECT_EQ(kwsArcSpringLength(100.0), 36);  // 35.19
}

/// Records the bends of every edge at each checkpoint of the graph.
struct BendRecorder : KWLayoutObserver {
  std::vector<std::vector<KWPoint>> seen;
  const KWDEdge* edge = nullptr;
  void checkpoint(const KWDGraph&) override { seen.push_back(edge->bendPoints()); }
};

class Route : public ::testing::Test, public KWSRouteGraph {};

TEST_F(Route, InsertsTheWorkedArcThenLetsTheEmbedderSettleIt) {
  KWDNode* a = node(0, 0, 0, 0);
  KWDNode* b = node(100, 0, 0, 0);
  node(50, -200, 0, 0);  // puts the centre of the drawing at (50, -100)
  KWDEdge* e = edge(a, b);
  KWPEdge* p = firstPiece(e);
  BendRecorder rec;
  rec.edge = e;
  g()->observer(&rec);
  p->pSEdge()->symmetricRoute();
  g()->observer(nullptr);
  // The embedder reports before it starts and when it is done.
  ASSERT_EQ(rec.seen.size(), 2u);
  EXPECT_EQ(rec.seen[0], (std::vector<KWPoint>{{15, 35}, {50, 50}, {85, 35}}));  // path order A..B
  ASSERT_EQ(e->numberOfBends(), 3);
  EXPECT_EQ(faults(), "");
  EXPECT_EQ(p->pFromNode(), a);  // the piece stays the one next to A
  EXPECT_EQ(e->pathEdgeList().length(), 4);
  // Routing the same piece again adds another whole arc each time.
  for (int i = 2; i <= 3; ++i) {
    p->pSEdge()->symmetricRoute();
    EXPECT_EQ(e->numberOfBends(), 3 * i);
    EXPECT_EQ(faults(), "");
  }
  // A zero-length piece, too.
  KWDEdge* f = edge(node(500, 500, 0, 0), node(500, 500, 0, 0));
  firstPiece(f)->pSEdge()->symmetricRoute();
  EXPECT_EQ(f->numberOfBends(), 3);
}

TEST_F(Route, ArcClearsTheObstacleOnTheSideAwayFromTheCentre) {
  for (int mirror : {1, -1}) {
    SCOPED_TRACE(mirror);
    KWSRouteGraph h;
    KWDNode* a = h.node(0, 0, 20, 20);
    KWDNode* b = h.node(200, 0, 20, 20);
    KWDNode* block = h.node(100, 0, 40, 40);
    h.node(100, -300 * mirror, 20, 20);  // drags the centre to one side
    KWDEdge* e = h.edge(a, b);
    KWSRouteGraph::firstPiece(e)->pSEdge()->symmetricRoute();
    ASSERT_EQ(e->numberOfBends(), 3);
    KWRect r;
    block->ntBoundingRect(r);
    for (const KWPoint& q : e->bendPoints()) {
      EXPECT_GT(q.y() * mirror, 0) << q.x() << "," << q.y();
      EXPECT_FALSE(r.contains(q.x(), q.y())) << q.x() << "," << q.y();
    }
    for (KWPEdgeDListIter it(e->pathEdgeList()); it; ++it) EXPECT_EQ(it.pEdge()->intersectsRect(r, 1), 0);
  }
}

// ---- edge-node avoidance ------------------------------------------------------

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

// A piece through three nodes, a piece that meets only its own end nodes, and
// one that meets nothing, on pinned nodes.
TEST(AvoidPinned, CrossingPieceIsRoutedOnceOwnEndsNeverCountNothingWithRoutingOff) {
  for (int route : {1, 0}) {
    KWSRouteGraph h;
    KWDNode* a = h.node(0, 0, 30, 30);
    KWDNode* b = h.node(400, 0, 30, 30);
    KWDNode* x = h.node(100, 0, 30, 30);
    h.node(200, 5, 30, 30);
    h.node(300, -5, 30, 30);
    KWDNode* z = h.node(0, 300, 30, 30);
    KWDEdge* clear = h.edge(z, h.node(400, 300, 30, 30));
    KWDEdge* through = h.edge(a, b);
    KWDEdge* own = h.edge(a, x);
    h.pinAll();
    h.tailor()->routeEdges(route);
    ASSERT_EQ(h.layout(), KWNoError);
    EXPECT_EQ(through->numberOfBends(), 3 * route) << "three nodes crossed, routed once; routing " << route;
    EXPECT_EQ(own->numberOfBends(), 0);
    EXPECT_EQ(clear->numberOfBends(), 0);
    EXPECT_EQ(h.faults(), "");
  }
}

class AvoidOrder : public ::testing::Test, public KWSRouteGraph {};

TEST_F(AvoidOrder, RoutingFollowsTheFirstCrossedNodeInNodeOrder) {
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

}  // namespace
