// Fuzz target: the OML graph-file reader.
//
// Any input either reads or fails with a located message. A failed read
// leaves the target graph exactly as it was. A graph that reads writes back
// out, and that text reads and writes again to the same bytes. Small graphs
// are also laid out (with whatever settings the file gives), must keep every
// node and edge, and must still be writable afterwards.
#include "fuzz/fuzz_support.h"
#include "host/kwbgraph.h"
#include "host/kwgfile.h"
#include "tailor/kwsgrta.h"

namespace {

/// A small graph with settings, read into by every input.
void fillTarget(KWDGraph& g) {
  KWDNode* a = g.newNode(10, 20, 30, 40, "keep \"me\"");
  KWDNode* b = g.newNode(-50, 60, 20, 20, "b");
  g.newEdge(a, b, "ab");
  g.newEdge(b, b, "loop");
  g.pSTailor()->randomSeed(77);
  g.pSTailor()->routeEdges(1);
}

std::string omlText(const KWDGraph& g) {
  std::string out;
  KWFileError err;
  bool ok = writeOMLGraphToString(g, out, err);
  KW_FUZZ_CHECK(ok, err.text().c_str());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  kwfuzz::SymmetricGraph target;
  fillTarget(*target.g());
  const kwfuzz::Snapshot before(*target.g());
  const std::string beforeText = omlText(*target.g());

  KWFileError err;
  std::vector<std::string> warnings;
  if (!readOMLGraphFromString(text, "fuzz.oml", *target.g(), err, &warnings)) {
    KW_FUZZ_CHECK(!err.message.empty(), "a failed read gives no reason");
    kwfuzz::checkSameContents(*target.g(), before);
    KW_FUZZ_CHECK(omlText(*target.g()) == beforeText, "a failed read changed the target");
    return 0;
  }
  KW_FUZZ_CHECK(err.message.empty(), "a successful read reports an error");
  for (KWDEdgeIter it(target.g()); it; ++it) kwfuzz::checkPath(it.pEdge());

  // Write, read back, write again: the same bytes.
  const std::string first = omlText(*target.g());
  kwfuzz::SymmetricGraph copy;
  bool reread = readOMLGraphFromString(first, "first.oml", *copy.g(), err);
  KW_FUZZ_CHECK(reread, err.text().c_str());
  KW_FUZZ_CHECK(omlText(*copy.g()) == first, "OML write, read, write is not byte-identical");

  // Lay small graphs out and check that the drawing keeps everything.
  KWDGraph& g = *target.g();
  if (g.numberOfNodes() <= 24 && g.numberOfEdges() <= 48) {
    const kwfuzz::Snapshot snap(g);
    KWErrorCodeEnum rc = layoutGraph(&g, KWSymmetricLayoutStyle);
    KW_FUZZ_CHECK(rc == KWNoError, "layout failed");
    kwfuzz::checkSameContents(g, snap);
    for (KWDEdgeIter it(&g); it; ++it) kwfuzz::checkPath(it.pEdge());
    kwfuzz::checkBounded(g, 1e9);
    omlText(g);
  }
  return 0;
}
