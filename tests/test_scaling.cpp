// Scaling node sizes down before the spring model and back up after the descent.
#include <gtest/gtest.h>

#include "test_engine_access.h"

using kwtest::Fixture;

namespace {

struct Scaled {
  Fixture f;
  std::vector<KWDNode*> v;
  KWSGraphTestAccess acc{f.g()};
  /// A path through nodes of the given sizes, prepared and scaled down.
  Scaled(std::initializer_list<std::pair<long, long>> sizes, int perMil) {
    for (auto s : sizes) v.push_back(f.node(s.first, s.second));
    for (size_t i = 0; i + 1 < v.size(); ++i) f.edge(v[i], v[i + 1]);
    f.t()->shrinkagePerMil(perMil);
    acc.prepare();
    acc.buildAllNodeDList();
  }
};

}  // namespace

TEST(ScalingWorkedExample, FactorFifteenAndBack) {
  Scaled s({{40, 30}, {60, 60}, {30, 50}}, 500);
  s.acc.scaleDown();
  EXPECT_EQ(s.acc.info()->scaleFactor(), 15);
  EXPECT_EQ(s.v[0]->ntWidth(), 2);
  EXPECT_EQ(s.v[0]->ntHeight(), 2);
  EXPECT_EQ(s.v[1]->ntWidth(), 4);
  EXPECT_EQ(s.v[1]->ntHeight(), 4);
  EXPECT_EQ(s.v[2]->ntWidth(), 2);
  EXPECT_EQ(s.v[2]->ntHeight(), 3);
  s.v[0]->ntMoveTo(7, -3);
  s.f.g()->layoutRunning(1);
  s.acc.scaleUp();
  s.f.g()->layoutRunning(0);
  EXPECT_EQ(s.v[0]->ntX(), 105);
  EXPECT_EQ(s.v[0]->ntY(), -45);
  EXPECT_EQ(s.v[0]->ntWidth(), 40);
  EXPECT_EQ(s.v[0]->ntHeight(), 30);
  EXPECT_EQ(s.v[2]->ntWidth(), 30);
  EXPECT_EQ(s.v[2]->ntHeight(), 50);
}

TEST(ScalingUp, BendsMadeInShrunkenUnitsAreStretchedWithTheNodes) {
  // Edge-node avoidance runs before scaling up; its bends must follow the nodes.
  Scaled s({{40, 30}, {60, 60}, {30, 50}}, 500);
  s.acc.scaleDown();
  ASSERT_EQ(s.acc.info()->scaleFactor(), 15);
  KWDEdge* e = static_cast<KWDEdge*>(s.f.g()->pEdgeList()->pFirstCell()->pObject());
  e->ntAppendBend(KWPoint(7, -3));
  s.f.g()->layoutRunning(1);
  s.acc.scaleUp();
  s.f.g()->layoutRunning(0);
  ASSERT_EQ(e->bendPoints().size(), 1u);
  EXPECT_EQ(e->bendPoints()[0].x(), 105);
  EXPECT_EQ(e->bendPoints()[0].y(), -45);
}

TEST(ScalingFactor, DefaultShrinkageLeavesEverything) {
  Scaled s({{40, 30}, {60, 60}}, 0);
  s.v[1]->ntMoveTo(13, 17);
  s.acc.scaleDown();
  EXPECT_EQ(s.acc.info()->scaleFactor(), 1);
  s.acc.scaleUp();
  EXPECT_EQ(s.v[0]->ntWidth(), 40);
  EXPECT_EQ(s.v[1]->ntHeight(), 60);
  EXPECT_EQ(s.v[1]->ntX(), 13);
  EXPECT_EQ(s.v[1]->ntY(), 17);
}

TEST(ScalingFactor, FullShrinkageMakesTheSmallestDimensionOne) {
  Scaled s({{40, 30}, {60, 60}, {90, 45}}, 1000);
  s.acc.scaleDown();
  EXPECT_EQ(s.acc.info()->scaleFactor(), 30);
  EXPECT_EQ(s.v[0]->ntHeight(), 1);
  EXPECT_EQ(s.v[2]->ntWidth(), 3);
}

TEST(ScalingFactor, SmallestDimensionOneOrZeroSwitchesScalingOff) {
  for (long small : {0L, 1L}) {
    Scaled s({{40, 30}, {60, small}}, 1000);
    s.acc.scaleDown();
    EXPECT_EQ(s.acc.info()->scaleFactor(), 1) << small;
    EXPECT_EQ(s.v[0]->ntWidth(), 40) << small;
    EXPECT_EQ(s.v[1]->ntHeight(), small);
  }
}

TEST(ScalingFactor, HugeShrinkageSettingDoesNotOverflow) {
  Scaled s({{5000, 3000}, {4000, 4000}}, 2147483647);
  s.acc.scaleDown();
  EXPECT_EQ(s.acc.info()->scaleFactor(), 3000);
  EXPECT_EQ(s.v[0]->ntHeight(), 1);
  Scaled n({{50, 30}, {40, 40}}, -900);
  n.acc.scaleDown();
  EXPECT_EQ(n.acc.info()->scaleFactor(), 1);
}

TEST(ScalingConstrained, OneConstrainedNodeSwitchesBothStepsOff) {
  Scaled s({{40, 30}, {60, 60}}, 500);
  s.v[1]->pSTailor()->constrained(1);
  s.acc.info()->scaleFactor(77);
  s.v[0]->ntMoveTo(3, 4);
  s.f.g()->layoutRunning(1);
  s.acc.scaleDown();
  EXPECT_EQ(s.acc.info()->scaleFactor(), 77);
  EXPECT_EQ(s.v[0]->ntWidth(), 40);
  s.acc.scaleUp();
  s.f.g()->layoutRunning(0);
  EXPECT_EQ(s.v[0]->ntX(), 3);
  EXPECT_EQ(s.v[0]->ntWidth(), 40);
}

TEST(ScalingUp, PositionsBecomeMultiplesAndDummiesGrowFromTheirShrunkenSize) {
  Scaled s({{40, 30}, {60, 60}, {33, 47}}, 500);
  s.v[2]->dummy(true);
  s.acc.scaleDown();
  long f = s.acc.info()->scaleFactor();
  ASSERT_EQ(f, 15);
  long w = s.v[2]->ntWidth(), h = s.v[2]->ntHeight();
  s.v[0]->ntMoveTo(-4, 9);
  s.v[1]->ntMoveTo(11, 0);
  s.v[2]->ntMoveTo(2, -7);
  s.f.g()->layoutRunning(1);
  s.acc.scaleUp();
  s.f.g()->layoutRunning(0);
  for (KWDNode* n : s.v) {
    EXPECT_EQ(n->ntX() % f, 0);
    EXPECT_EQ(n->ntY() % f, 0);
  }
  EXPECT_EQ(s.v[2]->ntWidth(), w * f);  // 30, not 33
  EXPECT_EQ(s.v[2]->ntHeight(), h * f);
  EXPECT_EQ(s.v[1]->ntWidth(), 60);
}

TEST(ScalingUp, OutsideARunNodesGrowByTheFactor) {
  Scaled s({{40, 30}, {60, 60}}, 500);
  s.acc.scaleDown();
  s.acc.scaleUp();  // layoutRunning is off
  EXPECT_EQ(s.v[0]->ntWidth(), 2 * 15);
  EXPECT_EQ(s.v[0]->ntHeight(), 2 * 15);
}

TEST(ScalingInLayout, ShrunkenLayoutKeepsItsShapeAndTheOriginalSizes) {
  // 40×40 nodes with 100 per mil: the factor is 4, the nodes 10×10 during the
  // descent, every edge 24 shrunken units long against 98 units unshrunk.
  double mean[2] = {0, 0};
  for (int pass = 0; pass < 2; ++pass) {
    Fixture f;
    std::vector<KWDNode*> v = kwtest::cycle(f, 6);
    for (KWDNode* n : v) n->size(40, 40);
    f.t()->shrinkagePerMil(pass == 0 ? 0 : 100);
    ASSERT_EQ(layoutGraph(f.g(), KWSymmetricLayoutStyle), KWNoError);
    double lo = 1e18, hi = 0;
    for (size_t i = 0; i < v.size(); ++i) {
      double d = kwtest::dist(v[i], v[(i + 1) % v.size()]);
      lo = std::min(lo, d);
      hi = std::max(hi, d);
      EXPECT_EQ(v[i]->ntWidth(), 40);
      EXPECT_EQ(v[i]->ntHeight(), 40);
      if (pass == 1) {
        EXPECT_EQ(v[i]->ntX() % 4, 0);
        EXPECT_EQ(v[i]->ntY() % 4, 0);
      }
    }
    EXPECT_LT(hi / lo, 1.1) << pass;
    mean[pass] = (lo + hi) / 2;
  }
  EXPECT_NEAR(mean[1] / mean[0], 4.0 * 24.0 / 98.0, 0.06);
}
