// Checks shared by the DOT and GraphML targets: any input either fails to read
// with a reason or, whatever names and settings the file brings, every output
// format of kwslay is produced, is well-formed for its format, and reads back
// (where kwslay reads the format) to the same nodes and edges.
#ifndef KW_FUZZ_TOOL_H
#define KW_FUZZ_TOOL_H

#include <libxml/parser.h>

#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "host/kwgfile.h"
#include "tools/sl_dot.h"
#include "tools/sl_render.h"
#include "tools/sl_graph.h"
#include "tools/sl_graphml.h"
#include "tools/sl_kwfiles.h"
#include "tools/sl_text.h"
#include "tools/sl_writers.h"

namespace kwfuzz {

/// A ToolGraph with the symmetric factory of this process.
struct ToolGraphs {
  KWSLayoutFactory style;
  KWFactory factory;
  ToolGraphs() { factory.addLayoutFactory(&style); }
};

inline bool isUtf8(const std::string& s) { return kwslay::validUtf8(s) == s; }

/// No control character but line end and tab, as XML and JSON text need.
inline bool noControlBytes(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x20 && c != '\n' && c != '\t' && c != '\r') return false;
  return true;
}

inline void checkWellFormedXml(const std::string& text, const char* what) {
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "out.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  KW_FUZZ_CHECK(doc != nullptr, what);
  xmlFreeDoc(doc);
}

/// The same nodes at the same places and the same edges. Nodes are matched
/// by position in file order, or, where the writer may order them otherwise
/// (DOT), through names: aNames[i] is the name node i of a was written under.
inline void checkSameGraph(const kwslay::ToolGraph& a, const kwslay::ToolGraph& b, const char* what,
                           const std::vector<std::string>* aNames = nullptr) {
  KW_FUZZ_CHECK(a.nodes().size() == b.nodes().size(), what);
  KW_FUZZ_CHECK(a.edges().size() == b.edges().size(), what);
  std::vector<std::size_t> match(a.nodes().size());  // node i of a is node match[i] of b
  for (std::size_t i = 0; i < match.size(); ++i) match[i] = i;
  if (aNames) {
    std::unordered_map<std::string, std::size_t> inB;
    for (std::size_t i = 0; i < b.nodes().size(); ++i) inB[b.nodes()[i]->name()] = i;
    for (std::size_t i = 0; i < match.size(); ++i) {
      auto f = inB.find((*aNames)[i]);
      KW_FUZZ_CHECK(f != inB.end(), what);
      match[i] = f->second;
    }
  }
  for (std::size_t i = 0; i < a.nodes().size(); ++i) {
    const KWDNode* n = a.nodes()[i];
    const KWDNode* m = b.nodes()[match[i]];
    KW_FUZZ_CHECK(n->ntX() == m->ntX() && n->ntY() == m->ntY(), what);
  }
  // Edges as a multiset of (from, to) pairs.
  auto ia = a.nodeIndex(), ib = b.nodeIndex();
  std::vector<std::pair<std::size_t, std::size_t>> ea, eb;
  for (const KWDEdge* e : a.edges()) ea.emplace_back(match[ia[e->pFromNode()]], match[ia[e->pToNode()]]);
  for (const KWDEdge* e : b.edges()) eb.emplace_back(ib[e->pFromNode()], ib[e->pToNode()]);
  std::sort(ea.begin(), ea.end());
  std::sort(eb.begin(), eb.end());
  KW_FUZZ_CHECK(ea == eb, what);
}

/// Reads text that one of kwslay's writers made back into `back` with `read`:
/// a writer's own output always reads, and `what` reports it when it does not
/// (with the reader's message and the text).
template <typename Reader>
void readBack(Reader read, const char* file, const std::string& text, kwslay::ToolGraph& back, const char* what) {
  try {
    read(file, text, back, nullptr);
  } catch (const kwslay::InputError& e) {
    std::fprintf(stderr, "%s\n%s\n", e.what(), text.c_str());
    KW_FUZZ_CHECK(false, what);
  }
}

/// Writes g in every format and checks each output.
inline void checkOutputs(const kwslay::ToolGraph& g, ToolGraphs& f) {
  const kwslay::OutputIds ids = kwslay::outputIds(g);

  std::string svg = kwslay::renderPicture(g, "svg");
  KW_FUZZ_CHECK(isUtf8(svg) && noControlBytes(svg), "SVG output is not clean UTF-8 text");
  checkWellFormedXml(svg, "SVG output is not well-formed XML");

  std::string json = kwslay::writeJson(g);
  KW_FUZZ_CHECK(isUtf8(json) && noControlBytes(json), "JSON output is not clean UTF-8 text");

  std::string graphml = kwslay::writeGraphML(g);
  KW_FUZZ_CHECK(isUtf8(graphml) && noControlBytes(graphml), "GraphML output is not clean UTF-8 text");
  {
    kwslay::ToolGraph back(f.factory);
    readBack(kwslay::readGraphML, "out.graphml", graphml, back, "GraphML output does not read back");
    checkSameGraph(g, back, "GraphML output reads back as another graph");
    // Names that are clean UTF-8 without control characters come back as they were.
    for (std::size_t i = 0; i < ids.node.size(); ++i)
      if (isUtf8(ids.node[i]) && noControlBytes(ids.node[i]) && ids.node[i].find('\r') == std::string::npos)
        KW_FUZZ_CHECK(back.nodes()[i]->name() == ids.node[i], "a node name changed on its way through GraphML");
  }

  std::string dot = kwslay::writeDot(g);
  {
    kwslay::ToolGraph back(f.factory);
    readBack(kwslay::readDot, "out.dot", dot, back, "DOT output does not read back");
    // A DOT source is written back with its own names; other graphs with the
    // identifiers DOT can quote. Every node comes back under its name.
    std::vector<std::string> dotNames = kwslay::outputIds(g, true).node;
    if (g.dot && g.dot->fileNames)
      for (std::size_t i = 0; i < dotNames.size(); ++i) dotNames[i] = g.nodes()[i]->name();
    checkSameGraph(g, back, "DOT output reads back as another graph", &dotNames);
  }

  std::string oml;
  try {
    oml = kwslay::writeOml(g);
  } catch (const kwslay::WriteError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    KW_FUZZ_CHECK(false, "OML output fails");
  }
  {
    kwslay::ToolGraph back(f.factory);
    readBack(kwslay::readOml, "out.oml", oml, back, "OML output does not read back");
    KW_FUZZ_CHECK(back.nodes().size() == g.nodes().size() && back.edges().size() == g.edges().size(),
                  "OML output reads back as another graph");
    for (std::size_t i = 0; i < g.nodes().size(); ++i)
      KW_FUZZ_CHECK(back.nodes()[i]->name() == g.nodes()[i]->name(), "a node name changed on its way through OML");
  }
}

/// A reader of one input format into a ToolGraph, with the settings the file gives.
using ToolReader = void (*)(const std::string& file, const std::string& text, kwslay::ToolGraph& g,
                            std::vector<kwslay::SettingValue>* settings);

/// Reads the fuzz bytes with `read` as the file `file`: the read either fails
/// with a reason, or the graph, with the file's settings applied, passes
/// checkOutputs.
inline void checkImport(ToolGraphs& f, ToolReader read, const char* file, const std::uint8_t* data,
                        std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  kwslay::ToolGraph g(f.factory);
  std::vector<kwslay::SettingValue> settings;
  try {
    read(file, text, g, &settings);
  } catch (const kwslay::InputError& e) {
    KW_FUZZ_CHECK(!e.message().empty(), "a failed read gives no reason");
    return;
  }
  for (const kwslay::SettingValue& v : settings) kwslay::applySetting(g.graph(), v);
  checkOutputs(g, f);
}

}  // namespace kwfuzz

#endif
