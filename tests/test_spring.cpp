// The spring model: natural lengths from node sizes and spacing, strengths from
// hop distances.
#include <gtest/gtest.h>


#include "support/engine_access.h"

using kwtest::Fixture;
using A = KWSGraphTestAccess;

namespace {

/// Prepares the fixture's graph and builds its spring model.
A model(Fixture& f) {
  A acc(f.g());
  acc.prepare();
  acc.preprocessGraph();
  return acc;
}

}  // namespace

TEST(SpringEdgeIdealLength, SizesSpacingsAndDummyEnds) {
  // Half-diagonals, truncated, times (100 + spacing) / 100, truncated; an
  // ordinary end uses nodeSpacing, a dummy end dummyNodeSpacing; unvalidated
  // settings are used as they are.
  const struct {
    long w1, h1, w2, h2;
    bool dummyFrom, dummyTo;
    int nodeSpacing, dummySpacing;
    double expected;
  } cases[] = {
      {20, 20, 20, 20, false, false, 75, 25, 49.0},  {20, 20, 40, 30, false, false, 75, 25, 68.0},
      {60, 20, 20, 20, false, false, 75, 25, 78.0},  {20, 20, 20, 20, true, false, 75, 25, 35.0},
      {0, 0, 10, 0, false, true, 75, 25, 6.0},       {0, 0, 0, 0, false, false, 75, 25, 0.0},
      {20, 20, 20, 20, false, false, 0, 300, 28.0},  {20, 20, 20, 20, false, false, 100, 0, 56.0},
      {20, 20, 20, 20, false, true, 100, 0, 28.0},   {20, 20, 20, 20, true, true, 0, 50, 42.0},
      {20, 20, 20, 20, false, false, -100, 25, 0.0}, {20, 20, 20, 20, false, false, -150, 25, -14.0},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
    for (bool reversed : {false, true}) {
      const auto& c = cases[i];
      SCOPED_TRACE("case " + std::to_string(i) + (reversed ? ", reversed edge" : ""));
      Fixture f;
      KWDNode* a = f.node(c.w1, c.h1);
      KWDNode* b = f.node(c.w2, c.h2);
      a->dummy(c.dummyFrom);
      b->dummy(c.dummyTo);
      if (reversed) f.edge(b, a); else f.edge(a, b);
      f.t()->nodeSpacing(c.nodeSpacing);
      f.t()->dummyNodeSpacing(c.dummySpacing);
      A acc = model(f);
      KWTwoDArray& l = acc.info()->springLength();
      EXPECT_EQ(l[0][1], c.expected);
      EXPECT_EQ(l[1][0], c.expected);
      EXPECT_EQ(acc.info()->springStrength()[0][1], 1.0);
    }
}

TEST(SpringMatrices, PathOfFourWithSpringConstantThree) {
  Fixture f;
  std::vector<KWDNode*> v = kwtest::path(f, 4);
  f.t()->springConstant(3.0);
  A acc = model(f);
  KWTwoDArray& l = acc.info()->springLength();
  KWTwoDArray& k = acc.info()->springStrength();
  ASSERT_EQ(l.dimension(), 4);
  ASSERT_EQ(k.dimension(), 4);
  EXPECT_EQ(l[0][1], 49.0);
  EXPECT_EQ(l[0][2], 98.0);
  EXPECT_EQ(l[0][3], 147.0);
  EXPECT_EQ(k[0][1], 3.0);
  EXPECT_EQ(k[0][2], 3.0 / 4.0);
  EXPECT_EQ(k[0][3], 3.0 / 9.0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(A::ni(v[i])->sindex(), i) << "sindex follows the list order";
  EXPECT_EQ(acc.info()->maxDegree(), 2);
}

TEST(SpringMatrices, PairsWithoutAPathKeepMinusOneAndTheSpringConstant) {
  Fixture f;
  std::vector<KWDNode*> v{f.node(), f.node(), f.node(), f.node()};
  f.edge(v[0], v[1]);
  f.edge(v[2], v[3]);
  f.t()->springConstant(2.5);
  A acc = model(f);
  EXPECT_EQ(acc.info()->springLength()[0][2], -1.0);
  EXPECT_EQ(acc.info()->springLength()[3][1], -1.0);
  EXPECT_EQ(acc.info()->springStrength()[0][2], 2.5);
  EXPECT_EQ(acc.info()->springStrength()[0][1], 2.5);
}
