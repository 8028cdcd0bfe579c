// Scratch records and the symmetric extensions of graphs, nodes and edges:
// defaults, accessors, copies and clones, record replacement, random-start
// selection and the connector reset before each component.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "data/kwsedli.h"
#include "data/kwsgrli.h"
#include "data/kwsndli.h"
#include "host/kwfactory.h"
#include "layout/kwsedge.h"
#include "layout/kwsgraph.h"
#include "layout/kwsnode.h"
#include "module/kwslayfa.h"
#include "tailor/kwsndta.h"

namespace {

bool isPlusZero(double v) { return v == 0.0 && !std::signbit(v); }

// A drawing graph of the symmetric style made through the module's factory.
struct SymmetricGraph {
  KWSLayoutFactory styleFactory;
  KWFactory factory;
  std::unique_ptr<KWDGraph> graph;
  SymmetricGraph() {
    factory.addLayoutFactory(&styleFactory);
    graph.reset(factory.newDGraph(KWSymmetricLayoutStyle));
  }
  KWDNode* node(long x = 0, long y = 0) { return graph->newNode(x, y, 20, 10); }
};

KWPEdge* firstPiece(const KWDEdge* e) { return static_cast<KWPEdge*>(e->pathEdgeList().pFirstCell()->pObject()); }

// ---- node record -------------------------------------------------------------------

TEST(NodeLayInfo, FreshRecordIsZeroAndSettersReturnTheStoredValue) {
  KWSNodeLayInfo li;
  EXPECT_EQ(li.sindex(), 0);
  EXPECT_TRUE(isPlusZero(li.xdelta()));
  EXPECT_TRUE(isPlusZero(li.ydelta()));
  EXPECT_TRUE(isPlusZero(li.delta()));
  EXPECT_EQ(li.sindex(17), 17);
  EXPECT_EQ(li.xdelta(-2.5), -2.5);
  EXPECT_EQ(li.ydelta(3.25), 3.25);
  EXPECT_EQ(li.delta(4.0), 4.0);
  EXPECT_EQ(li.sindex(), 17);
  EXPECT_EQ(li.xdelta(), -2.5);
  EXPECT_EQ(li.ydelta(), 3.25);
  EXPECT_EQ(li.delta(), 4.0);
  li.pPoint()->moveTo(-40, 90);
  const KWSNodeLayInfo& view = li;
  EXPECT_EQ(view.pPoint()->x(), -40);
  EXPECT_EQ(view.pPoint()->y(), 90);
}

TEST(NodeLayInfo, CopiesCarryIndexAndDerivativesButNotThePoint) {
  KWSNodeLayInfo src;
  src.sindex(4);
  src.xdelta(1.0);
  src.ydelta(-2.0);
  src.delta(5.0);
  src.pPoint()->moveTo(100, 200);

  KWSNodeLayInfo deep;
  deep.pPoint()->moveTo(-7, 8);
  deep.copyObject(&src);
  KWSNodeLayInfo attrs;
  attrs.pPoint()->moveTo(3, 3);
  attrs.copyAttributes(&src);
  KWSNodeLayInfo assigned;
  assigned.pPoint()->moveTo(11, 12);
  assigned = src;

  for (KWSNodeLayInfo* t : {&deep, &attrs, &assigned}) {
    EXPECT_EQ(t->sindex(), 4);
    EXPECT_EQ(t->xdelta(), 1.0);
    EXPECT_EQ(t->ydelta(), -2.0);
    EXPECT_EQ(t->delta(), 5.0);
  }
  EXPECT_EQ(*deep.pPoint(), KWPoint(-7, 8));
  EXPECT_EQ(*attrs.pPoint(), KWPoint(3, 3));
  EXPECT_EQ(*assigned.pPoint(), KWPoint(11, 12));

  std::unique_ptr<KWSNodeLayInfo> clone(src.cloneObject());
  EXPECT_EQ(clone->sindex(), 4);
  EXPECT_EQ(clone->delta(), 5.0);
  EXPECT_EQ(*clone->pPoint(), KWPoint());
  KWSNodeLayInfo constructed(src, KWAttributeCopy);
  EXPECT_EQ(constructed.ydelta(), -2.0);
  EXPECT_EQ(*constructed.pPoint(), KWPoint());

  KWSNodeLayInfo& self = src;
  src = self;
  src.copyObject(&src);
  src.copyObject(nullptr);
  src.copyAttributes(nullptr);
  EXPECT_EQ(src.sindex(), 4);
  EXPECT_EQ(src.delta(), 5.0);
  EXPECT_EQ(*src.pPoint(), KWPoint(100, 200));
}

// ---- graph record ------------------------------------------------------------------

TEST(GraphLayInfo, FreshRecordIsEmptyAndPairsReachTheSameObjects) {
  KWSGraphLayInfo li;
  EXPECT_EQ(li.springLength().dimension(), 0);
  EXPECT_EQ(li.springStrength().dimension(), 0);
  EXPECT_TRUE(li.allNodeDList().isEmpty());
  EXPECT_TRUE(li.copiesOfGatewayNodesDList().isEmpty());
  EXPECT_EQ(li.scaleFactor(), 1);
  EXPECT_EQ(li.maxDegree(), 0);
  EXPECT_EQ(&li.springLength(), li.pSpringLength());
  EXPECT_EQ(&li.springStrength(), li.pSpringStrength());
  EXPECT_EQ(&li.allNodeDList(), li.pAllNodeDList());
  EXPECT_EQ(&li.copiesOfGatewayNodesDList(), li.pCopiesOfGatewayNodesDList());
  EXPECT_NE(li.pSpringLength(), li.pSpringStrength());
  EXPECT_NE(li.pAllNodeDList(), li.pCopiesOfGatewayNodesDList());
  EXPECT_EQ(li.scaleFactor(8), 8);
  EXPECT_EQ(li.maxDegree(3), 3);
  EXPECT_EQ(li.scaleFactor(), 8);
  EXPECT_EQ(li.maxDegree(), 3);
}

TEST(GraphLayInfo, CopiesCarryNoneOfTheRunData) {
  SymmetricGraph sg;
  KWDNode* a = sg.node();
  KWSGraphLayInfo src;
  src.springLength().resize(2, 2);
  src.springLength()[0][1] = 3.0;
  src.springStrength().resize(2, 2);
  src.allNodeDList().appendNode(a);
  src.copiesOfGatewayNodesDList().appendNode(a);
  src.scaleFactor(6);
  src.maxDegree(4);

  KWSGraphLayInfo deep(src);
  KWSGraphLayInfo attrs(src, KWAttributeCopy);
  KWSGraphLayInfo assigned;
  assigned = src;
  std::unique_ptr<KWSGraphLayInfo> clone(src.cloneObject());
  for (KWSGraphLayInfo* t : {&deep, &attrs, &assigned, clone.get()}) {
    EXPECT_EQ(t->springLength().dimension(), 0);
    EXPECT_EQ(t->springStrength().dimension(), 0);
    EXPECT_TRUE(t->allNodeDList().isEmpty());
    EXPECT_TRUE(t->copiesOfGatewayNodesDList().isEmpty());
    EXPECT_EQ(t->scaleFactor(), 1);
    EXPECT_EQ(t->maxDegree(), 0);
  }
  // A copy onto a record in use leaves that record's own data alone.
  KWSGraphLayInfo busy;
  busy.springLength().resize(3, 3);
  busy.scaleFactor(2);
  busy.copyObject(&src);
  EXPECT_EQ(busy.springLength().dimension(), 3);
  EXPECT_EQ(busy.scaleFactor(), 2);
}

TEST(GraphLayInfo, DestroyingTheRecordLeavesTheListedNodesAlive) {
  SymmetricGraph sg;
  KWDNode* a = sg.node();
  KWDNode* b = sg.node(50, 0);
  {
    KWSGraphLayInfo li;
    li.allNodeDList().appendNode(a);
    li.allNodeDList().appendNode(b);
    li.copiesOfGatewayNodesDList().appendNode(b);
  }
  EXPECT_EQ(sg.graph->numberOfNodes(), 2);
  EXPECT_EQ(a->ntX(), 0);
  EXPECT_EQ(b->ntX(), 50);
}

// ---- sizes -------------------------------------------------------------------------

TEST(ObjectSizes, EachOverridingClassReportsItsOwnSize) {
  EXPECT_EQ(KWSGraphLayInfo().sizeOf(), static_cast<long>(sizeof(KWSGraphLayInfo)));
  EXPECT_EQ(KWSNodeLayInfo().sizeOf(), static_cast<long>(sizeof(KWSNodeLayInfo)));
  EXPECT_EQ(KWSEdgeLayInfo().sizeOf(), static_cast<long>(sizeof(KWSEdgeLayInfo)));
  EXPECT_EQ(KWSGraph().sizeOf(), static_cast<long>(sizeof(KWSGraph)));
  EXPECT_EQ(KWSNode().sizeOf(), static_cast<long>(sizeof(KWSNode)));
  EXPECT_EQ(KWSEdge().sizeOf(), static_cast<long>(sizeof(KWSEdge)));
}

// ---- extensions --------------------------------------------------------------------

TEST(Extensions, WithoutARecordTheyAnswerNullAndDieCleanly) {
  auto* g = new KWSGraph;
  auto* n = new KWSNode;
  auto* e = new KWSEdge;
  EXPECT_EQ(g->pSLayInfo(), nullptr);
  EXPECT_EQ(n->pSLayInfo(), nullptr);
  EXPECT_EQ(e->pSLayInfo(), nullptr);
  EXPECT_EQ(n->pSGraph(), nullptr);
  EXPECT_EQ(e->pSGraph(), nullptr);
  delete g;
  delete n;
  delete e;
}

TEST(Extensions, NewLayInfoTwiceLeavesOneFreshRecord) {
  KWSNode n;
  KWBNodeLayInfo* first = n.newLayInfo(0, 0);
  ASSERT_EQ(first, n.pSLayInfo());
  n.pSLayInfo()->sindex(12);
  n.pSLayInfo()->delta(3.0);
  KWBNodeLayInfo* second = n.newLayInfo(1, 2);
  ASSERT_EQ(second, n.pSLayInfo());
  ASSERT_NE(dynamic_cast<KWSNodeLayInfo*>(second), nullptr);
  EXPECT_EQ(n.pSLayInfo()->sindex(), 0);
  EXPECT_EQ(n.pSLayInfo()->delta(), 0.0);

  KWSGraph g;
  g.newLayInfo(0);
  g.pSLayInfo()->springLength().resize(4, 4);
  g.pSLayInfo()->scaleFactor(5);
  KWBGraphLayInfo* fresh = g.newLayInfo(0);
  ASSERT_NE(dynamic_cast<KWSGraphLayInfo*>(fresh), nullptr);
  EXPECT_EQ(fresh, g.pLayInfo());
  EXPECT_EQ(g.pSLayInfo()->springLength().dimension(), 0);
  EXPECT_EQ(g.pSLayInfo()->scaleFactor(), 1);

  KWSEdge e;
  e.newLayInfo(0, 0);
  KWBEdgeLayInfo* edgeRecord = e.newLayInfo(0, 0);
  EXPECT_NE(dynamic_cast<KWSEdgeLayInfo*>(edgeRecord), nullptr);
  EXPECT_EQ(edgeRecord, e.pLayInfo());
  // Leak checking covers the replaced records.
}

TEST(Extensions, ClonesAndCopiesHaveNoOwner) {
  SymmetricGraph sg;
  KWDNode* a = sg.node();
  KWDNode* b = sg.node(60, 0);
  KWDEdge* e = sg.graph->newEdge(a, b);
  std::unique_ptr<KWSGraph> g1(sg.graph->pSGraph()->cloneObject());
  std::unique_ptr<KWSGraph> g2(sg.graph->pSGraph()->cloneAttributes());
  std::unique_ptr<KWSNode> n1(a->pSNode()->cloneObject());
  std::unique_ptr<KWSNode> n2(a->pSNode()->cloneAttributes());
  std::unique_ptr<KWSEdge> e1(e->pSEdge()->cloneObject());
  std::unique_ptr<KWSEdge> e2(e->pSEdge()->cloneAttributes());
  EXPECT_EQ(g1->pOwnerGraph(), nullptr);
  EXPECT_EQ(g2->pOwnerGraph(), nullptr);
  EXPECT_EQ(n1->pOwnerNode(), nullptr);
  EXPECT_EQ(n2->pOwnerNode(), nullptr);
  EXPECT_EQ(e1->pOwnerEdge(), nullptr);
  EXPECT_EQ(e2->pOwnerEdge(), nullptr);
  EXPECT_EQ(g1->layoutStyle(), KWSymmetricLayoutStyle);
  EXPECT_EQ(n2->layoutStyle(), KWSymmetricLayoutStyle);
  // Copying onto an owned extension keeps its owner.
  KWSNode* owned = a->pSNode();
  *owned = *n1;
  owned->copyObject(n2.get());
  EXPECT_EQ(owned->pOwnerNode(), a);
  KWSGraph* ownedGraph = sg.graph->pSGraph();
  ownedGraph->copyObject(g1.get());
  KWSGraph& sameGraph = *ownedGraph;
  *ownedGraph = sameGraph;
  EXPECT_EQ(ownedGraph->pOwnerGraph(), sg.graph.get());
}

TEST(Extensions, OnlyUnconstrainedNodesAreRandomized) {
  SymmetricGraph sg;
  KWDNode* free = sg.node();
  KWDNode* pinned = sg.node(30, 30);
  KWDEdge* e = sg.graph->newEdge(free, pinned);
  KWPNode* bend = e->ntAddBend(firstPiece(e), KWPoint(15, 40));
  ASSERT_NE(bend, nullptr);
  pinned->pSTailor()->constrained(1);
  EXPECT_EQ(free->pSNode()->selectRandomizePosition(), 1);
  EXPECT_EQ(pinned->pSNode()->selectRandomizePosition(), 0);
  ASSERT_NE(bend->pSNode(), nullptr);
  EXPECT_EQ(bend->pSNode()->selectRandomizePosition(), 1);
  pinned->pSTailor()->constrained(0);
  EXPECT_EQ(pinned->pSNode()->selectRandomizePosition(), 1);
  EXPECT_EQ(KWSNode().selectRandomizePosition(), 1);
}

// ---- connectors before each component ---------------------------------------------

struct ConnectorCase : SymmetricGraph {
  KWDEdge* edge;
  ConnectorCase(bool fromSpecified, bool toSpecified) {
    KWDNode* a = node();
    KWDNode* b = node(100, 0);
    edge = graph->newEdge(a, b);
    edge->pFromConnector(new KWConnector(10, 0, fromSpecified));
    edge->pToConnector(new KWConnector(-10, 0, toSpecified));
  }
};

TEST(EdgeConnectorReset, ChosenConnectorsGoUnlessTheEdgeKeepsThem) {
  struct Case { bool fromSpecified, toSpecified, keeps, fromStays, toStays; };
  const Case cases[] = {{true, true, false, true, true},    {false, true, false, false, true},
                        {true, false, false, true, false},  {false, false, false, false, false},
                        {false, false, true, true, true},   {false, true, true, true, true}};
  for (const Case& k : cases) {
    ConnectorCase c(k.fromSpecified, k.toSpecified);
    c.edge->keepsConnectors(k.keeps);
    KWConnector* from = c.edge->pFromConnector();
    KWConnector* to = c.edge->pToConnector();
    c.edge->pSEdge()->preLayoutComponentReset();
    EXPECT_EQ(c.edge->pFromConnector(), k.fromStays ? from : nullptr) << k.fromSpecified << k.toSpecified << k.keeps;
    EXPECT_EQ(c.edge->pToConnector(), k.toStays ? to : nullptr) << k.fromSpecified << k.toSpecified << k.keeps;
  }
}

TEST(EdgeConnectorReset, PiecesAndDetachedExtensionsAreLeftAlone) {
  ConnectorCase c(false, false);
  KWPEdge* piece = firstPiece(c.edge);
  ASSERT_NE(piece->pSEdge(), nullptr);
  piece->pSEdge()->preLayoutComponentReset();
  EXPECT_NE(c.edge->pFromConnector(), nullptr);
  EXPECT_NE(c.edge->pToConnector(), nullptr);
  KWSEdge loose;
  loose.preLayoutComponentReset();
  loose.postLayoutReset();
}

TEST(EdgeConnectorSide, GivesExactlyTheBaseAnswer) {
  const long dxs[] = {10, -10, 3, 0, -7};
  const long dys[] = {0, 4, -12, 9, -7};
  for (int i = 0; i < 5; ++i) {
    ConnectorCase c(true, true);
    c.edge->pFromConnector(new KWConnector(dxs[i], dys[i], true));
    KWBEdge base(c.edge);
    long baseOffset = -99, ownOffset = -98;
    int baseSide = -99, ownSide = -98;
    KWSideEnum expected = base.findBestNodeSideWithConnectors(baseOffset, baseSide);
    KWSideEnum got = c.edge->pSEdge()->findBestNodeSideWithConnectors(ownOffset, ownSide);
    EXPECT_EQ(got, expected) << i;
    EXPECT_EQ(ownOffset, baseOffset) << i;
    EXPECT_EQ(ownSide, baseSide) << i;
  }
}

}  // namespace
