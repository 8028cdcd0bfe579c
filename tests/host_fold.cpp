// Fold, unfold, collapse, expand, hide and unhide with the style's reactions.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/kwbgraph.h"
#include "host/kwblayfa.h"
#include "host/kwfactory.h"
#include "host/kwfold.h"

namespace {

/// Records every reaction and layout, with what the graph held at that time.
struct FoldProbe : KWBGraph {
  using KWBGraph::KWBGraph;
  std::vector<std::string> log;
  std::vector<KWDNodeDList*> lists;
  std::vector<long> nodesSeen;
  std::vector<std::string> given;  // names of the nodes a hook was handed
  void note(const char* what, KWDNodeDList* r) {
    log.push_back(what);
    lists.push_back(r);
    nodesSeen.push_back(pOwnerGraph()->numberOfNodes());
  }
  void names(const KWDNodeDList* l) {
    std::string s;
    for (KWDNodeDListIter it(l); it; ++it) s += it.pNode()->name();
    given.push_back(s);
  }
  void actBeforeExpandWithLayout(KWDNodeDList* r, KWDNode* n) override { note("beforeExpand", r); given.push_back(n->name()); }
  void actBeforeCollapseWithLayout(KWDNodeDList* r, KWDNode* n) override { note("beforeCollapse", r); given.push_back(n->name()); }
  void actAfterExpandWithLayout(KWDNodeDList* r) override { note("afterExpand", r); }
  void actAfterCollapseWithLayout(KWDNodeDList* r) override { note("afterCollapse", r); }
  void actBeforeFoldWithLayout(KWDNodeDList* r, const KWDNodeDList* l) override { note("beforeFold", r); names(l); }
  void actBeforeUnfoldWithLayout(KWDNodeDList* r, KWDNode* n) override { note("beforeUnfold", r); given.push_back(n->name()); }
  void actAfterFoldWithLayout(KWDNodeDList* r) override { note("afterFold", r); }
  void actAfterUnfoldWithLayout(KWDNodeDList* r) override { note("afterUnfold", r); }
  void actBeforeHideWithLayout(KWDNodeDList* r, const KWDNodeDList* l) override { note("beforeHide", r); names(l); }
  void actBeforeUnhideWithLayout(KWDNodeDList* r) override { note("beforeUnhide", r); }
  void actAfterHideWithLayout(KWDNodeDList* r) override { note("afterHide", r); }
  void actAfterUnhideWithLayout(KWDNodeDList* r) override { note("afterUnhide", r); }
  void layoutComponent() override { note("layout", nullptr); }
  void reset() {
    log.clear();
    lists.clear();
    nodesSeen.clear();
    given.clear();
  }
};

struct ProbeFactory : KWBLayoutFactory {
  ProbeFactory() : KWBLayoutFactory(KWSymmetricLayoutStyle) {}
  KWGraphExt* vNewGraphExt(KWDGraph* g) override { return new FoldProbe(g); }
};

class Fold : public ::testing::Test {
 protected:
  ProbeFactory style;
  KWFactory factory;
  KWDGraph* g = nullptr;
  std::vector<KWDNode*> n;
  std::set<KWDEdge*> edges0;
  void SetUp() override {
    factory.addLayoutFactory(&style);
    g = factory.newDGraph(KWSymmetricLayoutStyle);
    // a -> b -> c, a -> d, c -> e, d - e; nodes named by letter.
    for (char c = 'a'; c <= 'e'; ++c) n.push_back(g->newNode(40 * (c - 'a'), 0, 20, 20, std::string(1, c)));
    g->newEdge(n[0], n[1]);
    g->newEdge(n[1], n[2]);
    g->newEdge(n[0], n[3]);
    g->newEdge(n[2], n[4]);
    g->newEdge(n[3], n[4]);
    edges0 = edges();
  }
  void TearDown() override { delete g; }
  FoldProbe* probe() { return static_cast<FoldProbe*>(g->pExtension(KWSymmetricLayoutStyle)); }
  std::set<KWDEdge*> edges() {
    std::set<KWDEdge*> s;
    for (KWDEdgeIter it(g); it; ++it) s.insert(it.pEdge());
    return s;
  }
  std::string names() {
    std::string s;
    for (KWDNodeIter it(g); it; ++it) s += it.pNode()->name();
    return s;
  }
  KWDNodeDList listOf(std::initializer_list<int> idx) {
    KWDNodeDList l;
    for (int i : idx) l.appendNode(n[i]);
    return l;
  }
  void expectSequence(std::vector<std::string> seq) {
    EXPECT_EQ(probe()->log, seq);
    // Before- and after-hook share one record list.
    ASSERT_EQ(probe()->lists.size(), 3u);
    EXPECT_NE(probe()->lists[0], nullptr);
    EXPECT_EQ(probe()->lists[0], probe()->lists[2]);
  }
};

TEST_F(Fold, HideRunsBeforeHookEditLayoutAfterHookAndUnhideRestores) {
  KWFoldEditor ed(g, KWSymmetricLayoutStyle);
  KWDNodeDList l = listOf({1, 3});
  ASSERT_TRUE(ed.hide(l, true));
  expectSequence({"beforeHide", "layout", "afterHide"});
  EXPECT_EQ(probe()->given[0], "bd");
  EXPECT_EQ(probe()->nodesSeen[0], 5);  // the hook still saw the nodes to hide
  EXPECT_EQ(names(), "ace");
  EXPECT_EQ(g->numberOfEdges(), 1);      // only c -> e is left
  EXPECT_TRUE(ed.isHidden(n[1]));
  EXPECT_EQ(n[0]->degree(), 0);

  probe()->reset();
  ASSERT_TRUE(ed.unhide(true));
  expectSequence({"beforeUnhide", "layout", "afterUnhide"});
  EXPECT_EQ(probe()->nodesSeen[0], 3);  // pinning happens before the nodes come back
  EXPECT_EQ(g->numberOfNodes(), 5);
  EXPECT_EQ(edges(), edges0);
  EXPECT_FALSE(ed.unhide(true));  // nothing left to bring back
  l.deleteAllCells();
}

TEST_F(Fold, WithoutLayoutNoHookRuns) {
  KWFoldEditor ed(g, KWSymmetricLayoutStyle);
  KWDNodeDList l = listOf({4});
  EXPECT_TRUE(ed.hide(l, false));
  EXPECT_TRUE(ed.unhide(false));
  EXPECT_TRUE(ed.collapse(n[1], false));
  EXPECT_TRUE(ed.expand(n[1], false));
  EXPECT_TRUE(probe()->log.empty());
  EXPECT_EQ(edges(), edges0);
  l.deleteAllCells();
}

TEST_F(Fold, FoldReplacesTheSetByOneNodeAndUnfoldBringsItBack) {
  KWFoldEditor ed(g, KWSymmetricLayoutStyle);
  KWDNodeDList l = listOf({1, 2});
  KWDNode* f = ed.fold(l, true);
  ASSERT_NE(f, nullptr);
  expectSequence({"beforeFold", "layout", "afterFold"});
  EXPECT_EQ(probe()->given[0], "bc");
  EXPECT_TRUE(ed.isFoldNode(f));
  EXPECT_EQ(names(), "adefolded");
  // a -> b and c -> e are represented by a -> folded and folded -> e.
  EXPECT_EQ(g->numberOfEdges(), 4);
  EXPECT_EQ(f->degree(), 2);
  long outOfFold = 0;
  for (KWOutDEdgeIter it(f); it; ++it) outOfFold += it.pEdge()->pToNode() == n[4];
  EXPECT_EQ(outOfFold, 1);

  probe()->reset();
  ASSERT_TRUE(ed.unfold(f, true));
  expectSequence({"beforeUnfold", "layout", "afterUnfold"});
  EXPECT_EQ(probe()->given[0], "folded");
  EXPECT_EQ(g->numberOfNodes(), 5);
  EXPECT_EQ(edges(), edges0);
  EXPECT_FALSE(ed.unfold(n[0], true));  // not a fold node
  l.deleteAllCells();
}

TEST_F(Fold, CollapseHidesWhatHangsBelowAndExpandBringsItBack) {
  KWFoldEditor ed(g, KWSymmetricLayoutStyle);
  ASSERT_TRUE(ed.collapse(n[1], true));  // b -> c -> e
  expectSequence({"beforeCollapse", "layout", "afterCollapse"});
  EXPECT_EQ(probe()->given[0], "b");
  EXPECT_EQ(names(), "abd");
  EXPECT_TRUE(ed.isCollapsed(n[1]));
  EXPECT_FALSE(ed.collapse(n[1], true));
  probe()->reset();
  ASSERT_TRUE(ed.expand(n[1], true));
  expectSequence({"beforeExpand", "layout", "afterExpand"});
  EXPECT_EQ(edges(), edges0);
  EXPECT_FALSE(ed.collapse(n[4], true));  // e has nothing below
}

TEST_F(Fold, AnEdgeComesBackOnlyWithBothEnds) {
  KWFoldEditor ed(g, KWSymmetricLayoutStyle);
  ASSERT_TRUE(ed.collapse(n[2], false));  // hides e, and with it c -> e and d - e
  KWDNodeDList l = listOf({3});
  ASSERT_TRUE(ed.hide(l, false));          // hides d and a -> d
  ASSERT_TRUE(ed.unhide(false));
  EXPECT_EQ(g->numberOfEdges(), 3);        // a -> d back; d - e still waits for e
  ASSERT_TRUE(ed.expand(n[2], false));
  EXPECT_EQ(edges(), edges0);
  l.deleteAllCells();
}

TEST_F(Fold, DestroyingTheEditorLosesNothing) {
  {
    KWFoldEditor ed(g, KWSymmetricLayoutStyle);
    KWDNodeDList ab = listOf({0, 1});
    KWDNode* f1 = ed.fold(ab, false);
    KWDNodeDList outer;
    outer.appendNode(f1);
    outer.appendNode(n[2]);
    ASSERT_NE(ed.fold(outer, false), nullptr);   // a fold inside a fold
    KWDNodeDList e = listOf({4});
    ed.hide(e, false);
    ed.collapse(n[3], false);  // nothing visible below d any more
    EXPECT_EQ(g->numberOfNodes(), 2);
    ab.deleteAllCells();
    outer.deleteAllCells();
    e.deleteAllCells();
  }
  EXPECT_EQ(names().size(), 5u);
  EXPECT_EQ(edges(), edges0);
}

}  // namespace
