// Properties of whole layouts, swept over several hundred seeded random graphs
// of several families (cycles, grids, trees, sparse graphs, forests, stars),
// dressed with loops, multi-edges, disconnected nodes, pinned nodes, dummy
// nodes, mixed node sizes and spacings, with edge routing on or off:
//
//  - every node and edge is still in the graph afterwards, each edge between
//    its own end nodes and with a path that runs through its own bends;
//  - every coordinate lies within a bound derived from the graph's node
//    sizes, spacing and node count;
//  - pinned (constrained) nodes keep their exact positions;
//  - the same graph and seed give the same drawing;
//  - the drawing written as OML reads back and writes again to the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "host/kwgfile.h"
#include "test_engine_access.h"

using kwtest::Fixture;

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

/// The nodes that must not move, with the place they must keep.
struct Pinned {
  KWDNode* node;
  long x, y;
};

/// Builds the recipe's graph into f; the same recipe always builds the same graph.
std::vector<Pinned> build(Fixture& f, const Recipe& x) {
  KWRandom r(static_cast<std::uint64_t>(x.index) * 104729 + 7);
  auto size = [&r] { return 10 + static_cast<long>(r.next() % 71); };
  std::vector<KWDNode*> v;
  for (int i = 0; i < x.n; ++i) v.push_back(f.node(size(), size()));
  auto edge = [&](int a, int b) { f.edge(v[a], v[b]); };
  const int n = x.n;
  switch (x.family) {
    case 0:  // cycle
      for (int i = 0; i < n; ++i) edge(i, (i + 1) % n);
      break;
    case 1: {  // grid, as square as n allows
      int cols = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(n))));
      for (int i = 0; i < n; ++i) {
        if ((i + 1) % cols != 0 && i + 1 < n) edge(i, i + 1);
        if (i + cols < n) edge(i, i + cols);
      }
      break;
    }
    case 2:  // random tree
      for (int i = 1; i < n; ++i) edge(static_cast<int>(r.next() % i), i);
      break;
    case 3:  // sparse: a tree plus chords
      for (int i = 1; i < n; ++i) edge(static_cast<int>(r.next() % i), i);
      for (int k = 0; k < n / 2; ++k) edge(static_cast<int>(r.next() % n), static_cast<int>(r.next() % n));
      break;
    case 4:  // forest of small components
      for (int i = 1; i < n; ++i)
        if (r.next() % 3 != 0) edge(static_cast<int>(r.next() % i), i);
      break;
    default:  // star
      for (int i = 1; i < n; ++i) edge(0, i);
  }
  // Dressing: loops, multi-edges, disconnected nodes, dummy nodes, pins.
  for (int k = static_cast<int>(r.next() % 3); k > 0; --k) {
    int a = static_cast<int>(r.next() % n);
    edge(a, a);
  }
  for (int k = static_cast<int>(r.next() % 3); k > 0 && f.g()->numberOfEdges() > 0; --k) {
    int a = static_cast<int>(r.next() % n), b = static_cast<int>(r.next() % n);
    edge(a, b);
    edge(b, a);
  }
  for (int k = static_cast<int>(r.next() % 3); k > 0; --k) v.push_back(f.node(size(), size()));
  for (KWDNode* node : v)
    if (r.next() % 10 == 0) node->dummy(true);
  std::vector<Pinned> pins;
  if (r.next() % 3 == 0) {
    KWDNode* p = v[r.next() % v.size()];
    long px = static_cast<long>(r.next() % 2001) - 1000, py = static_cast<long>(r.next() % 2001) - 1000;
    p->ntMoveTo(px, py);
    p->pSTailor()->constrained(1);
    pins.push_back({p, px, py});
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
double bound(const KWDGraph& g, const std::vector<Pinned>& pins) {
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
  for (const Pinned& p : pins) far = std::max({far, std::fabs(static_cast<double>(p.x)), std::fabs(static_cast<double>(p.y))});
  double shrunk = t->shrinkagePerMil() > 0 ? 2.0 : 1.0;
  return 4.0 * shrunk * (n + 1.0) * (edge + diag + 20.0) + far;
}

/// Node centres and bends, in list order.
std::vector<long> drawing(const KWDGraph& g) {
  std::vector<long> d;
  for (KWDNodeIter it(&g); it; ++it) {
    d.push_back(it.pNode()->ntX());
    d.push_back(it.pNode()->ntY());
  }
  for (KWDEdgeIter it(&g); it; ++it)
    for (const KWPoint& p : it.pEdge()->bendPoints()) {
      d.push_back(p.x());
      d.push_back(p.y());
    }
  return d;
}

std::string omlOf(const KWDGraph& g) {
  std::string out;
  KWFileError err;
  EXPECT_TRUE(writeOMLGraphToString(g, out, err)) << err.text();
  return out;
}

/// What a graph holds: its nodes in order, its edges in order with their ends.
struct Contents {
  std::vector<KWDNode*> nodes;
  std::vector<KWDEdge*> edges;
  std::vector<std::pair<KWDNode*, KWDNode*>> ends;
  explicit Contents(const KWDGraph& g) {
    for (KWDNodeIter it(&g); it; ++it) nodes.push_back(it.pNode());
    for (KWDEdgeIter it(&g); it; ++it) {
      edges.push_back(it.pEdge());
      ends.emplace_back(it.pEdge()->pFromNode(), it.pEdge()->pToNode());
    }
  }
};

/// Whether an edge's pieces, one more than its bends, run from its source
/// through its bends to its target.
bool pathIsConsistent(const KWDEdge* e) {
  if (e->pathEdgeList().length() != e->numberOfBends() + 1) return false;
  const KWGNode* at = e->pFromNode();
  KWDListIter b(e->bendList());
  for (KWDListIter p(e->pathEdgeList()); p; ++p) {
    const KWPEdge* pe = static_cast<const KWPEdge*>(p.pObject());
    if (pe->pFromNode() != at) return false;
    at = b ? static_cast<const KWGNode*>(b.pObject()) : e->pToNode();
    if (b) ++b;
    if (pe->pToNode() != at) return false;
  }
  return at == e->pToNode() && !b;
}

/// Checks one laid-out graph against the contents it had before: nothing
/// lost or rewired, pins kept, no coordinate beyond the bound.
void checkLayout(const KWDGraph& g, const Contents& before, const std::vector<Pinned>& pins, const std::string& what) {
  SCOPED_TRACE(what);
  const Contents after(g);
  ASSERT_EQ(after.nodes, before.nodes) << "the node list changed";
  ASSERT_EQ(after.edges, before.edges) << "an edge was added, lost, replaced or moved";
  for (size_t i = 0; i < after.edges.size(); ++i) {
    EXPECT_EQ(after.edges[i]->pOwnerGraph(), &g) << "edge " << i;
    EXPECT_EQ(after.ends[i], before.ends[i]) << "edge " << i << " lost an end";
    EXPECT_TRUE(pathIsConsistent(after.edges[i])) << "edge " << i << ": the path does not run through the bends";
  }
  for (const Pinned& p : pins) {
    EXPECT_EQ(p.node->ntX(), p.x) << "a pinned node moved";
    EXPECT_EQ(p.node->ntY(), p.y) << "a pinned node moved";
  }
  double worst = 0.0;
  for (long c : drawing(g)) worst = std::max(worst, std::fabs(static_cast<double>(c)));
  EXPECT_LE(worst, bound(g, pins)) << "a coordinate is out of bounds; the drawing:\n" << omlOf(g);
}

}  // namespace

TEST(LayoutProperties, RandomGraphsKeepContentsPinsBoundsAndDeterminism) {
  for (int k = 0; k < kGraphs; ++k) {
    const Recipe x = recipe(k);
    const std::string what = describe(x);
    std::vector<long> first;
    std::string firstOml;
    for (int round = 0; round < 2; ++round) {
      Fixture f;
      std::vector<Pinned> pins = build(f, x);
      const Contents before(*f.g());
      ASSERT_EQ(layoutGraph(f.g(), KWSymmetricLayoutStyle), KWNoError) << what;
      checkLayout(*f.g(), before, pins, what);
      if (round == 0) {
        first = drawing(*f.g());
        firstOml = omlOf(*f.g());
        // Write, read, write: the same bytes.
        Fixture back;
        KWFileError err;
        ASSERT_TRUE(readOMLGraphFromString(firstOml, "props.oml", *back.g(), err)) << what << ": " << err.text();
        EXPECT_EQ(omlOf(*back.g()), firstOml) << what;
      } else {
        EXPECT_EQ(drawing(*f.g()), first) << what << ": the same seed gave another drawing";
        EXPECT_EQ(omlOf(*f.g()), firstOml) << what;
      }
    }
    if (HasFailure()) break;  // one graph's report is enough
  }
}

TEST(LayoutProperties, RepeatedLayoutsOfOneGraphKeepContents) {
  // A graph laid out again and again (fresh, then incremental) never loses
  // anything to the bundles, loops and trees taken out and put back each time.
  for (int k = 0; k < 40; ++k) {
    const Recipe x = recipe(1000 + k);
    Fixture f;
    std::vector<Pinned> pins = build(f, x);
    const Contents before(*f.g());
    for (int run = 0; run < 3; ++run) {
      if (run == 2) f.t()->incrementalWithinComponentLayout(1);
      ASSERT_EQ(layoutGraph(f.g(), KWSymmetricLayoutStyle), KWNoError);
      checkLayout(*f.g(), before, pins, describe(x) + ", run " + std::to_string(run));
    }
    if (HasFailure()) break;
  }
}
