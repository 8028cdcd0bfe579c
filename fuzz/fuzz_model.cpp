// Fuzz target: the legacy model-file reader.
//
// Any input either reads or fails with a located message; a failed read
// leaves the target graph exactly as it was, and so does a failed tailoring
// pass. A graph that reads can be written as OML and read back to the same
// text. Small graphs are laid out with the settings the file gives.
#include "fuzz/fuzz_support.h"
#include "host/kwbgraph.h"
#include "host/kwgfile.h"
#include "host/kwmodfil.h"
#include "tailor/kwsgrta.h"

namespace {

void fillTarget(KWDGraph& g) {
  KWDNode* a = g.newNode(10, 20, 30, 40, "a");
  KWDNode* b = g.newNode(-50, 60, 20, 20, "b");
  g.newEdge(a, b, "ab");
  g.pSTailor()->springConstant(2.5);
  g.pSTailor()->maxNodeIterations(7);
}

std::string omlText(const KWDGraph& g) {
  std::string out;
  KWFileError err;
  bool ok = writeOMLGraphToString(g, out, err);
  KW_FUZZ_CHECK(ok, err.text().c_str());
  return out;
}

/// The settings OML files do not carry, as text.
std::string hiddenSettings(const KWDGraph& g) {
  const KWSGraphTailor* t = g.pSTailor();
  char buf[256];
  std::snprintf(buf, sizeof buf, "%a %a %d %d %d %d %d", t->springConstant(), t->terminationValue(),
                t->maxNodeIterations(), t->maxMoveIterations(), t->maxNodesMovedMultiplier(), t->shrinkagePerMil(),
                t->dummyNodeSpacing());
  return buf;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  // The tailoring pass alone.
  {
    kwfuzz::SymmetricGraph target;
    fillTarget(*target.g());
    const kwfuzz::Snapshot before(*target.g());
    const std::string beforeText = omlText(*target.g()) + hiddenSettings(*target.g());
    KWFileError err;
    if (!applyModelFileTailoringFromString(text, "fuzz.model", *target.g(), err)) {
      KW_FUZZ_CHECK(!err.message.empty(), "a failed read gives no reason");
      KW_FUZZ_CHECK(omlText(*target.g()) + hiddenSettings(*target.g()) == beforeText,
                    "a failed tailoring pass changed the graph");
    }
    kwfuzz::checkSameContents(*target.g(), before);
  }

  kwfuzz::SymmetricGraph target;
  fillTarget(*target.g());
  const kwfuzz::Snapshot before(*target.g());
  const std::string beforeText = omlText(*target.g()) + hiddenSettings(*target.g());
  KWFileError err;
  std::vector<std::string> warnings;
  if (!readModelFileFromString(text, "fuzz.model", *target.g(), err, &warnings)) {
    KW_FUZZ_CHECK(!err.message.empty(), "a failed read gives no reason");
    kwfuzz::checkSameContents(*target.g(), before);
    KW_FUZZ_CHECK(omlText(*target.g()) + hiddenSettings(*target.g()) == beforeText,
                  "a failed read changed the target");
    return 0;
  }
  for (KWDEdgeIter it(target.g()); it; ++it) kwfuzz::checkPath(it.pEdge());

  const std::string first = omlText(*target.g());
  kwfuzz::SymmetricGraph copy;
  bool reread = readOMLGraphFromString(first, "first.oml", *copy.g(), err);
  KW_FUZZ_CHECK(reread, err.text().c_str());
  KW_FUZZ_CHECK(omlText(*copy.g()) == first, "OML text of a model file does not read back alike");

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
