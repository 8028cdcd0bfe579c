// The symmetric settings in OML graph files: what the sections hold, when
// values are left out, how fields are read back, the tailors' forwarding to
// the one graph-file extension, and whole graphs written and read back.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <sstream>

#include "host/kwfactory.h"
#include "host/kwgfile.h"
#include "layout/kwsgraph.h"
#include "module/kwslayfa.h"
#include "persist/kwsgrfex.h"
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
  std::unique_ptr<KWDGraph> graph(KWLayoutStyleEnum s = KWSymmetricLayoutStyle) {
    return std::unique_ptr<KWDGraph>(factory.newDGraph(s));
  }
};

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
std::pair<int, std::string> graphSection(KWDGraph& g, int compare, int all, int withDefaults) {
  KWSGraphTailor* t = g.pSTailor();
  return section(g, withDefaults, [&](KWOMLFile* f) { return t->checkWriteGraphTailor(compare, all, f); },
                 [&](KWOMLFile* f) { t->writeFullGraphTailor(compare, all, f); });
}
std::pair<int, std::string> nodeSection(KWDGraph& g, KWDNode* n, int compare, int all, int withDefaults) {
  KWSNodeTailor* t = n->pSTailor();
  return section(g, withDefaults, [&](KWOMLFile* f) { return t->checkWriteNodeTailor(compare, all, f); },
                 [&](KWOMLFile* f) { t->writeFullNodeTailor(compare, all, f); });
}

TEST(SymmetricSections, DefaultsGiveAnEmptyGraphSectionAndNothingToWrite) {
  Env env;
  auto g = env.graph();
  auto s = graphSection(*g, 0, 0, 0);
  EXPECT_NE(s.first, 0);
  ASSERT_FALSE(s.second.empty());
  EXPECT_EQ(s.second[0], '\n') << "an empty line comes first";
  EXPECT_TRUE(fieldsOf(s.second).empty());
}

TEST(SymmetricSections, WriteAllWritesTheSixFieldsInOrder) {
  Env env;
  auto g = env.graph();
  KWSGraphTailor* t = g->pSTailor();
  t->nodeSpacing(-40), t->randomSeed(99), t->routeEdges(1), t->incrementalWithinComponentLayout(1);
  t->incrementalDisconnectedNodesLayout(1), t->incrementalComponentsLayout(0);
  const std::vector<std::string> all = {"nodeSpacing=-40", "randomSeed=99", "routeEdges=1",
                                        "incrementalWithinComponentLayout=1", "incrementalDisconnectedNodesLayout=1",
                                        "incrementalComponentsLayout=0"};
  for (int compare : {0, 1}) {
    auto s = graphSection(*g, compare, 1, 0);
    EXPECT_EQ(s.first, 0);
    EXPECT_EQ(fieldsOf(s.second), all);
  }
  auto plain = env.graph();
  auto s = graphSection(*plain, 0, 1, 0);
  EXPECT_EQ(s.first, 0) << "writeAll asks for the section even when all is default";
  EXPECT_EQ(fieldsOf(s.second).size(), 6u);
}

TEST(SymmetricSections, OmittingWritesOnlyWhatDiffers) {
  const std::vector<std::pair<std::function<void(KWSGraphTailor&)>, std::string>> changes = {
      {[](KWSGraphTailor& t) { t.randomSeed(7); }, "randomSeed=7"},
      {[](KWSGraphTailor& t) { t.nodeSpacing(76); }, "nodeSpacing=76"},
      {[](KWSGraphTailor& t) { t.routeEdges(1); }, "routeEdges=1"},
      {[](KWSGraphTailor& t) { t.incrementalWithinComponentLayout(1); }, "incrementalWithinComponentLayout=1"},
      {[](KWSGraphTailor& t) { t.incrementalDisconnectedNodesLayout(1); }, "incrementalDisconnectedNodesLayout=1"},
      {[](KWSGraphTailor& t) { t.incrementalComponentsLayout(0); }, "incrementalComponentsLayout=0"}};
  Env env;
  for (const auto& c : changes) {
    auto g = env.graph();
    c.first(*g->pSTailor());
    auto s = graphSection(*g, 1, 0, 0);
    EXPECT_EQ(s.first, 0);
    EXPECT_EQ(fieldsOf(s.second), std::vector<std::string>{c.second});
  }
}

TEST(SymmetricSections, GraphsIgnoreCompareWithDefaultsNodesHonourIt) {
  Env env;
  auto g = env.graph();
  for (int compare : {0, 1}) {
    auto s = graphSection(*g, compare, 0, 1);
    EXPECT_EQ(s.first, 0) << "the file writes defaults";
    EXPECT_EQ(fieldsOf(s.second).size(), 6u) << "whatever compareWithDefaults is: " << compare;
  }
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
    auto s = nodeSection(*g, n, c.compare, c.all, c.withDefaults);
    EXPECT_EQ(s.first != 0, c.check != 0) << c.compare << c.all << c.withDefaults << c.constrained;
    EXPECT_EQ(fieldsOf(s.second), c.fields) << c.compare << c.all << c.withDefaults << c.constrained;
  }
  KWDEdge* e = g->newEdge(n, n);
  KWOMLFile f;
  f.writeWithDefaults(1);
  EXPECT_NE(e->pSTailor()->checkWriteEdgeTailor(0, 1, &f), 0) << "an edge section is never asked for";
  e->pSTailor()->writeFullEdgeTailor(0, 1, &f);
  EXPECT_TRUE(fieldsOf(f.contents()).empty()) << "and is empty";
  g->pSTailor()->releaseFileState();
}

TEST(SymmetricSections, MissingObjectsWriteNothingAndNeedNothing) {
  Env env;
  auto g = env.graph();
  auto tree = env.graph(KWTreeLayoutStyle);  // no symmetric tailor anywhere
  KWDNode* m = tree->newNode(0, 0, 1, 1);
  KWOMLFile f;
  KWSGraphFileExtension noDefaults(g.get());  // createDefaults never called
  noDefaults.pOMLFile(&f);
  noDefaults.writeFullGraphTailor(g.get(), 0, 1);
  EXPECT_NE(noDefaults.checkWriteGraphTailor(g.get(), 0, 1), 0);
  KWSNodeTailor nt(m), orphan;
  KWSEdgeTailor et(tree->newEdge(m, m));
  KWSGraphTailor lonely;  // no owner graph
  KWOMLSyntaxObject s("slayout");
  KWOMLSyntaxField c = KWOMLSyntaxField::boolean("constrained", 1);
  EXPECT_EQ(nt.readNodeTailor(&c, &s, &f) + orphan.readNodeTailor(&c, &s, &f) + et.readEdgeTailor(&c, &s, &f), 0);
  EXPECT_EQ(nt.constrained(), 0);
  EXPECT_NE(nt.checkWriteNodeTailor(0, 1, &f), 0);
  EXPECT_NE(lonely.checkWriteGraphTailor(0, 1, &f), 0);
  nt.writeFullNodeTailor(0, 1, &f), et.writeFullEdgeTailor(0, 1, &f), lonely.writeFullGraphTailor(0, 1, &f);
  EXPECT_EQ(f.contents(), "");
}

TEST(SymmetricFields, AreTakenByKeywordIndexThroughTheSetters) {
  Env env;
  auto g = env.graph();
  KWDNode* n = g->newNode(0, 0, 1, 1);
  KWSGraphTailor* t = g->pSTailor();
  KWSGraphFileExtension x(g.get());
  KWOMLSyntaxObject section("slayout");
  const std::vector<std::pair<KWOMLSyntaxField, std::function<int()>>> cases = {
      {KWOMLSyntaxField::integer("nodeSpacing", -3), [t] { return t->nodeSpacing() == -3; }},
      {KWOMLSyntaxField::integer("randomSeed", 123456), [t] { return t->randomSeed() == 123456; }},
      {KWOMLSyntaxField::boolean("routeEdges", 1), [t] { return t->routeEdges(); }},
      {KWOMLSyntaxField::boolean("incrementalWithinComponentLayout", 1),
       [t] { return t->incrementalWithinComponentLayout(); }},
      {KWOMLSyntaxField::boolean("incrementalDisconnectedNodesLayout", 1),
       [t] { return t->incrementalDisconnectedNodesLayout(); }},
      {KWOMLSyntaxField::boolean("incrementalComponentsLayout", 0),
       [t] { return !t->incrementalComponentsLayout(); }}};
  for (auto c : cases) {
    const long before = g->tailorChanges();
    EXPECT_EQ(x.readGraphTailor(&c.first, &section, g.get()), 1) << c.first.name();
    EXPECT_TRUE(c.second()) << c.first.name();
    EXPECT_EQ(x.readGraphTailor(&c.first, &section, g.get()), 1);
    EXPECT_EQ(g->tailorChanges(), before + 1) << c.first.name() << ": one notification, none for the same value";
  }
  // A wrong keyword index takes nothing: node field for a graph, graph field for a node, unknown names.
  KWOMLSyntaxField constrained = KWOMLSyntaxField::boolean("constrained", 1);
  KWOMLSyntaxField spacing = KWOMLSyntaxField::integer("nodeSpacing", 5);
  KWOMLSyntaxField unknown = KWOMLSyntaxField::integer("springConstant", 5);
  const long before = g->tailorChanges();
  EXPECT_EQ(x.readGraphTailor(&constrained, &section, g.get()) + x.readGraphTailor(&unknown, &section, g.get()) +
                x.readNodeTailor(&spacing, &section, n) + x.readGraphTailor(nullptr, &section, g.get()) +
                x.readGraphTailor(&spacing, nullptr, g.get()) + x.readGraphTailor(&spacing, &section, nullptr) +
                x.readNodeTailor(&constrained, &section, nullptr) + x.readEdgeTailor(&constrained, &section, nullptr),
            0);
  EXPECT_EQ(g->tailorChanges(), before);
  EXPECT_EQ(n->tailorChanges(), 0);
  EXPECT_EQ(t->nodeSpacing(), -3);
  EXPECT_EQ(x.readNodeTailor(&constrained, &section, n), 1);
  EXPECT_EQ(n->pSTailor()->constrained(), 1);
  EXPECT_EQ(n->tailorChanges(), 1);
  // "routeEdges" true on a set flag: taken, no notification.
  KWOMLFile f;
  KWOMLSyntaxField route = KWOMLSyntaxField::boolean("routeEdges", 1);
  EXPECT_EQ(t->readGraphTailor(&route, &section, &f), 1);
  EXPECT_EQ(g->tailorChanges(), before);
  t->releaseFileState();
}

TEST(SymmetricFields, SubobjectsAndStyleDispatch) {
  Env env;
  auto g = env.graph();
  KWDNode* n = g->newNode(0, 0, 1, 1);
  KWSGraphFileExtension x(g.get());
  KWOMLSyntaxObject section("slayout"), other("hlayout"), unknown("mystery"), part("bend");
  for (KWOMLSyntaxObject* o : {&section, &other, &unknown, &part}) {
    EXPECT_EQ(x.createGraphTailorSubobject(o, &section, g.get()), nullptr);
    EXPECT_EQ(x.createNodeTailorSubobject(o, &section, n), nullptr);
    EXPECT_EQ(x.createEdgeTailorSubobject(o, &section, nullptr), nullptr);
    EXPECT_EQ(x.createStyleSubobject(o, &section, g.get()), nullptr);
  }
  KWOMLSyntaxField seed = KWOMLSyntaxField::integer("randomSeed", 31);
  KWOMLSyntaxField constrained = KWOMLSyntaxField::boolean("constrained", 1);
  EXPECT_EQ(x.readStyleObject(&seed, &unknown, g.get()), 0) << "a section that is not a keyword";
  EXPECT_EQ(x.readStyleObject(&seed, &other, g.get()), 0) << "another style's section";
  EXPECT_EQ(g->pSTailor()->randomSeed(), 1);
  EXPECT_EQ(x.readStyleObject(&seed, &section, g.get()), 1);
  EXPECT_EQ(x.readStyleObject(&constrained, &section, n), 1);
  EXPECT_EQ(g->pSTailor()->randomSeed(), 31);
  EXPECT_EQ(n->pSTailor()->constrained(), 1);
}

TEST(SymmetricTailorFiles, OneExtensionPerGraphUntilReleased) {
  Env env;
  auto g = env.graph();
  KWOMLFile first("first"), second("second"), third("third");
  KWSGraphTailor* t = g->pSTailor();
  KWSGraphFileExtension* x = t->pGraphFileExtension(&first);
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->pServedObject(), g.get());
  EXPECT_NE(x->pDefaultGraph(), nullptr) << "defaults are made at once";
  EXPECT_EQ(t->pGraphFileExtension(&second), x);
  EXPECT_EQ(x->pOMLFile(), &first);
  t->releaseFileState();
  ASSERT_EQ(t->pGraphFileExtension(&second)->pOMLFile(), &second);
  KWDNode* n = g->newNode(0, 0, 1, 1);
  n->pSTailor()->constrained(1);
  n->pSTailor()->writeFullNodeTailor(1, 0, &first);  // the node tailor reaches the held extension
  EXPECT_EQ(first.contents(), "");
  EXPECT_NE(second.contents().find("constrained true"), std::string::npos);
  auto other = env.graph();
  t->copyObject(other->pSTailor());  // releases the held one (the sanitizer build sees a leak)
  EXPECT_EQ(t->pGraphFileExtension(&third)->pOMLFile(), &third);
  // The graph extension also hands one out to the host.
  struct Exposed : KWSGraph {
    using KWSGraph::KWSGraph;
    using KWSGraph::newGraphFileExtension;
  } ext(g.get());
  std::unique_ptr<KWGraphFileExtension> made(ext.newGraphFileExtension(g.get()));
  ASSERT_NE(dynamic_cast<KWSGraphFileExtension*>(made.get()), nullptr);
  EXPECT_EQ(made->pServedObject(), g.get());
  EXPECT_EQ(made->layoutStyle(), KWSymmetricLayoutStyle);
}

// ---- whole graphs ------------------------------------------------------------------------

std::string describe(const KWDGraph& g) {
  std::ostringstream s;
  const KWSGraphTailor* t = g.pSTailor();
  s << t->nodeSpacing() << ' ' << t->randomSeed() << ' ' << t->routeEdges() << t->incrementalWithinComponentLayout()
    << t->incrementalDisconnectedNodesLayout() << t->incrementalComponentsLayout() << "\n";
  for (KWDNodeIter it(&g); it; ++it)
    s << it.pNode()->name() << ' ' << it.pNode()->ntX() << ' ' << it.pNode()->ntY() << ' ' << it.pNode()->ntWidth()
      << ' ' << it.pNode()->ntHeight() << ' ' << it.pNode()->isDummy() << it.pNode()->pSTailor()->constrained() << "\n";
  for (KWDEdgeIter it(&g); it; ++it) {
    const KWDEdge* e = it.pEdge();
    s << e->name() << ' ' << e->pFromNode()->name() << ' ' << e->pToNode()->name();
    for (const KWPoint& p : e->bendPoints()) s << " (" << p.x() << ',' << p.y() << ')';
    if (e->hasSpecifiedFromConnector()) s << " f" << e->pFromConnector()->dx() << ',' << e->pFromConnector()->dy();
    if (e->hasSpecifiedToConnector()) s << " t" << e->pToConnector()->dx() << ',' << e->pToConnector()->dy();
    s << "\n";
  }
  return s.str();
}

// Families 0 grid, 1 cycle, 2 tree, 3 random; constrained nodes, sizes,
// positions, bends, connectors and settings that differ from the defaults.
void build(KWDGraph& g, int family, int n, unsigned seed) {
  std::mt19937 rng(seed);
  auto c = [&rng]() { return static_cast<long>(rng() % 20001) - 10000; };
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) {
    v.push_back(g.newNode(c(), c(), 10 + c() % 90 + 90, 10 + c() % 90 + 90, "v" + std::to_string(i) + (i % 3 ? "" : " \"x\"")));
    v.back()->pSTailor()->constrained(i % 3 == 0);
    v.back()->dummy(i % 8 == 5);
  }
  int k = 0;
  auto join = [&](int a, int b) {
    KWDEdge* e = g.newEdge(v[a], v[b], "e" + std::to_string(k));
    if (k % 3 == 1) e->ntAppendBend(KWPoint(c(), c()));
    if (k % 4 == 2) e->pFromConnector(new KWConnector(5, -5, true));
    if (k++ % 5 == 3) e->pToConnector(new KWConnector(-7, 0, true));
  };
  for (int i = 0; i < n; ++i) {
    if (family == 0 && i % 4 != 3 && i + 1 < n) join(i, i + 1);
    if (family == 0 && i + 4 < n) join(i, i + 4);
    if (family == 1) join(i, (i + 1) % n);
    if (family == 2 && i) join((i - 1) / 2, i);
    if (family == 3) join(i, static_cast<int>(rng() % n));
  }
  KWSGraphTailor* t = g.pSTailor();
  t->nodeSpacing(static_cast<int>(seed % 200) - 50), t->randomSeed(static_cast<int>(seed)), t->routeEdges(seed % 2);
  t->incrementalWithinComponentLayout(seed % 3 == 0), t->incrementalDisconnectedNodesLayout(seed % 5 == 0);
  t->incrementalComponentsLayout(seed % 7 != 0);
}

TEST(SymmetricGraphFiles, RoundTripKeepsEveryFieldAndRewritesTheSameBytes) {
  Env env;
  KWOMLWriteOptions all;
  all.writeAll = 1;
  for (int family = 0; family < 4; ++family)
    for (unsigned seed : {3u, 10u, 21u, 70u}) {
      auto g = env.graph();
      build(*g, family, 16, seed);
      std::string text, again, full;
      KWFileError err;
      ASSERT_TRUE(writeOMLGraphToString(*g, text, err)) << err.text();
      auto back = env.graph();
      std::vector<std::string> warnings;
      ASSERT_TRUE(readOMLGraphFromString(text, "rt.oml", *back, err, &warnings)) << err.text();
      EXPECT_TRUE(warnings.empty());
      EXPECT_EQ(describe(*back), describe(*g)) << text;
      ASSERT_TRUE(writeOMLGraphToString(*back, again, err));
      EXPECT_EQ(again, text);
      ASSERT_TRUE(writeOMLGraphToString(*g, full, err, all));
      auto fromFull = env.graph();
      ASSERT_TRUE(readOMLGraphFromString(full, "full.oml", *fromFull, err)) << err.text();
      EXPECT_EQ(describe(*fromFull), describe(*g));
    }
}

TEST(SymmetricGraphFiles, OnlyWhatDiffersIsWrittenAndReadingResetsTheRest) {
  Env env;
  auto g = env.graph();
  KWDNode* a = g->newNode(0, 0, 10, 10, "a");
  g->newEdge(a, g->newNode(50, 0, 10, 10, "b"), "ab");
  a->pSTailor()->constrained(1);
  std::string text;
  KWFileError err;
  ASSERT_TRUE(writeOMLGraphToString(*g, text, err));
  EXPECT_EQ(text.find("slayout"), text.rfind("slayout")) << "one section, the constrained node's:\n" << text;
  EXPECT_LT(text.find("node 1"), text.find("slayout"));
  EXPECT_GT(text.find("node 2"), text.find("slayout"));
  auto target = env.graph();
  target->pSTailor()->springConstant(3.5);  // not kept in graph files
  target->pSTailor()->routeEdges(1);
  const long before = target->tailorChanges();
  ASSERT_TRUE(readOMLGraphFromString(text, "n", *target, err)) << err.text();
  EXPECT_EQ(describe(*target), describe(*g));
  EXPECT_EQ(target->pSTailor()->springConstant(), 1.0) << "the graph as read, the rest at the defaults";
  EXPECT_GT(target->tailorChanges(), before) << "the target hears of the changed flag";
  KWOMLFile probe("probe");
  EXPECT_EQ(target->pSTailor()->pGraphFileExtension(&probe)->pOMLFile(), &probe) << "no file state left over";
  target->pSTailor()->releaseFileState();
}

TEST(SymmetricGraphFiles, BadSymmetricSectionsAreRefusedAndTheTargetKept) {
  const std::pair<const char*, const char*> cases[] = {
      {"oml 1\ngraph {\n  slayout {\n    constrained true\n  }\n}\n", "4:5: 'constrained' is not a setting"},
      {"oml 1\ngraph {\n  slayout {\n    springConstant 2\n  }\n}\n", "4:5: unknown keyword"},
      {"oml 1\ngraph {\n  slayout {\n    routeEdges 1\n  }\n}\n", "4:16: expected true or false"},
      {"oml 1\ngraph {\n  slayout {\n    randomSeed -2147483649\n  }\n}\n", "4:16: the value"},
      {"oml 1\ngraph {\n  node 1 {\n    slayout {\n      nodeSpacing 3\n    }\n  }\n}\n", "5:7: 'nodeSpacing' is"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge 1 {\n    from 1\n    to 1\n    slayout {\n      constrained true\n"
       "    }\n  }\n}\n", "9:7: 'constrained' is not a setting of the 'slayout' section of an edge"}};
  Env env;
  for (const auto& c : cases) {
    auto target = env.graph();
    build(*target, 1, 5, 12);
    const std::string before = describe(*target);
    const long changes = target->tailorChanges();
    KWFileError err;
    EXPECT_FALSE(readOMLGraphFromString(c.first, "s.oml", *target, err));
    EXPECT_NE(err.text().find(std::string("s.oml:") + c.second), std::string::npos) << err.text();
    EXPECT_EQ(describe(*target), before);
    EXPECT_EQ(target->tailorChanges(), changes);
  }
}

}  // namespace
