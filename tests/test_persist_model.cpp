// The symmetric settings in legacy model files: every key of the table, the
// ignored node and edge key, whole keys with their letter case, and atof /
// atoi reading of the values.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
  KWFactory factory;
  Env() { factory.addLayoutFactory(&styleFactory); }
  std::unique_ptr<KWDGraph> graph() { return std::unique_ptr<KWDGraph>(factory.newDGraph(KWSymmetricLayoutStyle)); }
};

// All graph settings, in one comparable row.
struct Settings {
  double springConstant, terminationValue;
  int maxNodeIterations, maxMoveIterations, maxNodesMovedMultiplier, shrinkagePerMil, nodeSpacing,
      dummyNodeSpacing, randomSeed, incrementalWithinComponentLayout;
  bool operator==(const Settings& o) const {
    return springConstant == o.springConstant && terminationValue == o.terminationValue &&
           maxNodeIterations == o.maxNodeIterations && maxMoveIterations == o.maxMoveIterations &&
           maxNodesMovedMultiplier == o.maxNodesMovedMultiplier && shrinkagePerMil == o.shrinkagePerMil &&
           nodeSpacing == o.nodeSpacing && dummyNodeSpacing == o.dummyNodeSpacing && randomSeed == o.randomSeed &&
           incrementalWithinComponentLayout == o.incrementalWithinComponentLayout;
  }
};

Settings settingsOf(const KWSGraphTailor& t) {
  return {t.springConstant(),          t.terminationValue(), t.maxNodeIterations(),
          t.maxMoveIterations(),       t.maxNodesMovedMultiplier(), t.shrinkagePerMil(),
          t.nodeSpacing(),             t.dummyNodeSpacing(), t.randomSeed(),
          t.incrementalWithinComponentLayout()};
}

// Hands one tailoring line to the symmetric extension the graph makes.
int tailoringLine(KWDGraph& g, const std::string& key, const char* value,
                  KWModelFile::Part part = KWModelFile::KWModelTailoringPart) {
  KWModelFile file("m", &g);
  std::unique_ptr<KWModelFileExtension> x(g.pSGraph()->newModelFileExtension(&file));
  EXPECT_NE(dynamic_cast<KWSModelFileExtension*>(x.get()), nullptr);
  file.currentLine(part, 1, key);
  return x->readCurrentLine(value);
}

TEST(SymmetricModelKeys, EachKeySetsItsSettingAndNothingElse) {
  struct Key {
    const char* key;
    const char* value;
    std::function<void(Settings&)> expect;
  };
  const std::vector<Key> keys = {
      {"springConstant", "2.5", [](Settings& s) { s.springConstant = 2.5; }},
      {"epsilon", "0.5", [](Settings& s) { s.terminationValue = 0.5; }},
      {"maxNodeIterations", "7", [](Settings& s) { s.maxNodeIterations = 7; }},
      {"maxMoveIterations", "-3", [](Settings& s) { s.maxMoveIterations = -3; }},
      {"maxNodesMovedMultiplier", "0", [](Settings& s) { s.maxNodesMovedMultiplier = 0; }},
      {"shrinkagePercent", "5", [](Settings& s) { s.shrinkagePerMil = 5; }},
      {"snodeSpacing", "120", [](Settings& s) { s.nodeSpacing = 120; }},
      {"regularNodeFramePercent", "130", [](Settings& s) { s.nodeSpacing = 130; }},
      {"dummySNodeSpacing", "12", [](Settings& s) { s.dummyNodeSpacing = 12; }},
      {"dummyNodeFramePercent", "13", [](Settings& s) { s.dummyNodeSpacing = 13; }},
      {"randomSeed", "4711", [](Settings& s) { s.randomSeed = 4711; }},
      {"saveCoordinates", "true", [](Settings& s) { s.incrementalWithinComponentLayout = 1; }},
  };
  Env env;
  for (const Key& k : keys) {
    auto g = env.graph();
    Settings expected = settingsOf(*g->pSTailor());
    k.expect(expected);
    const long before = g->tailorChanges();
    EXPECT_EQ(tailoringLine(*g, k.key, k.value), 1) << k.key;
    EXPECT_TRUE(settingsOf(*g->pSTailor()) == expected) << k.key;
    EXPECT_EQ(g->tailorChanges(), before + 1) << k.key << ": one notification for one change";
    EXPECT_EQ(tailoringLine(*g, k.key, k.value), 1);
    EXPECT_EQ(g->tailorChanges(), before + 1) << k.key << ": the same value again changes nothing";
  }
}

TEST(SymmetricModelKeys, ShrinkagePercentIsStoredAsItIs) {
  Env env;
  auto g = env.graph();
  EXPECT_EQ(tailoringLine(*g, "shrinkagePercent", "5"), 1);
  EXPECT_EQ(g->pSTailor()->shrinkagePerMil(), 5);
}

TEST(SymmetricModelKeys, NumbersAreReadAsAtofAndAtoiReadThem) {
  Env env;
  auto g = env.graph();
  KWSGraphTailor* t = g->pSTailor();
  EXPECT_EQ(tailoringLine(*g, "epsilon", "0.5"), 1);
  EXPECT_EQ(t->terminationValue(), 0.5);
  EXPECT_EQ(tailoringLine(*g, "springConstant", "abc"), 1);
  EXPECT_EQ(t->springConstant(), 0.0) << "letters give 0.0";
  EXPECT_EQ(tailoringLine(*g, "springConstant", "  1.25e1xyz"), 1);
  EXPECT_EQ(t->springConstant(), 12.5) << "leading blanks skipped, the longest number taken";
  EXPECT_EQ(tailoringLine(*g, "springConstant", ""), 1);
  EXPECT_EQ(t->springConstant(), 0.0);
  EXPECT_EQ(tailoringLine(*g, "randomSeed", " 42abc"), 1);
  EXPECT_EQ(t->randomSeed(), 42);
  EXPECT_EQ(tailoringLine(*g, "randomSeed", "-17.9"), 1);
  EXPECT_EQ(t->randomSeed(), -17);
  EXPECT_EQ(tailoringLine(*g, "randomSeed", "x1"), 1);
  EXPECT_EQ(t->randomSeed(), 0);
  EXPECT_EQ(tailoringLine(*g, "randomSeed", nullptr), 1) << "a missing value text reads as empty";
  EXPECT_EQ(t->randomSeed(), 0);
}

TEST(SymmetricModelKeys, IntegersBeyondIntBecomeTheNearestInt) {
  // atoi has no defined result for these; the nearest int is stored.
  Env env;
  auto g = env.graph();
  EXPECT_EQ(tailoringLine(*g, "randomSeed", "99999999999999999999999"), 1);
  EXPECT_EQ(g->pSTailor()->randomSeed(), INT_MAX);
  EXPECT_EQ(tailoringLine(*g, "snodeSpacing", "-3000000000"), 1);
  EXPECT_EQ(g->pSTailor()->nodeSpacing(), INT_MIN);
}

TEST(SymmetricModelKeys, SaveCoordinatesFollowsTheHostsTrueOrFalse) {
  Env env;
  auto g = env.graph();
  KWModelFile f;
  for (const char* v : {"true", "false", "1", "0", "yes", "no", "TRUE", "x", ""}) {
    EXPECT_EQ(tailoringLine(*g, "saveCoordinates", v), 1);
    EXPECT_EQ(g->pSTailor()->incrementalWithinComponentLayout(), f.readTrueOrFalse(v)) << v;
  }
}

TEST(SymmetricModelKeys, KeysAreWholeAndCaseSensitive) {
  Env env;
  auto g = env.graph();
  const Settings before = settingsOf(*g->pSTailor());
  const long changes = g->tailorChanges();
  for (const char* key : {"SpringConstant", "springconstant", "springConstant2", "spring", "Epsilon", "randomseed",
                          "XYZABCXYZ4711", "nodeSpacing"}) {
    EXPECT_EQ(tailoringLine(*g, key, "3"), 0) << key << " goes to the host, which takes nothing";
  }
  EXPECT_TRUE(settingsOf(*g->pSTailor()) == before);
  EXPECT_EQ(g->tailorChanges(), changes);
}

TEST(SymmetricModelKeys, TheIgnoredKeyIsTakenOnNodeAndEdgeLinesOnly) {
  Env env;
  auto g = env.graph();
  KWDNode* n = g->newNode(0, 0, 1, 1);
  KWDEdge* e = g->newEdge(n, n);
  KWModelFile file("m", g.get());
  std::unique_ptr<KWModelFileExtension> x(g->pSGraph()->newModelFileExtension(&file));
  file.currentLine(KWModelFile::KWModelNodePart, 1, "XYZABCXYZ4711");
  EXPECT_EQ(x->readCurrentLine("1"), 0) << "no node read yet";
  file.pLastNode(n);
  const long nodeChanges = n->tailorChanges();
  EXPECT_EQ(x->readCurrentLine("1"), 1);
  EXPECT_EQ(n->tailorChanges(), nodeChanges);
  EXPECT_EQ(n->pSTailor()->constrained(), 0);
  file.currentLine(KWModelFile::KWModelNodePart, 2, "xyzabcxyz4711");
  EXPECT_EQ(x->readCurrentLine("1"), 0);
  file.currentLine(KWModelFile::KWModelNodePart, 3, "springConstant");
  EXPECT_EQ(x->readCurrentLine("9"), 0) << "graph keys mean nothing on node lines";
  EXPECT_EQ(g->pSTailor()->springConstant(), 1.0);
  file.currentLine(KWModelFile::KWModelEdgePart, 4, "XYZABCXYZ4711");
  EXPECT_EQ(x->readCurrentLine("1"), 0) << "no edge read yet";
  file.pLastEdge(e);
  EXPECT_EQ(x->readCurrentLine("1"), 1);
  file.currentLine(KWModelFile::KWModelTailoringPart, 5, "XYZABCXYZ4711");
  EXPECT_EQ(x->readCurrentLine("1"), 0) << "in the tailoring part the key is not the symmetric style's";
  file.currentLine(KWModelFile::KWModelDerivedPart, 6, "springConstant");
  EXPECT_EQ(x->readCurrentLine("2"), 0) << "derived lines are the host's";
  file.currentLine(KWModelFile::KWModelExpertPart, 7, "springConstant");
  EXPECT_EQ(x->readCurrentLine("2"), 0);
  EXPECT_EQ(g->pSTailor()->springConstant(), 1.0);
}

TEST(SymmetricModelKeys, WithoutASymmetricTailorEverythingGoesToTheHost) {
  Env env;
  KWBLayoutFactory other(KWTreeLayoutStyle);
  env.factory.addLayoutFactory(&other);
  std::unique_ptr<KWDGraph> plain(env.factory.newDGraph(KWTreeLayoutStyle));
  KWDNode* n = plain->newNode(0, 0, 1, 1);
  KWModelFile file("m", plain.get());
  KWSModelFileExtension x(&file);
  file.currentLine(KWModelFile::KWModelTailoringPart, 1, "springConstant");
  EXPECT_EQ(x.readTailoring("3"), 0);
  file.pLastNode(n);
  file.currentLine(KWModelFile::KWModelNodePart, 2, "XYZABCXYZ4711");
  EXPECT_EQ(x.readNode("1"), 0);
  KWModelFile empty("e", nullptr);
  KWSModelFileExtension y(&empty);
  empty.currentLine(KWModelFile::KWModelTailoringPart, 1, "springConstant");
  EXPECT_EQ(y.readTailoring("3"), 0);
  KWSModelFileExtension z(nullptr);
  EXPECT_EQ(z.readTailoring("3"), 0);
  EXPECT_EQ(z.readNode("3"), 0);
  EXPECT_EQ(z.readEdge("3"), 0);
  EXPECT_EQ(z.readDerivedSpecific("3"), 0);
}

TEST(SymmetricModelFiles, AWholeFileSetsTheSettingsAndBuildsTheGraph) {
  const char* text =
      "model 1\n"
      "graph\n"
      "// springConstant 2.0\n"
      "// epsilon 0.25\n"
      "// maxNodeIterations 30\n"
      "// shrinkagePercent 5\n"
      "// regularNodeFramePercent 90\n"
      "// dummyNodeFramePercent 10\n"
      "// randomSeed 77\n"
      "// saveCoordinates yes\n"
      "// hierarchicOnly 3\n"
      "node a 0 0 40 40\n"
      "// XYZABCXYZ4711 ignored\n"
      "node b 100 0 40 40\n"
      "edge ab a b\n"
      "// XYZABCXYZ4711 ignored\n";
  Env env;
  auto g = env.graph();
  KWFileError err;
  std::vector<std::string> warnings;
  ASSERT_TRUE(readModelFileFromString(text, "w.model", *g, err, &warnings)) << err.text();
  const KWSGraphTailor* t = g->pSTailor();
  EXPECT_EQ(t->springConstant(), 2.0);
  EXPECT_EQ(t->terminationValue(), 0.25);
  EXPECT_EQ(t->maxNodeIterations(), 30);
  EXPECT_EQ(t->shrinkagePerMil(), 5);
  EXPECT_EQ(t->nodeSpacing(), 90);
  EXPECT_EQ(t->dummyNodeSpacing(), 10);
  EXPECT_EQ(t->randomSeed(), 77);
  EXPECT_EQ(t->incrementalWithinComponentLayout(), 1);
  EXPECT_EQ(g->numberOfNodes(), 2);
  EXPECT_EQ(g->numberOfEdges(), 1);
  ASSERT_EQ(warnings.size(), 1u) << "only the key no style knows";
  EXPECT_NE(warnings[0].find("w.model:11"), std::string::npos) << warnings[0];

  // Applying the same file's tailoring to another graph sets the same settings
  // and leaves that graph's nodes alone.
  auto h = env.graph();
  h->newNode(5, 5, 5, 5, "mine");
  ASSERT_TRUE(applyModelFileTailoringFromString(text, "w.model", *h, err)) << err.text();
  EXPECT_TRUE(settingsOf(*h->pSTailor()) == settingsOf(*t));
  EXPECT_EQ(h->numberOfNodes(), 1);
}

}  // namespace
