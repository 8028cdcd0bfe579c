// Fuzz target: DOT import (Graphviz cgraph) and every output format.
#include "fuzz/fuzz_tool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static kwfuzz::ToolGraphs f;
  kwfuzz::checkImport(f, kwslay::readDot, "fuzz.dot", data, size);
  return 0;
}
