// Radial placement of the trees cut off a component. The core nodes are pinned
// so that the positions recorded right after the placement can be checked exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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

class Trees : public ::testing::Test, public KWSRouteGraph {};

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

TEST(TreesRays, EachTreeFansOutAlongItsGatewaysDirectionFromTheCoreCentre) {
  // Pinned cores; tree nodes follow them in the node list, placed on rings
  // 106 apart along the direction from the core's centre through the gateway.
  struct Ray {
    size_t node, gateway;
    double angle, radius;
  };
  const struct {
    const char* name;
    std::vector<KWPoint> core;
    long size;
    int trees;
    const char* edges;  // core edges, then tree edges
    std::vector<Ray> rays;
  } cases[] = {
      // A square around the origin, a path hanging off its upper right corner.
      {"path off a square", {{100, 100}, {-100, 100}, {-100, -100}, {100, -100}}, 20, 3,
       "0-1 1-2 2-3 3-0 0-4 4-5 5-6", {{4, 0, kPi / 4, 106}, {5, 0, kPi / 4, 212}, {6, 0, kPi / 4, 318}}},
      // A diamond with a hub: a gateway above, below or at the centre gets direction zero.
      {"diamond", {{0, 100}, {100, 0}, {0, -100}, {-100, 0}, {0, 0}}, 20, 4,
       "0-1 1-2 2-3 3-0 4-1 4-3 0-5 2-6 3-7 4-8",
       {{5, 0, 0.0, 106}, {6, 2, 0.0, 106}, {8, 4, 0.0, 106}, {7, 3, kPi, 106}}},
      // The centre is taken before the gateway leaves the core: without
      // (200, 0) it would be (50, 100), not (100, 100).
      {"centre first", {{0, 0}, {200, 0}, {100, 200}}, 0, 1, "0-1 1-2 2-0 1-3", {{3, 1, -kPi / 4, 106}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    KWSRouteGraph h;
    for (const KWPoint& p : c.core) h.node(p.x(), p.y(), c.size, c.size);
    h.pinAll();
    for (int i = 0; i < c.trees; ++i) h.node(0, 0, c.size, c.size);
    kwtest::forEachListedEdge(c.edges, [&](size_t a, size_t b) { h.edge(a, b); });
    ASSERT_EQ(h.layout(), KWNoError);
    ASSERT_EQ(h.probe()->expansions.size(), 1u);
    const KWSRouteProbe::Snapshot& s = h.probe()->expansions.front();
    EXPECT_EQ(s.core, std::set<KWDNode*>(h.n.begin(), h.n.begin() + static_cast<long>(c.core.size())));
    EXPECT_EQ(s.trees, std::set<KWDNode*>(h.n.begin() + static_cast<long>(c.core.size()), h.n.end()));
    for (const Ray& r : c.rays) {
      const KWPoint& from = c.core[r.gateway];
      expectOnRay(s.at.at(h.n[r.node]), from.x(), from.y(), r.angle, r.radius);
    }
  }
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

}  // namespace
