// Fuzz target: a whole layout with edge routing on a graph built from the
// fuzz bytes: nodes with sizes and positions (constrained, dummy), edges
// including loops and multi-edges, specified connectors and bends, and graph
// settings taken from a table of extreme values.
//
// After the layout every node and edge is still in the graph between its own
// end nodes with a consistent path, constrained nodes have not moved, every
// coordinate stays within the range the graph files hold, a second run with
// the same settings gives the same drawing, and the graph can be written.
#include <limits>

#include "fuzz/fuzz_support.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

namespace {

const int kIntValues[] = {0, 1, -1, 2, 3, 5, 20, 75, 100, 1000, 100000, std::numeric_limits<int>::max(),
                          std::numeric_limits<int>::min(), -1000};
const double kRealValues[] = {0.0,
                              1.0,
                              -1.0,
                              0.5,
                              1e-300,
                              1e300,
                              -1e300,
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::denorm_min(),
                              100.0};
const long kSizes[] = {20, 0, 1, 60, 7, 1000, 1000000, 1000000000};
const long kCoords[] = {0, 10, -10, 1000, -1000, 1000000, -1000000, 1000000000, -1000000000};

int intValue(kwfuzz::Bytes& in) {
  std::uint8_t b = in.byte();
  if (b < sizeof kIntValues / sizeof kIntValues[0]) return kIntValues[b];
  if (b < 128) return static_cast<int>(b) - 64;
  return in.i32();
}
double realValue(kwfuzz::Bytes& in) {
  std::uint8_t b = in.byte();
  if (b < sizeof kRealValues / sizeof kRealValues[0]) return kRealValues[b];
  return static_cast<double>(static_cast<int>(b) - 128) / 8.0;
}
long pick(kwfuzz::Bytes& in, const long* table, std::size_t n) {
  std::uint8_t b = in.byte();
  if (b < n) return table[b];
  return static_cast<long>(in.i32() % 2000);
}

void settings(kwfuzz::Bytes& in, KWSGraphTailor& t) {
  std::uint16_t which = static_cast<std::uint16_t>(in.byte() << 8 | in.byte());
  if (which & 1) t.springConstant(realValue(in));
  if (which & 2) t.terminationValue(realValue(in));
  if (which & 4) t.maxNodeIterations(intValue(in));
  if (which & 8) t.maxNodesMovedMultiplier(intValue(in));
  if (which & 16) t.shrinkagePerMil(intValue(in));
  if (which & 32) t.nodeSpacing(intValue(in));
  if (which & 64) t.dummyNodeSpacing(intValue(in));
  if (which & 128) t.randomSeed(intValue(in));
  if (which & 256) t.incrementalWithinComponentLayout(1);
  if (which & 512) t.firstInitialization(0);
  if (which & 1024) t.incrementalDisconnectedNodesLayout(1);
  if (which & 2048) t.maxMoveIterations(intValue(in));
  t.routeEdges((which & 4096) ? 0 : 1);
}

struct Built {
  std::vector<KWDNode*> nodes;
  kwtest::LayoutChecks checks;  // with the constrained nodes' places
};

void build(kwfuzz::Bytes& in, KWDGraph& g, Built& b) {
  settings(in, *g.pSTailor());
  const int n = in.byte() % 40;
  for (int i = 0; i < n; ++i) {
    std::uint8_t kind = in.byte();
    long w = (kind & 1) ? pick(in, kSizes, 8) : 20;
    long h = (kind & 2) ? pick(in, kSizes, 8) : 20;
    if (w < 0) w = -w;
    if (h < 0) h = -h;
    long x = (kind & 4) ? pick(in, kCoords, 9) : 0;
    long y = (kind & 8) ? pick(in, kCoords, 9) : 0;
    KWDNode* node = g.newNode(x, y, w, h, "n" + std::to_string(i));
    if (kind & 16) node->dummy(true);
    bool pin = (kind & 32) != 0;
    if (pin) b.checks.pins.push_back(kwtest::pinAt(node, x, y));
    b.nodes.push_back(node);
  }
  if (n == 0) return;
  const int m = in.byte() % 80;
  for (int k = 0; k < m && !in.empty(); ++k) {
    std::uint8_t kind = in.byte();
    KWDNode* from = b.nodes[in.byte() % n];
    KWDNode* to = (kind & 1) ? from : b.nodes[in.byte() % n];  // loops
    int copies = (kind & 2) ? 1 + in.byte() % 4 : 1;            // multi-edges
    for (int c = 0; c < copies; ++c) {
      KWDEdge* e = g.newEdge(from, to);
      if (kind & 4) e->pFromConnector(new KWConnector(pick(in, kCoords, 4), pick(in, kCoords, 4), true));
      if (kind & 8) e->pToConnector(new KWConnector(pick(in, kCoords, 4), pick(in, kCoords, 4), true));
      if (kind & 16) e->keepsConnectors(true);
      if (kind & 32) e->ntAppendBend(KWPoint(pick(in, kCoords, 9), pick(in, kCoords, 9)));
    }
  }
}

/// Lays g out and checks everything that must hold afterwards.
std::vector<long> layOut(KWDGraph& g, const Built& b) {
  const std::string faults = kwtest::layOutAndCheck(g, b.checks);
  KW_FUZZ_CHECK(faults.empty(), faults.c_str());
  KW_FUZZ_CHECK(!g.layoutRunning(), "layout left the running flag on");
  for (const kwtest::Pin& p : b.checks.pins)
    KW_FUZZ_CHECK(p.node->pSTailor()->constrained() == 1, "a node lost its constrained flag");
  return kwtest::drawing(g);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The same graph twice: the same drawing.
  std::vector<long> first;
  for (int round = 0; round < 2; ++round) {
    kwfuzz::Bytes in(data, size);
    kwfuzz::SymmetricGraph sg;
    Built b;
    build(in, *sg.g(), b);
    std::vector<long> d = layOut(*sg.g(), b);
    if (round == 0) {
      first = d;
      kwfuzz::omlText(*sg.g());  // the drawing can be written
    } else {
      KW_FUZZ_CHECK(d == first, "the same graph and seed gave another drawing");
    }
  }
  return 0;
}
