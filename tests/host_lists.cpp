// Lists, iterators and graph membership as the layout code relies on them.
#include <gtest/gtest.h>

#include "host/kwbgraph.h"
#include "host/kwblayfa.h"
#include "host/kwdgraph.h"
#include "host/kwfactory.h"

namespace {

struct Counted : KWObject {
  static int alive;
  Counted() { ++alive; }
  ~Counted() override { --alive; }
};
int Counted::alive = 0;

TEST(HostList, OrderRemovalDuringIterationSelfCopyAndDeletion) {
  KWDList l;
  KWObject a, b, c;
  l.append(&b);
  l.prepend(&a);
  l.append(&c);
  l.copyAllCells(l);  // from itself: doubles once
  ASSERT_EQ(l.length(), 6);
  std::vector<KWObject*> seen;
  for (KWDListIter it(l); it; ) {
    KWDListCell* cell = it.pCell();
    ++it;  // advance before the current cell goes
    seen.push_back(l.deleteCell(cell));
  }
  EXPECT_EQ(seen, (std::vector<KWObject*>{&a, &b, &c, &a, &b, &c}));
  EXPECT_TRUE(l.isEmpty() && !l.pFirstCell() && !l.pLastCell());
  // Deleting the cells keeps the objects; deleting them too does not.
  Counted* x = new Counted;
  l.append(x);
  l.deleteAllCells();
  EXPECT_EQ(Counted::alive, 1);
  EXPECT_EQ(l.length(), 0);
  l.append(x);
  l.append(new Counted);
  l.deleteAllCellsAndObjects();
  EXPECT_EQ(Counted::alive, 0);
  EXPECT_TRUE(l.isEmpty());
}

// A graph of the symmetric style with an edge a -> b.
class HostGraph : public ::testing::Test {
 protected:
  KWBLayoutFactory style{KWSymmetricLayoutStyle};
  KWFactory factory;
  KWDGraph* g = nullptr;
  KWDNode *a = nullptr, *b = nullptr;
  KWDEdge* e = nullptr;
  void SetUp() override {
    factory.addLayoutFactory(&style);
    g = factory.newDGraph(KWSymmetricLayoutStyle);
    a = g->newNode(0, 0, 10, 10);
    b = g->newNode(100, 0, 10, 10);
    e = g->newEdge(a, b);
  }
  void TearDown() override { delete g; }
  KWPEdge* firstPiece() { return static_cast<KWPEdge*>(e->pathEdgeList().pFirstCell()->pObject()); }
};

TEST_F(HostGraph, RemoveDetachesWithoutDestroyingAndNodeKeepsItsEdges) {
  EXPECT_EQ(g->removeNode(a), a);
  EXPECT_EQ(g->numberOfNodes(), 1);
  EXPECT_EQ(a->outEdges().size(), 1u);
  EXPECT_EQ(e->pFromNode(), a);
  g->insertNode(a);
  EXPECT_EQ(g->numberOfNodes(), 2);
  EXPECT_EQ(g->pNodeList()->pLastCell()->pObject(), a);  // re-inserted at the end

  EXPECT_EQ(g->removeEdge(e), e);
  EXPECT_EQ(a->degree(), 0);
  EXPECT_EQ(e->pToNode(), b);  // the end nodes are remembered
  g->insertEdge(e, b, a);
  EXPECT_EQ(e->pFromNode(), b);
  g->newEdge(b, b);
  EXPECT_EQ(b->degree(), 3);  // a loop counts twice
}

TEST_F(HostGraph, AddingBendsStacksTowardsTheFromEnd) {
  KWPEdge* p = firstPiece();
  KWPNode* nearB = e->ntAddBend(p, KWPoint(85, 35));
  KWPNode* top = e->ntAddBend(p, KWPoint(50, 50));
  KWPNode* nearA = e->ntAddBend(p, KWPoint(15, 35));
  ASSERT_EQ(e->numberOfBends(), 3);
  std::vector<KWObject*> order;
  for (KWDListIter it(e->bendList()); it; ++it) order.push_back(it.pObject());
  EXPECT_EQ(order, (std::vector<KWObject*>{nearA, top, nearB}));
  std::vector<const KWGNode*> path;
  for (KWPEdgeDListIter it(e->pathEdgeList()); it; ++it) path.push_back(it.pEdge()->pFromNode());
  EXPECT_EQ(path, (std::vector<const KWGNode*>{a, nearA, top, nearB}));
  e->removeAllBends();
  EXPECT_EQ(e->pathEdgeList().length(), 1);
}

TEST_F(HostGraph, SegmentRectangleTest) {
  KWPEdge* p = firstPiece();
  EXPECT_EQ(p->intersectsRect(KWRect(40, -5, 10, 10), 1), 1);   // crossed
  EXPECT_EQ(p->intersectsRect(KWRect(40, 0, 10, 10), 1), 0);    // touched on the border only
  EXPECT_EQ(p->intersectsRect(KWRect(40, 0, 10, 10), 0), 1);
  EXPECT_EQ(p->intersectsRect(KWRect(140, -5, 10, 10), 1), 0);  // beyond the end
  EXPECT_EQ(p->intersectsRect(KWRect(40, 20, 10, 10), 1), 0);
}

TEST_F(HostGraph, ComponentsAreLaidOutOneAtATimeAndOrderIsRestored) {
  // A base-style layout runs the pipeline without moving anything inside a
  // component; components are packed apart and disconnected nodes set below.
  std::vector<KWDNode*> n{a, b};
  for (int i = 2; i < 6; ++i) n.push_back(g->newNode(0, 0, 20, 20));
  g->newEdge(n[2], n[3]);  // n[4], n[5] have no edges
  ASSERT_EQ(layoutGraph(g, KWSymmetricLayoutStyle), KWNoError);
  EXPECT_EQ(g->layoutRunning(), 0);
  int i = 0;
  for (KWDNodeIter it(g); it; ++it) EXPECT_EQ(it.pNode(), n[i++]);
  EXPECT_NE(n[0]->ntX(), n[2]->ntX());  // the two components no longer overlap
  EXPECT_LT(n[4]->ntY() + 10, n[0]->ntY() - 5);  // disconnected nodes below the drawing
  EXPECT_NE(n[4]->ntX(), n[5]->ntX());
}

}  // namespace
