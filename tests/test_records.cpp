// Scratch records and the symmetric extensions of graphs, nodes and edges:
// defaults, copies and clones, record replacement, random-start selection and
// the connector reset before each component.
#include <gtest/gtest.h>

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
#include "support/engine_access.h"

namespace {

// A drawing graph of the symmetric style, with nodes of 20 × 10.
struct SymmetricGraph : kwtest::Fixture {
  KWDNode* node(long x = 0, long y = 0) { return graph->newNode(x, y, 20, 10); }
};

KWPEdge* firstPiece(const KWDEdge* e) { return static_cast<KWPEdge*>(e->pathEdgeList().pFirstCell()->pObject()); }

// ---- node record -------------------------------------------------------------------

TEST(NodeLayInfo, CopiesCarryIndexAndDerivativesButNotThePoint) {
  KWSNodeLayInfo src;
  src.sindex(4);
  src.xdelta(1.0);
  src.ydelta(-2.0);
  src.delta(5.0);
  src.pPoint()->moveTo(100, 200);
  KWSNodeLayInfo deep, attrs;
  deep.pPoint()->moveTo(-7, 8);
  attrs.pPoint()->moveTo(3, 3);
  deep.copyObject(&src);
  attrs.copyAttributes(&src);
  std::unique_ptr<KWSNodeLayInfo> clone(src.cloneObject());
  const struct {
    const char* how;
    KWSNodeLayInfo* record;
    KWPoint point;  // each keeps its own point; new records start at the origin
  } cases[] = {{"copyObject", &deep, KWPoint(-7, 8)},
               {"copyAttributes", &attrs, KWPoint(3, 3)},
               {"cloneObject", clone.get(), KWPoint()}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.record->sindex(), 4) << c.how;
    EXPECT_EQ(c.record->xdelta(), 1.0) << c.how;
    EXPECT_EQ(c.record->ydelta(), -2.0) << c.how;
    EXPECT_EQ(c.record->delta(), 5.0) << c.how;
    EXPECT_EQ(*c.record->pPoint(), c.point) << c.how;
  }
  src.copyObject(&src);
  src.copyObject(nullptr);
  src.copyAttributes(nullptr);
  EXPECT_EQ(src.sindex(), 4);
  EXPECT_EQ(src.delta(), 5.0);
  EXPECT_EQ(*src.pPoint(), KWPoint(100, 200));
}

// ---- graph record ------------------------------------------------------------------

void expectEmpty(KWSGraphLayInfo& li, const char* what) {
  EXPECT_EQ(li.springLength().dimension(), 0) << what;
  EXPECT_EQ(li.springStrength().dimension(), 0) << what;
  EXPECT_TRUE(li.allNodeDList().isEmpty()) << what;
  EXPECT_TRUE(li.copiesOfGatewayNodesDList().isEmpty()) << what;
  EXPECT_EQ(li.scaleFactor(), 1) << what;
  EXPECT_EQ(li.maxDegree(), 0) << what;
}

TEST(GraphLayInfo, CopiesCarryNoneOfTheRunDataAndDestructionLeavesTheNodes) {
  SymmetricGraph sg;
  KWDNode* a = sg.node();
  KWDNode* b = sg.node(50, 0);
  {
    KWSGraphLayInfo src;
    expectEmpty(src, "fresh");
    src.springLength().resize(2, 2);
    src.springLength()[0][1] = 3.0;
    src.springStrength().resize(2, 2);
    src.allNodeDList().appendNode(a);
    src.allNodeDList().appendNode(b);
    src.copiesOfGatewayNodesDList().appendNode(b);
    src.scaleFactor(6);
    src.maxDegree(4);
    std::unique_ptr<KWSGraphLayInfo> clone(src.cloneObject());
    expectEmpty(*clone, "clone");
    // A copy onto a record in use leaves that record's own data alone.
    KWSGraphLayInfo busy;
    busy.springLength().resize(3, 3);
    busy.scaleFactor(2);
    busy.copyObject(&src);
    EXPECT_EQ(busy.springLength().dimension(), 3);
    EXPECT_EQ(busy.scaleFactor(), 2);
  }
  // The records listed the nodes; destroying them left the nodes alive.
  EXPECT_EQ(sg.graph->numberOfNodes(), 2);
  EXPECT_EQ(b->ntX(), 50);
}

// ---- sizes and extensions ------------------------------------------------------------

TEST(Extensions, NoRecordUntilMadeAndNewLayInfoTwiceLeavesOneFreshRecord) {
  // Leak checking covers the replaced records.
  KWSGraph g;
  KWSNode n;
  KWSEdge e;
  EXPECT_TRUE(!g.pSLayInfo() && !n.pSLayInfo() && !e.pSLayInfo() && !n.pSGraph() && !e.pSGraph());
  n.newLayInfo(0, 0);
  n.pSLayInfo()->sindex(12);
  n.pSLayInfo()->delta(3.0);
  KWBNodeLayInfo* second = n.newLayInfo(1, 2);
  ASSERT_EQ(second, n.pSLayInfo());
  ASSERT_NE(dynamic_cast<KWSNodeLayInfo*>(second), nullptr);
  EXPECT_EQ(n.pSLayInfo()->sindex(), 0);
  EXPECT_EQ(n.pSLayInfo()->delta(), 0.0);

  g.newLayInfo(0);
  g.pSLayInfo()->springLength().resize(4, 4);
  g.pSLayInfo()->scaleFactor(5);
  KWBGraphLayInfo* fresh = g.newLayInfo(0);
  ASSERT_NE(dynamic_cast<KWSGraphLayInfo*>(fresh), nullptr);
  EXPECT_EQ(fresh, g.pLayInfo());
  expectEmpty(*g.pSLayInfo(), "replaced graph record");
  EXPECT_NE(dynamic_cast<KWSEdgeLayInfo*>(e.newLayInfo(0, 0)), nullptr);
}

TEST(Extensions, ClonesAndCopiesHaveNoOwner) {
  SymmetricGraph sg;
  KWDNode* a = sg.node();
  KWDEdge* e = sg.graph->newEdge(a, sg.node(60, 0));
  std::unique_ptr<KWSGraph> g1(sg.graph->pSGraph()->cloneObject());
  std::unique_ptr<KWSNode> n1(a->pSNode()->cloneAttributes());
  std::unique_ptr<KWSEdge> e1(e->pSEdge()->cloneObject());
  EXPECT_TRUE(!g1->pOwnerGraph() && !n1->pOwnerNode() && !e1->pOwnerEdge());
  // Copying onto an owned extension keeps its owner.
  a->pSNode()->copyObject(n1.get());
  EXPECT_EQ(a->pSNode()->pOwnerNode(), a);
  *sg.graph->pSGraph() = *g1;
  EXPECT_EQ(sg.graph->pSGraph()->pOwnerGraph(), sg.graph.get());
}

// ---- connectors before each component ---------------------------------------------

TEST(EdgeConnectorReset, ChosenConnectorsGoUnlessTheEdgeKeepsThem) {
  struct Case { bool fromSpecified, toSpecified, keeps, fromStays, toStays; };
  const Case cases[] = {{true, true, false, true, true},    {false, true, false, false, true},
                        {true, false, false, true, false},  {false, false, false, false, false},
                        {false, false, true, true, true},   {false, true, true, true, true}};
  for (const Case& k : cases) {
    SymmetricGraph sg;
    KWDEdge* e = sg.graph->newEdge(sg.node(), sg.node(100, 0));
    KWConnector* from = new KWConnector(10, 0, k.fromSpecified);
    KWConnector* to = new KWConnector(-10, 0, k.toSpecified);
    e->pFromConnector(from);
    e->pToConnector(to);
    e->keepsConnectors(k.keeps);
    // Pieces are left alone; the edge itself drops what it does not keep.
    firstPiece(e)->pSEdge()->preLayoutComponentReset();
    EXPECT_TRUE(e->pFromConnector() && e->pToConnector());
    e->pSEdge()->preLayoutComponentReset();
    EXPECT_EQ(e->pFromConnector(), k.fromStays ? from : nullptr) << k.fromSpecified << k.toSpecified << k.keeps;
    EXPECT_EQ(e->pToConnector(), k.toStays ? to : nullptr) << k.fromSpecified << k.toSpecified << k.keeps;
  }
  // Detached extensions are left alone.
  KWSEdge loose;
  loose.preLayoutComponentReset();
  loose.postLayoutReset();
}

}  // namespace
