// The spring model: natural lengths from node sizes and spacing, strengths from
// hop distances, shortest paths, maximum degree.
#include <gtest/gtest.h>

#include <deque>
#include <limits>
#include <queue>
#include <utility>

#include "test_engine_access.h"

using kwtest::Fixture;

namespace {

struct LengthCase {
  long w1, h1, w2, h2;
  bool dummyFrom, dummyTo;
  int nodeSpacing, dummySpacing;
  double expected;
};

/// The length matrix entry of a single edge between nodes of the given sizes.
double edgeLength(const LengthCase& c, bool reversed = false) {
  Fixture f;
  KWDNode* a = f.node(c.w1, c.h1);
  KWDNode* b = f.node(c.w2, c.h2);
  a->dummy(c.dummyFrom);
  b->dummy(c.dummyTo);
  if (reversed) f.edge(b, a); else f.edge(a, b);
  f.t()->nodeSpacing(c.nodeSpacing);
  f.t()->dummyNodeSpacing(c.dummySpacing);
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.preprocessGraph();
  KWTwoDArray& l = acc.info()->springLength();
  EXPECT_EQ(l[0][1], l[1][0]);
  return l[0][1];
}

}  // namespace

TEST(SpringEdgeIdealLength, WorkedTable) {
  const LengthCase cases[] = {
      {20, 20, 20, 20, false, false, 75, 25, 49.0},
      {20, 20, 40, 30, false, false, 75, 25, 68.0},  // half-diagonals 14 + 25, 68.25 truncated
      {60, 20, 20, 20, false, false, 75, 25, 78.0},
      {20, 20, 20, 20, true, false, 75, 25, 35.0},
      {0, 0, 10, 0, false, true, 75, 25, 6.0},
  };
  for (const LengthCase& c : cases) {
    EXPECT_EQ(edgeLength(c), c.expected) << c.w1 << "x" << c.h1 << " - " << c.w2 << "x" << c.h2;
    EXPECT_EQ(edgeLength(c, true), c.expected) << "reversed edge";
  }
}

TEST(SpringEdgeIdealLength, SpacingFollowsTheSettingAndDummyEnds) {
  // Ordinary ends use nodeSpacing only, a dummy end dummyNodeSpacing only.
  EXPECT_EQ(edgeLength({20, 20, 20, 20, false, false, 0, 300, 0}), 28.0);
  EXPECT_EQ(edgeLength({20, 20, 20, 20, false, false, 100, 0, 0}), 56.0);
  EXPECT_EQ(edgeLength({20, 20, 20, 20, false, true, 100, 0, 0}), 28.0);
  EXPECT_EQ(edgeLength({20, 20, 20, 20, true, true, 0, 50, 0}), 42.0);
  // Unvalidated settings are used as they are.
  EXPECT_EQ(edgeLength({20, 20, 20, 20, false, false, -100, 25, 0}), 0.0);
  EXPECT_EQ(edgeLength({20, 20, 20, 20, false, false, -150, 25, 0}), -14.0);
}

TEST(SpringEdgeIdealLength, ZeroSizedNodesGetLengthZeroButFullStrength) {
  Fixture f;
  KWDNode* a = f.node(0, 0);
  KWDNode* b = f.node(0, 0);
  f.edge(a, b);
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.preprocessGraph();
  EXPECT_EQ(acc.info()->springLength()[0][1], 0.0);
  EXPECT_EQ(acc.info()->springStrength()[0][1], 1.0);
}

TEST(SpringMatrices, PathOfThreeWorkedExample) {
  Fixture f;
  std::vector<KWDNode*> v = kwtest::path(f, 3);
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.preprocessGraph();
  KWTwoDArray& l = acc.info()->springLength();
  KWTwoDArray& k = acc.info()->springStrength();
  ASSERT_EQ(l.dimension(), 3);
  ASSERT_EQ(k.dimension(), 3);
  EXPECT_EQ(l[0][1], 49.0);
  EXPECT_EQ(l[1][2], 49.0);
  EXPECT_EQ(l[0][2], 98.0);
  EXPECT_EQ(k[0][1], 1.0);
  EXPECT_EQ(k[1][2], 1.0);
  EXPECT_EQ(k[0][2], 0.25);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(l[i][i], 0.0);
    EXPECT_EQ(k[i][i], 0.0);
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(l[i][j], l[j][i]);
      EXPECT_EQ(k[i][j], k[j][i]);
    }
  }
  // sindex follows the list order.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(KWSGraphTestAccess::ni(v[i])->sindex(), i);
  EXPECT_EQ(acc.info()->maxDegree(), 2);
}

TEST(SpringMatrices, SpringConstantScalesStrengths) {
  Fixture f;
  kwtest::path(f, 4);
  f.t()->springConstant(3.0);
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.preprocessGraph();
  KWTwoDArray& k = acc.info()->springStrength();
  EXPECT_EQ(k[0][1], 3.0);
  EXPECT_EQ(k[0][2], 3.0 / 4.0);
  EXPECT_EQ(k[0][3], 3.0 / 9.0);
}

TEST(SpringMatrices, SingleNodeGivesOneByOneZeroMatrices) {
  Fixture f;
  f.node();
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.preprocessGraph();
  ASSERT_EQ(acc.info()->springLength().dimension(), 1);
  ASSERT_EQ(acc.info()->springStrength().dimension(), 1);
  EXPECT_EQ(acc.info()->springLength()[0][0], 0.0);
  EXPECT_EQ(acc.info()->springStrength()[0][0], 0.0);
  EXPECT_EQ(acc.info()->maxDegree(), 0);
}

TEST(SpringMatrices, PairWithoutPathKeepsMinusOneAndGetsTheSpringConstant) {
  Fixture f;
  KWDNode* a = f.node();
  KWDNode* b = f.node();
  KWDNode* c = f.node();
  KWDNode* d = f.node();
  f.edge(a, b);
  f.edge(c, d);
  f.t()->springConstant(2.5);
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.preprocessGraph();
  EXPECT_EQ(acc.info()->springLength()[0][2], -1.0);
  EXPECT_EQ(acc.info()->springLength()[3][1], -1.0);
  EXPECT_EQ(acc.info()->springStrength()[0][2], 2.5);
  EXPECT_EQ(acc.info()->springStrength()[0][1], 2.5);
  EXPECT_EQ(acc.info()->springLength()[0][1], 49.0);
}

namespace {

/// Hop distances by breadth-first search, -1 where there is no path.
std::vector<std::vector<double>> bfsDistances(const std::vector<KWDNode*>& v) {
  size_t n = v.size();
  std::vector<std::vector<double>> d(n, std::vector<double>(n, -1.0));
  for (size_t s = 0; s < n; ++s) {
    std::deque<size_t> q{s};
    d[s][s] = 0.0;
    while (!q.empty()) {
      size_t u = q.front();
      q.pop_front();
      KWAllDEdgeIter it(v[u]);
      for (; it; ++it) {
        const KWDNode* w = static_cast<const KWDNode*>(it.pEdge()->pOpposite(v[u]));
        size_t wi = static_cast<size_t>(std::find(v.begin(), v.end(), w) - v.begin());
        if (d[s][wi] < 0.0) {
          d[s][wi] = d[s][u] + 1.0;
          q.push_back(wi);
        }
      }
    }
  }
  return d;
}

/// Weighted distances by Dijkstra with each edge's weight given by weight().
template <class W>
std::vector<std::vector<double>> dijkstra(const std::vector<KWDNode*>& v, W weight) {
  size_t n = v.size();
  std::vector<std::vector<double>> d(n, std::vector<double>(n, -1.0));
  for (size_t s = 0; s < n; ++s) {
    std::priority_queue<std::pair<double, size_t>, std::vector<std::pair<double, size_t>>, std::greater<>> q;
    std::vector<bool> done(n, false);
    d[s][s] = 0.0;
    q.push({0.0, s});
    while (!q.empty()) {
      auto [du, u] = q.top();
      q.pop();
      if (done[u]) continue;
      done[u] = true;
      for (KWAllDEdgeIter it(v[u]); it; ++it) {
        const KWDNode* w = static_cast<const KWDNode*>(it.pEdge()->pOpposite(v[u]));
        size_t wi = static_cast<size_t>(std::find(v.begin(), v.end(), w) - v.begin());
        double nd = du + weight(it.pEdge());
        if (d[s][wi] < 0.0 || nd < d[s][wi]) {
          d[s][wi] = nd;
          q.push({nd, wi});
        }
      }
    }
  }
  return d;
}

long half(const KWDNode* n) {
  double w = static_cast<double>(n->ntWidth()), h = static_cast<double>(n->ntHeight());
  return static_cast<long>(std::sqrt(w * w + h * h) / 2.0);
}

void checkAgainstSearches(Fixture& f, const std::vector<KWDNode*>& v, const char* family) {
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.preprocessGraph();
  std::vector<std::vector<double>> hops = bfsDistances(v);
  std::vector<std::vector<double>> lens =
      dijkstra(v, [](const KWDEdge* e) { return std::floor((half(e->pFromNode()) + half(e->pToNode())) * 1.75); });
  KWTwoDArray& k = acc.info()->springStrength();
  KWTwoDArray& l = acc.info()->springLength();
  for (size_t i = 0; i < v.size(); ++i) {
    for (size_t j = 0; j < v.size(); ++j) {
      int si = KWSGraphTestAccess::ni(v[i])->sindex(), sj = KWSGraphTestAccess::ni(v[j])->sindex();
      double expectedK = i == j ? 0.0 : 1.0 / (hops[i][j] * hops[i][j]);
      ASSERT_DOUBLE_EQ(k[si][sj], expectedK) << family << " " << i << "," << j;
      ASSERT_EQ(l[si][sj], lens[i][j]) << family << " " << i << "," << j;
    }
  }
}

}  // namespace

TEST(SpringMatrices, ShortestPathsMatchGraphSearchOverFamilies) {
  {
    Fixture f;
    checkAgainstSearches(f, kwtest::grid(f, 4, 5), "grid");
  }
  {
    Fixture f;
    checkAgainstSearches(f, kwtest::cycle(f, 11), "cycle");
  }
  {
    Fixture f;
    checkAgainstSearches(f, kwtest::tree(f, 20), "tree");
  }
  for (unsigned seed = 1; seed <= 4; ++seed) {
    Fixture f;
    std::vector<KWDNode*> v = kwtest::sparse(f, 30, seed);
    // Mixed sizes make the weighted distances differ from scaled hop counts.
    KWRandom rnd(seed + 100);
    for (KWDNode* n : v) n->size(10 + rnd.next() % 50, 10 + rnd.next() % 30);
    checkAgainstSearches(f, v, "random");
  }
}

TEST(SpringMatrices, AdjacencyMatrixOverwritesEveryEntryAndIgnoresDirection) {
  Fixture f;
  KWDNode* a = f.node();
  KWDNode* b = f.node();
  KWDNode* c = f.node();
  f.edge(b, a);
  f.edge(c, b);
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.buildAllNodeDList();
  KWTwoDArray m;
  m.resize(3, 3);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m[i][j] = 7.0;
  acc.calcAdjMatrixUnit(m);
  const double expected[3][3] = {{0, 1, -1}, {1, 0, 1}, {-1, 1, 0}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(m[i][j], expected[i][j]) << i << "," << j;
}

TEST(SpringMatrices, ShortestPathPassReportsEachRound) {
  Fixture f;
  kwtest::path(f, 7);
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.buildAllNodeDList();
  KWTwoDArray m;
  m.resize(7, 7);
  acc.calcAdjMatrixUnit(m);
  long before = f.g()->checkpoints();
  acc.calcAllPairsShortestPaths(m);
  EXPECT_EQ(f.g()->checkpoints() - before, 7);
  EXPECT_EQ(acc.ext()->stepsDone(), 7);
  EXPECT_EQ(acc.ext()->stepsTotal(), 7);
  EXPECT_EQ(m[0][6], 6.0);
}

TEST(SpringMaxDegree, LargestDegreeOfTheComponent) {
  Fixture f;
  KWDNode* hub = f.node();
  for (int i = 0; i < 5; ++i) f.edge(hub, f.node());
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.buildAllNodeDList();
  EXPECT_EQ(acc.calculateMaxDegree(), 5);
  EXPECT_EQ(acc.info()->maxDegree(), 5);
}
