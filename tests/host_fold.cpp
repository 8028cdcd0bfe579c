// Fold, unfold, collapse, expand, hide and unhide with the style's reactions.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "host/kwbgraph.h"
#include "host/kwblayfa.h"
#include "host/kwfactory.h"
#include "host/kwfold.h"

namespace {

/// Records every reaction and layout, with what the graph held at that time
/// and the names of the nodes a hook was handed.
struct FoldProbe : KWBGraph {
  using KWBGraph::KWBGraph;
  std::vector<std::string> log, given;
  std::vector<KWDNodeDList*> lists;
  std::vector<long> nodesSeen;
  void note(const char* what, KWDNodeDList* r, const KWDNodeDList* l = nullptr, const KWDNode* n = nullptr) {
    log.push_back(what);
    lists.push_back(r);
    nodesSeen.push_back(pOwnerGraph()->numberOfNodes());
    std::string s = n ? n->name() : std::string();
    for (KWDNodeDListIter it(l); it; ++it) s += it.pNode()->name();
    if (l || n) given.push_back(s);
  }
  void actBeforeExpandWithLayout(KWDNodeDList* r, KWDNode* n) override { note("beforeExpand", r, nullptr, n); }
  void actBeforeCollapseWithLayout(KWDNodeDList* r, KWDNode* n) override { note("beforeCollapse", r, nullptr, n); }
  void actAfterExpandWithLayout(KWDNodeDList* r) override { note("afterExpand", r); }
  void actAfterCollapseWithLayout(KWDNodeDList* r) override { note("afterCollapse", r); }
  void actBeforeFoldWithLayout(KWDNodeDList* r, const KWDNodeDList* l) override { note("beforeFold", r, l); }
  void actBeforeUnfoldWithLayout(KWDNodeDList* r, KWDNode* n) override { note("beforeUnfold", r, nullptr, n); }
  void actAfterFoldWithLayout(KWDNodeDList* r) override { note("afterFold", r); }
  void actAfterUnfoldWithLayout(KWDNodeDList* r) override { note("afterUnfold", r); }
  void actBeforeHideWithLayout(KWDNodeDList* r, const KWDNodeDList* l) override { note("beforeHide", r, l); }
  void actBeforeUnhideWithLayout(KWDNodeDList* r) override { note("beforeUnhide", r); }
  void actAfterHideWithLayout(KWDNodeDList* r) override { note("afterHide", r); }
  void actAfterUnhideWithLayout(KWDNodeDList* r) override { note("afterUnhide", r); }
  void layoutComponent() override { note("layout", nullptr); }
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
    const int ends[][2] = {{0, 1}, {1, 2}, {0, 3}, {2, 4}, {3, 4}};
    for (const auto& e : ends) g->newEdge(n[e[0]], n[e[1]]);
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
  // Runs an operation with layout: its before-hook sees the graph unchanged
  // and is handed `given` (nothing when empty), then the layout, then the
  // after-hook with the same record list. `left` are the node names after.
  void expectStep(const std::string& op, const std::function<bool()>& run, const std::string& given,
                  const std::string& left) {
    SCOPED_TRACE(op);
    probe()->log.clear(), probe()->lists.clear(), probe()->nodesSeen.clear(), probe()->given.clear();
    const long before = g->numberOfNodes();
    ASSERT_TRUE(run());
    EXPECT_EQ(probe()->log, (std::vector<std::string>{"before" + op, "layout", "after" + op}));
    ASSERT_EQ(probe()->lists.size(), 3u);
    EXPECT_NE(probe()->lists[0], nullptr);
    EXPECT_EQ(probe()->lists[0], probe()->lists[2]);
    EXPECT_EQ(probe()->nodesSeen[0], before);
    EXPECT_EQ(probe()->given, given.empty() ? std::vector<std::string>() : std::vector<std::string>{given});
    if (!left.empty()) {
      EXPECT_EQ(names(), left);
    }
  }
};

TEST_F(Fold, HideAndUnhideRunTheHooksAroundTheLayout) {
  KWFoldEditor ed(g, KWSymmetricLayoutStyle);
  KWDNodeDList l = listOf({1, 3});
  expectStep("Hide", [&] { return ed.hide(l, true); }, "bd", "ace");
  EXPECT_EQ(g->numberOfEdges(), 1);  // only c -> e is left
  EXPECT_TRUE(ed.isHidden(n[1]));
  EXPECT_EQ(n[0]->degree(), 0);
  expectStep("Unhide", [&] { return ed.unhide(true); }, "", "");  // nodes are pinned before they come back
  EXPECT_EQ(g->numberOfNodes(), 5);
  EXPECT_EQ(edges(), edges0);
  EXPECT_FALSE(ed.unhide(true));  // nothing left to bring back
  l.deleteAllCells();
}

TEST_F(Fold, FoldReplacesTheSetByOneNodeAndUnfoldBringsItBack) {
  KWFoldEditor ed(g, KWSymmetricLayoutStyle);
  KWDNodeDList l = listOf({1, 2});
  KWDNode* f = nullptr;
  expectStep("Fold", [&] { return (f = ed.fold(l, true)) != nullptr; }, "bc", "adefolded");
  EXPECT_TRUE(ed.isFoldNode(f));
  // a -> b and c -> e are represented by a -> folded and folded -> e.
  EXPECT_EQ(g->numberOfEdges(), 4);
  EXPECT_EQ(f->degree(), 2);
  long outOfFold = 0;
  for (KWOutDEdgeIter it(f); it; ++it) outOfFold += it.pEdge()->pToNode() == n[4];
  EXPECT_EQ(outOfFold, 1);
  expectStep("Unfold", [&] { return ed.unfold(f, true); }, "folded", "");
  EXPECT_EQ(g->numberOfNodes(), 5);
  EXPECT_EQ(edges(), edges0);
  EXPECT_FALSE(ed.unfold(n[0], true));  // not a fold node
  l.deleteAllCells();
}

TEST_F(Fold, CollapseHidesWhatHangsBelowAndExpandBringsItBack) {
  KWFoldEditor ed(g, KWSymmetricLayoutStyle);
  expectStep("Collapse", [&] { return ed.collapse(n[1], true); }, "b", "abd");  // b -> c -> e
  EXPECT_TRUE(ed.isCollapsed(n[1]));
  EXPECT_FALSE(ed.collapse(n[1], true));
  expectStep("Expand", [&] { return ed.expand(n[1], true); }, "b", "");
  EXPECT_EQ(edges(), edges0);
  EXPECT_FALSE(ed.collapse(n[4], true));  // e has nothing below
}

// Without layout no hook runs; an edge comes back only with both its ends.
TEST_F(Fold, WithoutLayoutNoHookRunsAndAnEdgeComesBackOnlyWithBothEnds) {
  KWFoldEditor ed(g, KWSymmetricLayoutStyle);
  ASSERT_TRUE(ed.collapse(n[2], false));  // hides e, and with it c -> e and d - e
  KWDNodeDList l = listOf({3});
  ASSERT_TRUE(ed.hide(l, false));         // hides d and a -> d
  ASSERT_TRUE(ed.unhide(false));
  EXPECT_EQ(g->numberOfEdges(), 3);       // a -> d back; d - e still waits for e
  ASSERT_TRUE(ed.expand(n[2], false));
  EXPECT_EQ(edges(), edges0);
  EXPECT_TRUE(probe()->log.empty());
  l.deleteAllCells();
}

TEST_F(Fold, DestroyingTheEditorLosesNothing) {
  {
    KWFoldEditor ed(g, KWSymmetricLayoutStyle);
    KWDNodeDList ab = listOf({0, 1}), outer, e = listOf({4});
    outer.appendNode(ed.fold(ab, false));
    outer.appendNode(n[2]);
    ASSERT_NE(ed.fold(outer, false), nullptr);  // a fold inside a fold
    ed.hide(e, false);
    ed.collapse(n[3], false);  // nothing visible below d any more
    EXPECT_EQ(g->numberOfNodes(), 2);
    for (KWDNodeDList* l : {&ab, &outer, &e}) l->deleteAllCells();
  }
  EXPECT_EQ(names().size(), 5u);
  EXPECT_EQ(edges(), edges0);
}

}  // namespace
