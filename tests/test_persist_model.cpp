// The symmetric settings in legacy model files: every key of the table, the
// ignored node and edge key, whole keys with their letter case, and atof /
// atoi reading of the values.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>

#include "host/kwfactory.h"
#include "host/kwmodfil.h"
#include "layout/kwsgraph.h"
#include "module/kwslayfa.h"
#include "persist/kwsmdlex.h"
#include "tailor/kwsedta.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

namespace {

struct Env {
  KWSLayoutFactory styleFactory;
  KWBLayoutFactory treeFactory{KWTreeLayoutStyle};
  KWFactory factory;
  Env() {
    factory.addLayoutFactory(&styleFactory);
    factory.addLayoutFactory(&treeFactory);
  }
  std::unique_ptr<KWDGraph> graph() { return std::unique_ptr<KWDGraph>(factory.newDGraph(KWSymmetricLayoutStyle)); }
};

// Every graph setting a model file can set, as one comparable row.
std::vector<double> settings(const KWSGraphTailor& t) {
  const int ints[] = {t.maxNodeIterations(), t.maxMoveIterations(), t.maxNodesMovedMultiplier(), t.shrinkagePerMil(),
                      t.nodeSpacing(), t.dummyNodeSpacing(), t.randomSeed(), t.incrementalWithinComponentLayout()};
  std::vector<double> row = {t.springConstant(), t.terminationValue()};
  row.insert(row.end(), ints, ints + 8);
  return row;
}

// Hands one line to the symmetric extension the graph makes for a model file.
int line(KWDGraph& g, const std::string& key, const char* value,
         KWModelFile::Part part = KWModelFile::KWModelTailoringPart, KWDNode* node = nullptr, KWDEdge* edge = nullptr) {
  KWModelFile file("m", &g);
  std::unique_ptr<KWModelFileExtension> x(g.pSGraph()->newModelFileExtension(&file));
  EXPECT_NE(dynamic_cast<KWSModelFileExtension*>(x.get()), nullptr);
  file.pLastNode(node);
  file.pLastEdge(edge);
  file.currentLine(part, 1, key);
  return x->readCurrentLine(value);
}

TEST(SymmetricModelKeys, EachKeySetsItsSettingAndNothingElse) {
  const struct {
    const char* key;
    const char* value;
    int index;  // in the settings row
    double expected;
  } keys[] = {{"springConstant", "2.5", 0, 2.5},          {"epsilon", "0.5", 1, 0.5},
              {"maxNodeIterations", "7", 2, 7},           {"maxMoveIterations", "-3", 3, -3},
              {"maxNodesMovedMultiplier", "0", 4, 0},     {"shrinkagePercent", "5", 5, 5},
              {"snodeSpacing", "120", 6, 120},            {"regularNodeFramePercent", "130", 6, 130},
              {"dummySNodeSpacing", "12", 7, 12},         {"dummyNodeFramePercent", "13", 7, 13},
              {"randomSeed", "4711", 8, 4711},            {"saveCoordinates", "true", 9, 1}};
  Env env;
  for (const auto& k : keys) {
    auto g = env.graph();
    std::vector<double> expected = settings(*g->pSTailor());
    expected[static_cast<std::size_t>(k.index)] = k.expected;
    const long before = g->tailorChanges();
    EXPECT_EQ(line(*g, k.key, k.value), 1) << k.key;
    EXPECT_EQ(settings(*g->pSTailor()), expected) << k.key;
    EXPECT_EQ(line(*g, k.key, k.value), 1);
    EXPECT_EQ(g->tailorChanges(), before + 1) << k.key << ": one notification, none for the same value";
  }
}

TEST(SymmetricModelKeys, ValuesAreReadAsAtofAndAtoiReadThem) {
  Env env;
  auto g = env.graph();
  const KWSGraphTailor* t = g->pSTailor();
  const struct {
    const char* key;
    const char* value;
    std::function<double()> get;
    double expected;
  } cases[] = {{"epsilon", "0.5", [t] { return t->terminationValue(); }, 0.5},
               {"springConstant", "abc", [t] { return t->springConstant(); }, 0.0},
               {"springConstant", "  1.25e1xyz", [t] { return t->springConstant(); }, 12.5},
               {"springConstant", "", [t] { return t->springConstant(); }, 0.0},
               {"randomSeed", " 42abc", [t] { return t->randomSeed(); }, 42},
               {"randomSeed", "-17.9", [t] { return t->randomSeed(); }, -17},
               {"randomSeed", "x1", [t] { return t->randomSeed(); }, 0},
               {"randomSeed", nullptr, [t] { return t->randomSeed(); }, 0},
               // Beyond int atoi has no defined result; the nearest int is stored.
               {"randomSeed", "99999999999999999999999", [t] { return t->randomSeed(); }, INT_MAX},
               {"snodeSpacing", "-3000000000", [t] { return t->nodeSpacing(); }, INT_MIN}};
  for (const auto& c : cases) {
    EXPECT_EQ(line(*g, c.key, c.value), 1);
    EXPECT_EQ(c.get(), c.expected) << c.key << " '" << (c.value ? c.value : "(null)") << "'";
  }
  KWModelFile f;
  for (const char* v : {"true", "false", "1", "0", "yes", "no", "TRUE", "x", ""}) {
    EXPECT_EQ(line(*g, "saveCoordinates", v), 1);
    EXPECT_EQ(t->incrementalWithinComponentLayout(), f.readTrueOrFalse(v)) << v;
  }
}

TEST(SymmetricModelKeys, KeysAreWholeCaseSensitiveAndBelongToTheirPart) {
  Env env;
  auto g = env.graph();
  KWDNode* n = g->newNode(0, 0, 1, 1);
  KWDEdge* e = g->newEdge(n, n);
  const std::vector<double> before = settings(*g->pSTailor());
  for (const char* key : {"SpringConstant", "springconstant", "springConstant2", "spring", "Epsilon", "randomseed",
                          "XYZABCXYZ4711", "nodeSpacing"})
    EXPECT_EQ(line(*g, key, "3"), 0) << key << " goes to the host, which takes nothing";
  using P = KWModelFile;
  EXPECT_EQ(line(*g, "springConstant", "9", P::KWModelNodePart, n), 0) << "graph keys mean nothing for nodes";
  EXPECT_EQ(line(*g, "springConstant", "9", P::KWModelDerivedPart), 0) << "derived lines are the host's";
  EXPECT_EQ(line(*g, "springConstant", "9", P::KWModelExpertPart), 0);
  EXPECT_EQ(settings(*g->pSTailor()), before);
  // The ignored key: taken on node and edge lines once there is such an object.
  EXPECT_EQ(line(*g, "XYZABCXYZ4711", "1", P::KWModelNodePart), 0);
  EXPECT_EQ(line(*g, "XYZABCXYZ4711", "1", P::KWModelNodePart, n), 1);
  EXPECT_EQ(line(*g, "xyzabcxyz4711", "1", P::KWModelNodePart, n), 0);
  EXPECT_EQ(line(*g, "XYZABCXYZ4711", "1", P::KWModelEdgePart, n), 0);
  EXPECT_EQ(line(*g, "XYZABCXYZ4711", "1", P::KWModelEdgePart, n, e), 1);
  EXPECT_EQ(n->tailorChanges() + n->pSTailor()->constrained(), 0) << "and it changes nothing";
  // Without a symmetric graph tailor everything goes to the host.
  std::unique_ptr<KWDGraph> tree(env.factory.newDGraph(KWTreeLayoutStyle));
  KWDNode* m = tree->newNode(0, 0, 1, 1);
  KWModelFile file("m", tree.get()), empty("e", nullptr);
  KWSModelFileExtension x(&file), y(&empty), z(nullptr);
  file.pLastNode(m);
  file.currentLine(P::KWModelTailoringPart, 1, "springConstant");
  empty.currentLine(P::KWModelTailoringPart, 1, "springConstant");
  EXPECT_EQ(x.readTailoring("3") + y.readTailoring("3") + z.readTailoring("3"), 0);
  file.currentLine(P::KWModelNodePart, 2, "XYZABCXYZ4711");
  EXPECT_EQ(x.readNode("1") + z.readNode("1") + z.readEdge("1") + z.readDerivedSpecific("1"), 0);
}

TEST(SymmetricModelFiles, AWholeFileSetsTheSettingsAndBuildsTheGraph) {
  const char* text =
      "model 1\ngraph\n// springConstant 2.0\n// epsilon 0.25\n// maxNodeIterations 30\n// shrinkagePercent 5\n"
      "// regularNodeFramePercent 90\n// dummyNodeFramePercent 10\n// randomSeed 77\n// saveCoordinates yes\n"
      "// hierarchicOnly 3\nnode a 0 0 40 40\n// XYZABCXYZ4711 ignored\nnode b 100 0 40 40\nedge ab a b\n"
      "// XYZABCXYZ4711 ignored\n";
  Env env;
  auto g = env.graph();
  KWFileError err;
  std::vector<std::string> warnings;
  ASSERT_TRUE(readModelFileFromString(text, "w.model", *g, err, &warnings)) << err.text();
  EXPECT_EQ(settings(*g->pSTailor()), (std::vector<double>{2.0, 0.25, 30, 10, 20, 5, 90, 10, 77, 1}));
  EXPECT_EQ(g->numberOfNodes() + g->numberOfEdges(), 3);
  ASSERT_EQ(warnings.size(), 1u) << "only the key no style knows";
  EXPECT_NE(warnings[0].find("w.model:11:1"), std::string::npos) << warnings[0];
  auto h = env.graph();
  h->newNode(5, 5, 5, 5, "mine");
  ASSERT_TRUE(applyModelFileTailoringFromString(text, "w.model", *h, err)) << err.text();
  EXPECT_EQ(settings(*h->pSTailor()), settings(*g->pSTailor()));
  EXPECT_EQ(h->numberOfNodes(), 1);
}

}  // namespace
