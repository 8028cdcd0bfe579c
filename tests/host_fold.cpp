// Fold, unfold, collapse, expand, hide and unhide with the style's reactions.
#include <gtest/gtest.h>

#include <algorithm>
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
    std::string now = names(), want = left;  // as a set: undone steps put nodes back at the end
    std::sort(now.begin(), now.end());
    std::sort(want.begin(), want.end());
    EXPECT_TRUE(left.empty() || now == want) << names();
  }
};

// Each operation with layout and its undoing: the graph it leaves, the
// editor's view of it, a refused call, and nothing lost on the way back.
TEST_F(Fold, OperationsRunTheHooksAroundTheLayoutAndAreUndoneWithoutLoss) {
  KWFoldEditor ed(g, KWSymmetricLayoutStyle);
  KWDNodeDList bd = listOf({1, 3}), bc = listOf({1, 2});
  KWDNode* f = nullptr;
  const auto foldedEdges = [&] {  // a -> b and c -> e are represented by a -> folded and folded -> e
    long toE = 0;
    for (KWOutDEdgeIter it(f); it; ++it) toE += it.pEdge()->pToNode() == n[4];
    return f->degree() == 2 && toE == 1;
  };
  const struct {
    const char *op, *undo, *given, *undoGiven, *left;
    long edgesLeft;  // only c -> e after hiding b and d; a -> b and a -> d after collapsing b
    std::function<bool()> run, back, holds, refused;
  } steps[] = {
      {"Hide", "Unhide", "bd", "", "ace", 1, [&] { return ed.hide(bd, true); }, [&] { return ed.unhide(true); },
       [&] { return ed.isHidden(n[1]) && n[0]->degree() == 0; }, [&] { return ed.unhide(true); }},
      {"Fold", "Unfold", "bc", "folded", "adefolded", 4, [&] { return (f = ed.fold(bc, true)) != nullptr; },
       [&] { return ed.unfold(f, true); }, [&] { return ed.isFoldNode(f) && foldedEdges(); },
       [&] { return ed.unfold(n[0], true); }},
      {"Collapse", "Expand", "b", "b", "abd", 2, [&] { return ed.collapse(n[1], true); },
       [&] { return ed.expand(n[1], true); }, [&] { return ed.isCollapsed(n[1]) && !ed.collapse(n[1], true); },
       [&] { return ed.collapse(n[4], true); }},  // e has nothing below
  };
  for (const auto& s : steps) {
    expectStep(s.op, s.run, s.given, s.left);
    EXPECT_EQ(g->numberOfEdges(), s.edgesLeft) << s.op;
    EXPECT_TRUE(s.holds()) << s.op;
    expectStep(s.undo, s.back, s.undoGiven, "");  // nodes are pinned before they come back
    EXPECT_EQ(g->numberOfNodes(), 5) << s.undo;
    EXPECT_EQ(edges(), edges0) << s.undo;
    EXPECT_FALSE(s.refused()) << s.op;
  }
  bd.deleteAllCells();
  bc.deleteAllCells();
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
