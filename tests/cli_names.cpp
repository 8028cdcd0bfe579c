// kwslay end to end: names are text, never markup, in every output, and read
// back unchanged from JSON, DOT, OML and GraphML.
#include <gtest/gtest.h>

#include <set>

#include "cli_support.h"

using nlohmann::json;
using namespace clitest;

namespace {
// Names that break outputs that do not escape: markup, quotes, backslashes,
// ampersands, a newline, and non-ASCII text.
const std::vector<std::string> kNames = {
    "</text><script>alert(1)</script>", "say \"hi\"", "back\\slash", "a & b; <c>", "two\nlines", "Grüße ✓",
    "it's", "plain"};

std::string dotWithNames() {
  auto quoted = [](const std::string& n) {
    std::string q = "\"";
    for (char c : n) q += c == '"' ? std::string("\\\"") : std::string(1, c);
    return q + "\"";
  };
  std::string dot = "digraph {\n";
  for (size_t i = 0; i + 1 < kNames.size(); ++i) dot += "  " + quoted(kNames[i]) + " -> " + quoted(kNames[i + 1]) + ";\n";
  return dot + "}\n";
}

std::set<std::string> names() { return std::set<std::string>(kNames.begin(), kNames.end()); }
}  // namespace

// The SVG shows the names as text and has no markup from them; JSON, and
// DOT, OML and GraphML read back by kwslay, give the same names; cgraph reads
// the names in the DOT output.
TEST(KwslayNames, EveryOutputKeepsTheNamesAsText) {
  TempDir dir;
  writeFile(dir / "n.dot", dotWithNames());
  for (const char* format : {"svg", "json", "dot", "oml", "graphml"}) {
    SCOPED_TRACE(format);
    const std::string out = dir / (std::string("out.") + format);
    Result r = kwslay({"layout", dir / "n.dot", "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = readFile(out);
    if (format == std::string("svg")) {
      bool ok = false;
      std::vector<std::string> texts = xmlTexts(text, "text", &ok);
      ASSERT_TRUE(ok) << "the SVG is not well-formed";
      EXPECT_EQ(text.find("<script"), std::string::npos);
      // Every node is titled with its name; its label is the name drawn as
      // Graphviz draws a label, one text per line.
      std::set<std::string> titles, lines(texts.begin(), texts.end());
      for (const SvgItem& n : svgItems(text, "node")) titles.insert(n.title);
      EXPECT_EQ(titles, names());
      for (const std::string& n : kNames)
        if (n.find_first_of("\\\n") == std::string::npos) {
          EXPECT_EQ(lines.count(n), 1u) << n;
        }
      EXPECT_EQ(lines.count("two") + lines.count("lines"), 2u);
      continue;
    }
    if (format != std::string("json")) {  // read back by kwslay
      r = kwslay({"convert", out, "-o", out + ".json"});
      ASSERT_EQ(r.status, 0) << r.err;
    }
    const json j = parseJson(readFile(format == std::string("json") ? out : out + ".json"));
    std::set<std::string> ids;
    for (const json& n : j["nodes"]) ids.insert(n["id"].get<std::string>());
    EXPECT_EQ(ids, names());
  }
  Cgraph cg(readFile(dir / "out.dot"));
  ASSERT_NE(cg.get(), nullptr);
  std::set<std::string> read;
  for (Agnode_t* n = agfstnode(cg.get()); n; n = agnxtnode(cg.get(), n)) read.insert(agnameof(n));
  EXPECT_EQ(read, names());
}

TEST(KwslayNames, UnnamedEdgesGetUniqueIds) {
  TempDir dir;
  writeFile(dir / "e.dot", "digraph { a -> b [id=e1]; a -> b; b -> a; }");
  Result r = kwslay({"layout", dir / "e.dot"});
  ASSERT_EQ(r.status, 0) << r.err;
  json j = parseJson(r.out);
  std::set<std::string> ids;
  for (const json& e : j["edges"]) ids.insert(e["id"].get<std::string>());
  EXPECT_EQ(ids.size(), 3u);
  EXPECT_EQ(ids.count("e1"), 1u);
}
