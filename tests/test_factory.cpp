// The library as the host loads it: the exported entry points, the factories
// they hand out, and every extension and tailor those factories create.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/kwfactory.h"
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

// Checks every object the factory made for a graph with a bent edge: drawing
// nodes and bends share the node extension class, edges and their pieces the
// edge one, each owned by its object and reaching the graph's extension.
void checkEquippedGraph(KWStyleFactory* styleFactory, const char* name) {
  SCOPED_TRACE(name);
  KWFactory factory;
  factory.addLayoutFactory(styleFactory);
  std::unique_ptr<KWDGraph> g(factory.newDGraph(KWSymmetricLayoutStyle));
  ASSERT_NE(g, nullptr);
  KWDNode* a = g->newNode(0, 0, 30, 20);
  KWDEdge* e = g->newEdge(a, g->newNode(200, 0, 30, 20));
  KWPNode* bend = e->ntAppendBend(KWPoint(150, 40));
  auto* sg = dynamic_cast<KWSGraph*>(g->pExtension(KWSymmetricLayoutStyle));
  auto* gt = dynamic_cast<KWSGraphTailor*>(g->pPrivateTailor(KWSymmetricLayoutStyle));
  ASSERT_TRUE(sg && sg->pOwnerGraph() == g.get() && gt && gt->pOwnerGraph() == g.get());
  EXPECT_EQ(a->pExtension(KWHierarchicLayoutStyle), nullptr) << "a style not enabled equips nothing";
  for (KWGNode* n : std::vector<KWGNode*>{a, bend}) {
    auto* sn = dynamic_cast<KWSNode*>(n->pExtension(KWSymmetricLayoutStyle));
    ASSERT_TRUE(sn && sn->pOwnerNode() == n && sn->pSGraph() == sg);
  }
  auto* nt = dynamic_cast<KWSNodeTailor*>(a->pPrivateTailor(KWSymmetricLayoutStyle));
  ASSERT_TRUE(nt && nt->pOwnerNode() == a);
  std::vector<KWGEdge*> edges{e};
  for (KWPEdgeDListIter it(e->pathEdgeList()); it; ++it) edges.push_back(it.pEdge());
  ASSERT_EQ(edges.size(), 3u);
  for (KWGEdge* x : edges) {
    auto* se = dynamic_cast<KWSEdge*>(x->pExtension(KWSymmetricLayoutStyle));
    ASSERT_TRUE(se && se->pOwnerEdge() == x && se->pSGraph() == sg);
  }
  auto* et = dynamic_cast<KWSEdgeTailor*>(e->pPrivateTailor(KWSymmetricLayoutStyle));
  ASSERT_TRUE(et && et->pOwnerEdge() == e);
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

}  // namespace
