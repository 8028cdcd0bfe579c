// The spring model's shortest-path pass gives the same doubles as the
// relaxation of every triple it replaced, for every matrix the adjacency
// builder can produce: zero weights, negative entries for missing edges, loop
// weights of either sign on the diagonal, disconnected parts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_access.h"

using kwtest::Fixture;
using A = KWSGraphTestAccess;

namespace {

typedef std::vector<std::vector<double>> Dense;

/// The relaxation of every triple, as the pass did it before.
void floydWarshall(Dense& m) {
  const int n = static_cast<int>(m.size());
  for (int k = 0; k < n; ++k)
    for (int i = 0; i < n; ++i) {
      double a = m[i][k];
      for (int j = i; j < n; ++j) {
        double b = m[k][j];
        if (a < 0.0 || b < 0.0) continue;
        double c = m[i][j], s = a + b;
        if (c < 0.0 || s < c) {
          m[j][i] = s;
          m[i][j] = s;
        }
      }
    }
}

/// A graph whose node list has n entries, ready for the pass.
struct Pass {
  Fixture f;
  A acc;
  explicit Pass(int n) : acc(init(n)) {}
  KWDGraph* init(int n) {
    for (int i = 0; i < n; ++i) f.node();
    A a(f.g());
    a.prepare();
    a.buildAllNodeDList();
    return f.g();
  }
  Dense run(const Dense& in) {
    const int n = static_cast<int>(in.size());
    KWTwoDArray m;
    m.resize(n, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) m[i][j] = in[i][j];
    acc.calcAllPairsShortestPaths(m);
    Dense out(in);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) out[i][j] = m[i][j];
    return out;
  }
};

void expectLikeFloydWarshall(const Dense& in, const std::string& what) {
  Dense want(in);
  floydWarshall(want);
  Pass pass(static_cast<int>(in.size()));
  EXPECT_EQ(pass.run(in), want) << what;  // integer-valued sums: == is bit equality here
}

/// A symmetric matrix as the adjacency builder leaves it, from a seed.
/// kind 0: every edge weighs 1; 1: every edge weighs the same larger weight;
/// 2: integer weights 0…20; 3: weights 0…3 with negative weights mixed in.
/// Some diagonals carry a loop weight, positive, zero or negative.
Dense randomMatrix(unsigned seed, int kind) {
  KWRandom r(seed);
  // Mostly small; every fourth one spans more than two words of sources.
  const int n = 1 + static_cast<int>(r.next() % (seed % 4 == 0 ? 150 : 40));
  const long density = 1 + r.next() % 6;  // edges per node, roughly
  const double same = static_cast<double>(1 + r.next() % 200);
  Dense m(n, std::vector<double>(n, -1.0));
  for (int i = 0; i < n; ++i) m[i][i] = 0.0;
  const long edges = density * n / 2;
  for (long e = 0; e < edges; ++e) {
    int i = static_cast<int>(r.next() % n), j = static_cast<int>(r.next() % n);
    double w = 1.0;
    if (kind == 1) w = same;
    if (kind == 2) w = static_cast<double>(r.next() % 21);
    if (kind == 3) w = static_cast<double>(static_cast<long>(r.next() % 7) - 3);
    m[i][j] = w;  // the last edge met wins, in both directions
    m[j][i] = w;
  }
  if (r.next() % 2)
    for (int i = 0; i < n; ++i) {
      long pick = r.next() % 8;
      if (pick == 1) m[i][i] = static_cast<double>(r.next() % 30);
      if (pick == 2) m[i][i] = -static_cast<double>(1 + r.next() % 5);
    }
  return m;
}

TEST(ShortestPathsMatchRelaxation, RandomMatricesOfEveryWeightKind) {
  for (int kind = 0; kind < 4; ++kind)
    for (unsigned seed = 1; seed <= 150; ++seed)
      expectLikeFloydWarshall(randomMatrix(seed * 7 + static_cast<unsigned>(kind), kind),
                              "kind " + std::to_string(kind) + ", seed " + std::to_string(seed));
}

TEST(ShortestPathsNamedCases, HugeEqualWeightsAreSummedOneEdgeAtATime) {
  // Equal weights whose multiples reach 2^53 are summed one edge at a time,
  // not multiplied out. Loops, negative and zero weights come with the random
  // matrices above.
  const double w = 2251799813685248.0;  // 2^51
  Dense chain(6, std::vector<double>(6, -1.0));
  for (int i = 0; i < 6; ++i) chain[i][i] = 0.0;
  for (int i = 0; i + 1 < 6; ++i) chain[i][i + 1] = chain[i + 1][i] = w;
  expectLikeFloydWarshall(chain, "huge equal weights");
}

struct Counter : KWLayoutObserver {
  KWBGraph* ext = nullptr;
  long calls = 0;
  std::vector<long> done;
  void checkpoint(const KWDGraph&) override {
    ++calls;
    done.push_back(ext->stepsDone());
  }
};

TEST(ShortestPathsProgress, OneCheckpointPerSourceNodeCountingUp) {
  for (int kind : {0, 2}) {  // breadth-first and weighted searches
    const int n = 150;
    Dense in(n, std::vector<double>(n, -1.0));
    for (int i = 0; i < n; ++i) in[i][i] = 0.0;
    for (int i = 0; i + 1 < n; ++i) in[i][i + 1] = in[i + 1][i] = kind == 0 ? 1.0 : 1.0 + i % 3;
    Pass pass(n);
    Counter c;
    c.ext = pass.acc.ext();
    pass.f.g()->observer(&c);
    pass.run(in);
    pass.f.g()->observer(nullptr);
    ASSERT_EQ(c.calls, n) << "kind " << kind;
    for (int s = 0; s < n; ++s) EXPECT_EQ(c.done[s], s + 1);
    EXPECT_EQ(pass.acc.ext()->stepsTotal(), n);
  }
}

}  // namespace
