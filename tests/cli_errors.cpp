// kwslay end to end: exit codes and messages for bad input files, bad command
// lines and failed writes; existing outputs survive every failure; scanner
// warnings and the demo.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

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
      {"setting.dot", "digraph {\n  nodeSpacing=wide;\n  a;\n}\n", "2:15: graph attribute nodeSpacing", false},
      {"empty.dot", "", "", false},
      {"missing.dot", nullptr, "", false},
      {"tags.graphml", "<graphml><graph>\n<node id=\"a\">\n</graph></graphml>", "3:9: ", false},
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
  writeFile(dir / "far.dot", "graph { shrinkagePerMil=5000; a -- b; }");
  writeFile(dir / "far.mdl", toModel(grid(1, 2), {"// springConstant -3"}));
  writeFile(dir / "out.json", kOld);
  const struct {
    std::vector<std::string> args;
    const char* named;
  } cases[] = {
      {{}, "no command"},
      {{"frobnicate"}, "frobnicate"},
      {{"layout"}, "input"},
      {{"layout", dir / "g.dot", "--bogus"}, "--bogus"},
      {{"layout", dir / "g.dot", "--set", "springiness=2"}, "springiness"},
      {{"layout", dir / "g.dot", "--set", "routeEdges=maybe"}, "routeEdges"},
      {{"layout", dir / "g.dot", "--set", "nodeSpacing"}, "NAME=VALUE"},
      {{"layout", dir / "g.dot", "--seed"}, "--seed"},
      {{"layout", dir / "g.dot", "--seed", "-1"}, "--seed: randomSeed -1 is outside its range from 0 to 2147483647"},
      {{"layout", dir / "g.dot", "--set", "maxNodeIterations=0"}, "maxNodeIterations 0 is outside its range from 1"},
      {{"layout", dir / "g.dot", "--set", "springConstant=-3"}, "springConstant -3 is outside its range from 0.001"},
      {{"layout", dir / "far.dot"}, "far.dot: shrinkagePerMil 5000 is outside its range from 0 to 1000"},
      {{"layout", dir / "g.dot", "--model", dir / "far.mdl"}, "far.mdl: springConstant -3 is outside its range"},
      {{"layout", dir / "g.dot", "--from", "xls"}, "xls"},
      {{"layout", dir / "g.dot", "-o", dir / "out.xyz"}, "out.xyz"},
      {{"layout", dir / "g.txt"}, "g.txt"},
      {{"layout", dir / "g.dot", "--quiet", "--progress"}, "--quiet"},
      {{"layout", dir / "g.dot", "--time-limit", "0"}, "--time-limit: '0' is not a number of seconds"},
      {{"convert", dir / "g.dot"}, "-o"},
      {{"convert", dir / "g.dot", "-o", dir / "out.json", "--seed", "3"}, "--seed"},
      {{"layout", dir / "g.dot", "-o", dir / "out.mdl"}, "model"},
      {{"demo", dir / "g.dot"}, "input"},
  };
  for (const auto& c : cases) {
    Result r = kwslay(c.args);
    std::string cmd;
    for (const std::string& a : c.args) cmd += a + " ";
    EXPECT_EQ(r.status, 2) << cmd << "\n" << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << cmd << "\n" << r.err;
    EXPECT_TRUE(r.out.empty()) << cmd;
  }
  EXPECT_EQ(readFile(dir / "out.json"), kOld);
  EXPECT_EQ(dir.files(), (std::vector<std::string>{"far.dot", "far.mdl", "g.dot", "out.json"}));
}

// A write that fails exits with 1 and leaves no temporary file; a replaced
// output keeps its mode. An output that exists and is no regular file is
// written in place and stays what it was; a link leads to what it points to;
// a directory is refused.
TEST(KwslayOutputs, FailedWritesReplacedFilesAndSpecialTargets) {
  namespace fs = std::filesystem;
  TempDir dir;
  writeFile(dir / "g.dot", "graph { a -- b; }");
  Result r = kwslay({"layout", dir / "g.dot", "-o", dir / "no/such/dir/out.json"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos);
  writeFile(dir / "out.json", kOld);
  ASSERT_EQ(chmod((dir / "out.json").c_str(), 0640), 0);
  kwslayOk({"layout", dir / "g.dot", "-o", dir / "out.json"});
  EXPECT_NE(readFile(dir / "out.json"), kOld);
  EXPECT_EQ(fs::status(dir / "out.json").permissions(), fs::perms(0640));
  const std::string expected = kwslay({"layout", dir / "g.dot", "--to", "json"}).out;
  ASSERT_FALSE(expected.empty());
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  writeFile(dir / "plain.json", kOld);
  ASSERT_EQ(symlink("plain.json", (dir / "to-plain").c_str()), 0);
  ASSERT_EQ(symlink("new.json", (dir / "to-new").c_str()), 0);
  ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
  // The pipe's reader is open before the run (so the run's open does not
  // wait) and reads until the run closes it.
  std::string fromFifo;
  const int fifo = open((dir / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(fifo, 0);
  std::thread reader([&] {
    char buf[4096];
    pollfd p{fifo, POLLIN, 0};
    for (ssize_t n = 1; n != 0 && poll(&p, 1, 10000) > 0;) {
      n = read(fifo, buf, sizeof buf);
      if (n > 0) fromFifo.append(buf, static_cast<size_t>(n));
      else if (n < 0 && errno != EAGAIN) break;
    }
  });
  EXPECT_EQ(kwslay({"layout", dir / "g.dot", "-o", dir / "fifo", "--to", "json"}).status, 0);
  reader.join();
  close(fifo);
  EXPECT_EQ(fromFifo, expected);
  EXPECT_EQ(fs::symlink_status(dir / "fifo").type(), fs::file_type::fifo);
  for (const char* link : {"to-plain", "to-new"}) {
    EXPECT_EQ(kwslay({"layout", dir / "g.dot", "-o", dir / link, "--to", "json"}).status, 0);
    EXPECT_EQ(fs::symlink_status(dir / link).type(), fs::file_type::symlink);
    EXPECT_EQ(readFile(dir / link), expected);
  }
  r = kwslay({"layout", dir / "g.dot", "-o", dir / "folder", "--to", "json"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("folder: cannot write the file: it is a directory"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  // Standard output by name.
  EXPECT_EQ(kwslayOk({"layout", dir / "g.dot", "-o", "/dev/stdout"}).out, expected);
  EXPECT_EQ(dir.files(), (std::vector<std::string>{"fifo", "folder", "g.dot", "new.json", "out.json", "plain.json",
                                                   "to-new", "to-plain"}));
}

// What cgraph's scanner warns about reaches the user, located; the graph is
// read as cgraph reads it.
TEST(KwslayErrors, DotScannerWarningsNameFileLineAndColumn) {
  TempDir dir;
  writeFile(dir / "amb.dot", "graph {\n  1a -- 2b\n}\n");
  Result r = kwslayOk({"layout", dir / "amb.dot"});
  for (const char* says : {"amb.dot:2:3: syntax ambiguity - badly delimited number '1a' splits into two tokens",
                           "amb.dot:2:9: syntax ambiguity - badly delimited number '2b'"})
    EXPECT_NE(r.err.find(std::string("kwslay: warning: ") + dir.path() + "/" + says), std::string::npos) << r.err;
  EXPECT_EQ(parseJson(r.out)["nodes"].size(), 4u);
  EXPECT_TRUE(kwslay({"layout", dir / "amb.dot", "--quiet"}).err.empty());
  // A flood of them is cut short after a hundred.
  std::string many = "graph {\n";
  for (int i = 0; i < 150; ++i) many += " " + std::to_string(i) + "a\n";
  writeFile(dir / "many.dot", many + "}\n");
  r = kwslay({"layout", dir / "many.dot"});
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 101) << r.err;
  EXPECT_NE(r.err.find("many.dot: 50 more warnings like these"), std::string::npos) << r.err;
}

TEST(KwslayDemo, WritesDemoSvgAndSaysWhere) {
  TempDir dir;
  EXPECT_NE(kwslayOk({"demo"}, dir.path()).out.find("demo.svg"), std::string::npos);
  bool ok = false;
  EXPECT_EQ(xmlTexts(readFile(dir / "demo.svg"), "text", &ok).size(), 13u);
  EXPECT_TRUE(ok);
  // Quiet, it says nothing.
  Result r = kwslayOk({"demo", "-o", dir / "demo.json", "--quiet"});
  EXPECT_TRUE(r.out.empty() && r.err.empty()) << r.out << r.err;
  EXPECT_EQ(parseJson(readFile(dir / "demo.json"))["nodes"].size(), 13u);
}
