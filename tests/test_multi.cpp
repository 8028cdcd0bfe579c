// Multi-edge bundles and loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/route_probe.h"

namespace {

class Multi : public ::testing::Test, public KWSRouteGraph {
 protected:
  KWDEdgeDList bundle;
  void TearDown() override { bundle.deleteAllCells(); }
  std::vector<KWDEdge*> stored(KWDEdge* rep) {
    std::vector<KWDEdge*> v;
    KWSEdge* x = rep->pSEdge();
    if (!x->hasMultiEdgeList()) return v;
    for (KWDEdgeDListIter it(x->pMultiEdgeList()); it; ++it) v.push_back(it.pEdge());
    return v;
  }
  static bool attached(const KWDEdge* e, const KWDGraph* h) { return e->pOwnerGraph() == h && e->attached(); }
};

TEST_F(Multi, LastEdgeRepresentsTheOthersWaitInOrder) {
  KWDNode* a = node(0, 0);
  KWDNode* b = node(50, 0);
  KWDEdge* e1 = edge(a, b);
  KWDEdge* e2 = edge(b, a);
  KWDEdge* e3 = edge(a, b);
  for (KWDEdge* e : {e1, e2, e3}) bundle.appendEdge(e);
  probe()->preprocessAggregateMultiEdges(&bundle);
  EXPECT_TRUE(attached(e3, g()));
  EXPECT_FALSE(attached(e1, g()));
  EXPECT_FALSE(attached(e2, g()));
  EXPECT_EQ(e2->pFromNode(), b);  // detached edges keep their ends
  EXPECT_EQ(stored(e3), (std::vector<KWDEdge*>{e1, e2}));
  EXPECT_EQ(bundle.length(), 3);
  EXPECT_EQ(g()->numberOfEdges(), 1);

  // A suitable representative is handed back untouched.
  EXPECT_EQ(probe()->postprocessAggregateMultiEdge(e3), e3);
  EXPECT_EQ(stored(e3), (std::vector<KWDEdge*>{e1, e2}));
  EXPECT_FALSE(attached(e1, g()));
  // Put them back so that the graph owns them again.
  g()->insertEdge(e1, a, b);
  g()->insertEdge(e2, b, a);
  e3->pSEdge()->deleteMultiEdgeList();
}

TEST_F(Multi, SpecifiedConnectorsMakeAnEdgeUnsuitable) {
  KWDNode* a = node(0, 0);
  KWDNode* b = node(50, 0);
  KWDEdge* plain = edge(a, b);
  KWDEdge* chosen = edge(a, b);
  KWDEdge* to = edge(a, b);
  KWDEdge* from = edge(a, b);
  chosen->pFromConnector(new KWConnector(5, 0, false));
  to->pToConnector(new KWConnector(-5, 0, true));
  from->pFromConnector(new KWConnector(5, 0, true));
  EXPECT_EQ(probe()->suitableForMultiEdgeBundle(plain), 1);
  EXPECT_EQ(probe()->suitableForMultiEdgeBundle(chosen), 1);
  EXPECT_EQ(probe()->suitableForMultiEdgeBundle(to), 0);
  EXPECT_EQ(probe()->suitableForMultiEdgeBundle(from), 0);
  EXPECT_EQ(probe()->suitableForMultiEdgeBundle(nullptr), 0);
  EXPECT_EQ(probe()->numberOfBundles(&bundle), 1);
  for (KWDEdge* e : {plain, chosen, to}) bundle.appendEdge(e);
  EXPECT_EQ(probe()->numberOfBundles(&bundle), 1);
}

TEST_F(Multi, UnsuitableRepresentativeDissolvesItsBundle) {
  KWDNode* a = node(0, 0, 30, 30);
  KWDNode* b = node(100, 0, 30, 30);
  KWDEdge* e1 = edge(a, b);
  KWDEdge* loop = edge(a, a);
  KWDEdge* e2 = edge(b, a);
  KWDEdge* rep = edge(a, b);
  KWDEdgeDList* list = rep->pSEdge()->pMultiEdgeList();
  for (KWDEdge* e : {e1, loop, e2}) {
    g()->removeEdge(e);
    list->appendEdge(e);
  }
  rep->pToConnector(new KWConnector(-15, 0, true));  // the user fixed one
  EXPECT_EQ(probe()->postprocessAggregateMultiEdge(rep), e1);
  EXPECT_FALSE(rep->pSEdge()->hasMultiEdgeList());
  EXPECT_TRUE(attached(e1, g()));
  EXPECT_TRUE(attached(e2, g()));
  EXPECT_EQ(e2->pFromNode(), b);  // between its own ends
  EXPECT_EQ(e2->pToNode(), a);
  EXPECT_TRUE(attached(loop, g()));
  EXPECT_GE(loop->numberOfBends(), 3);  // the full loop treatment
  EXPECT_EQ(faults(), "");

  // An empty list dissolves to nothing.
  KWDEdge* lone = edge(a, b);
  lone->pFromConnector(new KWConnector(15, 0, true));
  EXPECT_EQ(probe()->postprocessAggregateMultiEdge(lone), nullptr);
}

TEST_F(Multi, MoveDecidesByTheSecondEdge) {
  KWDNode* a = node(0, 0, 20, 20);
  KWDNode* b = node(100, 0, 20, 20);
  KWDEdge* loop = edge(a, a);
  KWDEdge* other = edge(a, a);
  KWDEdge* straight = edge(a, b);
  KWDEdge* member = edge(a, b);
  loop->pSEdge()->createReflexivePath();
  std::vector<KWPoint> small = loop->bendPoints();
  probe()->moveMultiEdgePath(loop, other, 15, 15);  // other is a loop: drawn larger
  std::vector<KWPoint> big = loop->bendPoints();
  ASSERT_EQ(small.size(), big.size());
  EXPECT_GT(big[1].x(), small[1].x());
  EXPECT_GT(big[1].y(), small[1].y());
  probe()->moveMultiEdgePath(member, straight, 0, 12);  // a parallel line 12 up
  ASSERT_GT(member->numberOfBends(), 0);
  for (const KWPoint& p : member->bendPoints()) EXPECT_EQ(p.y(), 12);
}

TEST_F(Multi, LoopRoutineFollowsTheConnectors) {
  KWDNode* a = node(0, 0, 40, 40);
  KWDEdge* plain = edge(a, a);
  KWDEdge* fixed = edge(a, a);
  fixed->pFromConnector(new KWConnector(-20, 0, true));  // left side
  pinAll();
  ASSERT_EQ(layout(), KWNoError);
  ASSERT_GE(plain->numberOfBends(), 3);
  ASSERT_GE(fixed->numberOfBends(), 3);
  EXPECT_GT(plain->bendPoints().front().x(), 20);   // leaves to the right
  EXPECT_LT(fixed->bendPoints().front().x(), -20);  // leaves from its left connector
  EXPECT_TRUE(fixed->hasSpecifiedFromConnector());
  // The plain loop's connectors are the layout's choice, not the user's.
  ASSERT_NE(plain->pFromConnector(), nullptr);
  EXPECT_FALSE(plain->hasSpecifiedFromConnector());
}

/// Smallest distance between two polylines' bends (their paths differ there).
double gap(const KWDEdge* e, const KWDEdge* f) {
  double best = 1e18;
  for (const KWPoint& p : e->bendPoints())
    for (const KWPoint& q : f->bendPoints())
      best = std::min(best, std::hypot(static_cast<double>(p.x() - q.x()), static_cast<double>(p.y() - q.y())));
  return best;
}

TEST_F(Multi, AfterALayoutEveryEdgeIsBackWithItsOwnPathAndBundlesAreApart) {
  KWDNode* a = node(0, 0, 30, 30);
  KWDNode* b = node(0, 0, 30, 30);
  KWDNode* c = node(0, 0, 30, 30);
  edge(a, b); edge(b, c); edge(c, a);
  std::vector<KWDEdge*> ab{edge(a, b), edge(b, a), edge(a, b)};
  std::vector<KWDEdge*> loops{edge(c, c), edge(c, c), edge(c, c)};
  kwtest::LayoutChecks drawn;
  drawn.loopsDrawn = true;
  EXPECT_EQ(kwtest::layOutAndCheck(*g(), drawn), "");
  // The four a-b edges: three of them bent, all pairwise apart.
  for (size_t i = 0; i < ab.size(); ++i)
    for (size_t j = i + 1; j < ab.size(); ++j) EXPECT_GE(gap(ab[i], ab[j]), 8.0);
  for (size_t i = 0; i < loops.size(); ++i)
    for (size_t j = i + 1; j < loops.size(); ++j) EXPECT_GE(gap(loops[i], loops[j]), 5.0);
}

TEST(MultiBends, BundleBendsLieOutsideTheirEndNodes) {
  // Bundles of 2 to 6 edges between nodes of several sizes (wide, tall, big
  // next to small), each over several seeds: no bend inside an end node.
  const struct {
    long w1, h1, w2, h2;
  } sizes[] = {{54, 36, 54, 36}, {20, 20, 20, 20}, {120, 30, 20, 20}, {30, 90, 60, 60}};
  for (const auto& sz : sizes)
    for (int members = 2; members <= 6; ++members)
      for (int seed = 1; seed <= 5; ++seed) {
        KWSRouteGraph r;
        KWDNode* a = r.node(0, 0, sz.w1, sz.h1);
        KWDNode* b = r.node(0, 0, sz.w2, sz.h2);
        KWDNode* c = r.node(0, 0, 20, 20);
        r.edge(b, c);
        for (int i = 0; i < members; ++i) r.edge(i % 2 ? b : a, i % 2 ? a : b);
        r.tailor()->randomSeed(seed);
        ASSERT_EQ(r.layout(), KWNoError);
        for (KWDEdgeIter it(r.g()); it; ++it)
          for (const KWPoint& p : it.pEdge()->bendPoints())
            for (const KWDNode* n : {it.pEdge()->pFromNode(), it.pEdge()->pToNode()}) {
              const bool inside = std::labs(p.x() - n->ntX()) * 2 <= n->ntWidth() &&
                                  std::labs(p.y() - n->ntY()) * 2 <= n->ntHeight();
              EXPECT_FALSE(inside) << sz.w1 << "x" << sz.h1 << " and " << sz.w2 << "x" << sz.h2 << ", " << members
                                   << " members, seed " << seed << ": bend (" << p.x() << ", " << p.y() << ")";
            }
      }
}

}  // namespace
