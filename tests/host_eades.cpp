// The spring embedder that settles bends among fixed nodes.
#include <gtest/gtest.h>

#include <cmath>

#include "host/kwdgraph.h"
#include "host/kweades.h"

namespace {

struct CountingObserver : KWLayoutObserver {
  int calls = 0;
  void checkpoint(const KWDGraph&) override { ++calls; }
};

class Eades : public ::testing::Test {
 protected:
  KWDGraph g{nullptr};
  KWGNodeDList all, bends;
  void TearDown() override {
    all.deleteAllCells();
    bends.deleteAllCells();
  }
  void listNodes() {
    all.deleteAllCells();
    all.copyAllCells(*g.pNodeList());
  }
  KWPEdge* firstPiece(KWDEdge* e) { return static_cast<KWPEdge*>(e->pathEdgeList().pFirstCell()->pObject()); }
  long run(long length, int iterations = 0, int tolerance = 0) {
    KWEadesAlgorithm alg(&g, &all, &bends, length, iterations, tolerance);
    alg.run();
    return alg.iterationsRun();
  }
  static double clearance(const KWGNode* p, const KWDNode* obstacle) {
    KWRect r;
    obstacle->ntBoundingRect(r);
    double nx = std::min(std::max(static_cast<double>(p->ntX()), static_cast<double>(r.left())), static_cast<double>(r.right()));
    double ny = std::min(std::max(static_cast<double>(p->ntY()), static_cast<double>(r.bottom())), static_cast<double>(r.top()));
    return std::hypot(static_cast<double>(p->ntX()) - nx, static_cast<double>(p->ntY()) - ny);
  }
};

TEST_F(Eades, BendsLeaveTheObstacleTheirEdgeCrosses) {
  KWDNode* a = g.newNode(0, 0, 20, 20);
  KWDNode* b = g.newNode(200, 0, 20, 20);
  KWDNode* c = g.newNode(100, 0, 60, 60);
  KWDEdge* e = g.newEdge(a, b);
  KWPNode* still = g.newEdge(a, c)->ntAppendBend(KWPoint(20, 60));  // not movable
  listNodes();
  KWPEdge* p = firstPiece(e);
  // An arc that still runs through the obstacle.
  bends.appendNode(e->ntAddBend(p, KWPoint(150, 10)));
  bends.appendNode(e->ntAddBend(p, KWPoint(100, 20)));
  bends.appendNode(e->ntAddBend(p, KWPoint(50, 10)));
  run(25);
  for (KWDListIter it(bends); it; ++it) {
    const KWGNode* bend = static_cast<const KWGNode*>(it.pObject());
    EXPECT_GT(clearance(bend, c), 0.0) << bend->ntX() << "," << bend->ntY();
    EXPECT_GT(bend->ntY(), 0);  // it went out on the side it started from
  }
  // The fixed nodes and other bends stay.
  EXPECT_EQ(still->ntX(), 20);
  EXPECT_EQ(still->ntY(), 60);
  EXPECT_EQ(a->ntX(), 0);
  EXPECT_EQ(b->ntX(), 200);
  EXPECT_EQ(c->ntX(), 100);
  EXPECT_EQ(c->ntY(), 0);
}

TEST_F(Eades, ALoopBendSettlesAtTheNaturalLength) {
  for (long length : {18L, 40L}) {
    KWDGraph h(nullptr);
    KWDNode* a = h.newNode(0, 0, 0, 0);
    KWDEdge* loop = h.newEdge(a, a);
    KWPNode* bend = loop->ntAppendBend(KWPoint(5, 0));
    KWGNodeDList movable, fixed;
    movable.appendNode(bend);
    fixed.appendNode(a);
    KWEadesAlgorithm alg(&h, &fixed, &movable, length, 0, 0);
    alg.run();
    EXPECT_NEAR(std::hypot(static_cast<double>(bend->ntX()), static_cast<double>(bend->ntY())),
                static_cast<double>(length), 1.0);
    EXPECT_LT(alg.iterationsRun(), KWEadesAlgorithm::kDefaultIterations);  // it converged
    movable.deleteAllCells();
    fixed.deleteAllCells();
  }
}

TEST_F(Eades, AFarCrowdDoesNotPushTheBendOff) {
  KWDNode* a = g.newNode(0, 0, 0, 0);
  KWDEdge* loop = g.newEdge(a, a);
  KWPNode* bend = loop->ntAppendBend(KWPoint(5, 0));
  for (int i = 0; i < 300; ++i) g.newNode(-400 - i % 20, (i / 20) * 10, 4, 4);  // 20 L away
  listNodes();
  bends.appendNode(bend);
  run(20);
  EXPECT_NEAR(std::hypot(static_cast<double>(bend->ntX()), static_cast<double>(bend->ntY())), 20.0, 1.0);
}

TEST_F(Eades, IterationLimitToleranceAndCheckpoints) {
  KWDNode* a = g.newNode(0, 0, 10, 10);
  KWDNode* b = g.newNode(300, 0, 10, 10);
  KWDEdge* e = g.newEdge(a, b);
  listNodes();
  bends.appendNode(e->ntAppendBend(KWPoint(150, 150)));
  CountingObserver obs;
  g.observer(&obs);
  EXPECT_EQ(run(10, 3), 3);
  EXPECT_EQ(obs.calls, 2);  // before the first and after the last iteration
  // A huge tolerance stops after the first iteration.
  EXPECT_EQ(run(10, 50, 100000), 1);
  g.observer(nullptr);

  // Nothing to move: nothing happens, not even a checkpoint.
  bends.deleteAllCells();
  obs.calls = 0;
  g.observer(&obs);
  EXPECT_EQ(run(10), 0);
  EXPECT_EQ(obs.calls, 0);
  g.observer(nullptr);
}

TEST_F(Eades, SameInputSameResult) {
  auto build = [](KWDGraph& h, KWGNodeDList& fixed, KWGNodeDList& movable) {
    KWDNode* a = h.newNode(0, 0, 30, 30);
    KWDNode* b = h.newNode(120, 10, 30, 30);
    h.newNode(60, 5, 40, 40);
    KWDEdge* e = h.newEdge(a, b);
    fixed.copyAllCells(*h.pNodeList());
    KWPEdge* p = static_cast<KWPEdge*>(e->pathEdgeList().pFirstCell()->pObject());
    movable.appendNode(e->ntAddBend(p, KWPoint(100, 40)));
    movable.appendNode(e->ntAddBend(p, KWPoint(60, 60)));
    movable.appendNode(e->ntAddBend(p, KWPoint(20, 40)));
    return e;
  };
  KWDGraph h1(nullptr), h2(nullptr);
  KWGNodeDList f1, m1, f2, m2;
  KWDEdge* e1 = build(h1, f1, m1);
  KWDEdge* e2 = build(h2, f2, m2);
  KWEadesAlgorithm(&h1, &f1, &m1, 18, 0, 0).run();
  KWEadesAlgorithm(&h2, &f2, &m2, 18, 0, 0).run();
  EXPECT_EQ(e1->bendPoints(), e2->bendPoints());
  for (KWDList* l : {&f1, &m1, &f2, &m2}) l->deleteAllCells();
}

TEST_F(Eades, CoincidingPointsAndZeroLengthDoNotBreakIt) {
  KWDNode* a = g.newNode(0, 0, 0, 0);
  KWDNode* b = g.newNode(0, 0, 0, 0);
  KWDEdge* e = g.newEdge(a, b);
  listNodes();
  KWPEdge* p = firstPiece(e);
  for (int i = 0; i < 3; ++i) bends.appendNode(e->ntAddBend(p, KWPoint(0, 0)));
  run(0);
  std::vector<KWPoint> pts = e->bendPoints();
  for (const KWPoint& q : pts) {
    EXPECT_LT(std::labs(q.x()), 1000);
    EXPECT_LT(std::labs(q.y()), 1000);
  }
  // The bends were pushed apart from their common start.
  EXPECT_TRUE(pts[0] != pts[1] || pts[1] != pts[2]);
}

}  // namespace
