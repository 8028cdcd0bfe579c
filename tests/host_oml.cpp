// OML graph files on the host side: the parser, the writer, the keyword
// table, whole-graph reading and writing, and what bad input does.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <random>
#include <sstream>

#include "host/kwblayfa.h"
#include "host/kwbgraph.h"
#include "host/kwdgraph.h"
#include "host/kwfactory.h"
#include "host/kwgfile.h"
#include "host/kwgrfext.h"
#include "host/kwoml.h"
#include "host/kwtailor.h"

namespace {

// ---- a stand-in layout style ------------------------------------------------------------
// It occupies the tree style's slot: its graph tailor keeps one integer and its
// node tailor one flag, written to and read from "tlayout" sections, so the
// host's routing of style sections can be watched without a layout module.

const int kProbeDefault = 75;

class ProbeGraphTailor : public KWGraphTailor {
 public:
  using KWGraphTailor::KWGraphTailor;
  int spacing = kProbeDefault;
  int releases = 0;
  KWLayoutStyleEnum layoutStyle() const override { return KWTreeLayoutStyle; }
  void copyObject(const KWObject* s) override {
    if (!s || s == this) return;
    KWGraphTailor::copyObject(s);
    spacing = static_cast<const ProbeGraphTailor*>(s)->spacing;
  }
  int checkWriteGraphTailor(int, int writeAll, KWOMLFile*) override { return !writeAll && spacing == kProbeDefault; }
  void writeFullGraphTailor(int, int, KWOMLFile* f) override {
    f->writeBlancLine();
    f->writeSectionStart("tlayout", 0);
    f->writeOpeningBracket();
    f->writeAttribute("nodeSpacing", spacing);
    f->writeClosingBracket();
  }
  int readGraphTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject*, KWOMLFile*) override {
    if (field->nameIndex() != KWOMLKeyNodeSpacing) return 0;
    spacing = static_cast<int>(field->intValue());
    return 1;
  }

 protected:
  void discardGraphFileExtension() override { ++releases; }
};

class ProbeNodeTailor : public KWNodeTailor {
 public:
  using KWNodeTailor::KWNodeTailor;
  int checkWriteNodeTailor(int, int, KWOMLFile*) override { return !flagBit(1); }
  void writeFullNodeTailor(int, int, KWOMLFile* f) override {
    f->writeSectionStart("tlayout", 0);
    f->writeOpeningBracket();
    f->writeBoolAttribute("constrained", flagBit(1));
    f->writeClosingBracket();
  }
  int readNodeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject*, KWOMLFile*) override {
    if (field->nameIndex() != KWOMLKeyConstrained) return 0;
    flagBit(1, field->boolValue());
    return 1;
  }
};

// A style whose graph tailor writes a section it never closes.
class BrokenGraphTailor : public KWGraphTailor {
 public:
  using KWGraphTailor::KWGraphTailor;
  int checkWriteGraphTailor(int, int, KWOMLFile*) override { return 0; }
  void writeFullGraphTailor(int, int, KWOMLFile* f) override {
    f->writeSectionStart("clayout", 0);
    f->writeOpeningBracket();
  }
};

class ProbeFactory : public KWBLayoutFactory {
 public:
  ProbeFactory() : KWBLayoutFactory(KWTreeLayoutStyle) {}

 protected:
  KWGraphTailor* vNewGraphTailor(KWDGraph* g) override { return new ProbeGraphTailor(g); }
  KWNodeTailor* vNewNodeTailor(KWDNode* n) override { return new ProbeNodeTailor(n); }
};

class BrokenFactory : public KWBLayoutFactory {
 public:
  BrokenFactory() : KWBLayoutFactory(KWCircularLayoutStyle) {}

 protected:
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
  std::unique_ptr<KWDGraph> graph(bool withHierarchic = false) {
    std::unique_ptr<KWDGraph> g(factory.newDGraph(KWTreeLayoutStyle));
    if (withHierarchic) g->enableLayoutStyle(KWHierarchicLayoutStyle);
    return g;
  }
};

ProbeGraphTailor* probe(const KWDGraph& g) {
  return static_cast<ProbeGraphTailor*>(g.pPrivateTailor(KWTreeLayoutStyle));
}

// Everything a graph file carries, in a form that compares field by field.
std::string describe(const KWDGraph& g) {
  std::ostringstream s;
  std::vector<const KWDNode*> nodes;
  for (KWDNodeIter it(&g); it; ++it) nodes.push_back(it.pNode());
  auto index = [&nodes](const KWDNode* n) {
    for (std::size_t i = 0; i < nodes.size(); ++i)
      if (nodes[i] == n) return static_cast<long>(i);
    return -1L;
  };
  if (const ProbeGraphTailor* t = probe(g)) s << "spacing " << t->spacing << "\n";
  for (const KWDNode* n : nodes) {
    s << "node [" << n->name() << "] " << n->ntX() << ' ' << n->ntY() << ' ' << n->ntWidth() << ' '
      << n->ntHeight() << " dummy " << n->isDummy();
    if (const KWNodeTailor* t = n->pPrivateTailor(KWTreeLayoutStyle)) s << " flag " << t->flagBit(1);
    s << "\n";
  }
  for (KWDEdgeIter it(&g); it; ++it) {
    const KWDEdge* e = it.pEdge();
    s << "edge [" << e->name() << "] " << index(e->pFromNode()) << "->" << index(e->pToNode()) << " keeps "
      << e->keepsConnectors();
    for (const KWPoint& p : e->bendPoints()) s << " b(" << p.x() << ',' << p.y() << ')';
    if (e->hasSpecifiedFromConnector()) s << " fc(" << e->pFromConnector()->dx() << ',' << e->pFromConnector()->dy() << ')';
    if (e->hasSpecifiedToConnector()) s << " tc(" << e->pToConnector()->dx() << ',' << e->pToConnector()->dy() << ')';
    s << "\n";
  }
  return s.str();
}

// Families of graphs with every kind of content a file holds.
enum Family { kGrid, kCycle, kTree, kRandom };

void fill(KWDGraph& g, Family family, int n, unsigned seed) {
  std::mt19937 rng(seed);
  auto coord = [&rng]() { return static_cast<long>(rng() % 2000001) - 1000000; };
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) {
    std::string name = "n" + std::to_string(i);
    if (i % 5 == 1) name += "\"quoted\" \\ back";
    if (i % 7 == 2) name += "\x01\x7f\xff\xc3\xa9 tab\t";
    if (i % 13 == 4) name += std::string("nul\0byte", 8);
    if (i % 11 == 3) name.clear();
    v.push_back(g.newNode(coord(), coord(), static_cast<long>(rng() % 300), static_cast<long>(rng() % 300), name));
    if (i % 6 == 0) v.back()->dummy(true);
    if (i % 4 == 0) v.back()->pPrivateTailor(KWTreeLayoutStyle)->flagBit(1, 1);
  }
  auto join = [&](int a, int b, int k) {
    KWDEdge* e = g.newEdge(v[a], v[b], k % 3 ? "e" + std::to_string(k) : std::string());
    for (int j = 0; j < k % 4; ++j) e->ntAppendBend(KWPoint(coord(), coord()));
    if (k % 5 == 0) e->pFromConnector(new KWConnector(coord() % 100, coord() % 100, true));
    if (k % 7 == 0) e->pToConnector(new KWConnector(coord() % 100, coord() % 100, true));
    if (k % 9 == 0) e->pToConnector(new KWConnector(1, 1, false));  // chosen by a layout: not written
    if (k % 8 == 0) e->keepsConnectors(true);
  };
  int k = 0;
  int side = 1;
  while (side * side < n) ++side;
  for (int i = 0; i < n; ++i) {
    switch (family) {
      case kGrid:
        if (i % side + 1 < side && i + 1 < n) join(i, i + 1, k++);
        if (i + side < n) join(i, i + side, k++);
        break;
      case kCycle: join(i, (i + 1) % n, k++); break;
      case kTree: if (i > 0) join((i - 1) / 2, i, k++); break;
      case kRandom:
        for (int j = 0; j < 2; ++j) join(i, static_cast<int>(rng() % n), k++);  // loops and multi-edges included
        break;
    }
  }
  probe(g)->spacing = static_cast<int>(seed % 100);
}

std::string read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string tempDir() {
  char tmpl[] = "/tmp/kwomltestXXXXXX";
  char* d = mkdtemp(tmpl);
  return d ? d : "/tmp";
}

int filesIn(const std::string& dir) {
  int n = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) n += e->d_name[0] != '.';
    closedir(d);
  }
  return n;
}

// ---- the keyword table -------------------------------------------------------------------

TEST(OMLKeywords, LayoutSettingsHaveTheirFixedIndices) {
  const struct { const char* name; int index; } fixed[] = {
      {"incrementalWithinComponentLayout", 159}, {"incrementalDisconnectedNodesLayout", 160},
      {"incrementalComponentsLayout", 161},     {"nodeSpacing", 238},
      {"randomSeed", 239},                      {"routeEdges", 240},
      {"constrained", 241}};
  for (const auto& f : fixed) {
    EXPECT_EQ(KWOMLKeywords::indexOf(f.name), f.index) << f.name;
    ASSERT_NE(KWOMLKeywords::byIndex(f.index), nullptr);
    EXPECT_STREQ(KWOMLKeywords::byIndex(f.index)->name, f.name);
  }
  EXPECT_EQ(KWOMLKeywords::indexOf("nodespacing"), -1);
  EXPECT_EQ(KWOMLKeywords::indexOf("nodeSpacingX"), -1);
  EXPECT_EQ(KWOMLKeywords::indexOf(""), -1);
}

TEST(OMLKeywords, TableIsConsistent) {
  std::size_t n = 0;
  const KWOMLKeyword* k = KWOMLKeywords::entries(n);
  ASSERT_GT(n, 7u);
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) {
      EXPECT_LT(k[i - 1].index, k[i].index) << "indices ascend and are unique";
    }
    EXPECT_EQ(KWOMLKeywords::indexOf(k[i].name), k[i].index) << k[i].name << " is listed once";
    EXPECT_TRUE(KWOMLFile::isIdentifier(k[i].name));
    if (k[i].kind == KWOMLInteger) {
      EXPECT_LE(k[i].minValue, k[i].maxValue);
    }
  }
  for (int s = 1; s < KWNumberOfLayoutStyles; ++s) {
    int idx = KWOMLKeywords::styleSectionIndex(s);
    ASSERT_GE(idx, 0);
    EXPECT_EQ(KWOMLKeywords::sectionStyle(idx), s);
  }
  EXPECT_EQ(KWOMLKeywords::sectionStyle(KWOMLKeywords::indexOf("slayout")), KWSymmetricLayoutStyle);
  EXPECT_EQ(KWOMLKeywords::sectionStyle(KWOMLKeyNode), 0);
}

// ---- the parser -----------------------------------------------------------------------

TEST(OMLParser, BuildsTheTreeWithKindsLabelsAndPlaces) {
  const std::string text =
      "\xEF\xBB\xBF# header comment\n"
      "oml 1\n"
      "graph {\n"
      "  node 7 {   # trailing comment\n"
      "    name \"a\\tb\"\n"
      "    x -9223372036854775808\n"
      "\tdummy true\r\n"
      "    mystery false\n"
      "  }\n"
      "  empty {\n"
      "  }\n"
      "}\n";
  KWOMLSyntaxObject root;
  KWFileError err;
  ASSERT_TRUE(KWOMLParser::parse(text, "t.oml", root, err)) << err.text();
  ASSERT_EQ(root.fields().size(), 1u);
  EXPECT_EQ(root.fields()[0].nameIndex(), KWOMLKeyOml);
  ASSERT_EQ(root.objects().size(), 1u);
  const KWOMLSyntaxObject& g = *root.objects()[0];
  EXPECT_EQ(g.typeIndex(), KWOMLKeyGraph);
  EXPECT_EQ(g.line(), 3);
  EXPECT_EQ(g.endLine(), 12);
  ASSERT_EQ(g.objects().size(), 2u);
  const KWOMLSyntaxObject& n = *g.objects()[0];
  EXPECT_EQ(n.label(), 7);
  EXPECT_EQ(n.line(), 4);
  EXPECT_EQ(n.column(), 3);
  ASSERT_EQ(n.fields().size(), 4u);
  EXPECT_EQ(n.fields()[0].kind(), KWOMLString);
  EXPECT_EQ(n.fields()[0].stringValue(), "a\tb");
  EXPECT_EQ(n.fields()[1].intValue(), LONG_MIN);
  EXPECT_EQ(n.fields()[1].valueColumn(), 7);
  EXPECT_EQ(n.fields()[2].boolValue(), 1);
  EXPECT_EQ(n.fields()[2].kind(), KWOMLBoolean);
  EXPECT_EQ(n.fields()[3].nameIndex(), -1) << "unknown names parse; they are judged later";
  EXPECT_EQ(n.fields()[3].boolValue(), 0);
  EXPECT_EQ(n.fields()[3].intValue(), 0) << "a boolean has no integer value";
  EXPECT_EQ(g.objects()[1]->typeIndex(), -1);
  EXPECT_EQ(g.objects()[1]->label(), 0);
}

struct BadText {
  const char* text;
  long line;
  long column;
  const char* says;
};

TEST(OMLParser, MalformedTextNamesLineColumnAndWhatWasExpected) {
  const BadText cases[] = {
      {"oml 1\ngraph {\n  node 1 {\n", 4, 1, "not closed"},               // truncated
      {"oml 1\ngraph {\n  x 5", 3, 6, "not closed"},                      // truncated without a line end
      {"oml 1\n}\n", 2, 1, "without an open section"},                    // unbalanced
      {"oml 1\ngraph {\n}\n}\n", 4, 1, "without an open section"},
      {"a {\n} x\n", 2, 3, "end of the line"},
      {"x\n", 1, 2, "expected a value or '{'"},
      {"x # c\n", 1, 3, "expected a value or '{'"},
      {"x yes\n", 1, 3, "found 'yes'"},
      {"x 5 6\n", 1, 5, "end of the line"},
      {"x 12abc\n", 1, 5, "digit"},
      {"x 9223372036854775808\n", 1, 22, "out of range"},
      {"x -\n", 1, 4, "digit"},
      {"x \"abc\n", 1, 7, "unterminated"},
      {"x \"a\\qb\"\n", 1, 5, "unknown escape"},
      {"x \"a\\x4\"\n", 1, 5, "hexadecimal"},
      {"x \"a\x01\"\n", 1, 5, "control character"},
      {"node 0 {\n}\n", 1, 6, "label"},
      {"node -3 {\n}\n", 1, 6, "label"},
      {"node 2147483648 {\n}\n", 1, 6, "label"},
      {"node { x\n", 1, 8, "after '{'"},
      {"  9lives 1\n", 1, 3, "expected a field or section name"},
      {"x 1\n\x02\x01\n", 2, 1, "byte 0x02"},
      {"\x7f\x45\x4c\x46\x02\x01", 1, 1, "byte 0x7F"},
      {"{\n", 1, 1, "'{'"},
  };
  for (const BadText& c : cases) {
    KWOMLSyntaxObject root;
    KWFileError err;
    const std::string text(c.text);
    EXPECT_FALSE(KWOMLParser::parse(text, "bad.oml", root, err)) << c.text;
    EXPECT_EQ(err.file, "bad.oml");
    EXPECT_EQ(err.line, c.line) << c.text << " -> " << err.text();
    EXPECT_EQ(err.column, c.column) << c.text << " -> " << err.text();
    EXPECT_NE(err.message.find(c.says), std::string::npos) << c.text << " -> " << err.text();
  }
}

TEST(OMLParser, ZeroBytesOutsideStringsAreRefused) {
  KWOMLSyntaxObject root;
  KWFileError err;
  EXPECT_FALSE(KWOMLParser::parse(std::string("x 1\n  \0\n", 8), "z", root, err));
  EXPECT_EQ(err.line, 2);
  EXPECT_EQ(err.column, 3);
  EXPECT_NE(err.message.find("byte 0x00"), std::string::npos) << err.text();
}

TEST(OMLParser, LimitsOnDepthLineLengthAndSizeHold) {
  KWOMLLimits limits;
  limits.maxDepth = 3;
  limits.maxLineLength = 20;
  limits.maxBytes = 1000;
  KWFileError err;
  {
    KWOMLSyntaxObject root;
    EXPECT_TRUE(KWOMLParser::parse("a {\nb {\nc {\n}\n}\n}\n", "d", root, err, limits)) << err.text();
  }
  {
    KWOMLSyntaxObject root;
    EXPECT_FALSE(KWOMLParser::parse("a {\nb {\nc {\nd {\n}\n}\n}\n}\n", "d", root, err, limits));
    EXPECT_EQ(err.line, 4);
    EXPECT_NE(err.message.find("deeper"), std::string::npos);
  }
  {
    KWOMLSyntaxObject root;
    EXPECT_FALSE(KWOMLParser::parse("x 1\n" + std::string(21, 'y') + "\n", "d", root, err, limits));
    EXPECT_EQ(err.line, 2);
    EXPECT_NE(err.message.find("longer"), std::string::npos);
  }
  {
    KWOMLSyntaxObject root;
    EXPECT_FALSE(KWOMLParser::parse(std::string(1001, '\n'), "d", root, err, limits));
    EXPECT_NE(err.message.find("larger"), std::string::npos);
  }
}

TEST(OMLParser, HugeNestingIsRefusedWithoutRecursion) {
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "a {\n";
  KWOMLSyntaxObject root;
  KWFileError err;
  EXPECT_FALSE(KWOMLParser::parse(text, "deep", root, err));
  EXPECT_EQ(err.line, KWOMLLimits().maxDepth + 1);
}

TEST(OMLParser, QuotedStringsReadBackToTheSameBytes) {
  std::vector<std::string> samples;
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  samples.push_back(all);
  samples.push_back("");
  samples.push_back("\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80");     // valid UTF-8
  samples.push_back("\xc3\x28 \xe0\x80\xaf \xed\xa0\x80 \xf4\x90\x80\x80 \xc3");  // invalid UTF-8
  std::mt19937 rng(42);
  for (int i = 0; i < 300; ++i) {
    std::string s;
    for (int j = static_cast<int>(rng() % 40); j > 0; --j) s += static_cast<char>(rng());
    samples.push_back(s);
  }
  for (const std::string& s : samples) {
    std::string quoted;
    KWOMLFile::appendQuoted(quoted, s);
    for (char c : quoted) {
      unsigned char u = static_cast<unsigned char>(c);
      EXPECT_TRUE(u >= 0x20 && u != 0x7f) << "quoted text is free of control characters";
    }
    std::size_t pos = 0;
    std::string back;
    ASSERT_EQ(KWOMLParser::readQuoted(quoted.data(), quoted.size(), pos, back), nullptr) << quoted;
    EXPECT_EQ(pos, quoted.size());
    EXPECT_EQ(back, s);
  }
  std::string valid;
  KWOMLFile::appendQuoted(valid, "\xc3\xa9");
  EXPECT_EQ(valid, "\"\xc3\xa9\"") << "valid UTF-8 stays readable";
  std::string invalid;
  KWOMLFile::appendQuoted(invalid, "\xc3(");
  EXPECT_EQ(invalid, "\"\\xC3(\"") << "a broken sequence is escaped";
}

TEST(OMLParser, RandomBytesAndMutatedFilesNeverCrash) {
  Host host;
  auto g = host.graph();
  fill(*g, kRandom, 12, 7);
  std::string good;
  KWFileError err;
  ASSERT_TRUE(writeOMLGraphToString(*g, good, err)) << err.text();
  std::mt19937 rng(2024);
  int failures = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string text;
    if (i % 3 == 0) {
      for (int j = static_cast<int>(rng() % 300); j > 0; --j) text += static_cast<char>(rng());
    } else {
      text = good;
      for (int j = 1 + static_cast<int>(rng() % 4); j > 0; --j) {
        std::size_t at = rng() % text.size();
        switch (rng() % 3) {
          case 0: text[at] = static_cast<char>(rng()); break;
          case 1: text.erase(at, 1 + rng() % 20); break;
          case 2: text.insert(at, 1, "{}\"\\#\n-9x"[rng() % 10]); break;
        }
        if (text.empty()) text = "x";
      }
    }
    auto target = host.graph();
    fill(*target, kCycle, 3, 1);
    const std::string before = describe(*target);
    KWFileError e;
    if (!readOMLGraphFromString(text, "fuzz", *target, e)) {
      ++failures;
      EXPECT_EQ(describe(*target), before) << "a failed read leaves the target as it was";
      EXPECT_FALSE(e.message.empty());
      EXPECT_EQ(e.file, "fuzz");
    }
  }
  EXPECT_GT(failures, 1000);
}

// ---- the writer ------------------------------------------------------------------------

TEST(OMLWriter, WritesOneAttributePerLineWithNestedIndentation) {
  KWOMLFile f("w");
  f.writeAttribute("oml", 1);
  f.writeSectionStart("graph", 0);
  f.writeOpeningBracket();
  f.writeSectionStart("node", 3);
  f.writeOpeningBracket();
  f.writeBoolAttribute("dummy", 7);
  f.writeStringAttribute("name", "q\"");
  f.writeClosingBracket();
  f.writeBlancLine();
  f.writeComment("two\nlines");
  f.writeClosingBracket();
  EXPECT_TRUE(f.wellFormed());
  EXPECT_EQ(f.contents(),
            "oml 1\ngraph {\n  node 3 {\n    dummy true\n    name \"q\\\"\"\n  }\n\n  # two\n  # lines\n}\n");
  KWOMLSyntaxObject root;
  KWFileError err;
  EXPECT_TRUE(KWOMLParser::parse(f.contents(), "w", root, err)) << err.text();
}

TEST(OMLWriter, NoticesBrokenStructure) {
  {
    KWOMLFile f;
    f.writeClosingBracket();
    EXPECT_FALSE(f.wellFormed());
    EXPECT_NE(f.problem().find("without an open section"), std::string::npos);
  }
  {
    KWOMLFile f;
    f.writeSectionStart("a", 0);
    EXPECT_FALSE(f.wellFormed());
    f.writeAttribute("x", 1);
    f.writeOpeningBracket();
    f.writeClosingBracket();
    EXPECT_FALSE(f.wellFormed()) << "a field between name and bracket";
  }
  {
    KWOMLFile f;
    f.writeSectionStart("a", 0);
    f.writeOpeningBracket();
    EXPECT_FALSE(f.wellFormed()) << "still open";
    f.writeClosingBracket();
    EXPECT_TRUE(f.wellFormed());
  }
  {
    KWOMLFile f;
    f.writeAttribute("not a name", 1);
    f.writeAttribute(nullptr, 1);
    EXPECT_FALSE(f.wellFormed());
    EXPECT_EQ(f.contents(), "");
  }
}

// ---- whole graphs ----------------------------------------------------------------------------

TEST(OMLGraphFile, RoundTripKeepsEveryFieldAcrossGraphFamilies) {
  Host host;
  const Family families[] = {kGrid, kCycle, kTree, kRandom};
  for (Family fam : families) {
    for (int n : {1, 2, 9, 40}) {
      auto g = host.graph();
      fill(*g, fam, n, static_cast<unsigned>(n * 31 + fam));
      std::string text;
      KWFileError err;
      ASSERT_TRUE(writeOMLGraphToString(*g, text, err)) << err.text();
      auto back = host.graph();
      std::vector<std::string> warnings;
      ASSERT_TRUE(readOMLGraphFromString(text, "rt", *back, err, &warnings)) << err.text() << "\n" << text;
      EXPECT_TRUE(warnings.empty());
      EXPECT_EQ(describe(*back), describe(*g)) << "family " << fam << " n " << n;
      std::string again;
      ASSERT_TRUE(writeOMLGraphToString(*back, again, err));
      EXPECT_EQ(again, text) << "writing what was read gives the same bytes";
    }
  }
}

TEST(OMLGraphFile, ReadReplacesContentsAndSettingsOfTheTarget) {
  Host host;
  auto src = host.graph();
  fill(*src, kTree, 5, 3);
  probe(*src)->spacing = kProbeDefault;  // equal to the default: not written
  std::string text;
  KWFileError err;
  ASSERT_TRUE(writeOMLGraphToString(*src, text, err));
  EXPECT_EQ(text.find("tlayout {\n    nodeSpacing"), std::string::npos);
  auto target = host.graph();
  fill(*target, kGrid, 16, 9);
  probe(*target)->spacing = 3;
  ASSERT_TRUE(readOMLGraphFromString(text, "r", *target, err)) << err.text();
  EXPECT_EQ(target->numberOfNodes(), 5);
  EXPECT_EQ(probe(*target)->spacing, kProbeDefault) << "a setting the file leaves out takes its default";
  EXPECT_EQ(describe(*target), describe(*src));
}

TEST(OMLGraphFile, FileStateIsReleasedAfterEveryOperation) {
  Host host;
  auto g = host.graph();
  fill(*g, kCycle, 4, 1);
  const int before = probe(*g)->releases;
  std::string text;
  KWFileError err;
  ASSERT_TRUE(writeOMLGraphToString(*g, text, err));
  EXPECT_GE(probe(*g)->releases, before + 1);
  const int afterWrite = probe(*g)->releases;
  ASSERT_TRUE(readOMLGraphFromString(text, "r", *g, err));
  EXPECT_GE(probe(*g)->releases, afterWrite + 1);
  const int afterRead = probe(*g)->releases;
  EXPECT_FALSE(readOMLGraphFromString("oml 1\ngraph {\n  bogus 1\n}\n", "r", *g, err));
  EXPECT_EQ(probe(*g)->releases, afterRead) << "a failed read does not touch the target at all";
}

TEST(OMLGraphFile, SectionsOfUnusedStylesAreSkippedWithAWarning) {
  Host host;
  const std::string text =
      "oml 1\ngraph {\n  hlayout {\n    whatever 12\n    deeper {\n      x \"y\"\n    }\n  }\n"
      "  node 1 {\n    olayout {\n    }\n  }\n}\n";
  auto g = host.graph();
  std::vector<std::string> warnings;
  KWFileError err;
  ASSERT_TRUE(readOMLGraphFromString(text, "s.oml", *g, err, &warnings)) << err.text();
  EXPECT_EQ(g->numberOfNodes(), 1);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_NE(warnings[0].find("s.oml:3:3"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[0].find("hierarchic"), std::string::npos);
  EXPECT_NE(warnings[1].find("orthogonal"), std::string::npos);
}

TEST(OMLGraphFile, StyleSectionsReachTheirTailors) {
  Host host;
  auto g = host.graph(true);
  std::string text =
      "oml 1\ngraph {\n  tlayout {\n    nodeSpacing -12\n  }\n  node 4 {\n    tlayout {\n      constrained true\n"
      "    }\n  }\n}\n";
  KWFileError err;
  ASSERT_TRUE(readOMLGraphFromString(text, "t", *g, err)) << err.text();
  EXPECT_EQ(probe(*g)->spacing, -12);
  ASSERT_EQ(g->numberOfNodes(), 1);
  EXPECT_EQ(g->castNode(g->pNodeList()->pFirstCell())->pPrivateTailor(KWTreeLayoutStyle)->flagBit(1), 1);

  // The hierarchic style (a plain base tailor) takes no field: naming one is an error.
  EXPECT_FALSE(readOMLGraphFromString("oml 1\ngraph {\n  hlayout {\n    nodeSpacing 5\n  }\n}\n", "t", *g, err));
  EXPECT_EQ(err.line, 4);
  EXPECT_NE(err.message.find("not a setting"), std::string::npos) << err.text();
  EXPECT_EQ(probe(*g)->spacing, -12);
}

TEST(OMLGraphFile, BadFilesGiveAClearErrorAndLeaveTheTargetUntouched) {
  const BadText cases[] = {
      {"", 1, 1, "expected 'oml 1'"},
      {"oml 2\ngraph {\n}\n", 1, 5, "unsupported OML version"},
      {"oml \"1\"\ngraph {\n}\n", 1, 5, "unsupported"},
      {"oml 1\n", 1, 1, "no 'graph' section"},
      {"graph {\n}\noml 1\n", 1, 1, "before the 'graph'"},
      {"oml 1\ngraph {\n}\ngraph {\n}\n", 4, 1, "one graph"},
      {"oml 1\nnodes {\n}\n", 2, 1, "unknown section 'nodes'"},
      {"oml 1\nversion 3\n", 2, 1, "unknown field 'version'"},
      {"oml 1\ngraph {\n  node 1 {\n    x \"5\"\n  }\n}\n", 4, 7, "expected an integer"},
      {"oml 1\ngraph {\n  node 1 {\n    dummy 1\n  }\n}\n", 4, 11, "expected true or false"},
      {"oml 1\ngraph {\n  node 1 {\n    name 3\n  }\n}\n", 4, 10, "expected a quoted string"},
      {"oml 1\ngraph {\n  node 1 {\n    x 1000000001\n  }\n}\n", 4, 7, "out of range"},
      {"oml 1\ngraph {\n  node 1 {\n    width -1\n  }\n}\n", 4, 11, "out of range"},
      {"oml 1\ngraph {\n  node 1 {\n    colour 3\n  }\n}\n", 4, 5, "unknown keyword 'colour'"},
      {"oml 1\ngraph {\n  node 1 {\n    from 3\n  }\n}\n", 4, 5, "not a field of node 1"},
      {"oml 1\ngraph {\n  node 1 {\n    x 1\n    x 2\n  }\n}\n", 5, 5, "given twice"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  node 1 {\n  }\n}\n", 5, 3, "used twice"},
      {"oml 1\ngraph {\n  node {\n  }\n}\n", 3, 3, "id as a label"},
      {"oml 1\ngraph {\n  node 1 {\n    bend {\n    }\n  }\n}\n", 4, 5, "unknown section 'bend'"},
      {"oml 1\ngraph {\n  edge 1 {\n    to 1\n  }\n}\n", 3, 3, "needs 'from'"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge 1 {\n    from 1\n    to 2\n  }\n}\n", 7, 8, "no node with id 2"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge 1 {\n    from 1\n    to 1\n    bend {\n      x 1\n    }\n  }\n}\n", 8, 5,
       "needs 'y'"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge 1 {\n    from 1\n    to 1\n    fromConnector {\n      dx 1\n      dy 1\n"
       "    }\n    fromConnector {\n      dx 1\n      dy 1\n    }\n  }\n}\n", 12, 5, "given twice"},
      {"oml 1\ngraph {\n  tlayout {\n    nodeSpacing true\n  }\n}\n", 4, 17, "expected an integer"},
      {"oml 1\ngraph {\n  tlayout {\n    nodeSpacing 2147483648\n  }\n}\n", 4, 17, "out of range"},
      {"oml 1\ngraph {\n  tlayout {\n    constrained true\n  }\n}\n", 4, 5, "not a setting"},
      {"oml 1\ngraph {\n  tlayout {\n    spacing 3\n  }\n}\n", 4, 5, "unknown keyword"},
      {"oml 1\ngraph {\n  tlayout {\n    nodeSpacing 3\n    nodeSpacing 4\n  }\n}\n", 5, 5, "given twice"},
      {"oml 1\ngraph {\n  tlayout {\n    node {\n    }\n  }\n}\n", 4, 5, "unknown section"},
      {"oml 1\ngraph {\n  tlayout 2 {\n  }\n}\n", 3, 3, "no label"},
      {"oml 1\ngraph {\n  node 1 {\n    x 1\n", 5, 1, "not closed"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  }\n}\n", 6, 1, "without an open section"},
  };
  Host host;
  for (const BadText& c : cases) {
    auto target = host.graph();
    fill(*target, kGrid, 9, 5);
    const std::string before = describe(*target);
    const long changes = target->tailorChanges();
    KWFileError err;
    EXPECT_FALSE(readOMLGraphFromString(c.text, "bad.oml", *target, err)) << c.text;
    EXPECT_EQ(err.file, "bad.oml");
    EXPECT_EQ(err.line, c.line) << c.text << " -> " << err.text();
    EXPECT_EQ(err.column, c.column) << c.text << " -> " << err.text();
    EXPECT_NE(err.message.find(c.says), std::string::npos) << c.text << " -> " << err.text();
    EXPECT_EQ(describe(*target), before);
    EXPECT_EQ(target->tailorChanges(), changes);
  }
}

TEST(OMLGraphFile, CountLimitsAreEnforced) {
  Host host;
  auto g = host.graph();
  fill(*g, kCycle, 6, 2);
  std::string text;
  KWFileError err;
  ASSERT_TRUE(writeOMLGraphToString(*g, text, err));
  KWOMLLimits limits;
  limits.maxNodes = 5;
  auto target = host.graph();
  EXPECT_FALSE(readOMLGraphFromString(text, "l", *target, err, nullptr, limits));
  EXPECT_NE(err.message.find("more nodes"), std::string::npos);
  limits = KWOMLLimits();
  limits.maxEdges = 5;
  EXPECT_FALSE(readOMLGraphFromString(text, "l", *target, err, nullptr, limits));
  EXPECT_NE(err.message.find("more edges"), std::string::npos);
  limits = KWOMLLimits();
  limits.maxBends = 1;
  EXPECT_FALSE(readOMLGraphFromString(text, "l", *target, err, nullptr, limits));
  EXPECT_NE(err.message.find("more bends"), std::string::npos);
  EXPECT_EQ(target->numberOfNodes(), 0);
}

TEST(OMLGraphFile, WriterRefusesWhatCannotBeReadBack) {
  Host host;
  auto g = host.graph();
  KWDNode* n = g->newNode(2000000000L, 0, 10, 10, "far");
  std::string text = "unchanged";
  KWFileError err;
  EXPECT_FALSE(writeOMLGraphToString(*g, text, err));
  EXPECT_NE(err.message.find("node 1: x"), std::string::npos) << err.text();
  EXPECT_EQ(text, "unchanged");
  n->ntMoveTo(0, 0);
  g->layoutRunning(1);
  EXPECT_FALSE(writeOMLGraphToString(*g, text, err));
  EXPECT_FALSE(readOMLGraphFromString("oml 1\ngraph {\n}\n", "x", *g, err));
  g->layoutRunning(0);
  EXPECT_TRUE(writeOMLGraphToString(*g, text, err)) << err.text();

  g->enableLayoutStyle(KWCircularLayoutStyle);  // a style that leaves its section open
  EXPECT_FALSE(writeOMLGraphToString(*g, text, err));
  EXPECT_NE(err.message.find("malformed"), std::string::npos) << err.text();
}

TEST(OMLGraphFile, FilesAndStreams) {
  Host host;
  auto g = host.graph();
  fill(*g, kGrid, 12, 4);
  const std::string dir = tempDir();
  const std::string path = dir + "/g.oml";
  KWFileError err;
  ASSERT_TRUE(writeOMLGraph(*g, path, err)) << err.text();
  std::string viaString;
  ASSERT_TRUE(writeOMLGraphToString(*g, viaString, err));
  EXPECT_EQ(read(path), viaString);
  std::ostringstream os;
  ASSERT_TRUE(writeOMLGraph(*g, os, "s", err));
  EXPECT_EQ(os.str(), viaString);

  auto back = host.graph();
  ASSERT_TRUE(readOMLGraph(path, *back, err)) << err.text();
  EXPECT_EQ(describe(*back), describe(*g));
  auto back2 = host.graph();
  std::istringstream is(viaString);
  ASSERT_TRUE(readOMLGraph(is, "stream", *back2, err)) << err.text();
  EXPECT_EQ(describe(*back2), describe(*g));

  EXPECT_FALSE(readOMLGraph(dir + "/missing.oml", *back, err));
  EXPECT_EQ(err.file, dir + "/missing.oml");
  EXPECT_NE(err.message.find("cannot open"), std::string::npos);
  EXPECT_FALSE(readOMLGraph(dir, *back, err));
  EXPECT_NE(err.message.find("directory"), std::string::npos);
  EXPECT_EQ(describe(*back), describe(*g));

  EXPECT_FALSE(writeOMLGraph(*g, dir + "/no/such/dir/g.oml", err));
  EXPECT_NE(err.message.find("temporary file"), std::string::npos) << err.text();
  EXPECT_FALSE(writeOMLGraph(*g, dir, err));
  EXPECT_NE(err.message.find("directory"), std::string::npos);
  EXPECT_EQ(filesIn(dir), 1) << "no temporary file is left behind";
  std::remove(path.c_str());
  rmdir(dir.c_str());
}

TEST(OMLGraphFile, FailedWriteKeepsTheOldFile) {
  Host host;
  auto big = host.graph();
  fill(*big, kGrid, 400, 8);
  const std::string dir = tempDir();
  const std::string path = dir + "/keep.oml";
  const std::string old(5000, '#');
  {
    std::ofstream(path, std::ios::binary) << old;
  }
  // The child may write only small files, as if the disk were full.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &rl);
    KWFileError err;
    bool ok = writeOMLGraph(*big, path, err);
    _exit(!ok && err.message.find("unchanged") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write failed and said so";
  EXPECT_EQ(read(path), old) << "the old file is intact";
  EXPECT_EQ(filesIn(dir), 1) << "the temporary file is gone";
  std::remove(path.c_str());
  rmdir(dir.c_str());
}

// ---- graph-file extensions --------------------------------------------------------------------

class ProbeExtension : public KWDGraphFileExtension {
 public:
  using KWDGraphFileExtension::KWDGraphFileExtension;
  KWLayoutStyleEnum layoutStyle() const override { return KWTreeLayoutStyle; }
  std::string calls;
  int readGraphTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWGraph*) override { calls += "g"; return 1; }
  int readNodeTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWNode*) override { calls += "n"; return 1; }
  int readEdgeTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWEdge*) override { calls += "e"; return 1; }
  KWObject* createNodeTailorSubobject(KWOMLSyntaxObject*, KWOMLSyntaxObject*, KWNode* n) override {
    calls += "N";
    return n;
  }
};

TEST(OMLExtension, DefaultsAreFreshObjectsOfTheServedGraphsStyles) {
  Host host;
  auto g = host.graph(true);
  probe(*g)->spacing = 1;
  KWDGraphFileExtension ext(g.get());
  EXPECT_EQ(ext.pDefaultGraph(), nullptr);
  ext.createDefaults();
  KWDGraph* d = KWDGraph::castDown(ext.pDefaultGraph());
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->hasLayoutStyle(KWTreeLayoutStyle));
  EXPECT_TRUE(d->hasLayoutStyle(KWHierarchicLayoutStyle));
  EXPECT_EQ(probe(*d)->spacing, kProbeDefault);
  ASSERT_NE(KWDNode::castDown(ext.pDefaultNode()), nullptr);
  ASSERT_NE(KWDEdge::castDown(ext.pDefaultEdge()), nullptr);
  EXPECT_NE(KWDNode::castDown(ext.pDefaultNode())->pPrivateTailor(KWTreeLayoutStyle), nullptr);
  EXPECT_EQ(ext.pDefaultEdge()->pOwnerGraph(), d);
  ext.createDefaults();  // again: the first set goes, nothing leaks
  EXPECT_NE(ext.pDefaultGraph(), nullptr);

  KWDGraphFileExtension orphan(nullptr);
  orphan.createDefaults();
  EXPECT_EQ(orphan.pDefaultGraph(), nullptr);
  EXPECT_EQ(orphan.pDefaultNode(), nullptr);
}

TEST(OMLExtension, WriterOperationsGoToTheAttachedFile) {
  KWDGraphFileExtension ext;
  ext.writeAttribute("x", 1);  // no file: nothing happens
  EXPECT_EQ(ext.writeWithDefaults(), 0);
  KWOMLFile f;
  f.writeWithDefaults(1);
  ext.pOMLFile(&f);
  EXPECT_EQ(ext.writeWithDefaults(), 1);
  ext.writeBlancLine();
  ext.writeSectionStart("slayout", 0);
  ext.writeOpeningBracket();
  ext.writeAttribute("nodeSpacing", -5);
  ext.writeBoolAttribute("routeEdges", 0);
  ext.writeClosingBracket();
  EXPECT_TRUE(f.wellFormed());
  KWOMLSyntaxObject root;
  KWFileError err;
  ASSERT_TRUE(KWOMLParser::parse(f.contents(), "x", root, err)) << err.text();
  ASSERT_EQ(root.objects().size(), 1u);
  EXPECT_EQ(root.objects()[0]->findField(KWOMLKeyNodeSpacing)->intValue(), -5);
  EXPECT_EQ(root.objects()[0]->findField(KWOMLKeyRouteEdges)->boolValue(), 0);
}

TEST(OMLExtension, StyleDispatchFollowsTheSectionAndTheOwner) {
  Host host;
  auto g = host.graph();
  KWDNode* n = g->newNode(0, 0, 1, 1);
  KWDEdge* e = g->newEdge(n, n);
  ProbeExtension ext(g.get());
  KWOMLSyntaxObject mine("tlayout"), other("slayout"), unknown("zlayout");
  KWOMLSyntaxField f = KWOMLSyntaxField::integer("nodeSpacing", 1);
  EXPECT_EQ(ext.readStyleObject(&f, &mine, g.get()), 1);
  EXPECT_EQ(ext.readStyleObject(&f, &mine, n), 1);
  EXPECT_EQ(ext.readStyleObject(&f, &mine, e), 1);
  EXPECT_EQ(ext.readStyleObject(&f, &other, g.get()), 0) << "another style's section";
  EXPECT_EQ(ext.readStyleObject(&f, &unknown, g.get()), 0);
  EXPECT_EQ(ext.readStyleObject(nullptr, &mine, g.get()), 0);
  EXPECT_EQ(ext.readStyleObject(&f, &mine, nullptr), 0);
  KWObject plain;
  EXPECT_EQ(ext.readStyleObject(&f, &mine, &plain), 0);
  EXPECT_EQ(ext.calls, "gne");
  KWOMLSyntaxObject sub("part");
  EXPECT_EQ(ext.createStyleSubobject(&sub, &mine, n), n);
  EXPECT_EQ(ext.createStyleSubobject(&sub, &other, n), nullptr);
  EXPECT_EQ(ext.createStyleSubobject(&sub, &mine, g.get()), nullptr) << "the base creates nothing";
  EXPECT_EQ(ext.calls, "gneN");

  KWGraphFileExtension base;
  EXPECT_NE(base.checkWriteGraphTailor(g.get(), 0, 1), 0) << "nothing to write by default";
  EXPECT_EQ(base.readStyleObject(&f, &mine, g.get()), 0) << "a style-less extension takes nothing";
}

}  // namespace
