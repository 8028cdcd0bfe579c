// Overlap removal: stars and random trees, whose leaves the descent piles up,
// come out with no two node boxes overlapping; pinned nodes stay put.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/kwrandom.h"
#include "support/layout_check.h"

using kwtest::Fixture;

namespace {

using kwtest::overlaps;

void removeOverlaps(Fixture& f) { KWBGraph::of(f.g(), KWSymmetricLayoutStyle)->removeOverlaps(true); }

}  // namespace

TEST(Overlap, StarsAndRandomTreesEndWithoutOverlappingBoxes) {
  // With overlap removal and, for stars, without it: then the leaves stay on
  // one even ring (the pass after the radial placement used to pull them back
  // to one edge length, onto each other and onto the hub's other edges).
  struct Case {
    std::string name;
    int leaves;  // a star's leaves, or 0 for a random tree
    unsigned seed;
    bool removal;
  };
  std::vector<Case> cases{{"star10", 10, 0, true},          {"star40", 40, 0, true},
                          {"star100", 100, 0, true},        {"star40 without removal", 40, 0, false},
                          {"star100 without removal", 100, 0, false}};
  for (unsigned s = 1; s <= 3; ++s) cases.push_back({"tree200 seed " + std::to_string(s), 0, s, true});
  for (const Case& c : cases) {
    Fixture f;
    std::vector<KWDNode*> v = c.leaves ? kwtest::star(f, c.leaves, 54, 36) : kwtest::randomTree(f, 200, c.seed, 54, 36);
    if (c.removal) removeOverlaps(f);
    ASSERT_EQ(layoutGraph(f.g(), KWSymmetricLayoutStyle), KWNoError) << c.name;
    EXPECT_EQ(overlaps(v), 0) << c.name;
    if (c.removal) continue;
    double lo = 1e300, hi = 0.0;
    for (size_t i = 1; i < v.size(); ++i) {
      double r = std::hypot(static_cast<double>(v[i]->ntX() - v[0]->ntX()), static_cast<double>(v[i]->ntY() - v[0]->ntY()));
      lo = std::min(lo, r);
      hi = std::max(hi, r);
    }
    EXPECT_LT(hi, 1.1 * lo) << c.name;  // the old drawing had two rings, one about twice the other
  }
}

TEST(Overlap, PinnedNodesStayAndTheOthersMakeRoom) {
  // A pinned hub with pinned leaves drawn on top of it, and free leaves.
  Fixture f;
  std::vector<KWDNode*> v = kwtest::star(f, 30, 54, 36);
  for (int i = 0; i <= 3; ++i) {
    v[i]->ntMoveTo(10 * i, 5 * i);
    v[i]->pSTailor()->constrained(1);
  }
  removeOverlaps(f);
  ASSERT_EQ(layoutGraph(f.g(), KWSymmetricLayoutStyle), KWNoError);
  for (int i = 0; i <= 3; ++i) {
    EXPECT_EQ(v[i]->ntX(), 10 * i) << i;
    EXPECT_EQ(v[i]->ntY(), 5 * i) << i;
  }
  std::vector<KWDNode*> pinned(v.begin(), v.begin() + 4);
  EXPECT_EQ(overlaps(v), overlaps(pinned));  // only the pinned ones, which nothing may move, still overlap
  EXPECT_GT(overlaps(pinned), 0);
}
