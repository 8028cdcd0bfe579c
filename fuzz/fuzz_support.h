// Helpers shared by the fuzz targets: a reader of fuzz bytes, a symmetric
// drawing graph with its factories, a graph to read files into, and the
// checks that turn a broken invariant into a crash the fuzzer (or the replay
// test) reports.
#ifndef KW_FUZZ_SUPPORT_H
#define KW_FUZZ_SUPPORT_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/kwbgraph.h"
#include "host/kwdgraph.h"
#include "host/kwfactory.h"
#include "host/kwgfile.h"
#include "module/kwslayfa.h"
#include "tests/support/layout_check.h"

/// Reports a broken invariant and aborts, so that the fuzzer keeps the input.
#define KW_FUZZ_CHECK(cond, what)                                                              \
  do {                                                                                         \
    if (!(cond)) {                                                                             \
      std::fprintf(stderr, "invariant broken at %s:%d: %s (%s)\n", __FILE__, __LINE__, what, #cond); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)

namespace kwfuzz {

/// Reads values from the fuzz bytes front to back; past the end every read
/// answers 0, so any input decodes to something.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return pos_ >= size_; }
  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
    return v;
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  /// A number below bound (bound > 0).
  std::uint32_t below(std::uint32_t bound) { return bound ? u32() % bound : 0; }
  bool flag() { return byte() & 1; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

/// The symmetric layout factory, a host factory using it and one drawing
/// graph of the symmetric style.
using SymmetricGraph = kwtest::Fixture;

/// What a graph held before an operation that must keep every node and edge.
using Snapshot = kwtest::Contents;

/// Aborts with the graph's faults, if checkLayoutInvariants finds any: what
/// it held before (when given) and consistent paths; a read graph's
/// coordinates are whatever its file said.
inline void checkDrawing(const KWDGraph& g, const Snapshot* before) {
  kwtest::LayoutChecks c;
  c.before = before;
  c.bound = HUGE_VAL;
  const std::string faults = kwtest::checkLayoutInvariants(g, c);
  KW_FUZZ_CHECK(faults.empty(), faults.c_str());
}

/// The OML text of g; writing it must succeed.
inline std::string omlText(const KWDGraph& g) {
  std::string out;
  KWFileError err;
  bool ok = writeOMLGraphToString(g, out, err);
  KW_FUZZ_CHECK(ok, err.text().c_str());
  return out;
}

/// A symmetric graph with known contents that a fuzz input is read into, and
/// what it held before: its nodes and edges, and its text as `text` gives it
/// (the OML text, with whatever else a reader may change).
class ReadTarget {
 public:
  using Fill = void (*)(KWDGraph&);
  using Text = std::string (*)(const KWDGraph&);

  ReadTarget(Fill fill, Text text) : text_(text), before_(filled(fill)), beforeText_(text(g())) {}

  KWDGraph& g() const { return *graph_.g(); }
  const Snapshot& before() const { return before_; }

  /// A read that failed gave its reason and left every node, edge and
  /// setting of the target as it was; `what` names the change otherwise.
  void checkFailedRead(const KWFileError& err, const char* what) const {
    KW_FUZZ_CHECK(!err.message.empty(), "a failed read gives no reason");
    checkDrawing(g(), &before_);
    KW_FUZZ_CHECK(text_(g()) == beforeText_, what);
  }

 private:
  const KWDGraph& filled(Fill fill) {
    fill(g());
    return g();
  }

  SymmetricGraph graph_;
  Text text_;
  Snapshot before_;
  std::string beforeText_;
};

/// Lays g out and checks that the drawing kept every node and edge with
/// consistent paths and coordinates within what the graph files hold.
inline void layOutAndCheck(KWDGraph& g) {
  const std::string faults = kwtest::layOutAndCheck(g);
  KW_FUZZ_CHECK(faults.empty(), faults.c_str());
}

/// Checks a graph that a reader built: consistent paths; its OML text reads
/// back into a fresh graph that writes the same text (`what` names the
/// failure); a small one also lays out and can still be written.
inline void checkReadGraph(KWDGraph& g, const char* what) {
  checkDrawing(g, nullptr);
  const std::string first = omlText(g);
  SymmetricGraph copy;
  KWFileError err;
  bool reread = readOMLGraphFromString(first, "first.oml", *copy.g(), err);
  KW_FUZZ_CHECK(reread, err.text().c_str());
  KW_FUZZ_CHECK(omlText(*copy.g()) == first, what);
  if (g.numberOfNodes() <= 24 && g.numberOfEdges() <= 48) {
    layOutAndCheck(g);
    omlText(g);
  }
}

}  // namespace kwfuzz

#endif
