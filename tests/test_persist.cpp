// The symmetric settings in graph files and model files: what the OML sections
// hold, when values are left out, how fields are read back, the tailors'
// forwarding to the one graph-file extension, whole graphs written and read
// back, the model-file keys, and the example graphs given in both formats.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "host/kwfactory.h"
#include "host/kwgfile.h"
#include "host/kwmodfil.h"
#include "layout/kwsgraph.h"
#include "module/kwslayfa.h"
#include "persist/kwsgrfex.h"
#include "persist/kwsmdlex.h"
#include "tailor/kwsedta.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"
#include "support/files.h"

namespace {

struct Env {
  KWSLayoutFactory styleFactory;
  KWBLayoutFactory treeFactory{KWTreeLayoutStyle};
  KWFactory factory;
  Env() {
    factory.addLayoutFactory(&styleFactory);
    factory.addLayoutFactory(&treeFactory);
  }
  std::unique_ptr<KWDGraph> graph(KWLayoutStyleEnum s = KWSymmetricLayoutStyle) {
    return std::unique_ptr<KWDGraph>(factory.newDGraph(s));
  }
};

using Kind = KWSSettingKind;
const std::vector<KWSGraphSetting>& settingRows() { return KWSGraphTailor::graphSettings(); }
bool inOML(const KWSGraphSetting& s) { return s.omlIndex != KWOMLKeyUnknown; }
// A value unlike the setting's default (negative for integers).
double otherValue(const KWSGraphSetting& s) {
  return s.kind == Kind::Flag ? 1.0 - s.defaultValue : s.kind == Kind::Real ? 2.0 * s.defaultValue + 0.5 : -40.0 - s.defaultValue;
}

// The one section a writer produced, parsed back: its fields as name=value.
std::vector<std::string> fieldsOf(const std::string& text) {
  KWOMLSyntaxObject root;
  KWFileError err;
  EXPECT_TRUE(KWOMLParser::parse(text, "w", root, err)) << err.text();
  EXPECT_EQ(root.objects().size(), 1u) << text;
  std::vector<std::string> v;
  if (root.objects().size() != 1) return v;
  EXPECT_EQ(root.objects()[0]->name(), "slayout");
  for (const KWOMLSyntaxField& f : root.objects()[0]->fields())
    v.push_back(f.name() + "=" + std::to_string(f.kind() == KWOMLBoolean ? f.boolValue() : f.intValue()));
  return v;
}

// Writes an object's section through its tailor: answers the check and the text.
template <class Check, class Write>
std::pair<int, std::string> section(KWDGraph& g, int withDefaults, Check check, Write write) {
  KWOMLFile f;
  f.writeWithDefaults(withDefaults);
  const int c = check(&f);
  write(&f);
  EXPECT_TRUE(f.wellFormed()) << f.problem();
  g.pSTailor()->releaseFileState();
  return {c, f.contents()};
}

TEST(SymmetricSections, TheGraphSectionHoldsWhatDiffersOrEverythingWhenAskedForAll) {
  using Change = void (*)(KWSGraphTailor&);
  std::vector<std::string> defaults, changed;
  for (const KWSGraphSetting& s : settingRows())
    if (inOML(s)) {
      defaults.push_back(std::string(s.name) + "=" + std::to_string(static_cast<long>(s.defaultValue)));
      changed.push_back(std::string(s.name) + "=" + std::to_string(static_cast<long>(otherValue(s))));
    }
  const Change all = [](KWSGraphTailor& t) {
    for (const KWSGraphSetting& s : settingRows())
      if (inOML(s)) s.set(t, otherValue(s));
  };
  const struct {
    const char* name;
    Change change;
    int compare, writeAll, withDefaults;
    bool asked;  // whether checkWrite asks for the section
    std::vector<std::string> fields;
  } cases[] = {
      {"defaults", nullptr, 0, 0, 0, false, {}},
      {"writeAll", all, 0, 1, 0, true, changed},
      {"writeAll at the defaults, comparing", nullptr, 1, 1, 0, true, defaults},
      {"file writes defaults, comparing", nullptr, 1, 0, 1, true, defaults},
      {"randomSeed alone", [](KWSGraphTailor& t) { t.randomSeed(7); }, 1, 0, 0, true, {"randomSeed=7"}},
      {"components alone", [](KWSGraphTailor& t) { t.incrementalComponentsLayout(0); }, 1, 0, 0, true,
       {"incrementalComponentsLayout=0"}},
  };
  Env env;
  for (const auto& c : cases) {
    auto g = env.graph();
    if (c.change) c.change(*g->pSTailor());
    KWSGraphTailor* t = g->pSTailor();
    auto s = section(
        *g, c.withDefaults, [&](KWOMLFile* f) { return t->checkWriteGraphTailor(c.compare, c.writeAll, f); },
        [&](KWOMLFile* f) { t->writeFullGraphTailor(c.compare, c.writeAll, f); });
    EXPECT_EQ(s.first == 0, c.asked) << c.name;
    ASSERT_FALSE(s.second.empty()) << c.name;
    EXPECT_EQ(s.second[0], '\n') << c.name << ": an empty line comes first";
    EXPECT_EQ(fieldsOf(s.second), c.fields) << c.name;
  }
}

TEST(SymmetricSections, NodesHonourCompareWithDefaultsAndWriteAll) {
  Env env;
  auto g = env.graph();
  KWDNode* n = g->newNode(0, 0, 10, 10);
  // compare, writeAll, writeWithDefaults, constrained -> check, fields
  const struct {
    int compare, all, withDefaults, constrained, check;
    std::vector<std::string> fields;
  } cases[] = {{1, 0, 1, 0, 1, {}},
               {0, 0, 1, 0, 0, {"constrained=0"}},
               {0, 0, 0, 0, 1, {}},
               {1, 0, 0, 1, 0, {"constrained=1"}},
               {1, 1, 0, 0, 0, {"constrained=0"}}};
  for (const auto& c : cases) {
    n->pSTailor()->constrained(c.constrained);
    KWSNodeTailor* t = n->pSTailor();
    auto s = section(*g, c.withDefaults, [&](KWOMLFile* f) { return t->checkWriteNodeTailor(c.compare, c.all, f); },
                     [&](KWOMLFile* f) { t->writeFullNodeTailor(c.compare, c.all, f); });
    EXPECT_EQ(s.first != 0, c.check != 0) << c.compare << c.all << c.withDefaults << c.constrained;
    EXPECT_EQ(fieldsOf(s.second), c.fields) << c.compare << c.all << c.withDefaults << c.constrained;
  }
}

// ---- whole graphs ------------------------------------------------------------------------

/// The graph and its settings as text; without `all`, only what model files
/// carry as well.
std::string describe(const KWDGraph& g, bool all = true) {
  std::ostringstream s;
  const KWSGraphTailor* t = g.pSTailor();
  for (const KWSGraphSetting& r : settingRows())
    if (inOML(r) && (all || *r.modelKeys)) s << r.get(*t) << ' ';
  s << "\n";
  return s.str() + kwfiles::drawingOf(g, [all](const KWDNode& n) {
           return all ? std::to_string(n.pSTailor()->constrained()) : std::string();
         });
}

// A cycle of constrained and free nodes with settings that differ from the
// defaults, the flags taken from the seed's bits (the host's fields are swept
// with the host's round trip).
void build(KWDGraph& g, int n, unsigned seed) {
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) {
    v.push_back(g.newNode(37 * i, -11 * i, 20, 30, "v" + std::to_string(i)));
    v.back()->pSTailor()->constrained(i % 3 == 0);
    if (i) g.newEdge(v[i - 1], v[i]);
  }
  g.newEdge(v.back(), v.front());
  KWSGraphTailor* t = g.pSTailor();
  unsigned bit = 0;
  for (const KWSGraphSetting& s : settingRows())
    if (inOML(s)) s.set(*t, s.kind == Kind::Flag ? (seed >> bit++) % 2 : static_cast<double>(seed % 200) - 50.0 + bit++);
}

TEST(SymmetricGraphFiles, RoundTripKeepsEveryFieldAndRewritesTheSameBytes) {
  Env env;
  for (unsigned seed : {3u, 10u, 21u, 70u, 1234u}) {
    auto g = env.graph();
    build(*g, 7, seed);
    std::string text, again;
    KWFileError err;
    ASSERT_TRUE(writeOMLGraphToString(*g, text, err)) << err.text();
    auto back = env.graph();
    std::vector<std::string> warnings;
    ASSERT_TRUE(readOMLGraphFromString(text, "rt.oml", *back, err, &warnings)) << err.text();
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(describe(*back), describe(*g)) << text;
    ASSERT_TRUE(writeOMLGraphToString(*back, again, err));
    EXPECT_EQ(again, text);
  }
}

TEST(SymmetricGraphFiles, OnlyWhatDiffersIsWrittenAndReadingSetsOnlyWhatTheFileNames) {
  Env env;
  auto g = env.graph();
  KWDNode* a = g->newNode(0, 0, 10, 10, "a");
  g->newEdge(a, g->newNode(50, 0, 10, 10, "b"), "ab");
  a->pSTailor()->constrained(1);
  std::string text;
  KWFileError err;
  ASSERT_TRUE(writeOMLGraphToString(*g, text, err));
  EXPECT_EQ(text.find("slayout"), text.rfind("slayout")) << "one section, the constrained node's:\n" << text;
  auto target = env.graph();
  target->pSTailor()->springConstant(3.5);  // not kept in graph files
  target->pSTailor()->routeEdges(1);
  target->pSTailor()->firstInitialization(0);
  long before = target->tailorChanges();
  ASSERT_TRUE(readOMLGraphFromString(text, "n", *target, err)) << err.text();
  EXPECT_EQ(describe(*target).substr(describe(*target).find('\n')), describe(*g).substr(describe(*g).find('\n')));
  EXPECT_EQ(target->pSTailor()->springConstant(), 3.5) << "settings the file leaves out are kept";
  EXPECT_EQ(target->pSTailor()->routeEdges(), 1);
  EXPECT_EQ(target->pSTailor()->firstInitialization(), 0);
  EXPECT_EQ(target->tailorChanges(), before) << "nothing changed, nobody told";
  // Settings the file names go through the setters: each changed value is heard of once.
  ASSERT_TRUE(readOMLGraphFromString("oml 1\ngraph {\n  slayout {\n    nodeSpacing 9\n    routeEdges false\n"
                                     "    randomSeed 1\n  }\n}\n",
                                     "m", *target, err))
      << err.text();
  EXPECT_EQ(target->pSTailor()->nodeSpacing(), 9);
  EXPECT_EQ(target->pSTailor()->routeEdges(), 0);
  EXPECT_EQ(target->tailorChanges() - before, 2);
  KWOMLFile probe("probe");
  EXPECT_EQ(target->pSTailor()->pGraphFileExtension(&probe)->pOMLFile(), &probe) << "no file state left over";
  target->pSTailor()->releaseFileState();
}

TEST(SymmetricGraphFiles, BadSymmetricValuesAreRefusedAndUnknownFieldsSkipped) {
  // A field the symmetric sections do not take is left out with a warning.
  const std::pair<const char*, const char*> skipped[] = {
      {"oml 1\ngraph {\n  slayout {\n    constrained true\n  }\n}\n", "4:5: 'constrained' is not a setting"},
      {"oml 1\ngraph {\n  slayout {\n    springConstant 2\n  }\n}\n", "4:5: unknown keyword 'springConstant'"},
      {"oml 1\ngraph {\n  node 1 {\n    slayout {\n      nodeSpacing 3\n    }\n  }\n}\n", "5:7: 'nodeSpacing' is"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge 1 {\n    from 1\n    to 1\n    slayout {\n      constrained true\n"
       "    }\n  }\n}\n", "9:7: 'constrained' is not a setting of the 'slayout' section of an edge"}};
  Env env;
  for (const auto& c : skipped) {
    auto target = env.graph();
    KWFileError err;
    std::vector<std::string> warnings;
    ASSERT_TRUE(readOMLGraphFromString(c.first, "s.oml", *target, err, &warnings)) << err.text();
    ASSERT_EQ(warnings.size(), 1u) << c.first;
    EXPECT_NE(warnings[0].find(std::string("s.oml:") + c.second), std::string::npos) << warnings[0];
  }
  const std::pair<const char*, const char*> cases[] = {
      {"oml 1\ngraph {\n  slayout {\n    routeEdges 1\n  }\n}\n", "4:16: expected true or false"},
      {"oml 1\ngraph {\n  slayout {\n    randomSeed -2147483649\n  }\n}\n", "4:16: the value"}};
  for (const auto& c : cases) {
    auto target = env.graph();  // that a refused file changes nothing is the host reader's, swept there
    KWFileError err;
    EXPECT_FALSE(readOMLGraphFromString(c.first, "s.oml", *target, err));
    EXPECT_NE(err.text().find(std::string("s.oml:") + c.second), std::string::npos) << err.text();
  }
}


// ---- model files -------------------------------------------------------------------------

// Every graph setting, as one comparable row.
std::vector<double> settings(const KWSGraphTailor& t) {
  std::vector<double> row;
  for (const KWSGraphSetting& s : settingRows()) row.push_back(s.get(t));
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
  Env env;
  for (std::size_t i = 0; i < settingRows().size(); ++i) {
    const KWSGraphSetting& s = settingRows()[i];
    const double v = otherValue(s);
    std::ostringstream text;
    if (s.kind == Kind::Flag) text << (v != 0.0 ? "true" : "false");
    else text << v;
    std::istringstream keys(s.modelKeys);
    for (std::string key; keys >> key;) {
      auto g = env.graph();
      std::vector<double> expected = settings(*g->pSTailor());
      expected[i] = v;
      const long before = g->tailorChanges();
      EXPECT_EQ(line(*g, key, text.str().c_str()), 1) << key;
      EXPECT_EQ(settings(*g->pSTailor()), expected) << key;
      EXPECT_EQ(line(*g, key, text.str().c_str()), 1);
      EXPECT_EQ(g->tailorChanges(), before + 1) << key << ": one notification, none for the same value";
    }
  }
}

TEST(SymmetricModelKeys, ValuesAreReadAsAtofAndAtoiReadThem) {
  Env env;
  auto g = env.graph();
  // Beyond int atoi has no defined result; the nearest int is stored.
  const struct {
    const char *key, *setting, *value;
    double expected;
  } cases[] = {{"springConstant", "springConstant", "  1.25e1xyz", 12.5}, {"randomSeed", "randomSeed", "-17.9", -17},
               {"randomSeed", "randomSeed", nullptr, 0},
               {"randomSeed", "randomSeed", "99999999999999999999999", INT_MAX},
               {"snodeSpacing", "nodeSpacing", "-3000000000", INT_MIN}};
  for (const auto& c : cases) {
    EXPECT_EQ(line(*g, c.key, c.value), 1);
    EXPECT_EQ(KWSGraphTailor::findGraphSetting(c.setting)->get(*g->pSTailor()), c.expected)
        << c.key << " '" << (c.value ? c.value : "(null)") << "'";
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
  EXPECT_EQ(settings(*g->pSTailor()), (std::vector<double>{2.0, 0.25, 30, 10, 20, 5, 90, 10, 77, 0, 1, 0, 1, 1}));
  EXPECT_EQ(g->numberOfNodes() + g->numberOfEdges(), 3);
  ASSERT_EQ(warnings.size(), 1u) << "only the key no style knows";
  EXPECT_NE(warnings[0].find("w.model:11:1"), std::string::npos) << warnings[0];
  auto h = env.graph();
  h->newNode(5, 5, 5, 5, "mine");
  ASSERT_TRUE(applyModelFileTailoringFromString(text, "w.model", *h, err)) << err.text();
  EXPECT_EQ(settings(*h->pSTailor()), settings(*g->pSTailor()));
  EXPECT_EQ(h->numberOfNodes(), 1);
}

// ---- the example graphs --------------------------------------------------------------------

// Each is given as an OML graph file and as a model file; both must read to
// the same graph.
TEST(ExampleGraphs, BothFormatsReadToTheSameGraph) {
  Env env;
  for (const char* name : {"star", "grid", "paths"}) {
    const std::string base = std::string(KW_SOURCE_DIR) + "/examples/" + name;
    auto fromOml = env.graph();
    auto fromModel = env.graph();
    KWFileError err;
    std::vector<std::string> warnings;
    ASSERT_TRUE(readOMLGraph(base + ".oml", *fromOml, err, &warnings)) << err.text();
    ASSERT_TRUE(readModelFile(base + ".model", *fromModel, err, &warnings)) << err.text();
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    EXPECT_GT(fromOml->numberOfNodes(), 0);
    EXPECT_EQ(describe(*fromOml, false), describe(*fromModel, false)) << name;

    // The OML file is written the way the writer writes it: after its leading
    // comment, writing the graph read from it gives the same bytes.
    std::ifstream in(base + ".oml", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string again;
    ASSERT_TRUE(writeOMLGraphToString(*fromOml, again, err)) << err.text();
    ASSERT_EQ(text.compare(0, 2, "# "), 0);
    EXPECT_EQ(text.substr(text.find('\n') + 1), again) << name;
  }
}

}  // namespace
