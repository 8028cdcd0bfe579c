// Scaling node sizes down before the spring model and back up after the descent.
#include <gtest/gtest.h>

#include <climits>

#include "support/engine_access.h"

using kwtest::Fixture;

namespace {

using Sizes = std::vector<std::pair<long, long>>;

KWPoint at(const KWDNode* n) { return KWPoint(n->ntX(), n->ntY()); }

struct Scaled {
  Fixture f;
  std::vector<KWDNode*> v;
  KWSGraphTestAccess acc{f.g()};
  /// A path through nodes of the given sizes, prepared for scaling.
  Scaled(const Sizes& sizes, int perMil) {
    for (auto s : sizes) v.push_back(f.node(s.first, s.second));
    for (size_t i = 0; i + 1 < v.size(); ++i) f.edge(v[i], v[i + 1]);
    f.t()->shrinkagePerMil(perMil);
    acc.prepare();
    acc.buildAllNodeDList();
  }
  Sizes sizes() const {
    Sizes s;
    for (KWDNode* n : v) s.emplace_back(n->ntWidth(), n->ntHeight());
    return s;
  }
};

}  // namespace

TEST(ScalingDown, FactorFromTheSmallestDimensionAndTruncatedSizes) {
  // The factor is shrinkagePerMil of the smallest dimension; factors below two,
  // and a smallest dimension of one or zero, switch scaling off.
  const struct {
    Sizes sizes;
    int perMil;
    long factor;
    Sizes shrunken;
  } cases[] = {
      {{{40, 30}, {60, 60}, {30, 50}}, 500, 15, {{2, 2}, {4, 4}, {2, 3}}},
      {{{40, 30}, {60, 60}}, 0, 1, {{40, 30}, {60, 60}}},
      {{{40, 30}, {60, 60}, {90, 45}}, 1000, 30, {{1, 1}, {2, 2}, {3, 1}}},
      {{{40, 30}, {60, 0}}, 1000, 1, {{40, 30}, {60, 0}}},
      {{{40, 30}, {60, 1}}, 1000, 1, {{40, 30}, {60, 1}}},
      {{{5000, 3000}, {4000, 4000}}, INT_MAX, 3000, {{1, 1}, {1, 1}}},  // no overflow
      {{{50, 30}, {40, 40}}, -900, 1, {{50, 30}, {40, 40}}},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    Scaled s(cases[i].sizes, cases[i].perMil);
    s.acc.scaleDown();
    EXPECT_EQ(s.acc.info()->scaleFactor(), cases[i].factor) << "case " << i;
    EXPECT_EQ(s.sizes(), cases[i].shrunken) << "case " << i;
  }
}

// Positions and bends made in shrunken units (edge-node avoidance runs before
// scaling up) stretch by the factor; sizes come back, a dummy's from its shrunken
// size; outside a run nodes just grow by the factor.
TEST(ScalingUp, PositionsAndBendsStretchSizesComeBackDummiesGrowFromTheirShrunkenSize) {
  Scaled s({{40, 30}, {60, 60}, {33, 47}}, 500);
  s.v[2]->dummy(true);
  s.acc.scaleDown();
  ASSERT_EQ(s.acc.info()->scaleFactor(), 15);
  ASSERT_EQ(s.sizes()[2], std::make_pair(2L, 3L));
  s.v[0]->ntMoveTo(7, -3);
  s.v[1]->ntMoveTo(11, 0);
  s.v[2]->ntMoveTo(2, -7);
  KWDEdge* e = static_cast<KWDEdge*>(s.f.g()->pEdgeList()->pFirstCell()->pObject());
  e->ntAppendBend(KWPoint(7, -3));
  s.f.g()->layoutRunning(1);  // as the driver does, inside a run
  s.acc.scaleUp();
  s.f.g()->layoutRunning(0);
  EXPECT_EQ(at(s.v[0]), KWPoint(105, -45));
  EXPECT_EQ(at(s.v[1]), KWPoint(165, 0));
  EXPECT_EQ(at(s.v[2]), KWPoint(30, -105));
  EXPECT_EQ(s.sizes(), (Sizes{{40, 30}, {60, 60}, {30, 45}}));  // the dummy 30×45, not 33×47
  ASSERT_EQ(e->bendPoints().size(), 1u);
  EXPECT_EQ(e->bendPoints()[0], KWPoint(105, -45));
  s.acc.scaleDown();
  s.acc.scaleUp();  // layoutRunning is off
  EXPECT_EQ(s.sizes()[0], std::make_pair(2L * 15, 2L * 15));
}

// Scaling down shrinks positions with the sizes: an incremental run starts
// from the drawing where the user left it, instead of f times as far from the
// origin, which run after run pushed the drawing off to the coordinate limit.
TEST(ScalingIncremental, RepeatedRunsWithShrinkageStayWhereTheDrawingIs) {
  for (int perMil : {500, 1000}) {
    Fixture f;
    std::vector<KWDNode*> v = kwtest::grid(f, 3, 3);
    for (KWDNode* n : v) n->size(40, 30);
    f.edge(v[8], f.node(53, 17));  // a tree hanging off the grid: a fresh run has a second pass
    f.t()->shrinkagePerMil(perMil);
    ASSERT_EQ(layoutGraph(f.g(), KWSymmetricLayoutStyle), KWNoError);
    // The user moves the drawing away from the origin and runs it again and again.
    auto centre = [&f] {
      long x = 0, y = 0;
      for (KWDNode* n : f.nodes()) x += n->ntX(), y += n->ntY();
      return KWPoint(x / 10, y / 10);
    };
    for (KWDNode* n : f.nodes()) n->ntMoveTo(n->ntX() + 3000, n->ntY() - 2000);
    const KWPoint before = centre();
    f.t()->incrementalWithinComponentLayout(1);
    for (int run = 0; run < 3; ++run) {
      ASSERT_EQ(layoutGraph(f.g(), KWSymmetricLayoutStyle), KWNoError);
      const KWPoint now = centre();
      EXPECT_LE(std::labs(now.x() - before.x()) + std::labs(now.y() - before.y()), 200)
          << "shrinkage " << perMil << ", run " << run << ": the centre moved from (" << before.x() << ", "
          << before.y() << ") to (" << now.x() << ", " << now.y() << ")";
    }
  }
}
