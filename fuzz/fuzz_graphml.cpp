// Fuzz target: GraphML import (libxml2) and every output format.
#include "fuzz/fuzz_tool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static kwfuzz::ToolGraphs f;
  const std::string text(reinterpret_cast<const char*>(data), size);
  kwslay::ToolGraph g(f.factory);
  std::vector<kwslay::SettingValue> settings;
  try {
    kwslay::readGraphML("fuzz.graphml", text, g, &settings);
  } catch (const kwslay::InputError& e) {
    KW_FUZZ_CHECK(!e.message().empty(), "a failed read gives no reason");
    return 0;
  }
  for (const kwslay::SettingValue& v : settings) kwslay::applySetting(g.graph(), v);
  kwfuzz::checkOutputs(g, f);
  return 0;
}
