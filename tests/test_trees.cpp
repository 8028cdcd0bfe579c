// Radial placement of the trees cut off a component. The core nodes are pinned
// so that the positions recorded right after the placement can be checked exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/kwrandom.h"
#include "support/route_probe.h"

namespace {

const double kPi = 3.141592653589793;

double distance(const KWPoint& a, long x, long y) {
  return std::hypot(static_cast<double>(a.x() - x), static_cast<double>(a.y() - y));
}

/// Where a node of ring 1 must sit: `spacing` from (x, y) in direction angle,
/// truncated toward zero as the placement does.
void expectOnRay(const KWPoint& p, long x, long y, double angle, double radius) {
  EXPECT_NEAR(static_cast<double>(p.x()), static_cast<double>(x) + radius * std::cos(angle), 1.0);
  EXPECT_NEAR(static_cast<double>(p.y()), static_cast<double>(y) + radius * std::sin(angle), 1.0);
}

class Trees : public ::testing::Test, public KWSRouteGraph {
 protected:
  const KWSRouteProbe::Snapshot& snap() {
    static const KWSRouteProbe::Snapshot none;
    EXPECT_EQ(probe()->expansions.size(), 1u);
    return probe()->expansions.empty() ? none : probe()->expansions.front();
  }
};

TEST(TreesStar, OneNodeCoreIsSpreadAroundItsNodeOneRingOfSpacingTimesRootTwo) {
  // Rings are nodeSpacing·√2 apart, truncated: 106 for 75, 42 for 30; each
  // coordinate is truncated as well, which costs up to √2 of the radius.
  for (auto [spacing, ring] : {std::pair<int, double>{75, 106.0}, {30, 42.0}}) {
    SCOPED_TRACE(spacing);
    KWSRouteGraph h;
    h.tailor()->nodeSpacing(spacing);
    KWDNode* centre = h.node(500, 400, 4, 4, "centre");
    h.pin(centre);
    for (int i = 0; i < 5; ++i) h.edge(centre, h.node(0, 0, 4, 4));
    ASSERT_EQ(h.layout(), KWNoError);
    ASSERT_EQ(h.probe()->expansions.size(), 1u);
    const KWSRouteProbe::Snapshot& s = h.probe()->expansions.front();
    EXPECT_EQ(s.core, std::set<KWDNode*>{centre});
    EXPECT_EQ(s.trees, std::set<KWDNode*>(h.n.begin() + 1, h.n.end()));
    EXPECT_EQ(s.treeEdges.size(), 5u);
    std::vector<double> angles;
    for (size_t i = 1; i < h.n.size(); ++i) {
      // Around the centre node at (500, 400) (a ring around (0, 0) left the node off its centre).
      EXPECT_NEAR(distance(s.at.at(h.n[i]), 500, 400), ring, 1.5);
      angles.push_back(std::atan2(static_cast<double>(s.at.at(h.n[i]).y() - 400), static_cast<double>(s.at.at(h.n[i]).x() - 500)));
    }
    std::sort(angles.begin(), angles.end());
    for (size_t i = 1; i < angles.size(); ++i) EXPECT_NEAR(angles[i] - angles[i - 1], 2.0 * kPi / 5.0, 0.03);
  }
}

TEST_F(Trees, PathOffACycleFansOutAlongTheGatewaysDirection) {
  // A pinned square around the origin, a path hanging off its upper right corner.
  node(100, 100); node(-100, 100); node(-100, -100); node(100, -100);
  for (size_t i = 0; i < 4; ++i) edge(i, (i + 1) % 4);
  pinAll();
  KWDNode* p1 = node(0, 0);
  KWDNode* p2 = node(0, 0);
  KWDNode* p3 = node(0, 0);
  edge(n[0], p1); edge(p1, p2); edge(p2, p3);
  ASSERT_EQ(layout(), KWNoError);
  const KWSRouteProbe::Snapshot& s = snap();
  EXPECT_EQ(s.core, std::set<KWDNode*>(n.begin(), n.begin() + 4));
  EXPECT_EQ(s.trees, (std::set<KWDNode*>{p1, p2, p3}));
  // Rings 106 apart, all along the direction from the centre through the gateway.
  expectOnRay(s.at.at(p1), 100, 100, kPi / 4.0, 106.0);
  expectOnRay(s.at.at(p2), 100, 100, kPi / 4.0, 212.0);
  expectOnRay(s.at.at(p3), 100, 100, kPi / 4.0, 318.0);
}

TEST_F(Trees, GatewayAboveOrBelowOrAtTheCentreGetsDirectionZero) {
  // A pinned diamond around (0, 0) with a pinned hub in its middle.
  node(0, 100); node(100, 0); node(0, -100); node(-100, 0);
  KWDNode* hub = node(0, 0);
  for (size_t i = 0; i < 4; ++i) edge(i, (i + 1) % 4);
  edge(n[4], n[1]);
  edge(n[4], n[3]);
  pinAll();
  KWDNode* top = node(0, 0);
  KWDNode* bottom = node(0, 0);
  KWDNode* left = node(0, 0);
  KWDNode* middle = node(0, 0);
  edge(n[0], top);
  edge(n[2], bottom);
  edge(n[3], left);
  edge(hub, middle);
  ASSERT_EQ(layout(), KWNoError);
  const KWSRouteProbe::Snapshot& s = snap();
  EXPECT_EQ(s.trees, (std::set<KWDNode*>{top, bottom, left, middle}));
  expectOnRay(s.at.at(top), 0, 100, 0.0, 106.0);       // dx = 0 above the centre
  expectOnRay(s.at.at(bottom), 0, -100, 0.0, 106.0);   // dx = 0 below it
  expectOnRay(s.at.at(middle), 0, 0, 0.0, 106.0);      // at the centre
  expectOnRay(s.at.at(left), -100, 0, kPi, 106.0);     // an ordinary gateway
}

TEST_F(Trees, CentreIsTakenBeforeAnyGatewayLeavesTheCore) {
  // Without its gateway (200, 0) the core's bounds would centre on (50, 100)
  // instead of (100, 100), and the direction would change.
  node(0, 0, 0, 0); node(200, 0, 0, 0); node(100, 200, 0, 0);
  for (size_t i = 0; i < 3; ++i) edge(i, (i + 1) % 3);
  pinAll();
  KWDNode* leaf = node(0, 0, 0, 0);
  edge(n[1], leaf);
  ASSERT_EQ(layout(), KWNoError);
  expectOnRay(snap().at.at(leaf), 200, 0, -kPi / 4.0, 106.0);
}

TEST_F(Trees, PinnedTreeNodesAreNotCutOffNorMoved) {
  node(0, 0); node(200, 0); node(100, 200);
  for (size_t i = 0; i < 3; ++i) edge(i, (i + 1) % 3);
  KWDNode* leaf = node(777, -333);
  edge(n[1], leaf);
  pinAll();
  ASSERT_EQ(layout(), KWNoError);
  EXPECT_TRUE(probe()->expansions.empty());  // nothing was cut, no tree pass
  EXPECT_EQ(leaf->ntX(), 777);
  EXPECT_EQ(leaf->ntY(), -333);
}

// Unpinned cycles with trees: after the whole layout each tree node lies
// farther from the cycle's centre than the cycle node it hangs from.
TEST_F(Trees, CyclesWithTreesComeOutWithTheTreesFannedOutwards) {
  for (int seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE(seed);
    KWSRouteGraph h;
    h.tailor()->randomSeed(seed);
    KWRandom rnd(static_cast<std::uint64_t>(seed));
    size_t c = 5 + rnd.next() % 4;
    for (size_t i = 0; i < c; ++i) h.node(0, 0, 30, 30);
    for (size_t i = 0; i < c; ++i) h.edge(i, (i + 1) % c);
    std::vector<std::pair<KWDNode*, KWDNode*>> hang;  // (leaf, gateway)
    for (size_t i = 0; i < c; ++i)
      for (int j = 0; j < 2; ++j) {
        KWDNode* leaf = h.node(0, 0, 20, 20);
        h.edge(h.n[i], leaf);
        hang.emplace_back(leaf, h.n[i]);
      }
    ASSERT_EQ(h.layout(), KWNoError);
    ASSERT_EQ(h.probe()->expansions.size(), 1u);
    double cx = 0.0, cy = 0.0;
    for (size_t i = 0; i < c; ++i) {
      cx += static_cast<double>(h.n[i]->ntX()) / static_cast<double>(c);
      cy += static_cast<double>(h.n[i]->ntY()) / static_cast<double>(c);
    }
    for (auto& lg : hang) {
      double dl = std::hypot(static_cast<double>(lg.first->ntX()) - cx, static_cast<double>(lg.first->ntY()) - cy);
      double dg = std::hypot(static_cast<double>(lg.second->ntX()) - cx, static_cast<double>(lg.second->ntY()) - cy);
      EXPECT_GT(dl, dg);
    }
  }
}

}  // namespace
