// The library as the host loads it: the exported entry points, the factories
// they hand out, and every extension and tailor those factories create.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/kwfactory.h"
#include "host/kwmodule.h"
#include "layout/kwsedge.h"
#include "layout/kwsgraph.h"
#include "layout/kwsnode.h"
#include "module/kwslayfa.h"
#include "tailor/kwsedta.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

namespace {

using CreateFn = KWStyleFactory* (*)();
using DeleteFn = void (*)(KWStyleFactory*);

const char* const kCreateNames[] = {"newSLayFactory", "newSLayFactoryTRUE", "newSLayFactorytrue", "newSLayFactory1"};

class LoadedModule : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(KW_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (handle_) dlclose(handle_);
  }
  void* symbol(const char* name) { return dlsym(handle_, name); }

  void* handle_ = nullptr;
};

// Checks every object the factory made for a graph with a bent edge.
void checkEquippedGraph(KWStyleFactory* styleFactory, const char* name) {
  SCOPED_TRACE(name);
  KWFactory factory;
  factory.addLayoutFactory(styleFactory);
  std::unique_ptr<KWDGraph> g(factory.newDGraph(KWSymmetricLayoutStyle));
  ASSERT_NE(g, nullptr);
  KWDNode* a = g->newNode(0, 0, 30, 20);
  KWDNode* b = g->newNode(200, 0, 30, 20);
  KWDEdge* e = g->newEdge(a, b);
  KWPEdge* firstPiece = static_cast<KWPEdge*>(e->pathEdgeList().pFirstCell()->pObject());
  KWPNode* bend = e->ntAddBend(firstPiece, KWPoint(100, 80));
  ASSERT_NE(bend, nullptr);
  ASSERT_EQ(e->pathEdgeList().length(), 2);
  KWPEdge* secondPiece = static_cast<KWPEdge*>(e->pathEdgeList().pLastCell()->pObject());

  // Graph extension and tailor.
  auto* sg = dynamic_cast<KWSGraph*>(g->pExtension(KWSymmetricLayoutStyle));
  ASSERT_NE(sg, nullptr);
  EXPECT_EQ(sg, g->pSGraph());
  EXPECT_EQ(sg->pOwnerGraph(), g.get());
  EXPECT_EQ(sg->layoutStyle(), KWSymmetricLayoutStyle);
  auto* gt = dynamic_cast<KWSGraphTailor*>(g->pPrivateTailor(KWSymmetricLayoutStyle));
  ASSERT_NE(gt, nullptr);
  EXPECT_EQ(gt, g->pSTailor());
  EXPECT_EQ(gt->pOwnerGraph(), g.get());
  EXPECT_EQ(gt->nodeSpacing(), 75);
  EXPECT_EQ(gt->firstInitialization(), 1);

  // Drawing nodes and bends share the node extension class.
  for (KWGNode* n : std::vector<KWGNode*>{a, b, bend}) {
    auto* sn = dynamic_cast<KWSNode*>(n->pExtension(KWSymmetricLayoutStyle));
    ASSERT_NE(sn, nullptr);
    EXPECT_EQ(sn->pOwnerNode(), n);
    EXPECT_EQ(sn->layoutStyle(), KWSymmetricLayoutStyle);
    EXPECT_EQ(sn->pSGraph(), sg);
    EXPECT_EQ(sn, n->pSNode());
  }
  for (KWDNode* n : {a, b}) {
    auto* nt = dynamic_cast<KWSNodeTailor*>(n->pPrivateTailor(KWSymmetricLayoutStyle));
    ASSERT_NE(nt, nullptr);
    EXPECT_EQ(nt->pOwnerNode(), n);
    EXPECT_EQ(nt, n->pSTailor());
  }

  // Drawn edges and their pieces share the edge extension class.
  for (KWGEdge* x : std::vector<KWGEdge*>{e, firstPiece, secondPiece}) {
    auto* se = dynamic_cast<KWSEdge*>(x->pExtension(KWSymmetricLayoutStyle));
    ASSERT_NE(se, nullptr);
    EXPECT_EQ(se->pOwnerEdge(), x);
    EXPECT_EQ(se->layoutStyle(), KWSymmetricLayoutStyle);
    EXPECT_EQ(se->pSGraph(), sg);
    EXPECT_EQ(se, x->pSEdge());
  }
  auto* et = dynamic_cast<KWSEdgeTailor*>(e->pPrivateTailor(KWSymmetricLayoutStyle));
  ASSERT_NE(et, nullptr);
  EXPECT_EQ(et, e->pSTailor());
  EXPECT_EQ(et->pOwnerEdge(), e);
  EXPECT_EQ(et->layoutStyle(), KWSymmetricLayoutStyle);
}

TEST_F(LoadedModule, EachCreatorHandsOutANewFactoryThatEquipsEveryObject) {
  auto destroy = reinterpret_cast<DeleteFn>(symbol("deleteSLayoutFactory"));
  ASSERT_NE(destroy, nullptr);
  destroy(nullptr);  // deleting null does nothing
  std::set<KWStyleFactory*> made;
  for (const char* name : kCreateNames) {
    auto create = reinterpret_cast<CreateFn>(symbol(name));
    ASSERT_NE(create, nullptr) << name;
    KWStyleFactory* f = create();
    ASSERT_NE(f, nullptr) << name;
    EXPECT_EQ(f->factoryStyle(), KWSymmetricLayoutStyle) << name;
    EXPECT_NE(dynamic_cast<KWSLayoutFactory*>(f), nullptr) << name;
    EXPECT_EQ(f->isFactory(), 1) << name;
    EXPECT_TRUE(made.insert(f).second) << name << " handed out a factory already made";
    checkEquippedGraph(f, name);
  }
  for (KWStyleFactory* f : made) destroy(f);
}

TEST(HostModuleLoader, LoadsTheLibraryUnderEveryCreatorName) {
  for (const char* name : kCreateNames) {
    KWLayoutModule module;
    ASSERT_TRUE(module.open(KW_MODULE_PATH, name, "deleteSLayoutFactory")) << module.error();
    ASSERT_NE(module.factory(), nullptr);
    EXPECT_EQ(module.factory()->factoryStyle(), KWSymmetricLayoutStyle);
    module.close();
    EXPECT_EQ(module.factory(), nullptr);
  }
}

// The entry points must be exported under their plain C names, not as
// mangled C++ symbols.
TEST(ExportedNames, AreUndecorated) {
  std::string command = std::string("nm -D --defined-only '") + KW_MODULE_PATH + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) GTEST_SKIP() << "nm cannot be run here";
  std::set<std::string> textSymbols;
  char line[1024];
  while (fgets(line, sizeof(line), pipe)) {
    std::istringstream in(line);
    std::string address, type, name;
    if (in >> address >> type >> name && type == "T") textSymbols.insert(name);
  }
  int status = pclose(pipe);
  if (status != 0 || textSymbols.empty()) GTEST_SKIP() << "nm gave no symbols";
  for (const char* name : kCreateNames) EXPECT_EQ(textSymbols.count(name), 1u) << name;
  EXPECT_EQ(textSymbols.count("deleteSLayoutFactory"), 1u);
}

}  // namespace
