// kwslay end to end: exit codes and messages for bad input files, bad command
// lines and failed writes; existing outputs survive every failure; progress,
// demo, help and version.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "cli_support.h"

using namespace clitest;

namespace {
const char* const kOld = "the old contents\n";
}  // namespace

// A bad input (or, with `model`, a bad model file beside a good input) fails
// with status 1 and a message that names the file and the place, and the
// existing output survives.
TEST(KwslayErrors, BadInputFilesNameFileLineAndColumnAndKeepTheOutput) {
  TempDir dir;
  writeFile(dir / "g.dot", "graph { a -- b; }");
  const struct {
    const char* name;
    const char* text;  // null: the file does not exist
    const char* place;
    bool model;
  } cases[] = {
      {"syntax.dot", "digraph {\n  a -> b\n  [ ;\n}\n", "3:5: syntax error", false},
      {"pos.dot", "digraph {\n  a [pos=\"1,x\"];\n}\n", "2:10: node \"a\": pos", false},
      {"width.dot", "digraph {\n  a [width=-2];\n}\n", "2:12: node \"a\": width", false},
      {"setting.dot", "digraph {\n  nodeSpacing=wide;\n  a;\n}\n", "2:15: graph attribute nodeSpacing", false},
      {"empty.dot", "", "", false},
      {"missing.dot", nullptr, "", false},
      {"tags.graphml", "<graphml><graph>\n<node id=\"a\">\n</graph></graphml>", "3:9: ", false},
      {"edge.graphml", "<graphml><graph>\n<node id=\"a\"/>\n<edge source=\"a\" target=\"zz\"/>\n</graph></graphml>",
       "3:1: edge target \"zz\"", false},
      {"size.graphml",
       "<graphml><key id=\"w\" for=\"node\" attr.name=\"width\"/><graph>\n"
       "<node id=\"a\"><data key=\"w\">big</data></node>\n</graph></graphml>",
       "2:", false},
      {"external.graphml",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE g [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>\n"
       "<graphml><graph>\n<node id=\"&e;\"/>\n</graph></graphml>",
       "2:", false},
      {"value.oml", "oml 1\ngraph {\n  node 1 {\n    x abc\n  }\n}\n", "4:", false},
      {"record.mdl", "model 1\ngraph\nnode a 0 0 54\n", "3:", false},
      {"tailoring.mdl", "model 1\ngraph\n// snodeSpacing 50\nedge x a b\n", "4:", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.text) writeFile(dir / c.name, c.text);
    writeFile(dir / "out.json", kOld);
    Result r = c.model ? kwslay({"layout", dir / "g.dot", "-o", dir / "out.json", "--model", dir / c.name})
                       : kwslay({"layout", dir / c.name, "-o", dir / "out.json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(std::string(c.name) + ":" + c.place), std::string::npos) << r.err;
    EXPECT_EQ(readFile(dir / "out.json"), kOld);
  }
}

TEST(KwslayErrors, UsageErrorsExitWithTwoAndNameTheProblem) {
  TempDir dir;
  writeFile(dir / "g.dot", "graph { a -- b; }");
  writeFile(dir / "out.json", kOld);
  struct Case {
    std::vector<std::string> args;
    const char* named;
  };
  const std::vector<Case> cases = {
      {{}, "no command"},
      {{"frobnicate"}, "frobnicate"},
      {{"layout"}, "input"},
      {{"layout", dir / "g.dot", "--bogus"}, "--bogus"},
      {{"layout", dir / "g.dot", "--set", "springiness=2"}, "springiness"},
      {{"layout", dir / "g.dot", "--set", "nodeSpacing=wide"}, "nodeSpacing"},
      {{"layout", dir / "g.dot", "--set", "routeEdges=maybe"}, "routeEdges"},
      {{"layout", dir / "g.dot", "--set", "springConstant=nan"}, "springConstant"},
      {{"layout", dir / "g.dot", "--set", "randomSeed=99999999999"}, "randomSeed"},
      {{"layout", dir / "g.dot", "--set", "nodeSpacing"}, "NAME=VALUE"},
      {{"layout", dir / "g.dot", "--seed"}, "--seed"},
      {{"layout", dir / "g.dot", "--seed", "1.5"}, "randomSeed"},
      {{"layout", dir / "g.dot", "--from", "xls"}, "xls"},
      {{"layout", dir / "g.dot", "-o", dir / "out.xyz"}, "out.xyz"},
      {{"layout", dir / "g.txt"}, "g.txt"},
      {{"layout", dir / "g.dot", "--quiet", "--progress"}, "--quiet"},
      {{"layout", dir / "g.dot", dir / "h.dot"}, "more than one input"},
      {{"convert", dir / "g.dot"}, "-o"},
      {{"convert", dir / "g.dot", "-o", dir / "out.json", "--seed", "3"}, "--seed"},
      {{"layout", dir / "g.dot", "-o", dir / "out.mdl"}, "model"},
      {{"demo", dir / "g.dot"}, "input"},
  };
  for (const Case& c : cases) {
    Result r = kwslay(c.args);
    std::string cmd;
    for (const std::string& a : c.args) cmd += a + " ";
    EXPECT_EQ(r.status, 2) << cmd << "\n" << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << cmd << "\n" << r.err;
    EXPECT_TRUE(r.out.empty()) << cmd;
  }
  EXPECT_EQ(readFile(dir / "out.json"), kOld);
  EXPECT_EQ(dir.files(), (std::vector<std::string>{"g.dot", "out.json"}));
}

TEST(KwslayErrors, FailedWritesExitWithOneAndLeaveNoTemporaryFilesReplacedOnesKeepTheirMode) {
  TempDir dir;
  writeFile(dir / "g.dot", "graph { a -- b; }");
  // The output's directory does not exist.
  Result r = kwslay({"layout", dir / "g.dot", "-o", dir / "no/such/dir/out.json"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos);
  // The output names a directory: it stays a directory.
  ASSERT_EQ(mkdir((dir / "taken.json").c_str(), 0755), 0);
  r = kwslay({"layout", dir / "g.dot", "-o", dir / "taken.json"});
  EXPECT_EQ(r.status, 1);
  struct stat st;
  ASSERT_EQ(stat((dir / "taken.json").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  // A replaced output keeps its permissions.
  writeFile(dir / "out.json", kOld);
  ASSERT_EQ(chmod((dir / "out.json").c_str(), 0640), 0);
  ASSERT_EQ(kwslay({"layout", dir / "g.dot", "-o", dir / "out.json"}).status, 0);
  EXPECT_NE(readFile(dir / "out.json"), kOld);
  ASSERT_EQ(stat((dir / "out.json").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(dir.files(), (std::vector<std::string>{"g.dot", "out.json", "taken.json"}));
}

TEST(KwslayProgress, ForcedAndDefault) {
  TempDir dir;
  writeFile(dir / "g.dot", toDot(grid(4, 4)));
  Result forced = kwslay({"layout", dir / "g.dot", "-o", dir / "o.json", "--progress"});
  ASSERT_EQ(forced.status, 0) << forced.err;
  EXPECT_NE(forced.err.find("component 1/1"), std::string::npos) << forced.err;
  // The bar is cleared at the end: the last thing written is a carriage return.
  ASSERT_FALSE(forced.err.empty());
  EXPECT_EQ(forced.err.back(), '\r');
  // Standard error is not a terminal here, so by default nothing is shown.
  Result plain = kwslay({"layout", dir / "g.dot", "-o", dir / "o.json"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_TRUE(plain.err.empty()) << plain.err;
}

TEST(KwslayDemo, WritesDemoSvgAndSaysWhere) {
  TempDir dir;
  Result r = kwslay({"demo"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("demo.svg"), std::string::npos);
  std::string svg = readFile(dir / "demo.svg");
  bool ok = false;
  std::vector<std::string> labels = xmlTexts(svg, "text", &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(labels.size(), 13u);
  // The demo as data: a loop, a double edge, trees (nodes of degree one);
  // quiet, it says nothing.
  r = kwslay({"demo", "-o", dir / "demo.json", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.empty() && r.err.empty()) << r.out << r.err;
  nlohmann::json j = parseJson(readFile(dir / "demo.json"));
  std::map<std::string, int> degree;
  std::map<std::pair<std::string, std::string>, int> pairs;
  int loops = 0;
  for (const auto& e : j["edges"]) {
    std::string a = e["source"], b = e["target"];
    if (a == b) ++loops;
    ++degree[a];
    ++degree[b];
    ++pairs[std::minmax(a, b)];
  }
  EXPECT_EQ(loops, 1);
  int multi = 0, leaves = 0;
  for (const auto& p : pairs) multi += p.second > 1;
  for (const auto& d : degree) leaves += d.second == 1;
  EXPECT_EQ(multi, 1);
  EXPECT_EQ(leaves, 4);
}

TEST(KwslayHelp, HelpAndVersion) {
  Result help = kwslay({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* word : {"layout", "convert", "demo", "--set", "--model", "--incremental", "--route-edges"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  Result version = kwslay({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("kwslay ", 0), 0u);
}
