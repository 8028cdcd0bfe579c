// kwslay end to end: settings given by flags, --set, model files and DOT graph
// attributes take effect; incremental layout and pinned nodes.
#include <gtest/gtest.h>

#include <map>

#include "cli_support.h"

using nlohmann::json;
using namespace clitest;

namespace {

json layoutOf(const TempDir& dir, const std::string& input, std::vector<std::string> flags) {
  std::vector<std::string> args{"layout", input, "-o", dir / "result.json"};
  args.insert(args.end(), flags.begin(), flags.end());
  Result r = kwslay(args);
  EXPECT_EQ(r.status, 0) << r.err;
  return parseJson(readFile(dir / "result.json"));
}

std::map<std::string, std::pair<long, long>> positions(const json& j) {
  std::map<std::string, std::pair<long, long>> m;
  for (const json& n : j["nodes"]) m[n["id"]] = {n["x"].get<long>(), n["y"].get<long>()};
  return m;
}

}  // namespace

TEST(KwslaySettings, SeedChangesTheStartUnderBothNames) {
  TempDir dir;
  writeFile(dir / "g.dot", toDot(randomGraph(14, 3)));
  json a = layoutOf(dir, dir / "g.dot", {"--seed", "1"});
  json b = layoutOf(dir, dir / "g.dot", {"--seed", "2"});
  EXPECT_NE(positions(a), positions(b));
  // --set randomSeed is the same setting as --seed.
  EXPECT_EQ(layoutOf(dir, dir / "g.dot", {"--set", "randomSeed=2"}), b);
}

TEST(KwslaySettings, EveryWayOfGivingNodeSpacingHasTheSameEffect) {
  TempDir dir;
  Graph g = grid(3, 3);
  writeFile(dir / "plain.dot", toDot(g));
  writeFile(dir / "attr.dot", toDot(g, "  nodeSpacing=250;\n"));
  writeFile(dir / "tail.mdl", toModel(cycle(3), {"// snodeSpacing 250"}));
  writeFile(dir / "g.mdl", toModel(g, {"// snodeSpacing 250"}));
  json flag = layoutOf(dir, dir / "plain.dot", {"--node-spacing", "250"});
  EXPECT_EQ(layoutOf(dir, dir / "attr.dot", {}), flag);
  EXPECT_EQ(layoutOf(dir, dir / "plain.dot", {"--model", dir / "tail.mdl"}), flag);
  EXPECT_NE(positions(flag), positions(layoutOf(dir, dir / "plain.dot", {})));
  // A model file as input carries its settings too (its nodes come from it).
  json fromModel = layoutOf(dir, dir / "g.mdl", {});
  EXPECT_EQ(positions(fromModel), positions(layoutOf(dir, dir / "g.mdl", {"--node-spacing", "250"})));
  // Flags apply after the file, in the order given.
  EXPECT_EQ(layoutOf(dir, dir / "attr.dot", {"--set", "nodeSpacing=75"}), layoutOf(dir, dir / "plain.dot", {}));
  EXPECT_EQ(layoutOf(dir, dir / "plain.dot", {"--node-spacing", "10", "--model", dir / "tail.mdl"}), flag);
}

// A value above what the layout honours is used as the ceiling, and the
// user is told so.
TEST(KwslaySettings, ValuesAboveTheHonouredCeilingWarnAndRunAsTheCeiling) {
  TempDir dir;
  writeFile(dir / "g.dot", toDot(randomGraph(30, 4)));
  const struct {
    const char* above;
    const char* ceiling;
    const char* says;
  } cases[] = {{"maxNodeIterations=500", "maxNodeIterations=100", "maxNodeIterations 500 is above 100"},
               {"maxNodesMovedMultiplier=5000", "maxNodesMovedMultiplier=200", "maxNodesMovedMultiplier 5000 is above 200"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.above);
    Result above = kwslay({"layout", dir / "g.dot", "--set", c.above, "--set", "terminationValue=0.000001"});
    Result at = kwslay({"layout", dir / "g.dot", "--set", c.ceiling, "--set", "terminationValue=0.000001"});
    EXPECT_EQ(above.status, 0) << above.err;
    EXPECT_NE(above.err.find("warning: " + std::string(c.says)), std::string::npos) << above.err;
    EXPECT_TRUE(at.err.empty()) << at.err;
    EXPECT_EQ(above.out, at.out);
  }
}

// Pinned nodes (pin=true, or a position ending in "!") stay where the file
// says, whatever the seed, and only they are reported constrained.
TEST(KwslaySettings, PinnedNodesStayWhereTheFileSaysAndAreReportedConstrained) {
  TempDir dir;
  writeFile(dir / "p.dot",
            "graph { a [pin=true, pos=\"-300,120\"]; b [pos=\"45,-60!\"]; c; d; a -- c -- d -- b -- a; c -- b; }");
  for (const char* seed : {"1", "7"}) {
    SCOPED_TRACE(seed);
    json j = layoutOf(dir, dir / "p.dot", {"--seed", seed});
    auto pos = positions(j);
    EXPECT_EQ(pos["a"], std::make_pair(-300L, 120L));
    EXPECT_EQ(pos["b"], std::make_pair(45L, -60L));
    for (const json& n : j["nodes"])
      EXPECT_EQ(n["constrained"].get<bool>(), n["id"] == "a" || n["id"] == "b") << n["id"];
  }
}

TEST(KwslaySettings, IncrementalStartsFromTheGivenPositions) {
  TempDir dir;
  writeFile(dir / "g.dot", toDot(grid(3, 4)));
  // A finished layout, written as DOT with positions.
  ASSERT_EQ(kwslay({"layout", dir / "g.dot", "-o", dir / "placed.dot", "--seed", "3"}).status, 0);
  // From there the seed no longer matters: there is no random start.
  json one = layoutOf(dir, dir / "placed.dot", {"--incremental", "--seed", "1"});
  json two = layoutOf(dir, dir / "placed.dot", {"--incremental", "--seed", "2"});
  EXPECT_EQ(positions(one), positions(two));
}
