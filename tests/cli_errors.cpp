// kwslay end to end: exit codes and messages for bad input files, bad command
// lines and failed writes; existing outputs survive every failure; progress,
// demo, help and version.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <tuple>
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
      {"width.dot", "digraph {\n  a [width=-2];\n}\n", "2:12: node \"a\": width", false},
      {"setting.dot", "digraph {\n  nodeSpacing=wide;\n  a;\n}\n", "2:15: graph attribute nodeSpacing", false},
      {"warned.dot", "graph {\n  1a -- b\n  [ ;\n}\n", "3:5: syntax error", false},
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
  writeFile(dir / "far.dot", "graph { shrinkagePerMil=5000; a -- b; }");
  writeFile(dir / "far.mdl", toModel(grid(1, 2), {"// springConstant -3"}));
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
      {{"layout", dir / "g.dot", "--time-limit", "soon"}, "--time-limit: 'soon'"},
      {{"layout", dir / "g.dot", "--time-limit"}, "--time-limit"},
      {{"convert", dir / "g.dot", "-o", dir / "out.json", "--time-limit", "1"}, "--time-limit"},
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
  EXPECT_EQ(dir.files(), (std::vector<std::string>{"far.dot", "far.mdl", "g.dot", "out.json"}));
}

TEST(KwslayErrors, FailedWritesExitWithOneAndLeaveNoTemporaryFilesReplacedOnesKeepTheirMode) {
  TempDir dir;
  writeFile(dir / "g.dot", "graph { a -- b; }");
  // The output's directory does not exist.
  Result r = kwslay({"layout", dir / "g.dot", "-o", dir / "no/such/dir/out.json"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos);
  // A replaced output keeps its permissions.
  struct stat st;
  writeFile(dir / "out.json", kOld);
  ASSERT_EQ(chmod((dir / "out.json").c_str(), 0640), 0);
  kwslayOk({"layout", dir / "g.dot", "-o", dir / "out.json"});
  EXPECT_NE(readFile(dir / "out.json"), kOld);
  ASSERT_EQ(stat((dir / "out.json").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(dir.files(), (std::vector<std::string>{"g.dot", "out.json"}));
}

namespace {

// Reads everything from fd until the writer closes it, giving up after ten
// seconds without a byte (when the run never writes there).
std::string drain(int fd) {
  std::string got;
  char buf[4096];
  pollfd p{fd, POLLIN, 0};
  while (poll(&p, 1, 10000) > 0) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) got.append(buf, static_cast<size_t>(n));
    else if (n == 0 || errno != EAGAIN) break;
  }
  return got;
}

// What lstat says a path is, as one letter: f file, d directory, c device,
// p pipe, s socket, l link, - missing.
char kindOf(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return '-';
  return S_ISREG(st.st_mode) ? 'f' : S_ISDIR(st.st_mode) ? 'd' : S_ISCHR(st.st_mode) ? 'c'
       : S_ISFIFO(st.st_mode) ? 'p' : S_ISSOCK(st.st_mode) ? 's' : S_ISLNK(st.st_mode) ? 'l' : '?';
}

}  // namespace

// An output that exists and is no regular file is written in place and stays
// what it was; a link leads to what it points to; a directory is refused.
TEST(KwslayOutputs, SpecialTargetsAreWrittenInPlaceNeverReplaced) {
  TempDir dir;
  writeFile(dir / "g.dot", "graph { a -- b; }");
  const std::string expected = kwslay({"layout", dir / "g.dot", "--to", "json"}).out;
  ASSERT_FALSE(expected.empty());
  // A socket that accepts one writer; made here, its reader set up per case.
  int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sock = dir / "sock";
  ASSERT_LT(sock.size(), sizeof addr.sun_path);
  std::strcpy(addr.sun_path, sock.c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  ASSERT_EQ(symlink("fifo", (dir / "to-fifo").c_str()), 0);
  writeFile(dir / "plain.json", kOld);
  ASSERT_EQ(symlink("plain.json", (dir / "to-plain").c_str()), 0);
  ASSERT_EQ(symlink("new.json", (dir / "to-new").c_str()), 0);
  ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);

  // The pipe is opened for reading before the run (so the run's open does
  // not wait), the socket's connection accepted during it.
  int fifo = -1;
  const std::function<std::string()> fromFifo = [&] { return drain(fifo); };
  const std::function<std::string()> fromSocket = [&] {
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0) return std::string();
    int fd = accept(listener, nullptr, nullptr);
    std::string got = drain(fd);
    close(fd);
    return got;
  };
  const struct {
    const char* output;
    std::function<std::string()> reader;  // reads what the run writes, or null
    int status;
    const char* kindAfter;  // the output and, for a link, what it points to
    const char* readBack;   // the file whose contents must be the output, or null
  } cases[] = {
      {"fifo", fromFifo, 0, "p", nullptr},
      {"to-fifo", fromFifo, 0, "lp", nullptr},
      {"sock", fromSocket, 0, "s", nullptr},
      {"to-plain", nullptr, 0, "lf", "plain.json"},
      {"to-new", nullptr, 0, "lf", "new.json"},
      {"folder", nullptr, 1, "d", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    std::string got;
    std::thread reader;
    fifo = open((dir / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fifo, 0);
    if (c.reader) reader = std::thread([&] { got = c.reader(); });
    Result r = kwslay({"layout", dir / "g.dot", "-o", dir / c.output, "--to", "json"});
    if (reader.joinable()) reader.join();
    close(fifo);
    EXPECT_EQ(r.status, c.status) << r.err;
    if (c.reader) {
      EXPECT_EQ(got, expected);
    }
    if (c.readBack) {
      EXPECT_EQ(readFile(dir / c.readBack), expected);
    }
    if (c.status != 0) {
      EXPECT_NE(r.err.find(std::string(c.output) + ": cannot write the file: it is a directory"), std::string::npos)
          << r.err;
    }
    std::string kinds(1, kindOf(dir / c.output));
    if (kinds == "l") kinds += kindOf(dir / (c.readBack ? c.readBack : "fifo"));
    EXPECT_EQ(kinds, c.kindAfter);
  }
  close(listener);
  // Standard output by name.
  Result r = kwslayOk({"layout", dir / "g.dot", "-o", "/dev/stdout"});
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(dir.files(), (std::vector<std::string>{"fifo", "folder", "g.dot", "new.json", "plain.json", "sock",
                                                   "to-fifo", "to-new", "to-plain"}));
}

// Device nodes of the scratch directory's own (never the system's): the
// null device takes the output, the full device's failure is reported, and
// both stay devices.
TEST(KwslayOutputs, DevicesAreWrittenInPlace) {
  TempDir dir;
  writeFile(dir / "g.dot", "graph { a -- b; }");
  const struct {
    const char* name;
    unsigned minor;  // of the memory devices, major 1
    int status;
    const char* says;
  } cases[] = {{"null", 3, 0, ""}, {"full", 7, 1, "full: cannot write to the character device"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string node = dir / c.name;
    if (mknod(node.c_str(), S_IFCHR | 0600, makedev(1, c.minor)) != 0)
      GTEST_SKIP() << "cannot make device nodes here (" << std::strerror(errno) << ")";
    int fd = open(node.c_str(), O_WRONLY);
    if (fd < 0) GTEST_SKIP() << "device nodes cannot be opened here, a nodev file system? (" << std::strerror(errno) << ")";
    close(fd);
    Result r = kwslay({"layout", dir / "g.dot", "-o", node, "--to", "json"});
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(kindOf(node), 'c');
  }
  EXPECT_EQ(dir.files(), (std::vector<std::string>{"full", "g.dot", "null"}));
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

TEST(KwslayProgress, ForcedAndDefault) {
  TempDir dir;
  writeFile(dir / "g.dot", toDot(grid(4, 4)));
  Result forced = kwslayOk({"layout", dir / "g.dot", "-o", dir / "o.json", "--progress"});
  EXPECT_NE(forced.err.find("component 1/1"), std::string::npos) << forced.err;
  // The bar is cleared at the end: the last thing written is a carriage return.
  ASSERT_FALSE(forced.err.empty());
  EXPECT_EQ(forced.err.back(), '\r');
  // Standard error is not a terminal here, so by default nothing is shown.
  EXPECT_EQ(kwslayOk({"layout", dir / "g.dot", "-o", dir / "o.json"}).err, "");
}

TEST(KwslayDemo, WritesDemoSvgAndSaysWhere) {
  TempDir dir;
  Result r = kwslayOk({"demo"}, dir.path());
  EXPECT_NE(r.out.find("demo.svg"), std::string::npos);
  std::string svg = readFile(dir / "demo.svg");
  bool ok = false;
  std::vector<std::string> labels = xmlTexts(svg, "text", &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(labels.size(), 13u);
  // Quiet, it says nothing.
  r = kwslayOk({"demo", "-o", dir / "demo.json", "--quiet"});
  EXPECT_TRUE(r.out.empty() && r.err.empty()) << r.out << r.err;
  EXPECT_EQ(parseJson(readFile(dir / "demo.json"))["nodes"].size(), 13u);
}
