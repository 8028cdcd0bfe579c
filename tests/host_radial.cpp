// Radial drawing of trees.
#include <gtest/gtest.h>

#include <cmath>

#include "host/kwdgraph.h"
#include "host/kwradial.h"
#include "host/kwrandom.h"

namespace {

const double kPi = 3.141592653589793;

/// Smallest signed difference a - b of two angles, in (-π, π].
double angleDiff(double a, double b) {
  double d = std::fmod(a - b, 2.0 * kPi);
  if (d > kPi) d -= 2.0 * kPi;
  if (d <= -kPi) d += 2.0 * kPi;
  return d;
}

bool segmentsCross(const KWGNode* a, const KWGNode* b, const KWGNode* c, const KWGNode* d) {
  auto orient = [](const KWGNode* p, const KWGNode* q, const KWGNode* r) {
    double v = static_cast<double>(q->ntX() - p->ntX()) * static_cast<double>(r->ntY() - p->ntY()) -
               static_cast<double>(q->ntY() - p->ntY()) * static_cast<double>(r->ntX() - p->ntX());
    return (v > 0.0) - (v < 0.0);
  };
  if (a == c || a == d || b == c || b == d) return false;  // shared end
  return orient(a, b, c) * orient(a, b, d) < 0 && orient(c, d, a) * orient(c, d, b) < 0;
}

class Radial : public ::testing::Test {
 protected:
  KWDGraph g{nullptr};
  std::vector<KWDNode*> n;
  std::vector<long> parent;  // parent index per node, -1 for the root
  void child(int p, long w = 10, long h = 10) {
    n.push_back(g.newNode(12345, -777, w, h));
    parent.push_back(p);
    g.newEdge(n[p], n.back());
  }
  void root(long x, long y, long w = 10, long h = 10) {
    n.push_back(g.newNode(x, y, w, h));
    parent.push_back(-1);
  }
  void run(long spacing, long x, long y, double angle, double width) {
    KWRadialDrawingAlgorithm alg(&g, n[0], g.pNodeList(), nullptr, spacing, x, y, angle, width);
    alg.run();
    radii = alg.ringRadii();
  }
  static double dist(const KWGNode* a, long x, long y) {
    return std::hypot(static_cast<double>(a->ntX() - x), static_cast<double>(a->ntY() - y));
  }
  static double angle(const KWGNode* a, long x = 0, long y = 0) {
    return std::atan2(static_cast<double>(a->ntY() - y), static_cast<double>(a->ntX() - x));
  }
  int depth(size_t i) { int d = 0; for (long p = parent[i]; p >= 0; p = parent[p]) ++d; return d; }
  std::vector<double> radii;
};

TEST_F(Radial, StarOnTheFullCircleAroundAGivenCentre) {
  root(500, 500);
  for (int i = 0; i < 4; ++i) child(0);
  run(100, 0, 0, 0.0, 2.0 * kPi);
  EXPECT_EQ(n[0]->ntX(), 500);  // the root itself is not moved
  EXPECT_EQ(n[0]->ntY(), 500);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_NEAR(dist(n[i], 0, 0), 100.0, 1.5);
    EXPECT_NEAR(std::fabs(angleDiff(angle(n[i % 4 + 1]), angle(n[i]))), kPi / 2.0, 0.03);  // evenly spread
  }
}

TEST_F(Radial, RingsGrowWhenNodesWouldOverlap) {
  root(0, 0, 300, 300);      // a big root: ring 1 must clear its half diagonal
  for (int i = 0; i < 12; ++i) child(0, 40, 40);
  run(10, 0, 0, 0.0, 2.0 * kPi);
  for (size_t i = 1; i < n.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      EXPECT_FALSE(2 * std::labs(n[i]->ntX() - n[j]->ntX()) < n[i]->ntWidth() + n[j]->ntWidth() &&
                   2 * std::labs(n[i]->ntY() - n[j]->ntY()) < n[i]->ntHeight() + n[j]->ntHeight())
          << "nodes " << i << " and " << j << " overlap";
}

TEST_F(Radial, DegenerateArgumentsGiveFinitePositions) {
  root(7, 7);
  for (int i = 0; i < 5; ++i) child(i / 2);
  for (double width : {0.0, -1.0, std::nan(""), 100.0}) {
    run(-5, 7, 7, std::nan(""), width);
    for (KWDNode* x : n) {
      EXPECT_LT(std::labs(x->ntX()), 100000);
      EXPECT_LT(std::labs(x->ntY()), 100000);
    }
  }
  KWRadialDrawingAlgorithm nothing(nullptr, nullptr, nullptr, nullptr, 1, 0, 0, 0.0, 1.0);
  nothing.run();
  EXPECT_TRUE(nothing.ringRadii().empty());
}

// Random trees in random sectors: every node inside the sector, on the ring of
// its depth, rings at least `spacing` apart, and no two tree edges crossing.
TEST_F(Radial, RandomTreesStayInTheirSectorWithoutCrossings) {
  for (int seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    KWRandom rnd(seed);
    n.clear();
    parent.clear();
    while (g.numberOfNodes() > 0) g.deleteNode(g.castNode(g.pNodeList()->pFirstCell()));
    long cx = static_cast<long>(rnd.next() % 400) - 200, cy = static_cast<long>(rnd.next() % 400) - 200;
    root(cx, cy);
    int k = 2 + static_cast<int>(rnd.next() % 40);
    for (int i = 1; i < k; ++i) child(static_cast<int>(rnd.next() % i), 4 + rnd.next() % 30, 4 + rnd.next() % 30);
    double dir = rnd.nextFraction() * 2.0 * kPi - kPi;
    double width = 0.3 + rnd.nextFraction() * (2.0 * kPi - 0.3);
    long spacing = 20 + static_cast<long>(rnd.next() % 100);
    run(spacing, cx, cy, dir, width);

    ASSERT_GE(radii.size(), 2u);
    for (size_t d = 1; d < radii.size(); ++d) EXPECT_GE(radii[d] - radii[d - 1], static_cast<double>(spacing) - 1e-6);
    for (size_t i = 1; i < n.size(); ++i) {
      double r = dist(n[i], cx, cy);
      EXPECT_NEAR(r, radii[depth(i)], 1.5);
      EXPECT_LE(std::fabs(angleDiff(angle(n[i], cx, cy), dir)), width / 2.0 + 2.0 / r + 1e-9);
    }
    for (size_t i = 1; i < n.size(); ++i)
      for (size_t j = i + 1; j < n.size(); ++j)
        EXPECT_FALSE(segmentsCross(n[parent[i]], n[i], n[parent[j]], n[j])) << i << " " << j;
  }
}

}  // namespace
