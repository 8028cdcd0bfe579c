// Fuzz target: the OML graph-file reader.
//
// Any input either reads or fails with a located message. A failed read
// leaves the target graph exactly as it was. A graph that reads writes back
// out, and that text reads and writes again to the same bytes. Small graphs
// are also laid out (with whatever settings the file gives), must keep every
// node and edge, and must still be writable afterwards.
#include "fuzz/fuzz_support.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const kwfuzz::ReadTarget target(fillTarget, kwfuzz::omlText);

  KWFileError err;
  std::vector<std::string> warnings;
  if (!readOMLGraphFromString(text, "fuzz.oml", target.g(), err, &warnings)) {
    target.checkFailedRead(err, "a failed read changed the target");
    return 0;
  }
  KW_FUZZ_CHECK(err.message.empty(), "a successful read reports an error");
  // Write, read back, write again: the same bytes; small graphs laid out.
  kwfuzz::checkReadGraph(target.g(), "OML write, read, write is not byte-identical");
  return 0;
}
