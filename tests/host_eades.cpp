// The spring embedder that settles bends among fixed nodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "host/kwdgraph.h"
#include "host/kweades.h"

namespace {

struct CountingObserver : KWLayoutObserver {
  int calls = 0;
  void checkpoint(const KWDGraph&) override { ++calls; }
};

std::pair<long, long> at(const KWGNode* p) { return {p->ntX(), p->ntY()}; }
double distance(const KWGNode* p, long x, long y) {
  return std::hypot(static_cast<double>(p->ntX() - x), static_cast<double>(p->ntY() - y));
}

// Fills a graph's fixed list with its drawing nodes and puts movable bends on
// an edge's first piece; each new bend goes between the from end and the last.
struct Scene {
  KWDGraph g{nullptr};
  KWGNodeDList fixed, movable;
  ~Scene() {
    fixed.deleteAllCells();
    movable.deleteAllCells();
  }
  void bends(KWDEdge* e, std::initializer_list<KWPoint> points) {
    KWPEdge* piece = static_cast<KWPEdge*>(e->pathEdgeList().pFirstCell()->pObject());
    for (const KWPoint& p : points) movable.appendNode(e->ntAddBend(piece, p));
  }
  long run(long length, int iterations = 0, int tolerance = 0) {
    fixed.deleteAllCells();
    fixed.copyAllCells(*g.pNodeList());
    KWEadesAlgorithm alg(&g, &fixed, &movable, length, iterations, tolerance);
    alg.run();
    return alg.iterationsRun();
  }
};

TEST(Eades, BendsLeaveTheObstacleTheirEdgeCrosses) {
  Scene s;
  KWDNode* a = s.g.newNode(0, 0, 20, 20);
  KWDNode* b = s.g.newNode(200, 0, 20, 20);
  KWDNode* c = s.g.newNode(100, 0, 60, 60);
  KWDEdge* e = s.g.newEdge(a, b);
  KWPNode* still = s.g.newEdge(a, c)->ntAppendBend(KWPoint(20, 60));  // not movable
  s.bends(e, {KWPoint(150, 10), KWPoint(100, 20), KWPoint(50, 10)});  // an arc through the obstacle
  s.run(25);
  KWRect r;
  c->ntBoundingRect(r);
  for (KWDListIter it(s.movable); it; ++it) {
    const KWGNode* bend = static_cast<const KWGNode*>(it.pObject());
    // Clearance from the obstacle's rectangle, and out on the side it started from.
    const long nx = std::min(std::max(bend->ntX(), r.left()), r.right());
    const long ny = std::min(std::max(bend->ntY(), r.bottom()), r.top());
    EXPECT_GT(distance(bend, nx, ny), 0.0) << bend->ntX() << "," << bend->ntY();
    EXPECT_GT(bend->ntY(), 0);
  }
  // The fixed nodes and other bends stay.
  EXPECT_EQ((std::vector<std::pair<long, long>>{at(still), at(a), at(b), at(c)}),
            (std::vector<std::pair<long, long>>{{20, 60}, {0, 0}, {200, 0}, {100, 0}}));
}

// A loop's bend settles at the natural length from its node, converging
// before the iteration limit, also with a crowd of nodes twenty lengths away.
TEST(Eades, ALoopBendSettlesAtTheNaturalLength) {
  const struct {
    long length;
    bool crowd;
  } cases[] = {{18, false}, {40, false}, {20, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE("length " + std::to_string(c.length) + (c.crowd ? " with a far crowd" : ""));
    Scene s;
    KWDNode* a = s.g.newNode(0, 0, 0, 0);
    KWPNode* bend = s.g.newEdge(a, a)->ntAppendBend(KWPoint(5, 0));
    s.movable.appendNode(bend);
    for (int i = 0; c.crowd && i < 300; ++i) s.g.newNode(-400 - i % 20, (i / 20) * 10, 4, 4);
    EXPECT_LT(s.run(c.length), KWEadesAlgorithm::kDefaultIterations);
    EXPECT_NEAR(distance(bend, 0, 0), static_cast<double>(c.length), 1.0);
  }
}

TEST(Eades, IterationLimitToleranceAndCheckpoints) {
  Scene s;
  KWDEdge* e = s.g.newEdge(s.g.newNode(0, 0, 10, 10), s.g.newNode(300, 0, 10, 10));
  s.movable.appendNode(e->ntAppendBend(KWPoint(150, 150)));
  CountingObserver obs;
  s.g.observer(&obs);
  EXPECT_EQ(s.run(10, 3), 3);
  EXPECT_EQ(obs.calls, 2);  // before the first and after the last iteration
  EXPECT_EQ(s.run(10, 50, 100000), 1) << "a huge tolerance stops after the first iteration";
  // Nothing to move: nothing happens, not even a checkpoint.
  s.movable.deleteAllCells();
  obs.calls = 0;
  EXPECT_EQ(s.run(10), 0);
  EXPECT_EQ(obs.calls, 0);
  s.g.observer(nullptr);
}

TEST(Eades, CoincidingPointsAndZeroLengthDoNotBreakIt) {
  Scene s;
  KWDEdge* e = s.g.newEdge(s.g.newNode(0, 0, 0, 0), s.g.newNode(0, 0, 0, 0));
  s.bends(e, {KWPoint(0, 0), KWPoint(0, 0), KWPoint(0, 0)});
  s.run(0);
  std::vector<KWPoint> pts = e->bendPoints();
  for (const KWPoint& q : pts) EXPECT_LT(std::max(std::labs(q.x()), std::labs(q.y())), 1000);
  EXPECT_TRUE(pts[0] != pts[1] || pts[1] != pts[2]) << "the bends were pushed apart from their common start";
}

TEST(Eades, ABendInsideAnObstacleLeavesAwayFromItsCentre) {
  // Straight above the obstacle's centre between two mirror-image ends: the
  // forces balance sideways, so the bend leaves straight up.
  Scene s;
  KWDEdge* e = s.g.newEdge(s.g.newNode(0, 0, 20, 20), s.g.newNode(200, 0, 20, 20));
  s.g.newNode(100, 0, 60, 60);
  s.bends(e, {KWPoint(100, 20)});
  s.run(25);
  const KWGNode* bend = static_cast<const KWGNode*>(s.movable.pFirstCell()->pObject());
  EXPECT_EQ(bend->ntX(), 100);
  EXPECT_GT(bend->ntY(), 30);
}

}  // namespace
