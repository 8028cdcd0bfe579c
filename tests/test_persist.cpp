// The symmetric settings in OML graph files: what the graph, node and edge
// sections hold, when values are left out, how fields are read back, the
// tailors' forwarding to the one graph-file extension, and whole graphs
// written and read back.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

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
  KWFactory factory;
  Env() { factory.addLayoutFactory(&styleFactory); }
  std::unique_ptr<KWDGraph> graph() { return std::unique_ptr<KWDGraph>(factory.newDGraph(KWSymmetricLayoutStyle)); }
};

// The fields a writer produced, as (name, value) in order: parsed back, so the
// checks do not depend on the exact layout of the text.
struct Section {
  bool found = false;
  std::vector<std::pair<std::string, long>> fields;
};

Section sectionIn(const std::string& text) {
  KWOMLSyntaxObject root;
  KWFileError err;
  Section s;
  if (!KWOMLParser::parse(text, "w", root, err)) {
    ADD_FAILURE() << err.text() << "\n" << text;
    return s;
  }
  EXPECT_TRUE(root.fields().empty());
  EXPECT_LE(root.objects().size(), 1u);
  if (root.objects().empty()) return s;
  const KWOMLSyntaxObject& o = *root.objects()[0];
  EXPECT_EQ(o.name(), "slayout");
  EXPECT_TRUE(o.objects().empty());
  s.found = true;
  for (const KWOMLSyntaxField& f : o.fields())
    s.fields.emplace_back(f.name(), f.kind() == KWOMLBoolean ? f.boolValue() : f.intValue());
  return s;
}

std::vector<std::string> names(const Section& s) {
  std::vector<std::string> v;
  for (const auto& f : s.fields) v.push_back(f.first);
  return v;
}

// Writes the graph tailor's section into a fresh file and releases the file state.
std::string writeGraphSection(KWDGraph& g, int compare, int writeAll, int withDefaults, int* check = nullptr) {
  KWOMLFile f("t");
  f.writeWithDefaults(withDefaults);
  KWSGraphTailor* t = g.pSTailor();
  if (check) *check = t->checkWriteGraphTailor(compare, writeAll, &f);
  t->writeFullGraphTailor(compare, writeAll, &f);
  EXPECT_TRUE(f.wellFormed()) << f.problem();
  t->releaseFileState();
  return f.contents();
}

std::string writeNodeSection(KWDGraph& g, KWDNode* n, int compare, int writeAll, int withDefaults, int* check) {
  KWOMLFile f("t");
  f.writeWithDefaults(withDefaults);
  *check = n->pSTailor()->checkWriteNodeTailor(compare, writeAll, &f);
  n->pSTailor()->writeFullNodeTailor(compare, writeAll, &f);
  EXPECT_TRUE(f.wellFormed()) << f.problem();
  g.pSTailor()->releaseFileState();
  return f.contents();
}

const std::vector<std::string> kGraphFields = {"nodeSpacing",
                                               "randomSeed",
                                               "routeEdges",
                                               "incrementalWithinComponentLayout",
                                               "incrementalDisconnectedNodesLayout",
                                               "incrementalComponentsLayout"};

// ---- what is written -------------------------------------------------------------------

TEST(SymmetricGraphSection, AllDefaultsWriteAnEmptyLineAndAnEmptySection) {
  Env env;
  auto g = env.graph();
  int check = 0;
  const std::string text = writeGraphSection(*g, 0, 0, 0, &check);
  EXPECT_NE(check, 0) << "nothing needs to be written";
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text[0], '\n') << "the section follows an empty line";
  Section s = sectionIn(text);
  EXPECT_TRUE(s.found);
  EXPECT_TRUE(s.fields.empty());
}

TEST(SymmetricGraphSection, WriteAllWritesTheSixFieldsInOrderWithTheTailorsValues) {
  Env env;
  auto g = env.graph();
  KWSGraphTailor* t = g->pSTailor();
  t->nodeSpacing(-40);
  t->randomSeed(99);
  t->routeEdges(1);
  t->incrementalWithinComponentLayout(1);
  t->incrementalDisconnectedNodesLayout(1);
  t->incrementalComponentsLayout(0);
  for (int compare : {0, 1}) {
    int check = 1;
    Section s = sectionIn(writeGraphSection(*g, compare, 1, 0, &check));
    EXPECT_EQ(check, 0);
    EXPECT_EQ(names(s), kGraphFields);
    const std::vector<long> values = {-40, 99, 1, 1, 1, 0};
    for (std::size_t i = 0; i < values.size() && i < s.fields.size(); ++i) EXPECT_EQ(s.fields[i].second, values[i]);
  }
  auto plain = env.graph();
  int check = 1;
  Section s = sectionIn(writeGraphSection(*plain, 0, 1, 0, &check));
  EXPECT_EQ(check, 0) << "writeAll asks for the section even with default values";
  EXPECT_EQ(names(s), kGraphFields);
}

TEST(SymmetricGraphSection, OnlyTheDifferingFieldIsWrittenWhenValuesAreOmitted) {
  Env env;
  auto g = env.graph();
  g->pSTailor()->randomSeed(7);
  int check = 1;
  Section s = sectionIn(writeGraphSection(*g, 0, 0, 0, &check));
  EXPECT_EQ(check, 0);
  ASSERT_EQ(s.fields.size(), 1u);
  EXPECT_EQ(s.fields[0], std::make_pair(std::string("randomSeed"), 7L));

  // Each field alone, in turn.
  const std::vector<std::function<void(KWSGraphTailor&)>> change = {
      [](KWSGraphTailor& t) { t.nodeSpacing(76); },
      [](KWSGraphTailor& t) { t.randomSeed(-1); },
      [](KWSGraphTailor& t) { t.routeEdges(1); },
      [](KWSGraphTailor& t) { t.incrementalWithinComponentLayout(1); },
      [](KWSGraphTailor& t) { t.incrementalDisconnectedNodesLayout(1); },
      [](KWSGraphTailor& t) { t.incrementalComponentsLayout(0); }};
  for (std::size_t i = 0; i < change.size(); ++i) {
    auto h = env.graph();
    change[i](*h->pSTailor());
    Section one = sectionIn(writeGraphSection(*h, 1, 0, 0, &check));
    EXPECT_EQ(check, 0);
    EXPECT_EQ(names(one), std::vector<std::string>{kGraphFields[i]});
  }
}

TEST(SymmetricGraphSection, GraphsIgnoreCompareWithDefaultsNodesHonourIt) {
  Env env;
  auto g = env.graph();
  for (int compare : {0, 1}) {
    int check = 1;
    Section s = sectionIn(writeGraphSection(*g, compare, 0, 1, &check));
    EXPECT_EQ(check, 0) << "writeWithDefaults: the graph section is written";
    EXPECT_EQ(names(s), kGraphFields) << "whatever compareWithDefaults says (" << compare << ")";
  }
  KWDNode* n = g->newNode(0, 0, 10, 10);
  int check = 0;
  Section s = sectionIn(writeNodeSection(*g, n, 1, 0, 1, &check));
  EXPECT_NE(check, 0) << "compareWithDefaults omits a default constrained flag";
  EXPECT_TRUE(s.found);
  EXPECT_TRUE(s.fields.empty());
  s = sectionIn(writeNodeSection(*g, n, 0, 0, 1, &check));
  EXPECT_EQ(check, 0);
  ASSERT_EQ(s.fields.size(), 1u);
  EXPECT_EQ(s.fields[0], std::make_pair(std::string("constrained"), 0L));
  s = sectionIn(writeNodeSection(*g, n, 0, 0, 0, &check));
  EXPECT_NE(check, 0) << "without writeWithDefaults the default is omitted";
  EXPECT_TRUE(s.fields.empty());
  n->pSTailor()->constrained(1);
  s = sectionIn(writeNodeSection(*g, n, 1, 0, 0, &check));
  EXPECT_EQ(check, 0);
  ASSERT_EQ(s.fields.size(), 1u);
  EXPECT_EQ(s.fields[0], std::make_pair(std::string("constrained"), 1L));
  n->pSTailor()->constrained(0);
  s = sectionIn(writeNodeSection(*g, n, 1, 1, 0, &check));
  EXPECT_EQ(check, 0) << "writeAll";
  EXPECT_EQ(s.fields.size(), 1u);
}

TEST(SymmetricEdgeSection, IsEmptyAndNeverAskedFor) {
  Env env;
  auto g = env.graph();
  KWDNode* a = g->newNode(0, 0, 1, 1);
  KWDEdge* e = g->newEdge(a, a);
  for (int c : {0, 1})
    for (int w : {0, 1}) {
      KWOMLFile f;
      f.writeWithDefaults(1);
      EXPECT_NE(e->pSTailor()->checkWriteEdgeTailor(c, w, &f), 0);
      e->pSTailor()->writeFullEdgeTailor(c, w, &f);
      Section s = sectionIn(f.contents());
      EXPECT_TRUE(s.found);
      EXPECT_TRUE(s.fields.empty());
      g->pSTailor()->releaseFileState();
    }
  KWOMLSyntaxObject section("slayout");
  KWOMLSyntaxField f = KWOMLSyntaxField::boolean("constrained", 1);
  KWOMLFile file;
  EXPECT_EQ(e->pSTailor()->readEdgeTailor(&f, &section, &file), 0);
  g->pSTailor()->releaseFileState();
}

TEST(SymmetricGraphFileExtension, MissingObjectsWriteNothingAndCheckNothingToWrite) {
  Env env;
  auto g = env.graph();
  KWDNode* n = g->newNode(0, 0, 1, 1);
  KWDEdge* e = g->newEdge(n, n);
  KWOMLFile f;
  KWSGraphFileExtension withDefaults(g.get());
  withDefaults.pOMLFile(&f);
  withDefaults.createDefaults();
  withDefaults.writeFullGraphTailor(nullptr, 0, 1);
  withDefaults.writeFullNodeTailor(nullptr, 0, 1);
  withDefaults.writeFullEdgeTailor(nullptr, 0, 1);
  EXPECT_NE(withDefaults.checkWriteGraphTailor(nullptr, 0, 1), 0);
  EXPECT_NE(withDefaults.checkWriteNodeTailor(nullptr, 0, 1), 0);
  EXPECT_EQ(f.contents(), "");

  KWSGraphFileExtension noDefaults(g.get());  // createDefaults never called
  noDefaults.pOMLFile(&f);
  noDefaults.writeFullGraphTailor(g.get(), 0, 1);
  noDefaults.writeFullNodeTailor(n, 0, 1);
  noDefaults.writeFullEdgeTailor(e, 0, 1);
  EXPECT_NE(noDefaults.checkWriteGraphTailor(g.get(), 0, 1), 0);
  EXPECT_NE(noDefaults.checkWriteNodeTailor(n, 0, 1), 0);
  EXPECT_EQ(f.contents(), "");

  // A graph without the symmetric style has no symmetric tailor.
  KWBLayoutFactory other(KWTreeLayoutStyle);
  env.factory.addLayoutFactory(&other);
  std::unique_ptr<KWDGraph> plain(env.factory.newDGraph(KWTreeLayoutStyle));
  withDefaults.writeFullGraphTailor(plain.get(), 0, 1);
  EXPECT_EQ(f.contents(), "");
  EXPECT_NE(withDefaults.checkWriteGraphTailor(plain.get(), 0, 1), 0);
  EXPECT_EQ(withDefaults.layoutStyle(), KWSymmetricLayoutStyle);
}

// ---- what is read -----------------------------------------------------------------------

TEST(SymmetricGraphFileExtension, FieldsAreTakenByKeywordIndexThroughTheSetters) {
  Env env;
  auto g = env.graph();
  KWDNode* n = g->newNode(0, 0, 1, 1);
  KWSGraphFileExtension x(g.get());
  KWOMLSyntaxObject section("slayout");
  KWSGraphTailor* t = g->pSTailor();

  struct Case {
    KWOMLSyntaxField field;
    std::function<int()> value;
    long expected;
  };
  std::vector<Case> cases = {
      {KWOMLSyntaxField::integer("nodeSpacing", -3), [t] { return t->nodeSpacing(); }, -3},
      {KWOMLSyntaxField::integer("randomSeed", 123456), [t] { return t->randomSeed(); }, 123456},
      {KWOMLSyntaxField::boolean("routeEdges", 1), [t] { return t->routeEdges(); }, 1},
      {KWOMLSyntaxField::boolean("incrementalWithinComponentLayout", 1),
       [t] { return t->incrementalWithinComponentLayout(); }, 1},
      {KWOMLSyntaxField::boolean("incrementalDisconnectedNodesLayout", 1),
       [t] { return t->incrementalDisconnectedNodesLayout(); }, 1},
      {KWOMLSyntaxField::boolean("incrementalComponentsLayout", 0),
       [t] { return t->incrementalComponentsLayout(); }, 0},
  };
  for (Case& c : cases) {
    const long before = g->tailorChanges();
    EXPECT_EQ(x.readGraphTailor(&c.field, &section, g.get()), 1) << c.field.name();
    EXPECT_EQ(c.value(), c.expected) << c.field.name();
    EXPECT_EQ(g->tailorChanges(), before + 1) << c.field.name() << ": a change notifies once";
    EXPECT_EQ(x.readGraphTailor(&c.field, &section, g.get()), 1);
    EXPECT_EQ(g->tailorChanges(), before + 1) << c.field.name() << ": the same value again notifies nothing";
  }
  // Wrong keyword index: a node field for a graph, a graph field for a node, unknown names.
  KWOMLSyntaxField constrained = KWOMLSyntaxField::boolean("constrained", 1);
  KWOMLSyntaxField spacing = KWOMLSyntaxField::integer("nodeSpacing", 5);
  KWOMLSyntaxField unknown = KWOMLSyntaxField::integer("springConstant", 5);
  const long before = g->tailorChanges();
  EXPECT_EQ(x.readGraphTailor(&constrained, &section, g.get()), 0);
  EXPECT_EQ(x.readGraphTailor(&unknown, &section, g.get()), 0);
  EXPECT_EQ(x.readNodeTailor(&spacing, &section, n), 0);
  EXPECT_EQ(g->tailorChanges(), before);
  EXPECT_EQ(n->tailorChanges(), 0);
  EXPECT_EQ(t->nodeSpacing(), -3);
  EXPECT_EQ(x.readNodeTailor(&constrained, &section, n), 1);
  EXPECT_EQ(n->pSTailor()->constrained(), 1);
  EXPECT_EQ(n->tailorChanges(), 1);
  // Missing pieces take nothing.
  EXPECT_EQ(x.readGraphTailor(nullptr, &section, g.get()), 0);
  EXPECT_EQ(x.readGraphTailor(&spacing, nullptr, g.get()), 0);
  EXPECT_EQ(x.readGraphTailor(&spacing, &section, nullptr), 0);
  EXPECT_EQ(x.readNodeTailor(&constrained, &section, nullptr), 0);
  EXPECT_EQ(x.readEdgeTailor(&constrained, &section, nullptr), 0);
}

TEST(SymmetricGraphFileExtension, RouteEdgesTrueOnASetFlagSendsNoNotification) {
  Env env;
  auto g = env.graph();
  g->pSTailor()->routeEdges(1);
  const long before = g->tailorChanges();
  KWOMLSyntaxObject section("slayout");
  KWOMLSyntaxField on = KWOMLSyntaxField::boolean("routeEdges", 1);
  KWOMLFile f;
  EXPECT_EQ(g->pSTailor()->readGraphTailor(&on, &section, &f), 1);
  EXPECT_EQ(g->tailorChanges(), before);
  EXPECT_EQ(g->pSTailor()->routeEdges(), 1);
  g->pSTailor()->releaseFileState();
}

TEST(SymmetricGraphFileExtension, SubobjectsAndStyleDispatch) {
  Env env;
  auto g = env.graph();
  KWDNode* n = g->newNode(0, 0, 1, 1);
  KWSGraphFileExtension x(g.get());
  KWOMLSyntaxObject section("slayout"), other("hlayout"), unknown("mystery"), part("bend");
  ASSERT_EQ(unknown.typeIndex(), -1);
  for (KWOMLSyntaxObject* o : {&section, &other, &unknown, &part}) {
    EXPECT_EQ(x.createGraphTailorSubobject(o, &section, g.get()), nullptr);
    EXPECT_EQ(x.createNodeTailorSubobject(o, &section, n), nullptr);
    EXPECT_EQ(x.createEdgeTailorSubobject(o, &section, nullptr), nullptr);
    EXPECT_EQ(x.createStyleSubobject(o, &section, g.get()), nullptr);
  }
  KWOMLSyntaxField seed = KWOMLSyntaxField::integer("randomSeed", 31);
  EXPECT_EQ(x.readStyleObject(&seed, &unknown, g.get()), 0) << "a section whose name is not a keyword";
  EXPECT_EQ(x.readStyleObject(&seed, &other, g.get()), 0) << "another style's section";
  EXPECT_EQ(g->pSTailor()->randomSeed(), 1);
  EXPECT_EQ(x.readStyleObject(&seed, &section, g.get()), 1);
  EXPECT_EQ(g->pSTailor()->randomSeed(), 31);
  KWOMLSyntaxField constrained = KWOMLSyntaxField::boolean("constrained", 1);
  EXPECT_EQ(x.readStyleObject(&constrained, &section, n), 1);
  EXPECT_EQ(n->pSTailor()->constrained(), 1);
}

// ---- the tailors' forwarding ---------------------------------------------------------------

TEST(SymmetricTailorFiles, OneExtensionPerGraphUntilDiscarded) {
  Env env;
  auto g = env.graph();
  KWOMLFile first("first"), second("second");
  KWSGraphTailor* t = g->pSTailor();
  KWSGraphFileExtension* x = t->pGraphFileExtension(&first);
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->pOMLFile(), &first);
  EXPECT_EQ(x->pServedObject(), g.get());
  EXPECT_NE(x->pDefaultGraph(), nullptr) << "the defaults are made at once";
  EXPECT_EQ(t->pGraphFileExtension(&second), x);
  EXPECT_EQ(x->pOMLFile(), &first);
  t->releaseFileState();
  KWSGraphFileExtension* y = t->pGraphFileExtension(&second);
  ASSERT_NE(y, nullptr);
  EXPECT_EQ(y->pOMLFile(), &second);

  // Node and edge tailors reach the same extension.
  KWDNode* n = g->newNode(0, 0, 1, 1);
  n->pSTailor()->constrained(1);
  n->pSTailor()->writeFullNodeTailor(1, 0, &first);  // goes to the held extension's file
  EXPECT_EQ(first.contents(), "");
  EXPECT_NE(second.contents().find("constrained true"), std::string::npos);

  // A copy into the tailor releases the held extension (the sanitizer build
  // would report it if it leaked).
  auto other = env.graph();
  t->copyObject(other->pSTailor());
  KWOMLFile third("third");
  EXPECT_EQ(t->pGraphFileExtension(&third)->pOMLFile(), &third);
}

TEST(SymmetricTailorFiles, NodesOfAGraphWithoutTheStyleCreateNothing) {
  Env env;
  KWBLayoutFactory other(KWTreeLayoutStyle);
  env.factory.addLayoutFactory(&other);
  std::unique_ptr<KWDGraph> plain(env.factory.newDGraph(KWTreeLayoutStyle));
  KWDNode* n = plain->newNode(0, 0, 1, 1);
  KWDEdge* e = plain->newEdge(n, n);
  // Symmetric tailors on objects of a graph that has none of its own.
  KWSNodeTailor nt(n);
  KWSEdgeTailor et(e);
  KWOMLSyntaxObject section("slayout");
  KWOMLSyntaxField f = KWOMLSyntaxField::boolean("constrained", 1);
  KWOMLFile file;
  EXPECT_EQ(nt.readNodeTailor(&f, &section, &file), 0);
  EXPECT_EQ(nt.constrained(), 0);
  EXPECT_NE(nt.checkWriteNodeTailor(0, 1, &file), 0);
  nt.writeFullNodeTailor(0, 1, &file);
  EXPECT_NE(et.checkWriteEdgeTailor(0, 1, &file), 0);
  et.writeFullEdgeTailor(0, 1, &file);
  EXPECT_EQ(file.contents(), "");
  KWSNodeTailor orphan;
  EXPECT_EQ(orphan.readNodeTailor(&f, &section, &file), 0);
  KWSGraphTailor lonely;  // no owner graph: an extension without defaults
  EXPECT_NE(lonely.checkWriteGraphTailor(0, 1, &file), 0);
  lonely.writeFullGraphTailor(0, 1, &file);
  EXPECT_EQ(file.contents(), "");
}

TEST(SymmetricTailorFiles, TheGraphHandsOutExtensionsForTheHost) {
  struct Exposed : KWSGraph {
    using KWSGraph::KWSGraph;
    using KWSGraph::newGraphFileExtension;
  };
  Env env;
  auto g = env.graph();
  Exposed ext(g.get());
  std::unique_ptr<KWGraphFileExtension> x(ext.newGraphFileExtension(g.get()));
  ASSERT_NE(dynamic_cast<KWSGraphFileExtension*>(x.get()), nullptr);
  EXPECT_EQ(x->pServedObject(), g.get());
  EXPECT_EQ(x->layoutStyle(), KWSymmetricLayoutStyle);
}

// ---- whole graphs -----------------------------------------------------------------------------

std::string describe(const KWDGraph& g) {
  std::ostringstream s;
  const KWSGraphTailor* t = g.pSTailor();
  s << t->nodeSpacing() << ' ' << t->randomSeed() << ' ' << t->routeEdges() << ' '
    << t->incrementalWithinComponentLayout() << ' ' << t->incrementalDisconnectedNodesLayout() << ' '
    << t->incrementalComponentsLayout() << "\n";
  std::vector<const KWDNode*> nodes;
  for (KWDNodeIter it(&g); it; ++it) {
    const KWDNode* n = it.pNode();
    nodes.push_back(n);
    s << "[" << n->name() << "] " << n->ntX() << ' ' << n->ntY() << ' ' << n->ntWidth() << ' ' << n->ntHeight()
      << ' ' << n->isDummy() << ' ' << n->pSTailor()->constrained() << "\n";
  }
  auto index = [&nodes](const KWDNode* n) {
    for (std::size_t i = 0; i < nodes.size(); ++i)
      if (nodes[i] == n) return static_cast<long>(i);
    return -1L;
  };
  for (KWDEdgeIter it(&g); it; ++it) {
    const KWDEdge* e = it.pEdge();
    s << "[" << e->name() << "] " << index(e->pFromNode()) << ' ' << index(e->pToNode());
    for (const KWPoint& p : e->bendPoints()) s << " (" << p.x() << ',' << p.y() << ')';
    if (e->hasSpecifiedFromConnector()) s << " f" << e->pFromConnector()->dx() << ',' << e->pFromConnector()->dy();
    if (e->hasSpecifiedToConnector()) s << " t" << e->pToConnector()->dx() << ',' << e->pToConnector()->dy();
    s << "\n";
  }
  return s.str();
}

void build(KWDGraph& g, int family, int n, unsigned seed) {
  std::mt19937 rng(seed);
  auto c = [&rng]() { return static_cast<long>(rng() % 20001) - 10000; };
  std::vector<KWDNode*> v;
  for (int i = 0; i < n; ++i) {
    v.push_back(g.newNode(c(), c(), 10 + static_cast<long>(rng() % 90), 10 + static_cast<long>(rng() % 90),
                          "v" + std::to_string(i) + (i % 3 ? "" : " \"x\"\\")));
    if (i % 3 == 0) v.back()->pSTailor()->constrained(1);
    if (i % 8 == 5) v.back()->dummy(true);
  }
  int k = 0;
  auto join = [&](int a, int b) {
    KWDEdge* e = g.newEdge(v[a], v[b], "e" + std::to_string(k));
    if (k % 3 == 1) e->ntAppendBend(KWPoint(c(), c()));
    if (k % 4 == 2) e->pFromConnector(new KWConnector(5, -5, true));
    if (k % 5 == 3) e->pToConnector(new KWConnector(-7, 0, true));
    ++k;
  };
  const int side = 4;
  for (int i = 0; i < n; ++i) {
    if (family == 0) {  // grid
      if (i % side + 1 < side && i + 1 < n) join(i, i + 1);
      if (i + side < n) join(i, i + side);
    } else if (family == 1) {  // cycle
      join(i, (i + 1) % n);
    } else if (family == 2) {  // tree
      if (i) join((i - 1) / 2, i);
    } else {  // random, loops and multi-edges included
      join(i, static_cast<int>(rng() % n));
    }
  }
  KWSGraphTailor* t = g.pSTailor();
  t->nodeSpacing(static_cast<int>(seed % 200) - 50);
  t->randomSeed(static_cast<int>(seed));
  t->routeEdges(seed % 2);
  t->incrementalWithinComponentLayout(seed % 3 == 0);
  t->incrementalDisconnectedNodesLayout(seed % 5 == 0);
  t->incrementalComponentsLayout(seed % 7 != 0);
}

TEST(SymmetricGraphFiles, RoundTripKeepsEveryFieldAndRewritesTheSameBytes) {
  Env env;
  for (int family = 0; family < 4; ++family) {
    for (unsigned seed : {3u, 10u, 21u, 70u}) {
      auto g = env.graph();
      build(*g, family, 16, seed);
      std::string text;
      KWFileError err;
      ASSERT_TRUE(writeOMLGraphToString(*g, text, err)) << err.text();
      auto back = env.graph();
      std::vector<std::string> warnings;
      ASSERT_TRUE(readOMLGraphFromString(text, "rt.oml", *back, err, &warnings)) << err.text() << "\n" << text;
      EXPECT_TRUE(warnings.empty());
      EXPECT_EQ(describe(*back), describe(*g)) << text;
      std::string again;
      ASSERT_TRUE(writeOMLGraphToString(*back, again, err));
      EXPECT_EQ(again, text);
      // With every value written the file reads back to the same graph too.
      KWOMLWriteOptions all;
      all.writeAll = 1;
      std::string full;
      ASSERT_TRUE(writeOMLGraphToString(*g, full, err, all));
      auto fromFull = env.graph();
      ASSERT_TRUE(readOMLGraphFromString(full, "full.oml", *fromFull, err)) << err.text();
      EXPECT_EQ(describe(*fromFull), describe(*g));
    }
  }
}

TEST(SymmetricGraphFiles, MinimalFilesCarryOnlyWhatDiffers) {
  Env env;
  auto g = env.graph();
  KWDNode* a = g->newNode(0, 0, 10, 10, "a");
  KWDNode* b = g->newNode(50, 0, 10, 10, "b");
  g->newEdge(a, b, "ab");
  b->pSTailor()->constrained(1);
  std::string text;
  KWFileError err;
  ASSERT_TRUE(writeOMLGraphToString(*g, text, err));
  KWOMLSyntaxObject root;
  ASSERT_TRUE(KWOMLParser::parse(text, "m", root, err));
  const KWOMLSyntaxObject& graph = *root.objects()[0];
  int slayouts = 0;
  for (const auto& o : graph.objects()) {
    if (o->name() == "slayout") ++slayouts;
    for (const auto& sub : o->objects())
      if (sub->name() == "slayout") {
        EXPECT_EQ(o->name(), "node") << "edges never get a section";
        EXPECT_EQ(o->label(), 2) << "only the constrained node";
        ++slayouts;
      }
  }
  EXPECT_EQ(slayouts, 1) << "a graph with default settings gets no graph section";
}

TEST(SymmetricGraphFiles, ReadingNotifiesTheTargetOfChangedSettingsAndResetsTheRest) {
  Env env;
  auto src = env.graph();
  src->pSTailor()->routeEdges(1);
  std::string text;
  KWFileError err;
  ASSERT_TRUE(writeOMLGraphToString(*src, text, err));
  auto target = env.graph();
  target->pSTailor()->springConstant(3.5);  // a setting graph files do not carry
  target->pSTailor()->nodeSpacing(10);
  const long before = target->tailorChanges();
  ASSERT_TRUE(readOMLGraphFromString(text, "n", *target, err)) << err.text();
  EXPECT_EQ(target->pSTailor()->routeEdges(), 1);
  EXPECT_EQ(target->pSTailor()->nodeSpacing(), 75) << "absent from the file: the default";
  EXPECT_EQ(target->pSTailor()->springConstant(), 1.0) << "the graph as read, with defaults for the rest";
  EXPECT_GE(target->tailorChanges(), before + 1);
}

TEST(SymmetricGraphFiles, BadSymmetricSectionsAreRefusedAndTheTargetKept) {
  const struct {
    const char* text;
    long line;
    const char* says;
  } cases[] = {
      {"oml 1\ngraph {\n  slayout {\n    constrained true\n  }\n}\n", 4, "not a setting"},
      {"oml 1\ngraph {\n  slayout {\n    springConstant 2\n  }\n}\n", 4, "unknown keyword"},
      {"oml 1\ngraph {\n  slayout {\n    routeEdges 1\n  }\n}\n", 4, "true or false"},
      {"oml 1\ngraph {\n  slayout {\n    randomSeed -2147483649\n  }\n}\n", 4, "out of range"},
      {"oml 1\ngraph {\n  node 1 {\n    slayout {\n      nodeSpacing 3\n    }\n  }\n}\n", 5, "not a setting"},
      {"oml 1\ngraph {\n  node 1 {\n  }\n  edge 1 {\n    from 1\n    to 1\n    slayout {\n      constrained true\n"
       "    }\n  }\n}\n",
       9, "not a setting"},
      {"oml 1\ngraph {\n  slayout {\n    nodeSpacing 5\n  }\n  slayout {\n    nodeSpacing 6\n  }\n}\n", 0, ""},
  };
  Env env;
  for (const auto& c : cases) {
    auto target = env.graph();
    build(*target, 1, 5, 12);
    const std::string before = describe(*target);
    const long changes = target->tailorChanges();
    KWFileError err;
    bool ok = readOMLGraphFromString(c.text, "s.oml", *target, err);
    if (c.line == 0) {
      // Two sections of the same style: both are read in turn, the last value stays.
      EXPECT_TRUE(ok) << err.text();
      EXPECT_EQ(target->pSTailor()->nodeSpacing(), 6);
      continue;
    }
    EXPECT_FALSE(ok) << c.text;
    EXPECT_EQ(err.line, c.line) << err.text();
    EXPECT_NE(err.message.find(c.says), std::string::npos) << err.text();
    EXPECT_EQ(describe(*target), before);
    EXPECT_EQ(target->tailorChanges(), changes);
  }
}

TEST(SymmetricGraphFiles, FileStateIsGoneAfterReadingAndWriting) {
  Env env;
  auto g = env.graph();
  build(*g, 2, 6, 4);
  std::string text;
  KWFileError err;
  ASSERT_TRUE(writeOMLGraphToString(*g, text, err));
  // After the operation the tailor holds no extension: the next one made is
  // attached to the file of the next call.
  KWOMLFile probe("probe");
  EXPECT_EQ(g->pSTailor()->pGraphFileExtension(&probe)->pOMLFile(), &probe);
  g->pSTailor()->releaseFileState();
  ASSERT_TRUE(readOMLGraphFromString(text, "r", *g, err)) << err.text();
  KWOMLFile probe2("probe2");
  EXPECT_EQ(g->pSTailor()->pGraphFileExtension(&probe2)->pOMLFile(), &probe2);
  g->pSTailor()->releaseFileState();
}

}  // namespace
