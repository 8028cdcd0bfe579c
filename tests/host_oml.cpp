// OML graph files on the host side: keyword table, parser, writer, whole-graph
// reading and writing through the layout styles' tailors, and bad input.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "host/kwblayfa.h"
#include "host/kwdgraph.h"
#include "host/kwfactory.h"
#include "host/kwgfile.h"
#include "host/kwgrfext.h"
#include "host/kwtailor.h"
#include "support/files.h"

namespace {

// A stand-in style in the tree style's slot: its graph tailor keeps one
// integer, its node tailor one flag, both in "tlayout" sections.
const int kDefault = 75;
void writeSection(KWOMLFile* f, const char* name, const char* field, long value, bool boolean) {
  f->writeSectionStart(name, 0);
  f->writeOpeningBracket();
  if (boolean) f->writeBoolAttribute(field, static_cast<int>(value));
  else f->writeAttribute(field, value);
  f->writeClosingBracket();
}
class ProbeGraphTailor : public KWGraphTailor {
 public:
  using KWGraphTailor::KWGraphTailor;
  int spacing = kDefault, releases = 0;
  void copyObject(const KWObject* s) override {
    KWGraphTailor::copyObject(s);
    if (s && s != this) spacing = static_cast<const ProbeGraphTailor*>(s)->spacing;
  }
  int checkWriteGraphTailor(int, int all, KWOMLFile*) override { return !all && spacing == kDefault; }
  void writeFullGraphTailor(int, int, KWOMLFile* f) override {
    f->writeBlancLine();
    writeSection(f, "tlayout", "nodeSpacing", spacing, false);
  }
  int readGraphTailor(KWOMLSyntaxField* f, KWOMLSyntaxObject*, KWOMLFile*) override {
    if (f->nameIndex() == KWOMLKeyNodeSpacing) spacing = static_cast<int>(f->intValue());
    return f->nameIndex() == KWOMLKeyNodeSpacing;
  }

 protected:
  void discardGraphFileExtension() override { ++releases; }
};
class ProbeNodeTailor : public KWNodeTailor {
 public:
  using KWNodeTailor::KWNodeTailor;
  int checkWriteNodeTailor(int, int, KWOMLFile*) override { return !flagBit(1); }
  void writeFullNodeTailor(int, int, KWOMLFile* f) override { writeSection(f, "tlayout", "constrained", flagBit(1), true); }
  int readNodeTailor(KWOMLSyntaxField* f, KWOMLSyntaxObject*, KWOMLFile*) override {
    if (f->nameIndex() == KWOMLKeyConstrained) flagBit(1, f->boolValue());
    return f->nameIndex() == KWOMLKeyConstrained;
  }
};
// A style whose graph tailor leaves its section open.
class BrokenGraphTailor : public KWGraphTailor {
 public:
  using KWGraphTailor::KWGraphTailor;
  int checkWriteGraphTailor(int, int, KWOMLFile*) override { return 0; }
  void writeFullGraphTailor(int, int, KWOMLFile* f) override { f->writeSectionStart("clayout", 0), f->writeOpeningBracket(); }
};
struct ProbeFactory : KWBLayoutFactory {
  ProbeFactory() : KWBLayoutFactory(KWTreeLayoutStyle) {}
  KWGraphTailor* vNewGraphTailor(KWDGraph* g) override { return new ProbeGraphTailor(g); }
  KWNodeTailor* vNewNodeTailor(KWDNode* n) override { return new ProbeNodeTailor(n); }
};
struct BrokenFactory : KWBLayoutFactory {
  BrokenFactory() : KWBLayoutFactory(KWCircularLayoutStyle) {}
  KWGraphTailor* vNewGraphTailor(KWDGraph* g) override { return new BrokenGraphTailor(g); }
};

struct Host {
  ProbeFactory probe;
  KWBLayoutFactory hierarchic{KWHierarchicLayoutStyle};
  BrokenFactory broken;
  KWFactory factory;
  Host() {
    factory.addLayoutFactory(&probe);
    factory.addLayoutFactory(&hierarchic);
    factory.addLayoutFactory(&broken);
  }
  std::unique_ptr<KWDGraph> graph() { return std::unique_ptr<KWDGraph>(factory.newDGraph(KWTreeLayoutStyle)); }
};

ProbeGraphTailor* probe(const KWDGraph& g) {
  return static_cast<ProbeGraphTailor*>(g.pPrivateTailor(KWTreeLayoutStyle));
}

// Everything a graph file carries, field by field.
std::string describe(const KWDGraph& g) {
  return "spacing " + std::to_string(probe(g)->spacing) + "\n" + kwfiles::drawingOf(g, [](const KWDNode& n) {
           return " " + std::to_string(n.pPrivateTailor(KWTreeLayoutStyle)->flagBit(1));
         });
}

// Graph families (0 grid, 1 cycle, 2 tree, 3 random with loops and multi-edges)
// with awkward names, bends, connectors (specified and chosen) and flags.
void fill(KWDGraph& g, int family, int n, unsigned seed) {
  std::mt19937 rng(seed);
  auto c = [&rng]() { return static_cast<long>(rng() % 2000001) - 1000000; };
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) {
    std::string name = "n" + std::to_string(i) + (i % 5 == 1 ? "\"q\" \\" : "") + (i % 7 == 2 ? "\x01\x7f\xff\xc3\xa9\t" : "");
    if (i % 13 == 4) name += std::string("\0z", 2);
    v.push_back(g.newNode(c(), c(), static_cast<long>(rng() % 300), static_cast<long>(rng() % 300), name));
    v.back()->dummy(i % 6 == 0);
    v.back()->pPrivateTailor(KWTreeLayoutStyle)->flagBit(1, i % 4 == 0);
  }
  int k = 0;
  auto join = [&](int a, int b) {
    KWDEdge* e = g.newEdge(v[a], v[b], k % 3 ? "e" + std::to_string(k) : std::string());
    for (int j = 0; j < k % 4; ++j) e->ntAppendBend(KWPoint(c(), c()));
    if (k % 5 == 0) e->pFromConnector(new KWConnector(c() % 100, c() % 100, true));
    if (k % 7 == 0) e->pToConnector(new KWConnector(c() % 100, c() % 100, true));
    if (k % 9 == 0) e->pToConnector(new KWConnector(1, 1, false));  // chosen by a layout: not kept
    e->keepsConnectors(k++ % 8 == 0);
  };
  for (int i = 0; i < n; ++i) {
    if (family == 0 && i % 4 != 3 && i + 1 < n) join(i, i + 1);
    if (family == 0 && i + 4 < n) join(i, i + 4);
    if (family == 1) join(i, (i + 1) % n);
    if (family == 2 && i > 0) join((i - 1) / 2, i);
    if (family == 3) join(i, static_cast<int>(rng() % n)), join(i, static_cast<int>(rng() % n));
  }
  probe(g)->spacing = static_cast<int>(seed % 100);
}

// The OML text of a graph that must be writable.
std::string omlOf(const KWDGraph& g) {
  std::string text;
  KWFileError err;
  EXPECT_TRUE(writeOMLGraphToString(g, text, err)) << err.text();
  return text;
}
std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Bad {
  const char* text;
  long line, column;
  const char* says;
};
void expectError(const KWFileError& err, const Bad& c) {
  EXPECT_EQ(err.line, c.line) << c.text << " -> " << err.text();
  EXPECT_EQ(err.column, c.column) << c.text << " -> " << err.text();
  EXPECT_NE(err.message.find(c.says), std::string::npos) << c.text << " -> " << err.text();
}

TEST(OMLParser, BuildsTheTreeWithKindsLabelsAndPlaces) {
  const std::string text =
      "\xEF\xBB\xBF# comment\noml 1\ngraph {\n  node 7 {   # trailing\n    name \"a\\tb\"\n"
      "    x -9223372036854775808\n\tdummy true\r\n    mystery false\n  }\n  empty {\n  }\n}\n";
  KWOMLSyntaxObject root;
  KWFileError err;
  ASSERT_TRUE(KWOMLParser::parse(text, "t", root, err)) << err.text();
  ASSERT_EQ(root.objects().size(), 1u);
  const KWOMLSyntaxObject& g = *root.objects()[0];
  EXPECT_EQ(g.endLine(), 12);
  ASSERT_EQ(g.objects().size(), 2u);
  const KWOMLSyntaxObject& n = *g.objects()[0];
  EXPECT_EQ(n.label(), 7);
  ASSERT_EQ(n.fields().size(), 4u);
  EXPECT_EQ(n.fields()[0].stringValue(), "a\tb");
  EXPECT_EQ(n.fields()[1].intValue(), LONG_MIN);
  EXPECT_EQ(n.fields()[2].kind(), KWOMLBoolean);
  EXPECT_EQ(n.fields()[2].boolValue(), 1);
  EXPECT_EQ(n.fields()[2].intValue(), 0) << "a boolean has no integer value";
  EXPECT_EQ(n.fields()[3].nameIndex(), -1) << "unknown names parse; they are judged later";
  EXPECT_EQ(g.objects()[1]->typeIndex(), -1);
}

TEST(OMLParser, MalformedTextNamesLineColumnAndWhatWasExpected) {
  const Bad cases[] = {
      {"oml 1\ngraph {\n  node 1 {\n", 4, 1, "not closed"}, {"oml 1\ngraph {\n  x 5", 3, 6, "not closed"},
      {"oml 1\n}\n", 2, 1, "without an open section"},      {"a {\n} x\n", 2, 3, "end of the line"},
      {"x\n", 1, 2, "expected a value or '{'"},              {"x yes\n", 1, 3, "found 'yes'"},
      {"x 5 6\n", 1, 5, "end of the line"},                  {"x 12abc\n", 1, 5, "digit"},
      {"x 9223372036854775808\n", 1, 22, "out of range"},    {"x \"abc\n", 1, 7, "unterminated"},
      {"x \"a\\qb\"\n", 1, 5, "unknown escape"},              {"x \"a\\x4\"\n", 1, 5, "hexadecimal"},
      {"x \"a\x01\"\n", 1, 5, "control character"},          {"node 0 {\n}\n", 1, 6, "label"},
      {"node { x\n", 1, 8, "after '{'"},                     {"  9lives 1\n", 1, 3, "field or section name"},
      {"x 1\n\x02\x01\n", 2, 1, "byte 0x02"},                {"\x7f\x45LF\x02", 1, 1, "byte 0x7F"},
      {"{\n", 1, 1, "'{'"}};
  for (const Bad& c : cases) {
    KWOMLSyntaxObject root;
    KWFileError err;
    EXPECT_FALSE(KWOMLParser::parse(c.text, "bad.oml", root, err)) << c.text;
    EXPECT_EQ(err.file, "bad.oml");
    expectError(err, c);
  }
  KWOMLSyntaxObject root;
  KWFileError err;
  EXPECT_FALSE(KWOMLParser::parse(std::string("x 1\n  \0\n", 8), "z", root, err));
  expectError(err, {"zero byte", 2, 3, "byte 0x00"});
}

TEST(OMLParser, LimitsHoldWithoutRecursion) {
  KWOMLLimits small;
  small.maxDepth = 3;
  small.maxLineLength = 20;
  small.maxBytes = 1000;
  const std::pair<std::string, const char*> cases[] = {{"a {\nb {\nc {\nd {\n}\n}\n}\n}\n", "deeper"},
                                                       {"x 1\n" + std::string(21, 'y') + "\n", "longer"},
                                                       {std::string(1001, '\n'), "larger"}};
  for (const auto& c : cases) {
    KWOMLSyntaxObject root;
    KWFileError err;
    EXPECT_FALSE(KWOMLParser::parse(c.first, "l", root, err, small));
    EXPECT_NE(err.message.find(c.second), std::string::npos) << err.text();
  }
  KWOMLSyntaxObject root;
  KWFileError err;
  EXPECT_TRUE(KWOMLParser::parse("x 123456789012345678\n", "l", root, err, small)) << "a line at the limit";
  std::string deep;
  for (int i = 0; i < 200000; ++i) deep += "a {\n";
  EXPECT_FALSE(KWOMLParser::parse(deep, "deep", root, err));
  EXPECT_EQ(err.line, KWOMLLimits().maxDepth + 1);
}

TEST(OMLParser, QuotedStringsReadBackToTheSameBytes) {
  std::vector<std::string> samples = {"", "\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
                                      "\xc3\x28 \xe0\x80\xaf \xed\xa0\x80 \xf4\x90\x80\x80 \xc3"};
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  samples.push_back(all);
  for (const std::string& s : samples) {
    std::string quoted, back;
    KWOMLFile::appendQuoted(quoted, s);
    for (char c : quoted) EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
    std::size_t pos = 0;
    ASSERT_EQ(KWOMLParser::readQuoted(quoted.data(), quoted.size(), pos, back), nullptr) << quoted;
    EXPECT_EQ(pos, quoted.size());
    EXPECT_EQ(back, s);
  }
  // Valid UTF-8 stays readable; a broken sequence, a surrogate and a code
  // point past U+10FFFF are escaped byte by byte.
  const std::pair<const char*, const char*> written[] = {{"\xc3\xa9", "\"\xc3\xa9\""},
                                                         {"\xc3(", "\"\\xC3(\""},
                                                         {"\xed\xa0\x80", "\"\\xED\\xA0\\x80\""},
                                                         {"\xf4\x90\x80\x80", "\"\\xF4\\x90\\x80\\x80\""}};
  for (const auto& w : written) {
    std::string quoted;
    KWOMLFile::appendQuoted(quoted, w.first);
    EXPECT_EQ(quoted, w.second);
  }
}

// Reads a graph's text into a graph that already holds another: every field
// equal, no warning, the same bytes written again.
void expectRoundTrip(Host& host, const KWDGraph& g) {
  const std::string text = omlOf(g);
  auto back = host.graph();
  fill(*back, 0, 5, 3);
  std::vector<std::string> warnings;
  KWFileError err;
  ASSERT_TRUE(readOMLGraphFromString(text, "rt", *back, err, &warnings)) << err.text() << "\n" << text;
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(describe(*back), describe(g));
  EXPECT_EQ(omlOf(*back), text);
}

TEST(OMLGraphFile, RoundTripKeepsEveryFieldAndRewritesTheSameBytes) {
  Host host;
  for (int family = 0; family < 4; ++family)
    for (int n : {1, 2, 9, 40}) {
      SCOPED_TRACE("family " + std::to_string(family) + " n " + std::to_string(n));
      auto g = host.graph();
      fill(*g, family, n, static_cast<unsigned>(n * 31 + family));
      expectRoundTrip(host, *g);
    }
}

// Every integer field at both ends of the range the reader accepts: what the
// writer writes at the extremes reads back equal.
TEST(OMLGraphFile, ExtremeValuesOfEveryFieldReadBackEqual) {
  const auto lo = [](int key) { return KWOMLKeywords::byIndex(key)->minValue; };
  const auto hi = [](int key) { return KWOMLKeywords::byIndex(key)->maxValue; };
  Host host;
  for (bool low : {true, false}) {
    SCOPED_TRACE(low ? "minimum" : "maximum");
    const auto at = [&](int key) { return low ? lo(key) : hi(key); };
    auto g = host.graph();
    KWDNode* a = g->newNode(at(KWOMLKeyX), at(KWOMLKeyY), at(KWOMLKeyWidth), at(KWOMLKeyHeight),
                            std::string(1, low ? '\x01' : '\xff'));
    KWDEdge* e = g->newEdge(a, a, "e");
    e->ntAppendBend(KWPoint(at(KWOMLKeyX), at(KWOMLKeyY)));
    e->pFromConnector(new KWConnector(at(KWOMLKeyDx), at(KWOMLKeyDy), true));
    e->pToConnector(new KWConnector(at(KWOMLKeyDy), at(KWOMLKeyDx), true));
    probe(*g)->spacing = static_cast<int>(at(KWOMLKeyNodeSpacing));
    expectRoundTrip(host, *g);
  }
}

TEST(OMLGraphFile, StyleSectionsReachTheirTailorsAndUnusedStylesAreSkipped) {
  Host host;
  auto g = host.graph();
  g->enableLayoutStyle(KWHierarchicLayoutStyle);
  const int releases = probe(*g)->releases;
  std::vector<std::string> warnings;
  KWFileError err;
  ASSERT_TRUE(readOMLGraphFromString("oml 1\ngraph {\n  tlayout {\n    nodeSpacing -12\n  }\n  node 4 {\n"
                                     "    tlayout {\n      constrained true\n    }\n    olayout {\n      any \"x\"\n"
                                     "      deeper {\n      }\n    }\n  }\n}\n",
                                     "s.oml", *g, err, &warnings)) << err.text();
  EXPECT_EQ(probe(*g)->spacing, -12);
  EXPECT_EQ(g->castNode(g->pNodeList()->pFirstCell())->pPrivateTailor(KWTreeLayoutStyle)->flagBit(1), 1);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("s.oml:10:5: section 'olayout' skipped"), std::string::npos) << warnings[0];
  EXPECT_GT(probe(*g)->releases, releases) << "file state is released";
  // A keyword nobody knows is skipped with a warning; the rest of the file is read.
  warnings.clear();
  ASSERT_TRUE(readOMLGraphFromString("oml 1\ngraph {\n  tlayout {\n    spacing 3\n    nodeSpacing 7\n  }\n}\n", "t",
                                     *g, err, &warnings))
      << err.text();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("t:4:5: unknown keyword 'spacing' in the 'tlayout' section"), std::string::npos);
  EXPECT_EQ(probe(*g)->spacing, 7) << "the field after a skipped one is still read";
}

TEST(OMLGraphFile, BadFilesGiveAClearErrorAndLeaveTheFileStateUntouched) {
  const Bad cases[] = {
      {"", 1, 1, "expected 'oml 1'"},
      {"oml 2\ngraph {\n}\n", 1, 5, "unsupported OML version"},
      {"oml 1\n", 1, 1, "no 'graph' section"},
      {"graph {\n}\noml 1\n", 1, 1, "before the 'graph'"},
      {"oml 1\ngraph {\n}\ngraph {\n}\n", 4, 1, "one graph"},
      {"oml 1\nnodes {\n}\n", 2, 1, "unknown section 'nodes'"},
      {"oml 1\nversion 3\n", 2, 1, "unknown field 'version'"},
      {"oml 1\ngraph {\n  node 1 {\n    x \"5\"\n  }\n}\n", 4, 7, "expected an integer"},
      {"oml 1\ngraph {\n  node 1 {\n    dummy 1\n  }\n}\n", 4, 11, "expected true or false"},
      {"oml 1\ngraph {\n  node 1 {\n    name 3\n  }\n}\n", 4, 10, "expected a quoted string"},
      {"oml 1\ngraph {\n  node 1 {\n    x 1000000001\n  }\n}\n", 4, 7, "out of range"},
      {"oml 1\ngraph {\n  node 1 {\n    colour 3\n  }\n}\n", 4, 5, "unknown keyword 'colour'"},
      {"oml 1\ngraph {\n  node 1 {\n    from 3\n  }\n}\n", 4, 5, "not a field of node 1"},
      {"oml 1\ngraph {\n  node 1 {\n    x 1\n    x 2\n  }\n}\n", 5, 5, "given twice"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  node 1 {\n  }\n}\n", 5, 3, "used twice"},
      {"oml 1\ngraph {\n  node {\n  }\n}\n", 3, 3, "id as a label"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge {\n    from 1\n    to 1\n  }\n}\n", 5, 3, "an edge needs its id"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge 4 {\n    from 1\n    to 1\n  }\n  edge 4 {\n    from 1\n    to 1\n"
       "  }\n}\n", 9, 3, "edge id 4 used twice"},
      {"oml 1\ngraph {\n  node 1 {\n    bend {\n    }\n  }\n}\n", 4, 5, "unknown section 'bend'"},
      {"oml 1\ngraph {\n  edge 1 {\n    to 1\n  }\n}\n", 3, 3, "needs 'from'"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge 1 {\n    from 1\n    to 2\n  }\n}\n", 7, 8, "no node with id 2"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge 1 {\n    from 1\n    to 1\n    bend {\n      x 1\n    }\n  }\n}\n",
       8, 5, "needs 'y'"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge 1 {\n    from 1\n    to 1\n    toConnector {\n      dx 1\n      dy 1\n"
       "    }\n    toConnector {\n    }\n  }\n}\n", 12, 5, "given twice"},
      {"oml 1\ngraph {\n  tlayout {\n    nodeSpacing 2147483648\n  }\n}\n", 4, 17, "out of range"},
      {"oml 1\ngraph {\n  tlayout 2 {\n  }\n}\n", 3, 3, "no label"}};
  Host host;
  for (const Bad& c : cases) {
    auto target = host.graph();
    const int releases = probe(*target)->releases;
    KWFileError err;
    EXPECT_FALSE(readOMLGraphFromString(c.text, "bad.oml", *target, err)) << c.text;
    EXPECT_EQ(err.file, "bad.oml");
    expectError(err, c);
    EXPECT_EQ(probe(*target)->releases, releases) << "not even file state is touched";
  }
  KWOMLLimits limits;
  limits.maxNodes = limits.maxEdges = limits.maxBends = 5;
  auto g = host.graph();
  fill(*g, 1, 6, 2);
  KWFileError err;
  EXPECT_FALSE(readOMLGraphFromString(omlOf(*g), "l", *g, err, nullptr, limits));
  EXPECT_NE(err.message.find("more nodes than the limit of 5"), std::string::npos) << err.text();
  KWOMLLimits edgesOnly;
  edgesOnly.maxEdges = 5;
  auto few = host.graph();  // 4 nodes, 8 edges
  fill(*few, 3, 4, 6);
  EXPECT_FALSE(readOMLGraphFromString(omlOf(*few), "l", *few, err, nullptr, edgesOnly));
  EXPECT_NE(err.message.find("more edges than the limit of 5"), std::string::npos) << err.text();
}

TEST(OMLGraphFile, WriterRefusesWhatCannotBeReadBack) {
  Host host;
  auto g = host.graph();
  KWDNode* n = g->newNode(2000000000L, 0, 10, 10, "far");
  std::string text = "unchanged";
  KWFileError err;
  EXPECT_FALSE(writeOMLGraphToString(*g, text, err));
  EXPECT_NE(err.message.find("node 1: x = 2000000000 is outside what a graph file holds"), std::string::npos)
      << err.text();
  EXPECT_EQ(text, "unchanged");
  n->ntMoveTo(0, 0);
  g->layoutRunning(1);
  EXPECT_FALSE(writeOMLGraphToString(*g, text, err));
  EXPECT_FALSE(readOMLGraphFromString("oml 1\ngraph {\n}\n", "x", *g, err));
  g->layoutRunning(0);
  EXPECT_TRUE(writeOMLGraphToString(*g, text, err)) << err.text();
  g->enableLayoutStyle(KWCircularLayoutStyle);
  EXPECT_FALSE(writeOMLGraphToString(*g, text, err));
  EXPECT_NE(err.message.find("malformed"), std::string::npos) << err.text();
}

TEST(OMLGraphFile, FilesStreamsAndAtomicReplacement) {
  Host host;
  auto g = host.graph();
  fill(*g, 0, 400, 4);
  char tmpl[] = "/tmp/kwomltestXXXXXX";
  const std::string dir = mkdtemp(tmpl), path = dir + "/g.oml";
  KWFileError err;
  const std::string text = omlOf(*g);
  ASSERT_TRUE(writeOMLGraph(*g, path, err)) << err.text();
  EXPECT_EQ(slurp(path), text);
  std::ostringstream os;
  ASSERT_TRUE(writeOMLGraph(*g, os, "s", err));
  EXPECT_EQ(os.str(), text);
  auto back = host.graph();
  ASSERT_TRUE(readOMLGraph(path, *back, err)) << err.text();
  EXPECT_EQ(describe(*back), describe(*g));
  std::istringstream is(text);
  ASSERT_TRUE(readOMLGraph(is, "stream", *back, err)) << err.text();
  EXPECT_EQ(describe(*back), describe(*g));

  EXPECT_FALSE(readOMLGraph(dir + "/missing.oml", *back, err));
  expectError(err, {"", 0, 0, "cannot open"});
  EXPECT_EQ(err.file, dir + "/missing.oml");
  EXPECT_FALSE(readOMLGraph(dir, *back, err));
  EXPECT_FALSE(writeOMLGraph(*g, dir + "/no/such/dir/g.oml", err));
  EXPECT_NE(err.message.find("temporary file"), std::string::npos) << err.text();
  EXPECT_FALSE(writeOMLGraph(*g, dir, err));

  // A write that fails half-way (the child may only write small files, as on
  // a full disk) reports it, keeps the old file and leaves no temporary file.
  std::ofstream(path, std::ios::binary) << std::string(5000, '#');
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &rl);
    KWFileError e;
    _exit(!writeOMLGraph(*g, path, e) && e.message.find("unchanged") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(slurp(path), std::string(5000, '#'));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
  std::filesystem::remove_all(dir);
}

}  // namespace
