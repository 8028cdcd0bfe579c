// Legacy model files on the host side: records, the hand-out of double-slash
// lines to the layout styles' extensions, and bad input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "host/kwbgraph.h"
#include "host/kwblayfa.h"
#include "host/kwfactory.h"
#include "host/kwmodfil.h"
#include "host/kwtailor.h"
#include "support/files.h"

namespace {

// What an extension was handed: part, key, value, last node and edge names.
struct Call {
  KWModelFile::Part part;
  std::string key, value, node, edge;
};

// Records every line and takes those whose key starts with its factory's
// prefix; a "// set N" line stores N in the tree style's graph tailor flag word.
struct RecordingFactory : KWBLayoutFactory {
  RecordingFactory(KWLayoutStyleEnum s, const std::string& p) : KWBLayoutFactory(s), prefix(p) {}
  std::vector<Call> calls;
  std::string prefix;
  KWGraphExt* vNewGraphExt(KWDGraph* g) override;
};
struct Recorder : KWModelFileExtension {
  Recorder(KWModelFile* f, RecordingFactory* o) : KWModelFileExtension(f), owner(o) {}
  RecordingFactory* owner;
  int readTailoring(const char* v) override { return record(v); }
  int readExpert(const char* v) override { return record(v); }
  int readDerivedSpecific(const char* v) override { return record(v); }
  int readNode(const char* v) override { return record(v); }
  int readEdge(const char* v) override { return record(v); }
  int record(const char* v) {
    KWModelFile* f = pModelFile();
    const std::string key = f->pDoubleSlashText()->pString();
    owner->calls.push_back({f->currentPart(), key, v, f->pLastNode() ? f->pLastNode()->name() : "-",
                            f->pLastEdge() ? f->pLastEdge()->name() : "-"});
    if (key == "// set") f->pGraph()->pPrivateTailor(KWTreeLayoutStyle)->flagWord(static_cast<unsigned>(atoi(v)));
    return key.compare(0, owner->prefix.size(), owner->prefix) == 0;
  }
};
struct RecordingGraph : KWBGraph {
  RecordingGraph(KWDGraph* g, RecordingFactory* o) : KWBGraph(g), owner(o) {}
  RecordingFactory* owner;
  KWModelFileExtension* newModelFileExtension(KWModelFile* f) override { return new Recorder(f, owner); }
};
KWGraphExt* RecordingFactory::vNewGraphExt(KWDGraph* g) { return new RecordingGraph(g, this); }

struct Host {
  RecordingFactory tree{KWTreeLayoutStyle, "// set"}, circular{KWCircularLayoutStyle, "// c"};
  KWFactory factory;
  Host() {
    factory.addLayoutFactory(&tree);
    factory.addLayoutFactory(&circular);
  }
  std::unique_ptr<KWDGraph> graph() {
    std::unique_ptr<KWDGraph> g(factory.newDGraph(KWTreeLayoutStyle));
    g->enableLayoutStyle(KWCircularLayoutStyle);
    return g;
  }
};

std::string describe(const KWDGraph& g) {
  return "flags " + std::to_string(g.pPrivateTailor(KWTreeLayoutStyle)->flagWord()) + "\n" + kwfiles::drawingOf(g);
}

const char* const kSample =
    "# a sample\nmodel 1\ngraph\n// set 6\n//   cKey    value with  spaces  \r\nexpert\n// cExpert 1\nderived\n"
    "// nobody 2\nnode a -10 20 60 40\n// cNode x\nnode \"b c\\x01\" 100 0 0 0 dummy   # comment\n"
    "edge e1 a \"b c\\x01\"\nbend 50 40\nconnector to 0 -20\n// cEdge y\nedge e2 a a\nconnector from 3 4\n";

TEST(ModelFile, RecordsBuildTheGraphLinesGoToTheStylesInTurnAndTailoringAppliesAlone) {
  Host host;
  auto g = host.graph();
  KWFileError err;
  std::vector<std::string> warnings;
  ASSERT_TRUE(readModelFileFromString(kSample, "s.model", *g, err, &warnings)) << err.text();
  EXPECT_EQ(describe(*g),
            "flags 6\n[a] -10 20 60 40 0\n[b c\x01] 100 0 0 0 1\n[e1] a > b c\x01 0 (50,40) t0,-20\n[e2] a > a 0 f3,4\n");
  ASSERT_EQ(warnings.size(), 1u) << "only the line nobody takes";
  EXPECT_NE(warnings[0].find("s.model:9:1: '// nobody'"), std::string::npos) << warnings[0];
  // Styles are asked in the order of their numbers: the circular one sees
  // every line and takes "// c…"; the tree one sees only what is left. The
  // lines under nodes and edges come first, with the drawing; the graph-level
  // lines then go to the target graph's own tailors.
  const std::vector<Call>& c = host.circular.calls;
  const std::vector<Call>& t = host.tree.calls;
  ASSERT_EQ(c.size(), 6u);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].key + t[1].key, "// set// nobody");
  EXPECT_EQ(c[3].value, "value with  spaces") << "trimmed, inner blanks kept";
  const KWModelFile::Part parts[] = {KWModelFile::KWModelNodePart,      KWModelFile::KWModelEdgePart,
                                     KWModelFile::KWModelTailoringPart, KWModelFile::KWModelTailoringPart,
                                     KWModelFile::KWModelExpertPart,    KWModelFile::KWModelDerivedPart};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(c[i].part, parts[i]) << i;
  EXPECT_EQ(c[0].node + "|" + c[0].edge, "a|-");
  EXPECT_EQ(c[1].node + "|" + c[1].edge, "b c\x01|e1") << "bend and connector records keep the edge part";

  // Applying a file's tailoring hands out only the graph-level lines.
  auto h = host.graph();
  host.circular.calls.clear();
  ASSERT_TRUE(applyModelFileTailoringFromString(kSample, "s.model", *h, err)) << err.text();
  EXPECT_EQ(h->pPrivateTailor(KWTreeLayoutStyle)->flagWord(), 6u);
  EXPECT_EQ(h->numberOfNodes(), 0) << "no records are built";
  EXPECT_EQ(host.circular.calls.size(), 4u) << "the four graph-level lines only";
}

TEST(ModelFile, ReadTrueOrFalse) {
  KWModelFile f("x");
  const std::pair<const char*, int> cases[] = {
      {"TRUE", 1}, {"  yes", 1}, {"On", 1}, {"-2", 1}, {" 17abc", 1}, {"true!", 1},
      {"false", 0}, {"", 0}, {"truely", 0}, {"+0", 0}};
  for (const auto& c : cases) EXPECT_EQ(f.readTrueOrFalse(c.first), c.second) << "'" << c.first << "'";
  EXPECT_EQ(f.readTrueOrFalse(nullptr), 0);
}

TEST(ModelFile, BadFilesGiveAClearError) {
  const struct {
    const char* text;
    long line, column;
    const char* says;
  } cases[] = {{"", 1, 1, "expected 'model 1'"},
               {"model 2\ngraph\n", 1, 7, "unsupported"},
               {"model 1\n", 2, 1, "no 'graph'"},
               {"model 1\n// springConstant 1\ngraph\n", 2, 1, "must follow"},
               {"model 1\nnode a 0 0 1 1\n", 2, 1, "'graph' record before"},
               {"model 1\ngraph\ngraph\n", 3, 1, "one graph"},
               {"model 1\ngraph\nexpert on\n", 3, 8, "too many"},
               {"model 1\ngraph\nvertex a\n", 3, 1, "unknown record 'vertex'"},
               {"model 1\ngraph\nnode a 0 0 1\n", 3, 1, "too few"},
               {"model 1\ngraph\nnode a 0 0 1 1 dumy\n", 3, 16, "expected 'dummy'"},
               {"model 1\ngraph\nnode a 1.5 0 1 1\n", 3, 8, "expected an integer"},
               {"model 1\ngraph\nnode a 0 0 -1 1\n", 3, 12, "out of range"},
               {"model 1\ngraph\nnode a 0 0 1 1\nnode a 0 0 1 1\n", 4, 6, "used twice"},
               {"model 1\ngraph\nnode a 0 0 1 1\nedge e a b\n", 4, 10, "no node named 'b'"},
               {"model 1\ngraph\nnode a 0 0 1 1\nbend 1 2\n", 4, 1, "must follow an edge"},
               {"model 1\ngraph\nnode a 0 0 1 1\nedge e a a\nconnector side 1 2\n", 5, 11, "'from' or 'to'"},
               {"model 1\ngraph\nnode a 0 0 1 1\nedge e a a\nconnector to 1 2\nconnector to 1 2\n", 6, 1, "twice"},
               {"model 1\ngraph\nnode \"a 0 0 1 1\n", 3, 16, "unterminated"},
               {"model 1\ngraph\nnode \"a\"0 0 1 1\n", 3, 9, "expected a space"},
               {"model 1\ngraph\nnode a\x02 0 0 1 1\n", 3, 7, "control character"},
               {"model 1\ngraph\n//\n", 3, 3, "expected a key"}};
  Host host;
  for (const auto& c : cases) {
    auto target = host.graph();
    KWFileError err;
    EXPECT_FALSE(readModelFileFromString(c.text, "bad.model", *target, err)) << c.text;
    EXPECT_EQ(err.file, "bad.model");
    EXPECT_EQ(err.line, c.line) << c.text << " -> " << err.text();
    EXPECT_EQ(err.column, c.column) << c.text << " -> " << err.text();
    EXPECT_NE(err.message.find(c.says), std::string::npos) << c.text << " -> " << err.text();
  }
}

TEST(ModelFile, LimitsAndFiles) {
  Host host;
  auto g = host.graph();
  KWOMLLimits limits;
  limits.maxNodes = 1;
  limits.maxLineLength = 10;
  KWFileError err;
  EXPECT_FALSE(readModelFileFromString(kSample, "l", *g, err, nullptr, limits));
  EXPECT_EQ(err.line, 5) << "the first line longer than 10 bytes";
  limits.maxLineLength = 100;
  EXPECT_FALSE(readModelFileFromString(kSample, "l", *g, err, nullptr, limits));
  EXPECT_NE(err.message.find("more nodes"), std::string::npos);
  EXPECT_FALSE(readModelFile("/nonexistent/x.model", *g, err));
  EXPECT_EQ(err.file, "/nonexistent/x.model");
  char path[] = "/tmp/kwmodelXXXXXX";
  close(mkstemp(path));
  std::ofstream(path) << kSample;
  ASSERT_TRUE(applyModelFileTailoring(path, *g, err)) << err.text();
  EXPECT_EQ(g->pPrivateTailor(KWTreeLayoutStyle)->flagWord(), 6u);
  std::remove(path);
}

}  // namespace
