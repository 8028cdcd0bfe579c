// Symmetric routing of one edge piece as an arc of three bends.
#include <gtest/gtest.h>

#include <cmath>

#include "layout/kwseroute.h"
#include "test_route_util.h"

namespace {

std::vector<KWPoint> arc(long ax, long ay, long bx, long by, long cx, long cy) {
  KWPointDList l;
  kwsSymmetricArcPoints(ax, ay, bx, by, cx, cy, l);
  std::vector<KWPoint> v;
  for (KWPointDListIter it(l); it; ++it) v.push_back(*it.pPoint());
  l.deleteAllCellsAndObjects();
  return v;
}

TEST(RouteGeometry, WorkedExampleAndItsMirror) {
  // Centre below the piece: the arc bulges upwards, bends next to B first.
  EXPECT_EQ(arc(0, 0, 100, 0, 50, -100), (std::vector<KWPoint>{{85, 35}, {50, 50}, {15, 35}}));
  EXPECT_EQ(kwsArcSpringLength(50.0), 18);
  // Centre above: downwards.
  EXPECT_EQ(arc(0, 0, 100, 0, 50, 100), (std::vector<KWPoint>{{85, -35}, {50, -50}, {15, -35}}));
}

TEST(RouteGeometry, VerticalPieceBulgesAwayFromACentreOnItsRight) {
  std::vector<KWPoint> v = arc(0, 0, 0, 100, 100, 50);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[1], KWPoint(-50, 50));
  for (const KWPoint& p : v) EXPECT_LT(p.x(), 0);
  EXPECT_GT(v[0].y(), v[2].y());  // next to B = (0, 100) first
}

TEST(RouteGeometry, CentreOnTheLineTakesTheLeftNormalSide) {
  // Left normal of (100, 0) is (0, 100): upwards.
  for (const KWPoint& p : arc(0, 0, 100, 0, 300, 0)) EXPECT_GT(p.y(), 0);
  for (const KWPoint& p : arc(0, 0, 100, 0, 50, 0)) EXPECT_GT(p.y(), 0);
  // Left normal of (-100, 0) is (0, -100): downwards.
  for (const KWPoint& p : arc(0, 0, -100, 0, -50, 0)) EXPECT_LT(p.y(), 0);
}

TEST(RouteGeometry, OddDifferencesAreHalvedTowardZero) {
  // From (0, 0) to (-101, 0) the midpoint used is (-50, 0), not (-51, 0).
  std::vector<KWPoint> v = arc(0, 0, -101, 0, -50, -100);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[1], KWPoint(-50, 50));
}

TEST(RouteGeometry, ZeroLengthPieceAndSpringLengths) {
  for (const KWPoint& p : arc(7, -3, 7, -3, 0, 0)) EXPECT_EQ(p, KWPoint(7, -3));
  EXPECT_EQ(kwsArcSpringLength(0.0), 1);
  // A quarter of the half circle, times 0.7 and 0.64, truncated, plus one.
  EXPECT_EQ(kwsArcSpringLength(100.0), 36);  // 35.19
  EXPECT_EQ(kwsArcSpringLength(10.0), 4);    // 3.52
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
  EXPECT_TRUE(pathIsConsistent(e));
  EXPECT_EQ(p->pFromNode(), a);  // the piece stays the one next to A
  EXPECT_EQ(e->pathEdgeList().length(), 4);
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

TEST_F(Route, EveryCallAddsExactlyThreeBends) {
  KWDNode* a = node(0, 0);
  KWDNode* b = node(40, 30);
  KWDEdge* e = edge(a, b);
  KWPEdge* p = firstPiece(e);
  for (int i = 1; i <= 3; ++i) {
    p->pSEdge()->symmetricRoute();
    EXPECT_EQ(e->numberOfBends(), 3 * i);
    EXPECT_TRUE(pathIsConsistent(e));
  }
  // A zero-length piece, too.
  KWDNode* c = node(500, 500, 0, 0);
  KWDNode* d = node(500, 500, 0, 0);
  KWDEdge* f = edge(c, d);
  firstPiece(f)->pSEdge()->symmetricRoute();
  EXPECT_EQ(f->numberOfBends(), 3);
}

}  // namespace
