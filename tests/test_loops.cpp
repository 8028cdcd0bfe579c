// Loops drawn from the user's connectors: whichever sides the two ends sit on,
// the loop leaves each end outwards and every bend keeps the loop's size away
// from the node, also after the loop has been redrawn larger.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "support/route_probe.h"

namespace {

/// How far p lies outside the box of n (0 inside), measured along the axes.
long outside(const KWDNode* n, const KWPoint& p) {
  long dx = std::labs(p.x() - n->ntX()) - n->ntWidth() / 2;
  long dy = std::labs(p.y() - n->ntY()) - n->ntHeight() / 2;
  return std::max({dx, dy, 0L});
}

}  // namespace

TEST(ConnectorLoops, EveryBendLiesTheLoopSizeOutsideTheNodeForEveryPairOfSides) {
  const struct {
    const char* name;
    long dx, dy;
  } side[] = {{"right", 20, 0}, {"left", -20, 0}, {"top", 0, 20}, {"bottom", 0, -20}, {"top right", 20, 12}};
  for (const auto& from : side)
    for (const auto& to : side) {
      KWSRouteGraph r;
      KWDNode* a = r.node(300, -200, 40, 40);  // loop size: half the smaller side, 20
      KWDEdge* loop = r.edge(a, a);
      loop->pFromConnector(new KWConnector(from.dx, from.dy, true));
      loop->pToConnector(new KWConnector(to.dx, to.dy, true));
      const std::string what = std::string(from.name) + " to " + to.name;
      loop->pSEdge()->createReflexivePathWithConnector();
      ASSERT_GE(loop->numberOfBends(), 2) << what;
      for (const KWPoint& p : loop->bendPoints()) EXPECT_EQ(outside(a, p), 20) << what;
      loop->pSEdge()->moveReflexivePath(-5, 8);  // redrawn larger by the longer move
      for (const KWPoint& p : loop->bendPoints()) EXPECT_EQ(outside(a, p), 28) << what << " moved";
    }
}
