// A read that fails, wherever the file breaks off or is damaged, leaves the
// target graph exactly as it was.
#include <gtest/gtest.h>

#include "host/kwgfile.h"
#include "host/kwmodfil.h"
#include "support/engine_access.h"

using kwtest::Fixture;

namespace {

std::string omlOf(const KWDGraph& g) {
  std::string out;
  KWFileError err;
  EXPECT_TRUE(writeOMLGraphToString(g, out, err)) << err.text();
  return out;
}

/// A laid-out graph with a pinned node, a loop, a multi-edge, bends and settings.
void laidOutGraph(Fixture& f) {
  std::vector<KWDNode*> v = kwtest::cycle(f, 5);
  KWDNode* leaf = f.node(30, 10);
  f.edge(v[0], leaf);
  f.edge(v[2], v[2]);
  f.edge(v[1], v[3]);
  f.edge(v[3], v[1]);
  v[4]->pSTailor()->constrained(1);
  f.t()->routeEdges(1);
  f.t()->randomSeed(11);
  ASSERT_EQ(layoutGraph(f.g(), KWSymmetricLayoutStyle), KWNoError);
}

}  // namespace

TEST(FileProperties, EveryTruncatedOrDamagedOmlFileLeavesTheTargetUntouched) {
  Fixture source;
  laidOutGraph(source);
  const std::string full = omlOf(*source.g());
  Fixture target;
  laidOutGraph(target);
  const std::string before = omlOf(*target.g());
  std::vector<KWDNode*> nodes = target.nodes();
  long failures = 0;
  // Every prefix of the file, and the file with one byte damaged at every place.
  for (size_t cut = 0; cut <= full.size(); ++cut) {
    for (int damage = 0; damage < 2; ++damage) {
      std::string text = full.substr(0, cut);
      if (damage) {
        if (cut == full.size()) continue;
        text = full;
        text[cut] = text[cut] == '{' ? '}' : '{';
      }
      KWFileError err;
      if (readOMLGraphFromString(text, "cut.oml", *target.g(), err)) {
        // Only the whole file, or one damaged where it does not matter, reads.
        EXPECT_TRUE(cut >= full.size() - 1 || damage) << "a prefix of " << cut << " bytes read";
        ASSERT_TRUE(readOMLGraphFromString(before, "restore.oml", *target.g(), err)) << err.text();
        ASSERT_EQ(omlOf(*target.g()), before);
        nodes = target.nodes();
        continue;
      }
      ++failures;
      EXPECT_FALSE(err.message.empty());
      EXPECT_GT(err.line, 0) << "no line for: " << err.message;
      ASSERT_EQ(target.nodes(), nodes) << "after a failed read of " << cut << " bytes";
      ASSERT_EQ(omlOf(*target.g()), before) << "after a failed read of " << cut << " bytes";
    }
  }
  EXPECT_GT(failures, static_cast<long>(full.size()));
}

TEST(FileProperties, EveryTruncatedModelFileLeavesTheTargetUntouched) {
  const std::string full =
      "model 1\ngraph\n// springConstant 2\n// randomSeed 5\nnode a 0 0 20 20\nnode b 40 0 20 20\n"
      "node \"c d\" 0 40 20 20\n// XYZABCXYZ4711 1\nedge e1 a b\nbend 20 30\nconnector from 10 0\n"
      "edge e2 b \"c d\"\nedge e3 \"c d\" a\n";
  Fixture target;
  laidOutGraph(target);
  const std::string before = omlOf(*target.g());
  const double spring = target.t()->springConstant();
  for (size_t cut = 0; cut < full.size(); ++cut) {
    std::string text = full.substr(0, cut) + "\nnode\n";  // the file breaks off, then a broken record
    KWFileError err;
    ASSERT_FALSE(readModelFileFromString(text, "cut.model", *target.g(), err)) << cut;
    EXPECT_GT(err.line, 0) << err.message;
    ASSERT_EQ(omlOf(*target.g()), before) << "after a failed read of " << cut << " bytes";
    ASSERT_EQ(target.t()->springConstant(), spring);
    ASSERT_FALSE(applyModelFileTailoringFromString(text, "cut.model", *target.g(), err)) << cut;
    ASSERT_EQ(target.t()->springConstant(), spring) << "a failed tailoring pass changed a setting";
  }
}
