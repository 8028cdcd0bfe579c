// The energy descent: gradients, Newton steps, where it stops, cycle limits and jumps.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/engine_access.h"

using kwtest::Fixture;
using A = KWSGraphTestAccess;

namespace {

/// Prepares the spring model of the fixture's graph and loads the scratch
/// points from the nodes' centres.
void ready(Fixture&, KWSGraphTestAccess& acc) {
  acc.prepare();
  acc.preprocessGraph();
  acc.loadPoints();
}

}  // namespace

TEST(DescentTwoNodes, GradientStepAndWhereTheDescentStops) {
  // Two 20×20 nodes joined by an edge of length 49, b at an offset from a at
  // the origin. 100 apart the first node (ties go to it) steps 51 toward b;
  // 49 apart nothing pulls; 50 apart both gradients are exactly 1, which a
  // termination value of 1 accepts and 0.5 does not; on one point nothing
  // pulls anywhere.
  const struct {
    long bx, by;
    double eps;
    double delta;  // a's gradient
    KWPoint a;     // where a ends; b stays
  } cases[] = {{100, 0, 1.0, 51.0, {51, 0}},
               {0, 49, 1.0, 0.0, {0, 0}},
               {50, 0, 1.0, 1.0, {0, 0}},
               {50, 0, 0.5, 1.0, {1, 0}},
               {0, 0, 1.0, 0.0, {0, 0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "b at " << c.bx << "," << c.by << ", eps " << c.eps);
    Fixture f;
    KWDNode* a = f.node(20, 20, 0, 0);
    KWDNode* b = f.node(20, 20, c.bx, c.by);
    f.edge(a, b);
    f.t()->terminationValue(c.eps);
    KWSGraphTestAccess acc(f.g());
    ready(f, acc);
    ASSERT_EQ(acc.info()->springLength()[0][1], 49.0);
    acc.calcAllDeltas();
    EXPECT_DOUBLE_EQ(A::ni(a)->delta(), c.delta);
    EXPECT_DOUBLE_EQ(A::ni(b)->delta(), c.delta);
    acc.greedyDescent();
    EXPECT_EQ(*A::point(a), c.a);
    EXPECT_EQ(*A::point(b), KWPoint(c.bx, c.by));
  }
}

TEST(DescentJump, StepLimitJumpsInsideTheDrawingEvenFarFromTheOrigin) {
  // The drawing lies far from the origin: a jump must still land within it
  // (the records pin the jumps of a whole descent near the origin).
  Fixture f;
  std::vector<KWDNode*> v = kwtest::grid(f, 3, 3);
  KWRandom rnd(4);
  for (KWDNode* n : v) n->ntMoveTo(100000 + static_cast<long>(rnd.next() % 300), 50000 + static_cast<long>(rnd.next() % 300));
  KWSGraphTestAccess acc(f.g());
  ready(f, acc);
  KWRect box;
  f.g()->ntBoundingRect(box);
  for (int i = 0; i < 50; ++i) {
    acc.randomizeNodePosition(v[4], maxRandomNumber());
    EXPECT_TRUE(box.contains(A::point(v[4])->x(), A::point(v[4])->y()))
        << A::point(v[4])->x() << "," << A::point(v[4])->y();
  }
}
