// The library as the host loads it: the exported entry points, the factories
// they hand out, and every extension and tailor those factories create.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
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

// Checks every object the factory made for a graph with an edge bent twice: drawing
// nodes and bends share the node extension class, edges and their pieces the
// edge one, each owned by its object and reaching the graph's extension.
void checkEquippedGraph(KWStyleFactory* styleFactory, const char* name) {
  SCOPED_TRACE(name);
  KWFactory factory;
  factory.addLayoutFactory(styleFactory);
  std::unique_ptr<KWDGraph> g(factory.newDGraph(KWSymmetricLayoutStyle));
  ASSERT_NE(g, nullptr);
  KWDNode* a = g->newNode(0, 0, 30, 20);
  KWDNode* b = g->newNode(200, 0, 30, 20);
  KWDEdge* e = g->newEdge(a, b);
  KWPNode* bend = e->ntAddBend(static_cast<KWPEdge*>(e->pathEdgeList().pFirstCell()->pObject()), KWPoint(100, 80));
  KWPNode* appended = e->ntAppendBend(KWPoint(150, 40));
  ASSERT_TRUE(bend && appended);
  auto* sg = dynamic_cast<KWSGraph*>(g->pExtension(KWSymmetricLayoutStyle));
  auto* gt = dynamic_cast<KWSGraphTailor*>(g->pPrivateTailor(KWSymmetricLayoutStyle));
  ASSERT_TRUE(sg && sg == g->pSGraph() && gt && gt == g->pSTailor());
  EXPECT_EQ(sg->pOwnerGraph(), g.get());
  EXPECT_EQ(gt->pOwnerGraph(), g.get());
  EXPECT_EQ(a->pExtension(KWHierarchicLayoutStyle), nullptr) << "a style not enabled equips nothing";
  for (KWGNode* n : std::vector<KWGNode*>{a, b, bend, appended}) {
    auto* sn = dynamic_cast<KWSNode*>(n->pExtension(KWSymmetricLayoutStyle));
    ASSERT_TRUE(sn && sn == n->pSNode());
    EXPECT_EQ(sn->pOwnerNode(), n);
    EXPECT_EQ(sn->pSGraph(), sg);
  }
  for (KWDNode* n : {a, b}) {
    auto* nt = dynamic_cast<KWSNodeTailor*>(n->pPrivateTailor(KWSymmetricLayoutStyle));
    ASSERT_TRUE(nt && nt == n->pSTailor());
    EXPECT_EQ(nt->pOwnerNode(), n);
  }
  std::vector<KWGEdge*> edges{e};
  for (KWPEdgeDListIter it(e->pathEdgeList()); it; ++it) edges.push_back(it.pEdge());
  ASSERT_EQ(edges.size(), 4u);
  for (KWGEdge* x : edges) {
    auto* se = dynamic_cast<KWSEdge*>(x->pExtension(KWSymmetricLayoutStyle));
    ASSERT_TRUE(se && se == x->pSEdge());
    EXPECT_EQ(se->pOwnerEdge(), x);
    EXPECT_EQ(se->pSGraph(), sg);
  }
  auto* et = dynamic_cast<KWSEdgeTailor*>(e->pPrivateTailor(KWSymmetricLayoutStyle));
  ASSERT_TRUE(et && et == e->pSTailor());
  EXPECT_EQ(et->pOwnerEdge(), e);
}

// Looked up by their plain C names, so a mangled entry point fails here.
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
    EXPECT_NE(dynamic_cast<KWSLayoutFactory*>(f), nullptr) << name;
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

}  // namespace
