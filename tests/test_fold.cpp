// Reactions to folding, expanding and hiding: which nodes are pinned and
// released, and an edit with a layout that leaves the rest of the drawing still.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/kwfold.h"
#include "host/kwrandom.h"
#include "support/route_probe.h"

namespace {

/// Four nodes a, b, c, d in a row, and the lists the hooks fill and read.
struct FoldHooks : KWSRouteGraph {
  KWDNode *a, *b, *c, *d;
  KWDNodeDList records, chosen;
  FoldHooks() {
    a = node(0, 0, 10, 10, "a");
    b = node(50, 0, 10, 10, "b");
    c = node(100, 0, 10, 10, "c");
    d = node(150, 0, 10, 10, "d");
  }
  ~FoldHooks() {
    records.deleteAllCells();
    chosen.deleteAllCells();
  }
  std::string recorded() const {
    std::string s;
    for (KWDNodeDListIter it(records); it; ++it) s += it.pNode()->name();
    return s;
  }
  std::string pinned() const {
    std::string s;
    for (KWDNode* x : n)
      if (x->pSTailor()->constrained()) s += x->name();
    return s;
  }
};

TEST(FoldHooks, BeforePinsAndRecordsTheOthersInReverseOrderAfterReleasesThem) {
  using Hook = void (*)(FoldHooks&);
  const struct {
    const char* name;
    const char* pinnedFirst;
    Hook before, after;
    const char* recorded;  // the nodes the before-hook pinned, last first
  } cases[] = {
      {"fold a, b", "", [](FoldHooks& h) { h.chosen.appendNode(h.a); h.chosen.appendNode(h.b);
                                           h.probe()->actBeforeFoldWithLayout(&h.records, &h.chosen); },
       [](FoldHooks& h) { h.probe()->actAfterFoldWithLayout(&h.records); }, "dc"},
      {"fold a, d pinned before", "d", [](FoldHooks& h) { h.chosen.appendNode(h.a);
                                                         h.probe()->actBeforeFoldWithLayout(&h.records, &h.chosen); },
       [](FoldHooks& h) { h.probe()->actAfterFoldWithLayout(&h.records); }, "cb"},
      {"expand c", "", [](FoldHooks& h) { h.probe()->actBeforeExpandWithLayout(&h.records, h.c); },
       [](FoldHooks& h) { h.probe()->actAfterExpandWithLayout(&h.records); }, "dba"},
      {"collapse c", "", [](FoldHooks& h) { h.probe()->actBeforeCollapseWithLayout(&h.records, h.c); },
       [](FoldHooks& h) { h.probe()->actAfterCollapseWithLayout(&h.records); }, "dba"},
      {"unfold a", "", [](FoldHooks& h) { h.probe()->actBeforeUnfoldWithLayout(&h.records, h.a); },
       [](FoldHooks& h) { h.probe()->actAfterUnfoldWithLayout(&h.records); }, "dcb"},
      {"hide c", "", [](FoldHooks& h) { h.chosen.appendNode(h.c);
                                        h.probe()->actBeforeHideWithLayout(&h.records, &h.chosen); },
       [](FoldHooks& h) { h.probe()->actAfterHideWithLayout(&h.records); }, "dba"},
      {"unhide", "", [](FoldHooks& h) { h.probe()->actBeforeUnhideWithLayout(&h.records); },
       [](FoldHooks& h) { h.probe()->actAfterUnhideWithLayout(&h.records); }, "dcba"},
  };
  for (const auto& c : cases) {
    FoldHooks h;
    for (KWDNode* x : h.n)
      if (std::string(c.pinnedFirst).find(x->name()) != std::string::npos) h.pin(x);
    c.before(h);
    EXPECT_EQ(h.recorded(), c.recorded) << c.name;
    std::string all = std::string(c.pinnedFirst) + c.recorded;
    std::sort(all.begin(), all.end());
    EXPECT_EQ(h.pinned(), all) << c.name;
    c.after(h);
    EXPECT_EQ(h.pinned(), c.pinnedFirst) << c.name;
    EXPECT_EQ(h.recorded(), c.recorded) << c.name << ": the list is read, not emptied";
  }
}

TEST(FoldHooks, AfterHooksReleaseExactlyTheListedNodesAndNoListMeansNothing) {
  FoldHooks h;
  h.pinAll();
  h.records.appendNode(h.b);
  h.records.appendNode(h.d);
  h.probe()->actAfterHideWithLayout(&h.records);
  h.probe()->actBeforeFoldWithLayout(nullptr, &h.chosen);
  EXPECT_EQ(h.pinned(), "ac");
}

// ---- edits with a layout ------------------------------------------------------

std::map<const KWDNode*, KWPoint> positions(const KWDGraph* g) {
  std::map<const KWDNode*, KWPoint> m;
  for (KWDNodeIter it(g); it; ++it) m[it.pNode()] = KWPoint(it.pNode()->ntX(), it.pNode()->ntY());
  return m;
}

TEST(FoldLayout, HidingTwoNodesLeavesEveryOtherNodeExactlyWhereItWas) {
  for (int seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE(seed);
    KWSRouteGraph h;
    h.tailor()->randomSeed(seed);
    KWRandom rnd(static_cast<std::uint64_t>(seed));
    // A cycle with a few trees and a chord: reduction, descent and the tree
    // pass all have something to do in an unpinned run.
    for (int i = 0; i < 8; ++i) h.node(0, 0, 20 + rnd.next() % 20, 20);
    for (size_t i = 0; i < 8; ++i) h.edge(i, (i + 1) % 8);
    h.edge(0, 4);
    for (int i = 0; i < 5; ++i) h.edge(h.n[rnd.next() % 8], h.node(0, 0, 15, 15));
    KWDNode* preset = h.n[3];
    h.pin(preset);  // the user's own pin survives the edit
    ASSERT_EQ(h.layout(), KWNoError);
    std::map<const KWDNode*, KWPoint> before = positions(h.g());

    KWFoldEditor ed(h.g(), KWSymmetricLayoutStyle);
    KWDNodeDList hide;
    hide.appendNode(h.n[1]);
    hide.appendNode(h.n[9]);
    ASSERT_TRUE(ed.hide(hide, true));
    EXPECT_EQ(ed.lastLayoutStatus(), KWNoError);
    std::map<const KWDNode*, KWPoint> after = positions(h.g());
    EXPECT_EQ(after.size(), before.size() - 2);
    for (auto& p : after) EXPECT_EQ(p.second, before.at(p.first)) << p.first->name();
    for (KWDNodeIter it(h.g()); it; ++it)
      EXPECT_EQ(it.pNode()->pSTailor()->constrained(), it.pNode() == preset ? 1 : 0);

    // Unhiding brings them back; again the others stay where they are.
    ASSERT_TRUE(ed.unhide(true));
    for (auto& p : after) EXPECT_EQ(KWPoint(p.first->ntX(), p.first->ntY()), p.second);
    EXPECT_EQ(h.g()->numberOfNodes(), static_cast<long>(before.size()));
    hide.deleteAllCells();
  }
}

}  // namespace
