// Legacy model files on the host side: records, the hand-out of double-slash
// lines to the layout styles' extensions, and what bad input does.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "host/kwbgraph.h"
#include "host/kwblayfa.h"
#include "host/kwdgraph.h"
#include "host/kwfactory.h"
#include "host/kwmodfil.h"
#include "host/kwtailor.h"

namespace {

// What a style's extension was handed: the part, key, value and the objects
// the model file named as the last ones.
struct Call {
  KWModelFile::Part part;
  std::string key;
  std::string value;
  std::string lastNode;
  std::string lastEdge;
};

// An extension that records every line and takes those whose key begins with
// its prefix; it stores "// set N" into its graph tailor's flag word.
class RecordingExtension : public KWModelFileExtension {
 public:
  RecordingExtension(KWModelFile* f, std::vector<Call>* calls, std::string prefix)
      : KWModelFileExtension(f), calls_(calls), prefix_(std::move(prefix)) {}
  int readTailoring(const char* v) override { return record(v); }
  int readExpert(const char* v) override { return record(v); }
  int readDerivedSpecific(const char* v) override { return record(v); }
  int readNode(const char* v) override { return record(v); }
  int readEdge(const char* v) override { return record(v); }

 private:
  int record(const char* v) {
    KWModelFile* f = pModelFile();
    std::string key = f->pDoubleSlashText()->pString();
    calls_->push_back({f->currentPart(), key, v, f->pLastNode() ? f->pLastNode()->name() : "-",
                       f->pLastEdge() ? f->pLastEdge()->name() : "-"});
    if (key == "// set") f->pGraph()->pPrivateTailor(KWTreeLayoutStyle)->flagWord(static_cast<unsigned>(atoi(v)));
    return key.compare(0, prefix_.size(), prefix_) == 0;
  }
  std::vector<Call>* calls_;
  std::string prefix_;
};

class RecordingGraph : public KWBGraph {
 public:
  RecordingGraph(KWDGraph* g, std::vector<Call>* calls, std::string prefix)
      : KWBGraph(g), calls_(calls), prefix_(std::move(prefix)) {}
  KWModelFileExtension* newModelFileExtension(KWModelFile* f) override {
    return new RecordingExtension(f, calls_, prefix_);
  }

 private:
  std::vector<Call>* calls_;
  std::string prefix_;
};

class RecordingFactory : public KWBLayoutFactory {
 public:
  RecordingFactory(KWLayoutStyleEnum style, std::string prefix) : KWBLayoutFactory(style), prefix_(std::move(prefix)) {}
  std::vector<Call> calls;

 protected:
  KWGraphExt* vNewGraphExt(KWDGraph* g) override { return new RecordingGraph(g, &calls, prefix_); }

 private:
  std::string prefix_;
};

struct Host {
  RecordingFactory tree{KWTreeLayoutStyle, "// set"};
  RecordingFactory circular{KWCircularLayoutStyle, "// c"};
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
  std::ostringstream s;
  s << "flags " << g.pPrivateTailor(KWTreeLayoutStyle)->flagWord() << "\n";
  for (KWDNodeIter it(&g); it; ++it) {
    const KWDNode* n = it.pNode();
    s << "node [" << n->name() << "] " << n->ntX() << ' ' << n->ntY() << ' ' << n->ntWidth() << ' ' << n->ntHeight()
      << ' ' << n->isDummy() << "\n";
  }
  for (KWDEdgeIter it(&g); it; ++it) {
    const KWDEdge* e = it.pEdge();
    s << "edge [" << e->name() << "] " << e->pFromNode()->name() << "->" << e->pToNode()->name();
    for (const KWPoint& p : e->bendPoints()) s << " b(" << p.x() << ',' << p.y() << ')';
    if (e->hasSpecifiedFromConnector()) s << " fc(" << e->pFromConnector()->dx() << ',' << e->pFromConnector()->dy() << ')';
    if (e->hasSpecifiedToConnector()) s << " tc(" << e->pToConnector()->dx() << ',' << e->pToConnector()->dy() << ')';
    s << "\n";
  }
  return s.str();
}

const char* const kSample =
    "# a sample\n"
    "model 1\n"
    "graph\n"
    "// set 6\n"
    "//   cKey    value with  spaces  \r\n"
    "expert\n"
    "// cExpert 1\n"
    "derived\n"
    "// nobody 2\n"
    "node a -10 20 60 40\n"
    "// cNode x\n"
    "node \"b c\\x01\" 100 0 0 0 dummy   # trailing comment\n"
    "edge e1 a \"b c\\x01\"\n"
    "bend 50 40\n"
    "connector to 0 -20\n"
    "// cEdge y\n"
    "edge e2 a a\n"
    "connector from 3 4\n";

TEST(ModelFile, RecordsBuildTheGraph) {
  Host host;
  auto g = host.graph();
  KWFileError err;
  std::vector<std::string> warnings;
  ASSERT_TRUE(readModelFileFromString(kSample, "s.model", *g, err, &warnings)) << err.text();
  EXPECT_EQ(describe(*g),
            "flags 6\n"
            "node [a] -10 20 60 40 0\n"
            "node [b c\x01] 100 0 0 0 1\n"
            "edge [e1] a->b c\x01 b(50,40) tc(0,-20)\n"
            "edge [e2] a->a fc(3,4)\n");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("s.model:9:1"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[0].find("'// nobody'"), std::string::npos);
}

TEST(ModelFile, DoubleSlashLinesGoToTheStylesInTurnWithTheirContext) {
  Host host;
  auto g = host.graph();
  KWFileError err;
  ASSERT_TRUE(readModelFileFromString(kSample, "s.model", *g, err)) << err.text();
  // The styles are asked in the order of their numbers: the circular style
  // first, which sees every line and takes the "// c…" ones; the tree style
  // sees only what the circular one left.
  const std::vector<Call>& t = host.tree.calls;
  const std::vector<Call>& c = host.circular.calls;
  ASSERT_EQ(c.size(), 6u);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].key, "// set");
  EXPECT_EQ(t[0].part, KWModelFile::KWModelTailoringPart);
  EXPECT_EQ(t[1].key, "// nobody");
  EXPECT_EQ(t[1].part, KWModelFile::KWModelDerivedPart);
  EXPECT_EQ(c[1].key, "// cKey");
  EXPECT_EQ(c[1].value, "value with  spaces") << "the value text is trimmed, inner spaces kept";
  EXPECT_EQ(c[2].part, KWModelFile::KWModelExpertPart);
  EXPECT_EQ(c[3].part, KWModelFile::KWModelDerivedPart);
  EXPECT_EQ(c[4].part, KWModelFile::KWModelNodePart);
  EXPECT_EQ(c[4].lastNode, "a");
  EXPECT_EQ(c[4].lastEdge, "-");
  EXPECT_EQ(c[5].part, KWModelFile::KWModelEdgePart);
  EXPECT_EQ(c[5].key, "// cEdge");
  EXPECT_EQ(c[5].lastEdge, "e1") << "bend and connector records keep the edge part";
  EXPECT_EQ(c[5].lastNode, "b c\x01");
}

TEST(ModelFile, ApplyingTailoringTouchesOnlyGraphSettings) {
  Host host;
  auto g = host.graph();
  KWDNode* n = g->newNode(1, 2, 3, 4, "keep");
  g->newEdge(n, n, "loop");
  const std::string before = describe(*g);
  KWFileError err;
  ASSERT_TRUE(applyModelFileTailoringFromString(kSample, "s.model", *g, err)) << err.text();
  EXPECT_EQ(g->pPrivateTailor(KWTreeLayoutStyle)->flagWord(), 6u);
  EXPECT_EQ(g->numberOfNodes(), 1);
  EXPECT_EQ(describe(*g).substr(describe(*g).find('\n')), before.substr(before.find('\n')));
  for (const Call& c : host.circular.calls) {
    EXPECT_NE(c.part, KWModelFile::KWModelNodePart);
    EXPECT_NE(c.part, KWModelFile::KWModelEdgePart);
  }
  EXPECT_EQ(host.circular.calls.size(), 4u) << "the four graph-level lines";
}

TEST(ModelFile, ReadTrueOrFalse) {
  KWModelFile f;
  const struct { const char* text; int value; } cases[] = {
      {"true", 1}, {"TRUE", 1}, {"  True", 1}, {"yes", 1}, {"On", 1}, {"1", 1}, {"-2", 1}, {" 17abc", 1},
      {"true!", 1}, {"false", 0}, {"no", 0}, {"off", 0}, {"0", 0}, {"", 0}, {"truely", 0}, {"t", 0},
      {"maybe", 0}, {"+0", 0}};
  for (const auto& c : cases) EXPECT_EQ(f.readTrueOrFalse(c.text), c.value) << "'" << c.text << "'";
  EXPECT_EQ(f.readTrueOrFalse(nullptr), 0);
}

TEST(ModelFile, BaseExtensionTakesNothing) {
  KWModelFile f("x");
  KWModelFileExtension ext(&f);
  f.currentLine(KWModelFile::KWModelTailoringPart, 3, "springConstant");
  EXPECT_STREQ(f.pDoubleSlashText()->pString(), "// springConstant");
  EXPECT_EQ(ext.readCurrentLine("2"), 0);
  KWModelFileExtension none(nullptr);
  EXPECT_EQ(none.readCurrentLine("2"), 0);
}

struct BadModel {
  const char* text;
  long line;
  long column;
  const char* says;
};

TEST(ModelFile, BadFilesGiveAClearErrorAndLeaveTheTargetUntouched) {
  const BadModel cases[] = {
      {"", 1, 1, "expected 'model 1'"},
      {"graph\n", 1, 1, "expected 'model 1'"},
      {"model 2\ngraph\n", 1, 7, "unsupported"},
      {"model one\n", 1, 7, "expected an integer"},
      {"model 1\n", 2, 1, "no 'graph'"},
      {"model 1\n// springConstant 1\ngraph\n", 2, 1, "must follow"},
      {"model 1\nnode a 0 0 1 1\n", 2, 1, "'graph' record before"},
      {"model 1\ngraph\ngraph\n", 3, 1, "one graph"},
      {"model 1\ngraph x\n", 2, 7, "too many"},
      {"model 1\ngraph\nvertex a\n", 3, 1, "unknown record 'vertex'"},
      {"model 1\ngraph\nnode a 0 0 1\n", 3, 1, "too few"},
      {"model 1\ngraph\nnode a 0 0 1 1 dumy\n", 3, 16, "expected 'dummy'"},
      {"model 1\ngraph\nnode a 0 0 1 1 dummy 7\n", 3, 22, "too many"},
      {"model 1\ngraph\nnode a 1.5 0 1 1\n", 3, 8, "expected an integer"},
      {"model 1\ngraph\nnode a 0 0 -1 1\n", 3, 12, "out of range"},
      {"model 1\ngraph\nnode a 99999999999999999999 0 1 1\n", 3, 8, "out of range"},
      {"model 1\ngraph\nnode a 0 0 1 1\nnode a 0 0 1 1\n", 4, 6, "used twice"},
      {"model 1\ngraph\nnode a 0 0 1 1\nedge e a b\n", 4, 10, "no node named 'b'"},
      {"model 1\ngraph\nnode a 0 0 1 1\nbend 1 2\n", 4, 1, "must follow an edge"},
      {"model 1\ngraph\nnode a 0 0 1 1\nedge e a a\nconnector side 1 2\n", 5, 11, "expected 'from' or 'to'"},
      {"model 1\ngraph\nnode a 0 0 1 1\nedge e a a\nconnector to 1 2\nconnector to 1 2\n", 6, 1, "given twice"},
      {"model 1\ngraph\nnode \"a 0 0 1 1\n", 3, 16, "unterminated"},
      {"model 1\ngraph\nnode \"a\"0 0 1 1\n", 3, 9, "expected a space"},
      {"model 1\ngraph\nnode a\x02 0 0 1 1\n", 3, 7, "control character"},
      {"model 1\ngraph\n//\n", 3, 3, "expected a key"},
  };
  Host host;
  for (const BadModel& c : cases) {
    auto target = host.graph();
    KWDNode* n = target->newNode(5, 5, 5, 5, "old");
    target->newEdge(n, n, "old");
    target->pPrivateTailor(KWTreeLayoutStyle)->flagWord(9);
    const std::string before = describe(*target);
    KWFileError err;
    EXPECT_FALSE(readModelFileFromString(c.text, "bad.model", *target, err)) << c.text;
    EXPECT_EQ(err.file, "bad.model");
    EXPECT_EQ(err.line, c.line) << c.text << " -> " << err.text();
    EXPECT_EQ(err.column, c.column) << c.text << " -> " << err.text();
    EXPECT_NE(err.message.find(c.says), std::string::npos) << c.text << " -> " << err.text();
    EXPECT_EQ(describe(*target), before);
    EXPECT_FALSE(applyModelFileTailoringFromString(std::string(c.text) + "\n// set 3\n", "bad.model", *target, err));
    EXPECT_EQ(describe(*target), before) << "nothing is applied from a bad file";
  }
}

TEST(ModelFile, RandomBytesAndMutationsNeverCrash) {
  Host host;
  std::mt19937 rng(99);
  const std::string good = kSample;
  int failures = 0;
  for (int i = 0; i < 2000; ++i) {
    std::string text = good;
    if (i % 4 == 0) {
      text.clear();
      for (int j = static_cast<int>(rng() % 200); j > 0; --j) text += static_cast<char>(rng());
    } else {
      for (int j = 1 + static_cast<int>(rng() % 3); j > 0; --j) {
        std::size_t at = rng() % text.size();
        if (rng() % 2) text[at] = static_cast<char>(rng());
        else text.erase(at, 1 + rng() % 10);
        if (text.empty()) text = "x";
      }
    }
    auto target = host.graph();
    target->newNode(1, 1, 1, 1, "stay");
    const std::string before = describe(*target);
    KWFileError err;
    if (!readModelFileFromString(text, "fuzz", *target, err)) {
      ++failures;
      EXPECT_EQ(describe(*target), before);
      EXPECT_FALSE(err.message.empty());
    }
  }
  EXPECT_GT(failures, 500);
}

TEST(ModelFile, LimitsAndFiles) {
  Host host;
  auto g = host.graph();
  KWOMLLimits limits;
  limits.maxNodes = 1;
  KWFileError err;
  EXPECT_FALSE(readModelFileFromString(kSample, "l", *g, err, nullptr, limits));
  EXPECT_NE(err.message.find("more nodes"), std::string::npos);
  limits = KWOMLLimits();
  limits.maxLineLength = 10;
  EXPECT_FALSE(readModelFileFromString(kSample, "l", *g, err, nullptr, limits));
  EXPECT_EQ(err.line, 5) << "the first line longer than 10 bytes";
  EXPECT_FALSE(readModelFile("/nonexistent/dir/x.model", *g, err));
  EXPECT_EQ(err.file, "/nonexistent/dir/x.model");

  char path[] = "/tmp/kwmodelXXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  {
    std::ofstream(path) << kSample;
  }
  ASSERT_TRUE(readModelFile(path, *g, err)) << err.text();
  EXPECT_EQ(g->numberOfNodes(), 2);
  auto h = host.graph();
  ASSERT_TRUE(applyModelFileTailoring(path, *h, err)) << err.text();
  EXPECT_EQ(h->pPrivateTailor(KWTreeLayoutStyle)->flagWord(), 6u);
  std::remove(path);
}

}  // namespace
