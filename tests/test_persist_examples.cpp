// The example graphs in examples/: each is given as an OML graph file and as a
// model file, and both must read to the same graph.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "host/kwfactory.h"
#include "host/kwgfile.h"
#include "host/kwmodfil.h"
#include "module/kwslayfa.h"
#include "tailor/kwsgrta.h"

namespace {

struct Env {
  KWSLayoutFactory styleFactory;
  KWFactory factory;
  Env() { factory.addLayoutFactory(&styleFactory); }
  std::unique_ptr<KWDGraph> graph() { return std::unique_ptr<KWDGraph>(factory.newDGraph(KWSymmetricLayoutStyle)); }
};

// What both formats carry: the drawing and the settings they share.
std::string shared(const KWDGraph& g) {
  std::ostringstream s;
  const KWSGraphTailor* t = g.pSTailor();
  s << t->nodeSpacing() << ' ' << t->randomSeed() << ' ' << t->incrementalWithinComponentLayout() << "\n";
  for (KWDNodeIter it(&g); it; ++it) {
    const KWDNode* n = it.pNode();
    s << n->name() << ' ' << n->ntX() << ' ' << n->ntY() << ' ' << n->ntWidth() << ' ' << n->ntHeight() << ' '
      << n->isDummy() << "\n";
  }
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

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
    EXPECT_EQ(shared(*fromOml), shared(*fromModel)) << name;

    // The OML file is written the way the writer writes it: after its leading
    // comment, writing the graph read from it gives the same bytes.
    const std::string text = contents(base + ".oml");
    std::string again;
    ASSERT_TRUE(writeOMLGraphToString(*fromOml, again, err)) << err.text();
    ASSERT_EQ(text.compare(0, 2, "# "), 0);
    EXPECT_EQ(text.substr(text.find('\n') + 1), again) << name;
  }
}

}  // namespace
