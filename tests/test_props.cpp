// Whole layouts of several hundred seeded random graphs (cycles, grids, trees,
// sparse graphs, forests, stars) dressed with loops, multi-edges, lone, pinned
// and dummy nodes, mixed sizes and spacings, routing on or off: nothing is lost
// or rewired, pins hold over repeated runs, coordinates stay within a bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "support/layout_check.h"

using kwtest::Fixture;
using kwtest::Pin;

namespace {

/// What one random graph is made of; everything follows from the index.
struct Recipe {
  int index;
  int family;
  int n;
  bool route;
  int nodeSpacing;
  int shrinkage;
  int seed;
};

const char* const kFamilies[] = {"cycle", "grid", "tree", "sparse", "forest", "star"};
const int kFamilyCount = 6;
const int kGraphs = 360;

Recipe recipe(int index) {
  KWRandom r(static_cast<std::uint64_t>(index) * 7919 + 13);
  Recipe x;
  x.index = index;
  x.family = index % kFamilyCount;
  x.n = 2 + static_cast<int>(r.next() % 24);
  x.route = r.next() % 2 == 0;
  static const int spacings[] = {75, 0, 30, 150, 75};
  x.nodeSpacing = spacings[r.next() % 5];
  static const int shrink[] = {0, 0, 300, 1000};
  x.shrinkage = shrink[r.next() % 4];
  x.seed = static_cast<int>(r.next() % 1000) - 100;  // some negative seeds too
  return x;
}

std::string describe(const Recipe& x) {
  std::ostringstream s;
  s << "graph #" << x.index << " (" << kFamilies[x.family] << ", " << x.n << " nodes, routing "
    << (x.route ? "on" : "off") << ", nodeSpacing " << x.nodeSpacing << ", shrinkagePerMil " << x.shrinkage
    << ", seed " << x.seed << ")";
  return s.str();
}

/// Builds the recipe's graph into f from the graph families, nodes of random
/// sizes; the same recipe always builds the same graph.
std::vector<Pin> build(Fixture& f, const Recipe& x) {
  KWRandom r(static_cast<std::uint64_t>(x.index) * 104729 + 7);
  auto size = [&r] { return 10 + static_cast<long>(r.next() % 71); };
  const int n = x.n;
  const unsigned seed = static_cast<unsigned>(r.next());
  using Family = std::vector<KWDNode*> (*)(Fixture&, int, unsigned);
  static const Family families[kFamilyCount] = {
      [](Fixture& g, int k, unsigned) { return kwtest::cycle(g, k); },
      [](Fixture& g, int k, unsigned) { return kwtest::grid(g, std::max(1, k / 5), 5); },
      [](Fixture& g, int k, unsigned s) { return kwtest::randomTree(g, k, s); },
      [](Fixture& g, int k, unsigned s) { return kwtest::sparse(g, k, s); },
      [](Fixture& g, int k, unsigned s) {  // a forest: a tree and a path
        std::vector<KWDNode*> w = kwtest::randomTree(g, k / 2 + 1, s);
        for (KWDNode* node : kwtest::path(g, k - k / 2)) w.push_back(node);
        return w;
      },
      [](Fixture& g, int k, unsigned) { return kwtest::star(g, k - 1); }};
  std::vector<KWDNode*> v = families[x.family](f, n, seed);
  for (KWDNode* node : v) node->size(size(), size());
  auto edge = [&](int a, int b) { f.edge(v[a], v[b]); };
  // Dressing: loops, multi-edges, disconnected nodes, dummy nodes, pins.
  for (int k = static_cast<int>(r.next() % 3); k > 0; --k) {
    int a = static_cast<int>(r.next() % v.size());
    edge(a, a);
  }
  for (int k = static_cast<int>(r.next() % 3); k > 0 && f.g()->numberOfEdges() > 0; --k) {
    int a = static_cast<int>(r.next() % v.size()), b = static_cast<int>(r.next() % v.size());
    edge(a, b);
    edge(b, a);
  }
  for (int k = static_cast<int>(r.next() % 3); k > 0; --k) v.push_back(f.node(size(), size()));
  for (KWDNode* node : v)
    if (r.next() % 10 == 0) node->dummy(true);
  std::vector<Pin> pins;
  if (r.next() % 3 == 0) {
    KWDNode* p = v[r.next() % v.size()];
    long px = static_cast<long>(r.next() % 2001) - 1000, py = static_cast<long>(r.next() % 2001) - 1000;
    pins.push_back(kwtest::pinAt(p, px, py));
  }
  KWSGraphTailor* t = f.t();
  t->routeEdges(x.route ? 1 : 0);
  t->nodeSpacing(x.nodeSpacing);
  t->shrinkagePerMil(x.shrinkage);
  t->randomSeed(x.seed);
  return pins;
}

/// Generous bound on the drawing's coordinates: every component fits in a
/// square whose side is the node count times the longest edge's natural
/// length plus the largest node, components and disconnected nodes are laid
/// side by side, and pinned nodes stay wherever they were. With shrinkage
/// the descent works in shrunken units, whose rounding the scale factor
/// multiplies back, so the bound doubles.
double bound(const KWDGraph& g, const std::vector<Pin>& pins) {
  double diag = 0.0;
  for (KWDNodeIter it(&g); it; ++it) {
    double w = static_cast<double>(it.pNode()->ntWidth()), h = static_cast<double>(it.pNode()->ntHeight());
    diag = std::max(diag, std::sqrt(w * w + h * h));
  }
  const KWSGraphTailor* t = g.pSTailor();
  double spread = std::max({1.0, (t->nodeSpacing() + 100.0) / 100.0, (t->dummyNodeSpacing() + 100.0) / 100.0});
  double edge = diag * spread;
  double n = static_cast<double>(g.numberOfNodes());
  double far = 0.0;
  for (const Pin& p : pins) far = std::max({far, std::fabs(static_cast<double>(p.x)), std::fabs(static_cast<double>(p.y))});
  double shrunk = t->shrinkagePerMil() > 0 ? 2.0 : 1.0;
  return 4.0 * shrunk * (n + 1.0) * (edge + diag + 20.0) + far;
}

}  // namespace

TEST(LayoutProperties, RandomGraphsKeepContentsPinsAndBounds) {
  for (int k = 0; k < kGraphs; ++k) {
    const Recipe x = recipe(k);
    Fixture f;
    std::vector<Pin> pins = build(f, x);
    const kwtest::Contents before(*f.g());
    // Every ninth graph is laid out again and again (fresh, then incremental):
    // nothing is lost to the bundles, loops and trees taken out and put back.
    for (int run = 0; run < (k % 9 == 0 ? 3 : 1); ++run) {
      const std::string what = describe(x) + ", run " + std::to_string(run);
      if (run == 2) f.t()->incrementalWithinComponentLayout(1);
      ASSERT_EQ(layoutGraph(f.g(), KWSymmetricLayoutStyle), KWNoError) << what;
      // Nothing lost or rewired, pins kept, every loop drawn, no coordinate beyond the bound.
      kwtest::LayoutChecks c;
      c.before = &before;
      c.pins = pins;
      c.bound = bound(*f.g(), pins);
      c.loopsDrawn = true;
      EXPECT_EQ(kwtest::checkLayoutInvariants(*f.g(), c), "") << what;
    }
    if (HasFailure()) break;  // one graph's report is enough
  }
}
