// The memory limit on a component's distance matrices: a component whose two
// n×n matrices would exceed it is refused before anything is allocated or
// moved, and the refusal says how large the component was.
#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

#include "module/kwslayout.h"
#include "test_engine_access.h"

using kwtest::Fixture;

namespace {

KWErrorCodeEnum run(Fixture& f) { return layoutGraph(f.g(), KWSymmetricLayoutStyle); }

std::vector<std::pair<long, long>> positions(const Fixture& f) {
  std::vector<std::pair<long, long>> p;
  for (KWDNode* n : f.nodes()) p.emplace_back(n->ntX(), n->ntY());
  return p;
}

TEST(MatrixMemoryLimit, ComponentBeyondTheLimitIsRefusedBeforeAnythingIsAllocated) {
  Fixture f;
  kwtest::cycle(f, 12);
  kwtest::path(f, 3);
  long k = 0;
  for (KWDNode* n : f.nodes()) n->ntMoveTo(37 * k++, 5);
  KWSGraph* s = f.g()->pSGraph();
  const double need = s->componentMatrixBytes(12);
  s->maxMatrixBytes(static_cast<long>(need) - 1);
  const auto before = positions(f);

  EXPECT_EQ(run(f), KWErrorTooLarge);
  EXPECT_EQ(s->refusedComponentNodes(), 12);
  EXPECT_EQ(positions(f), before);
  EXPECT_EQ(f.g()->layoutRunning(), 0);
  EXPECT_EQ(s->pSLayInfo(), nullptr) << "scratch records were made for a refused layout";
  EXPECT_EQ(f.t()->firstInitialization(), 1);

  // A limit the matrices just meet lets the same graph through.
  s->maxMatrixBytes(static_cast<long>(need));
  EXPECT_EQ(run(f), KWNoError);
  EXPECT_EQ(s->refusedComponentNodes(), 0);
  EXPECT_NE(positions(f), before);
}

TEST(MatrixMemoryLimit, EachComponentCountsOnItsOwn) {
  // Two components of 10 nodes: the limit admits 10 nodes, not 20.
  Fixture f;
  kwtest::cycle(f, 10);
  kwtest::grid(f, 2, 5);
  for (int i = 0; i < 25; ++i) f.node();  // nodes without edges hold no matrices
  KWSGraph* s = f.g()->pSGraph();
  s->maxMatrixBytes(static_cast<long>(s->componentMatrixBytes(10)));
  EXPECT_EQ(run(f), KWNoError);
  s->maxMatrixBytes(static_cast<long>(s->componentMatrixBytes(10)) - 1);
  EXPECT_EQ(run(f), KWErrorTooLarge);
  EXPECT_EQ(s->refusedComponentNodes(), 10);
}

TEST(MatrixMemoryLimit, ZeroMeansNoLimitAndNegativeRestoresTheDefault) {
  Fixture f;
  kwtest::cycle(f, 6);
  KWSGraph* s = f.g()->pSGraph();
  const long deflt = s->maxMatrixBytes();
  EXPECT_EQ(deflt, KWBGraph::defaultMaxMatrixBytes());
  s->maxMatrixBytes(0);
  EXPECT_EQ(s->maxMatrixBytes(), 0);
  EXPECT_EQ(run(f), KWNoError);
  s->maxMatrixBytes(-7);
  EXPECT_EQ(s->maxMatrixBytes(), deflt);
}

TEST(MatrixMemoryLimit, DefaultIsAQuarterOfMemoryAtMost) {
  const long deflt = KWBGraph::defaultMaxMatrixBytes();
  const double physical = static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGESIZE));
  EXPECT_GT(deflt, 0);
  EXPECT_LE(static_cast<double>(deflt), physical / 4.0 + 1.0);
  // Enough for the components people lay out: two 2000-node matrices.
  Fixture f;
  EXPECT_LT(f.g()->pSGraph()->componentMatrixBytes(2000), static_cast<double>(deflt));
}

TEST(MatrixMemoryLimit, EstimateCoversBothMatricesAndGrowsWithTheSquare) {
  Fixture f;
  KWSGraph* s = f.g()->pSGraph();
  EXPECT_EQ(s->componentMatrixBytes(0), 0.0);
  for (long n : {1L, 10L, 1000L, 100000L}) {
    EXPECT_GE(s->componentMatrixBytes(n), 16.0 * n * n) << n;
    EXPECT_LE(s->componentMatrixBytes(n), 16.0 * n * n + 256.0 * n) << n;
  }
  // No overflow where 16·n² leaves the range of long.
  EXPECT_GT(s->componentMatrixBytes(2000000000L), 6.0e19);
}

}  // namespace
