// Hostile files for kwslay's readers and names that try to break its writers.
//
// GraphML: entity declarations (external entities that read local files,
// "billion laughs" expansion, parameter entities) are refused with a clear
// message; an external DTD is never fetched; deep nesting is refused or read
// without recursion. DOT and GraphML: unknown end nodes, duplicate names and
// numbers out of range are located errors. Every output format carries names
// with markup, quotes, line ends, NUL bytes and broken UTF-8 safely.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <nlohmann/json.hpp>

#include <chrono>

#include "fuzz/fuzz_tool.h"
#include "tools/sl_settings.h"
#include "tools/sl_render.h"

namespace {

using kwslay::InputError;
using kwslay::ToolGraph;

struct Tools : ::testing::Test {
  kwfuzz::ToolGraphs f;
};

/// Reads text with the reader of the given format; answers the error, or an
/// empty message when the file read.
InputError readAs(const std::string& format, const std::string& text, ToolGraph& g) {
  try {
    if (format == "dot") kwslay::readDot("in." + format, text, g, nullptr);
    else kwslay::readGraphML("in." + format, text, g, nullptr);
  } catch (const InputError& e) {
    return e;
  }
  return InputError("", 0, 0, "");
}

const char* const kHead = "<?xml version=\"1.0\"?>\n";
const char* const kBody =
    "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n"
    "<graph id=\"G\"><node id=\"a\"/><node id=\"%s\"/><edge source=\"a\" target=\"%s\"/></graph>\n"
    "</graphml>\n";

std::string graphml(const std::string& doctype, const std::string& name) {
  std::string body = kBody;
  for (std::size_t at; (at = body.find("%s")) != std::string::npos;) body.replace(at, 2, name);
  return kHead + doctype + body;
}

bool wellFormedXml(const std::string& text) {
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "out.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc) xmlFreeDoc(doc);
  return doc != nullptr;
}

}  // namespace

// ---- GraphML: entities, DTDs, nesting ----------------------------------------------

TEST_F(Tools, GraphMLEntityDeclarationsAreRefused) {
  std::string laughs = "<!DOCTYPE graphml [\n<!ENTITY l0 \"lol\">\n";
  for (int i = 1; i <= 9; ++i) {
    laughs += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) laughs += "&l" + std::to_string(i - 1) + ";";
    laughs += "\">\n";
  }
  laughs += "]>\n";
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"external entity reading a local file",
       graphml("<!DOCTYPE graphml [\n<!ENTITY secret SYSTEM \"file:///etc/passwd\">\n]>\n", "&secret;")},
      {"external entity over the network",
       graphml("<!DOCTYPE graphml [\n<!ENTITY far SYSTEM \"http://127.0.0.1:9/x\">\n]>\n", "b")},
      {"billion laughs", graphml(laughs, "&l9;")},
      {"parameter entity",
       graphml("<!DOCTYPE graphml [\n<!ENTITY % p SYSTEM \"file:///etc/passwd\">\n%p;\n]>\n", "b")},
      {"unparsed entity",
       graphml("<!DOCTYPE graphml [\n<!NOTATION n SYSTEM \"x\">\n<!ENTITY u SYSTEM \"x\" NDATA n>\n]>\n", "b")},
      {"harmless internal entity", graphml("<!DOCTYPE graphml [\n<!ENTITY b \"bee\">\n]>\n", "&b;")},
  };
  for (const Case& c : cases) {
    ToolGraph g(f.factory);
    auto start = std::chrono::steady_clock::now();
    InputError e = readAs("graphml", c.text, g);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.what;
    EXPECT_NE(e.message().find("entity declarations are not accepted"), std::string::npos)
        << c.what << ": " << e.what();
    EXPECT_GT(e.line(), 1) << c.what;
    EXPECT_EQ(g.nodes().size(), 0u) << c.what;
  }
}

TEST_F(Tools, GraphMLWithoutEntitiesStillReadsWithDoctypeAndReferences) {
  // A DOCTYPE naming an external DTD is not fetched; predefined entities and
  // character references are fine.
  ToolGraph g(f.factory);
  std::string text =
      graphml("<!DOCTYPE graphml SYSTEM \"http://127.0.0.1:9/graphml.dtd\">\n", "b &amp; &#x263A; &lt;c&gt;");
  InputError e = readAs("graphml", text, g);
  ASSERT_TRUE(e.message().empty()) << e.what();
  ASSERT_EQ(g.nodes().size(), 2u);
  EXPECT_EQ(g.nodes()[1]->name(), "b & \xE2\x98\xBA <c>");
  ASSERT_EQ(g.edges().size(), 1u);
  EXPECT_EQ(g.edges()[0]->pToNode(), g.nodes()[1]);
}

TEST_F(Tools, GraphMLNestingIsReadWithoutRecursionOrRefused) {
  auto nested = [](int depth) {
    std::string text = std::string(kHead) + "<graphml><graph>";
    for (int i = 0; i < depth; ++i) text += "<node id=\"n" + std::to_string(i) + "\"><graph>";
    for (int i = 0; i < depth; ++i) text += "</graph></node>";
    return text + "</graph></graphml>\n";
  };
  {
    ToolGraph g(f.factory);
    InputError e = readAs("graphml", nested(100), g);
    ASSERT_TRUE(e.message().empty()) << e.what();
    EXPECT_EQ(g.nodes().size(), 100u);
    EXPECT_EQ(g.nodes()[99]->name(), "n99");
  }
  {
    ToolGraph g(f.factory);
    InputError e = readAs("graphml", nested(20000), g);
    EXPECT_FALSE(e.message().empty());
    EXPECT_GT(e.line(), 0) << e.what();
  }
}

// ---- located errors ------------------------------------------------------------------

TEST_F(Tools, BadNodesEdgesAndNumbersAreLocatedErrors) {
  struct Case {
    const char* format;
    std::string text;
    long line;
    const char* message;
  } cases[] = {
      {"graphml", graphml("", "b").replace(graphml("", "b").find("target=\"b\""), 10, "target=\"zz\""), 3,
       "edge target \"zz\" is not a node"},
      {"graphml", graphml("", "a"), 3, "node id \"a\" is used twice"},
      {"graphml",
       std::string(kHead) + "<graphml><key id=\"x\" for=\"node\" attr.name=\"x\"/><graph>\n"
                            "<node id=\"a\"><data key=\"x\">1e10</data></node></graph></graphml>\n",
       3, "is not a coordinate"},
      {"graphml",
       std::string(kHead) + "<graphml><key id=\"w\" for=\"node\" attr.name=\"width\"/><graph>\n"
                            "<node id=\"a\"><data key=\"w\">-3</data></node></graph></graphml>\n",
       3, "is not a size"},
      {"graphml",
       std::string(kHead) + "<graphml><key id=\"s\" for=\"graph\" attr.name=\"randomSeed\"/><graph>\n"
                            "<data key=\"s\">99999999999</data></graph></graphml>\n",
       3, "is not an integer"},
      {"graphml", std::string(kHead) + "<graphml><graph><node id=\"a\">\n</graph></graphml>", 3, "mismatch"},
      {"dot", "digraph {\n a [pos=\"1e10,0\"];\n}\n", 2, "out of range"},
      {"dot", "digraph {\n a [width=\"1e300\"];\n}\n", 2, "is not a size"},
      {"dot", "digraph {\n a [pos=\"nan,0\"];\n}\n", 2, "is not \"x,y\""},
      {"dot", "digraph {\n a -> b [pos=\"1,2 x\"];\n}\n", 2, "is not a list of points"},
      {"dot", "digraph {\n maxNodesMovedMultiplier=\"3e9\";\n a;\n}\n", 2, "is not an integer"},
      {"dot", std::string("digraph {\n a\0b;\n}\n", 19), 2, "NUL character"},
  };
  for (const Case& c : cases) {
    ToolGraph g(f.factory);
    InputError e = readAs(c.format, c.text, g);
    EXPECT_NE(e.message().find(c.message), std::string::npos) << c.format << ": " << e.what();
    EXPECT_EQ(e.line(), c.line) << e.what();
  }
}

TEST_F(Tools, DeeplyNestedDotIsReadOrRefusedWithoutCrash) {
  for (int depth : {50, 100000}) {
    std::string text = "graph {\n";
    for (int i = 0; i < depth; ++i) text += "subgraph s" + std::to_string(i) + " {\n";
    text += "a -- b\n";
    for (int i = 0; i < depth; ++i) text += "}\n";
    text += "}\n";
    ToolGraph g(f.factory);
    InputError e = readAs("dot", text, g);
    if (e.message().empty()) {
      EXPECT_EQ(g.nodes().size(), 2u);
      EXPECT_EQ(g.edges().size(), 1u);
    } else {
      EXPECT_GT(depth, 50) << e.what();
      EXPECT_GT(e.line(), 0) << e.what();
    }
  }
}

// ---- names through every output format -------------------------------------------

TEST_F(Tools, HostileNamesAreCarriedSafelyIntoEveryFormat) {
  const std::string names[] = {
      "<b>bold</b> & \"quoted\" 'single'",
      "line\nbreak\r\tand tab",
      std::string("nul\0inside", 10),
      "broken \xC3\x28 utf8 \xFF\xFE end \xE2\x82",
      "]]> --> <!-- <?pi?> <![CDATA[",
      "back\\slash \\\" {brace} ; -> -- #",
      "\xF0\x9F\x98\x80 smile \xE2\x80\xAE rtl",
      "",
      "n0",  // the name an unnamed node would get
  };
  ToolGraph g(f.factory);
  std::vector<KWDNode*> v;
  for (const std::string& n : names) v.push_back(g.addNode(n, static_cast<long>(v.size()) * 100, 0, 40, 20, true));
  for (std::size_t i = 0; i + 1 < v.size(); ++i) g.addEdge(v[i], v[i + 1], names[(i + 3) % 9]);
  g.name = names[0];
  kwslay::nodeConstrained(*v[2], true);
  const kwslay::OutputIds ids = kwslay::outputIds(g);

  // The identifiers are unique, and so is every name that reads back.
  for (std::size_t i = 0; i < ids.node.size(); ++i)
    for (std::size_t j = i + 1; j < ids.node.size(); ++j) EXPECT_NE(ids.node[i], ids.node[j]);

  // The generic checks of the fuzz targets: clean text, well-formed XML,
  // GraphML, DOT and OML read back to the same graph.
  kwfuzz::checkOutputs(g, f);

  std::string svg = kwslay::renderPicture(g, "svg");
  EXPECT_TRUE(wellFormedXml(svg));
  EXPECT_EQ(svg.find("<b>bold"), std::string::npos) << "markup in a name reached the SVG as markup";

  // JSON parses, and every id is the name made valid UTF-8.
  nlohmann::json j = nlohmann::json::parse(kwslay::writeJson(g));
  ASSERT_EQ(j["nodes"].size(), v.size());
  for (std::size_t i = 0; i < v.size(); ++i) EXPECT_EQ(j["nodes"][i]["id"], kwslay::validUtf8(ids.node[i]));

  // GraphML: names that XML can hold come back byte for byte.
  ToolGraph back(f.factory);
  kwslay::readGraphML("back.graphml", kwslay::writeGraphML(g), back, nullptr);
  EXPECT_EQ(back.nodes()[0]->name(), names[0]);
  EXPECT_EQ(back.nodes()[5]->name(), names[5]);
  EXPECT_EQ(back.nodes()[6]->name(), names[6]);
  EXPECT_EQ(back.name, names[0]);

  // OML carries every byte, NUL included.
  ToolGraph oml(f.factory);
  kwslay::readOml("back.oml", kwslay::writeOml(g), oml, nullptr);
  for (std::size_t i = 0; i < v.size(); ++i) EXPECT_EQ(oml.nodes()[i]->name(), names[i]) << i;
  EXPECT_EQ(oml.edges()[0]->name(), names[3]);
}
