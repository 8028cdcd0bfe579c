// Fuzz target: the legacy model-file reader.
//
// Any input either reads or fails with a located message; a failed read
// leaves the target graph exactly as it was, and so does a failed tailoring
// pass. A graph that reads can be written as OML and read back to the same
// text. Small graphs are laid out with the settings the file gives.
#include "fuzz/fuzz_support.h"
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

/// The OML text of g and the settings OML files do not carry.
std::string fullText(const KWDGraph& g) {
  const KWSGraphTailor* t = g.pSTailor();
  char buf[256];
  std::snprintf(buf, sizeof buf, "%a %a %d %d %d %d %d", t->springConstant(), t->terminationValue(),
                t->maxNodeIterations(), t->maxMoveIterations(), t->maxNodesMovedMultiplier(), t->shrinkagePerMil(),
                t->dummyNodeSpacing());
  return kwfuzz::omlText(g) + buf;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  // The tailoring pass alone.
  {
    const kwfuzz::ReadTarget target(fillTarget, fullText);
    KWFileError err;
    if (!applyModelFileTailoringFromString(text, "fuzz.model", target.g(), err))
      target.checkFailedRead(err, "a failed tailoring pass changed the graph");
    else
      kwfuzz::checkDrawing(target.g(), &target.before());
  }

  const kwfuzz::ReadTarget target(fillTarget, fullText);
  KWFileError err;
  std::vector<std::string> warnings;
  if (!readModelFileFromString(text, "fuzz.model", target.g(), err, &warnings)) {
    target.checkFailedRead(err, "a failed read changed the target");
    return 0;
  }
  kwfuzz::checkReadGraph(target.g(), "OML text of a model file does not read back alike");
  return 0;
}
